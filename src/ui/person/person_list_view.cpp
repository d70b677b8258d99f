#include "ui/person/person_list_view.hpp"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

#include "ui/kit/fonts.hpp"
#include "ui/person/person_list_model.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {

namespace {
// The list as the keyboard reaches it: Tab into a list without a current row
// leaves it so (a plain tree view makes the first row current, which would
// show that person over an entry being typed); then End and Page Down go to
// the last row, the other keys to the first.
class PersonTree : public QTreeView {
 public:
  using QTreeView::QTreeView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (currentIndex().isValid() || !model() || model()->rowCount() == 0)
      return QTreeView::moveCursor(action, modifiers);
    const bool last = action == MoveEnd || action == MovePageDown;
    return model()->index(last ? model()->rowCount() - 1 : 0, 0);
  }
  void focusInEvent(QFocusEvent* e) override {
    if (currentIndex().isValid()) {
      QTreeView::focusInEvent(e);
      return;
    }
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
  }
};
}  // namespace

PersonListView::PersonListView(const records::PersonList& list, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("personListView"));
  model_ = new PersonListModel(list, this);
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("personSearch"));
  search_->setFont(Font(kSansFace, 9.75));
  search_->setPlaceholderText(QStringLiteral("尋找：姓名的一部分或出生年"));
  search_->setAccessibleName(QStringLiteral("尋找人員"));
  search_->setClearButtonEnabled(true);
  search_->installEventFilter(this);
  connect(search_, &QLineEdit::textChanged, this, &PersonListView::Search);
  searchPreparation_ = new QTimer(this);
  searchPreparation_->setInterval(0);
  connect(searchPreparation_, &QTimer::timeout, this, [this] {
    constexpr std::size_t kRowsAtATime = 5000;
    if (!model_->prepareSearch(kRowsAtATime)) searchPreparation_->stop();
  });
  view_ = new PersonTree(this);
  view_->setObjectName(QStringLiteral("personList"));
  view_->setFont(Font(kSansFace, 11.25));
  view_->setRootIsDecorated(false);
  view_->setUniformRowHeights(true);
  view_->setItemsExpandable(false);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setAllColumnsShowFocus(true);
  view_->setModel(model_);
  view_->header()->setMinimumSectionSize(Px(300));
  for (std::size_t c = 0; c < PersonListModel::kColumns.size(); ++c)
    view_->setColumnWidth(static_cast<int>(c), Px(PersonListModel::kColumns[c].width));
  view_->header()->setStretchLastSection(false);
  view_->setAccessibleName(QStringLiteral("人員列表"));
  setTabOrder(search_, view_);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!quiet_ && current.isValid()) emit currentRecordChanged(model_->recordOf(current.row()));
  });
  view_->installEventFilter(this);
  view_->viewport()->installEventFilter(this);
}

// The view goes before the rows it shows.
PersonListView::~PersonListView() {
  view_->viewport()->removeEventFilter(this);
  view_->removeEventFilter(this);
  search_->removeEventFilter(this);
  delete view_;
}

int PersonListView::rowCount() const { return model_->rowCount(); }

void PersonListView::showRows(int selectRecord) {
  model_->reload();
  // What a search goes through is made while the window waits for keys, a
  // part at a time.
  searchPreparation_->start();
  const int row = selectRecord >= 0 ? model_->rowOf(static_cast<std::size_t>(selectRecord)) : -1;
  if (row >= 0) {
    quiet_ = true;
    view_->setCurrentIndex(model_->index(row, 0));
    quiet_ = false;
  } else {
    view_->clearSelection();
  }
}

std::optional<std::size_t> PersonListView::selectedRecord() const {
  const QModelIndexList selected = view_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return std::nullopt;
  const std::size_t record = model_->recordOf(selected.front().row());
  if (record >= model_->total()) return std::nullopt;
  return record;
}

void PersonListView::freeze() {
  // The rows on screen and far more than a save's moment of scrolling can
  // reach.
  constexpr int kReach = 1000;
  const int top = std::max(view_->indexAt(QPoint(0, 0)).row(), 0);
  model_->freeze(top - kReach, top + kReach);
}

// The rows the search finds; the selected person stays selected while it is
// among them.
void PersonListView::Search(const QString& text) {
  const std::optional<std::size_t> selected = selectedRecord();
  model_->setSearch(text);
  const int row = selected ? model_->rowOf(*selected) : -1;
  if (row >= 0) {
    quiet_ = true;
    view_->setCurrentIndex(model_->index(row, 0));
    quiet_ = false;
  }
  emit searched();
}

bool PersonListView::eventFilter(QObject* watched, QEvent* e) {
  // Esc empties the search.
  if (watched == search_ && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape &&
      !search_->text().isEmpty()) {
    search_->clear();
    return true;
  }
  if (watched == view_->viewport() && e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
    emit clicked();
  if (watched == view_ && e->type() == QEvent::KeyPress && view_->currentIndex().isValid()) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit chosen();
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void PersonListView::resizeEvent(QResizeEvent* e) {
  const int searchHeight = Px(300), gap = Px(60);
  search_->setGeometry(0, 0, width(), searchHeight);
  view_->setGeometry(0, searchHeight + gap, width(), height() - searchHeight - gap);
  QWidget::resizeEvent(e);
}

}  // namespace qelm::ui
