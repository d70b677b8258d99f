#include "ui/main/main_window.hpp"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calendar/moment.hpp"
#include "chart/chart.hpp"
#include "place/correction.hpp"
#include "report/report.hpp"
#include "ui/analysis/text_output_window.hpp"

#include "tests/ui/test_app.hpp"
#include "tests/ui/text_colour.hpp"

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
  EXPECT_EQ(w.findChild<QWidget*>("natalDayStemTenGod"), nullptr);  // the day column has no stem ten god
  EXPECT_EQ(w.findChild<QWidget*>("luckPillar_10"), nullptr);
  EXPECT_NE(w.findChild<QWidget*>("luckHiddenTenGod3_9"), nullptr);
  const std::array<std::pair<const char*, const char*>, 10> captions{{{"castButton", "排盤"},
                                                                     {"strengthButton", "五行強弱"},
                                                                     {"flowYearButton", "流年"},
                                                                     {"minorLuckButton", "小運"},
                                                                     {"starsButton", "神煞"},
                                                                     {"sanMingButton", "三命"},
                                                                     {"textOutputButton", "文字輸出"},
                                                                     {"relationsButton", "刑沖合會"},
                                                                     {"dayChoiceButton", "擇日"},
                                                                     {"nowButton", "NOW"}}};
  for (const auto& [name, caption] : captions) {
    auto* b = qobject_cast<QPushButton*>(w.findChild<QWidget*>(QString::fromLatin1(name)));
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->text(), QString::fromUtf8(caption)) << name;
  }
  EXPECT_EQ(T("eraLabel"), "西元");
}

// Where a control stands, in the window's pixels.
QRect InWindow(const QWidget* c, const QWidget* window) {
  return QRect(c->mapTo(window, QPoint(0, 0)), c->size());
}

// The natal block, the luck pillars and the flow pillars are widgets that own
// their cells; what stands under a block's empty parts (the correction line
// under the luck strip's reach) still takes the pointer.
TEST_F(MainWindowTest, ThePillarBlocksOwnTheirCells) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  const Birth chengdu{{1975, 7, 1, 14, 30}, qelm::Place{"成都", 104.0667, 30.6667, "Asia/Shanghai"}, TimeMode::Solar};
  ASSERT_TRUE(w.CastChart("王小明", Sex::Male, chengdu));
  const std::array<std::pair<const char*, const char*>, 3> blocks{
      {{"natalBlock", "natal"}, {"luckPillars", "luck"}, {"flowPillars", "flow"}}};
  for (const auto& [block, prefix] : blocks) {
    QWidget* b = w.findChild<QWidget*>(QString::fromLatin1(block));
    ASSERT_NE(b, nullptr) << block;
    int owned = 0;
    for (QLabel* l : w.findChildren<QLabel*>()) {
      if (!l->objectName().startsWith(QString::fromLatin1(prefix))) continue;
      EXPECT_EQ(l->parentWidget(), b) << l->objectName().toStdString();
      ++owned;
    }
    EXPECT_GE(owned, 28) << block;
  }
  QLabel* correction = w.correctionLabel();
  ASSERT_TRUE(correction->isVisible());
  const QRect r = InWindow(correction, &w);
  for (const QPoint at : {r.center(), r.topRight() + QPoint(-2, 2), r.bottomLeft() + QPoint(2, -2)})
    EXPECT_EQ(w.childAt(at), correction) << at.x() << "," << at.y();
}

// The ink of a label's text in the window's pixels (empty without text).
QRect Ink(const QLabel* l, const QWidget* window) {
  if (l->text().isEmpty()) return {};
  constexpr int kMargin = 32;
  QImage img(l->size() + QSize(2 * kMargin, 2 * kMargin), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.translate(kMargin, kMargin);
    p.setFont(l->font());
    p.setPen(Qt::black);
    const int flags = static_cast<int>(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0) | Qt::TextDontClip;
    p.drawText(l->contentsRect(), flags, l->text());
  }
  QRect ink;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(img.pixel(x, y)) >= 128) ink |= QRect(x, y, 1, 1);
  return ink.translated(l->mapTo(window, QPoint(0, 0)) - QPoint(kMargin, kMargin));
}

