#include "ui/analysis/stars_window.hpp"

#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include "ui/kit/colours.hpp"
#include "ui/kit/column_label.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"


namespace qelm::ui {
namespace {

// The school each switch stands for, left to right.
constexpr std::array<School, 2> kSchoolOfSwitch{School::ZiPing, School::SanMing};


// Colours, red in the low byte.
constexpr std::uint32_t kBoxGrey = 0xE0E0E0;     // 224,224,224
constexpr std::uint32_t kStemStars = 0x00C000;   // 0,192,0
constexpr std::uint32_t kBranchStars = 0xC0C000; // 0,192,192
constexpr std::uint32_t kGrey = 0x808080;        // 128,128,128
constexpr std::uint32_t kStage = 0xFF8080;       // 128,128,255
constexpr std::uint32_t kBranchName = 0x00C0C0;  // 192,192,0
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The ring runs clockwise from 巳 in the top left corner: 巳 午 未 申 along the
// top, 申 酉 戌 亥 down the right, 亥 子 丑 寅 back along the bottom and 寅 卯 辰 巳
// up the left. {row, column} of the box of each branch 子 .. 亥.
struct Cell {
  int row, column;
};
constexpr std::array<Cell, 12> kRing{{{3, 2}, {3, 1}, {3, 0}, {2, 0}, {1, 0}, {0, 0},
                                      {0, 1}, {0, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}}};

// Geometry in twips.
constexpr int kGridLeft = 240, kGridTop = 720;
constexpr int kBoxWidth = 1920, kBoxHeight = 2700, kGap = 60;
constexpr int kColumnWidth = 500;   // a little over two characters
constexpr int kBottomHeight = 600;  // the growth stage / void marks / branch strip
constexpr int kColumnHeight = kBoxHeight - kGap - kBottomHeight - 240;
constexpr int kCentreLabelWidth = 360;

}  // namespace

StarsWindow::StarsWindow(const ChartState& chart, QWidget* parent)
    : QWidget(parent), chart_(chart) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("神煞"));

  const QFont optionFont = Font(kSansFace, 11.25);
  const QFont starFont = Font(kSansFace, 9);
  const QFont branchFont = Font(kSansFace, 12, true);
  const QFont centreFont = Font(kSansFace, 12);

  const std::array<QString, 2> schools{QStringLiteral("子平法"), QStringLiteral("三命法")};
  for (int i = 0; i < 2; ++i) {
    schoolSwitch_[i] = new QRadioButton(schools[i], this);
    schoolSwitch_[i]->setObjectName(IndexedName(QStringLiteral("schoolSwitch"), i));
    schoolSwitch_[i]->setFont(optionFont);
    Place(schoolSwitch_[i], 240 + 1320 * i, 180, 1215, 375);
  }
  schoolSwitch_[0]->setChecked(true);

  for (int i = 0; i < 12; ++i) {
    auto* box = new QFrame(this);
    box->setObjectName(IndexedName(QStringLiteral("branchBox"), i));
    box->setFrameShape(QFrame::Box);
    box->setFrameShadow(QFrame::Sunken);
    SetBackground(box, kBoxGrey);
    Place(box, kGridLeft + kRing[i].column * kBoxWidth, kGridTop + kRing[i].row * kBoxHeight,
          kBoxWidth - kGap, kBoxHeight - kGap);
    branchBoxes_[i] = box;

    auto column = [&](const QString& name, int left, std::uint32_t colour) {
      QLabel* l = MakeLabel(box, IndexedName(name, i), left, 90, kColumnWidth, kColumnHeight,
                            starFont);
      SetTextColour(l, colour);
      SetBackground(l, kBoxGrey);
      return l;
    };
    stemStars_[i] = column(QStringLiteral("stemStars"), 90, kStemStars);
    branchStars_[i] = column(QStringLiteral("branchStars"), 90 + kColumnWidth + 60, kBranchStars);
    yearGods_[i] = column(QStringLiteral("yearGods"), 90 + 2 * (kColumnWidth + 60), kGrey);

    const int bottom = kBoxHeight - kGap - kBottomHeight - 30;
    growthStages_[i] = MakeLabel(box, IndexedName(QStringLiteral("growthStage"), i), 90, bottom, kColumnWidth,
                       kBottomHeight, starFont);
    growthStages_[i]->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    SetTextColour(growthStages_[i], kStage);
    voidMarks_[i] = MakeLabel(box, IndexedName(QStringLiteral("voidMarks"), i), 90 + kColumnWidth + 60, bottom,
                        780, kBottomHeight, starFont);
    voidMarks_[i]->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    SetTextColour(voidMarks_[i], kGrey);
    branchNames_[i] = MakeLabel(box, IndexedName(QStringLiteral("branchName"), i),
                           kBoxWidth - kGap - 90 - 330, bottom, 330, kBottomHeight, branchFont,
                           Q(std::string(Branch{i + 1}.name())));
    branchNames_[i]->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    SetTextColour(branchNames_[i], kBranchName);
    for (QLabel* l : {growthStages_[i], voidMarks_[i], branchNames_[i]}) SetBackground(l, kBoxGrey);
  }

  // The centre: four narrow labels, each read from top to bottom.
  const int centreLeft = kGridLeft + kBoxWidth, centreWidth = 2 * kBoxWidth - kGap;
  // Tall enough for the longest text, "天德合 申", one character a line.
  const int centreHeight = 2400;
  const int centreTop = kGridTop + kBoxHeight + (2 * kBoxHeight - kGap - centreHeight) / 2;
  const int step = centreWidth / 4;
  QLabel** centre[4] = {&monthVirtueCombine_, &monthVirtue_, &heavenVirtue_, &heavenVirtueCombine_};
  const std::array<QString, 4> names{QStringLiteral("monthVirtueCombine"), QStringLiteral("monthVirtue"),
                                     QStringLiteral("heavenVirtue"), QStringLiteral("heavenVirtueCombine")};
  for (int k = 0; k < 4; ++k) {
    // One character a row, blanks included, so that the last characters of
    // the four padded texts line up.
    auto* l = new ColumnLabel(this);
    l->setObjectName(names[k]);
    l->setFont(centreFont);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Place(l, centreLeft + step * k + (step - kCentreLabelWidth) / 2, centreTop, kCentreLabelWidth,
          centreHeight);
    SetBackground(l, kWhite);
    *centre[k] = l;
  }

  ShowRows(School::ZiPing);
  ShowVirtues();

  for (std::size_t i = 0; i < schoolSwitch_.size(); ++i) {
    const School school = kSchoolOfSwitch[i];
    connect(schoolSwitch_[i], &QRadioButton::toggled, this, [this, school](bool on) {
      if (on) SchoolChosen(school);
    });
  }

  setFixedSize(Px(kGridLeft + 4 * kBoxWidth + 240), Px(kGridTop + 4 * kBoxHeight + 180));
}

