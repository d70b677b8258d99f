// Form5 小運: the minor-luck pillar of each of the first hundred years of life,
// with the year of the flow age marked.
#pragma once

#include <QWidget>

#include "chart/chart.hpp"
#include "ui/analysis/flow_year_window.hpp"

namespace qelm::ui {

class MinorLuckWindow : public QWidget {
  Q_OBJECT
 public:
  MinorLuckWindow(const ChartState& chart, const FlowState& flow, QWidget* parent = nullptr);

 private:
  void BuildYearGrid();
  YearGrid grid_;
};

}  // namespace qelm::ui