// The layout as the user sees it, with a chart and the longest correction
// line (the longest place name of the world list, daylight saving and a
// repeated clock hour) shown: every
// control inside the window and its parent, no two texts or controls on top
// of each other, and the arrangement's order (natal columns right to left
// from year to hour, flow columns left to right from year to hour, the luck
// strip right to left, hidden stems right to left, the date row in reading
// order).
TEST_F(MainWindowTest, LayoutKeepsEverythingInsideApartAndInOrder) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  const Birth longest{
      {2010, 11, 7, 1, 30},
      qelm::Place{"Villa del Prado 2da Sección, Free and Sovereign State of Baja California, Mexico", -116.97167, 32.5,
                  "America/Tijuana"},
      TimeMode::Solar};
  ASSERT_TRUE(w.CastChart("王小明", Sex::Male, longest));
  const QRect window = w.rect();

  std::vector<std::pair<QString, QRect>> boxes;  // texts and controls that must not meet
  for (QWidget* c : w.findChildren<QWidget*>()) {
    if (!c->isVisibleTo(&w) || c->isWindow()) continue;
    const QRect r = InWindow(c, &w);
    EXPECT_TRUE(window.contains(r)) << c->objectName().toStdString();
    EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << c->objectName().toStdString();
    if (auto* l = qobject_cast<QLabel*>(c)) {
      if (!l->text().isEmpty()) boxes.emplace_back(l->objectName(), Ink(l, &w));
    } else if (qobject_cast<QPushButton*>(c) || qobject_cast<StepField*>(c) || qobject_cast<Spinner*>(c)) {
      boxes.emplace_back(c->objectName(), r);
    }
  }
  ASSERT_GT(boxes.size(), 150u);
  QStringList meet;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j)
      if (boxes[i].second.intersects(boxes[j].second)) meet << boxes[i].first + " / " + boxes[j].first;
  EXPECT_EQ(meet.join(", ").toStdString(), "");

  const auto at = [&](const QString& name) {
    const QWidget* c = w.findChild<QWidget*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c ? InWindow(c, &w) : QRect();
  };
  // Left to right along one line (same top), or top to bottom at one left.
  const auto across = [&](const QStringList& names) {
    for (qsizetype k = 1; k < names.size(); ++k) {
      EXPECT_LT(at(names[k - 1]).left(), at(names[k]).left()) << names[k].toStdString();
      EXPECT_EQ(at(names[k - 1]).top(), at(names[k]).top()) << names[k].toStdString();
    }
  };
  const auto down = [&](const QStringList& names) {
    for (qsizetype k = 1; k < names.size(); ++k) EXPECT_LT(at(names[k - 1]).top(), at(names[k]).top()) << names[k].toStdString();
  };
  across({"castButton", "strengthButton", "flowYearButton", "minorLuckButton", "starsButton", "sanMingButton",
          "textOutputButton", "relationsButton", "dayChoiceButton"});
  down({"castButton", "personLine", "birthDataLine", "commandingStemLine", "palaceLine", "natalYearHeader",
        "natalYearHiddenTenGod1", "correctionLine", "luckOpener_0", "flowPanel"});
  across({"natalHourStem", "natalDayStem", "natalMonthStem", "natalYearStem"});
  across({"natalYearHidden3", "natalYearHidden2", "natalYearHidden1"});
  for (const char* c : {"Hour", "Day", "Month", "Year"}) {
    const QString p = QStringLiteral("natal") + c;
    down({p + "Header", p + "Stem", p + "Branch", p + "Hidden1", p + "HiddenTenGod1"});
  }
  QStringList strip, list;
  for (int i = 9; i >= 0; --i) strip << IndexedName("luckStem", i);
  for (int i = 0; i < 10; ++i) list << IndexedName("luckPillar", i);
  across(strip);
  down(list);
  down({"luckOpener_3", "luckAges_3", "luckStemTenGod_3", "luckStem_3", "luckBranch_3", "luckHidden1_3",
        "luckHiddenTenGod1_3"});
  across({"luckHidden3_3", "luckHidden2_3", "luckHidden1_3"});
  across({"eraLabel", "dateField_0", "dateSpinner_0", "dateField_1", "dateSpinner_1", "dateField_2",
          "dateSpinner_2", "dateField_3", "dateSpinner_3", "dateField_4", "dateSpinner_4", "nowButton"});
  across({"flowYearStem", "flowMonthStem", "flowDayStem", "flowHourStem"});
  across({"flowYearSound1", "flowYearSound2", "flowYearSound3"});
  down({"dateField_0", "lunarLine"});
  down({"flowDayHeader", "flowDayStemTenGod", "flowDayStem", "flowDayBranch", "flowDayBranchTenGod", "flowDaySound1"});
  EXPECT_LT(at("lunarLine").right(), at("flowYearStem").left());
}

