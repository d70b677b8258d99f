#include "ui/main_window.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QToolButton>
#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "place/correction.hpp"
#include "report/report.hpp"
#include "ui/text_output_window.hpp"

#include "test_app.hpp"

namespace qelm::ui {
namespace {

using Fields5 = std::array<int, 5>;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApp(); }

  // A window whose clock reads `now` (changeable through now_).
  MainWindow& Open(Fields5 now) {
    now_ = now;
    window_ = std::make_unique<MainWindow>(
        [this] { return MakeMoment(now_[0], now_[1], now_[2], now_[3], now_[4]); });
    window_->show();
    return *window_;
  }

  QLabel* L(const char* name) const { return window_->findChild<QLabel*>(QString::fromLatin1(name)); }
  QString T(const char* name) const {
    const QLabel* l = L(name);
    EXPECT_NE(l, nullptr) << name;
    return l ? l->text() : QString();
  }
  Fields5 Shown() const {
    Fields5 f{};
    for (int i = 0; i < 5; ++i) f[i] = window_->field(i)->text().toInt();
    return f;
  }
  void Click(const char* name) {
    QWidget* w = window_->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    QTest::mouseClick(w, Qt::LeftButton);
  }
  void SetFlow(Moment t) {
    const CivilFields f = Fields(t);
    const Fields5 v{f.year, f.month, f.day, f.hour, f.minute};
    for (int i = 0; i < 5; ++i) window_->setField(i, v[i]);
  }

  Fields5 now_{};
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, NamesTitleAndControls) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  EXPECT_EQ(w.objectName(), "Form1");
  EXPECT_EQ(w.windowTitle(), "QELM");
  for (const char* name :
       {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7", "Command8",
        "USERLAB", "DateLAB", "STMLAB", "SMTSLAB", "DAStrLAB", "DateStrLAB", "Frame1", "Label37",
        "LunarYMDH", "SStrLAB", "STKLAB", "STKTGLAB", "SDJLAB", "SDKLAB3", "SDKTGLAB1", "DStrLAB",
        "DTKLAB", "DDKTGLAB3", "YDKLAB1", "MDKTGLAB2", "OPYSTR", "OPSSTR", "OPMTKTG", "OPDDJTG",
        "YNYS1", "SNYS3", "CTLDATE_0", "CTLDATE_4", "VScroll1_0", "VScroll1_4", "DA_STEP_0",
        "DA_STEP_9", "DA_DK3TG_9", "DA_KG_3", "DA_DATE_9", "DA_MASK_0", "DA_AGES_5"})
    EXPECT_NE(w.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(w.findChild<QWidget*>("DTKTGLAB"), nullptr);  // the day column has no stem ten god
  EXPECT_EQ(w.findChild<QWidget*>("DA_KG_10"), nullptr);
  EXPECT_EQ(qobject_cast<QPushButton*>(w.findChild<QWidget*>("Command5"))->text(), "NOW");
  EXPECT_EQ(qobject_cast<QPushButton*>(w.findChild<QWidget*>("Command8"))->text(), "文字輸出");
  EXPECT_EQ(T("Label37"), "西元");
  // Placed in twips: the year column's stem at 4800, 2720; the panel at 360, 6720.
  EXPECT_EQ(L("YTKLAB")->geometry().topLeft(), QPoint(Px(4800), Px(2720)));
  EXPECT_EQ(w.findChild<QWidget*>("Frame1")->geometry(), QRect(Px(360), Px(6720), Px(10960), Px(1935)));
  EXPECT_EQ(L("DA_TK_3")->x(), Px(10560 - 3 * 1080));
  EXPECT_EQ(L("DA_KG_3")->y(), Px(1200 + 900));
}

