// Form6 神煞: the symbolic stars of the chart on the ring of the twelve
// branches, under 子平法 or 三命法, with the month's virtue marks inside.
#pragma once

#include <QWidget>
#include <array>

#include "analysis/stars.hpp"
#include "chart/chart.hpp"

class QFrame;
class QLabel;
class QRadioButton;

namespace qelm::ui {

class StarsWindow : public QWidget {
  Q_OBJECT
 public:
  explicit StarsWindow(const ChartState& chart, QWidget* parent = nullptr);

 private:
  void Clean_Label();
  void ShowRows(School school);  // fills NB, SS1, SS2, SS3 and VAC
  void doher();
  void Option1_Click();

  ChartState chart_;
  std::array<QRadioButton*, 2> option1_{};
  std::array<QFrame*, 12> frame1_{};
  std::array<QLabel*, 12> nb_{}, ss1_{}, ss2_{}, ss3_{}, vac_{}, label1_{};
  QLabel *ted_ = nullptr, *tedher_ = nullptr, *ued_ = nullptr, *uedher_ = nullptr;
};

}  // namespace qelm::ui
