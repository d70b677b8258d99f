// The five birth selectors of the person window (year, month, day, hour,
// minute) and their cascade: each choice opens the next selector, a month
// fills the day list with its length, and every choice is remembered.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "calendar/moment.hpp"

class QComboBox;
class QLabel;

namespace qelm::ui {

class BirthDateSelector : public QWidget {
  Q_OBJECT
 public:
  enum Field { kYear = 0, kMonth, kDay, kHour, kMinute };
  static constexpr int kFieldCount = 5;

  // Placed at the given position of `parent` in twips; the year list is
  // filled, the others on first use.
  BirthDateSelector(QWidget* parent, int left, int top);

  QComboBox* selector(int field) const { return selectors_[field]; }
  // The remembered choice of a field: the number of the item last chosen,
  // 0 while none was chosen.
  int remembered(int field) const { return remembered_[field]; }
  MomentInput rememberedMoment() const;
  // The item chosen now in a field (none after a new month empties the day).
  bool hasChoice(int field) const;
  int chosenNumber(int field) const;  // 0 when none is chosen

  // Sets a field to item `index` (-1: no chosen item) as the program does;
  // a chosen item runs the field's handling.
  void choose(int field, int index);
  // A new entry: the selectors after the year wait until a year is chosen
  // again; lists, choices and remembered values stay.
  void waitForYear();
  void enableAll();
  // Shows a stored moment: year, month, day, hour and minute in this order,
  // each through its handling. A text that is not an item of its selector
  // (the "0" of an entry made without choices, a hand-edited file) leaves
  // that selector without a chosen item and its remembered value at 0.
  void showStored(const std::array<std::string, kFieldCount>& texts);

 signals:
  // A choice ran its handling: the remembered moment may have changed.
  void changed();

 private:
  void Chosen(int field);
  void FillRange(int field, int first, int last);
  void RecheckFebruary();

  std::array<QComboBox*, kFieldCount> selectors_{};
  std::array<int, kFieldCount> remembered_{};
};

}  // namespace qelm::ui
