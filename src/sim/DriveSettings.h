#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace corvane::sim {

struct BoardCommand;

// Finishing-direction codes as the board keeps them.
namespace Finish {
constexpr quint8 Pos = 0x0F;
constexpr quint8 None = 0x00;
constexpr quint8 Neg = 0xF0;
} // namespace Finish

// The board's drive configuration, in the codes its settings dump reports.
// The defaults are those of a board fresh from setup: DEC worm 80, RA finish
// Pos with backlash 32, DEC finish Neg with backlash 272, guide 1.67X, paddle
// 8X and 16X, goto 27X, orientation Right, rotation Original, sidereal
// tracking, gear 132, worm ratio 180, worm wheel 138.
struct DriveSettings {
    quint8 raFinish = Finish::Pos;
    qint16 raBacklash = 32;
    quint8 decFinish = Finish::Neg;
    qint16 decBacklash = 272;
    quint8 guideRate = 0x02; // 1 = 1.33X, 2 = 1.67X, 3 = 2X
    quint8 eightX = 0x08;    // speed codes 7..12 = 4X, 8X, 16X, 20X, 27X, 40X
    quint8 sixteenX = 0x09;
    quint8 gotoSpeed = 0x0B;
    bool orientationRight = true;
    bool rotationReverse = false;
    qint8 tracking = 0; // -1 disabled, 0 sidereal, 1 solar, 2 lunar
    qint16 gearRatio = 132;
    qint16 wormRatio = 180;
    qint16 wormWheel = 138;
    quint8 decWormRatio = 80;

    bool operator==(const DriveSettings& o) const;
    bool operator!=(const DriveSettings& o) const { return !(*this == o); }
};

// The 16-byte dump of firmware up to 3.56 (answer to "#:VX#"): one-byte gear,
// worm and worm wheel, DEC worm ratio first.
QByteArray settingsDump16(const DriveSettings& s);
// The 18-byte dump of later firmware: two-byte gear, worm and worm wheel, no
// DEC worm ratio. "#<:VX#" answers bytes 0..8, "#>:VX#" bytes 9..17.
QByteArray settingsDump18(const DriveSettings& s);
constexpr int kSplitDumpHalf = 9;

// Multiples of the sidereal rate.
double speedMultiple(quint8 speedCode); // 4..40, 0 for an unknown code
double guideMultiple(quint8 guideCode); // 1.33, 1.67, 2.0; 1.0 for an unknown code
// Tracking rate as a fraction of the sidereal rate (0 when disabled).
double trackingFraction(qint8 tracking);

enum class SettingResult { NotASetting, Applied, Refused };

// Applies a configuration command ("#>G", "#3:Ss2#", "#-1T#", "#<X", "#144g",
// "#250B", "#-1m", ...) to `s`. `wideFields` is true for firmware whose dump
// holds gear, worm and worm wheel in two bytes. A value that the board's
// field cannot hold (not a whole number, too large for its bytes) is refused and
// the setting keeps its value.
SettingResult applySettingCommand(const BoardCommand& c, DriveSettings& s, bool wideFields);

} // namespace corvane::sim
