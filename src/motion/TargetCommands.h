#pragma once

#include "link/Reply.h"

#include "link/Query.h"
#include "motion/Coordinates.h"

#include <QString>

namespace corvane {

class BoardLine;

namespace TargetCmd {
inline const char* const GotoTarget = "#:MS#";
inline const char* const SyncOnTarget = "#:CM#";
} // namespace TargetCmd

// "#:Sr 05:34.5#" and "#:Sd -00*30#", written as the target fields show the
// values; the sharing clients' set-target commands are these too.
QString setRACommand(const BoardRa& ra);
QString setDECCommand(const BoardDec& dec);

// The one-character answer to a set-target, goto or sync command, awaited
// and let go.
Query targetAcknowledgement();

// Spacing between dependent target commands.
constexpr int kTargetCommandPauseMs = 100;

// Each of these runs as a sequence on the line (after any exchange that is
// running), its pauses on timers.

// Sets the target in the controller: set-RA, 100 ms, set-DEC. The one-character
// acknowledgements are awaited under the set-target kind, which nothing reads.
void setObject(BoardLine& line, const BoardPosition& target);

// Slews to the target that the controller already holds. Its acknowledgement
// is awaited under the set-target kind as well, so that it can never be read
// as a position reply left over from polling.
void gotoObject(BoardLine& line);

// Makes the target the mount's current position: set-RA, 100 ms, set-DEC,
// 100 ms, "#:CM#", 100 ms; then asks for the position, so the position boxes
// show what the controller now reports and the acknowledgements are discarded
// rather than cut up as a position.
void syncObject(BoardLine& line, const BoardPosition& target, ReplyHandler positionRead);

// Reads back the controller's target ("#:Gr##:Gd#", 14 characters awaited).
void getObject(BoardLine& line, ReplyHandler targetRead);

} // namespace corvane
