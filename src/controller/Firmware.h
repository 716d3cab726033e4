#pragma once

#include <QString>

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

// Caption of the version button after a reply.
QString versionCaption(const QString& reply);

} // namespace corvane
