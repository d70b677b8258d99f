#include "ui/analysis/relations_window.hpp"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <string>

#include "ui/kit/colours.hpp"
#include "ui/kit/fonts.hpp"
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

QStandardItem* Item(const QString& text) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  return item;
}

// A section of the list: its heading, then one heading per kind with the
// relations of that kind under it, or "（無）".
void AddSection(QStandardItemModel* model, const QString& heading, const std::vector<Relation>& relations) {
  QStandardItem* section = Item(heading);
  QFont bold = section->font();
  bold.setBold(true);
  section->setFont(bold);
  model->appendRow({section, Item({})});
  if (relations.empty()) section->appendRow({Item(QStringLiteral("（無）")), Item({})});
  QStandardItem* group = nullptr;
  for (std::size_t i = 0; i < relations.size(); ++i) {
    const Relation& r = relations[i];
    if (i == 0 || relations[i - 1].kind != r.kind) {
      group = Item(Q(RelationKindName(r.kind)));
      section->appendRow({group, Item({})});
    }
    QStandardItem* name = Item(Q(RelationName(r)));
    if (r.element.valid()) name->setForeground(Bgr(r.element.colour()));
    QStandardItem* places = Item(Q(RelationPlaces(r)));
    // A screen reader reads the whole relation on its row.
    const QString line = Q(RelationLine(r));
    name->setData(line, Qt::AccessibleTextRole);
    places->setData(line, Qt::AccessibleTextRole);
    group->appendRow({name, places});
  }
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
  list_ = new QTreeView(this);
  list_->setObjectName(QStringLiteral("RelationsList"));
  list_->setFont(font);
  list_->setModel(model_);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);
  list_->setUniformRowHeights(true);
  // Every text whole: the columns take the width of their longest text and
  // the list scrolls sideways when they need more than it has.
  list_->setTextElideMode(Qt::ElideNone);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(false);
  list_->setAccessibleName(QStringLiteral("刑沖合會列表"));

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

void RelationsWindow::FillList() {
  model_->clear();
  model_->setHorizontalHeaderLabels({QStringLiteral("關係"), QStringLiteral("位置")});
  AddSection(model_, QStringLiteral("本命"), relations_.natal);
  AddSection(model_, QStringLiteral("運與流年、流月、流日、流時"), relations_.flow);
  list_->expandAll();
}

}  // namespace qelm::ui
