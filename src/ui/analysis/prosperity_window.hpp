// Form7 五行衰旺: cumulative element scores of the chart plus the periods down
// to the chosen level, and the five pair sums around the day master.
#pragma once

#include <QWidget>
#include <array>

#include "chart/chart.hpp"
#include "ui/analysis/strength_window.hpp"

class QLabel;
class QProgressBar;

namespace qelm::ui {

class ProsperityWindow : public QWidget {
  Q_OBJECT
 public:
  // The count down to `period`.
  ProsperityWindow(const ChartState& chart, const FlowState& flow, ScorePeriod period,
                   QWidget* parent = nullptr);

 private:
  ElementRows rows_;
  std::array<QLabel*, 5> pairNames_{}, pairSums_{};  // 印比 比食 食財 財官 官印
  std::array<QProgressBar*, 5> pairBars_{};
};

}  // namespace qelm::ui