// Fonts and the fixed colours of the controls the window's design names.
TEST_F(MainWindowTest, FontsAndFixedColours) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  constexpr std::uint32_t kNone = 0xFFFFFFFF;
  struct Design {
    const char* name;
    double points;
    bool bold;
    std::uint32_t colour;
  };
  const Design designs[] = {
      {"castButton", 9, false, kNone},         {"textOutputButton", 9, false, kNone},
      {"personLine", 9.75, false, kNone},      {"birthDataLine", 9.75, false, kNone},
      {"commandingStemLine", 9.75, false, kNone}, {"palaceLine", 9.75, false, kNone},
      {"natalHourHeader", 15.75, true, kNone}, {"natalMonthStemTenGod", 9.75, false, kNone},
      {"natalYearStem", 15.75, true, kNone},   {"natalYearBranch", 15.75, true, kNone},
      {"natalYearHidden2", 9.75, false, kNone}, {"natalDayHiddenTenGod3", 9.75, false, kNone},
      {"luckListHeader", 9.75, false, kNone},  {"luckDateHeader", 9.75, false, kNone},
      {"luckMark_0", 9, false, 255},           {"luckPillar_2", 9.75, true, 32768},
      {"luckChangeDate_9", 9.75, true, 32768}, {"luckOpener_0", 9, false, 0x808080},
      {"luckAges_1", 9, false, 255},           {"luckStemTenGod_9", 9.75, false, kNone},
      {"luckStem_2", 15.75, true, kNone},      {"luckHidden1_0", 9.75, false, kNone},
      {"nowButton", 9, false, kNone},          {"lunarLine", 11.25, false, kNone},
      {"flowYearHeader", 9, false, kNone},     {"flowMonthStemTenGod", 9.75, false, kNone},
      {"flowDayStem", 12, true, kNone},        {"flowHourBranch", 12, true, kNone},
      {"flowYearBranchTenGod", 9.75, false, kNone},
  };
  for (const Design& d : designs) {
    const QWidget* c = w.findChild<QWidget*>(QString::fromLatin1(d.name));
    ASSERT_NE(c, nullptr) << d.name;
    EXPECT_EQ(c->font().family(), kSansFace) << d.name;
    EXPECT_DOUBLE_EQ(c->font().pointSizeF(), d.points) << d.name;
    EXPECT_EQ(c->font().bold(), d.bold) << d.name;
    if (d.colour != kNone) {
      EXPECT_EQ(TextColour(c), d.colour) << d.name;
    }
  }
  // Every cell of the flow block holds a whole line of its font.
  for (QLabel* l : w.findChild<QWidget*>("flowPanel")->findChildren<QLabel*>())
    if (l->objectName().startsWith("flow")) {
      EXPECT_GE(l->height(), l->fontMetrics().height()) << l->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, StartUpDrawsThePresentWithoutTenGods) {
  MainWindow& w = Open({2020, 12, 31, 23, 59});
  EXPECT_EQ(Shown(), (Fields5{2020, 12, 31, 23, 59}));
  EXPECT_FALSE(w.chartLoaded());
  EXPECT_TRUE(w.isEnabled());
  EXPECT_EQ(T("personLine"), "");
  for (const char* name : {"birthDataLine", "natalYearHeader", "natalHourStemTenGod", "natalMonthStemTenGod", "natalYearStemTenGod", "natalYearHiddenTenGod1", "luckListHeader",
                           "flowYearStemTenGod", "flowMonthBranchTenGod", "flowDayStemTenGod", "flowHourBranchTenGod", "luckPillar_0", "luckPillar_9"})
    EXPECT_EQ(T(name), "") << name;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(L(qPrintable(IndexedName("luckMark", i)))->text(), "");
    EXPECT_EQ(L(qPrintable(IndexedName("luckOpener", i)))->text(), "");
  }
  const auto now = CalcMoment({2020, 12, 31, 23, 59});
  ASSERT_TRUE(now);
  const FlowState flow = ComputeFlow(nullptr, *now.result);
  const std::array<Pillar, 4> pillars{flow.YearPillar(), flow.MonthPillar(), flow.DayPillar(), flow.HourPillar()};
  const std::array<const char*, 4> prefix{"flowYear", "flowMonth", "flowDay", "flowHour"};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(T(qPrintable(QString(prefix[c]) + "Stem")), Q(pillars[c].stem.name()));
    EXPECT_EQ(T(qPrintable(QString(prefix[c]) + "Branch")), Q(pillars[c].branch.name()));
    const SoundElement s = SoundElementOf(pillars[c]);
    EXPECT_EQ(T(qPrintable(QString(prefix[c]) + "Sound1")), Q(s.SoundChar1));
    EXPECT_EQ(TextColour(L(qPrintable(QString(prefix[c]) + "Sound3"))), Element{s.SoundElementIndex}.colour());
  }
  EXPECT_EQ(T("lunarLine"), QString::fromStdString(FlowLunarLine(flow)));
  EXPECT_TRUE(T("lunarLine").startsWith("陰曆 "));
  EXPECT_EQ(T("flowYearHeader"), "歲");
  EXPECT_EQ(T("flowHourHeader"), "時");
}

