#include "motion/TimeToTarget.h"

#include "common/NumberText.h"
#include "motion/TargetFields.h"

#include <cmath>

namespace corvane {

namespace {

// Declination in hours of slew: degrees / 15 and arc minutes / 900, the
// minutes taking the sign of the degree text.
double declinationHours(const QString& degreeText, const QString& minuteText) {
    const double degrees = leadingNumber(degreeText);
    const double minutes = leadingNumber(minuteText);
    const double signedMinutes = isSouthDeclination(degreeText) ? -minutes : minutes;
    return degrees / 15.0 + signedMinutes / 900.0;
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
    const double scopeHours = in.scope.raHours;
    const double scopeMinutes = std::floor(in.scope.raMinutes);
    const double targetHours = leadingNumber(in.target.hours);
    const double targetMinutes = leadingNumber(in.target.minutes);
    const double speed = leadingNumber(in.gotoSpeed);

    const double raDistance =
        wrappedHours(targetHours - scopeHours) + (targetMinutes - scopeMinutes) / 60.0;
    const double scopeSign = in.scope.south ? -1.0 : 1.0;
    const double decDistance =
        declinationHours(in.target.degrees, in.target.decMinutes) -
        scopeSign * (in.scope.decDegrees / 15.0 + in.scope.decMinutes / 900.0);

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
