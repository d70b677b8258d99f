// 擇日 for a person: the day's relations with the natal pillars, the filters
// and the lists a user writes.
#include "analysis/day_choice.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "tests/chart/cast.hpp"

namespace qelm {
namespace {

using testing::ChartOf;
using testing::FlowAt;

// A relation regardless of the order of its positions.
using Unordered = std::tuple<RelationKind, std::vector<Position>, std::string>;
std::vector<Unordered> Unorder(const std::vector<Relation>& list) {
  std::vector<Unordered> out;
  for (const Relation& r : list) {
    std::vector<std::pair<Position, std::string>> parts;
    const std::size_t width = 3;
    for (int i = 0; i < r.count; ++i) parts.emplace_back(r.positions[i], r.chars.substr(i * width, width));
    std::ranges::sort(parts);
    std::vector<Position> positions;
    std::string chars;
    for (const auto& [p, c] : parts) {
      positions.push_back(p);
      chars += c;
    }
    out.emplace_back(r.kind, positions, chars);
  }
  std::ranges::sort(out);
  return out;
}

// Agreement with the chart: the day's relations are exactly those of the
// chart's FlowRelations at noon of that date that join only 流日 and the
// natal pillars.
TEST(DayChoice, TheChartsFlowRelationsOfTheDay) {
  const ChartState chart = ChartOf(Sex::Male, {1990, 5, 17, 14, 30});
  const NatalPillars natal = NatalPillars::Of(chart);
  int found = 0;
  for (Date d = MakeDate(2024, 1, 1); d <= MakeDate(2024, 3, 31); d += std::chrono::days{1}) {
    const CivilFields f = Fields(MakeMoment(d, 12, 0));
    const FlowState flow = FlowAt(chart, {f.year, f.month, f.day, 12, 0});
    std::vector<Relation> expected = RelationsOf(chart, flow).flow;
    std::erase_if(expected, [](const Relation& r) {
      return std::ranges::any_of(r.joined(), [](Position p) { return !IsNatal(p) && p != Position::FlowDay; });
    });
    const std::vector<Relation> got = DayRelations(AlmanacDayOf(d)->pillar, natal);
    EXPECT_EQ(Unorder(got), Unorder(expected)) << IsoDateText(d);
    for (const Relation& r : got) EXPECT_EQ(r.positions[0], Position::FlowDay);
    found += static_cast<int>(got.size());
  }
  EXPECT_GT(found, 90);
}

// The filters against the unfiltered output: random filters keep exactly the
// days that a plain reading of each condition keeps, in the same order.
TEST(DayChoice, FiltersAgainstTheUnfilteredDays) {
  const ChartState chart = ChartOf(Sex::Female, {1975, 7, 1, 9, 30});
  const NatalPillars natal = NatalPillars::Of(chart);
  const Date from = MakeDate(2025, 1, 1), to = MakeDate(2025, 6, 30);
  const std::vector<ChosenDay> all = ChooseDays(from, to, &natal, {});
  ASSERT_EQ(all.size(), 181u);
  std::mt19937 random(29);
  for (int round = 0; round < 100; ++round) {
    DayFilter filter;
    for (std::size_t k = 0; k < kRelationKindCount; ++k) {
      filter.avoid[k] = random() % 6 == 0;
      filter.want[k] = random() % 4 == 0;
    }
    for (std::size_t o = 0; o < 12; ++o) filter.officers[o] = random() % 3 == 0;
    filter.yellowOnly = random() % 2 == 0;
    if (round % 4 == 0) filter.avoid.reset();
    if (round % 5 == 0) filter.officers.reset();
    std::vector<Date> expected;
    for (const ChosenDay& d : all) {
      bool avoided = false, wanted = filter.want.none();
      for (const Relation& r : d.relations) {
        avoided = avoided || filter.avoid[static_cast<std::size_t>(r.kind)];
        wanted = wanted || filter.want[static_cast<std::size_t>(r.kind)];
      }
      const bool officer = filter.officers.none() || filter.officers[d.day.officer.number() - 1];
      if (!avoided && wanted && officer && (!filter.yellowOnly || d.day.god.yellow())) expected.push_back(d.day.date);
    }
    std::vector<Date> got;
    for (const ChosenDay& d : ChooseDays(from, to, &natal, filter)) got.push_back(d.day.date);
    EXPECT_EQ(got, expected) << "round " << round;
  }
  // Without a person, no day has relations.
  for (const ChosenDay& d : ChooseDays(from, to, nullptr, {})) EXPECT_TRUE(d.relations.empty());
  // Dates beyond the almanac are left out, not refused.
  EXPECT_EQ(ChooseDays(MakeDate(2099, 12, 30), MakeDate(2100, 1, 5), nullptr, {}).size(), 2u);
  EXPECT_TRUE(ChooseDays(to, from, nullptr, {}).empty());
}

TEST(DayChoice, Lists) {
  std::string unknown;
  const auto kinds = ParseRelationKinds("六沖,三刑、天干五合，六合", unknown);
  ASSERT_TRUE(kinds);
  EXPECT_EQ(kinds->count(), 4u);
  EXPECT_TRUE(kinds->test(static_cast<std::size_t>(RelationKind::SixClash)));
  EXPECT_TRUE(kinds->test(static_cast<std::size_t>(RelationKind::StemCombination)));
  EXPECT_FALSE(ParseRelationKinds("六沖,六衝", unknown));
  EXPECT_EQ(unknown, "六衝");
  for (const char* bad : {"", "六沖,", ",六沖", "六沖,,三刑"}) EXPECT_FALSE(ParseRelationKinds(bad, unknown)) << bad;
  const auto officers = ParseOfficers("成, 開", unknown);
  ASSERT_TRUE(officers);
  EXPECT_EQ(officers->to_ulong(), (1ul << 8) | (1ul << 10));
  EXPECT_FALSE(ParseOfficers("成,吉", unknown));
  EXPECT_EQ(unknown, "吉");
}

// The cell's marks name each natal pillar a group touches; 破 is left out.
TEST(DayChoice, Marks) {
  // 1990-05-17 14:30 is 庚午 辛巳 壬午 丁未; 2024-02-04 is 戊戌: 午戌 半合 with
  // 年 and 日, 戌未 相刑 and 未戌 破 with 時, nothing with 巳 or the stems.
  const ChartState chart = ChartOf(Sex::Male, {1990, 5, 17, 14, 30});
  const std::vector<Relation> r = DayRelations(AlmanacDayOf(MakeDate(2024, 2, 4))->pillar, NatalPillars::Of(chart));
  EXPECT_EQ(DayMarks(r), "合年日 刑時");
  const ChartState clash = ChartOf(Sex::Male, {1964, 4, 20, 8, 0});  // 甲辰 戊辰 己亥 戊辰
  EXPECT_EQ(DayMarks(DayRelations(AlmanacDayOf(MakeDate(2024, 2, 4))->pillar, NatalPillars::Of(clash))),
            "沖年月時");
  EXPECT_EQ(DayMarks({}), "");
}

}  // namespace
}  // namespace qelm
