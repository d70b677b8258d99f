// The schools that date the luck pillars: worked examples done by hand, and
// the properties every school keeps.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "calendar/tables.hpp"
#include "chart/chart.hpp"

namespace qelm {
namespace {

ChartState Cast(Sex sex, MomentInput birth, LuckStart school) {
  const MomentOutcome r = CalcMoment(birth);
  EXPECT_TRUE(r) << "birth moment refused";
  return r ? LoadChart("測試", sex, *r.result, school) : ChartState{};
}

std::string StartText(const ChartState& c, int k) {
  return UserMomentText(c.BirthMoment() + std::chrono::minutes{*c.LuckChangeMinutes[k - 1]});
}

// 1990-05-17 14:30, a 庚 (yang) year: a man counts forward to 芒種
// 1990/06/06 06:46, a woman back to 立夏 1990/05/06 02:36.
TEST(LuckSchool, WorkedExamples) {
  const MomentInput birth{1990, 5, 17, 14, 30};
  struct Row {
    Sex sex;
    LuckStart school;
    LuckOffset offset;
    const char* start;  // the first change, on the clock
    const char* date;
    const char* midDate;  // five years on
    const char* second;   // ten years on
  };
  const std::vector<Row> rows{
      // exact, forward: 05-17 14:30 to 06-06 06:46 is 19 days 16 h 16 min
      // = 19 × 1440 + 976 = 28336 minutes; 28336 = 6 × 4320 + 2416 (6 years),
      // 2416 = 6 × 360 + 256 (6 months), 256 = 21 × 12 + 4 (21 days),
      // 4 minutes = 8 hours. 1990 + 6 = 1996, month 5 + 6 = 11, day
      // 17 + 21 = 38 November = 8 December, 14:30 + 8 h = 22:30.
      {Sex::Male, LuckStart::Exact, {6, 6, 21, 8, 0}, "1996-12-08 22:30", "1996年12月08日", "2001年12月08日",
       "2006年12月08日"},
      // shichen, forward: 時辰 of 14:30 is (14 + 1) div 2 = 7, of 06:46 is
      // (6 + 1) div 2 = 3; dates 20 days apart, 3 − 7 = −4, so h = 8 and
      // 19 days. Months = 19 × 4 + 8 div 3 = 78, days = (8 mod 3) × 10 = 20;
      // 78 months = 6 years 6 months. 1996-11-(17 + 20) = 7 December, 14:30.
      {Sex::Male, LuckStart::Shichen, {6, 6, 20, 0, 0}, "1996-12-07 14:30", "1996年12月07日", "2001年12月07日",
       "2006年12月07日"},
      // exact, backward: 05-06 02:36 to 05-17 14:30 is 11 days 11 h 54 min
      // = 15840 + 714 = 16554 minutes = 3 × 4320 + 3594; 3594 = 9 × 360 + 354;
      // 354 = 29 × 12 + 6; 6 minutes = 12 hours. 1990 + 3, month 5 + 9 = 14:
      // February 1994 (28 days); day 17 + 29 = 46 February = 18 March;
      // 14:30 + 12 h = 02:30 on 19 March.
      {Sex::Female, LuckStart::Exact, {3, 9, 29, 12, 0}, "1994-03-19 02:30", "1994年03月19日", "1999年03月19日",
       "2004年03月19日"},
      // shichen, backward: 時辰 of 02:36 is 1, of 14:30 is 7; 11 days, h = 6.
      // Months = 11 × 4 + 6 div 3 = 46 = 3 years 10 months, days = 0.
      // 1993, month 5 + 10 = 15: March 1994, day 17, 14:30.
      {Sex::Female, LuckStart::Shichen, {3, 10, 0, 0, 0}, "1994-03-17 14:30", "1994年03月17日", "1999年03月17日",
       "2004年03月17日"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(LuckStartKey(r.school)) + (r.sex == Sex::Male ? " 男" : " 女"));
    const ChartState c = Cast(r.sex, birth, r.school);
    EXPECT_EQ(c.LuckTermMoments[0], r.sex == Sex::Male ? "1990/06/06 06:46" : "1990/05/06 02:36");
    EXPECT_EQ(c.LuckStartOffset, r.offset);
    EXPECT_EQ(c.LuckStartAge, r.offset.years);
    EXPECT_EQ(StartText(c, 1), r.start);
    EXPECT_EQ(c.LuckChangeDates[0], r.date);
    EXPECT_EQ(c.LuckMidChangeDates[0], r.midDate);
    EXPECT_EQ(c.LuckChangeDates[1], r.second);
  }
  // The default stays the table school, which the worked dates differ from.
  const ChartState table = Cast(Sex::Male, birth, LuckStart::Table);
  EXPECT_EQ(table.conventions.luckStart, LuckStart::Table);
  EXPECT_EQ(table.LuckChangeDates[0], "1996年11月02日");
  EXPECT_EQ(Cast(Sex::Male, birth, LuckStart::Table).LuckChangeDates, table.LuckChangeDates);
}

TEST(LuckSchool, ShichenIndexAndCalendarAddition) {
  const std::vector<std::pair<int, int>> hours{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {12, 6}, {13, 7}, {21, 11}, {22, 11}, {23, 11}};
  for (auto [h, i] : hours) EXPECT_EQ(ShichenIndex(h), i) << h;
  // 23:xx is 11 of its own date: 23:10 to 00:20 the next day is one day and
  // 0 − 11 = −11 時辰, so 0 days and 1 時辰: ten days.
  EXPECT_EQ(ShichenLuckOffset(MakeMoment(2000, 1, 1, 23, 10), MakeMoment(2000, 1, 2, 0, 20)),
            (LuckOffset{0, 0, 10, 0, 0}));
  // 31 January + 1 month is 3 March in a common year, 2 March in a leap year.
  EXPECT_EQ(UserMomentText(AddLuckOffset(MakeMoment(2001, 1, 31, 8, 0), {.months = 1})), "2001-03-03 08:00");
  EXPECT_EQ(UserMomentText(AddLuckOffset(MakeMoment(2000, 1, 31, 8, 0), {.months = 1})), "2000-03-02 08:00");
  // Hours carried into days, months into years.
  EXPECT_EQ(UserMomentText(AddLuckOffset(MakeMoment(1999, 12, 31, 20, 0), {0, 1, 0, 6, 0})), "2000-02-01 02:00");
  EXPECT_EQ(ParseLuckStart("exact"), LuckStart::Exact);
  EXPECT_EQ(ParseLuckStart(LuckStartName(LuckStart::Shichen)), LuckStart::Shichen);
  EXPECT_EQ(ParseLuckStart("Table"), std::nullopt);
}

// Births through whole solar months, both directions: the further the birth
// lies from its 節, the later in life the luck starts, under every school;
// the dates are those of the minutes of life, and the pillar of a moment
// follows them.
TEST(LuckSchool, StartMovesWithTheDistanceToTheJie) {
  std::mt19937 random(30);
  for (int round = 0; round < 8; ++round) {
    const int year = std::uniform_int_distribution(1902, 2097)(random);
    const int month = std::uniform_int_distribution(1, 12)(random);
    const Moment from = *SolarTermAt(SectionalTermIndex(year, month));
    const Moment to = *SolarTermAt(SectionalTermIndex(year, month) + 2);
    for (Sex sex : {Sex::Male, Sex::Female}) {
      for (LuckStart school : {LuckStart::Table, LuckStart::Exact, LuckStart::Shichen}) {
        SCOPED_TRACE(UserMomentText(from) + " " + std::string(LuckStartKey(school)));
        std::vector<std::pair<std::int64_t, ChartState>> byDistance;
        for (Moment t = from + std::chrono::minutes{1}; t < to; t += std::chrono::minutes{293}) {
          const CivilFields f = Fields(t);
          ChartState c = Cast(sex, {f.year, f.month, f.day, f.hour, f.minute}, school);
          const std::int64_t distance = c.Forward() ? MinutesBetween(t, to) : MinutesBetween(from, t);
          byDistance.emplace_back(distance, std::move(c));
        }
        std::sort(byDistance.begin(), byDistance.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 1; i < byDistance.size(); ++i) {
          const ChartState& nearer = byDistance[i - 1].second;
          const ChartState& further = byDistance[i].second;
          ASSERT_LE(nearer.LuckStartAge, further.LuckStartAge);
          ASSERT_LE(nearer.LuckStartOffset, further.LuckStartOffset);
        }
        for (const auto& [distance, c] : byDistance) {
          for (int k = 1; k <= 12; ++k) {
            const Moment start = c.BirthMoment() + std::chrono::minutes{*c.LuckChangeMinutes[k - 1]};
            if (school != LuckStart::Table) {
              ASSERT_EQ(c.LuckChangeDates[k - 1], ChineseDateText(DateOf(start)));
              if (k > 1) {
                const Moment before = c.BirthMoment() + std::chrono::minutes{*c.LuckChangeMinutes[k - 2]};
                ASSERT_EQ(AddLuckOffset(before, {.years = 10}), start);
              }
            }
            ASSERT_EQ(LuckIndexAt(c, start), k);
            ASSERT_EQ(LuckIndexAt(c, start - std::chrono::minutes{1}), k - 1);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace qelm
