// The seven analysis windows, checked control by control against charts
// worked out by hand.
//
// Chart A: a man born 1984-06-15 12:00, 甲子 庚午 庚辰 壬午 (New-Year pillar
// 甲子, lunar year 1984), forward luck from 辛未 starting at 7.
//   Natal points: stems 甲 木5, 庚庚 金10, 壬 水5; 子 水8; 午 doubled 火10 土6;
//   辰 土5 木2 水1; 午 火5 土3  ->  木7 火15 土14 金10 水14 (60).
//   Day master 庚 金: 木 財星, 火 官殺, 土 印星, 金 比劫, 水 食傷.
// Chart B: a woman born 1984-02-03 10:00, after the lunar New Year (2 Feb)
// but before 立春: year pillar 癸亥, New-Year pillar 甲子, lunar year 1984.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <array>
#include <memory>
#include <numeric>
#include <string>

#include "analysis/stars.hpp"
#include "chart/chart.hpp"
#include "report/report.hpp"
#include "ui/main/analysis_windows.hpp"
#include "ui/analysis/flow_year_window.hpp"
#include "ui/analysis/text_output_window.hpp"
#include "ui/kit/window_layer.hpp"
#include "tests/chart/cast.hpp"

#include "tests/ui/test_app.hpp"
#include "tests/ui/text_colour.hpp"

namespace qelm::ui {
namespace {

using testing::ChartOf;
using testing::FlowAt;

const ChartState& ChartA() {
  static const ChartState c = ChartOf(Sex::Male, {1984, 6, 15, 12, 0});
  return c;
}
const ChartState& ChartB() {
  static const ChartState c = ChartOf(Sex::Female, {1984, 2, 3, 10, 0});
  return c;
}
// Inside the first luck pillar (辛未), age 15, flow year 庚辰.
FlowState FlowA2000() { return FlowAt(ChartA(), {2000, 3, 1, 12, 0}); }

using Window = std::unique_ptr<QWidget>;
// level: 1 the luck period … 5 the flow hour.
Window Open(AnalysisKind kind, const ChartState& c, const FlowState& f, int level = 1) {
  TestApp();
  return Window(CreateAnalysisWindow(kind, c, f, kScorePeriods.at(static_cast<std::size_t>(level - 1))));
}

template <class W = QLabel>
W* Get(const QWidget* win, const QString& name) {
  W* w = win->findChild<W*>(name);
  if (!w) ADD_FAILURE() << "no control " << name.toStdString();
  return w;
}
template <class W = QLabel>
W* Get(const QWidget* win, const QString& name, int i) {
  return Get<W>(win, IndexedName(name, i));
}
QString Text(const QWidget* win, const QString& name) {
  const QLabel* l = Get(win, name);
  return l ? l->text() : QStringLiteral("<missing>");
}
QString Text(const QWidget* win, const QString& name, int i) { return Text(win, IndexedName(name, i)); }
std::uint32_t Colour(const QWidget* win, const QString& name, int i = -1) {
  const QLabel* l = i < 0 ? Get(win, name) : Get(win, name, i);
  return l ? TextColour(l) : 0xFFFFFFFFu;
}
bool HasBackground(const QWidget* w, std::uint32_t colour) {
  return w && w->autoFillBackground() && w->palette().color(QPalette::Window) == Bgr(colour);
}

constexpr std::uint32_t kWood = 49152, kFire = 255, kEarth = 16512, kMetal = 33023, kWater = 16711680;

// ------------------------------------------------------------------ all windows

TEST(AnalysisWindows, FactoryNamesAndTitles) {
  const FlowState f = FlowA2000();
  struct Case {
    AnalysisKind kind;
    const char* form;
    const char* title;
  };
  const Case cases[] = {
      {AnalysisKind::Strength, "Form3", "五行強弱"}, {AnalysisKind::Prosperity, "Form7", "五行衰旺"},
      {AnalysisKind::FlowYear, "Form4", "流年"},     {AnalysisKind::MinorLuck, "Form5", "小運"},
      {AnalysisKind::Stars, "Form6", "神煞"},        {AnalysisKind::SanMing, "Form8", "三命"},
      {AnalysisKind::TextOutput, "Form9", "文字輸出"},
  };
  for (const Case& c : cases) {
    Window w = Open(c.kind, ChartA(), f, 2);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->objectName(), QString::fromUtf8(c.form));
    // The caption, then the person shown.
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8(c.title) + QStringLiteral(" — 測試"));
    EXPECT_FALSE(w->parent());
  }
}

