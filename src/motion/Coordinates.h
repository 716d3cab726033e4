#pragma once

#include <QString>

namespace corvane {

// Coordinates in the board's own resolution: what it gives and takes is held
// as these numbers, and every text shown or sent is written from them.

constexpr int kRaTenthsPerDay = 24 * 600;  // HH:MM.T: tenths of a minute of time
constexpr int kDecMinutesToPole = 90 * 60; // sDD*MM: whole arc minutes

// A right ascension the board takes and gives as HH:MM.T.
struct BoardRa {
    int tenths = 0; // tenths of a minute since 0 h, 0 .. kRaTenthsPerDay - 1

    double hours() const;
    int wholeHours() const { return tenths / 600; }
    double minutes() const { return (tenths % 600) / 10.0; } // 34.5
    QString hoursText() const;                               // "05"
    QString minutesText() const;                             // "34.5"
    QString text() const;                                    // "05:34.5"
};

// A declination the board takes and gives as sDD*MM. The sign is kept apart
// from the minutes so that a declination between 0 and -1 degree stays south
// ("-00*30"), and so does one the board itself calls "-00*00". A position
// reaches the pole at most; the target fields hold up to 99 degrees 59.
struct BoardDec {
    bool south = false;
    int minutes = 0; // arc minutes from the equator

    double degrees() const;
    int wholeDegrees() const { return minutes / 60; }
    int arcMinutes() const { return minutes % 60; }
    QString degreesText() const; // "+45", "-00"
    QString minutesText() const; // "30"
    QString text() const;        // "+45*30"
};

bool operator==(const BoardRa& a, const BoardRa& b);
bool operator==(const BoardDec& a, const BoardDec& b);
inline bool operator!=(const BoardRa& a, const BoardRa& b) {
    return !(a == b);
}
inline bool operator!=(const BoardDec& a, const BoardDec& b) {
    return !(a == b);
}

// A place on the sky as the board writes it: "HH:MM.T#sDD*MM#".
struct BoardPosition {
    BoardRa ra;
    BoardDec dec;
};

} // namespace corvane
