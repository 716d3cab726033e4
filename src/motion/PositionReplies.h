#pragma once

#include "motion/Coordinates.h"

#include <QString>
#include <optional>

namespace corvane {

// The controller's coordinate replies: right ascension HH:MM.T# (hours 00..23,
// minutes 00..59, tenths) and declination sDD*MM# (sign, degrees 00..90,
// minutes 00..59). A reply that does not have this form is line noise, a
// reply cut short or two replies run together, and is never shown.
bool isRightAscensionReply(const QString& text);
bool isDeclinationReply(const QString& text);
// The mount position reply: the two joined, 15 characters.
bool isPositionReply(const QString& text);

// The mount position reply HH:MM.T#sDD*MM# read as the board wrote it.
std::optional<BoardPosition> positionFromReply(const QString& reply);

// The single-axis replies, read from their last 8 (HH:MM.T#) and 7
// (sDD*MM#) characters.
std::optional<BoardRa> rightAscensionFromReply(const QString& reply);
std::optional<BoardDec> declinationFromReply(const QString& reply);

// The controller's target reply, read from its last 15 characters.
struct TargetReply {
    BoardPosition target;
    QString response; // the last 15 characters, written back to the response box
};
std::optional<TargetReply> targetFromReply(const QString& reply);

} // namespace corvane
