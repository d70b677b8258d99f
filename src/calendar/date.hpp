// Gregorian dates and minute-resolution moments, and the three clocks a
// birth can be read by.
//
// A moment is a time a clock shows, not an instant: the calendar tables give
// their solar-term moments as the clocks of UTC+8 showed them, and a birth or
// flow moment is compared with them as it stands. Dates and moments are
// therefore std::chrono local times (table time); an instant (a sys_time)
// becomes a moment only through a zone (place/zone.hpp).
//
// A zone's clock time (ClockTime: what a clock at a birthplace showed) and
// apparent solar time (SolarTime) are time points of clocks of their own, as
// <chrono> keeps local_time and sys_time apart: neither converts to, compares
// with or subtracts from table time. A clock time becomes table time only
// through its zone (place/zone.hpp), solar time only from an instant and a
// longitude (place/solar.hpp).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelm {

// The years the calendar serves: the tables reach from 1900 to 2100, and a
// moment needs the year before and after its own.
inline constexpr int kFirstYear = 1901;
inline constexpr int kLastYear = 2099;
constexpr bool InCalendarYears(int year) { return year >= kFirstYear && year <= kLastYear; }

using Date = std::chrono::local_days;
// Table time: the clocks of UTC+8, by which the calendar tables are kept.
using Moment = std::chrono::local_time<std::chrono::minutes>;
using TableTime = Moment;

// Tags of the two other clocks. They are never asked for the present time.
template <typename Tag>
struct ReadingClock {
  using rep = std::chrono::minutes::rep;
  using period = std::chrono::minutes::period;
  using duration = std::chrono::minutes;
  using time_point = std::chrono::time_point<ReadingClock, duration>;
  static constexpr bool is_steady = false;
  static time_point now() noexcept = delete;
};
struct ZoneClockTag;
struct SolarClockTag;
// What the clocks of a time zone showed, daylight saving included.
using ClockTime = ReadingClock<ZoneClockTag>::time_point;
// Apparent solar time at a longitude.
using SolarTime = ReadingClock<SolarClockTag>::time_point;

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

// A zone's clock showing y-m-d hour:minute (with MakeDate's roll-over).
constexpr ClockTime MakeClockTime(int y, int m, int d, int hour, int minute) {
  return ClockTime{MakeMoment(y, m, d, hour, minute).time_since_epoch()};
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

// The fields a clock face shows, whichever clock it is.
constexpr CivilFields Fields(ClockTime t) { return Fields(Moment{t.time_since_epoch()}); }
constexpr CivilFields Fields(SolarTime t) { return Fields(Moment{t.time_since_epoch()}); }

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
// The same of what another clock shows.
inline std::string MomentText(ClockTime t) { return MomentText(Moment{t.time_since_epoch()}); }
inline std::string MomentText(SolarTime t) { return MomentText(Moment{t.time_since_epoch()}); }
// "YYYY-MM-DD HH:MM", the form the user types a moment in.
std::string UserMomentText(Moment t);
// "yyyy年mm月dd日", the form of the luck change dates.
std::string ChineseDateText(Date d);

}  // namespace qelm
