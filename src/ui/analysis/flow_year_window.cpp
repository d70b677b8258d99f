#include "ui/analysis/flow_year_window.hpp"

#include <QApplication>
#include <QLabel>
#include <QPalette>

#include "ui/kit/colours.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {
namespace {

std::uint32_t ColourNumber(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
         static_cast<std::uint32_t>(c.blue()) << 16;
}

constexpr std::uint32_t kYearBackground = 0xE0E0E0;  // 224,224,224
constexpr std::uint32_t kYearText = 0xFF8080;        // 128,128,255

}  // namespace

YearGrid LoadYearGrid(QWidget* parent, const QString& yearName, const QString& stemName,
                      const QString& branchName) {
  YearGrid grid;
  const QFont yearFont = Font(kSansFace, 9.75);
  const QFont pillarFont = Font(kSansFace, 12, true);
  // The stem and branch cells take the system's 3-D light colour.
  const std::uint32_t cellBackground = ColourNumber(QApplication::palette().color(QPalette::Light));
  for (int n = 0; n < 100; ++n) {
    const int r = n / 10, c = n % 10;
    QLabel* y = MakeLabel(parent, IndexedName(yearName, n), 240 + 680 * c, 240 + 680 * r, 600, 240,
                          yearFont);
    SetBackground(y, kYearBackground);
    SetTextColour(y, kYearText);
    QLabel* s = MakeLabel(parent, IndexedName(stemName, n), 240 + 680 * c, 510 + 680 * r, 300, 315,
                          pillarFont);
    QLabel* b = MakeLabel(parent, IndexedName(branchName, n), 540 + 680 * c, 510 + 680 * r, 300,
                          315, pillarFont);
    for (QLabel* l : {s, b}) SetBackground(l, cellBackground);
    for (QLabel* l : {y, s, b}) {
      l->setAlignment(Qt::AlignCenter);
      l->show();
    }
    grid.year[n] = y;
    grid.stem[n] = s;
    grid.branch[n] = b;
  }
  return grid;
}

void FillYearCell(YearGrid& grid, int n, int year, Pillar p, bool marked) {
  const PillarNotes notes = AnnotatePillar(p, std::nullopt);
  grid.year[n]->setText(QString::number(year));
  grid.stem[n]->setText(Q(p.stem.name()));
  SetTextColour(grid.stem[n], notes.StemColour);
  grid.branch[n]->setText(Q(p.branch.name()));
  SetTextColour(grid.branch[n], notes.HiddenColour[0]);
  if (marked) {
    for (QLabel* l : {grid.year[n], grid.stem[n], grid.branch[n]}) SetBackground(l, kMarkedCellColour);
  }
}

FlowYearWindow::FlowYearWindow(const ChartState& chart, const FlowState& flow, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("流年"));
  SetBackground(this, 0xFFFFFF);
  setFixedSize(Px(7200), Px(7185));
  BuildYearGrid();

  // Cell n is lunar year LunarYear + n, its pillar counted on from the pillar
  // of the birth year's New Year. The first sixty cells hold each pillar once;
  // from age 60 the mark is sought among the forty cells after them.
  const Pillar flowYear = flow.YearPillar();
  const int first = flow.FlowAge <= 59 ? 0 : 60;
  const int last = flow.FlowAge <= 59 ? 59 : 99;
  Pillar p{chart.NewYearStem, chart.NewYearBranch};
  for (int n = 0; n < 100; ++n) {
    if (n > 0) p = p.next();
    const bool marked = n >= first && n <= last && p == flowYear;
    FillYearCell(grid_, n, chart.LunarYear + n, p, marked);
  }
}

void FlowYearWindow::BuildYearGrid() {
  grid_ = LoadYearGrid(this, QStringLiteral("flowYear"), QStringLiteral("flowYearStem"),
                       QStringLiteral("flowYearBranch"));
}

}  // namespace qelm::ui
