// Civil clock times at a time zone of the system's zoneinfo, and the absolute
// moments they name.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date.hpp"

namespace qelm {

// An absolute moment, to the second.
using UtcSeconds = std::chrono::sys_seconds;

// A time a zone's clock showed, to the minute (ClockTime, calendar/date.hpp),
// names an absolute moment only through that zone.

struct ZoneData;

// A zone id of the zoneinfo database ("Asia/Taipei"), resolved once. Its
// clock follows the zone file's list of changes and, past the last of them
// (2037 in the files as shipped), the rule written at the file's end.
class TimeZone {
 public:
  // Nothing unless the id is one of the zoneinfo's zones or links (as its
  // tzdata.zi lists them) and its file can be read: "localtime",
  // "posixrules", paths and the like are refused and never opened.
  static std::optional<TimeZone> Find(std::string_view id);
  std::string_view id() const;

 private:
  explicit TimeZone(const ZoneData* data) : data_(data) {}
  const ZoneData* data_;
  friend struct ZoneAccess;
};

// Whether the id names a zone or link of the system's zoneinfo.
bool IsZoneId(std::string_view id);
// Every id IsZoneId takes, in order (empty without the zoneinfo's list).
std::vector<std::string> ZoneIdList();

// One absolute moment a clock time can mean, with the clock's offset then.
struct ClockReading {
  UtcSeconds utc{};
  int utcOffsetSeconds = 0;  // the clock minus universal time, daylight saving included
  // The daylight-saving part of that offset as the zone's people know their
  // clock: never negative (Dublin's winter, marked in the zone files as a
  // negative saving, is its standard time and its summer the saving).
  int dstMinutes = 0;
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
  ClockTime changedAt{}, changedTo{};
};
ClockResolution ResolveClock(const TimeZone& zone, ClockTime clock);

// The clock's offset at an absolute moment.
ClockReading ReadingAt(const TimeZone& zone, UtcSeconds utc);

// The zone's clock at an absolute moment, taken to the minute it lies in.
ClockTime ClockTimeAt(const TimeZone& zone, UtcSeconds utc);

// A zone whose clocks keep one offset from universal time for ever.
class FixedZone {
 public:
  explicit constexpr FixedZone(std::chrono::minutes offset) : offset_(offset) {}
  // The clock time at an absolute moment, taken to the minute it lies in.
  constexpr ClockTime ClockAt(UtcSeconds utc) const {
    return ClockTime{std::chrono::floor<std::chrono::minutes>(utc).time_since_epoch() + offset_};
  }
  // The absolute moment at which the clocks show a time.
  constexpr UtcSeconds UtcAt(ClockTime clock) const { return UtcSeconds{clock.time_since_epoch() - offset_}; }

 private:
  std::chrono::minutes offset_;
};

// The clocks of UTC+8, whose time the calendar tables keep.
inline constexpr FixedZone kTableZone{std::chrono::hours{8}};

// The moment in table time (the civil time of UTC+8), taken to the minute it
// lies in; and back.
constexpr TableTime TableTimeOf(UtcSeconds utc) {
  return TableTime{std::chrono::floor<std::chrono::minutes>(utc).time_since_epoch() + std::chrono::hours{8}};
}
constexpr UtcSeconds UtcOf(TableTime t) { return UtcSeconds{t.time_since_epoch() - std::chrono::hours{8}}; }

}  // namespace qelm
