// Gregorian dates and minute-resolution moments.
//
// A moment is a time a clock shows, not an instant: the calendar tables give
// their solar-term moments as the clocks of UTC+8 showed them, and a birth or
// flow moment is compared with them as it stands. Dates and moments are
// therefore std::chrono local times; an instant (a sys_time) becomes a
// moment only through a zone (place/zone.hpp).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelm {

using Date = std::chrono::local_days;
using Moment = std::chrono::local_time<std::chrono::minutes>;

// y-m-d with roll-over: a month outside 1..12 moves into the neighbouring
// years, a day outside the month moves into the neighbouring months
// (31 January + 1 is 1 February, day 0 is the last day of the month before).
constexpr Date MakeDate(int y, int m, int d) {
  using namespace std::chrono;
  int m0 = m - 1;
  int yy = y + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
  int mm = m0 - (yy - y) * 12 + 1;
  return local_days{year{yy} / month{static_cast<unsigned>(mm)} / 1} + days{d - 1};
}

constexpr Moment MakeMoment(Date d, int hour, int minute) {
  return d + std::chrono::hours{hour} + std::chrono::minutes{minute};
}

constexpr Moment MakeMoment(int y, int m, int d, int hour, int minute) {
  return MakeMoment(MakeDate(y, m, d), hour, minute);
}

struct CivilFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  friend constexpr bool operator==(const CivilFields&, const CivilFields&) = default;
};

constexpr CivilFields Fields(Moment t) {
  using namespace std::chrono;
  const auto d = floor<days>(t);
  const year_month_day ymd{d};
  const auto rest = t - d;
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(duration_cast<hours>(rest).count()),
          static_cast<int>((rest % hours{1}).count())};
}

// The days of month 1..12 of a Gregorian year: thirty days hath September,
// April, June and November; February has 29 in a leap year (divisible by 4
// and not by 100, or by 400).
constexpr int DaysInMonth(int year, int month) {
  namespace chrono = std::chrono;
  const chrono::year_month_day_last last{chrono::year{year},
                                         chrono::month_day_last{chrono::month{static_cast<unsigned>(month)}}};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

constexpr Date DateOf(Moment t) { return std::chrono::floor<std::chrono::days>(t); }

// Differences as the calendar engine takes them.
constexpr std::int64_t MinutesBetween(Moment from, Moment to) { return (to - from).count(); }
// Number of full-hour boundaries between the two: both truncated to the hour.
constexpr std::int64_t HourCount(Moment from, Moment to) {
  using namespace std::chrono;
  return (floor<hours>(to) - floor<hours>(from)).count();
}
constexpr int DaysBetween(Date from, Date to) { return static_cast<int>((to - from).count()); }

// 1 = Sunday … 7 = Saturday.
constexpr int WeekdayNumber(Date d) {
  return static_cast<int>(std::chrono::weekday{d}.c_encoding()) + 1;
}

// "yyyy?mm?dd hh:mm" with the given date separator, zero-padded, naming a
// real date and a clock time 00:00 … 23:59; nothing otherwise.
std::optional<CivilFields> ParseClockText(std::string_view text, char dateSeparator);

// "yyyy/mm/dd hh:mm", the form of the solar-term table.
std::string MomentText(Moment t);
// "YYYY-MM-DD HH:MM", the form the user types a moment in.
std::string UserMomentText(Moment t);
// "yyyy年mm月dd日", the form of the luck change dates.
std::string ChineseDateText(Date d);

}  // namespace qelm