TEST_F(MainWindowTest, LoadedChartShowsTheCoreValues) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  ASSERT_TRUE(w.chartLoaded());
  const auto birth = CalcMoment({1990, 5, 17, 14, 30});
  ASSERT_TRUE(birth);
  const ChartState c = LoadChart("王小明", Sex::Male, *birth.result);

  EXPECT_EQ(T("birthDataLine"), QString::fromStdString(BirthDataLine(c)));
  EXPECT_EQ(T("commandingStemLine"), QString::fromStdString(CommandingStemLine(c)));
  EXPECT_EQ(T("palaceLine"), QString::fromStdString(PalaceLine(c)));
  EXPECT_EQ(T("luckListHeader"), "大運");
  EXPECT_EQ(T("luckDateHeader"), "交運日期");
  EXPECT_EQ(T("natalYearHeader") + T("natalMonthHeader") + T("natalDayHeader") + T("natalHourHeader"), "年月日時");
  EXPECT_EQ(T("personLine"), "王小明 " + QString::fromStdString(NumberText(AgeAt(c, 2024, 6, 15))) + " 歲");
  EXPECT_EQ(T("personLine"), "王小明  34 歲");

  // Natal columns by the pillar drawing rule.
  struct Column {
    const char* prefix;
    Pillar pillar;
  };
  const Column columns[] = {{"natalYear", c.YearPillar()},
                            {"natalMonth", c.MonthPillar()},
                            {"natalDay", c.DayPillar()},
                            {"natalHour", c.HourPillar()}};
  for (const Column& col : columns) {
    const QString p = col.prefix;
    const PillarDrawing d = DrawPillar(col.pillar, c.DayStem);
    EXPECT_EQ(T(qPrintable(p + "Stem")), Q(d.stem.text)) << col.prefix;
    EXPECT_EQ(TextColour(L(qPrintable(p + "Stem"))), d.stem.colour) << col.prefix;
    EXPECT_EQ(T(qPrintable(p + "Branch")), Q(d.branch.text)) << col.prefix;
    EXPECT_EQ(TextColour(L(qPrintable(p + "Branch"))), d.branch.colour) << col.prefix;
    if (p != "natalDay") {
      EXPECT_EQ(T(qPrintable(p + "StemTenGod")), Q(d.stemTenGod.text)) << col.prefix;
    }
    for (int k = 0; k < 3; ++k) {
      const QString n = QString::number(k + 1);
      EXPECT_EQ(T(qPrintable(p + "Hidden" + n)), Q(d.hidden[k].text)) << col.prefix << k;
      EXPECT_EQ(T(qPrintable(p + "HiddenTenGod" + n)), Q(d.hiddenTenGod[k].text)) << col.prefix << k;
    }
  }

  // Luck list and strip.
  for (int i = 0; i < 10; ++i) {
    const Pillar p = c.LuckPillar(i + 1);
    EXPECT_EQ(L(qPrintable(IndexedName("luckPillar", i)))->text(), QString::fromStdString(p.name())) << i;
    EXPECT_EQ(L(qPrintable(IndexedName("luckChangeDate", i)))->text(), QString::fromStdString(c.LuckChangeDates[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("luckAges", i)))->text(), QString::fromStdString(c.LuckAgeRanges[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("luckStem", i)))->text(), Q(p.stem.name()));
    EXPECT_EQ(L(qPrintable(IndexedName("luckBranch", i)))->text(), Q(p.branch.name()));
    EXPECT_EQ(L(qPrintable(IndexedName("luckStemTenGod", i)))->text(), Q(p.stem.tenGodTo(c.DayStem).shortName()));
    EXPECT_EQ(L(qPrintable(IndexedName("luckStem", i)))->toolTip(),
              "天干上五年  " + QString::fromStdString(c.LuckChangeDates[i]));
    EXPECT_EQ(L(qPrintable(IndexedName("luckBranch", i)))->toolTip(),
              "地支下五年  " + QString::fromStdString(c.LuckMidChangeDates[i]));
  }

  // Flow block with ten gods and exactly one luck star, in both places.
  const FlowState& f = w.flow();
  EXPECT_EQ(T("flowYearStemTenGod"), Q(f.YearPillar().stem.tenGodTo(c.DayStem).shortName()));
  EXPECT_EQ(T("flowHourBranchTenGod"), Q(f.HourPillar().branch.hiddenStems()[0]->tenGodTo(c.DayStem).shortName()));
  EXPECT_NE(T("flowYearStemTenGod"), "");
  const int current = LuckIndexAt(c, MakeMoment(2024, 6, 15, 10, 30));
  ASSERT_GE(current, 1);
  ASSERT_LE(current, 10);
  int stars = 0;
  for (int i = 0; i < 10; ++i) {
    const bool here = L(qPrintable(IndexedName("luckMark", i)))->text() == "★";
    stars += here;
    EXPECT_EQ(here, i == current - 1) << i;
    EXPECT_EQ(L(qPrintable(IndexedName("luckOpener", i)))->text() == "★", i == current - 1) << i;
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
    ASSERT_EQ(T("natalHourBranch"), "丑");
    ASSERT_NE(T("natalHourHidden3"), "");
    ASSERT_TRUE(w.CastChart("乙", 0, {1985, 3, 10, c.hour, 15}));
    EXPECT_EQ(T("natalHourBranch"), QString::fromUtf8(c.branch));
    EXPECT_NE(T("natalHourHidden1"), "") << c.branch;
    EXPECT_NE(T("natalHourHiddenTenGod1"), "") << c.branch;
    EXPECT_EQ(T("natalHourHidden2") == "", c.present < 2) << c.branch;
    EXPECT_EQ(T("natalHourHiddenTenGod2") == "", c.present < 2) << c.branch;
    EXPECT_EQ(T("natalHourHidden3"), "") << c.branch;
    EXPECT_EQ(T("natalHourHiddenTenGod3"), "") << c.branch;
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

// The whole table of carries is the calendar's DateRow test; here the
// window's arrows reach it and the redraw follows.
INSTANTIATE_TEST_SUITE_P(
    DateRow, CarryTest,
    ::testing::Values(
        Step{"month 12 -> 13 carries into January", {2020, 12, 15, 10, 0}, 1, +1, {2021, 1, 15, 10, 0}},
        Step{"minute past 23:59 on 31 December", {2020, 12, 31, 23, 59}, 4, +1, {2021, 1, 1, 0, 0}},
        Step{"minute below 0 at midnight of 1 March", {2020, 3, 1, 0, 0}, 4, -1, {2020, 2, 29, 23, 59}},
        Step{"month below 1 from January 1901", {1901, 1, 15, 12, 0}, 1, -1, {1901, 1, 1, 12, 0}},
        Step{"2099: minute 60 stays", {2099, 12, 31, 23, 59}, 4, +1, {2099, 12, 31, 23, 60}},
        Step{"1901: day 0 stays after January", {1901, 3, 1, 6, 0}, 2, -1, {1901, 3, 0, 6, 0}},
        Step{"1901: hour -1 is kept at 0", {1901, 5, 10, 0, 30}, 3, -1, {1901, 5, 10, 0, 30}},
        Step{"31 January to February", {2021, 1, 31, 12, 0}, 1, +1, {2021, 2, 28, 12, 0}}));

// In 2099 the day may stand one past the month's end: 31 June 2099 at 24:00
// is 2 July at midnight, and the Western date names the fields as shown.
TEST_F(MainWindowTest, DayPastTheMonthsEndIn2099) {
  MainWindow& w = Open({2099, 6, 30, 23, 0});
  w.spinner(2)->stepUp();
  w.spinner(3)->stepUp();
  const auto july2 = CalcMoment({2099, 7, 2, 0, 0});
  ASSERT_TRUE(july2);
  EXPECT_EQ(w.flow().moment.MomentPillars, july2.result->MomentPillars);
  EXPECT_EQ(w.flow().WesternDateText, "西元 2099年 6月 31日 24時 0分");
}

// The date row from the keyboard, as every spin box takes it: Up raises the
// value and Down lowers it, Page Up and Page Down by ten steps, each step
// with its carries (the drawn arrows keep the design's order, the upper one
// lowering).
TEST_F(MainWindowTest, KeysStepTheFocusedFieldUpRaises) {
  struct Case {
    const char* what;
    Fields5 from;
    int field;
    int key;
    Fields5 to;
  };
  const Case cases[] = {
      {"Down on the minute at midnight of 1 March", {2020, 3, 1, 0, 0}, 4, Qt::Key_Down, {2020, 2, 29, 23, 59}},
      {"Up on the minute at 23:59 on 31 December", {2020, 12, 31, 23, 59}, 4, Qt::Key_Up, {2021, 1, 1, 0, 0}},
      {"Page Up on the minute at 23:55", {2020, 12, 31, 23, 55}, 4, Qt::Key_PageUp, {2021, 1, 1, 0, 5}},
      {"Page Down on the month: ten steps, 29 February on the way", {2020, 3, 31, 12, 0}, 1, Qt::Key_PageDown, {2019, 5, 29, 12, 0}},
      {"Page Down on the year stops at 1901", {1905, 6, 15, 12, 0}, 0, Qt::Key_PageDown, {1901, 6, 15, 12, 0}},
      {"Up on the day of 31 December 2099", {2099, 12, 31, 12, 0}, 2, Qt::Key_Up, {2099, 12, 31, 12, 0}},
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

// Hovering tells which way a control steps, and it steps that way: each
// arrow's tooltip and each field's (for Up) name the direction the click or
// the key then takes, the arrows the other way from the key.
TEST_F(MainWindowTest, HoverSaysWhichWayEachArrowAndKeySteps) {
  const auto said = [](const QString& tip, const QString& what) {
    // The step named right after `what` ("▲ 年 減一", "↑ 鍵或滾輪向前 加一").
    const qsizetype at = tip.indexOf(what);
    if (at < 0) return 0;
    const QString rest = tip.mid(at + what.size());
    const qsizetype up = rest.indexOf(QStringLiteral("加一")), down = rest.indexOf(QStringLiteral("減一"));
    if (up < 0 && down < 0) return 0;
    return down < 0 || (up >= 0 && up < down) ? +1 : -1;
  };
  for (int i = 0; i < 5; ++i) {
    MainWindow& w = Open({2020, 6, 15, 12, 30});
    const auto step = [&](const std::function<void()>& act) {
      const int before = Shown()[i];
      act();
      return Shown()[i] - before;
    };
    QToolButton* upper = w.spinner(i)->upperArrow();
    QToolButton* lower = w.spinner(i)->lowerArrow();
    const int upperSays = said(upper->toolTip(), QStringLiteral("▲"));
    const int lowerSays = said(lower->toolTip(), QStringLiteral("▼"));
    const int keySays = said(w.field(i)->toolTip(), QStringLiteral("↑"));
    EXPECT_EQ(upperSays, -1) << upper->toolTip().toStdString();
    EXPECT_EQ(step([&] { QTest::mouseClick(upper, Qt::LeftButton); }), upperSays) << i;
    EXPECT_EQ(step([&] { QTest::mouseClick(lower, Qt::LeftButton); }), lowerSays) << i;
    EXPECT_EQ(step([&] { QTest::keyClick(w.field(i), Qt::Key_Up); }), keySays) << i;
    EXPECT_EQ(keySays, +1) << w.field(i)->toolTip().toStdString();
    EXPECT_EQ(said(w.field(i)->toolTip(), QStringLiteral("▲")), upperSays);
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
  wheel(4, 120);  // away from the user: up
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 12, 31}));
  wheel(3, -240);
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 10, 31}));
  wheel(2, -60);  // half a notch: nothing yet
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 15, 10, 31}));
  wheel(2, -60);
  EXPECT_EQ(Shown(), (Fields5{2020, 6, 14, 10, 31}));
  // Over the spinner too (its arrows pass the wheel on to it).
  QWidget* spin = w.spinner(1);
  const QPointF at(spin->width() / 2.0, spin->height() / 2.0);
  QWheelEvent e(at, spin->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(spin, &e);
  EXPECT_EQ(Shown(), (Fields5{2020, 5, 14, 10, 31}));
  // A screen reader's increase raises the value too, with its carries.
  QAccessibleValueInterface* minute = QAccessible::queryAccessibleInterface(w.field(4))->valueInterface();
  ASSERT_NE(minute, nullptr);
  w.setField(4, 59);
  minute->setCurrentValue(minute->currentValue().toInt() + minute->minimumStepSize().toInt());
  EXPECT_EQ(Shown(), (Fields5{2020, 5, 14, 11, 0}));
}

