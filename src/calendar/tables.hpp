// The two built-in calendar tables, 1900 to 2100.
//
// LunarYearTable: one 18-character descriptor per Gregorian year, describing
// the lunar year whose New Year falls in that Gregorian year:
//   positions 1-12  month lengths of months 1..12 ("1" = 30 days, "0" = 29)
//   position  13    length of the leap month, same coding
//   position  14    leap month number in hexadecimal ("0" none, "A" = 10)
//   positions 15-18 Gregorian month and day of the New Year
// SolarTermTable: the moment (UTC+8, to the minute, "yyyy/mm/dd hh:mm") of
// the 24 terms of every year; index n = (Y - 1900) * 24 + k, k = 1 for 小寒.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "calendar/date.hpp"

namespace qelm {

inline constexpr int kFirstTableYear = 1900;
inline constexpr int kLastTableYear = 2100;
inline constexpr int kSolarTermCount = 4824;

// The descriptor of a year, or nothing outside 1900..2100.
std::optional<std::string_view> LunarYearInfo(int year);
// The moment text of term n, or nothing outside 1..4824.
std::optional<std::string_view> SolarTermMoment(int index);
// The same moment as a point in time (constant lookup, no parsing).
std::optional<Moment> SolarTermAt(int index);
// All the terms at once, term n at index n - 1: their moments as minutes
// since 1970/01/01 00:00 and as texts.
std::span<const std::int32_t> SolarTermMinutes();
std::span<const std::string_view> SolarTermMoments();

// The index of the sectional term of Gregorian month m of year y; the
// principal term of that month is the next index.
constexpr int SectionalTermIndex(int year, int month) { return (year - 1900) * 24 + 2 * month - 1; }

// Readings of a descriptor (valid rows only).
struct LunarYearRow {
  Date newYear;
  int monthLength[13];  // [1..12] ordinary months, [0] the leap month (0 when none)
  int leapMonth;        // 0 = none
};
std::optional<LunarYearRow> LunarYearRowOf(int year);

}  // namespace qelm