// Positions (twips, inside Frame1 for the panel's controls), fonts and the
// fixed colours of the controls the window's design names.
TEST_F(MainWindowTest, ControlsStandWhereTheDesignPutsThem) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  constexpr std::uint32_t kNone = 0xFFFFFFFF;
  struct Design {
    const char* name;
    int left, top;
    double points;
    bool bold;
    std::uint32_t colour;
  };
  const Design designs[] = {
      {"Command1", 240, 240, 9, false, kNone},     {"Command8", 6720, 240, 9, false, kNone},
      {"USERLAB", 280, 840, 9.75, false, kNone},   {"DateLAB", 280, 1080, 9.75, false, kNone},
      {"STMLAB", 285, 1320, 9.75, false, kNone},   {"SMTSLAB", 285, 1560, 9.75, false, kNone},
      {"SStrLAB", 840, 2040, 15.75, true, kNone},  {"DStrLAB", 2160, 2040, 15.75, true, kNone},
      {"MTKTGLAB", 3480, 2440, 9.75, false, kNone}, {"YTKLAB", 4800, 2720, 15.75, true, kNone},
      {"YDJLAB", 4800, 3040, 15.75, true, kNone},  {"YDKLAB1", 5080, 3400, 9.75, false, kNone},
      {"YDKLAB2", 4840, 3400, 9.75, false, kNone}, {"YDKLAB3", 4600, 3400, 9.75, false, kNone},
      {"SDKTGLAB1", 1120, 3640, 9.75, false, kNone}, {"DDKTGLAB3", 1960, 3640, 9.75, false, kNone},
      {"DAStrLAB", 8880, 840, 9.75, false, kNone}, {"DateStrLAB", 9360, 840, 9.75, false, kNone},
      {"DA_MASK_0", 8640, 1200, 9, false, 255},    {"DA_KG_2", 8880, 1800, 9.75, true, 32768},
      {"DA_DATE_9", 9360, 3900, 9.75, true, 32768},
      {"DA_STEP_0", 10380, 4560, 9, false, 0x808080}, {"DA_AGES_1", 9240, 4920, 9, false, 255},
      {"DA_TKTG_0", 10600, 5195, 9.75, false, kNone}, {"DA_TKTG_9", 880, 5195, 9.75, false, kNone},
      {"DA_TK_2", 8400, 5475, 15.75, true, kNone}, {"DA_DJ_0", 10560, 5805, 15.75, true, kNone},
      {"DA_DK1_0", 10800, 6165, 9.75, false, kNone}, {"DA_DK3_1", 9240, 6165, 9.75, false, kNone},
      {"DA_DK2TG_0", 10560, 6405, 9.75, false, kNone},
      {"Label37", 240, 480, 0, false, kNone},      {"CTLDATE_0", 840, 480, 0, false, kNone},
      {"VScroll1_0", 1450, 480, 0, false, kNone},  {"CTLDATE_4", 4560, 480, 0, false, kNone},
      {"VScroll1_4", 4935, 480, 0, false, kNone},  {"Command5", 5440, 480, 9, false, kNone},
      {"LunarYMDH", 240, 1200, 11.25, false, kNone},
      {"OPYSTR", 7365, 360, 9, false, kNone},      {"OPMTKTG", 8295, 555, 9.75, false, kNone},
      {"OPDTK", 9240, 720, 12, true, kNone},       {"OPSDJ", 10185, 975, 12, true, kNone},
      {"OPYDJTG", 7365, 1200, 9.75, false, kNone},
  };
  for (const Design& d : designs) {
    const QWidget* c = w.findChild<QWidget*>(QString::fromLatin1(d.name));
    ASSERT_NE(c, nullptr) << d.name;
    if (QString::fromLatin1(d.name).startsWith("OP")) {
      // The flow block's rows stand closer than a line of their fonts: a
      // cell covers its row's text position and reaches over the margins
      // around it for a whole line.
      EXPECT_EQ(c->x(), Px(d.left)) << d.name;
      EXPECT_LE(c->y(), Px(d.top)) << d.name;
      EXPECT_GT(c->geometry().bottom(), Px(d.top)) << d.name;
      EXPECT_GE(c->height(), c->fontMetrics().height()) << d.name;
    } else {
      EXPECT_EQ(c->pos(), QPoint(Px(d.left), Px(d.top))) << d.name;
    }
    if (qobject_cast<const QLabel*>(c) || qobject_cast<const QPushButton*>(c)) {
      EXPECT_EQ(c->font().family(), kSansFace) << d.name;
    }
    if (d.points > 0) {
      EXPECT_DOUBLE_EQ(c->font().pointSizeF(), d.points) << d.name;
      EXPECT_EQ(c->font().bold(), d.bold) << d.name;
    }
    if (d.colour != kNone) {
      EXPECT_EQ(TextColour(c), d.colour) << d.name;
    }
  }
  // The date row: every control 480 below the panel's top and 375 high.
  struct RowItem {
    const char* name;
    int left, width;
  };
  const RowItem row[] = {{"Label37", 240, 495},    {"CTLDATE_0", 840, 615},  {"VScroll1_0", 1450, 495},
                         {"CTLDATE_1", 1950, 375}, {"VScroll1_1", 2330, 495}, {"CTLDATE_2", 2820, 375},
                         {"VScroll1_2", 3200, 495}, {"CTLDATE_3", 3690, 375}, {"VScroll1_3", 4070, 495},
                         {"CTLDATE_4", 4560, 375}, {"VScroll1_4", 4935, 495}, {"Command5", 5440, 735}};
  for (const RowItem& r : row) {
    const QWidget* c = w.findChild<QWidget*>(QString::fromLatin1(r.name));
    ASSERT_NE(c, nullptr) << r.name;
    EXPECT_EQ(c->parentWidget()->objectName(), "Frame1") << r.name;
    EXPECT_EQ(c->geometry(), QRect(Px(r.left), Px(480), Px(r.width), Px(375))) << r.name;
  }
  // The sound-element labels of a column stand left to right at one height.
  for (const char* p : {"YNYS", "MNYS", "DNYS", "SNYS"}) {
    const QString n = QString::fromLatin1(p);
    const QWidget* a = w.findChild<QWidget*>(n + "1");
    const QWidget* b = w.findChild<QWidget*>(n + "2");
    const QWidget* c = w.findChild<QWidget*>(n + "3");
    EXPECT_LE(a->y(), Px(1500));
    EXPECT_GT(a->geometry().bottom(), Px(1500));
    EXPECT_TRUE(a->x() < b->x() && b->x() < c->x() && a->y() == b->y() && b->y() == c->y()) << p;
  }
}

