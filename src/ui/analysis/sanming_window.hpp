// Form8 三命: the seasonal ranking, the conception pillar and the four pillars
// with their sound elements, and the first ten luck pillars.
#pragma once

#include <QWidget>

#include "chart/chart.hpp"

class QLabel;

namespace qelm::ui {

class SanMingWindow : public QWidget {
  Q_OBJECT
 public:
  SanMingWindow(const ChartState& chart, const FlowState& flow, QWidget* parent = nullptr);
};

}  // namespace qelm::ui
