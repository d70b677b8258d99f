#include "calendar/lunar.hpp"

#include <gtest/gtest.h>

#include <string>

#include "calendar/tables.hpp"

namespace qelm {
namespace {

constexpr auto kOrdinary = LunarMonthKind::Ordinary, kLeap = LunarMonthKind::Leap;

struct LunarCase {
  int y, m, d;
  int ly, lm, ld;
  LunarMonthKind kind;
};

TEST(SolarToLunar, KnownDates) {
  const LunarCase cases[] = {
      {1901, 1, 1, 1900, 11, 11, kOrdinary},
      {1984, 2, 2, 1984, 1, 1, kOrdinary},
      {1984, 12, 1, 1984, 10, 9, kLeap},
      {1984, 11, 22, 1984, 10, 30, kOrdinary},  // the ordinary 10th month ends …
      {1984, 11, 23, 1984, 10, 1, kLeap},   // … and the leap 10th begins
      {2000, 2, 4, 1999, 12, 29, kOrdinary},
      {2000, 1, 32, 1999, 12, 26, kOrdinary},   // 1 February by roll-over
      {2099, 12, 31, 2099, 11, 20, kOrdinary},
      {2099, 12, 32, 2099, 11, 21, kOrdinary},  // 2100-01-01
      {2017, 7, 22, 2017, 6, 29, kOrdinary},
      {2017, 7, 23, 2017, 6, 1, kLeap},
      {2017, 1, 28, 2017, 1, 1, kOrdinary},
      {2017, 1, 27, 2016, 12, 30, kOrdinary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
    const auto got = SolarToLunar(c.y, c.m, c.d);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->year, c.ly);
    EXPECT_EQ(got->month, c.lm);
    EXPECT_EQ(got->day, c.ld);
    EXPECT_EQ(got->monthKind, c.kind);
  }
}

TEST(SolarToLunar, WeekdayOfTheGregorianDate) {
  const auto a = SolarToLunar(1901, 1, 1);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->weekdayNumber, 3);
  EXPECT_EQ(a->weekdayText, "火耀日(二)");
  const auto b = SolarToLunar(2000, 2, 4);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->weekdayNumber, 6);
  EXPECT_EQ(b->weekdayText, "金耀日(五)");
  const auto c = SolarToLunar(2099, 12, 32);  // Friday 2100-01-01
  ASSERT_TRUE(c);
  EXPECT_EQ(c->weekdayNumber, 6);
}

TEST(SolarToLunar, YearsOutsideTheRangeGiveNothing) {
  EXPECT_FALSE(SolarToLunar(1900, 6, 1));
  EXPECT_FALSE(SolarToLunar(1900, 12, 32));  // the year given decides, not the rolled date
  EXPECT_FALSE(SolarToLunar(2100, 1, 1));
  EXPECT_FALSE(SolarToLunar(2100, 12, 31));
  EXPECT_TRUE(SolarToLunar(1901, 1, 1));
  EXPECT_TRUE(SolarToLunar(2099, 12, 31));
}

// The plain count of the calendar: from the New Year of the lunar year, one
// day at a time through the month lengths of the descriptor text.
struct Counted {
  int year, month, day;
  LunarMonthKind kind;
};
Counted CountDayByDay(int y, int m, int d) {
  const Date target = MakeDate(y, m, d);
  int ly = y;
  std::string_view row;
  int n = 0;
  for (;;) {
    row = *LunarYearInfo(ly);
    const Date newYear = MakeDate(ly, std::stoi(std::string(row.substr(14, 2))),
                                  std::stoi(std::string(row.substr(16, 2))));
    n = DaysBetween(newYear, target);
    if (n >= 0) break;
    --ly;
  }
  const int leapMonth = std::stoi(std::string(row.substr(13, 1)), nullptr, 16);
  int lm = 1, ld = 1;
  bool inLeap = false;
  for (int i = 0; i < n; ++i) {
    ++ld;
    if (inLeap) {
      if (ld == 30 + (row[12] - '0')) {
        inLeap = false;
        ++lm;
        ld = 1;
      }
    } else if (ld == 30 + (row[lm - 1] - '0')) {
      ld = 1;
      if (leapMonth == lm)
        inLeap = true;
      else
        ++lm;
    }
  }
  return {ly, lm, ld, inLeap ? kLeap : kOrdinary};
}