TEST_F(MainWindowTest, StartUpDrawsThePresentWithoutTenGods) {
  MainWindow& w = Open({2020, 12, 31, 23, 59});
  EXPECT_EQ(Shown(), (Fields5{2020, 12, 31, 23, 59}));
  EXPECT_FALSE(w.chartLoaded());
  EXPECT_TRUE(w.isEnabled());
  EXPECT_EQ(T("USERLAB"), "");
  for (const char* name : {"DateLAB", "YStrLAB", "STKTGLAB", "MTKTGLAB", "YTKTGLAB", "YDKTGLAB1", "DAStrLAB",
                           "OPYTKTG", "OPMDJTG", "OPDTKTG", "OPSDJTG", "DA_KG_0", "DA_KG_9"})
    EXPECT_EQ(T(name), "") << name;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(L(qPrintable(IndexedName("DA_MASK", i)))->text(), "");
    EXPECT_EQ(L(qPrintable(IndexedName("DA_STEP", i)))->text(), "");
  }
  const auto now = CalcMoment({2020, 12, 31, 23, 59});
  ASSERT_TRUE(now);
  const FlowState flow = ComputeFlow(nullptr, *now.result);
  const std::array<Pillar, 4> pillars{flow.YearPillar(), flow.MonthPillar(), flow.DayPillar(), flow.HourPillar()};
  const std::array<const char*, 4> prefix{"OPY", "OPM", "OPD", "OPS"};
  const std::array<const char*, 4> sound{"YNYS", "MNYS", "DNYS", "SNYS"};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(T(qPrintable(QString(prefix[c]) + "TK")), Q(pillars[c].stem.name()));
    EXPECT_EQ(T(qPrintable(QString(prefix[c]) + "DJ")), Q(pillars[c].branch.name()));
    const SoundElement s = SoundElementOf(pillars[c]);
    EXPECT_EQ(T(qPrintable(QString(sound[c]) + "1")), Q(s.SoundChar1));
    EXPECT_EQ(TextColour(L(qPrintable(QString(sound[c]) + "3"))), Element{s.SoundElementIndex}.colour());
  }
  EXPECT_EQ(T("LunarYMDH"), QString::fromStdString(flow.LunarYMDH));
  EXPECT_TRUE(T("LunarYMDH").startsWith("陰曆 "));
  EXPECT_EQ(T("OPYSTR"), "歲");
  EXPECT_EQ(T("OPSSTR"), "時");
}

TEST_F(MainWindowTest, LoadedChartShowsTheCoreValues) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  ASSERT_TRUE(w.chartLoaded());
  const auto birth = CalcMoment({1990, 5, 17, 14, 30});
  ASSERT_TRUE(birth);
  const ChartState c = LoadChart("王小明", Sex::Male, *birth.result);

  EXPECT_EQ(T("DateLAB"), QString::fromStdString(c.DateLabText));
  EXPECT_EQ(T("STMLAB"), QString::fromStdString(c.CommandLineText));
  EXPECT_EQ(T("SMTSLAB"), QString::fromStdString(c.PalaceLineText));
  EXPECT_EQ(T("DAStrLAB"), "大運");
  EXPECT_EQ(T("DateStrLAB"), "交運日期");
  EXPECT_EQ(T("YStrLAB") + T("MStrLAB") + T("DStrLAB") + T("SStrLAB"), "年月日時");
  EXPECT_EQ(T("USERLAB"), "王小明 " + QString::fromStdString(NumberText(AgeAt(c, 2024, 6, 15))) + " 歲");
  EXPECT_EQ(T("USERLAB"), "王小明  34 歲");

  // Natal columns by the pillar drawing rule.
  struct Column {
    const char* prefix;
    Pillar pillar;
  };
  const Column columns[] = {{"Y", c.YearPillar()}, {"M", c.MonthPillar()}, {"D", c.DayPillar()}, {"S", c.HourPillar()}};
  for (const Column& col : columns) {
    const QString p = col.prefix;
    const PillarDrawing d = DrawPillar(col.pillar, c.DayStem);
    EXPECT_EQ(T(qPrintable(p + "TKLAB")), Q(d.stem.text)) << col.prefix;
    EXPECT_EQ(TextColour(L(qPrintable(p + "TKLAB"))), d.stem.colour) << col.prefix;
    EXPECT_EQ(T(qPrintable(p + "DJLAB")), Q(d.branch.text)) << col.prefix;
    EXPECT_EQ(TextColour(L(qPrintable(p + "DJLAB"))), d.branch.colour) << col.prefix;
    if (p != "D") {
      EXPECT_EQ(T(qPrintable(p + "TKTGLAB")), Q(d.stemTenGod.text)) << col.prefix;
    }
    for (int k = 0; k < 3; ++k) {
      const QString n = QString::number(k + 1);
      EXPECT_EQ(T(qPrintable(p + "DKLAB" + n)), Q(d.hidden[k].text)) << col.prefix << k;
      EXPECT_EQ(T(qPrintable(p + "DKTGLAB" + n)), Q(d.hiddenTenGod[k].text)) << col.prefix << k;
    }
  }

  // Luck list and strip.
  for (int i = 0; i < 10; ++i) {
    const Pillar p = c.LuckPillar(i + 1);
    EXPECT_EQ(L(qPrintable(IndexedName("DA_KG", i)))->text(), QString::fromStdString(p.name())) << i;
    EXPECT_EQ(L(qPrintable(IndexedName("DA_DATE", i)))->text(), QString::fromStdString(c.LuckChangeDates[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_AGES", i)))->text(), QString::fromStdString(c.LuckAgeRanges[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_TK", i)))->text(), Q(p.stem.name()));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_DJ", i)))->text(), Q(p.branch.name()));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_TKTG", i)))->text(), Q(p.stem.tenGodTo(c.DayStem).shortName()));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_TK", i)))->toolTip(),
              "天干上五年  " + QString::fromStdString(c.LuckChangeDates[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("DA_DJ", i)))->toolTip(),
              "地支下五年  " + QString::fromStdString(c.LuckMidChangeDates[i]));
  }

  // Flow block with ten gods and exactly one luck star, in both places.
  const FlowState& f = w.flow();
  EXPECT_EQ(T("OPYTKTG"), Q(f.YearPillar().stem.tenGodTo(c.DayStem).shortName()));
  EXPECT_EQ(T("OPSDJTG"), Q(f.HourPillar().branch.hiddenStems()[0]->tenGodTo(c.DayStem).shortName()));
  EXPECT_NE(T("OPYTKTG"), "");
  const int current = LuckIndexAt(c, MakeMoment(2024, 6, 15, 10, 30));
  ASSERT_GE(current, 1);
  ASSERT_LE(current, 10);
  int stars = 0;
  for (int i = 0; i < 10; ++i) {
    const bool here = L(qPrintable(IndexedName("DA_MASK", i)))->text() == "★";
    stars += here;
    EXPECT_EQ(here, i == current - 1) << i;
    EXPECT_EQ(L(qPrintable(IndexedName("DA_STEP", i)))->text() == "★", i == current - 1) << i;
  }
  EXPECT_EQ(stars, 1);
}