// A held key steps once, then at the arrows' repeat rate; the key's own
// repeats never pile up steps, and releasing it stops at once.
TEST_F(MainWindowTest, AHeldKeyRepeatsAtTheArrowsRate) {
  MainWindow& w = Open({2020, 6, 15, 12, 0});
  StepField* minute = w.field(4);
  auto key = [&](QEvent::Type type, bool repeat) {
    QKeyEvent e(type, Qt::Key_Up, Qt::NoModifier, QString(), repeat);
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
  EXPECT_EQ(order, (QStringList{"dateField_1", "dateField_2", "dateField_3", "dateField_4", "nowButton",
                                "flowYearHeader", "flowMonthHeader", "flowDayHeader", "flowHourHeader"}));
  for (const char* name : {"dateField_0", "nowButton", "flowYearHeader", "flowHourHeader"})
    EXPECT_EQ(w.findChild<QWidget*>(name)->focusPolicy(), Qt::StrongFocus) << name;

  // Enter on NOW.
  w.spinner(1)->stepUp();
  now_ = {2031, 1, 2, 3, 4};
  QTest::keyClick(w.findChild<QWidget*>("nowButton"), Qt::Key_Return);
  EXPECT_EQ(Shown(), now_);

  // Enter or Space on a header or the luck star opens the prosperity window.
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  QTest::keyClick(L("flowDayHeader"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(w.prosperityPeriod(), std::optional(ScorePeriod::FlowDay));
  ASSERT_NE(w.analysisWindow(AnalysisKind::Prosperity), nullptr);
  const int star = w.flow().CurrentLuckIndex - 1;
  ASSERT_GE(star, 0);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(L(qPrintable(IndexedName("luckOpener", i)))->focusPolicy() == Qt::StrongFocus, i == star) << i;
  QTest::keyClick(L(qPrintable(IndexedName("luckOpener", star))), Qt::Key_Space);
  EXPECT_EQ(w.prosperityPeriod(), std::optional(ScorePeriod::Luck));
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
  Click("nowButton");
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
  EXPECT_EQ(T("luckMark_2"), "★");
  EXPECT_EQ(T("luckMark_3"), "");
  w.spinner(4)->stepUp();
  EXPECT_EQ(w.flow().CurrentLuckIndex, 4);
  EXPECT_EQ(T("luckMark_2"), "");
  EXPECT_EQ(T("luckMark_3"), "★");
  EXPECT_EQ(T("luckOpener_3"), "★");
  const CivilFields cf = Fields(change);
  EXPECT_EQ(T("personLine"),
            "王小明 " + QString::fromStdString(NumberText(AgeAt(c, cf.year, cf.month, cf.day))) + " 歲");
}

TEST_F(MainWindowTest, OpenersActOnlyWithAChartAndOpenOneWindowEach) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  constexpr std::array<AnalysisKind, 9> kinds{AnalysisKind::Strength, AnalysisKind::Prosperity,
                                              AnalysisKind::FlowYear, AnalysisKind::MinorLuck,
                                              AnalysisKind::Stars,    AnalysisKind::SanMing,
                                              AnalysisKind::TextOutput, AnalysisKind::Relations,
                                              AnalysisKind::DayChoice};
  const int before = QApplication::topLevelWidgets().size();
  for (const char* name : {"strengthButton", "flowYearButton", "minorLuckButton", "starsButton", "sanMingButton", "textOutputButton", "relationsButton", "dayChoiceButton", "luckOpener_0",
                           "luckOpener_7", "flowYearHeader", "flowMonthHeader", "flowDayHeader", "flowHourHeader"})
    Click(name);
  for (AnalysisKind k : kinds) EXPECT_EQ(w.analysisWindow(k), nullptr);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
  EXPECT_EQ(w.prosperityPeriod(), std::nullopt);

  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  Click("strengthButton");
  QWidget* first = w.analysisWindow(AnalysisKind::Strength);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  Click("strengthButton");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Strength), first);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before + 1);

  Click("flowMonthHeader");
  EXPECT_EQ(w.prosperityPeriod(), std::optional(ScorePeriod::FlowMonth));
  QWidget* prosperity = w.analysisWindow(AnalysisKind::Prosperity);
  ASSERT_NE(prosperity, nullptr);
  Click("luckOpener_4");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Prosperity), prosperity);
  EXPECT_EQ(w.prosperityPeriod(), std::optional(ScorePeriod::Luck));

  // Closing discards the window; the next click builds a new one.
  first->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(w.analysisWindow(AnalysisKind::Strength), nullptr);
  Click("strengthButton");
  EXPECT_NE(w.analysisWindow(AnalysisKind::Strength), nullptr);

  // "排盤" sets the chart aside: the buttons are inert again, the chart stays drawn.
  const QString dateLine = T("birthDataLine");
  Click("castButton");
  EXPECT_FALSE(w.chartLoaded());
  EXPECT_TRUE(w.isEnabled());  // no person window to wait for
  Click("flowYearButton");
  EXPECT_EQ(w.analysisWindow(AnalysisKind::FlowYear), nullptr);
  EXPECT_EQ(T("birthDataLine"), dateLine);
  w.spinner(2)->stepUp();
  EXPECT_EQ(T("personLine"), "");
  EXPECT_EQ(T("flowYearStemTenGod"), "");
}

