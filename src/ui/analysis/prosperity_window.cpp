#include "ui/analysis/prosperity_window.hpp"

#include <QLabel>
#include <QProgressBar>
#include <string_view>

#include "analysis/scoring.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

constexpr int kWidth = 6240;  // client area, twips
constexpr int kBarMaximum = 150;  // above the largest cumulative total, 141

// By ScorePeriod.
constexpr std::array<std::string_view, kScorePeriods.size()> kHeadings{
    "大運五行旺衰累計總分", "流年五行旺衰累計總分", "流月五行旺衰累計總分",
    "流日五行旺衰累計總分", "流時五行旺衰累計總分"};

// The pairs weigh the day master's side against the other: 印比 比食 食財 財官 官印.
struct PairRow {
  std::string_view name;
  std::uint32_t colour;  // red in the low byte
};
constexpr std::array<PairRow, 5> kPairs{{
    {"印比", 0xC0C000},  // 0,192,192
    {"比食", 0xFF00FF},  // 255,0,255
    {"食財", 0x80C0FF},  // 255,192,128
    {"財官", 0x00C0C0},  // 192,192,0
    {"官印", 0xFF8080},  // 128,128,255
}};

}  // namespace

ProsperityWindow::ProsperityWindow(const ChartState& chart, const FlowState& flow, ScorePeriod period,
                                   QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("Form7"));
  setWindowTitle(QStringLiteral("五行衰旺"));
  setAutoFillBackground(true);

  const QFont headFont = Font(kSansFace, 12, true);
  const QFont textFont = Font(kSansFace, 11.25);

  MakeLabel(this, QStringLiteral("periodHeading"), 240, 240, kWidth - 480, 360, headFont,
            Q(kHeadings[static_cast<std::size_t>(period)]));
  MakeLabel(this, QStringLiteral("pairNote"), 240, 720, kWidth - 480, 720, textFont,
            QStringLiteral("印比總分高過異黨，或與異黨其一均停，即可任財官食傷。"));

  int top = 1560;
  // Before the first luck period there is no luck pillar to count.
  if (flow.CurrentLuckIndex < 1 || flow.CurrentLuckIndex > 12) {
    QLabel* note = MakeLabel(this, QStringLiteral("luckNote"), 240, top, kWidth - 480, 360,
                             textFont, QStringLiteral("目前尚未起運，未計大運"));
    SetTextColour(note, 0x0000C0);  // 192,0,0
    top += 480;
  }

  rows_ = MakeElementRows(this, top, kBarMaximum);
  const int pairTop = top + 5 * ElementRows::kRowStep + 240;
  const QFont font = Font(kSansFace, 12);
  for (int i = 0; i < 5; ++i) {
    const int y = pairTop + i * ElementRows::kRowStep;
    pairNames_[i] = MakeLabel(this, IndexedName(QStringLiteral("pairName"), i), 240, y, 1200, 360, font,
                           Q(kPairs[i].name));
    SetTextColour(pairNames_[i], kPairs[i].colour);
    pairBars_[i] = MakeColourBar(this, IndexedName(QStringLiteral("pairBar"), i),
                             ElementRows::kBarLeft, y + 30, ElementRows::kBarWidth, 300,
                             kBarMaximum, kPairs[i].colour);
    pairSums_[i] = MakeLabel(this, IndexedName(QStringLiteral("pairSum"), i), ElementRows::kScoreLeft,
                           y, 720, 360, font, QStringLiteral("60"));
    pairSums_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }

  const ElementScores scores = LevelScores(chart, flow, period);
  FillElementRows(rows_, scores, chart.DayStem);
  const std::array<int, 5> sums = PairSums(scores, chart.DayStem);
  for (int i = 0; i < 5; ++i) {
    pairBars_[i]->setValue(std::min(sums[i], kBarMaximum));
    pairSums_[i]->setText(QString::number(sums[i]));
    pairBars_[i]->setAccessibleName(Q(kPairs[i].name) + QStringLiteral(" 分數"));
    pairBars_[i]->setAccessibleDescription(QStringLiteral("%1 分").arg(sums[i]));
  }

  setFixedSize(Px(kWidth), Px(pairTop + 5 * ElementRows::kRowStep + 120));
}

}  // namespace qelm::ui