// The hour branch depends on the hour alone: 0 子, 6 卯, 18 酉, 12 午, 22 亥,
// 2 丑 (three hidden stems, drawn first so that stale labels would show).
TEST_F(MainWindowTest, AbsentHiddenStemsLeaveTheirLabelsEmpty) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  struct Case {
    int hour;
    const char* branch;
    int present;
  };
  const Case cases[] = {{0, "子", 1}, {6, "卯", 1}, {18, "酉", 1}, {12, "午", 2}, {22, "亥", 2}};
  for (const Case& c : cases) {
    ASSERT_TRUE(w.CastChart("甲", 1, {1985, 3, 10, 2, 15}));
    ASSERT_EQ(T("SDJLAB"), "丑");
    ASSERT_NE(T("SDKLAB3"), "");
    ASSERT_TRUE(w.CastChart("乙", 0, {1985, 3, 10, c.hour, 15}));
    EXPECT_EQ(T("SDJLAB"), QString::fromUtf8(c.branch));
    EXPECT_NE(T("SDKLAB1"), "") << c.branch;
    EXPECT_NE(T("SDKTGLAB1"), "") << c.branch;
    EXPECT_EQ(T("SDKLAB2") == "", c.present < 2) << c.branch;
    EXPECT_EQ(T("SDKTGLAB2") == "", c.present < 2) << c.branch;
    EXPECT_EQ(T("SDKLAB3"), "") << c.branch;
    EXPECT_EQ(T("SDKTGLAB3"), "") << c.branch;
  }
}

// One step of a spinner from a given moment, and the five fields after it.
struct Step {
  const char* what;
  Fields5 from;
  int field;
  int delta;
  Fields5 to;
};

void PrintTo(const Step& s, std::ostream* os) { *os << s.what; }

class CarryTest : public MainWindowTest, public ::testing::WithParamInterface<Step> {};

TEST_P(CarryTest, StepsCarryAndClamp) {
  const Step& s = GetParam();
  MainWindow& w = Open(s.from);
  ASSERT_EQ(Shown(), s.from);
  Spinner* sp = w.spinner(s.field);
  // The spinner's own arrows: the upper one lowers, the lower one raises.
  QToolButton* arrow = s.delta > 0 ? sp->lowerArrow() : sp->upperArrow();
  QTest::mouseClick(arrow, Qt::LeftButton);
  EXPECT_EQ(Shown(), s.to) << s.what;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w.spinner(i)->value(), s.to[i]) << s.what << " spinner " << i;
  // The last redraw used the fields as they stand now.
  const MomentInput& e = w.flow().moment.entered;
  if (s.to[2] >= 1 && s.to[3] >= 0) {
    EXPECT_EQ((Fields5{e.InputYear, e.InputMonth, e.InputDay, e.InputHour, e.InputMinute}), s.to) << s.what;
  }
  // The Western date names the fields as shown, even where the engine needed
  // the rolled-over date (day 0).
  std::string western = "西元";
  const char* units[5] = {"年", "月", "日", "時", "分"};
  for (int i = 0; i < 5; ++i) western += NumberText(s.to[i]) + units[i];
  EXPECT_EQ(w.flow().WesternDateText, western) << s.what;
}

