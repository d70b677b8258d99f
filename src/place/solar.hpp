// The apparent solar time of a place: universal time, plus the longitude at
// four minutes a degree, plus the equation of time.
#pragma once

#include "place/zone.hpp"

namespace qelm {

// The equation of time (apparent less mean solar time) in seconds at the
// moment ut, from the Sun's apparent right ascension (low-precision solar
// coordinates with nutation and aberration, after Meeus, Astronomical
// Algorithms, chapters 22, 25 and 28): within about three seconds over
// the calendar's years (kFirstYear … kLastYear).
double EquationOfTimeSeconds(UtcSeconds ut);

// Apparent solar time at the longitude (degrees, east positive) as seconds
// since 1970-01-01 00:00 of that local reckoning.
double ApparentSolarSeconds(UtcSeconds ut, double longitude);

// That time taken to the minute it lies in (a solar 22:59:59 is 22:59), the
// solar moment a corrected birth is cast with.
SolarTime ApparentSolarMinute(UtcSeconds ut, double longitude);

}  // namespace qelm
