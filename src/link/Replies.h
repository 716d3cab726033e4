#pragma once

#include <QString>
#include <optional>

namespace corvane {

// What the version reply says about the controller.
struct VersionInfo {
    float version = 0.0f;           // leading number of the reply, 0 without one
    bool splitSettingsDump = false; // above 3.56: 18-byte dump in two parts
    bool pecTouchUp = false;        // above 3.58: training can touch up the table
    bool decWormRowShown = false;   // above 3.3 up to 3.56: separate DEC worm ratio
    bool tarvixEnabled = false;     // 3.5 and above: tracking correction
};
// A version reply counts only in its form: optional leading blanks, digits, a
// decimal point and digits, then the end, a blank or "#" ("3.60 CORV#"). A
// reply in any other form (a position taken for the version, line noise, a
// run of digits too long for a version, a value out of all proportion) reads
// as 0: no Corvane update, the features that depend on the version off.
VersionInfo parseVersionReply(const QString& reply);

// The reply with every byte that is not printable ASCII written as "\xHH", so
// a garbled reply never puts control or high bytes into a caption.
QString printableReply(const QString& reply);
// Caption of the version button after a reply.
QString versionCaption(const QString& reply);

// The controller's coordinate replies: right ascension HH:MM.T# (hours 00..23,
// minutes 00..59, tenths) and declination sDD*MM# (sign, degrees 00..90,
// minutes 00..59). A reply that does not have this form is line noise, a
// reply cut short or two replies run together, and is never shown.
bool isRightAscensionReply(const QString& text);
bool isDeclinationReply(const QString& text);
// The mount position reply: the two joined, 15 characters.
bool isPositionReply(const QString& text);

// Mount position reply HH:MM.T#sDD*MM# as shown: HHhMM.Tm and sDD<deg>MM<mins>.
struct PositionText {
    QString ra;
    QString dec;
};
std::optional<PositionText> positionFromReply(const QString& reply, const QString& degMark,
                                              const QString& minMark);

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

// "position query", "version query", ...: what a reply of this kind answers.
QString replyName(qint16 kind);
QString noReplyMessage(qint16 kind);
QString badReplyMessage(qint16 kind);

} // namespace corvane