// No two controls of one parent overlap, every control lies inside its
// parent, and every label's text fits its box.
TEST(AnalysisWindows, ControlsDoNotOverlapAndTextsFit) {
  const FlowState f = FlowA2000();
  for (AnalysisKind kind : {AnalysisKind::Strength, AnalysisKind::Prosperity, AnalysisKind::FlowYear,
                            AnalysisKind::MinorLuck, AnalysisKind::Stars, AnalysisKind::SanMing,
                            AnalysisKind::TextOutput}) {
    Window w = Open(kind, ChartA(), f, 5);
    w->ensurePolished();
    const QString form = w->objectName();
    QList<QWidget*> parents{w.get()};
    for (QFrame* fr : w->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (fr->objectName().startsWith(QStringLiteral("branchBox"))) parents << fr;
    }
    for (QWidget* p : parents) {
      QList<QWidget*> kids;
      for (QWidget* k : p->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!k->objectName().isEmpty() && !k->isWindow()) kids << k;
      }
      for (int a = 0; a < kids.size(); ++a) {
        const QRect ra = kids[a]->geometry();
        EXPECT_TRUE(p->rect().contains(ra))
            << form.toStdString() << ": " << kids[a]->objectName().toStdString() << " outside";
        for (int b = a + 1; b < kids.size(); ++b) {
          EXPECT_FALSE(ra.intersects(kids[b]->geometry()))
              << form.toStdString() << ": " << kids[a]->objectName().toStdString() << " overlaps "
              << kids[b]->objectName().toStdString();
        }
        // A label may clip the blank part of its line spacing, never a line.
        if (auto* l = qobject_cast<QLabel*>(kids[a]); l && !l->text().isEmpty()) {
          const int line = l->fontMetrics().lineSpacing();
          const QSize need = l->wordWrap() ? QSize(0, l->heightForWidth(l->width())) : l->sizeHint();
          EXPECT_LT(need.height() - l->height(), line / 2)
              << form.toStdString() << ": " << l->objectName().toStdString() << " cut off";
          if (!l->wordWrap()) {
            EXPECT_LE(need.width(), l->width()) << l->objectName().toStdString();
          }
        }
      }
    }
  }
}

// ------------------------------------------------------------------ Form3

TEST(StrengthWindow, NatalScoresOfChartA) {
  Window w = Open(AnalysisKind::Strength, ChartA(), FlowA2000());
  EXPECT_EQ(Text(w.get(), "strongNote"),
            QStringLiteral("印星比劫分數相加如果超過30分或以上，可論定為身強。但有一種狀況是分數為25分，"
                           "月令為印比，則這種狀況也算身強(因為月令份量較重的關係)。"));
  EXPECT_EQ(Text(w.get(), "levelNote"), QStringLiteral("單一五行在7分以下弱，8至16分平，17分以上旺。"));
  struct Row {
    const char *element, *group;
    int score;
    std::uint32_t colour;
  };
  const Row rows[] = {{"木", "財星", 7, kWood},
                      {"火", "官殺", 15, kFire},
                      {"土", "印星", 14, kEarth},
                      {"金", "比劫", 10, kMetal},
                      {"水", "食傷", 14, kWater}};
  int total = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Text(w.get(), "elementName", i), QString::fromUtf8(rows[i].element));
    EXPECT_EQ(Text(w.get(), "groupName", i), QString::fromUtf8(rows[i].group));
    EXPECT_EQ(Text(w.get(), "score", i), QString::number(rows[i].score));
    auto* bar = Get<QProgressBar>(w.get(), "scoreBar", i);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->maximum(), 60);
    EXPECT_EQ(bar->value(), rows[i].score);
    EXPECT_EQ(bar->palette().color(QPalette::Highlight), Bgr(rows[i].colour));
    total += Text(w.get(), "score", i).toInt();
  }
  EXPECT_EQ(total, 60);
}

// Charts made up directly from their pillars.
ChartState PillarsOnly(std::array<int, 4> stems, std::array<int, 4> branches) {
  ChartState c;
  c.YearStem = Stem{stems[0]}, c.MonthStem = Stem{stems[1]}, c.DayStem = Stem{stems[2]}, c.HourStem = Stem{stems[3]};
  c.YearBranch = Branch{branches[0]}, c.MonthBranch = Branch{branches[1]};
  c.DayBranch = Branch{branches[2]}, c.HourBranch = Branch{branches[3]};
  return c;
}

TEST(StrengthWindow, GroupsFollowTheDayMasterAndAFullBar) {
  struct Case {
    ChartState chart;
    std::array<const char*, 5> groups;
    std::array<int, 5> scores;
  };
  const Case cases[] = {
      // Every stem 甲 or 乙, every branch 卯: all sixty points are 木.
      {PillarsOnly({1, 2, 1, 2}, {4, 4, 4, 4}), {"比劫", "食傷", "財星", "官殺", "印星"}, {60, 0, 0, 0, 0}},
      // Day stem 癸; 子 month doubled gives 水 16, 亥 水5 木3.
      {PillarsOnly({9, 9, 10, 3}, {12, 1, 1, 7}), {"食傷", "財星", "官殺", "印星", "比劫"}, {3, 10, 3, 0, 44}},
  };
  for (const Case& c : cases) {
    Window w = Open(AnalysisKind::Strength, c.chart, FlowState{});
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(Text(w.get(), "groupName", i), QString::fromUtf8(c.groups[i])) << i;
      EXPECT_EQ(Text(w.get(), "score", i), QString::number(c.scores[i])) << i;
      auto* bar = Get<QProgressBar>(w.get(), "scoreBar", i);
      ASSERT_TRUE(bar);
      EXPECT_EQ(bar->value(), c.scores[i]);
    }
  }
}

