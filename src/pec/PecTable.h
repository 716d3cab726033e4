#pragma once

#include "link/Query.h"
#include "link/Sequence.h"

#include <QPointF>
#include <QString>
#include <QVector>

namespace corvane {

class BoardLine;

// The controller's PEC table: one code digit for each of the 256 steps of
// the right-ascension worm. While the speeds are rebuilt, code 1 raises the
// requested correction speed by the factor, 2 lowers it by the factor, 3 sets
// it to 0, and any other digit leaves it as it is. The speed the board can
// really make is the requested one limited to +-47.
constexpr int kPecSteps = 256;
constexpr int kPecSpeedLimit = 47;

// The read-out: 256 one-digit answers collected as one reply of text.
constexpr qint16 kPecTableKind = 12;
Query pecTableQuery();

struct PecRow {
    int step;
    int factor;
    int code;
    int requested;
    int actual;
};

struct PecTable {
    QVector<PecRow> rows;
    bool isComplete() const { return rows.size() == kPecSteps; }
};

// Rebuilds the speeds from the read-out reply, one character per step. A
// character that is not a decimal digit, or the end of the reply, ends the
// table at that step; the rows before it are kept.
PecTable decodePecTable(const QString& reply, int factor);

// The column view: a header, then per step "000", factor, code, requested,
// actual and the two limits, TAB-separated, each line ended by CR LF.
QString pecColumnView(const PecTable& table);
// The CSV text that is saved to a file: a header, then per step
// "factor, code, requested, actual, 47, -47", each line ended by CR LF.
QString pecCsvText(const PecTable& table);
// (step, actual speed) for the chart.
QVector<QPointF> pecChartPoints(const PecTable& table);

// "#n:VR#" asks for the code of step n; "#n:XRc#" writes code c there.
QString pecReadCommand(int step);
QString pecWriteCommand(int step, int code);

// Reads the whole table: 256 queries back to back, without waiting; the board
// answers each with one digit, and the 256 answers come as one reception of
// the table kind (to the dispatcher's subscribers). When they do not all come
// in time, the sequence ends as timed out. Refused while another sequence runs.
Sequence pecReadoutSequence(BoardLine& line, ReplyHandler tableRead);

} // namespace corvane
