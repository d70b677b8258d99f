// The luck pillars of the main window: the list at the top right (current
// mark, pillar, change date) and the strip of ten columns in the middle, laid
// out from right to left, each under a star that opens the element
// prosperity window for the luck period. The widget owns its labels.
#pragma once

#include <QString>
#include <array>
#include <functional>

#include "chart/chart.hpp"
#include "ui/kit/part_group.hpp"

class QLabel;

namespace qelm::ui {

class ClickLabel;

class LuckPillarsView : public PartGroup {
  Q_OBJECT
 public:
  static constexpr int kShown = 10;  // luck pillars 1..10

  // Stands where the window's design puts the list and the strip; a click
  // on a column's star calls `openProsperity`.
  LuckPillarsView(QWidget* window, std::function<void()> openProsperity);
  void DrawLuckPillars(const ChartState& c);
  // The star on the current pillar (1..10) in the list and over the strip;
  // none for 0. The star is the opener the keyboard reaches.
  void MarkCurrent(int luckIndex);

  // The strip's openers, right to left (for the window's tab order).
  const std::array<ClickLabel*, kShown>& openers() const { return openers_; }

 private:
  struct StripColumn {
    QLabel *ages, *stemTenGod, *stem, *branch;
    std::array<QLabel*, 3> hidden, hiddenTenGod;
  };
  struct ListRow {
    QLabel *mark, *pillar, *changeDate;
  };
  // Names the openers for a screen reader: which luck pillar, its ages, and
  // which is current.
  void NameOpeners();

  std::array<QString, kShown> periods_;  // "第1步 辛巳，3 - 12歲", or "第1步" without a chart
  int current_ = 0;
  QLabel* listHeader_;  // "大運"
  QLabel* dateHeader_;  // "交運日期"
  std::array<ClickLabel*, kShown> openers_{};
  std::array<StripColumn, kShown> strip_{};
  std::array<ListRow, kShown> list_{};
};

}  // namespace qelm::ui
