#include "ui/main/natal_block.hpp"

#include <QLabel>

#include "ui/kit/fonts.hpp"
#include "ui/kit/pillar_cells.hpp"

namespace qelm::ui {
namespace {

struct ColumnDesign {
  const char* name;     // in the labels' object names
  const char* caption;  // the header
  int left;
};
// Hour, day, month, year from left to right.
constexpr std::array<ColumnDesign, 4> kColumns{
    {{"Hour", "時", 840}, {"Day", "日", 2160}, {"Month", "月", 3480}, {"Year", "年", 4800}}};

}  // namespace

NatalBlock::NatalBlock(QWidget* window) : PartGroup(window) {
  setObjectName(QStringLiteral("natalBlock"));
  setAccessibleName(QStringLiteral("本命四柱"));
  const QFont text = Font(kSansFace, 9.75);
  const QFont big = Font(kSansFace, 15.75, true);
  for (std::size_t c = 0; c < kColumns.size(); ++c) {
    const QString p = QStringLiteral("natal") + QString::fromLatin1(kColumns[c].name);
    const int left = kColumns[c].left;
    const bool day = c == 1;
    Column& col = columns_[c];
    col.header = MakeCell(this, p + "Header", left, 2040, 375, 375, big);
    col.stemTenGod = day ? nullptr : MakeCell(this, p + "StemTenGod", left, 2440, 375, 280, text);
    col.stem = MakeCell(this, p + "Stem", left, 2720, 375, 375, big);
    col.branch = MakeCell(this, p + "Branch", left, 3040, 375, 375, big);
    // The three hidden stems stand right to left.
    constexpr std::array<int, 3> shift{280, 40, -200};
    for (int k = 0; k < 3; ++k) {
      const QString n = QString::number(k + 1);
      col.hidden[k] = MakeCell(this, p + "Hidden" + n, left + shift[k], 3400, 240, 240, text);
      col.hiddenTenGod[k] = MakeCell(this, p + "HiddenTenGod" + n, left + shift[k], 3640, 240, 280, text);
    }
  }
  FitToParts();
}

void NatalBlock::DrawNatalChart(const ChartState& c) {
  const std::array<Pillar, 4> pillars{c.HourPillar(), c.DayPillar(), c.MonthPillar(), c.YearPillar()};
  for (std::size_t i = 0; i < 4; ++i) {
    Column& col = columns_[i];
    col.header->setText(QString::fromUtf8(kColumns[i].caption));
    const PillarDrawing d = DrawPillar(pillars[i], c.DayStem);
    ShowColoured(col.stem, d.stem);
    if (col.stemTenGod) ShowColoured(col.stemTenGod, d.stemTenGod);
    ShowColoured(col.branch, d.branch);
    for (int k = 0; k < 3; ++k) {
      ShowColoured(col.hidden[k], d.hidden[k]);
      ShowColoured(col.hiddenTenGod[k], d.hiddenTenGod[k]);
    }
  }
}

}  // namespace qelm::ui
