#include "calendar/date_row.hpp"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

namespace qelm {
namespace {

using Fields5 = std::array<int, 5>;

constexpr DateRow At(const Fields5& f) { return DateRow(CivilFields{f[0], f[1], f[2], f[3], f[4]}); }

// Built and stepped at compile time.
static_assert(At({2020, 12, 31, 23, 59}).values() == Fields5{2020, 12, 31, 23, 59});
static_assert([] {
  DateRow r = At({2020, 12, 31, 23, 59});
  r.step(DateRow::kMinute, +1);
  return r.values();
}() == Fields5{2021, 1, 1, 0, 0});

struct Step {
  const char* what;
  Fields5 from;
  int field;
  int steps;
  Fields5 to;
};
void PrintTo(const Step& s, std::ostream* os) { *os << s.what; }

class DateRowStep : public ::testing::TestWithParam<Step> {};

TEST_P(DateRowStep, CarriesAndStaysInRange) {
  const Step& s = GetParam();
  DateRow r = At(s.from);
  ASSERT_EQ(r.values(), s.from);
  r.step(s.field, s.steps);
  EXPECT_EQ(r.values(), s.to);
  // The engine's moment: the fields as they stand, never an hour below 0.
  const MomentInput in = r.input();
  EXPECT_EQ((Fields5{in.InputYear, in.InputMonth, in.InputDay, in.InputHour, in.InputMinute}),
            (Fields5{s.to[0], s.to[1], s.to[2], std::max(s.to[3], 0), s.to[4]}));
  EXPECT_GE(MakeDate(s.to[0], s.to[1], s.to[2]), DateRow::kFirstDate);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DateRowStep,
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
        Step{"31 March - 1 month", {2021, 3, 31, 12, 0}, 1, -1, {2021, 2, 28, 12, 0}},
        Step{"ten months back, 29 February on the way", {2020, 3, 31, 12, 0}, 1, -10, {2019, 5, 29, 12, 0}},
        Step{"ten years back stop at 1901", {1905, 6, 15, 12, 0}, 0, -10, {1901, 6, 15, 12, 0}},
        Step{"ten minutes over midnight of New Year", {2020, 12, 31, 23, 55}, 4, +10, {2021, 1, 1, 0, 5}}));

// The day's range follows the month: one past its end, February by the year.
TEST(DateRow, DayRangeFollowsTheMonth) {
  struct Case {
    int year, month, end;
  };
  for (const Case c : {Case{2020, 2, 30}, {2021, 2, 29}, {2021, 4, 31}, {2021, 12, 32}, {2000, 2, 30}}) {
    const DateRow r = At({c.year, c.month, 10, 12, 0});
    EXPECT_EQ(r.maximum(DateRow::kDay), c.end) << c.year << "-" << c.month;
    EXPECT_EQ(r.values(), (Fields5{c.year, c.month, 10, 12, 0}));
  }
}

// In 2099 the day may stand one past the month's end. Stepping the hour or
// minute leaves it there; stepping the year or the month ends on the month's
// last day.
TEST(DateRow, DayPastTheMonthsEndIn2099) {
  struct Case {
    const char* what;
    int field, steps;
    Fields5 to;
  };
  for (const Case& c : {Case{"minute up", 4, +1, {2099, 6, 31, 23, 1}},
                        Case{"minute down", 4, -1, {2099, 6, 31, 22, 59}},
                        Case{"hour down", 3, -1, {2099, 6, 31, 22, 0}},
                        Case{"hour up to 24", 3, +1, {2099, 6, 31, 24, 0}},
                        Case{"year down", 0, -1, {2098, 6, 30, 23, 0}},
                        Case{"month up", 1, +1, {2099, 7, 31, 23, 0}}}) {
    DateRow r = At({2099, 6, 30, 23, 0});
    r.step(DateRow::kDay, +1);
    ASSERT_EQ(r.values(), (Fields5{2099, 6, 31, 23, 0}));
    r.step(c.field, c.steps);
    EXPECT_EQ(r.values(), c.to) << c.what;
  }
}

// Values from outside the row are held in range, and the date inside the
// first and last dates, whatever the order they come in.
TEST(DateRow, SetValuesAreHeldInRange) {
  DateRow r = At({2099, 6, 15, 12, 0});
  r.set(DateRow::kHour, 99);  // 24, which carries nowhere in 2099
  EXPECT_EQ(r.values(), (Fields5{2099, 6, 15, 24, 0}));
  r.set(DateRow::kYear, 1800);
  EXPECT_EQ(r.value(DateRow::kYear), 1901);
  EXPECT_EQ(At({2099, 12, 31, 23, 59}).values(), (Fields5{2099, 12, 31, 23, 59}));
  // Every single step from every field of a few awkward moments keeps a date
  // inside the range and fields inside their ranges.
  for (const Fields5& from : {Fields5{1901, 1, 1, 0, 0}, Fields5{2099, 12, 31, 23, 59}, Fields5{2020, 2, 29, 23, 59},
                              Fields5{1901, 12, 31, 0, 0}, Fields5{2099, 1, 31, 0, 0}}) {
    for (int f = 0; f < DateRow::kFields; ++f) {
      for (const int s : {-1, +1}) {
        DateRow x = At(from);
        x.step(f, s);
        const Fields5 v = x.values();
        for (int i = 0; i < DateRow::kFields; ++i) {
          EXPECT_GE(v[i], x.minimum(i));
          EXPECT_LE(v[i], x.maximum(i));
        }
        EXPECT_GE(MakeDate(v[0], v[1], v[2]), DateRow::kFirstDate);
        EXPECT_LE(MakeDate(v[0], v[1], std::min(v[2], 31)), MakeDate(2100, 1, 1));
      }
    }
  }
}

}  // namespace
}  // namespace qelm