// ------------------------------------------------------------------ Form7

int Sum(const QWidget* w, const QString& name) {
  int total = 0;
  for (int i = 0; i < 5; ++i) total += Text(w, name, i).toInt();
  return total;
}

TEST(ProsperityWindow, LevelsTotalsAndPairSums) {
  const FlowState f = FlowA2000();
  ASSERT_EQ(f.CurrentLuckIndex, 1);
  const char* headings[] = {"大運五行旺衰累計總分", "流年五行旺衰累計總分", "流月五行旺衰累計總分",
                            "流日五行旺衰累計總分", "流時五行旺衰累計總分"};
  const int totals[] = {81, 94, 115, 128, 141};
  for (int level = 1; level <= 5; ++level) {
    Window w = Open(AnalysisKind::Prosperity, ChartA(), f, level);
    EXPECT_EQ(Text(w.get(), "periodHeading"), QString::fromUtf8(headings[level - 1]));
    EXPECT_EQ(Text(w.get(), "pairNote"),
              QStringLiteral("印比總分高過異黨，或與異黨其一均停，即可任財官食傷。"));
    EXPECT_EQ(Sum(w.get(), "score"), totals[level - 1]) << "level " << level;
    EXPECT_EQ(Sum(w.get(), "pairSum"), 2 * totals[level - 1]) << "level " << level;
    EXPECT_FALSE(w->findChild<QLabel*>(QStringLiteral("luckNote")));
    for (int i = 0; i < 5; ++i) {
      auto* bar = Get<QProgressBar>(w.get(), "pairBar", i);
      ASSERT_TRUE(bar);
      EXPECT_EQ(bar->maximum(), 150);
      EXPECT_EQ(bar->value(), Text(w.get(), "pairSum", i).toInt());
      EXPECT_EQ(Get<QProgressBar>(w.get(), "scoreBar", i)->maximum(), 150);
    }
  }
}

TEST(ProsperityWindow, LevelOneOfChartAByHand) {
  // The luck pillar 辛未 adds 金5 and, doubled, 土10 火4 木2.
  Window w = Open(AnalysisKind::Prosperity, ChartA(), FlowA2000(), 1);
  const int scores[] = {9, 19, 24, 15, 14};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Text(w.get(), "score", i), QString::number(scores[i])) << i;
  struct Pair {
    const char* name;
    int sum;
    std::uint32_t colour;
  };
  // Day master 金: 印比 土+金, 比食 金+水, 食財 水+木, 財官 木+火, 官印 火+土.
  const Pair pairs[] = {{"印比", 39, 0xC0C000},
                        {"比食", 29, 0xFF00FF},
                        {"食財", 23, 0x80C0FF},
                        {"財官", 28, 0x00C0C0},
                        {"官印", 43, 0xFF8080}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Text(w.get(), "pairName", i), QString::fromUtf8(pairs[i].name));
    EXPECT_EQ(Colour(w.get(), "pairName", i), pairs[i].colour);
    EXPECT_EQ(Text(w.get(), "pairSum", i), QString::number(pairs[i].sum));
    EXPECT_EQ(Get<QProgressBar>(w.get(), "pairBar", i)->palette().color(QPalette::Highlight),
              Bgr(pairs[i].colour));
  }
}

TEST(ProsperityWindow, BeforeTheFirstLuckPillarTheLuckIsLeftOut) {
  const FlowState f = FlowAt(ChartA(), {1988, 1, 1, 12, 0});
  ASSERT_EQ(f.CurrentLuckIndex, 0);
  const int totals[] = {60, 73, 94, 107, 120};
  for (int level : {1, 2, 5}) {
    Window w = Open(AnalysisKind::Prosperity, ChartA(), f, level);
    EXPECT_EQ(Text(w.get(), "luckNote"), QStringLiteral("目前尚未起運，未計大運"));
    EXPECT_EQ(Sum(w.get(), "score"), totals[level - 1]);
    EXPECT_EQ(Sum(w.get(), "pairSum"), 2 * totals[level - 1]);
  }
}

// ------------------------------------------------------------------ Form6

struct StarLabels {
  std::array<std::array<QString, 12>, 5> rows;  // growth stages, stem stars, branch stars, year gods, void marks
  friend bool operator==(const StarLabels&, const StarLabels&) = default;
};
const std::array<QString, 5> kStarRowNames{"growthStage", "stemStars", "branchStars", "yearGods", "voidMarks"};

