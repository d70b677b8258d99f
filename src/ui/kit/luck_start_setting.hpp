// The school that dates the luck pillars is the user's setting, kept with
// the program's settings as the 子時 convention is (day_change_setting.hpp);
// its chooser stands in the main window under the luck list.
#pragma once

#include "chart/chart.hpp"
#include "ui/kit/kept_choice.hpp"

namespace qelm::ui {

// The school kept in the settings; the table school when none is kept (or
// what is kept names none).
LuckStart StoredLuckStart(const QSettings& settings);
void StoreLuckStart(QSettings& settings, LuckStart s);
// The same in the program's own settings.
LuckStart StoredLuckStart();
void StoreLuckStart(LuckStart s);

// The chooser: "起運: 逐節交運", "起運: 三日為一歲精算", "起運: 命理探源時辰法".
// A choice by the user is kept at once and announced; setLuckStart only
// shows a school.
class LuckStartBox : public ChoiceBox {
  Q_OBJECT
 public:
  explicit LuckStartBox(QWidget* parent = nullptr);
  LuckStart luckStart() const;
  void setLuckStart(LuckStart s);
 signals:
  void luckStartChosen(qelm::LuckStart s);

 private:
  void Chosen() override;
};

}  // namespace qelm::ui
