// The natal chart block of the main window: four pillar columns, hour at the
// left and year at the right, each with its header, stem, stem ten god,
// branch, and three hidden stems with their ten gods. The widget owns its
// labels.
#pragma once

#include <array>

#include "chart/chart.hpp"
#include "ui/kit/part_group.hpp"

class QLabel;

namespace qelm::ui {

class NatalBlock : public PartGroup {
  Q_OBJECT
 public:
  // Stands where the window's design puts the block.
  explicit NatalBlock(QWidget* window);
  // The four columns by the pillar drawing rule; the day column has no stem
  // ten god, and absent hidden stems leave their labels empty.
  void DrawNatalChart(const ChartState& c);

 private:
  struct Column {
    QLabel* header;
    QLabel* stem;
    QLabel* stemTenGod;  // none for the day column
    QLabel* branch;
    std::array<QLabel*, 3> hidden, hiddenTenGod;
  };
  std::array<Column, 4> columns_{};  // hour, day, month, year
};

}  // namespace qelm::ui