StarLabels ReadStars(const QWidget* w) {
  StarLabels s;
  for (int r = 0; r < 5; ++r)
    for (int i = 0; i < 12; ++i) s.rows[r][i] = Text(w, kStarRowNames[r], i);
  return s;
}
StarLabels Expected(const StarRows& rows) {
  StarLabels s;
  const std::array<const StarRow*, 5> src{&rows.GrowthStages, &rows.StemStars, &rows.BranchStars, &rows.YearGods, &rows.VoidMarks};
  for (int r = 0; r < 5; ++r)
    for (int i = 0; i < 12; ++i) s.rows[r][i] = QString::fromStdString((*src[r])[i]);
  return s;
}

TEST(StarsWindow, OpensWithZiPingAndSwitchesSchools) {
  Window w = Open(AnalysisKind::Stars, ChartA(), FlowA2000());
  auto* ziping = Get<QRadioButton>(w.get(), "schoolSwitch", 0);
  auto* sanming = Get<QRadioButton>(w.get(), "schoolSwitch", 1);
  ASSERT_TRUE(ziping && sanming);
  EXPECT_EQ(ziping->text(), QStringLiteral("子平法"));
  EXPECT_EQ(sanming->text(), QStringLiteral("三命法"));
  EXPECT_TRUE(ziping->isChecked());

  const StarLabels opening = ReadStars(w.get());
  EXPECT_EQ(opening, Expected(BuildStarRows(ChartA(), School::ZiPing)));
  // Day stem 庚 (子平法): 旦貴 and 天官 on 丑, 金輿 and 紅豔 on 戌; 羊刃 of the
  // year stem 甲 on 卯; the day void 申酉, the year void 戌亥.
  EXPECT_EQ(Text(w.get(), "stemStars", 1), QStringLiteral("旦貴 天官 "));
  EXPECT_EQ(Text(w.get(), "stemStars", 10), QStringLiteral("金輿 紅豔 "));
  EXPECT_EQ(Text(w.get(), "stemStars", 3), QStringLiteral("羊刃 "));
  EXPECT_EQ(Text(w.get(), "voidMarks", 8), QStringLiteral("日柱空亡 "));
  EXPECT_EQ(Text(w.get(), "voidMarks", 11), QStringLiteral("年柱空亡 "));
  EXPECT_EQ(Text(w.get(), "growthStage", 5), QStringLiteral("長生"));

  sanming->click();
  EXPECT_TRUE(sanming->isChecked());
  EXPECT_EQ(ReadStars(w.get()), Expected(BuildStarRows(ChartA(), School::SanMing)));
  // Year stem 甲 (三命法): 祿元 on 寅, 暮貴 and 天官 on 未; only the 六甲 void.
  EXPECT_EQ(Text(w.get(), "stemStars", 2), QStringLiteral("祿元 "));
  EXPECT_EQ(Text(w.get(), "stemStars", 7), QStringLiteral("暮貴 天官 "));
  EXPECT_EQ(Text(w.get(), "voidMarks", 8), QString());
  EXPECT_EQ(Text(w.get(), "voidMarks", 10), QStringLiteral("六甲空亡 "));

  ziping->click();
  EXPECT_EQ(ReadStars(w.get()), opening);
}

TEST(StarsWindow, YearGodsBranchesAndVirtuesStayUnderBothSchools) {
  Window w = Open(AnalysisKind::Stars, ChartA(), FlowA2000());
  for (int school = 0; school < 2; ++school) {
    Get<QRadioButton>(w.get(), "schoolSwitch", school)->click();
    // Year branch 子: 太歲 on 子, 歲破 on the opposite 午.
    EXPECT_EQ(Text(w.get(), "yearGods", 0), QStringLiteral("太歲"));
    EXPECT_EQ(Text(w.get(), "yearGods", 6), QStringLiteral("歲破"));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(Text(w.get(), "branchName", i), Q(Branch{i + 1}.name()));
    // Month branch 午.
    EXPECT_EQ(Text(w.get(), "heavenVirtue"), QStringLiteral("天德   亥"));
    EXPECT_EQ(Text(w.get(), "heavenVirtueCombine"), QStringLiteral("天德合 寅"));
    EXPECT_EQ(Text(w.get(), "monthVirtue"), QStringLiteral("月德   丙"));
    EXPECT_EQ(Text(w.get(), "monthVirtueCombine"), QStringLiteral("月德合 辛"));
  }
}

