#include "analysis/scoring.hpp"

#include <gtest/gtest.h>

#include <numeric>

namespace qelm {
namespace {

int Sum(const ElementScores& s) { return std::accumulate(s.begin(), s.end(), 0); }

// Scores are 木 火 土 金 水.
struct BranchCase {
  int branch;
  int weight;
  ElementScores expected;
};

TEST(ElementCount, BranchPointsFollowTheHiddenStems) {
  const BranchCase cases[] = {
      {1, 2, {0, 0, 0, 0, 16}},  // 子 as the month branch
      {1, 1, {0, 0, 0, 0, 8}},   // 子 as the year branch
      {7, 2, {0, 10, 6, 0, 0}},  // 午 month: 火 10 土 6
      {12, 1, {3, 0, 0, 0, 5}},  // 亥 hour: 水 5 木 3
      {2, 1, {0, 0, 5, 1, 2}},   // 丑 土 水 金
      {3, 1, {5, 2, 1, 0, 0}},   // 寅 木 火 土
      {5, 1, {2, 0, 5, 0, 1}},   // 辰 土 木 水
      {6, 1, {0, 5, 2, 1, 0}},   // 巳 火 土 金
      {8, 1, {1, 2, 5, 0, 0}},   // 未 土 火 木
      {9, 1, {0, 0, 1, 5, 2}},   // 申 金 水 土
      {11, 2, {0, 2, 10, 4, 0}}, // 戌 doubled: 土 金 火
      {4, 1, {8, 0, 0, 0, 0}},   // 卯
      {10, 1, {0, 0, 0, 8, 0}},  // 酉
      {0, 1, {0, 0, 0, 0, 0}},   // not set: nothing
  };
  for (const auto& c : cases) {
    ElementCount count;
    count.AddBranchPoints(Branch{c.branch}, c.weight);
    EXPECT_EQ(count.scores, c.expected) << "branch " << c.branch << " weight " << c.weight;
  }
}

TEST(ElementCount, StemsGiveFiveToTheirElement) {
  ElementCount count;
  for (int s = 1; s <= 10; ++s) count.AddStemPoints(Stem{s});
  count.AddStemPoints(Stem{0});  // none
  EXPECT_EQ(count.scores, (ElementScores{10, 10, 10, 10, 10}));
  EXPECT_EQ(count.total(), 50);
}

ChartState Chart(Pillar year, Pillar month, Pillar day, Pillar hour) {
  ChartState c;
  c.YearStem = year.stem, c.YearBranch = year.branch;
  c.MonthStem = month.stem, c.MonthBranch = month.branch;
  c.DayStem = day.stem, c.DayBranch = day.branch;
  c.HourStem = hour.stem, c.HourBranch = hour.branch;
  for (int k = 1; k <= 12; ++k) {
    c.LuckStems[k - 1] = month.stem.next(k);
    c.LuckBranches[k - 1] = month.branch.next(k);
  }
  return c;
}

constexpr Pillar P(int stem, int branch) { return {Stem{stem}, Branch{branch}}; }

FlowState Flow(Pillar year, Pillar month, Pillar day, Pillar hour, int luckIndex) {
  FlowState f;
  f.moment.MomentPillars = {year, month, day, hour, year};
  f.CurrentLuckIndex = luckIndex;
  return f;
}

TEST(NatalScores, CountsTheMonthBranchTwice) {
  // 甲子 年, 丙寅 月, 戊午 日, 壬戌 時.
  const ChartState c = Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11));
  // 木 甲5 寅10; 火 丙5 寅4 午5 戌1; 土 戊5 寅2 午3 戌5; 金 戌2; 水 壬5 子8.
  EXPECT_EQ(NatalScores(c), (ElementScores{15, 15, 15, 2, 13}));
}

TEST(NatalScores, EveryChartTotalsSixty) {
  for (int y = 1; y <= 60; y += 7) {
    for (int m = 1; m <= 12; ++m) {
      const Pillar year = P(1, 1).next(y - 1);
      const ChartState c = Chart(year, P(1, 3).next(m - 1), year.next(m * 5), year.next(m * 11));
      EXPECT_EQ(Sum(NatalScores(c)), 60) << year.name();
    }
  }
}

TEST(LevelScores, TotalsGrowLevelByLevel) {
  const ChartState c = Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11));
  const FlowState inLuck = Flow(P(7, 5), P(4, 6), P(10, 12), P(1, 1), 3);
  const FlowState beforeLuck = Flow(P(7, 5), P(4, 6), P(10, 12), P(1, 1), 0);
  const int withLuck[] = {81, 94, 115, 128, 141};
  const int withoutLuck[] = {60, 73, 94, 107, 120};
  for (const ScorePeriod p : kScorePeriods) {
    const auto k = static_cast<std::size_t>(p);
    EXPECT_EQ(Sum(LevelScores(c, inLuck, p)), withLuck[k]) << k;
    EXPECT_EQ(Sum(LevelScores(c, beforeLuck, p)), withoutLuck[k]) << k;
  }
}

ElementScores Minus(const ElementScores& a, const ElementScores& b) {
  ElementScores d{};
  for (int i = 0; i < 5; ++i) d[i] = a[i] - b[i];
  return d;
}