INSTANTIATE_TEST_SUITE_P(
    DateRow, CarryTest,
    ::testing::Values(
        Step{"month 12 -> 13 carries into January", {2020, 12, 15, 10, 0}, 1, +1, {2021, 1, 15, 10, 0}},
        Step{"day past 31 January", {2020, 1, 31, 8, 5}, 2, +1, {2020, 2, 1, 8, 5}},
        Step{"minute past 23:59 on 31 December", {2020, 12, 31, 23, 59}, 4, +1, {2021, 1, 1, 0, 0}},
        Step{"hour past 23 at a month end", {2021, 4, 30, 23, 10}, 3, +1, {2021, 5, 1, 0, 10}},
        Step{"minute below 0 at midnight of 1 March", {2020, 3, 1, 0, 0}, 4, -1, {2020, 2, 29, 23, 59}},
        Step{"hour below 0 on New Year's day", {2020, 1, 1, 0, 40}, 3, -1, {2019, 12, 31, 23, 40}},
        Step{"day below 1 on New Year's day", {2020, 1, 1, 12, 0}, 2, -1, {2019, 12, 31, 12, 0}},
        Step{"month below 1", {2020, 1, 15, 12, 0}, 1, -1, {2019, 12, 15, 12, 0}},
        Step{"month below 1 from January 1901", {1901, 1, 15, 12, 0}, 1, -1, {1901, 1, 1, 12, 0}},
        Step{"day below 1 January 1901", {1901, 1, 1, 12, 0}, 2, -1, {1901, 1, 1, 12, 0}},
        Step{"month up from December 2099", {2099, 12, 15, 12, 0}, 1, +1, {2099, 12, 31, 12, 0}},
        Step{"day past 31 December 2099", {2099, 12, 31, 12, 0}, 2, +1, {2099, 12, 31, 12, 0}},
        Step{"2099: hour 24 stays", {2099, 6, 15, 23, 0}, 3, +1, {2099, 6, 15, 24, 0}},
        Step{"2099: minute 60 stays", {2099, 12, 31, 23, 59}, 4, +1, {2099, 12, 31, 23, 60}},
        Step{"2099: hour 24 on the last day", {2099, 12, 31, 23, 30}, 3, +1, {2099, 12, 31, 24, 30}},
        Step{"2099: day past June's end stays", {2099, 6, 30, 9, 0}, 2, +1, {2099, 6, 31, 9, 0}},
        Step{"1901: minute -1 stays", {1901, 5, 10, 0, 0}, 4, -1, {1901, 5, 10, 0, -1}},
        Step{"1901: day 0 stays after January", {1901, 3, 1, 6, 0}, 2, -1, {1901, 3, 0, 6, 0}},
        Step{"1901: hour -1 is kept at 0", {1901, 5, 10, 0, 30}, 3, -1, {1901, 5, 10, 0, 30}},
        Step{"29 February in a year divisible by 4", {2020, 2, 28, 12, 0}, 2, +1, {2020, 2, 29, 12, 0}},
        Step{"no 29 February otherwise", {2021, 2, 28, 12, 0}, 2, +1, {2021, 3, 1, 12, 0}},
        Step{"31 January to February (leap)", {2020, 1, 31, 12, 0}, 1, +1, {2020, 2, 29, 12, 0}},
        Step{"31 January to February", {2021, 1, 31, 12, 0}, 1, +1, {2021, 2, 28, 12, 0}},
        Step{"31 March to April", {2021, 3, 31, 12, 0}, 1, +1, {2021, 4, 30, 12, 0}},
        Step{"29 February to the next year", {2020, 2, 29, 12, 0}, 0, +1, {2021, 2, 28, 12, 0}},
        Step{"31 December + 1 month", {2020, 12, 31, 12, 0}, 1, +1, {2021, 1, 31, 12, 0}},
        Step{"December 2098 + 1 month into 2099", {2098, 12, 31, 12, 0}, 1, +1, {2099, 1, 31, 12, 0}},
        Step{"January 1902 - 1 month into 1901", {1902, 1, 15, 12, 0}, 1, -1, {1901, 12, 15, 12, 0}},
        Step{"31 March - 1 month", {2021, 3, 31, 12, 0}, 1, -1, {2021, 2, 28, 12, 0}}));

// In 2099 the day may stand one past the month's end (the first of the next
// month). Stepping the hour or minute leaves it there; stepping the year down
// ends on the month's last day, as a month change does.
TEST_F(MainWindowTest, DayPastTheMonthsEndIn2099) {
  struct Case {
    const char* what;
    int field, delta;
    Fields5 to;
  };
  const Case cases[] = {
      {"minute up", 4, +1, {2099, 6, 31, 23, 1}},
      {"minute down", 4, -1, {2099, 6, 31, 22, 59}},
      {"hour down", 3, -1, {2099, 6, 31, 22, 0}},
      {"hour up to 24", 3, +1, {2099, 6, 31, 24, 0}},
      {"year down", 0, -1, {2098, 6, 30, 23, 0}},
      {"month up", 1, +1, {2099, 7, 31, 23, 0}},
  };
  for (const Case& c : cases) {
    MainWindow& w = Open({2099, 6, 30, 23, 0});
    w.spinner(2)->stepUp();
    ASSERT_EQ(Shown(), (Fields5{2099, 6, 31, 23, 0})) << c.what;
    if (c.delta > 0)
      w.spinner(c.field)->stepUp();
    else
      w.spinner(c.field)->stepDown();
    EXPECT_EQ(Shown(), c.to) << c.what;
    EXPECT_EQ(w.spinner(2)->value(), c.to[2]) << c.what;
  }
  // 31 June 2099 at 24:00 is 2 July at midnight.
  MainWindow& w = Open({2099, 6, 30, 23, 0});
  w.spinner(2)->stepUp();
  w.spinner(3)->stepUp();
  const auto july2 = CalcMoment({2099, 7, 2, 0, 0});
  ASSERT_TRUE(july2);
  EXPECT_EQ(w.flow().moment.MomentPillars, july2.result->MomentPillars);
  EXPECT_EQ(w.flow().WesternDateText, "西元 2099年 6月 31日 24時 0分");
}