// The four centre texts are padded to one width; drawn one character a row,
// blanks included, their last characters stand on one row.
TEST(StarsWindow, CentreTextsEndOnOneRow) {
  Window w = Open(AnalysisKind::Stars, ChartA(), FlowA2000());
  w->show();
  auto inkRows = [](QLabel* l) {  // first and last pixel rows with ink
    QImage img(l->size(), QImage::Format_RGB32);
    l->render(&img);
    const QRgb background = img.pixel(0, 0);
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != background) {
          if (first < 0) first = y;
          last = y;
          break;
        }
    return std::pair{first, last};
  };
  QList<std::pair<int, int>> rows;
  for (const char* name : {"monthVirtueCombine", "monthVirtue", "heavenVirtue", "heavenVirtueCombine"}) {
    QLabel* l = Get(w.get(), name);
    ASSERT_TRUE(l);
    rows << inkRows(l);
    ASSERT_GE(rows.back().first, 0) << name;
  }
  const int row = QFontMetrics(Get(w.get(), "heavenVirtue")->font()).height();
  for (const auto& r : rows) {
    EXPECT_LT(std::abs(r.first - rows[0].first), row / 4);   // all start on the first row
    EXPECT_LT(std::abs(r.second - rows[0].second), row / 4);  // and end on one row
  }
  // Three blanks take a row and a half: the last character starts 3.5 rows
  // down, so the ink spans more than 3.5 rows and less than 4.5.
  const int span = rows[2].second - rows[2].first;
  EXPECT_GT(span, 3.5 * row);
  EXPECT_LT(span, 4.5 * row);
}

TEST(StarsWindow, RingLayoutAndColours) {
  Window w = Open(AnalysisKind::Stars, ChartA(), FlowA2000());
  auto box = [&](int i) { return Get<QFrame>(w.get(), "branchBox", i)->geometry(); };
  // Corners: 巳 top left, 申 top right, 亥 bottom right, 寅 bottom left.
  EXPECT_EQ(box(5).top(), box(8).top());
  EXPECT_LT(box(5).left(), box(8).left());
  EXPECT_EQ(box(8).left(), box(11).left());
  EXPECT_LT(box(8).top(), box(11).top());
  EXPECT_EQ(box(2).top(), box(11).top());
  EXPECT_EQ(box(2).left(), box(5).left());
  // Top row left to right 巳 午 未 申; bottom row right to left 亥 子 丑 寅;
  // right column top to bottom 申 酉 戌 亥; left column bottom to top 寅 卯 辰 巳.
  for (int b : {5, 6, 7}) EXPECT_LT(box(b).left(), box(b + 1).left());
  for (int b : {11, 0, 1}) EXPECT_GT(box(b % 12).left(), box((b + 1) % 12).left());
  for (int b : {8, 9, 10}) EXPECT_LT(box(b).top(), box(b + 1).top());
  for (int b : {2, 3, 4}) EXPECT_GT(box(b).top(), box(b + 1).top());
  // The centre labels left to right, inside the free middle of the ring.
  const QRect middle(box(6).left(), box(6).bottom(), box(7).right() - box(6).left(),
                     box(1).top() - box(6).bottom());
  int lastLeft = -1;
  for (const char* name : {"monthVirtueCombine", "monthVirtue", "heavenVirtue", "heavenVirtueCombine"}) {
    QLabel* l = Get(w.get(), name);
    ASSERT_TRUE(l);
    EXPECT_TRUE(middle.contains(l->geometry())) << name;
    EXPECT_GT(l->x(), lastLeft) << name;
    lastLeft = l->x();
    EXPECT_TRUE(HasBackground(l, 0xFFFFFF)) << name;
  }
  for (int i = 0; i < 12; ++i) {
    QFrame* f = Get<QFrame>(w.get(), "branchBox", i);
    EXPECT_TRUE(HasBackground(f, 0xE0E0E0));
    const struct {
      const char* name;
      std::uint32_t colour;
    } cols[] = {{"stemStars", 0x00C000}, {"branchStars", 0xC0C000}, {"yearGods", 0x808080},
                {"growthStage", 0xFF8080},  {"voidMarks", 0x808080}, {"branchName", 0x00C0C0}};
    for (const auto& c : cols) {
      QLabel* l = Get(w.get(), c.name, i);
      ASSERT_TRUE(l);
      EXPECT_EQ(l->parentWidget(), f) << c.name << i;
      EXPECT_EQ(TextColour(l), c.colour) << c.name << i;
    }
  }
}

// ------------------------------------------------------------------ Form4

int MarkedCell(const QWidget* w, const QString& y, const QString& s, const QString& b) {
  int marked = -1;
  for (int n = 0; n < 100; ++n) {
    const bool cell[] = {HasBackground(Get(w, y, n), kMarkedCellColour),
                         HasBackground(Get(w, s, n), kMarkedCellColour),
                         HasBackground(Get(w, b, n), kMarkedCellColour)};
    EXPECT_TRUE(cell[0] == cell[1] && cell[1] == cell[2]) << "cell " << n << " half marked";
    if (!cell[0]) continue;
    EXPECT_EQ(marked, -1) << "cells " << marked << " and " << n << " both marked";
    marked = n;
  }
  return marked;
}