// A new chart closes every analysis window opened for the previous one; the
// buttons then build windows titled with the new person.
TEST_F(MainWindowTest, ANewChartClosesTheWindowsOfThePreviousOne) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  const char* buttons[] = {"strengthButton", "flowYearButton",   "minorLuckButton", "starsButton",   "sanMingButton",
                           "textOutputButton", "relationsButton", "dayChoiceButton", "compareButton", "flowYearHeader"};
  QList<QPointer<QWidget>> old;
  for (const char* b : buttons) Click(b);
  for (int k = 0; k < kAnalysisKinds; ++k) {
    QWidget* a = w.analysisWindow(static_cast<AnalysisKind>(k));
    ASSERT_NE(a, nullptr) << k;
    EXPECT_TRUE(a->windowTitle().endsWith(QStringLiteral(" — 王小明"))) << k;
    old << a;
  }
  ASSERT_TRUE(w.CastChart("林美", 0, {2001, 2, 3, 4, 5}));
  for (int k = 0; k < kAnalysisKinds; ++k) {
    EXPECT_EQ(w.analysisWindow(static_cast<AnalysisKind>(k)), nullptr) << k;
    EXPECT_TRUE(!old[k] || !old[k]->isVisible()) << k;
  }
  // Asked for at once (before the closed windows are deleted): new windows.
  Click("starsButton");
  QWidget* stars = w.analysisWindow(AnalysisKind::Stars);
  ASSERT_NE(stars, nullptr);
  EXPECT_FALSE(old.contains(stars));
  EXPECT_EQ(stars->windowTitle(), QStringLiteral("神煞 — 林美"));
  EXPECT_TRUE(stars->isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (int k = 0; k < kAnalysisKinds; ++k) EXPECT_TRUE(old[k].isNull()) << k;
}

