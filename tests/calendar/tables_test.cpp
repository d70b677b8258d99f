#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <set>
#include <string>
#include <vector>

#include "calendar/tables.hpp"

namespace qelm {
namespace {

constexpr int TermIndex(int year, int k) { return (year - 1900) * 24 + k; }

// Reads "yyyy/mm/dd hh:mm" on its own, so that the packed moments are checked
// against the texts rather than against the code that packed them.
CivilFields ReadTermText(std::string_view t) {
  auto num = [&](std::size_t pos, std::size_t width) {
    int v = -1;
    std::from_chars(t.data() + pos, t.data() + pos + width, v);
    return v;
  };
  return {num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2)};
}

struct LunarMonth {
  int year;
  int number;
  bool leap;
  Date start;
  int length;
};

// Every month of the table in order, laid out from the New Year of each row.
std::vector<LunarMonth> AllLunarMonths() {
  std::vector<LunarMonth> months;
  for (int y = kFirstTableYear; y <= kLastTableYear; ++y) {
    const LunarYearRow row = *LunarYearRowOf(y);
    Date start = row.newYear;
    for (int m = 1; m <= 12; ++m) {
      months.push_back({y, m, false, start, row.monthLength[m]});
      start += std::chrono::days{row.monthLength[m]};
      if (row.leapMonth == m) {
        months.push_back({y, m, true, start, row.monthLength[0]});
        start += std::chrono::days{row.monthLength[0]};
      }
    }
  }
  return months;
}

TEST(LunarYearTable, TellingRows) {
  const struct {
    int year;
    const char* row;
  } cases[] = {
      {1900, "010010111101080131"}, {1906, "011001010101140125"}, {1914, "110100100101150126"},
      {1915, "101101010100000214"}, {1916, "110101101010000203"}, {1920, "010010010111000220"},
      {1931, "110101001010000217"}, {1984, "1011001001110A0202"}, {2017, "010100010111160128"},
      {2033, "010010101111070131"}, {2057, "011010101010000204"}, {2064, "110101001010000217"},
      {2100, "110101010010000209"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    ASSERT_TRUE(LunarYearInfo(c.year).has_value());
    EXPECT_EQ(*LunarYearInfo(c.year), c.row);
  }
  EXPECT_EQ(*LunarYearInfo(1931), *LunarYearInfo(2064));
}

TEST(LunarYearTable, OutOfRangeYearsGiveNothing) {
  for (int year : {-1, 0, 1899, 2101, 32767}) {
    SCOPED_TRACE(year);
    EXPECT_FALSE(LunarYearInfo(year).has_value());
    EXPECT_FALSE(LunarYearRowOf(year).has_value());
  }
  EXPECT_TRUE(LunarYearInfo(1900).has_value());
  EXPECT_TRUE(LunarYearInfo(2100).has_value());
}

TEST(LunarYearTable, RowReadingsFollowTheText) {
  for (int y = kFirstTableYear; y <= kLastTableYear; ++y) {
    SCOPED_TRACE(y);
    const std::string_view text = *LunarYearInfo(y);
    const LunarYearRow row = *LunarYearRowOf(y);
    ASSERT_EQ(text.size(), 18u);
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(row.monthLength[m], 29 + (text[m - 1] - '0'));
    EXPECT_EQ(row.leapMonth, std::stoi(std::string(text.substr(13, 1)), nullptr, 16));
    EXPECT_EQ(row.monthLength[0], row.leapMonth == 0 ? 0 : 29 + (text[12] - '0'));
    if (row.leapMonth == 0) {
      EXPECT_EQ(text[12], '0');
    }
    EXPECT_EQ(row.newYear, MakeDate(y, std::stoi(std::string(text.substr(14, 2))),
                                    std::stoi(std::string(text.substr(16, 2)))));
  }
}

// "A" is read as hexadecimal: month 10, not "no leap month".
TEST(LunarYearTable, LeapMonthTenOf1984) {
  const LunarYearRow row = *LunarYearRowOf(1984);
  EXPECT_EQ(row.leapMonth, 10);
  EXPECT_EQ(row.monthLength[0], 29);
  EXPECT_EQ(row.newYear, MakeDate(1984, 2, 2));
}

TEST(LunarYearTable, MonthsFillTheYearUpToTheNextNewYear) {
  for (int y = kFirstTableYear; y < kLastTableYear; ++y) {
    SCOPED_TRACE(y);
    const LunarYearRow row = *LunarYearRowOf(y);
    int days = row.monthLength[0];
    for (int m = 1; m <= 12; ++m) days += row.monthLength[m];
    EXPECT_EQ(days, DaysBetween(row.newYear, LunarYearRowOf(y + 1)->newYear));
    EXPECT_TRUE(days == 353 || days == 354 || days == 355 || days == 383 || days == 384 ||
                days == 385)
        << days;
  }
}

TEST(LunarYearTable, NewYearFallsBetween21JanuaryAnd20February) {
  for (int y = kFirstTableYear; y <= kLastTableYear; ++y) {
    const Date ny = LunarYearRowOf(y)->newYear;
    EXPECT_GE(ny, MakeDate(y, 1, 21)) << y;
    EXPECT_LE(ny, MakeDate(y, 2, 20)) << y;
  }
}

TEST(LunarYearTable, LeapMonths) {
  int leapRows = 0;
  std::set<int> numbers;
  for (int y = kFirstTableYear; y <= kLastTableYear; ++y) {
    const int leap = LunarYearRowOf(y)->leapMonth;
    if (leap != 0) {
      ++leapRows;
      numbers.insert(leap);
    }
  }
  EXPECT_EQ(leapRows, 74);
  EXPECT_EQ(numbers, (std::set<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

// Month starts that the known lunar dates of these days imply.
TEST(LunarYearTable, KnownMonthStarts) {
  const struct {
    int year, number;
    bool leap;
    Date start;
  } cases[] = {
      {1900, 11, false, MakeDate(1900, 12, 22)},  // 1901-01-01 is day 11 of month 11
      {1984, 10, true, MakeDate(1984, 11, 23)},
      {1999, 12, false, MakeDate(2000, 1, 7)},  // 2000-02-04 is day 29 of month 12
      {2017, 6, true, MakeDate(2017, 7, 23)},
      {2099, 11, false, MakeDate(2099, 12, 12)},  // 2099-12-31 is day 20 of month 11
  };
  const auto months = AllLunarMonths();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year * 100 + c.number);
    auto it = std::find_if(months.begin(), months.end(), [&](const LunarMonth& m) {
      return m.year == c.year && m.number == c.number && m.leap == c.leap;
    });
    ASSERT_NE(it, months.end());
    EXPECT_EQ(it->start, c.start);
  }
}

// The two tables agree on the rules of the calendar: 冬至在十一月 (month 11
// holds the day of the winter solstice), and a leap month holds no principal
// term (無中氣置閏).
TEST(CalendarTables, LunarMonthsAgreeWithTheTerms) {
  std::vector<Date> principal;
  for (int n = 2; n <= kSolarTermCount; n += 2) principal.push_back(DateOf(*SolarTermAt(n)));
  for (const LunarMonth& m : AllLunarMonths()) {
    SCOPED_TRACE(::testing::Message() << m.year << (m.leap ? " leap " : " month ") << m.number);
    const Date end = m.start + std::chrono::days{m.length};
    const auto first = std::lower_bound(principal.begin(), principal.end(), m.start);
    const bool holdsPrincipal = first != principal.end() && *first < end;
    if (m.leap) {
      EXPECT_FALSE(holdsPrincipal);
    }
    if (m.number == 11 && !m.leap) {
      const Date solstice = DateOf(*SolarTermAt(TermIndex(m.year, 24)));
      EXPECT_LE(m.start, solstice);
      EXPECT_LT(solstice, end);
    }
  }
}

TEST(SolarTermTable, TellingRows) {
  const struct {
    int n;
    const char* text;
    CivilFields at;
  } cases[] = {
      {1, "1900/01/06 02:13", {1900, 1, 6, 2, 13}},
      {2, "1900/01/20 19:43", {1900, 1, 20, 19, 43}},
      {3, "1900/02/04 14:02", {1900, 2, 4, 14, 2}},
      {2019, "1984/02/04 23:21", {1984, 2, 4, 23, 21}},
      {2403, "2000/02/04 20:35", {2000, 2, 4, 20, 35}},
      {4824, "2100/12/22 04:02", {2100, 12, 22, 4, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    ASSERT_TRUE(SolarTermMoment(c.n).has_value());
    EXPECT_EQ(*SolarTermMoment(c.n), c.text);
    ASSERT_TRUE(SolarTermAt(c.n).has_value());
    EXPECT_EQ(Fields(*SolarTermAt(c.n)), c.at);
  }
  EXPECT_EQ(SectionalTermIndex(1984, 2), 2019);
}

TEST(SolarTermTable, OutOfRangeIndexesGiveNothing) {
  for (int n : {-1, 0, 4825, 32767}) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(SolarTermMoment(n).has_value());
    EXPECT_FALSE(SolarTermAt(n).has_value());
  }
}

TEST(SolarTermTable, PackedMomentsMatchTheTexts) {
  for (int n = 1; n <= kSolarTermCount; ++n) {
    const std::string_view text = *SolarTermMoment(n);
    ASSERT_EQ(text.size(), 16u) << n;
    EXPECT_EQ(Fields(*SolarTermAt(n)), ReadTermText(text)) << n << " " << text;
  }
}

TEST(SolarTermTable, MomentsIncreaseAndStayInTheirMonth) {
  for (int n = 1; n <= kSolarTermCount; ++n) {
    SCOPED_TRACE(*SolarTermMoment(n));
    const int year = 1900 + (n - 1) / 24, k = (n - 1) % 24 + 1;
    const CivilFields f = Fields(*SolarTermAt(n));
    EXPECT_EQ(f.year, year);
    EXPECT_EQ(f.month, (k + 1) / 2);
    if (k % 2 == 1) {
      EXPECT_GE(f.day, 3);
      EXPECT_LE(f.day, 9);
    } else {
      EXPECT_GE(f.day, 18);
      EXPECT_LE(f.day, 24);
    }
    if (n > 1) {
      // Consecutive terms lie 14 to 16 days apart.
      const auto gap = MinutesBetween(*SolarTermAt(n - 1), *SolarTermAt(n));
      EXPECT_GT(gap, 14 * 1440);
      EXPECT_LT(gap, 16 * 1440);
    }
  }
}

}  // namespace
}  // namespace qelm
