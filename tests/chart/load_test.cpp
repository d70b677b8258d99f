// Whole charts from the calendar engine: the stored fields, the luck schedule
// from the solar terms, the main window's text lines and the flow moment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/chart.hpp"

namespace qelm {
namespace {

MomentResult Calc(int year, int month, int day, int hour, int minute) {
  const MomentOutcome out = CalcMoment({year, month, day, hour, minute});
  EXPECT_TRUE(out) << year << "-" << month << "-" << day << " " << hour << ":" << minute;
  return out.result.value_or(MomentResult{});
}

ChartState Chart(Sex sex, int year, int month, int day, int hour, int minute) {
  return LoadChart("測試", sex, Calc(year, month, day, hour, minute));
}

// Born at the very minute of 立春 2000 (2000/02/04 20:35), a man: 庚辰 戊寅 壬辰 庚戌,
// a yang year, so the luck runs forward from the next jie, 驚蟄 2000/03/05 14:43.
TEST(LoadChart, ManBornAtLiChun2000) {
  const ChartState c = Chart(Sex::Male, 2000, 2, 4, 20, 35);
  EXPECT_EQ(c.PersonName, "測試");
  EXPECT_EQ((std::vector<int>{c.BirthYear, c.BirthMonth, c.BirthDay, c.BirthHour, c.BirthMinute}),
            (std::vector<int>{2000, 2, 4, 20, 35}));
  EXPECT_EQ((std::vector<int>{c.LunarYear, c.LunarMonth, c.LunarDay}), (std::vector<int>{1999, 12, 29}));
  EXPECT_EQ(c.LunarHourBranch.name(), "戌");
  EXPECT_EQ(c.YearPillar().name() + c.MonthPillar().name() + c.DayPillar().name() + c.HourPillar().name(),
            "庚辰戊寅壬辰庚戌");
  EXPECT_EQ(Pillar({c.NewYearStem, c.NewYearBranch}).name(), "己卯");
  EXPECT_EQ(c.YearPolarity, Polarity::Yang);
  EXPECT_TRUE(c.Forward());
  EXPECT_EQ(c.ChartKind, "乾造");

  EXPECT_EQ(BirthDataLine(c), "乾造 西元 2000年 2月 4日 20時 35分 (己卯年十二月廿九日戌時)");
  // A birth read in UTC+8, or with its lunar date and double hour at
  // apparent solar time, says so.
  ChartState read = c;
  read.birth.reading = TimeMode::Standard;
  EXPECT_EQ(BirthDataLine(read), "乾造 西元 2000年 2月 4日 20時 35分 東八區 (己卯年十二月廿九日戌時)");
  read.birth.reading = TimeMode::Solar;
  EXPECT_EQ(BirthDataLine(read), "乾造 西元 2000年 2月 4日 20時 35分 東八區 (真太陽時 己卯年十二月廿九日戌時)");
  EXPECT_EQ(c.BirthJieDays, 0);
  EXPECT_EQ(c.CommandStem, Stem{5});
  EXPECT_EQ(c.CommandStemName, "戊土");
  EXPECT_EQ(CommandingStemLine(c), "立春後第 0日 0時 0分 戊土用事");
  // 命宮: 寅 month, 戌 hour → 巳, stem from 戊 (庚 year) → 辛巳;
  // 身宮: 0 + 4 + 10 = 14 → 丑, 己丑; 息元 of 壬辰 丁酉; 胎元 of 戊寅 己巳.
  EXPECT_EQ(PalaceLine(c), "命宮: 辛巳    身宮: 己丑    息元: 丁酉    胎元: 己巳");
  EXPECT_EQ(c.PalaceText, "命宮:辛巳 身宮:己丑 息元:丁酉 胎元:己巳");

  std::vector<std::string> luck;
  for (int k = 1; k <= 12; ++k) luck.push_back(c.LuckPillar(k).name());
  EXPECT_EQ(luck, (std::vector<std::string>{"己卯", "庚辰", "辛巳", "壬午", "癸未", "甲申", "乙酉", "丙戌", "丁亥",
                                            "戊子", "己丑", "庚寅"}));
  EXPECT_EQ(c.BirthMomentText, "2000/02/04 20:35");
  // 29 days 18 h 8 min to 驚蟄 = 42848 minutes; ×120 = 5141760 = 3570 days 16 h.
  EXPECT_EQ(c.LuckTermMoments[0], "2000/03/05 14:43");
  EXPECT_EQ(c.LuckChangeMinutes[0], 5141760);
  EXPECT_EQ(c.LuckChangeDates[0], "2009年11月13日");
  // 44 days 19 h to 春分 2000/03/20 15:35 = 64500 minutes; ×120 = 5375 days.
  EXPECT_EQ(c.LuckMidTermMoments[0], "2000/03/20 15:35");
  EXPECT_EQ(c.LuckMidChangeDates[0], "2014年10月23日");
  // Clock hours 20:00 (4 Feb) → 14:00 (5 Mar): 714 h, 29 days, 9 years with two
  // days left over, which round up.
  EXPECT_EQ(c.LuckStartAge, 10);
  EXPECT_EQ(c.LuckAgeRanges[0], " 10 -  19");
  EXPECT_EQ(c.LuckAgeRanges[11], " 120 -  129");

  // Each further month of real time adds about ten years of life.
  for (int k = 1; k < 12; ++k) {
    ASSERT_TRUE(c.LuckChangeMinutes[k]);
    const auto gapDays = (*c.LuckChangeMinutes[k] - *c.LuckChangeMinutes[k - 1]) / 1440;
    EXPECT_GT(gapDays, 28 * 120) << k;
    EXPECT_LT(gapDays, 32 * 120) << k;
    EXPECT_LT(c.LuckChangeDates[k - 1], c.LuckMidChangeDates[k - 1]) << k;
    EXPECT_LT(c.LuckMidChangeDates[k - 1], c.LuckChangeDates[k]) << k;
  }

  // The first pillar begins 5141760 minutes after birth: 2009-11-14 12:35.
  EXPECT_EQ(LuckIndexAt(c, MakeMoment(2009, 11, 14, 12, 34)), 0);
  EXPECT_EQ(LuckIndexAt(c, MakeMoment(2009, 11, 14, 12, 35)), 1);
  EXPECT_EQ(LuckIndexAt(c, MakeMoment(2000, 2, 4, 20, 35)), 0);
}

// The same moment for a woman runs backward from 立春 itself: the first change
// is at minute 0 and the start age 0.
TEST(LoadChart, WomanBornAtTheJieMinute) {
  const ChartState c = Chart(Sex::Female, 2000, 2, 4, 20, 35);
  EXPECT_FALSE(c.Forward());
  EXPECT_EQ(c.ChartKind, "坤造");
  EXPECT_EQ(BirthDataLine(c).rfind("坤造 西元 2000年", 0), 0u);
  EXPECT_EQ(c.LuckPillar(1).name(), "丁丑");
  EXPECT_EQ(c.LuckPillar(2).name(), "丙子");
  EXPECT_EQ(c.LuckTermMoments[0], "2000/02/04 20:35");
  EXPECT_EQ(c.LuckChangeMinutes[0], 0);
  EXPECT_EQ(c.LuckChangeDates[0], "2000年02月04日");
  EXPECT_EQ(c.LuckStartAge, 0);
  EXPECT_EQ(c.LuckAgeRanges[0], " 0 -  9");
  EXPECT_EQ(c.LuckAgeRanges[11], " 110 -  119");
  // Mid-point at 大寒 2000/01/21 02:23, start of the second at 小寒 2000/01/06 09:01.
  EXPECT_EQ(c.LuckMidTermMoments[0], "2000/01/21 02:23");
  EXPECT_EQ(c.LuckMidChangeDates[0], "2004年12月10日");
  EXPECT_EQ(c.LuckTermMoments[1], "2000/01/06 09:01");
  EXPECT_EQ(c.LuckChangeDates[1], "2009年10月11日");
  EXPECT_EQ(LuckIndexAt(c, c.BirthMoment()), 1);
}

TEST(LoadChart, DirectionBySexAndYearPolarity) {
  struct Row {
    Sex sex;
    int year;
    bool forward;
  };
  // 1984 甲子 is a yang year, 1985 乙丑 a yin year.
  const std::vector<Row> rows{{Sex::Male, 1984, true},
                              {Sex::Female, 1984, false},
                              {Sex::Male, 1985, false},
                              {Sex::Female, 1985, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << (r.sex == Sex::Male ? "man" : "woman") << " year " << r.year);
    const ChartState c = Chart(r.sex, r.year, 3, 10, 12, 0);
    EXPECT_EQ(c.Forward(), r.forward);
    EXPECT_EQ(c.LuckPillar(1), c.MonthPillar().next(r.forward ? 1 : -1));
    EXPECT_EQ(c.LuckPillar(12), c.MonthPillar().next(r.forward ? 12 : -12));
    // The first jie lies on the side the luck runs to.
    ASSERT_TRUE(c.LuckChangeMinutes[0]);
    EXPECT_GT(*c.LuckChangeMinutes[0], 0);
    EXPECT_LT(c.LuckChangeDates[0], c.LuckChangeDates[1]);
  }
}

// Born in the 子 hour from 23:00: the birth stays on the clock's day, the
// lunar date and the day pillar are those of the next day.
TEST(LoadChart, BirthAtHour23) {
  const ChartState c = Chart(Sex::Male, 2000, 2, 4, 23, 10);
  EXPECT_EQ(c.BirthDay, 4);
  EXPECT_EQ(c.BirthHour, 23);
  EXPECT_EQ(BirthDataLine(c), "乾造 西元 2000年 2月 4日 23時 10分 (庚辰年正月初一日子時)");
  EXPECT_EQ(CommandingStemLine(c), "立春後第 0日 2時 35分 戊土用事");
  EXPECT_EQ(c.BirthMomentText, "2000/02/04 23:10");
}

TEST(LoadChart, LastTermsOfTheTables) {
  // 2099 己未 is a yin year: a woman born at its end runs forward to the last
  // jie of the tables, 小寒 … 大雪 2100, with 冬至 2100 as the last mid-point.
  const ChartState late = Chart(Sex::Female, 2099, 12, 31, 12, 0);
  ASSERT_TRUE(late.Forward());
  for (int k = 0; k < 12; ++k) {
    EXPECT_FALSE(late.LuckTermMoments[k].empty()) << k;
    EXPECT_TRUE(late.LuckChangeMinutes[k]) << k;
  }
  EXPECT_EQ(late.LuckMidTermMoments[11], "2100/12/22 04:02");

  // 1901-01-01 still lies in 1900 庚子 (yang): a woman runs backward from
  // 大雪 1900/12/07 20:56; the twelfth jie is the table's first term, and the
  // 中氣 before it lies outside the tables.
  const ChartState early = Chart(Sex::Female, 1901, 1, 1, 0, 30);
  ASSERT_FALSE(early.Forward());
  EXPECT_EQ(early.LuckTermMoments[0], "1900/12/07 20:56");
  EXPECT_EQ(early.LuckStartAge, 8);  // 580 clock hours, 24 days
  EXPECT_EQ(early.LuckTermMoments[11], "1900/01/06 02:13");
  EXPECT_TRUE(early.LuckChangeMinutes[11]);
  EXPECT_EQ(early.LuckMidTermMoments[11], "");
  EXPECT_EQ(early.LuckMidChangeDates[11], "—");
  EXPECT_FALSE(early.LuckMidChangeDates[10] == "—");
}

// A moment of early 1900 (beyond what the windows offer) running backward
// leaves the tables after two pillars; the missing ones stay blank and never
// become current.
TEST(LoadChart, TermsBeforeTheTables) {
  MomentResult m;
  m.entered = m.input = {1900, 2, 10, 12, 0};
  m.JieIndex = 3;  // 立春 1900/02/04 14:02
  m.JieName = "立春";
  m.MomentPillars = {{Stem{7}, Branch{1}}, {Stem{5}, Branch{3}}, {Stem{1}, Branch{1}}, {Stem{1}, Branch{7}},
                     {Stem{7}, Branch{1}}};  // 庚子 戊寅 甲子 甲午
  m.MomentHourBranch = 7;
  const ChartState c = LoadChart("", Sex::Female, m);
  ASSERT_FALSE(c.Forward());
  EXPECT_EQ(c.LuckTermMoments[0], "1900/02/04 14:02");
  EXPECT_EQ(c.LuckTermMoments[1], "1900/01/06 02:13");
  EXPECT_EQ(c.LuckMidTermMoments[1], "");
  for (int k = 2; k < 12; ++k) {
    EXPECT_EQ(c.LuckTermMoments[k], "") << k;
    EXPECT_FALSE(c.LuckChangeMinutes[k]) << k;
    EXPECT_EQ(c.LuckChangeDates[k], "—") << k;
    EXPECT_EQ(c.LuckMidChangeDates[k], "—") << k;
  }
  EXPECT_EQ(c.LuckStartAge, 2);  // 142 clock hours, 5 days
  EXPECT_EQ(LuckIndexAt(c, MakeMoment(2020, 1, 1, 0, 0)), 2);
}

TEST(ComputeFlow, LunarLineWithoutAChart) {
  const FlowState f = ComputeFlow(nullptr, Calc(2000, 2, 4, 20, 35));
  EXPECT_EQ(f.WesternDateText, "西元 2000年 2月 4日 20時 35分");
  EXPECT_EQ(FlowLunarLine(f), "陰曆 己卯年十二月廿九日戌時  立春後第 0日戊土用事  金耀日(五)");
  EXPECT_EQ(f.CurrentLuckIndex, 0);
  EXPECT_EQ(f.FlowAge, 0);
  EXPECT_EQ(f.CommandStemName, "戊土");
  EXPECT_EQ(f.YearPillar().name() + f.MonthPillar().name() + f.DayPillar().name() + f.HourPillar().name(),
            "庚辰戊寅壬辰庚戌");
  EXPECT_EQ(f.NewYearPillar().name(), "己卯");
}

// The western date line repeats the date row as it stands, a day 0 (kept in
// 1901) included; the lunar line names the day it stands for.
TEST(ComputeFlow, DayZeroOfTheDateRow) {
  const FlowState f = ComputeFlow(nullptr, Calc(1901, 3, 0, 12, 0));
  EXPECT_EQ(f.WesternDateText, "西元 1901年 3月 0日 12時 0分");
  EXPECT_EQ(FlowLunarLine(f), FlowLunarLine(ComputeFlow(nullptr, Calc(1901, 2, 28, 12, 0))));
}

TEST(ComputeFlow, LeapMonthAndPrincipalTerm) {
  // 1984-12-01 is day 9 of the leap tenth month; 小雪 (1984/11/22 11:11) has
  // passed by 9 days, 立冬 (11/07 13:45) by 23, so 壬 is in command.
  const FlowState f = ComputeFlow(nullptr, Calc(1984, 12, 1, 12, 0));
  EXPECT_EQ(FlowLunarLine(f), "陰曆 甲子年閏十月初九日午時  小雪後第 9日壬水用事  土耀日(六)");
  EXPECT_EQ(f.CommandStem, Stem{9});
}

TEST(ComputeFlow, LuckIndexAndAgeFollowTheShownMoment) {
  const ChartState c = Chart(Sex::Male, 2000, 2, 4, 20, 35);
  const FlowState before = ComputeFlow(&c, Calc(2009, 11, 14, 12, 34));
  EXPECT_EQ(before.CurrentLuckIndex, 0);
  EXPECT_EQ(before.FlowAge, 9);
  const FlowState at = ComputeFlow(&c, Calc(2009, 11, 14, 12, 35));
  EXPECT_EQ(at.CurrentLuckIndex, 1);
  EXPECT_EQ(at.WesternDateText, "西元 2009年 11月 14日 12時 35分");
  // Hour 24 of the day before the birthday is 0:00 of the birthday itself.
  EXPECT_EQ(ComputeFlow(&c, Calc(2030, 2, 3, 23, 59)).FlowAge, 29);
  const FlowState midnight = ComputeFlow(&c, Calc(2030, 2, 3, 24, 0));
  EXPECT_EQ(midnight.FlowAge, 30);
  EXPECT_EQ(midnight.WesternDateText, "西元 2030年 2月 3日 24時 0分");
  // The fourth pillar opens at 芒種 2000/06/05 16:59: 121 days 20 h 24 min × 120,
  // exactly 14622 days after birth: 2040-02-16 20:35.
  EXPECT_EQ(ComputeFlow(&c, Calc(2040, 2, 15, 12, 0)).CurrentLuckIndex, 3);
  EXPECT_EQ(ComputeFlow(&c, Calc(2040, 2, 17, 12, 0)).CurrentLuckIndex, 4);
}

}  // namespace
}  // namespace qelm
