// Reads lines "ZONE UNIX-SECONDS" and "ZONE @YYYY MM DD HH MM" and writes,
// for the first, the zone's offset in seconds and daylight saving in minutes
// at that moment ("none" for a zone the program refuses); for the second,
// how the clock time stands there: "unique", "gap" or "overlap" and the
// offsets of its two readings. Used by tools/check_zones.py.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "place/zone.hpp"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string id, when;
    in >> id >> when;
    const auto zone = qelm::TimeZone::Find(id);
    if (!zone) {
      std::puts("none");
      continue;
    }
    if (when.starts_with("@")) {
      int m = 0, d = 0, h = 0, n = 0;
      in >> m >> d >> h >> n;
      const qelm::ClockTime clock = qelm::MakeClockTime(std::stoi(when.substr(1)), m, d, h, n);
      const qelm::ClockResolution r = qelm::ResolveClock(*zone, clock);
      const char* state = r.state == qelm::ClockState::Gap       ? "gap"
                          : r.state == qelm::ClockState::Overlap ? "overlap"
                                                                 : "unique";
      std::printf("%s %d %d\n", state, r.readings[0].utcOffsetSeconds, r.readings[1].utcOffsetSeconds);
    } else {
      const qelm::ClockReading r = qelm::ReadingAt(*zone, qelm::UtcSeconds{std::chrono::seconds{std::stoll(when)}});
      std::printf("%d %d\n", r.utcOffsetSeconds, r.dstMinutes);
    }
  }
  return 0;
}
