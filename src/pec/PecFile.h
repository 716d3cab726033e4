#pragma once

#include "link/Sequence.h"
#include "pec/PecTable.h"

#include <QString>
#include <QVector>
#include <optional>

namespace corvane {

class BoardLine;

// The PEC file is the CSV text of a read-out (pecCsvText) followed by CR LF:
// a header line, then one line per step 0..255 beginning "factor, code, ".
// A restore reads it back by position: the factor is the first character of
// line 2, the code characters 3 and 4 of each table line.

// The file dialog's filter for both the save and the restore.
QString pecFileFilter();

// Appends ".csv" unless the name already ends in a three-letter extension
// (its fourth character from the end is "."); a name shorter than four
// characters keeps its name only when it begins with ".". An empty name
// (no file chosen) stays empty.
QString withCsvExtension(const QString& name);

// Writes the text and a final CR LF through a temporary file that then
// replaces the old one, so a failed save leaves the old file whole. Only a
// regular file (or a new one) is written. False, with the reason, on failure.
bool writePecCsv(const QString& path, const QString& csvText, QString* error);

// What a restore sends: the factor and the 256 codes.
struct RestorePlan {
    int factor = 0;
    QVector<int> codes;
    // What the CSV box shows after a restore: the factor, then each code,
    // one a line, each ended by CR LF.
    QString echoText;
};

// Reads and checks the whole file before anything is sent, so a file that
// is cut short or damaged never leaves a half-written table in the board.
// The file must have at least 257 lines (CR LF or LF); line 2 must begin with
// the factor, a single digit 1 to 9; every line 2..257 must hold its code at
// characters 3 and 4 (a leading blank skipped): a single digit 0..9, the
// codes the board stores, that no further digit or decimal point continues
// (so "12" or "1.5" is refused rather than cut to 1). nullopt, with a message
// that names the first bad line, when the file fails; also when it cannot
// be opened or is not a regular file.
std::optional<RestorePlan> readRestoreFile(const QString& path, QString* error);

// Writes the plan into the board: the factor "#fp#", then each code with a
// 20 ms pause after it and progress 0..255 of 256, then "#:XYR#" (the board
// keeps the table), 20 ms, "Y" (the board keeps its settings), 20 ms, and the
// state query. Never cut short by STOP, and refused while another sequence
// runs. With the port closed, or a plan that is not a whole table, it sends
// nothing and ends as cancelled.
Sequence pecRestoreSequence(BoardLine& line, const RestorePlan& plan, ReplyHandler stateRead);

constexpr int kPecRestorePauseMs = 20;

// The writing steps of the restore (factor, codes, "#:XYR#", "Y", the state
// query), for a sequence that writes more than the table; the plan must be a
// whole table.
void appendPecWrite(Sequence& s, const RestorePlan& plan, ReplyHandler stateRead);

} // namespace corvane
