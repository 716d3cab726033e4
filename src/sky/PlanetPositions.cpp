#include "sky/PlanetPositions.h"

#include "common/NumberText.h"

#include <cmath>
#include <limits>

namespace corvane {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kRadiansPerDegree = kPi / 180.0;

// The obliquity that turns the ecliptic of J2000.0 into the equator. It lies
// 0.01 degree below the usual 23.4392911; that moves a position by at most
// 0.6 arcminute, well inside the error of the elements themselves.
constexpr double kObliquityDegrees = 23.429292;

// Newton's iteration converges in a handful of steps for the planets'
// eccentricities; the cap only keeps an unreachable precision from hanging.
constexpr int kMaxKeplerSteps = 100;

// One orbital element: value at J2000.0 and its change per day.
struct Element {
    double base;
    double perDay;
    double at(double d) const { return base + perDay * d; }
};

// Mean elements of the planets' orbits, angles in degrees: inclination,
// longitude of the ascending node, longitude of perihelion, semi-major axis
// (AU), eccentricity, mean longitude. The rates are the centennial rates of
// the published approximate elements divided by 36525 days. Earth's are those
// of the Earth-Moon barycentre and give the observer's place.
struct OrbitTable {
    Element inclination, node, perihelion, semiMajorAxis, eccentricity, meanLongitude;
};

constexpr OrbitTable kOrbits[kPlanetCount] = {
    // Mercury
    {{7.00487, -1.78797e-7},
     {48.33167, -3.3942e-6},
     {77.45645, 4.36208e-6},
     {0.38709893, 1.80698e-11},
     {0.20563069, 6.91855e-10},
     {252.25084, 4.092338796}},
    // Venus
    {{3.39471, -2.17507e-8},
     {76.68069, -7.5815e-6},
     {131.53298, -8.27439e-7},
     {0.72333199, 2.51882e-11},
     {0.00677323, -1.35195e-9},
     {181.97973, 1.602130474}},
    // Earth
    {{0.00005, -3.56985e-7},
     {-11.26064, -0.00013863},
     {102.94719, 9.11309e-6},
     {1.00000011, -1.36893e-12},
     {0.01671022, -1.04148e-9},
     {100.46435, 0.985609101}},
    // Mars
    {{1.85061, -1.93703e-7},
     {49.57854, -7.7587e-6},
     {336.04084, 1.187e-5},
     {1.52366231, -1.977e-9},
     {0.09341233, -3.25859e-9},
     {355.45332, 0.524033035}},
    // Jupiter
    {{1.3053, -3.15613e-8},
     {100.55615, 9.25675e-6},
     {14.75385, 6.38779e-6},
     {5.20336301, 1.66289e-8},
     {0.04839266, -3.52635e-9},
     {34.40438, 0.083086762}},
    // Saturn
    {{2.48446, 4.64674e-8},
     {113.71504, -1.21e-5},
     {92.43194, -1.48216e-5},
     {9.53707032, -8.25544e-8},
     {0.0541506, -1.00649e-8},
     {49.94432, 0.033470629}},
    // Uranus
    {{0.76986, -1.58947e-8},
     {74.22988, 1.27873e-5},
     {170.96424, 9.9822e-6},
     {19.19126393, 4.16222e-8},
     {0.04716771, -5.24298e-9},
     {313.23218, 0.011731294}},
    // Neptune
    {{1.76917, -2.76827e-8},
     {131.72169, -1.1503e-6},
     {44.97135, -6.42201e-6},
     {30.06896348, -3.42768e-8},
     {0.00858587, 6.88296e-10},
     {304.88003, 0.0059810572}},
    // Pluto: the mean longitude advances 145.2078 degrees a century.
    {{17.14175, 8.41889e-8},
     {110.30347, -2.839e-7},
     {224.06676, -1.00578e-6},
     {39.48168677, -2.10574e-8},
     {0.24880766, 1.77002e-9},
     {238.92881, 0.0039755712}},
};

// The elements of one body at a day number, angles in radians.
struct Orbit {
    double i, n, w, a, e, l;
};

Orbit orbitAt(int body, double d) {
    const OrbitTable& t = kOrbits[body];
    return {t.inclination.at(d) * kRadiansPerDegree,
            t.node.at(d) * kRadiansPerDegree,
            t.perihelion.at(d) * kRadiansPerDegree,
            t.semiMajorAxis.at(d),
            t.eccentricity.at(d),
            rev(t.meanLongitude.at(d) * kRadiansPerDegree)};
}

// True anomaly and distance from the Sun.
struct PlaceInOrbit {
    double v, r;
};

PlaceInOrbit placeInOrbit(const Orbit& o) {
    const double v = solveKepler(rev(o.l - o.w), o.e, 12);
    return {v, o.a * (1.0 - o.e * o.e) / (1.0 + o.e * std::cos(v))};
}

// Quotient of two whole numbers truncated toward zero, as integer division
// does; the dividend's fraction (there is none for calendar values) is
// dropped first. Done in doubles so absurd years cannot overflow.
double wholeQuotient(double dividend, double divisor) {
    return std::trunc(std::trunc(dividend) / divisor);
}

bool hasPosition(int planetIndex) {
    return planetIndex >= 0 && planetIndex < kPlanetCount && planetIndex != kEarthIndex;
}

} // namespace

QStringList planetNames() {
    return {QStringLiteral("Mercury"), QStringLiteral("Venus"),   QStringLiteral("Earth"),
            QStringLiteral("Mars"),    QStringLiteral("Jupiter"), QStringLiteral("Saturn"),
            QStringLiteral("Uranus"),  QStringLiteral("Neptune"), QStringLiteral("Pluto")};
}

