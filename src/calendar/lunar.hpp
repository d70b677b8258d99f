// Gregorian to lunar date conversion and the calendar's names.
#pragma once

#include <array>
#include <optional>
#include <string_view>


namespace qelm {

// An ordinary lunar month, or the leap month that follows the ordinary month
// of the same number. The numbers are those the JSON output writes.
enum class LunarMonthKind : int { Ordinary = 1, Leap = 2 };

// A lunar date. The year is the Gregorian number of the year in which that
// lunar year began.
struct LunarDate {
  int year = 0, month = 0, day = 0;
  LunarMonthKind monthKind = LunarMonthKind::Ordinary;
  int weekdayNumber = 0;          // of the Gregorian date, 1 = Sunday
  std::string_view weekdayText;   // "日耀日(日)" …
  friend constexpr bool operator==(const LunarDate&, const LunarDate&) = default;
};

// Converts (y, m, d); the day may run one past the month's end and rolls over.
// Years outside kFirstYear..kLastYear give nothing.
std::optional<LunarDate> SolarToLunar(int year, int month, int day);

// The names of a lunar month and day. A number outside the name tables keeps
// the name that was there before, so callers pass the previous names in.
struct LunarNamesResult {
  std::string_view LeapMark;        // "閏" or ""
  std::string_view LunarMonthName;  // "正" … "十二"
  std::string_view LunarDayName;    // "初一" … "三十"
  friend constexpr bool operator==(const LunarNamesResult&, const LunarNamesResult&) = default;
};
LunarNamesResult LunarNames(int month, int day, LunarMonthKind kind, LunarNamesResult previous = {});

// "日耀日(日)" for 1 … "土耀日(六)" for 7; nothing for other numbers.
std::optional<std::string_view> WeekdayName(int weekdayNumber);

}  // namespace qelm
