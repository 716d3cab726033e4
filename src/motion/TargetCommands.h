#pragma once

#include "link/Query.h"

#include <QString>

namespace corvane {

class Channel;

// The target as its four fields hold it, in their text forms.
struct TargetFieldTexts {
    QString hours;      // "05"
    QString minutes;    // "34.5"
    QString degrees;    // "+45"
    QString decMinutes; // "30"
};

namespace TargetCmd {
inline const char* const GotoTarget = "#:MS#";
inline const char* const SyncOnTarget = "#:CM#";
} // namespace TargetCmd

// "#:Sr 05:34.5#" and "#:Sd +45*30#": the field texts go out as they stand.
QString setRACommand(const TargetFieldTexts& target);
QString setDECCommand(const TargetFieldTexts& target);

// The one-character answer to a set-target, goto or sync command, awaited
// and let go.
Query targetAcknowledgement();

// Spacing between dependent target commands.
constexpr int kTargetCommandPauseMs = 100;

// Each of these runs as a sequence on the channel (after any exchange that is
// running), its pauses on timers.

// Sets the target in the controller: set-RA, 100 ms, set-DEC. The one-character
// acknowledgements are awaited under the set-target kind, which nothing reads.
void setObject(Channel& channel, const TargetFieldTexts& target);

// Slews to the target that the controller already holds. Its acknowledgement
// is awaited under the set-target kind as well, so that it can never be read
// as a position reply left over from polling.
void gotoObject(Channel& channel);

// Makes the target the mount's current position: set-RA, 100 ms, set-DEC,
// 100 ms, "#:CM#", 100 ms; then asks for the position, so the position boxes
// show what the controller now reports and the acknowledgements are discarded
// rather than cut up as a position.
void syncObject(Channel& channel, const TargetFieldTexts& target);

// Reads back the controller's target ("#:Gr##:Gd#", 14 characters awaited).
void getObject(Channel& channel);

} // namespace corvane