void StarsWindow::ClearRows() {
  for (int i = 0; i < 12; ++i) {
    for (QLabel* l : {growthStages_[i], stemStars_[i], branchStars_[i], yearGods_[i], voidMarks_[i]}) l->clear();
  }
}

void StarsWindow::ShowRows(School school) {
  const StarRows rows = BuildStarRows(chart_, school);
  for (int i = 0; i < 12; ++i) {
    growthStages_[i]->setText(Q(rows.GrowthStages[i]));
    stemStars_[i]->setText(Q(rows.StemStars[i]));
    branchStars_[i]->setText(Q(rows.BranchStars[i]));
    yearGods_[i]->setText(Q(rows.YearGods[i]));
    voidMarks_[i]->setText(Q(rows.VoidMarks[i]));
  }
}

void StarsWindow::ShowVirtues() {
  const Virtues v = BuildVirtues(chart_.MonthBranch);
  heavenVirtue_->setText(Q(v.HeavenlyVirtue));
  heavenVirtueCombine_->setText(Q(v.HeavenlyVirtueCombination));
  monthVirtue_->setText(Q(v.MonthlyVirtue));
  monthVirtueCombine_->setText(Q(v.MonthlyVirtueCombination));
}

void StarsWindow::SchoolChosen(School school) {
  ClearRows();
  ShowRows(school);
}

}  // namespace qelm::ui
