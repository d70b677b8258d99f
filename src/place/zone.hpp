// Civil clock times at a time zone of the system's zoneinfo, and the absolute
// moments they name.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/date.hpp"

namespace date {
class time_zone;
}

namespace qelm {

// An absolute moment, to the second.
using UtcSeconds = std::chrono::sys_seconds;

// A zone id of the zoneinfo database ("Asia/Taipei"), resolved once.
class TimeZone {
 public:
  // Nothing when the system's zoneinfo has no such zone.
  static std::optional<TimeZone> Find(std::string_view id);
  std::string_view id() const;

 private:
  explicit TimeZone(const date::time_zone* tz) : tz_(tz) {}
  const date::time_zone* tz_;
  friend struct ZoneAccess;
};

// One absolute moment a clock time can mean, with the clock's offset then.
struct ClockReading {
  UtcSeconds utc{};
  int utcOffsetMinutes = 0;  // the clock minus universal time, daylight saving included
  int dstMinutes = 0;        // the daylight-saving part of that offset
  friend bool operator==(const ClockReading&, const ClockReading&) = default;
};

// How a clock time stands at a zone: a single moment; skipped when the
// clocks were put forward (a gap: the readings are those of the offsets
// before and after the change, applied to the clock time as entered); or
// repeated when they were put back (an overlap: the earlier and the later
// moment).
enum class ClockState { Unique, Gap, Overlap };
struct ClockResolution {
  ClockState state = ClockState::Unique;
  std::array<ClockReading, 2> readings{};  // [1] equals [0] when unique
  // For a gap or an overlap: the clock time at which the clocks were changed
  // and the time they were set to (2:00 to 3:00 forward, 2:00 to 1:00 back).
  Moment changedAt{}, changedTo{};
};
ClockResolution ResolveClock(const TimeZone& zone, Moment clock);

// The clock's offset at an absolute moment.
ClockReading ReadingAt(const TimeZone& zone, UtcSeconds utc);

// The moment in the civil time of UTC+8 (the time the calendar tables use),
// to the nearest minute.
Moment TableTimeOf(UtcSeconds utc);

}  // namespace qelm
