#pragma once

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

// The mount position reply HH:MM.T#sDD*MM# cut into the board's two texts,
// "HH:MM.T" and "sDD*MM".
struct PositionText {
    QString ra;
    QString dec;
};
std::optional<PositionText> positionFromReply(const QString& reply);

// Single-axis replies shown unchanged, without their "#".
std::optional<QString> rawRightAscension(const QString& reply);
std::optional<QString> rawDeclination(const QString& reply);

// The controller's target reply (its last 15 characters), cut into the four
// target field texts.
struct TargetText {
    QString hours;
    QString minutes;
    QString degrees;
    QString decMinutes;
    QString response; // the last 15 characters, written back to the response box
};
std::optional<TargetText> targetFromReply(const QString& reply);

} // namespace corvane
