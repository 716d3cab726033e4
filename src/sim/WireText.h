#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace corvane::sim {

// Text forms of the board's replies and the arguments of its commands.

// Right ascension as HH:MM.T# (hours 0..24, wrapped).
QByteArray raReply(double hours);
// Declination as sDD*MM# (degrees -90..+90).
QByteArray decReply(double degrees);
// Sidereal time as HH:MM:SS#.
QByteArray siderealReply(double hours);
// The board's clock (UTC, ms since 1970) as the LX200 time HH:MM:SS# and
// date MM/DD/YY#.
QByteArray utcTimeReply(qint64 utcMs);
QByteArray utcDateReply(qint64 utcMs);

// Argument of a set-RA command, blank before it allowed: HH:MM.T or HH:MM:SS.
// Empty when the text is no valid right ascension.
std::optional<double> parseRa(const QByteArray& text);
// Argument of a set-DEC command: sDD*MM, sDD*MM:SS or sDD*MM'SS; "*", ":" or the
// LX200 degree byte 0xDF as the degree mark; the sign may be left out.
std::optional<double> parseDec(const QByteArray& text);

// A whole number: optional sign and 1..9 digits, nothing else.
std::optional<int> wholeNumber(const QByteArray& text);

// Greenwich mean sidereal time in hours for a UTC time in milliseconds since
// 1970-01-01.
double siderealHours(qint64 utcMs);

// Wraps hours into [0, 24).
double wrapHours(double hours);

} // namespace corvane::sim
