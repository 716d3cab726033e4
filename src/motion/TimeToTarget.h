#pragma once

#include "motion/TargetCommands.h"

#include <QString>

namespace corvane {

// Where the mount points, as numbers: hours and minutes of right ascension,
// the declination's sign, degrees and minutes (all 0 before a reply).
struct ScopePosition {
    int raHours = 0;
    double raMinutes = 0.0;
    bool south = false;
    int decDegrees = 0;
    int decMinutes = 0;
};

// What the slew-time estimate reads: the mount's position, the target fields
// and the goto speed list's text ("16X"; empty while the list has no selection).
struct TimeToTargetInput {
    ScopePosition scope;
    TargetFieldTexts target;
    QString gotoSpeed;
};

struct TimeToTarget {
    float hours = 0.0f; // the longer of the two axis slew times
    QString text;       // "Time to target MM:SS"
};

// Estimates how long a slew from the mount's position to the target takes at
// the goto speed (in hours of right ascension per hour). The hour difference
// is taken the short way round the sky on both sides, so 23 h to 1 h is two
// hours. A declination's sign comes from its sign character, so "-00" is
// south. The mount's minutes of right ascension count without their tenths.
// A goto speed of zero gives zero.
TimeToTarget estimateTimeToTarget(const TimeToTargetInput& input);

// "Time to target " + minutes "00" + ":" + seconds "00"; minutes of 100 or
// more keep all their digits (125:07).
QString timeToTargetText(float hours);

} // namespace corvane
