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
VersionInfo parseVersionReply(const QString& reply);

// Caption of the version button after a reply.
QString versionCaption(const QString& reply);

// Mount position reply HH:MM.T#sDD*MM# as shown: HHhMM.Tm and sDD<deg>MM<mins>.
struct PositionText {
    QString ra;
    QString dec;
};
PositionText positionFromReply(const QString& reply, const QString& degMark,
                               const QString& minMark);

// Single-axis replies shown unchanged, without their "#".
QString rawRightAscension(const QString& reply);
QString rawDeclination(const QString& reply);

// The controller's target reply, cut into the four target field texts.
struct TargetText {
    QString hours;
    QString minutes;
    QString degrees;
    QString decMinutes;
    QString response; // the last 15 characters, written back to the response box
};
TargetText targetFromReply(const QString& reply);

} // namespace corvane
