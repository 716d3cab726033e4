#include "motion/Coordinates.h"

#include "common/NumberText.h"

namespace corvane {

double BoardRa::hours() const {
    return tenths / 600.0;
}

QString BoardRa::hoursText() const {
    return format00(wholeHours());
}

QString BoardRa::minutesText() const {
    return format00((tenths / 10) % 60) + QLatin1Char('.') + QString::number(tenths % 10);
}

QString BoardRa::text() const {
    return hoursText() + QLatin1Char(':') + minutesText();
}

double BoardDec::degrees() const {
    return (south ? -minutes : minutes) / 60.0;
}

QString BoardDec::degreesText() const {
    return QLatin1Char(south ? '-' : '+') + format00(wholeDegrees());
}

QString BoardDec::minutesText() const {
    return format00(arcMinutes());
}

QString BoardDec::text() const {
    return degreesText() + QLatin1Char('*') + minutesText();
}

bool operator==(const BoardRa& a, const BoardRa& b) {
    return a.tenths == b.tenths;
}

bool operator==(const BoardDec& a, const BoardDec& b) {
    return a.south == b.south && a.minutes == b.minutes;
}

} // namespace corvane
