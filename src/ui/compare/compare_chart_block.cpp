#include "ui/compare/compare_chart_block.hpp"

#include <QLabel>

#include "analysis/relations.hpp"
#include "report/compare_report.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/pillar_cells.hpp"

namespace qelm::ui {
namespace {

// Twips from the side's left edge and the window's top.
constexpr int kColumnLeft = 480, kColumnPitch = 1260;
constexpr int kNameTop = 120, kBirthTop = 560, kHeaderTop = 1140, kTenGodTop = 1500, kStemTop = 1790;
constexpr int kBranchTop = 2170, kHiddenTop = 2560, kHiddenTenGodTop = 2800, kSoundTop = 3160, kLuckTop = 3560;
constexpr int kSideWidth = 5280, kBigCell = 375, kWideCell = 900;
// The three hidden stems stand right to left, as in the main window.
constexpr std::array<int, 3> kHiddenShift{280, 40, -200};

struct ColumnDesign {
  const char* name;
  const char* caption;
  Position position;
};
constexpr std::array<ColumnDesign, 4> kColumns{{{"Hour", "時", Position::Hour},
                                               {"Day", "日", Position::Day},
                                               {"Month", "月", Position::Month},
                                               {"Year", "年", Position::Year}}};

Pillar PillarAt(const ChartState& c, Position p) {
  switch (p) {
    case Position::Year: return c.YearPillar();
    case Position::Month: return c.MonthPillar();
    case Position::Day: return c.DayPillar();
    default: return c.HourPillar();
  }
}

}  // namespace

CompareChartBlock::CompareChartBlock(QWidget* window, const QString& side, int left, bool nameLine) : side_(side) {
  const QFont text = Font(kSansFace, 9.75);
  const QFont big = Font(kSansFace, 15.75, true);
  const QString p = side + QStringLiteral("_");
  if (nameLine) name_ = MakeLabel(window, p + "nameLine", left, kNameTop, kSideWidth, 360, Font(kSansFace, 11.25, true));
  birth_ = MakeLabel(window, p + "birthLine", left, kBirthTop, kSideWidth, 520, Font(kSansFace, 9));
  luck_ = MakeLabel(window, p + "luckLine", left, kLuckTop, kSideWidth, 300, text);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    const QString n = p + QString::fromLatin1(kColumns[i].name);
    const int cell = left + kColumnLeft + static_cast<int>(i) * kColumnPitch;
    const int wide = cell + (kBigCell - kWideCell) / 2;
    Column& col = columns_[i];
    col.header = MakeCell(window, n + "Header", cell, kHeaderTop, kBigCell, 330, Font(kSansFace, 12, true));
    col.header->setText(QString::fromUtf8(kColumns[i].caption));
    col.stemTenGod = MakeCell(window, n + "StemTenGod", wide, kTenGodTop, kWideCell, 280, text);
    col.stem = MakeCell(window, n + "Stem", cell, kStemTop, kBigCell, 375, big);
    col.branch = MakeCell(window, n + "Branch", cell, kBranchTop, kBigCell, 375, big);
    for (std::size_t k = 0; k < 3; ++k) {
      const QString m = QString::number(k + 1);
      col.hidden[k] = MakeCell(window, n + "Hidden" + m, cell + kHiddenShift[k], kHiddenTop, 240, 240, text);
      col.hiddenTenGod[k] =
          MakeCell(window, n + "HiddenTenGod" + m, cell + kHiddenShift[k], kHiddenTenGodTop, 240, 280, text);
    }
    col.sound = MakeCell(window, n + "Sound", wide, kSoundTop, kWideCell, 280, text);
    for (QLabel* l : {col.header, col.stemTenGod, col.stem, col.branch, col.sound}) HoldWholeLine(l);
    for (QLabel* l : col.hidden) HoldWholeLine(l);
    for (QLabel* l : col.hiddenTenGod) HoldWholeLine(l);
  }
}

void CompareChartBlock::Draw(const ChartState& c) {
  if (name_) name_->setText(side_ + QStringLiteral("　") + Q(c.PersonName));
  birth_->setText(Q(BirthDataLine(c)));
  // A screen reader hears the whole side from its first line.
  const QString lines = Q(ComparePersonLines(side_.toStdString(), c, "\n"));
  if (name_) name_->setAccessibleDescription(lines);
  birth_->setAccessibleDescription(lines);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    Column& col = columns_[i];
    const Pillar p = PillarAt(c, kColumns[i].position);
    const PillarDrawing d = DrawPillar(p, c.DayStem);
    ShowColoured(col.stem, d.stem);
    ShowColoured(col.branch, d.branch);
    if (kColumns[i].position == Position::Day) {
      col.stemTenGod->setText(QStringLiteral("日主"));
      SetTextColour(col.stemTenGod, d.stem.colour);
    } else {
      col.stemTenGod->setText(Q(p.stem.tenGodTo(c.DayStem).name()));
      SetTextColour(col.stemTenGod, d.stemTenGod.colour);
    }
    for (std::size_t k = 0; k < 3; ++k) {
      ShowColoured(col.hidden[k], d.hidden[k]);
      ShowColoured(col.hiddenTenGod[k], d.hiddenTenGod[k]);
    }
    const SoundElement s = SoundElementOf(p);
    col.sound->setText(Q(s.SoundName));
    SetTextColour(col.sound, Element{s.SoundElementIndex}.colour());
  }
}

void CompareChartBlock::DrawLuck(const ChartState& c, const FlowState& f) {
  QString line = QStringLiteral("大運 ");
  if (f.CurrentLuckIndex >= 1 && f.CurrentLuckIndex <= 12)
    line += Q(c.LuckPillar(f.CurrentLuckIndex).name()) + QStringLiteral("（") +
            Q(c.LuckAgeRanges[static_cast<std::size_t>(f.CurrentLuckIndex - 1)]).simplified() +
            QStringLiteral(" 歲）");
  else
    line += QStringLiteral("未起運");
  luck_->setText(line);
}

void CompareChartBlock::Clear() {
  if (name_) name_->clear();
  birth_->clear();
  luck_->clear();
  for (Column& col : columns_) {
    for (QLabel* l : {col.stemTenGod, col.stem, col.branch, col.sound}) l->clear();
    for (QLabel* l : col.hidden) l->clear();
    for (QLabel* l : col.hiddenTenGod) l->clear();
  }
}

}  // namespace qelm::ui
