#include "motion/TimeToTarget.h"

#include "common/NumberText.h"

#include <cmath>

namespace corvane {

namespace {

// Declination in hours of slew: degrees / 15 and arc minutes / 900, both
// south of the equator negative.
double declinationHours(const BoardDec& dec) {
    const double hours = dec.wholeDegrees() / 15.0 + dec.arcMinutes() / 900.0;
    return dec.south ? -hours : hours;
}

// Hour difference taken the short way round: within -12..12.
double wrappedHours(double hours) {
    if (hours > 12)
        return hours - 24;
    if (hours < -12)
        return hours + 24;
    return hours;
}

// A division that fails (zero speed, overflow) leaves its result at zero.
double slewTime(double distance, double speed) {
    if (speed == 0.0)
        return 0.0;
    const double t = distance / speed;
    return std::isfinite(t) ? t : 0.0;
}

} // namespace

TimeToTarget estimateTimeToTarget(const TimeToTargetInput& in) {
    const double scopeHours = in.scope.ra.wholeHours();
    const double scopeMinutes = std::floor(in.scope.ra.minutes());
    const double targetHours = in.target.ra.wholeHours();
    const double targetMinutes = in.target.ra.minutes();
    const double speed = in.gotoSpeed;

    const double raDistance =
        wrappedHours(targetHours - scopeHours) + (targetMinutes - scopeMinutes) / 60.0;
    const double decDistance = declinationHours(in.target.dec) - declinationHours(in.scope.dec);

    const double tRA = std::fabs(slewTime(raDistance, speed));
    const double tDEC = std::fabs(slewTime(decDistance, speed));
    float hours = static_cast<float>(tRA >= tDEC ? tRA : tDEC);
    if (!std::isfinite(hours))
        hours = 0.0f;
    return {hours, timeToTargetText(hours)};
}

QString timeToTargetText(float hours) {
    // Single precision throughout, as the estimate is kept: 1000 minutes read
    // back from their hours are 1000 minutes, not 999:59.
    const float totalMinutes = hours * 60.0f;
    float minutes = 0.0f;
    float seconds = 0.0f;
    if (std::isfinite(totalMinutes) && totalMinutes >= 0.0f && totalMinutes < 2.0e9f) {
        minutes = std::floor(totalMinutes);
        seconds = std::floor((totalMinutes - minutes) * 60.0f);
    }
    return QStringLiteral("Time to target ") + format00(minutes) + QLatin1Char(':') +
           format00(seconds);
}

} // namespace corvane
