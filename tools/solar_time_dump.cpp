// Reads "UNIX-SECONDS LONGITUDE" lines (whole minutes) and writes, for each,
// what the birth correction computes for that minute of universal time at
// that longitude under 真太陽時: the apparent solar time as seconds of the
// local reckoning, the equation of time in seconds, and the solar minute the
// chart is cast with (seconds of its start). Used by tools/check_solar_time.py.
#include <cstdio>
#include <iostream>

#include "place/correction.hpp"
#include "place/solar.hpp"

int main() {
  long long t = 0;
  double longitude = 0;
  while (std::cin >> t >> longitude) {
    const qelm::UtcSeconds ut{std::chrono::seconds{t}};
    const qelm::CivilFields clock = qelm::Fields(qelm::FixedZone{std::chrono::minutes{0}}.ClockAt(ut));
    const qelm::Place place{"", longitude, 0, "Etc/UTC"};
    const qelm::CorrectionOutcome out = qelm::CorrectBirth({clock.year, clock.month, clock.day, clock.hour, clock.minute}, place, qelm::TimeMode::Solar);
    if (!out) {
      std::printf("refused %s\n", qelm::CorrectionFailureText(out).c_str());
      continue;
    }
    const qelm::BirthCorrection& c = *out.correction;
    const auto solarStart = std::chrono::duration_cast<std::chrono::seconds>(c.solar.time_since_epoch());
    std::printf("%.3f %.3f %lld\n", qelm::ApparentSolarSeconds(c.utc, longitude), c.eotSeconds,
                static_cast<long long>(solarStart.count()));
  }
  return 0;
}