TEST(SolarToLunar, AgreesWithTheDayByDayCountOnEveryDay) {
  int checked = 0;
  for (Date t = MakeDate(1901, 1, 1); t <= MakeDate(2099, 12, 31); t += std::chrono::days{1}) {
    const CivilFields f = Fields(MakeMoment(t, 0, 0));
    const Counted want = CountDayByDay(f.year, f.month, f.day);
    const auto got = SolarToLunar(f.year, f.month, f.day);
    ASSERT_TRUE(got) << MomentText(MakeMoment(t, 0, 0));
    ASSERT_TRUE(got->year == want.year && got->month == want.month && got->day == want.day &&
                got->monthKind == want.kind)
        << MomentText(MakeMoment(t, 0, 0)) << ": " << got->year << "/" << got->month << "/" << got->day
        << (got->monthKind == kLeap ? " leap" : "") << ", counted " << want.year << "/" << want.month << "/" << want.day
        << (want.kind == kLeap ? " leap" : "");
    ASSERT_EQ(got->weekdayNumber, WeekdayNumber(t));
    // The first of a month reached as the day one past the end of the month before.
    if (f.day == 1 && t != MakeDate(1901, 1, 1)) {
      const CivilFields before = Fields(MakeMoment(t - std::chrono::days{1}, 0, 0));
      ASSERT_EQ(SolarToLunar(before.year, before.month, before.day + 1), got) << MomentText(MakeMoment(t, 0, 0));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 72684);
}

TEST(LunarNames, MonthDayAndLeapMark) {
  struct Case {
    int month, day;
    LunarMonthKind kind;
    const char *leap, *monthName, *dayName;
  } cases[] = {
      {11, 11, kOrdinary, "", "十一", "十一"}, {1, 1, kOrdinary, "", "正", "初一"},
      {10, 9, kLeap, "閏", "十", "初九"},      {12, 30, kOrdinary, "", "十二", "三十"},
      {6, 20, kLeap, "閏", "六", "二十"},      {4, 21, kOrdinary, "", "四", "廿一"},
  };
  for (const auto& c : cases) {
    const auto names = LunarNames(c.month, c.day, c.kind);
    EXPECT_EQ(names.LeapMark, c.leap);
    EXPECT_EQ(names.LunarMonthName, c.monthName);
    EXPECT_EQ(names.LunarDayName, c.dayName);
  }
}

TEST(LunarNames, NumbersOutsideTheTablesKeepThePreviousNames) {
  const LunarNamesResult previous{"閏", "五", "初五"};
  const auto a = LunarNames(0, 31, kOrdinary, previous);
  EXPECT_EQ(a, (LunarNamesResult{"", "五", "初五"}));  // the mark follows the month kind regardless
  const auto b = LunarNames(13, 30, kLeap, previous);
  EXPECT_EQ(b, (LunarNamesResult{"閏", "五", "三十"}));
  const auto c = LunarNames(12, -1, kOrdinary, previous);
  EXPECT_EQ(c, (LunarNamesResult{"", "十二", "初五"}));
}

TEST(WeekdayName, SundayIsOne) {
  const char* names[] = {"日耀日(日)", "月耀日(一)", "火耀日(二)", "水耀日(三)",
                         "木耀日(四)", "金耀日(五)", "土耀日(六)"};
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(WeekdayName(n), names[n - 1]);
  EXPECT_FALSE(WeekdayName(0));
  EXPECT_FALSE(WeekdayName(8));
}

}  // namespace
}  // namespace qelm