TEST(FlowYearWindow, GridOfChartA) {
  Window w = Open(AnalysisKind::FlowYear, ChartA(), FlowA2000());
  struct Cell {
    int n;
    const char *year, *stem, *branch;
    std::uint32_t stemColour, branchColour;
  };
  const Cell cells[] = {{0, "1984", "甲", "子", kWood, kWater},
                        {1, "1985", "乙", "丑", kWood, kEarth},
                        {16, "2000", "庚", "辰", kMetal, kEarth},
                        {60, "2044", "甲", "子", kWood, kWater},
                        {99, "2083", "癸", "卯", kWater, kWood}};
  for (const Cell& c : cells) {
    EXPECT_EQ(Text(w.get(), "flowYear", c.n), QString::fromUtf8(c.year));
    EXPECT_EQ(Text(w.get(), "flowYearStem", c.n), QString::fromUtf8(c.stem));
    EXPECT_EQ(Text(w.get(), "flowYearBranch", c.n), QString::fromUtf8(c.branch));
    EXPECT_EQ(Colour(w.get(), "flowYearStem", c.n), c.stemColour);
    EXPECT_EQ(Colour(w.get(), "flowYearBranch", c.n), c.branchColour);
  }
  // Cell n at left 240 + 680c, top 240 + 680r.
  EXPECT_EQ(Get(w.get(), "flowYear", 37)->geometry(), QRect(Px(240 + 680 * 7), Px(240 + 680 * 3), Px(600), Px(240)));
  EXPECT_EQ(Get(w.get(), "flowYearBranch", 37)->pos(), QPoint(Px(540 + 680 * 7), Px(510 + 680 * 3)));
  EXPECT_EQ(w->size(), QSize(Px(7200), Px(7185)));
}

TEST(FlowYearWindow, MarkedCellByFlowAge) {
  struct Case {
    MomentInput at;
    int age, cell;
  };
  const Case cases[] = {
      {{2000, 3, 1, 12, 0}, 15, 16},    // 庚辰
      {{2043, 7, 1, 12, 0}, 59, 59},    // 癸亥, sought in cells 0..59
      {{2044, 3, 1, 12, 0}, 59, 0},     // 甲子 before the birthday: cell 0, not 60
      {{2044, 7, 1, 12, 0}, 60, 60},    // 甲子 after it: sought in 60..99
      {{2045, 3, 1, 12, 0}, 60, 61},    // 乙丑
      {{1979, 7, 1, 12, 0}, 0, 55},     // five years before birth, 己未
      {{2090, 7, 1, 12, 0}, 106, -1},   // 庚戌 is not among cells 60..99
  };
  for (const Case& c : cases) {
    const FlowState f = FlowAt(ChartA(), c.at);
    ASSERT_EQ(f.FlowAge, c.age) << c.at.InputYear;
    Window w = Open(AnalysisKind::FlowYear, ChartA(), f);
    EXPECT_EQ(MarkedCell(w.get(), "flowYear", "flowYearStem", "flowYearBranch"), c.cell) << c.at.InputYear;
  }
}

// A man born in 1901 (辛丑) reaches the last ages the flow moment allows.
TEST(FlowYearWindow, AgesAbove99) {
  const ChartState c = ChartOf(Sex::Male, {1901, 6, 15, 12, 0});
  struct Case {
    MomentInput at;
    int age, cell;
  };
  const Case cases[] = {
      {{2020, 7, 1, 12, 0}, 119, -1},  // 庚子 stands in cell 59 only
      {{2021, 7, 1, 12, 0}, 120, 60},  // 辛丑 again: cell 60, not cell 0
  };
  for (const Case& k : cases) {
    const FlowState f = FlowAt(c, k.at);
    ASSERT_EQ(f.FlowAge, k.age);
    Window w = Open(AnalysisKind::FlowYear, c, f);
    EXPECT_EQ(MarkedCell(w.get(), "flowYear", "flowYearStem", "flowYearBranch"), k.cell) << k.age;
    Window minor = Open(AnalysisKind::MinorLuck, c, f);
    EXPECT_EQ(MarkedCell(minor.get(), "minorLuckYear", "minorLuckStem", "minorLuckBranch"), -1) << k.age;
  }
}

TEST(FlowYearWindow, BornBetweenNewYearAndSpringStart) {
  ASSERT_EQ(ChartB().YearPillar().name(), "癸亥");
  Window w = Open(AnalysisKind::FlowYear, ChartB(), FlowAt(ChartB(), {2000, 3, 1, 12, 0}));
  EXPECT_EQ(Text(w.get(), "flowYear", 0), QStringLiteral("1984"));
  EXPECT_EQ(Text(w.get(), "flowYearStem", 0), QStringLiteral("甲"));
  EXPECT_EQ(Text(w.get(), "flowYearBranch", 0), QStringLiteral("子"));
}

// ------------------------------------------------------------------ Form5

