// The date row of the main window's bottom panel: "西元", the five fields of
// the flow moment with their spinners, and "NOW". The fields' values and
// carries are the calendar's DateRow; the spinners and fields show it.
#pragma once

#include <QWidget>
#include <array>

#include "calendar/date_row.hpp"

class QLabel;
class QPushButton;

namespace qelm::ui {

class Spinner;
class StepField;

class DateRowWidget : public QWidget {
  Q_OBJECT
 public:
  // Placed in the panel at (240, 480) twips, the row's design position.
  explicit DateRowWidget(QWidget* panel);

  const DateRow& row() const { return row_; }
  // A field set from the program (its carries run); changed() follows.
  void setField(int field, int value);
  // All five in turn, year first; changed() follows once.
  void setMoment(const CivilFields& at);

  StepField* field(int i) const { return fields_[i]; }
  Spinner* spinner(int i) const { return spinners_[i]; }
  QPushButton* nowButton() const { return now_; }

 signals:
  // The flow moment changed, by the user or the program.
  void changed();
  // "NOW" was pressed.
  void nowRequested();

 private:
  void SpinnerMoved(int field, int value);
  void ShowRow();  // the spinners and fields show row_

  DateRow row_;
  QLabel* era_;  // "西元"
  std::array<StepField*, DateRow::kFields> fields_{};
  std::array<Spinner*, DateRow::kFields> spinners_{};
  QPushButton* now_;
};

}  // namespace qelm::ui
