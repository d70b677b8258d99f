// Where on the Earth a birthplace can lie, checked and said the same way
// wherever coordinates are typed, read or corrected with.
#pragma once

#include <cmath>
#include <string_view>

#include "records/place_file.hpp"

namespace qelm {

// Degrees, east and north positive; the companion file keeps the same limits.
inline constexpr double kMaxLongitude = records::kMaxLongitude;
inline constexpr double kMaxLatitude = records::kMaxLatitude;

inline bool ValidLongitude(double degrees) { return std::isfinite(degrees) && std::fabs(degrees) <= kMaxLongitude; }
inline bool ValidLatitude(double degrees) { return std::isfinite(degrees) && std::fabs(degrees) <= kMaxLatitude; }

// "經度須為 -180 至 180 之間的數字（東經為正，西經為負）", and the latitude's.
std::string_view LongitudeRangeText();
std::string_view LatitudeRangeText();

}  // namespace qelm
