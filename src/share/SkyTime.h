#pragma once

#include <QDateTime>

namespace corvane {

// Sidereal time and the horizon, to the accuracy a mount's position needs
// (well under a second of time this century).

// The Julian date of a moment (UTC taken for UT1: they differ by under a
// second).
double julianDate(const QDateTime& utc);

// Greenwich mean sidereal time in hours, 0 <= h < 24 (the IAU 1982
// expression).
double greenwichMeanSiderealHours(const QDateTime& utc);

// The equation of the equinoxes in hours (nutation in longitude times the
// cosine of the obliquity, from the four largest nutation terms): apparent
// minus mean sidereal time, at most about 1.2 s of time.
double equationOfEquinoxesHours(const QDateTime& utc);

// Local apparent sidereal time in hours, 0 <= h < 24, for a longitude in
// degrees, east positive.
double localApparentSiderealHours(const QDateTime& utc, double eastLongitude);

// Where a position stands above the horizon: altitude in degrees (negative
// below it) and azimuth in degrees from north through east, 0 <= az < 360.
struct Horizontal {
    double altitude = 0.0;
    double azimuth = 0.0;
};
Horizontal horizontalOf(double raHours, double decDegrees, double latitude, double siderealHours);

} // namespace corvane
