#include "ui/analysis/relations_window.hpp"

#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "ui/kit/colours.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/relation_tree.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {
namespace {

// Sizes in twips: the window as it opens, its margin and the gaps.
constexpr int kWidth = 7200, kHeight = 8400;
constexpr int kMargin = 240, kSpacing = 90;

// "年 甲子　月 庚午 …" for the pillars whose positions pass `keep`.
template <class Keep>
QString PillarLine(std::string_view caption, const std::vector<PlacedPillar>& pillars, Keep keep) {
  std::string line(caption);
  for (const PlacedPillar& p : pillars) {
    if (!keep(p.position) || !p.pillar.valid()) continue;
    line += "　";
    line += PositionName(p.position);
    line += " ";
    line += p.pillar.name();
  }
  return Q(line);
}

// A section of the list: its heading, then one heading per kind with the
// relations of that kind under it, or "（無）".
void AddSection(QStandardItemModel* model, const QString& heading, const std::vector<Relation>& relations) {
  std::vector<RelationRow> rows;
  rows.reserve(relations.size());
  for (const Relation& r : relations) rows.push_back({&r, RelationPlaces(r), RelationLine(r)});
  AddRelationSection(model, heading, rows);
}

// A row told by its texts from the top: a section, a kind, a relation (by
// its whole line, since a name such as 子午沖 may stand twice).
QString RowKey(const QModelIndex& i) {
  const QModelIndex first = i.siblingAtColumn(0);
  const QVariant line = first.data(Qt::AccessibleTextRole);
  return line.isValid() ? line.toString() : first.data().toString();
}

RowPath PathOf(QModelIndex i) {
  RowPath path;
  for (i = i.siblingAtColumn(0); i.isValid(); i = i.parent()) path.insert(path.begin(), RowKey(i));
  return path;
}

// The row of that path, or the nearest row above it that is still there (a
// relation gone, its kind; a kind gone, its section); none for an empty path.
QModelIndex Find(const QAbstractItemModel* m, const RowPath& path) {
  QModelIndex at;
  for (const QString& key : path) {
    QModelIndex next;
    for (int r = 0; r < m->rowCount(at) && !next.isValid(); ++r)
      if (RowKey(m->index(r, 0, at)) == key) next = m->index(r, 0, at);
    if (!next.isValid()) break;
    at = next;
  }
  return at;
}

}  // namespace

RelationsWindow::RelationsWindow(const ChartState& chart, const FlowState& flow, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("RelationsWindow"));
  setWindowTitle(QStringLiteral("刑沖合會"));
  const QFont font = Font(kSansFace, 11.25);
  natalLine_ = new QLabel(this);
  natalLine_->setObjectName(QStringLiteral("natalLine"));
  // The luck and four flow pillars may take two lines in a narrow window.
  flowLine_ = new QLabel(this);
  flowLine_->setObjectName(QStringLiteral("flowLine"));
  for (QLabel* l : {natalLine_, flowLine_}) {
    l->setFont(font);
    l->setWordWrap(true);
  }

  model_ = new QStandardItemModel(this);
  list_ = MakeRelationList(this, model_, QStringLiteral("RelationsList"), font, QStringLiteral("刑沖合會列表"));

  // The list takes what the window gives; the window may be made larger to
  // see more of it at once.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Px(kMargin), Px(kMargin), Px(kMargin), Px(kMargin));
  layout->setSpacing(Px(kSpacing));
  layout->addWidget(natalLine_);
  layout->addWidget(flowLine_);
  layout->addSpacing(Px(kSpacing));
  layout->addWidget(list_, 1);
  resize(Px(kWidth), Px(kHeight));

  ShowRelations(chart, flow);
}

void RelationsWindow::ShowRelations(const ChartState& chart, const FlowState& flow) {
  std::vector<PlacedPillar> pillars = ChartPositions(chart, &flow);
  if (redraws_ > 0 && pillars == pillars_) return;
  pillars_ = std::move(pillars);
  relations_ = RelationsOf(pillars_);
  natalLine_->setText(PillarLine("本命", pillars_, IsNatal));
  flowLine_->setText(PillarLine("行運", pillars_, [](Position p) { return !IsNatal(p); }));
  FillList();
  ++redraws_;
}

RelationsWindow::ListPlace RelationsWindow::TakePlace() const {
  ListPlace place;
  if (model_->rowCount() == 0) return place;
  const QModelIndex current = list_->currentIndex();
  place.current = PathOf(current);
  place.column = std::max(0, current.column());
  place.selected = list_->selectionModel()->hasSelection();
  place.top = PathOf(list_->indexAt(QPoint(0, 0)));
  place.scroll = {list_->horizontalScrollBar()->value(), list_->verticalScrollBar()->value()};
  // The headings the user folded stay folded.
  std::vector<QModelIndex> open{QModelIndex()};
  while (!open.empty()) {
    const QModelIndex parent = open.back();
    open.pop_back();
    for (int r = 0; r < model_->rowCount(parent); ++r) {
      const QModelIndex i = model_->index(r, 0, parent);
      if (!model_->hasChildren(i)) continue;
      if (list_->isExpanded(i))
        open.push_back(i);
      else
        place.folded.push_back(PathOf(i));
    }
  }
  return place;
}

void RelationsWindow::RestorePlace(const ListPlace& place) {
  if (place.current.empty() && place.top.empty()) return;  // the first fill
  list_->doItemsLayout();  // the scroll ranges of the new rows
  for (const RowPath& path : place.folded) {
    const QModelIndex i = Find(model_, path);
    if (i.isValid() && PathOf(i) == path) list_->collapse(i);
  }
  if (!place.current.empty()) {
    const QModelIndex current = Find(model_, place.current).siblingAtColumn(place.column);
    list_->selectionModel()->setCurrentIndex(current, place.selected ? QItemSelectionModel::ClearAndSelect |
                                                                           QItemSelectionModel::Rows
                                                                     : QItemSelectionModel::NoUpdate);
  }
  // The same row at the top where it is still there, else the same distance
  // down; the same distance across.
  const QModelIndex top = Find(model_, place.top);
  if (!place.top.empty() && PathOf(top) == place.top)
    list_->scrollTo(top, QAbstractItemView::PositionAtTop);
  else
    list_->verticalScrollBar()->setValue(place.scroll.y());
  list_->horizontalScrollBar()->setValue(place.scroll.x());
}

// A new flow moment redraws the list in its place: the row selected, the
// headings folded and the part scrolled to stay as they were.
void RelationsWindow::FillList() {
  const ListPlace place = TakePlace();
  model_->clear();
  model_->setHorizontalHeaderLabels({QStringLiteral("關係"), QStringLiteral("位置")});
  AddSection(model_, QStringLiteral("本命"), relations_.natal);
  AddSection(model_, QStringLiteral("運與流年、流月、流日、流時"), relations_.flow);
  list_->expandAll();
  RestorePlace(place);
}

}  // namespace qelm::ui
