#include "share/SkyTime.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kJ2000 = 2451545.0;

double radians(double degrees) {
    return degrees * kPi / 180.0;
}

double degrees(double radians) {
    return radians * 180.0 / kPi;
}

// x reduced to 0 <= x < period.
double wrapped(double x, double period) {
    const double r = std::fmod(x, period);
    const double w = r < 0.0 ? r + period : r;
    return w < period ? w : 0.0; // a tiny negative r rounds up to the period itself
}

} // namespace

double julianDate(const QDateTime& utc) {
    return 2440587.5 + static_cast<double>(utc.toMSecsSinceEpoch()) / 86400000.0;
}

double greenwichMeanSiderealHours(const QDateTime& utc) {
    const double d = julianDate(utc) - kJ2000;
    const double t = d / 36525.0;
    const double deg =
        280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000.0;
    return wrapped(deg, 360.0) / 15.0;
}

double equationOfEquinoxesHours(const QDateTime& utc) {
    const double t = (julianDate(utc) - kJ2000) / 36525.0;
    const double node = radians(125.04452 - 1934.136261 * t); // the Moon's ascending node
    const double sun = radians(280.4665 + 36000.7698 * t);    // mean longitudes
    const double moon = radians(218.3165 + 481267.8813 * t);
    const double dPsi = -17.20 * std::sin(node) - 1.32 * std::sin(2 * sun) -
                        0.23 * std::sin(2 * moon) + 0.21 * std::sin(2 * node); // arc seconds
    const double obliquity = radians(23.4392911 - 0.0130042 * t);
    return dPsi * std::cos(obliquity) / 3600.0 / 15.0;
}

double localApparentSiderealHours(const QDateTime& utc, double eastLongitude) {
    return wrapped(greenwichMeanSiderealHours(utc) + equationOfEquinoxesHours(utc) +
                       eastLongitude / 15.0,
                   24.0);
}

Horizontal horizontalOf(double raHours, double decDegrees, double latitude, double siderealHours) {
    const double h = radians((siderealHours - raHours) * 15.0);
    const double dec = radians(decDegrees);
    const double lat = radians(latitude);
    const double sinAlt =
        std::sin(dec) * std::sin(lat) + std::cos(dec) * std::cos(lat) * std::cos(h);
    Horizontal out;
    out.altitude = degrees(std::asin(std::clamp(sinAlt, -1.0, 1.0)));
    // Measured from north through east: west of the meridian (h > 0) lies
    // beyond 180 degrees.
    const double y = -std::cos(dec) * std::sin(h);
    const double x = std::sin(dec) * std::cos(lat) - std::cos(dec) * std::sin(lat) * std::cos(h);
    out.azimuth = wrapped(degrees(std::atan2(y, x)), 360.0);
    return out;
}

} // namespace corvane
