// The day-change convention (子初換日 or 子正換日) is the user's setting: it is
// kept with the program's settings, never in the person file, and a chooser
// of it stands in the person window beside 時間.
#pragma once

#include "calendar/moment.hpp"
#include "ui/kit/kept_choice.hpp"

namespace qelm::ui {

// The convention kept in the settings; 子初換日 when none is kept (or what is
// kept is not one of the two).
DayChange StoredDayChange(const QSettings& settings);
void StoreDayChange(QSettings& settings, DayChange d);
// The same in the program's own settings.
DayChange StoredDayChange();
void StoreDayChange(DayChange d);

// The chooser of the convention: "子初換日 (23時)" and "子正換日 (0時)", set
// to the kept convention; a choice is kept at once and announced.
class DayChangeBox : public ChoiceBox {
  Q_OBJECT
 public:
  explicit DayChangeBox(QWidget* parent = nullptr);
  DayChange dayChange() const;
  void setDayChange(DayChange d);
 signals:
  void dayChangeChosen(qelm::DayChange d);

 private:
  void Chosen() override;
};

}  // namespace qelm::ui
