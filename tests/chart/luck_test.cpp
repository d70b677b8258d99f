// Luck pillars: sequence, start age, age ranges, the pillar of a moment and
// the age at a date.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "chart/chart.hpp"

namespace qelm {
namespace {

std::vector<std::string> Names(const std::array<Pillar, 12>& ps) {
  std::vector<std::string> out;
  for (Pillar p : ps) out.push_back(p.name());
  return out;
}

TEST(LuckPillars, StepFromTheMonthPillar) {
  const Pillar bingYin{Stem{3}, Branch{3}};
  EXPECT_EQ(Names(LuckPillars(bingYin, true)),
            (std::vector<std::string>{"丁卯", "戊辰", "己巳", "庚午", "辛未", "壬申", "癸酉", "甲戌", "乙亥",
                                      "丙子", "丁丑", "戊寅"}));
  EXPECT_EQ(Names(LuckPillars(bingYin, false)),
            (std::vector<std::string>{"乙丑", "甲子", "癸亥", "壬戌", "辛酉", "庚申", "己未", "戊午", "丁巳",
                                      "丙辰", "乙卯", "甲寅"}));
  // 癸 forward wraps to 甲, 子 backward to 亥.
  EXPECT_EQ(LuckPillars({Stem{10}, Branch{12}}, true)[0].name(), "甲子");
  EXPECT_EQ(LuckPillars({Stem{1}, Branch{1}}, false)[0].name(), "癸亥");
}

TEST(LuckStartAgeOf, ThreeDaysMakeAYear) {
  struct Row {
    std::int64_t hours;
    int age;
  };
  const std::vector<Row> rows{{0, 0},      {24, 0},      {47, 0},      {48, 1},           {4 * 24, 1},
                              {5 * 24, 2}, {6 * 24, 2},  {30 * 24, 10}, {30 * 24 + 23, 10}, {32 * 24, 11}};
  for (const Row& r : rows) EXPECT_EQ(LuckStartAgeOf(r.hours), r.age) << r.hours << " hours";
}

TEST(LuckAgeRange, NumberTexts) {
  EXPECT_EQ(NumberText(5), " 5");
  EXPECT_EQ(NumberText(-3), " -3");
  EXPECT_EQ(LuckAgeRange(3, 1), " 3 -  12");
  EXPECT_EQ(LuckAgeRange(3, 12), " 113 -  122");
  std::vector<std::string> fromZero;
  for (int k = 1; k <= 12; ++k) fromZero.push_back(LuckAgeRange(0, k));
  EXPECT_EQ(fromZero, (std::vector<std::string>{" 0 -  9", " 10 -  19", " 20 -  29", " 30 -  39", " 40 -  49",
                                                " 50 -  59", " 60 -  69", " 70 -  79", " 80 -  89", " 90 -  99",
                                                " 100 -  109", " 110 -  119"}));
}

ChartState BornOn(int year, int month, int day, int hour = 12, int minute = 0) {
  ChartState c;
  c.BirthYear = year;
  c.BirthMonth = month;
  c.BirthDay = day;
  c.BirthHour = hour;
  c.BirthMinute = minute;
  return c;
}

TEST(AgeAt, BirthdayRule) {
  const ChartState c = BornOn(1990, 6, 15);
  struct Row {
    int y, m, d, age;
  };
  const std::vector<Row> rows{
      {2020, 6, 14, 29}, {2020, 6, 15, 30}, {2020, 12, 31, 30}, {2021, 1, 1, 30},
      {1989, 1, 1, 0},   {1990, 6, 14, 0},  {1990, 6, 15, 0},   {1991, 6, 14, 0}, {1991, 6, 15, 1},
      {2109, 6, 15, 119}, {2110, 6, 14, 119}, {2110, 6, 15, 120}, {2115, 6, 15, 120},
      {2020, 5, 46, 30},  // a rolled-over day: 15 June
  };
  for (const Row& r : rows) EXPECT_EQ(AgeAt(c, r.y, r.m, r.d), r.age) << r.y << "-" << r.m << "-" << r.d;

  // Born on 29 February: in other years the birthday is taken as 1 March.
  const ChartState leap = BornOn(2000, 2, 29);
  EXPECT_EQ(AgeAt(leap, 2001, 2, 28), 0);
  EXPECT_EQ(AgeAt(leap, 2001, 3, 1), 1);
  EXPECT_EQ(AgeAt(leap, 2004, 2, 29), 4);
}

TEST(LuckIndexAt, ChangeMinuteBelongsToTheNewPillar) {
  ChartState c = BornOn(2000, 1, 1, 0, 0);
  for (int k = 0; k < 12; ++k) c.LuckChangeMinutes[k] = 1000 * (k + 1);
  const Moment birth = c.BirthMoment();
  const auto at = [&](long long minutes) { return LuckIndexAt(c, birth + std::chrono::minutes{minutes}); };
  EXPECT_EQ(at(-5), 0);
  EXPECT_EQ(at(0), 0);
  EXPECT_EQ(at(999), 0);
  EXPECT_EQ(at(1000), 1);
  EXPECT_EQ(at(1001), 1);
  EXPECT_EQ(at(1999), 1);
  EXPECT_EQ(at(2000), 2);
  EXPECT_EQ(at(11999), 11);
  EXPECT_EQ(at(12000), 12);
  EXPECT_EQ(at(5'000'000), 12);

  // Pillars whose change lies beyond the tables are never current.
  c.LuckChangeMinutes[10] = std::nullopt;
  c.LuckChangeMinutes[11] = std::nullopt;
  EXPECT_EQ(at(12000), 10);

  // A first change at minute 0 (birth at the jie minute) holds from birth on.
  c.LuckChangeMinutes[0] = 0;
  EXPECT_EQ(at(0), 1);
  EXPECT_EQ(at(-1), 0);
}

// The change dates are written from tables for the years their births reach
// and worked out past them: every day, across both edges, the leap days and
// the centuries that are not leap, reads as ChineseDateText writes it.
TEST(ChangeDateText, AsChineseDateTextWritesIt) {
  using namespace std::chrono;
  for (Date d = local_days{year{1600} / 1 / 1}; d < local_days{year{2500} / 1 / 1}; d += days{1})
    ASSERT_EQ(ChangeDateText(d).view(), ChineseDateText(d));
}

}  // namespace
}  // namespace qelm