// The date row from the keyboard: Up and Down act as the upper and lower
// arrows, Page Up and Page Down as ten of them, each step with its carries.
TEST_F(MainWindowTest, KeysStepTheFocusedFieldLikeTheArrows) {
  struct Case {
    const char* what;
    Fields5 from;
    int field;
    int key;
    Fields5 to;
  };
  const Case cases[] = {
      {"Up on the minute at midnight of 1 March", {2020, 3, 1, 0, 0}, 4, Qt::Key_Up, {2020, 2, 29, 23, 59}},
      {"Down on the minute at 23:59 on 31 December", {2020, 12, 31, 23, 59}, 4, Qt::Key_Down, {2021, 1, 1, 0, 0}},
      {"Page Down on the minute at 23:55", {2020, 12, 31, 23, 55}, 4, Qt::Key_PageDown, {2021, 1, 1, 0, 5}},
      {"Page Up on the month: ten steps, 29 February on the way", {2020, 3, 31, 12, 0}, 1, Qt::Key_PageUp, {2019, 5, 29, 12, 0}},
      {"Page Up on the year stops at 1901", {1905, 6, 15, 12, 0}, 0, Qt::Key_PageUp, {1901, 6, 15, 12, 0}},
      {"Down on the day of 31 December 2099", {2099, 12, 31, 12, 0}, 2, Qt::Key_Down, {2099, 12, 31, 12, 0}},
      {"Left does nothing", {2020, 3, 1, 0, 0}, 4, Qt::Key_Left, {2020, 3, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    MainWindow& w = Open(c.from);
    QTest::keyClick(w.field(c.field), static_cast<Qt::Key>(c.key));
    EXPECT_EQ(Shown(), c.to) << c.what;
    const MomentInput& e = w.flow().moment.entered;
    EXPECT_EQ((Fields5{e.InputYear, e.InputMonth, e.InputDay, e.InputHour, e.InputMinute}), c.to) << c.what;
  }
}

TEST_F(MainWindowTest, WheelOverAFieldStepsIt) {
  MainWindow& w = Open({2020, 6, 15, 12, 30});
  auto wheel = [&](int field, int delta) {
    QWidget* f = w.field(field);
    const QPointF at(f->width() / 2.0, f->height() / 2.0);
    QWheelEvent e(at, f->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(f, &e);
  };
  wheel(4, 120);  // away from the user: the upper arrow
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 12, 29}));
  wheel(3, -240);
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 14, 29}));
  wheel(2, -60);  // half a notch: nothing yet
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 14, 29}));
  wheel(2, -60);
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 16, 14, 29}));
  // Over the spinner too (its arrows pass the wheel on to it).
  QWidget* spin = w.spinner(1);
  const QPointF at(spin->width() / 2.0, spin->height() / 2.0);
  QWheelEvent e(at, spin->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(spin, &e);
  EXPECT_EQ(Shown(), (Fields5{2020, 7, 16, 14, 29}));
}

// A held key steps once, then at the arrows' repeat rate; the key's own
// repeats never pile up steps, and releasing it stops at once.
TEST_F(MainWindowTest, AHeldKeyRepeatsAtTheArrowsRate) {
  MainWindow& w = Open({2020, 6, 15, 12, 0});
  StepField* minute = w.field(4);
  auto key = [&](QEvent::Type type, bool repeat) {
    QKeyEvent e(type, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(minute, &e);
  };
  const int delay = w.spinner(4)->lowerArrow()->autoRepeatDelay();
  const int interval = w.spinner(4)->lowerArrow()->autoRepeatInterval();
  QElapsedTimer clock;
  clock.start();
  key(QEvent::KeyPress, false);
  for (int n = 0; n < 40; ++n) key(QEvent::KeyPress, true);
  EXPECT_EQ(Shown()[4], 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shown()[4] >= 3; }, 5000));
  const int held = Shown()[4];
  // Steps at 0, after the delay and then once an interval, never more
  // (a coarse timer may fire a little early: a fifth of an interval's slack).
  EXPECT_LE(held, 2 + (clock.elapsed() - delay + interval / 5) / interval);
  key(QEvent::KeyRelease, false);
  QTest::qWait(delay + 2 * interval);
  EXPECT_EQ(Shown()[4], held);
}

