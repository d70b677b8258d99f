// A birth moment corrected for its birthplace: the clock time as written on a
// certificate, read at the place's time zone (daylight saving included), gives
// the moment in UTC+8 that the calendar tables use and the apparent solar time
// at the place; the engine's pillars follow from them by the chosen mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "place/places.hpp"
#include "place/zone.hpp"

namespace qelm {

// 鐘錶時間: the clock as entered, read as UTC+8 (no correction).
// 標準時間: everything computed at the moment in UTC+8.
// 真太陽時: the solar terms (year and month pillars, luck schedule, commanding
//   stem) at that moment; the day and hour pillars, the 子 hour boundary and
//   the lunar date from the apparent solar time at the place.
// (TimeMode is the calendar's: calendar/moment.hpp.)
std::string_view TimeModeName(TimeMode m);  // "鐘錶時間", "標準時間", "真太陽時"
std::string_view TimeModeKey(TimeMode m);   // "clock", "standard", "solar"
// Either form.
std::optional<TimeMode> ParseTimeMode(std::string_view text);

// Which moment a clock time that occurs twice (clocks put back) means.
enum class OverlapChoice { Earlier, Later };

struct BirthCorrection {
  TimeMode mode = TimeMode::Clock;
  Place place;
  MomentInput entered;            // the clock time as entered
  ClockState state = ClockState::Unique;
  OverlapChoice choice = OverlapChoice::Earlier;
  // The rest holds for the standard and solar modes only; the clock mode
  // reads the clock as UTC+8 and corrects nothing.
  int utcOffsetSeconds = 8 * 3600;  // of the clock at the birth, daylight saving included
  int dstMinutes = 0;               // the daylight-saving part of it
  double eotSeconds = 0;            // equation of time
  UtcSeconds utc{};                 // the absolute moment of birth
  TableTime standard{};             // that moment in UTC+8, taken to the minute it lies in
  SolarTime solar{};                // apparent solar time at the place, taken to the minute it lies in
  TableTime otherStandard{};        // for an overlap: the standard moment of the other reading

  bool applies() const { return mode != TimeMode::Clock; }
  // The clock's offset in whole minutes, towards zero (local mean times
  // before the zones had seconds: Hong Kong until 1904 kept +7:36:42).
  int utcOffsetMinutes() const { return utcOffsetSeconds / 60; }
  // Minutes the place's longitude puts its mean solar time after the zone's
  // standard time (Chengdu: about −64).
  double longitudeMinutes() const { return place.longitude * 4.0 - (utcOffsetSeconds / 60.0 - dstMinutes); }
};

enum class CorrectionError { BadMoment, BadPlace, UnknownZone, Nonexistent, OutOfRange };
std::string_view CorrectionErrorText(CorrectionError e);

struct CorrectionOutcome {
  std::optional<BirthCorrection> correction;
  CorrectionError error{};
  ClockResolution resolution;  // how the clock time stands at the zone (also on failure)
  explicit operator bool() const { return correction.has_value(); }
};

// Why a correction was refused, in the words every part of the program uses:
// for a skipped clock time the change of the clocks (ClockChangeText), else
// CorrectionErrorText.
std::string CorrectionFailureText(const CorrectionOutcome& out);

// What the person window says of a clock time that never existed or existed
// twice at the zone, naming the change of the clocks:
// "此時刻並不存在：當地時鐘在 1990/04/01 2時 0分 撥快到 3時 0分"; empty otherwise.
std::string ClockChangeText(const ClockResolution& r);

// Corrects a clock time at a place. The clock time follows the engine's
// ranges (an hour of 24 and a day one past the month's end roll over);
// the clock mode needs no valid place and corrects nothing. A clock time that
// never existed at the zone is refused; one that existed twice takes the
// chosen reading. The clock time is the minute the clock showed; its solar
// time is that of the minute's start, taken to the minute it lies in (22:59:31
// by the Sun is 22:59, never 23:00). The moments the mode casts with (the
// standard one; for the solar mode, the solar one too) must lie in the
// calendar's years (kFirstYear … kLastYear).
CorrectionOutcome CorrectBirth(const MomentInput& clock, const Place& place, TimeMode mode,
                               OverlapChoice choice = OverlapChoice::Earlier);

// The engine's result for the corrected birth. Clock and standard modes are
// the engine at one moment; the solar mode takes the year and month pillars
// and the term data (JieIndex, JieDays, …) at the standard moment, and the
// lunar date, the year counted from the lunar New Year, the day and hour
// pillars and the weekday at the apparent solar time. `entered` and `moment`
// hold the moment the solar terms were compared with, so that a chart loaded
// from it counts its luck schedule from that moment. Under 子正換日 the hour of
// 23 that keeps its date is the hour of the solar time in the solar mode.
MomentOutcome CorrectedMoment(const BirthCorrection& c, DayChange dayChange = DayChange::AtZiStart);

// The engine's input naming a minute-resolution moment.
MomentInput InputOf(Moment t);
// The clock time the entered fields name at the place (the minute folded).
ClockTime ClockTimeOf(const MomentInput& in);

// One line stating the correction, empty for the clock mode:
// "真太陽時 13時 28分（成都 東經104°04′，經度時差 －64分，均時差 +3分）".
// Every text here has a Big5 form (negative numbers take the full-width
// minus "－"), so a report holding it can be saved as Big5.
std::string CorrectionLine(const BirthCorrection& c);
// The detail behind it, one item a line (zone, daylight saving, the
// standard and solar moments, equation of time, coordinates).
std::string CorrectionDetail(const BirthCorrection& c);
// "東經104°04′", "西經74°00′"; "北緯25°03′", "南緯33°52′".
std::string LongitudeText(double longitude);
std::string LatitudeText(double latitude);

}  // namespace qelm
