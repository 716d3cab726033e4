#pragma once

#include "motion/Coordinates.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

// A client's coordinates are rounded to the board's resolution (BoardRa,
// BoardDec) before anything is sent, and the board commands are built from
// them alone, never from the client's text.

// A client's right ascension, "HH:MM.T" (any number of tenths up to four
// decimals) or "HH:MM:SS": hours below 24, minutes and seconds below 60.
// Rounded to the nearest tenth of a minute, halves up, with the carry into
// minutes and hours; 24 h comes round to 00:00.0.
std::optional<BoardRa> boardRaFromText(const QByteArray& text);

// A client's declination, "sDD*MM" or "sDD*MM:SS" with any of the degree
// marks of kDegreeMarks; no sign means north. At most 90 degrees, and 90 only
// with nothing after it. Rounded to the nearest arc minute, halves away from
// zero, with the carry into degrees.
std::optional<BoardDec> boardDecFromText(const QByteArray& text);

// The same rounding for positions given in hours and degrees (Stellarium's
// goto): 0 <= hours < 24, -90 <= degrees <= 90; anything else (a NaN
// included) gives no value.
std::optional<BoardRa> boardRaFromHours(double hours);
std::optional<BoardDec> boardDecFromDegrees(double degrees);

// A position in hours and degrees.
struct SkyPosition {
    double raHours = 0.0;
    double decDegrees = 0.0;
};

// The board's position in hours and degrees; one beyond the pole ("+90*30",
// which its replies' form allows) is no place on the sky and gives no value.
std::optional<SkyPosition> skyPosition(const BoardPosition& position);

// The board's position reply, "HH:MM.T#sDD*MM#" (as "#:GR##:GD#" is
// answered), in hours and degrees; a reply not in this form gives no value.
std::optional<SkyPosition> positionFromBoardReply(const QString& reply);

} // namespace corvane
