#pragma once

// Geocentric right ascension and declination of the planets for a moment,
// from mean Keplerian orbital elements of epoch J2000.0 with linear rates per
// day. There are no perturbation terms and no light-time, aberration, nutation
// or precession corrections: the result refers to the mean equator and
// equinox of J2000.0, good to a few arcminutes for the inner planets and
// about ten for Jupiter and Saturn between 1800 and 2050.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace corvane {

// The bodies in list order; a body's index is its position in this list.
QStringList planetNames();
constexpr int kEarthIndex = 2;
constexpr int kPlanetCount = 9;

// Days from 2000-01-01 12:00 (0.0 then). The integer divisions of the formula
// truncate toward zero, as on whole numbers; `hour` is decimal hours.
double dayNumber(double year, double month, double day, double hour);

// The angle of the point (b, a) from the positive b axis, 0 to two pi. A point
// on the a axis gives pi/2 above and 3 pi/2 below; the origin gives 0.
double atan2Positive(double a, double b);

// An angle in radians reduced to 0 to two pi.
double rev(double x);

// True anomaly (0 to two pi) for a mean anomaly and an eccentricity, by Newton
// iteration on Kepler's equation until a step's residual is below
// 10^-digits.
double solveKepler(double meanAnomaly, double eccentricity, double digits);

// Decimal hours as hours + minutes/100, the minutes keeping their fraction
// (5.26 -> 5.156).
double hoursToHourMinutes(double hours);

// Decimal degrees as whole degrees + whole minutes/100, both truncated toward
// zero and so both negative south of the equator (-12.5 -> -12.30).
double degreesToDegreeMinutes(double degrees);

struct EquatorialPosition {
    double raHours;    // 0 to 24
    double decDegrees; // -90 to +90
};

// Position of body `planetIndex` at day number `dayNumber`, full precision.
// Earth, or an index outside the list, has no position: both values are NaN.
EquatorialPosition planetPosition(int planetIndex, double dayNumber);

// The texts of the four target fields: "01", "35.9", "+08", "37".
struct PlanetFieldTexts {
    QString hours;
    QString minutes;
    QString degrees;
    QString decMinutes;
};

// A position written in the target fields' forms: hours "00" (0 to 23) and
// minutes "00.0", minutes that round up to 60.0 carried into the hour;
// declination degrees always signed ("+08", "-13", "-00" for a declination
// between 0 and -1 degree) and whole minutes "00" without a sign.
PlanetFieldTexts fieldTextsFor(const EquatorialPosition& position);

// The field texts of body `planetIndex` at the moment `when`, which is read in
// universal time whatever its zone; its seconds are ignored. Earth, an index
// outside the list or an invalid moment gives four empty texts, and the
// caller leaves its fields as they are.
PlanetFieldTexts planetFieldTexts(int planetIndex, const QDateTime& when);

} // namespace corvane