TEST(MinorLuckWindow, FirstCellsBySex) {
  struct Case {
    const ChartState* chart;
    std::array<const char*, 4> pillars;  // cells 0, 1, 2, 60
  };
  const Case cases[] = {{&ChartA(), {"丙寅", "丁卯", "戊辰", "丙寅"}},
                        {&ChartB(), {"壬申", "辛未", "庚午", "壬申"}}};
  for (const Case& c : cases) {
    Window w = Open(AnalysisKind::MinorLuck, *c.chart, FlowAt(*c.chart, {2000, 3, 1, 12, 0}));
    const int cells[] = {0, 1, 2, 60};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(Text(w.get(), "minorLuckStem", cells[k]) + Text(w.get(), "minorLuckBranch", cells[k]),
                QString::fromUtf8(c.pillars[k]))
          << static_cast<int>(c.chart->Sex) << " cell " << cells[k];
    }
    EXPECT_EQ(Text(w.get(), "minorLuckYear", 0), QStringLiteral("1984"));
    EXPECT_EQ(Text(w.get(), "minorLuckYear", 99), QStringLiteral("2083"));
  }
  Window w = Open(AnalysisKind::MinorLuck, ChartA(), FlowA2000());
  EXPECT_EQ(Colour(w.get(), "minorLuckStem", 0), kFire);   // 丙
  EXPECT_EQ(Colour(w.get(), "minorLuckBranch", 0), kWood);   // 寅
}

TEST(MinorLuckWindow, MarkedCellIsTheFlowAge) {
  struct Case {
    MomentInput at;
    int cell;
  };
  const Case cases[] = {{{2000, 3, 1, 12, 0}, 15}, {{1979, 7, 1, 12, 0}, 0},
                        {{2083, 7, 1, 12, 0}, 99}, {{2090, 7, 1, 12, 0}, -1}};
  for (const Case& c : cases) {
    Window w = Open(AnalysisKind::MinorLuck, ChartA(), FlowAt(ChartA(), c.at));
    EXPECT_EQ(MarkedCell(w.get(), "minorLuckYear", "minorLuckStem", "minorLuckBranch"), c.cell) << c.at.InputYear;
  }
}

// ------------------------------------------------------------------ Form8

TEST(SanMingWindow, SeasonPillarsAndSoundElements) {
  Window w = Open(AnalysisKind::SanMing, ChartA(), FlowA2000());
  // A 午 month: 火 旺, 土 相, 金 死, 水 囚, 木 休.
  const char* ranks[] = {"旺", "相", "死", "囚", "休"};
  const char* elements[] = {"火", "土", "金", "水", "木"};
  const std::uint32_t colours[] = {kFire, kEarth, kMetal, kWater, kWood};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Text(w.get(), "seasonRank", i), QString::fromUtf8(ranks[i]));
    EXPECT_EQ(Text(w.get(), "seasonElement", i), QString::fromUtf8(elements[i]));
    EXPECT_EQ(Colour(w.get(), "seasonElement", i), colours[i]);
    EXPECT_LT(Get(w.get(), "seasonRank", i)->x(), Get(w.get(), "seasonElement", i)->x());
  }
  struct Column {
    const char* prefix;
    const char *stem, *branch, *sound;
    std::uint32_t soundColour;
  };
  // 胎元 of 庚午 is 辛酉.
  const Column columns[] = {{"year", "甲", "子", "海中金", kMetal},
                            {"month", "庚", "午", "路旁土", kEarth},
                            {"day", "庚", "辰", "白臘金", kMetal},
                            {"hour", "壬", "午", "楊柳木", kWood},
                            {"conception", "辛", "酉", "石榴木", kWood}};
  for (const Column& c : columns) {
    const QString p = QString::fromLatin1(c.prefix);
    EXPECT_EQ(Text(w.get(), p + "Stem"), QString::fromUtf8(c.stem));
    EXPECT_EQ(Text(w.get(), p + "Branch"), QString::fromUtf8(c.branch));
    EXPECT_EQ(Text(w.get(), p + "Sound"), QString::fromUtf8(c.sound));
    EXPECT_EQ(Colour(w.get(), p + "Sound"), c.soundColour);
  }
  EXPECT_EQ(Colour(w.get(), "yearStem"), kWood);
  EXPECT_EQ(Colour(w.get(), "yearBranch"), kWater);
  // Columns from right to left 年 月 日 時, 胎 leftmost.
  const int order[] = {0, 2, 3, 4, 1};
  const char* headings[] = {"年", "胎", "月", "日", "時"};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(Text(w.get(), "pillarHeading", k), QString::fromUtf8(headings[k]));
  for (int k = 0; k + 1 < 5; ++k)
    EXPECT_GT(Get(w.get(), "pillarHeading", order[k])->x(), Get(w.get(), "pillarHeading", order[k + 1])->x());
  EXPECT_EQ(Get(w.get(), "yearStem")->x(), Get(w.get(), "pillarHeading", 0)->x());
}

