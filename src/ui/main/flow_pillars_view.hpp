// The flow pillars in the main window's bottom panel: four columns, year,
// month, day and hour from left to right, each with a header that opens the
// element prosperity window for that period, the stem and branch with their
// ten gods, and the three characters of the sound element. The widget owns
// its labels.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "analysis/scoring.hpp"
#include "chart/chart.hpp"
#include "ui/kit/part_group.hpp"

class QLabel;

namespace qelm::ui {

class ClickLabel;

class FlowPillarsView : public PartGroup {
  Q_OBJECT
 public:
  // Stands where the panel's design puts the columns; a click on a header
  // calls `openProsperity` with its period.
  FlowPillarsView(QWidget* panel, std::function<void(ScorePeriod)> openProsperity);
  // The flow moment's pillars; the ten gods only with a day master (a chart
  // shown).
  void DrawFlowPillars(const FlowState& flow, std::optional<Stem> dayMaster);

  // The headers, year to hour (for the window's tab order).
  std::array<ClickLabel*, 4> headers() const;

 private:
  struct Column {
    ClickLabel* header;
    QLabel *stemTenGod, *stem, *branch, *branchTenGod;
    std::array<QLabel*, 3> sound;
  };
  std::array<Column, 4> columns_{};
};

}  // namespace qelm::ui
