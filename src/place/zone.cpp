#include "place/zone.hpp"

#include <date/tz.h>

#include <stdexcept>

namespace qelm {

struct ZoneAccess {
  static const date::time_zone* of(const TimeZone& z) { return z.tz_; }
};

std::optional<TimeZone> TimeZone::Find(std::string_view id) {
  // Zones are looked up by name in a sorted list of some 600 and their
  // transitions read from disk on first use; a person's zone is asked for at
  // every chart, so the last answer is kept. It only memoizes: the database
  // never changes while the program runs.
  thread_local std::string lastId;
  thread_local const date::time_zone* lastZone = nullptr;
  if (lastZone != nullptr && id == lastId) return TimeZone{lastZone};
  if (id.empty()) return std::nullopt;
  try {
    const date::time_zone* tz = date::locate_zone(id);
    (void)tz->get_info(date::sys_seconds{});  // loads the transitions, or throws
    lastId = std::string(id);
    lastZone = tz;
    return TimeZone{tz};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string_view TimeZone::id() const { return tz_->name(); }

namespace {

using std::chrono::duration_cast;
using std::chrono::minutes;
using std::chrono::seconds;

int Minutes(seconds s) { return static_cast<int>(duration_cast<minutes>(s).count()); }

// The zoneinfo files tell only whether a period is daylight saving, not by
// how much: the daylight-saving part is the offset less that of the nearest
// standard period before it (or after it, when none lies before).
ClockReading ReadingOf(const date::time_zone* tz, const date::sys_info& info, UtcSeconds utc) {
  ClockReading r{utc, Minutes(info.offset), 0};
  if (info.save == minutes{0}) return r;
  date::sys_info probe = info;
  for (int i = 0; i < 8 && probe.save != minutes{0}; ++i) probe = tz->get_info(probe.begin - seconds{1});
  if (probe.save != minutes{0}) {
    probe = info;
    for (int i = 0; i < 8 && probe.save != minutes{0}; ++i) probe = tz->get_info(probe.end);
  }
  if (probe.save == minutes{0}) r.dstMinutes = Minutes(info.offset - probe.offset);
  return r;
}

}  // namespace

ClockResolution ResolveClock(const TimeZone& zone, Moment clock) {
  const date::time_zone* tz = ZoneAccess::of(zone);
  const date::local_seconds local{duration_cast<seconds>(clock.time_since_epoch())};
  const date::local_info info = tz->get_info(local);
  const auto readingWith = [&](const date::sys_info& s) {
    const UtcSeconds utc{local.time_since_epoch() - s.offset};
    return ReadingOf(tz, s, utc);
  };
  ClockResolution r;
  r.readings[0] = readingWith(info.first);
  if (info.result != date::local_info::unique) {
    const auto clockAt = [&](seconds offset) {
      return std::chrono::floor<minutes>(Moment{} + (info.second.begin.time_since_epoch() + offset));
    };
    r.changedAt = clockAt(info.first.offset);
    r.changedTo = clockAt(info.second.offset);
  }
  switch (info.result) {
    case date::local_info::unique:
      r.readings[1] = r.readings[0];
      break;
    case date::local_info::nonexistent:
      r.state = ClockState::Gap;
      r.readings[1] = readingWith(info.second);
      break;
    case date::local_info::ambiguous:
      r.state = ClockState::Overlap;
      r.readings[1] = readingWith(info.second);
      break;
  }
  return r;
}

ClockReading ReadingAt(const TimeZone& zone, UtcSeconds utc) {
  const date::time_zone* tz = ZoneAccess::of(zone);
  return ReadingOf(tz, tz->get_info(utc), utc);
}

Moment TableTimeOf(UtcSeconds utc) {
  return std::chrono::round<minutes>(utc + std::chrono::hours{8});
}

}  // namespace qelm
