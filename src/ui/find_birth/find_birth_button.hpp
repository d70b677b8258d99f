// 由八字找生日: the button that opens the window finding a birth from its
// four pillars (one window at a time), under the day-change convention of a
// chooser, and hands on the birth the user takes from it.
#pragma once

#include <QPointer>
#include <QPushButton>

#include "chart/find_birth.hpp"

namespace qelm::ui {

class DayChangeBox;
class FindBirthWindow;

class FindBirthButton : public QPushButton {
  Q_OBJECT
 public:
  // The window opens over `window`; `convention` is followed while it is open.
  FindBirthButton(QWidget* window, DayChangeBox* convention);
  // The window while it is open.
  FindBirthWindow* finder() const { return finder_; }

 signals:
  // The stretch the user took, with its pillars.
  void birthChosen(const qelm::ChosenStretch& chosen);

 private:
  void Open();

  QWidget* window_;
  DayChangeBox* convention_;
  QPointer<FindBirthWindow> finder_;
};

}  // namespace qelm::ui
