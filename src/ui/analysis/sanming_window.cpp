#include "ui/analysis/sanming_window.hpp"

#include <QLabel>
#include <string>

#include "analysis/scoring.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

// Geometry in twips. Pillar and luck columns run from right to left.
constexpr int kWidth = 10380;
constexpr int kMargin = 240;
constexpr int kPillarColumn = 1200;
constexpr int kLuckColumn = 990;
// Labels stay a little narrower than their column pitch, so that neighbours
// never touch whatever the pixel rounding.
constexpr int kPillarLabel = kPillarColumn - 60, kLuckLabel = kLuckColumn - 60;

constexpr int kSeasonTop = 240;
constexpr int kHeadTop = 960, kStemTop = 1380, kBranchTop = 1800, kSoundTop = 2280;
constexpr int kLuckTop = 2880;
constexpr int kStepTop = kLuckTop, kAgesTop = kLuckTop + 300, kLuckStemTop = kLuckTop + 600,
              kLuckBranchTop = kLuckTop + 1020, kLuckSoundTop = kLuckTop + 1500;
constexpr int kHeight = kLuckSoundTop + 300 + 240;

constexpr std::uint32_t kStarColour = 0x0000FF;  // 255,0,0

struct PillarLabels {
  QLabel *stem, *branch, *sound;
};

// The stem in its own colour, the branch in the colour of its main hidden
// stem, the 納音 in the colour of its element.
void DrawColumn(const PillarLabels& l, Pillar p) {
  const PillarNotes notes = AnnotatePillar(p, std::nullopt);
  l.stem->setText(Q(p.stem.name()));
  SetTextColour(l.stem, notes.StemColour);
  l.branch->setText(Q(p.branch.name()));
  SetTextColour(l.branch, notes.HiddenColour[0]);
  if (const auto sound = SoundElementOf((p.stem.number() + 1) / 2, (p.branch.number() + 1) / 2)) {
    l.sound->setText(Q(sound->SoundName));
    SetTextColour(l.sound, Element{sound->SoundElementIndex}.colour());
  }
}

QLabel* Centred(QLabel* l) {
  l->setAlignment(Qt::AlignCenter);
  return l;
}

}  // namespace

SanMingWindow::SanMingWindow(const ChartState& chart, const FlowState& flow, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("Form8"));
  setWindowTitle(QStringLiteral("三命"));
  setFixedSize(Px(kWidth), Px(kHeight));

  const QFont seasonFont = Font(kSansFace, 12, true);
  const QFont headFont = Font(kSansFace, 12);
  const QFont pillarFont = Font(kSansFace, 15.75, true);
  const QFont smallFont = Font(kSansFace, 9.75);
  const QFont luckFont = Font(kSansFace, 14.25, true);

  // 旺 相 死 囚 休, each followed by the element of that rank.
  const SeasonRanking season = SeasonStates(chart.MonthBranch, chart.BirthJieDays);
  const std::array<QString, 5> ranks{QStringLiteral("旺"), QStringLiteral("相"),
                                     QStringLiteral("死"), QStringLiteral("囚"),
                                     QStringLiteral("休")};
  for (int i = 0; i < 5; ++i) {
    const int left = kMargin + i * 900;
    Centred(MakeLabel(this, IndexedName(QStringLiteral("seasonRank"), i), left, kSeasonTop, 390, 420,
                      seasonFont, ranks[i]));
    QLabel* fs = Centred(MakeLabel(this, IndexedName(QStringLiteral("seasonElement"), i), left + 390,
                                   kSeasonTop, 390, 420, seasonFont, QStringLiteral("金")));
    fs->setText(Q(season.SeasonNames[i]));
    SetTextColour(fs, season.SeasonElements[i].colour());
  }

  // Pillar block: 年 at the right, then 月 日 時, and 胎 apart at the left.
  struct Column {
    int heading;       // index of its heading
    const char* name;  // control prefix
    int slot;          // 0 is the rightmost
    Pillar pillar;
  };
  const std::array<Column, 5> columns{{
      {0, "year", 0, chart.YearPillar()},
      {1, "conception", 4, chart.ConceptionPillar},
      {2, "month", 1, chart.MonthPillar()},
      {3, "day", 2, chart.DayPillar()},
      {4, "hour", 3, chart.HourPillar()},
  }};
  const std::array<QString, 5> headings{QStringLiteral("年"), QStringLiteral("胎"),
                                        QStringLiteral("月"), QStringLiteral("日"),
                                        QStringLiteral("時")};
  for (const Column& c : columns) {
    const int gap = c.slot == 4 ? 360 : 0;  // 胎 stands apart from the four pillars
    const int left = kWidth - kMargin - (c.slot + 1) * kPillarColumn - gap;
    const QString prefix = QString::fromLatin1(c.name);
    Centred(MakeLabel(this, IndexedName(QStringLiteral("pillarHeading"), c.heading), left, kHeadTop,
                      kPillarLabel, 360, headFont, headings[c.heading]));
    const PillarLabels l{
        Centred(MakeLabel(this, prefix + QStringLiteral("Stem"), left, kStemTop, kPillarLabel, 420,
                          pillarFont, QStringLiteral("甲"))),
        Centred(MakeLabel(this, prefix + QStringLiteral("Branch"), left, kBranchTop, kPillarLabel, 420,
                          pillarFont, QStringLiteral("子"))),
        Centred(MakeLabel(this, prefix + QStringLiteral("Sound"), left, kSoundTop, kPillarLabel,
                          300, smallFont, QStringLiteral("海中金"))),
    };
    DrawColumn(l, c.pillar);
  }

  // Luck strip: pillars 1..10, the first at the right; ★ on the current one.
  for (int i = 0; i < 10; ++i) {
    const int k = i + 1;
    const int left = kWidth - kMargin - (i + 1) * kLuckColumn;
    QLabel* step = Centred(MakeLabel(this, IndexedName(QStringLiteral("luckMark"), i), left, kStepTop,
                                     kLuckLabel, 300, smallFont, QStringLiteral("100 - 100")));
    step->setText(k == flow.CurrentLuckIndex ? QStringLiteral("★") : QString());
    SetTextColour(step, kStarColour);
    QLabel* ages = Centred(MakeLabel(this, IndexedName(QStringLiteral("luckAges"), i), left, kAgesTop,
                                     kLuckLabel, 300, smallFont, QStringLiteral("100 - 100")));
    ages->setText(QString::fromStdString(chart.LuckAgeRanges[i]));
    const PillarLabels l{
        Centred(MakeLabel(this, IndexedName(QStringLiteral("luckStem"), i), left, kLuckStemTop,
                          kLuckLabel, 420, luckFont, QStringLiteral("甲"))),
        Centred(MakeLabel(this, IndexedName(QStringLiteral("luckBranch"), i), left, kLuckBranchTop,
                          kLuckLabel, 420, luckFont, QStringLiteral("子"))),
        Centred(MakeLabel(this, IndexedName(QStringLiteral("luckSound"), i), left, kLuckSoundTop,
                          kLuckLabel, 300, smallFont, QStringLiteral("海中金"))),
    };
    DrawColumn(l, chart.LuckPillar(k));
    // The stem governs the first five years of the pillar, the branch the last five.
    l.stem->setToolTip(QStringLiteral("天干上五年  ") + QString::fromStdString(chart.LuckChangeDates[i]));
    l.branch->setToolTip(QStringLiteral("地支下五年  ") +
                         QString::fromStdString(chart.LuckMidChangeDates[i]));
  }
}

}  // namespace qelm::ui
