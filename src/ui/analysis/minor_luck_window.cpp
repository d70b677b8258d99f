#include "ui/analysis/minor_luck_window.hpp"

#include "ui/kit/colours.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {

MinorLuckWindow::MinorLuckWindow(const ChartState& chart, const FlowState& flow, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("小運"));
  SetBackground(this, 0xFFFFFF);
  setFixedSize(Px(7200), Px(7185));
  BuildYearGrid();

  // 小運 starts from 丙寅 for a man and runs forward, from 壬申 for a woman and
  // runs backward: one step before the first year, so the first cell already
  // holds the stepped pillar.
  const bool male = chart.Sex == Sex::Male;
  Pillar p = male ? Pillar{Stem{2}, Branch{2}} : Pillar{Stem{10}, Branch{10}};
  for (int n = 0; n < 100; ++n) {
    p = p.next(male ? 1 : -1);
    FillYearCell(grid_, n, chart.BirthYear + n, p, n == flow.FlowAge);
  }
}

void MinorLuckWindow::BuildYearGrid() {
  grid_ = LoadYearGrid(this, QStringLiteral("minorLuckYear"), QStringLiteral("minorLuckStem"),
                       QStringLiteral("minorLuckBranch"));
}

}  // namespace qelm::ui