// Esc and Ctrl+W close an analysis window, whichever of its controls has the
// focus; its button builds a new one afterwards.
TEST_F(MainWindowTest, EscAndCtrlWCloseAnAnalysisWindow) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  const std::array<std::pair<const char*, AnalysisKind>, 7> openers{{{"strengthButton", AnalysisKind::Strength},
                                                                     {"flowYearHeader", AnalysisKind::Prosperity},
                                                                     {"flowYearButton", AnalysisKind::FlowYear},
                                                                     {"minorLuckButton", AnalysisKind::MinorLuck},
                                                                     {"starsButton", AnalysisKind::Stars},
                                                                     {"sanMingButton", AnalysisKind::SanMing},
                                                                     {"textOutputButton", AnalysisKind::TextOutput}}};
  for (const auto& [button, kind] : openers) {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
      SCOPED_TRACE(button);
      Click(button);
      QPointer<QWidget> a = w.analysisWindow(kind);
      ASSERT_NE(a, nullptr);
      a->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(a));
      QWidget* target = a->focusWidget() ? a->focusWidget() : a.data();
      QTest::keySequence(target, key);
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(a.isNull()) << key.toString().toStdString();
      EXPECT_EQ(w.analysisWindow(kind), nullptr);
    }
  }
}

TEST_F(MainWindowTest, ClosingTheMainWindowClosesTheAnalysisWindows) {
  MainWindow& w = Open({2024, 6, 15, 10, 30});
  ASSERT_TRUE(w.CastChart("王小明", 1, {1990, 5, 17, 14, 30}));
  Click("textOutputButton");
  Click("flowDayHeader");
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
  Click("castButton");
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
    const Birth birth{{1975, 7, 1, 14, 30}, chengdu.correction->place, c.correction ? TimeMode::Solar : TimeMode::Clock};
    ASSERT_TRUE(c.correction ? w.CastChart("甲", Sex::Male, birth) : w.CastChart("甲", 1, MomentInput{1975, 7, 1, 14, 30}));
    const std::string line = c.correction ? CorrectionLine(*c.correction) : "";
    QLabel* label = w.correctionLabel();
    EXPECT_EQ(label->isVisibleTo(&w), c.correction.has_value());
    EXPECT_EQ(label->text().toStdString(), line);
    EXPECT_EQ(label->toolTip().toStdString(), c.correction ? CorrectionDetail(*c.correction) : "");
    // The birth data say which moment they describe: the date in UTC+8, the
    // lunar date and double hour at apparent solar time.
    EXPECT_EQ(T("birthDataLine").contains(QStringLiteral(" 東八區 (真太陽時 ")), c.correction.has_value())
        << T("birthDataLine").toStdString();
    Click("textOutputButton");
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
