#include "ui/main/luck_pillars_view.hpp"

#include <QLabel>

#include "ui/kit/click_label.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/pillar_cells.hpp"

namespace qelm::ui {
namespace {

// Colours of the fixed texts (24-bit, red in the low byte).
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kGrey = 0x808080;

QString Name(const char* name, int i) { return IndexedName(QString::fromLatin1(name), i); }

}  // namespace

LuckPillarsView::LuckPillarsView(QWidget* window, std::function<void()> openProsperity) : PartGroup(window) {
  setObjectName(QStringLiteral("luckPillars"));
  setAccessibleName(QStringLiteral("大運"));
  const QFont text = Font(kSansFace, 9.75);
  const QFont bold = Font(kSansFace, 9.75, true);
  const QFont small = Font(kSansFace, 9);
  const QFont big = Font(kSansFace, 15.75, true);

  listHeader_ = MakeLabel(this, QStringLiteral("luckListHeader"), 8880, 840, 480, 300, text);
  dateHeader_ = MakeLabel(this, QStringLiteral("luckDateHeader"), 9360, 840, 1200, 300, text);

  // Strip column i stands 1080 × i left of column 0, list row i 300 × i
  // below row 0.
  for (int i = 0; i < kShown; ++i) {
    const int dx = -1080 * i;
    const int row = 1200 + 300 * i;

    ClickLabel* opener = MakeClickLabel(this, Name("luckOpener", i), 10380 + dx, 4560, 330, 300, small);
    opener->setWordWrap(false);
    opener->setAlignment(Qt::AlignCenter);
    SetTextColour(opener, kGrey);
    opener->setFocusPolicy(Qt::NoFocus);  // until it shows the star
    QObject::connect(opener, &ClickLabel::clicked, opener, [openProsperity] { openProsperity(); });
    openers_[i] = opener;

    StripColumn& col = strip_[i];
    col.ages = MakeLabel(this, Name("luckAges", i), 10320 + dx, 4920, 1000, 255, small);
    col.ages->setWordWrap(false);
    SetTextColour(col.ages, kRed);
    // Centred over the stem below it (10560 + 375 / 2).
    col.stemTenGod = MakeCell(this, Name("luckStemTenGod", i), 10600 + dx, 5195, 295, 270, text);
    col.stem = MakeCell(this, Name("luckStem", i), 10560 + dx, 5475, 375, 375, big);
    col.branch = MakeCell(this, Name("luckBranch", i), 10560 + dx, 5805, 375, 375, big);
    constexpr std::array<int, 3> lefts{10800, 10560, 10320};
    for (int k = 0; k < 3; ++k) {
      const QString n = QString::number(k + 1);
      col.hidden[k] = MakeCell(this, IndexedName("luckHidden" + n, i), lefts[k] + dx, 6165, 240, 240, text);
      col.hiddenTenGod[k] =
          MakeCell(this, IndexedName("luckHiddenTenGod" + n, i), lefts[k] + dx, 6405, 240, 280, text);
    }

    ListRow& r = list_[i];
    r.mark = MakeLabel(this, Name("luckMark", i), 8640, row, 240, 300, small);
    r.mark->setWordWrap(false);
    r.mark->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColour(r.mark, kRed);
    r.pillar = MakeLabel(this, Name("luckPillar", i), 8880, row, 480, 300, bold);
    r.changeDate = MakeLabel(this, Name("luckChangeDate", i), 9360, row, 1800, 300, bold);
    for (QLabel* l : {r.pillar, r.changeDate}) {
      l->setWordWrap(false);
      l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      SetTextColour(l, kGreen);
    }
    periods_[i] = QStringLiteral("第%1步").arg(i + 1);
  }
  FitToParts();
  NameOpeners();
}

void LuckPillarsView::NameOpeners() {
  for (int i = 0; i < kShown; ++i)
    openers_[i]->setAccessibleName(QStringLiteral("開啟五行衰旺（大運 ") + periods_[i] +
                                   (i == current_ - 1 ? QStringLiteral("，目前") : QString()) + QStringLiteral("）"));
}

void LuckPillarsView::DrawLuckPillars(const ChartState& c) {
  listHeader_->setText(QStringLiteral("大運"));
  dateHeader_->setText(QStringLiteral("交運日期"));
  // The dates are those of the school named here and in the chooser below the list.
  const QString heading = QString::fromStdString(LuckDatesHeading(c));
  dateHeader_->setToolTip(heading);
  dateHeader_->setAccessibleName(heading);
  for (int i = 0; i < kShown; ++i) {
    const Pillar p = c.LuckPillar(i + 1);
    list_[i].pillar->setText(QString::fromStdString(p.name()));
    list_[i].changeDate->setText(QString::fromStdString(c.LuckChangeDates[i]));
    StripColumn& col = strip_[i];
    col.ages->setText(QString::fromStdString(c.LuckAgeRanges[i]));
    const PillarDrawing d = DrawPillar(p, c.DayStem);
    ShowColoured(col.stem, d.stem);
    ShowColoured(col.stemTenGod, d.stemTenGod);
    ShowColoured(col.branch, d.branch);
    for (int n = 0; n < 3; ++n) {
      ShowColoured(col.hidden[n], d.hidden[n]);
      ShowColoured(col.hiddenTenGod[n], d.hiddenTenGod[n]);
    }
    periods_[i] = QStringLiteral("第%1步 %2，%3歲")
                      .arg(i + 1)
                      .arg(QString::fromStdString(p.name()), QString::fromStdString(c.LuckAgeRanges[i]).simplified());
    // The stem governs the first five years, the branch the five from the mid-point.
    col.stem->setToolTip(QStringLiteral("天干上五年  ") + QString::fromStdString(c.LuckChangeDates[i]));
    col.branch->setToolTip(QStringLiteral("地支下五年  ") + QString::fromStdString(c.LuckMidChangeDates[i]));
  }
}

void LuckPillarsView::MarkCurrent(int luckIndex) {
  const QString star = QStringLiteral("★");
  for (int i = 0; i < kShown; ++i) {
    const QString t = i == luckIndex - 1 ? star : QString();
    list_[i].mark->setText(t);
    openers_[i]->setText(t);
    openers_[i]->setFocusPolicy(t.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
  }
  current_ = luckIndex;
  NameOpeners();
}

}  // namespace qelm::ui
