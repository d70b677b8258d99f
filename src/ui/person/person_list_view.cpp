#include "ui/person/person_list_view.hpp"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QTableView>

#include "ui/kit/fonts.hpp"
#include "ui/person/person_list_model.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {

namespace {
// The list as the keyboard reaches it: Tab into a list without a current row
// leaves it so (a plain tree view makes the first row current, which would
// show that person over an entry being typed); then End and Page Down go to
// the last row, the other keys to the first. A table rather than a tree: a
// tree lays out every row anew whenever the rows change, which a long list
// would feel at every keystroke of a search.
class PersonTable : public QTableView {
 public:
  using QTableView::QTableView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (!currentIndex().isValid() && model() && model()->rowCount() > 0) {
      const bool last = action == MoveEnd || action == MovePageDown;
      return model()->index(last ? model()->rowCount() - 1 : 0, 0);
    }
    // A row at a time, as in a list: Home and End go to the first and last
    // row, and the name stays the current cell.
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    return to.isValid() ? to.siblingAtColumn(0) : to;
  }
  // Typing finds a name, whichever cell of the row was clicked.
  void keyboardSearch(const QString& search) override {
    if (currentIndex().isValid() && currentIndex().column() != 0)
      selectionModel()->setCurrentIndex(currentIndex().siblingAtColumn(0), QItemSelectionModel::NoUpdate);
    QTableView::keyboardSearch(search);
  }
  void focusInEvent(QFocusEvent* e) override {
    if (currentIndex().isValid()) {
      QTableView::focusInEvent(e);
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
  auto* table = new PersonTable(this);
  view_ = table;
  view_->setObjectName(QStringLiteral("personList"));
  view_->setFont(Font(kSansFace, 11.25));
  // Rows of one height, as a list has, with no grid and no row numbers.
  table->setShowGrid(false);
  table->setWordWrap(false);
  table->setCornerButtonEnabled(false);
  table->verticalHeader()->hide();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setMinimumSectionSize(1);
  table->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + Px(45));
  table->horizontalHeader()->setHighlightSections(false);
  table->horizontalHeader()->setMinimumSectionSize(Px(300));
  table->horizontalHeader()->setStretchLastSection(false);
  view_->setTabKeyNavigation(false);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setModel(model_);
  for (std::size_t c = 0; c < PersonListModel::kColumns.size(); ++c)
    table->setColumnWidth(static_cast<int>(c), Px(PersonListModel::kColumns[c].width));
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
