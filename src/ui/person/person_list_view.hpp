// The person window's list of persons: a search field over the list, one
// row a person, backed by the person list model.
#pragma once

#include <QWidget>
#include <optional>

#include "records/person_file.hpp"

class QLineEdit;
class QTimer;
class QAbstractItemView;

namespace qelm::ui {

class PersonListModel;

class PersonListView : public QWidget {
  Q_OBJECT
 public:
  // Shows `list`, which the caller keeps.
  PersonListView(const records::PersonList& list, QWidget* parent);
  ~PersonListView() override;

  QAbstractItemView* view() const { return view_; }
  QLineEdit* searchField() const { return search_; }
  PersonListModel* model() const { return model_; }
  int rowCount() const;
  // The list changed: the rows are shown afresh, with `selectRecord` (an
  // index of the list) selected, or none.
  void showRows(int selectRecord = -1);
  // The record of the selected row.
  std::optional<std::size_t> selectedRecord() const;
  // The list is being written in the background: the rows stay on screen
  // without reading it until showRows.
  void freeze();

 signals:
  // A left click anywhere in the list, on a row or the space below them.
  void clicked();
  // A row became the current one, however it did (a click, the arrows,
  // Home and End, typing a name); not when the program selects a row.
  void currentRecordChanged(std::size_t record);
  // Enter on the current row.
  void chosen();
  // The search changed the rows shown.
  void searched();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  PersonListModel* model_;
  void Search(const QString& text);

  QLineEdit* search_;
  QAbstractItemView* view_;
  QTimer* searchPreparation_;
  bool quiet_ = false;  // the program sets the current row
};

}  // namespace qelm::ui