TEST_F(MainWindowTest, TabOrderAndKeysOnButtonsAndOpeners) {
  MainWindow& w = Open({2020, 6, 15, 12, 0});
  // Tab from the year field: month, day, hour, minute, NOW, the four headers.
  QStringList order;
  QWidget* at = w.field(0);
  while (order.size() < 9) {
    at = at->nextInFocusChain();
    if (at == w.field(0)) break;
    if ((at->focusPolicy() & Qt::TabFocus) && at->isVisibleTo(&w) && at->isEnabled()) order << at->objectName();
  }
  EXPECT_EQ(order, (QStringList{"CTLDATE_1", "CTLDATE_2", "CTLDATE_3", "CTLDATE_4", "Command5", "OPYSTR",
                                "OPMSTR", "OPDSTR", "OPSSTR"}));
  for (const char* name : {"CTLDATE_0", "Command5", "OPYSTR", "OPSSTR"})
    EXPECT_EQ(w.findChild<QWidget*>(name)->focusPolicy(), Qt::StrongFocus) << name;

  // Enter on NOW.
  w.spinner(1)->stepUp();
  now_ = {2031, 1, 2, 3, 4};
  QTest::keyClick(w.findChild<QWidget*>("Command5"), Qt::Key_Return);
  EXPECT_EQ(Shown(), now_);

  // Enter or Space on a header or the luck star opens the prosperity window.
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  QTest::keyClick(L("OPDSTR"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(w.prosperityLevel(), 4);
  ASSERT_NE(w.analysisWindow(AnalysisKind::Prosperity), nullptr);
  const int star = w.flow().CurrentLuckIndex - 1;
  ASSERT_GE(star, 0);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(L(qPrintable(IndexedName("DA_STEP", i)))->focusPolicy() == Qt::StrongFocus, i == star) << i;
  QTest::keyClick(L(qPrintable(IndexedName("DA_STEP", star))), Qt::Key_Space);
  EXPECT_EQ(w.prosperityLevel(), 1);
}

TEST_F(MainWindowTest, DayRangeFollowsTheMonth) {
  MainWindow& w = Open({2020, 2, 10, 12, 0});
  EXPECT_EQ(w.spinner(2)->maximum(), 30);
  w.setField(0, 2021);
  EXPECT_EQ(w.spinner(2)->maximum(), 29);
  w.setField(1, 4);
  EXPECT_EQ(w.spinner(2)->maximum(), 31);
  w.setField(1, 12);
  EXPECT_EQ(w.spinner(2)->maximum(), 32);
  EXPECT_EQ(Shown(), (Fields5{2021, 12, 10, 12, 0}));
}

TEST_F(MainWindowTest, NowReturnsToTheClock) {
  MainWindow& w = Open({2020, 2, 10, 12, 0});
  w.spinner(1)->stepUp();
  w.spinner(4)->stepDown();
  now_ = {2033, 11, 30, 7, 45};
  Click("Command5");
  EXPECT_EQ(Shown(), (Fields5{2033, 11, 30, 7, 45}));
  const MomentInput& e = w.flow().moment.entered;
  EXPECT_EQ((Fields5{e.InputYear, e.InputMonth, e.InputDay, e.InputHour, e.InputMinute}), now_);
}

TEST_F(MainWindowTest, LuckStarMovesAtAChangeMoment) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  const ChartState& c = *w.chart();
  ASSERT_TRUE(c.LuckChangeMinutes[3].has_value());
  const Moment birth = MakeMoment(1990, 5, 17, 14, 30);
  const Moment change = birth + std::chrono::minutes{*c.LuckChangeMinutes[3]};  // pillar 4 begins

  SetFlow(change - std::chrono::minutes{1});
  EXPECT_EQ(w.flow().CurrentLuckIndex, 3);
  EXPECT_EQ(T("DA_MASK_2"), "★");
  EXPECT_EQ(T("DA_MASK_3"), "");
  w.spinner(4)->stepUp();
  EXPECT_EQ(w.flow().CurrentLuckIndex, 4);
  EXPECT_EQ(T("DA_MASK_2"), "");
  EXPECT_EQ(T("DA_MASK_3"), "★");
  EXPECT_EQ(T("DA_STEP_3"), "★");
  const CivilFields cf = Fields(change);
  EXPECT_EQ(T("USERLAB"),
            "王小明 " + QString::fromStdString(NumberText(AgeAt(c, cf.year, cf.month, cf.day))) + " 歲");
}

TEST_F(MainWindowTest, OpenersActOnlyWithAChartAndOpenOneWindowEach) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  constexpr std::array<AnalysisKind, 7> kinds{AnalysisKind::Strength, AnalysisKind::Prosperity,
                                              AnalysisKind::FlowYear, AnalysisKind::MinorLuck,
                                              AnalysisKind::Stars,    AnalysisKind::SanMing,
                                              AnalysisKind::TextOutput};
  const int before = QApplication::topLevelWidgets().size();
  for (const char* name : {"Command2", "Command3", "Command4", "Command6", "Command7", "Command8", "DA_STEP_0",
                           "DA_STEP_7", "OPYSTR", "OPMSTR", "OPDSTR", "OPSSTR"})
    Click(name);
  for (AnalysisKind k : kinds) EXPECT_EQ(w.analysisWindow(k), nullptr);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
  EXPECT_EQ(w.prosperityLevel(), 0);

  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  Click("Command2");
  QWidget* first = w.analysisWindow(AnalysisKind::Strength);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  Click("Command2");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Strength), first);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before + 1);

  Click("OPMSTR");
  EXPECT_EQ(w.prosperityLevel(), 3);
  QWidget* prosperity = w.analysisWindow(AnalysisKind::Prosperity);
  ASSERT_NE(prosperity, nullptr);
  Click("DA_STEP_4");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Prosperity), prosperity);
  EXPECT_EQ(w.prosperityLevel(), 1);

  // Closing discards the window; the next click builds a new one.
  first->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Strength), nullptr);
  Click("Command2");
  EXPECT_NE(w.analysisWindow(AnalysisKind::Strength), nullptr);

  // "排盤" sets the chart aside: the buttons are inert again, the chart stays drawn.
  const QString dateLine = T("DateLAB");
  Click("Command1");
  EXPECT_FALSE(w.chartLoaded());
  EXPECT_TRUE(w.isEnabled());  // no person window to wait for
  Click("Command3");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::FlowYear), nullptr);
  EXPECT_EQ(T("DateLAB"), dateLine);
  w.spinner(2)->stepUp();
  EXPECT_EQ(T("USERLAB"), "");
  EXPECT_EQ(T("OPYTKTG"), "");
}

