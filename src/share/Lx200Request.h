#pragma once

#include "motion/Motion.h"
#include "share/BoardCoordinates.h"

#include <QByteArray>

namespace corvane {

// What an LX200 client asked for, read from one whole request (see
// Lx200Framer). Only these parsed values are ever used afterwards: the
// client's bytes themselves never reach the board.
enum class Lx200Kind {
    Unknown,         // anything not listed here: no reply, nothing sent
    BadCoordinate,   // ":Sr"/":Sd" whose value does not parse or is out of range
    Ack,             // "\x06"
    PrecisionToggle, // ":U#": no reply, changes nothing
    GetRa,           // ":GR#"
    GetDec,          // ":GD#"
    GetTargetRa,     // ":Gr#"
    GetTargetDec,    // ":Gd#"
    DistanceBars,    // ":D#": whether a goto is under way, answered by the server
    SetTargetRa,     // ":Sr HH:MM.T#", ":SrHH:MM:SS#" -> ra
    SetTargetDec,    // ":Sd sDD*MM#", ":SdsDD*MM:SS#" -> dec
    Goto,            // ":MS#"
    Sync,            // ":CM#"
    StopAll,         // ":Q#"
    Stop,            // ":Qn#" ":Qs#" ":Qe#" ":Qw#" -> direction
    Move,            // ":Mn#" ":Ms#" ":Me#" ":Mw#" -> direction
    Pulse,           // ":Mgn250#" -> direction, pulseMs
    SetRate,         // ":RG#" ":RC#" ":RM#" ":RS#" -> rate
    ProductName,     // ":GVP#"
    FirmwareVersion, // ":GVN#"
    FirmwareDate,    // ":GVD#"
    FirmwareTime,    // ":GVT#"
    GetLatitude,     // ":Gt#"
    GetLongitude,    // ":Gg#"
    GetUtcOffset,    // ":GG#"
    GetLocalTime,    // ":GL#"
    GetDate,         // ":GC#"
    GetClockFormat,  // ":Gc#"
    GetSiteName,     // ":GM#"
    GetTrackingRate, // ":GT#"
    SetLatitude,     // ":St sDD*MM#" -> inRange, siteDegrees
    SetLongitude,    // ":Sg DDD*MM#" -> inRange, siteDegrees
    SetUtcOffset,    // ":SG sHH.H#" -> inRange
    SetLocalTime,    // ":SL HH:MM:SS#" -> inRange
    SetDate,         // ":SC MM/DD/YY#" -> inRange
    // The focuser, for programs that drive it by other protocols (never
    // parsed from LX200 text): in and out run until the stop, at the speed
    // last set.
    FocusIn,
    FocusOut,
    FocusStop,
    FocusFast,
    FocusSlow,
};

// The client's slew rates and the board's: guide, centering and find share
// the board's 8X rate, slew is its 16X.
enum class SlewRate { Guide, Centering, Find, Slew };

// The longest guide pulse a client may ask for, as on the guiding page.
constexpr int kLongestClientPulseMs = kLongestPulseMs;

struct Lx200Request {
    Lx200Kind kind = Lx200Kind::Unknown;
    Direction direction = Direction::North; // Stop, Move, Pulse
    int pulseMs = 0;                        // Pulse: 0 .. kLongestClientPulseMs
    SlewRate rate = SlewRate::Guide;        // SetRate
    BoardRa ra;                             // SetTargetRa, rounded to the board's form
    BoardDec dec;                           // SetTargetDec, rounded to the board's form
    // Site and time setters: whether the value parsed and lies in range
    // (the client is answered "1" or "0"), and for a latitude or longitude
    // the value in the program's conventions: degrees, north and east positive.
    bool inRange = false;
    double siteDegrees = 0.0;
};

// Reads one request as the framer gives it: "\x06" or ":...#". Any other
// text is Unknown.
Lx200Request parseLx200Request(const QByteArray& request);

} // namespace corvane
