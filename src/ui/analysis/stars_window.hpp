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
  void ClearRows();
  // The stars of each branch's box under a school: growth stage, stem-keyed
  // and branch-keyed stars, year god and void marks.
  void ShowRows(School school);
  void ShowVirtues();  // the month's virtue marks in the centre
  void SchoolChosen(School school);

  ChartState chart_;
  std::array<QRadioButton*, 2> schoolSwitch_{};  // 子平法, 三命法
  std::array<QFrame*, 12> branchBoxes_{};        // by branch 子 .. 亥
  std::array<QLabel*, 12> growthStages_{}, stemStars_{}, branchStars_{}, yearGods_{}, voidMarks_{},
      branchNames_{};
  QLabel *heavenVirtue_ = nullptr, *heavenVirtueCombine_ = nullptr, *monthVirtue_ = nullptr,
         *monthVirtueCombine_ = nullptr;
};

}  // namespace qelm::ui
