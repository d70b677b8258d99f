#include "place/solar.hpp"

#include <cmath>
#include <numbers>

namespace qelm {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

double Normalized(double degrees) {
  double d = std::fmod(degrees, 360.0);
  return d < 0 ? d + 360.0 : d;
}

}  // namespace

double EquationOfTimeSeconds(UtcSeconds ut) {
  // Julian centuries from J2000.0. Universal time stands in for dynamical
  // time: the difference (at most about 70 s in these years) moves the
  // equation of time by well under a tenth of a second.
  const double jd = static_cast<double>(ut.time_since_epoch().count()) / 86400.0 + 2440587.5;
  const double T = (jd - 2451545.0) / 36525.0;
  const double tau = T / 10.0;

  // The Sun's mean longitude (ch. 28) and mean anomaly, centre, true and
  // apparent longitude (ch. 25).
  const double L0 = Normalized(280.4664567 + 360007.6982779 * tau + 0.03032028 * tau * tau +
                               tau * tau * tau / 49931.0 - tau * tau * tau * tau / 15300.0 -
                               tau * tau * tau * tau * tau / 2000000.0);
  const double M = (357.52911 + 35999.05029 * T - 0.0001537 * T * T) * kDeg;
  const double C = (1.914602 - 0.004817 * T - 0.000014 * T * T) * std::sin(M) +
                   (0.019993 - 0.000101 * T) * std::sin(2 * M) + 0.000289 * std::sin(3 * M);
  const double meanL = 280.46646 + 36000.76983 * T + 0.0003032 * T * T;
  const double omega = (125.04452 - 1934.136261 * T) * kDeg;
  const double lambda = (meanL + C - 0.00569 - 0.00478 * std::sin(omega)) * kDeg;

  // Nutation in longitude (ch. 22, to half an arcsecond) and the obliquity.
  const double Lsun = (280.4665 + 36000.7698 * T) * kDeg;
  const double Lmoon = (218.3165 + 481267.8813 * T) * kDeg;
  const double dPsi = (-17.20 * std::sin(omega) - 1.32 * std::sin(2 * Lsun) - 0.23 * std::sin(2 * Lmoon) +
                       0.21 * std::sin(2 * omega)) /
                      3600.0;
  const double eps0 = 23.0 + 26.0 / 60.0 + 21.448 / 3600.0 -
                      (46.8150 * T + 0.00059 * T * T - 0.001813 * T * T * T) / 3600.0;
  const double eps = (eps0 + 0.00256 * std::cos(omega)) * kDeg;

  const double alpha = Normalized(std::atan2(std::cos(eps) * std::sin(lambda), std::cos(lambda)) / kDeg);
  double E = L0 - 0.0057183 - alpha + dPsi * std::cos(eps);
  E = std::fmod(E + 540.0, 360.0);
  if (E < 0) E += 360.0;
  E -= 180.0;
  return E * 240.0;  // four minutes of time a degree
}

double ApparentSolarSeconds(UtcSeconds ut, double longitude) {
  return static_cast<double>(ut.time_since_epoch().count()) + longitude * 240.0 + EquationOfTimeSeconds(ut);
}

SolarTime ApparentSolarMinute(UtcSeconds ut, double longitude) {
  return SolarTime{std::chrono::minutes{static_cast<long long>(std::floor(ApparentSolarSeconds(ut, longitude) / 60.0))}};
}

}  // namespace qelm