double dayNumber(double year, double month, double day, double hour) {
    return 367.0 * year - wholeQuotient((year + wholeQuotient(month + 9.0, 12.0)) * 7.0, 4.0) +
           wholeQuotient(275.0 * month, 9.0) + day - 730531.5 + hour / 24.0;
}

double atan2Positive(double a, double b) {
    if (b == 0.0) {
        if (a > 0.0)
            return kPi / 2.0;
        if (a < 0.0)
            return 3.0 * kPi / 2.0;
        return 0.0;
    }
    double t = std::atan(a / b);
    if (b < 0.0)
        t += kPi;
    if (a < 0.0 && b > 0.0)
        t += kTwoPi;
    return t;
}

double rev(double x) {
    const double t = x / kTwoPi;
    double r = (t - std::trunc(t)) * kTwoPi;
    if (r < 0.0)
        r += kTwoPi;
    return r;
}

double solveKepler(double meanAnomaly, double eccentricity, double digits) {
    const double m = meanAnomaly;
    const double e = eccentricity;
    const double limit = std::pow(10.0, -digits);
    double E = m;
    double residual = 0.05;
    for (int step = 0; step < kMaxKeplerSteps && limit <= residual; ++step) {
        const double r = E - e * std::sin(E) - m;
        E -= r / (1.0 - e * std::cos(E));
        residual = std::fabs(r);
    }
    double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    if (v < 0.0)
        v += kTwoPi;
    return v;
}

double hoursToHourMinutes(double hours) {
    double h = std::trunc(hours);
    double minutes = std::fabs((hours - h) * 60.0);
    if (minutes >= 60.0) {
        minutes = 0.0;
        h += 1.0;
    }
    return h + minutes / 100.0;
}

double degreesToDegreeMinutes(double degrees) {
    double deg = std::trunc(degrees);
    double minutes = std::trunc((degrees - deg) * 60.0);
    if (minutes >= 60.0) {
        minutes = 0.0;
        deg += 1.0;
    }
    return deg + minutes / 100.0;
}

EquatorialPosition planetPosition(int planetIndex, double d) {
    if (!hasPosition(planetIndex)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }

    // Earth's orbit is taken as lying in the ecliptic.
    const Orbit earth = orbitAt(kEarthIndex, d);
    const PlaceInOrbit pe = placeInOrbit(earth);
    const double xE = pe.r * std::cos(pe.v + earth.w);
    const double yE = pe.r * std::sin(pe.v + earth.w);

    // Heliocentric ecliptic place of the planet.
    const Orbit o = orbitAt(planetIndex, d);
    const PlaceInOrbit p = placeInOrbit(o);
    const double u = o.w + p.v - o.n;
    const double x =
        p.r * (std::cos(o.n) * std::cos(u) - std::sin(u) * std::sin(o.n) * std::cos(o.i));
    const double y =
        p.r * (std::sin(u) * std::cos(o.n) * std::cos(o.i) + std::cos(u) * std::sin(o.n));
    const double z = p.r * std::sin(u) * std::sin(o.i);

    // Seen from Earth, turned from the ecliptic to the equator.
    const double X = x - xE;
    const double Y = y - yE;
    const double Z = z;
    const double eps = kObliquityDegrees * kRadiansPerDegree;
    const double xq = X;
    const double yq = Y * std::cos(eps) - Z * std::sin(eps);
    const double zq = Y * std::sin(eps) + Z * std::cos(eps);

    const double ra = atan2Positive(yq, xq);
    const double dec = std::atan(zq / std::sqrt(xq * xq + yq * yq));
    return {ra * kDegreesPerRadian / 15.0, dec * kDegreesPerRadian};
}

PlanetFieldTexts fieldTextsFor(const EquatorialPosition& position) {
    PlanetFieldTexts t;

    // Minutes are rounded to a tenth only when written, so 59.95 and above
    // come out as "60.0" and belong to the next hour; 24 hours is 00.
    const double h = hoursToHourMinutes(position.raHours);
    double wholeHours = std::trunc(h);
    t.minutes = format00_0((h - leadingNumber(format00(wholeHours))) * 100.0);
    if (t.minutes == QLatin1String("60.0")) {
        t.minutes = QStringLiteral("00.0");
        wholeHours += 1.0;
    }
    if (wholeHours >= 24.0)
        wholeHours -= 24.0;
    t.hours = format00(wholeHours);

    // The sign lives in the degree field alone; it is taken from the
    // declination itself, since whole degrees of zero carry none.
    const double g = degreesToDegreeMinutes(position.decDegrees);
    const QString degreeDigits = format00(std::fabs(std::trunc(g)));
    t.degrees = (position.decDegrees < 0.0 ? QLatin1Char('-') : QLatin1Char('+')) + degreeDigits;
    t.decMinutes = format00(std::fabs(g - leadingNumber(t.degrees)) * 100.0);
    return t;
}

PlanetFieldTexts planetFieldTexts(int planetIndex, const QDateTime& when) {
    if (!hasPosition(planetIndex) || !when.isValid())
        return {};
    // The elements run on universal time; the clock's seconds are not used.
    const QDateTime utc = when.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    const double d =
        dayNumber(date.year(), date.month(), date.day(), time.hour() + time.minute() / 60.0);
    return fieldTextsFor(planetPosition(planetIndex, d));
}

} // namespace corvane