TEST(LevelScores, EachLevelAddsItsPillarWithItsWeight) {
  const ChartState c = Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11));
  // Luck pillar 3 of 丙寅 forward is 己巳; flow 庚辰 年, 丁巳 月, 癸亥 日, 甲子 時.
  const FlowState f = Flow(P(7, 5), P(4, 6), P(10, 12), P(1, 1), 3);
  EXPECT_EQ(Minus(LevelScores(c, f, ScorePeriod::Luck), NatalScores(c)), (ElementScores{0, 10, 9, 2, 0}));  // 己 + 巳×2
  EXPECT_EQ(Minus(LevelScores(c, f, ScorePeriod::FlowYear), LevelScores(c, f, ScorePeriod::Luck)), (ElementScores{2, 0, 5, 5, 1}));  // 庚 + 辰
  EXPECT_EQ(Minus(LevelScores(c, f, ScorePeriod::FlowMonth), LevelScores(c, f, ScorePeriod::FlowYear)), (ElementScores{0, 15, 4, 2, 0}));  // 丁 + 巳×2
  EXPECT_EQ(Minus(LevelScores(c, f, ScorePeriod::FlowDay), LevelScores(c, f, ScorePeriod::FlowMonth)), (ElementScores{3, 0, 0, 0, 10}));  // 癸 + 亥
  EXPECT_EQ(Minus(LevelScores(c, f, ScorePeriod::FlowHour), LevelScores(c, f, ScorePeriod::FlowDay)), (ElementScores{5, 0, 0, 0, 8}));   // 甲 + 子
}

TEST(PairSums, WeighTheDayMastersSides) {
  const ElementScores s{1, 10, 100, 1000, 10000};
  // Day master 甲 (木): 印比 水+木, 比食 木+火, 食財 火+土, 財官 土+金, 官印 金+水.
  EXPECT_EQ(PairSums(s, Stem{1}), (std::array<int, 5>{10001, 11, 110, 1100, 11000}));
  // Day master 庚 (金): 印比 土+金, 比食 金+水, 食財 水+木, 財官 木+火, 官印 火+土.
  EXPECT_EQ(PairSums(s, Stem{7}), (std::array<int, 5>{1100, 11000, 10001, 11, 110}));

  const ChartState c = Chart(P(1, 1), P(3, 3), P(5, 7), P(9, 11));
  const FlowState f = Flow(P(7, 5), P(4, 6), P(10, 12), P(1, 1), 3);
  for (const ScorePeriod p : kScorePeriods) {
    const auto scores = LevelScores(c, f, p);
    const auto pairs = PairSums(scores, c.DayStem);
    EXPECT_EQ(std::accumulate(pairs.begin(), pairs.end(), 0), 2 * Sum(scores));
  }
}

TEST(ElementGroupName, RelatesEachElementToTheDayMaster) {
  struct Case {
    int dayStem;
    std::array<std::string_view, 5> byElement;  // 木 火 土 金 水
  } cases[] = {
      {9, {"食傷", "財星", "官殺", "印星", "比劫"}},   // 壬 水
      {1, {"比劫", "食傷", "財星", "官殺", "印星"}},   // 甲 木
      {6, {"官殺", "印星", "比劫", "食傷", "財星"}},   // 己 土
  };
  for (const auto& c : cases) {
    for (int e = 1; e <= 5; ++e) {
      EXPECT_EQ(ElementGroupName(Element{e}, Stem{c.dayStem}), c.byElement[e - 1])
          << "day " << c.dayStem << " element " << e;
    }
  }
  EXPECT_EQ(ElementGroupName(Element{0}, Stem{1}), "");
}

TEST(SeasonStates, EarthMonthsTurnToEarthOnDayThirteen) {
  struct Case {
    int monthBranch;
    int days;
    std::array<std::string_view, 5> names;  // 旺 相 死 囚 休
  } cases[] = {
      {5, 12, {"木", "火", "土", "金", "水"}},   // 辰, still spring
      {5, 13, {"土", "金", "水", "木", "火"}},   // 辰, earth rules
      {8, 0, {"火", "土", "金", "水", "木"}},    // 未
      {8, 20, {"土", "金", "水", "木", "火"}},
      {11, 12, {"金", "水", "木", "火", "土"}},  // 戌
      {11, 13, {"土", "金", "水", "木", "火"}},
      {2, 12, {"水", "木", "火", "土", "金"}},   // 丑
      {2, 29, {"土", "金", "水", "木", "火"}},
      {3, 0, {"木", "火", "土", "金", "水"}},    // 寅, whatever the day
      {3, 13, {"木", "火", "土", "金", "水"}},
      {3, 29, {"木", "火", "土", "金", "水"}},
      {1, 20, {"水", "木", "火", "土", "金"}},   // 子
      {7, 5, {"火", "土", "金", "水", "木"}},    // 午
      {10, 15, {"金", "水", "木", "火", "土"}},  // 酉
      {12, 15, {"水", "木", "火", "土", "金"}},  // 亥
  };
  for (const auto& c : cases) {
    const SeasonRanking r = SeasonStates(Branch{c.monthBranch}, c.days);
    EXPECT_EQ(r.SeasonNames, c.names) << "branch " << c.monthBranch << " day " << c.days;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.SeasonElements[i].name(), c.names[i]);
  }
  EXPECT_EQ(SeasonStates(Branch{0}, 3).SeasonNames[0], "");
}

}  // namespace
}  // namespace qelm
