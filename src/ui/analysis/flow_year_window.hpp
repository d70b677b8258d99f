// Form4 流年: the year pillars of the first hundred lunar years of life, with
// the flow year marked.
#pragma once

#include <QWidget>
#include <array>

#include "chart/chart.hpp"

class QLabel;

namespace qelm::ui {

// Background of the marked cell: 255,255,128.
inline constexpr std::uint32_t kMarkedCellColour = 8454143;

// A 10 × 10 grid of cells 680 twips square: year number on top, stem at the
// lower left, branch at the lower right; cells run left to right, then top
// to bottom.
struct YearGrid {
  std::array<QLabel*, 100> year{}, stem{}, branch{};
};
// Creates the three label arrays NAMES_0 .. NAMES_99 and places them.
YearGrid LoadYearGrid(QWidget* parent, const QString& yearName, const QString& stemName,
                      const QString& branchName);
// Writes one cell: year number, and the pillar in its stem and branch colours.
void FillYearCell(YearGrid& grid, int n, int year, Pillar p, bool marked);

class FlowYearWindow : public QWidget {
  Q_OBJECT
 public:
  FlowYearWindow(const ChartState& chart, const FlowState& flow, QWidget* parent = nullptr);

 private:
  void BuildYearGrid();
  YearGrid grid_;
};

}  // namespace qelm::ui