TEST(SanMingWindow, LuckStrip) {
  const ChartState& c = ChartA();
  Window w = Open(AnalysisKind::SanMing, c, FlowA2000());
  for (int i = 0; i < 10; ++i) {
    const Pillar p = c.LuckPillar(i + 1);
    EXPECT_EQ(Text(w.get(), "luckStem", i), Q(p.stem.name()));
    EXPECT_EQ(Text(w.get(), "luckBranch", i), Q(p.branch.name()));
    EXPECT_EQ(Text(w.get(), "luckSound", i), Q(SoundElementOf(p).SoundName));
    EXPECT_EQ(Text(w.get(), "luckAges", i), QString::fromStdString(c.LuckAgeRanges[i]));
    EXPECT_EQ(Get(w.get(), "luckStem", i)->toolTip(),
              QStringLiteral("天干上五年  ") + QString::fromStdString(c.LuckChangeDates[i]));
    EXPECT_EQ(Get(w.get(), "luckBranch", i)->toolTip(),
              QStringLiteral("地支下五年  ") + QString::fromStdString(c.LuckMidChangeDates[i]));
    if (i > 0) {
      EXPECT_LT(Get(w.get(), "luckStem", i)->x(), Get(w.get(), "luckStem", i - 1)->x());
    }
  }
  // The first pillar 辛未 (路旁土), from age 7.
  EXPECT_EQ(Text(w.get(), "luckStem", 0) + Text(w.get(), "luckBranch", 0), QStringLiteral("辛未"));
  EXPECT_EQ(Text(w.get(), "luckSound", 0), QStringLiteral("路旁土"));
  EXPECT_EQ(Colour(w.get(), "luckSound", 0), kEarth);
  EXPECT_EQ(Text(w.get(), "luckAges", 0), QStringLiteral(" 7 -  16"));
  EXPECT_EQ(Text(w.get(), "luckStem", 9) + Text(w.get(), "luckBranch", 9), QStringLiteral("庚辰"));
}

TEST(SanMingWindow, StarOnTheCurrentLuckPillarOnly) {
  struct Case {
    MomentInput at;
    int index;
  };
  const Case cases[] = {{{2000, 3, 1, 12, 0}, 1},
                        {{2043, 7, 1, 12, 0}, 6},
                        {{1988, 1, 1, 12, 0}, 0},
                        {{2095, 7, 1, 12, 0}, 11}};
  for (const Case& c : cases) {
    const FlowState f = FlowAt(ChartA(), c.at);
    ASSERT_EQ(f.CurrentLuckIndex, c.index);
    Window w = Open(AnalysisKind::SanMing, ChartA(), f);
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(Text(w.get(), "luckMark", i), i + 1 == c.index ? QStringLiteral("★") : QString())
          << "index " << c.index << " column " << i;
    }
  }
}

// ------------------------------------------------------------------ Form9

TEST(TextOutputWindow, ShowsTheStoredTextsAndDropsTypedChanges) {
  const FlowState f = FlowA2000();
  const std::string ziping = ZiPingReport(ChartA(), f), sanming = SanMingReport(ChartA(), f);
  Window w = Open(AnalysisKind::TextOutput, ChartA(), f);
  auto* box = Get<QPlainTextEdit>(w.get(), "Outbox");
  const std::array options{Get<QRadioButton>(w.get(), "schoolSwitch", 0),
                           Get<QRadioButton>(w.get(), "schoolSwitch", 1)};
  ASSERT_TRUE(box && options[0] && options[1]);
  EXPECT_EQ(Text(w.get(), "switchCaption"), QStringLiteral("輸出切換"));
  EXPECT_EQ(options[0]->text(), QStringLiteral("子平法"));
  EXPECT_EQ(options[1]->text(), QStringLiteral("三命法"));
  EXPECT_TRUE(options[0]->isChecked());
  EXPECT_FALSE(box->isReadOnly());
  EXPECT_EQ(w->focusWidget(), box);
  EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  auto* tw = qobject_cast<TextOutputWindow*>(w.get());
  ASSERT_TRUE(tw);
  EXPECT_EQ(tw->texts()[0], ziping);
  EXPECT_EQ(tw->texts()[1], sanming);

  // One block per line: 31 and 42 lines, then the empty one after the last end.
  auto shows = [&](const std::string& text, int lines) {
    EXPECT_FALSE(box->toPlainText().contains(QLatin1Char('\r')));
    EXPECT_EQ(box->toPlainText(), BoxText(text));
    EXPECT_EQ(box->blockCount(), lines + 1);
  };
  shows(ziping, 31);
  EXPECT_TRUE(box->toPlainText().startsWith(QStringLiteral("乾造 西元 1984年")));

  QTest::keyClicks(box, "typed");
  EXPECT_NE(box->toPlainText(), BoxText(ziping));
  options[1]->click();
  shows(sanming, 42);
  box->appendPlainText(QStringLiteral("more"));
  options[0]->click();
  shows(ziping, 31);
  options[1]->click();
  shows(sanming, 42);
}

TEST(TextOutputWindow, BoxTextTurnsCrLfIntoLineBreaks) {
  EXPECT_EQ(BoxText("a\r\nb\r\n"), QStringLiteral("a\nb\n"));
  EXPECT_EQ(BoxText("甲\r\n\r\n乙"), QStringLiteral("甲\n\n乙"));
  EXPECT_EQ(BoxText(""), QString());
}

}  // namespace
}  // namespace qelm::ui
