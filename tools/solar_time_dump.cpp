// Reads "UNIX-SECONDS LONGITUDE" lines and writes, for each, the apparent
// solar time there as seconds of the local reckoning, and the equation of
// time in seconds. Used by tools/check_solar_time.py.
#include <cstdio>
#include <iostream>
#include <string>

#include "place/solar.hpp"

int main() {
  long long t = 0;
  double longitude = 0;
  while (std::cin >> t >> longitude) {
    const qelm::UtcSeconds ut{std::chrono::seconds{t}};
    std::printf("%.3f %.3f\n", qelm::ApparentSolarSeconds(ut, longitude), qelm::EquationOfTimeSeconds(ut));
  }
  return 0;
}
