#include "calendar/date.hpp"
#include "calendar/moment.hpp"

#include <gtest/gtest.h>

namespace qelm {
namespace {

TEST(MomentText, WritesZeroPaddedFields) {
  EXPECT_EQ(MomentText(MakeMoment(1900, 1, 6, 2, 13)), "1900/01/06 02:13");
  EXPECT_EQ(MomentText(MakeMoment(2099, 12, 31, 23, 59)), "2099/12/31 23:59");
  // Hour 24 and day 32 roll over into the next day and year.
  EXPECT_EQ(MomentText(MakeMoment(2099, 12, 32, 24, 0)), "2100/01/02 00:00");
}

// The user's form of a moment reads back as the moment it was written from.
TEST(UserMomentText, ReadsBackAsWritten) {
  for (const Moment t : {MakeMoment(1901, 1, 6, 2, 13), MakeMoment(2000, 2, 29, 20, 35),
                         MakeMoment(2099, 12, 22, 4, 2), MakeMoment(1984, 2, 4, 23, 21)}) {
    const auto back = ParseUserMoment(UserMomentText(t));
    ASSERT_TRUE(back) << UserMomentText(t);
    const CivilFields f = Fields(t);
    EXPECT_EQ(*back, (MomentInput{f.year, f.month, f.day, f.hour, f.minute}));
  }
}

TEST(ChineseDateText, WritesYearMonthDayWithChineseUnits) {
  EXPECT_EQ(ChineseDateText(MakeDate(1984, 2, 2)), "1984年02月02日");
  EXPECT_EQ(ChineseDateText(MakeDate(2099, 12, 31)), "2099年12月31日");
  EXPECT_EQ(ChineseDateText(MakeDate(2000, 12, 32)), "2001年01月01日");
}

// The Gregorian rule, every month of the tables' years and their neighbours:
// each month ends where the next one begins.
TEST(DaysInMonth, EndsWhereTheNextMonthBegins) {
  for (int year = 1899; year <= 2101; ++year) {
    for (int month = 1; month <= 12; ++month) {
      ASSERT_EQ(DaysInMonth(year, month), DaysBetween(MakeDate(year, month, 1), MakeDate(year, month + 1, 1)))
          << year << "-" << month;
    }
  }
  static_assert(DaysInMonth(1900, 2) == 28 && DaysInMonth(2000, 2) == 29 && DaysInMonth(2100, 2) == 28 &&
                DaysInMonth(2024, 2) == 29 && DaysInMonth(2023, 2) == 28 && DaysInMonth(2023, 9) == 30 &&
                DaysInMonth(2023, 12) == 31);
}

}  // namespace
}  // namespace qelm