// A new chart closes every analysis window opened for the previous one; the
// buttons then build windows titled with the new person.
TEST_F(MainWindowTest, ANewChartClosesTheWindowsOfThePreviousOne) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  const char* buttons[] = {"Command2", "Command3", "Command4", "Command6", "Command7", "Command8", "OPYSTR"};
  QList<QPointer<QWidget>> old;
  for (const char* b : buttons) Click(b);
  for (int k = 0; k < 7; ++k) {
    QWidget* a = w.analysisWindow(static_cast<AnalysisKind>(k));
    ASSERT_NE(a, nullptr) << k;
    EXPECT_TRUE(a->windowTitle().endsWith(QStringLiteral(" — 王小明"))) << k;
    old << a;
  }
  ASSERT_TRUE(w.CastChart("林美", 0, {2001, 2, 3, 4, 5}));
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(w.analysisWindow(static_cast<AnalysisKind>(k)), nullptr) << k;
    EXPECT_TRUE(!old[k] || !old[k]->isVisible()) << k;
  }
  // Asked for at once (before the closed windows are deleted): new windows.
  Click("Command6");
  QWidget* stars = w.analysisWindow(AnalysisKind::Stars);
  ASSERT_NE(stars, nullptr);
  EXPECT_FALSE(old.contains(stars));
  EXPECT_EQ(stars->windowTitle(), QStringLiteral("神煞 — 林美"));
  EXPECT_TRUE(stars->isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (int k = 0; k < 7; ++k) EXPECT_TRUE(old[k].isNull()) << k;
}

TEST_F(MainWindowTest, ClosingTheMainWindowClosesTheAnalysisWindows) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  Click("Command8");
  Click("OPDSTR");
  ASSERT_NE(w.analysisWindow(AnalysisKind::TextOutput), nullptr);
  ASSERT_NE(w.analysisWindow(AnalysisKind::Prosperity), nullptr);
  w.close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(w.analysisWindow(AnalysisKind::TextOutput), nullptr);
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Prosperity), nullptr);
}

TEST_F(MainWindowTest, PersonWindowHookAndCasting) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  int opened = 0;
  w.setPersonWindowHook([&](MainWindow& m) {
    ++opened;
    EXPECT_FALSE(m.isEnabled());
  });
  Click("Command1");
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(w.isEnabled());
  EXPECT_TRUE(w.CastChart("林美", 0, {2001, 2, 3, 4, 5}));
  EXPECT_TRUE(w.isEnabled());
  EXPECT_EQ(w.chart()->Sex, Sex::Female);
  EXPECT_EQ(w.chart()->BirthMinute, 5);
  // A moment the engine refuses changes nothing.
  EXPECT_FALSE(w.CastChart("甲", 1, {1800, 1, 1, 0, 0}));
  EXPECT_EQ(w.chart()->PersonName, "林美");
}

TEST_F(MainWindowTest, ACorrectionIsStatedUnderTheBirthDataAndEndsTheReports) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  const CorrectionOutcome chengdu =
      CorrectBirth({1975, 7, 1, 14, 30}, qelm::Place{"成都", 104.0667, 30.6667, "Asia/Shanghai"}, TimeMode::Solar);
  ASSERT_TRUE(chengdu);
  struct Case {
    const char* what;
    std::optional<BirthCorrection> correction;
  };
  const Case cases[] = {{"solar time at Chengdu", chengdu.correction}, {"the clock as entered", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(c.correction ? w.CastChart("甲", 1, *c.correction) : w.CastChart("甲", 1, MomentInput{1975, 7, 1, 14, 30}));
    const std::string line = c.correction ? CorrectionLine(*c.correction) : "";
    QLabel* label = w.correctionLabel();
    EXPECT_EQ(label->isVisibleTo(&w), c.correction.has_value());
    EXPECT_EQ(label->text().toStdString(), line);
    EXPECT_EQ(label->toolTip().toStdString(), c.correction ? CorrectionDetail(*c.correction) : "");
    Click("Command8");
    auto* text = qobject_cast<TextOutputWindow*>(w.analysisWindow(AnalysisKind::TextOutput));
    ASSERT_NE(text, nullptr);
    // Both reports keep their lines and end with the correction.
    const std::array<std::string, 2> plain{ZiPingReport(*w.chart(), w.flow()), SanMingReport(*w.chart(), w.flow())};
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(text->texts()[i], plain[i] + (line.empty() ? "" : line + "\r\n"));
    text->close();
  }
}

}  // namespace
}  // namespace qelm::ui
