#pragma once

#include "motion/Coordinates.h"

#include <QString>

namespace corvane {

// What the slew-time estimate reads: the mount's position (00:00.0 north
// before a reply), the target and the goto speed in hours of right ascension
// per hour (0 while none is known).
struct TimeToTargetInput {
    BoardPosition scope;
    BoardPosition target;
    double gotoSpeed = 0.0;
};

struct TimeToTarget {
    float hours = 0.0f; // the longer of the two axis slew times
    QString text;       // "Time to target MM:SS"
};

// Estimates how long a slew from the mount's position to the target takes at
// the goto speed (in hours of right ascension per hour). The hour difference
// is taken the short way round the sky on both sides, so 23 h to 1 h is two
// hours. A declination of "-00" degrees is south. The mount's minutes of
// right ascension count without their tenths. A goto speed of zero gives zero.
TimeToTarget estimateTimeToTarget(const TimeToTargetInput& input);

// "Time to target " + minutes "00" + ":" + seconds "00"; minutes of 100 or
// more keep all their digits (125:07).
QString timeToTargetText(float hours);

} // namespace corvane
