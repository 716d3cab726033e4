#pragma once

#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"

#include <QByteArray>
#include <QString>

namespace corvane::sim::test {

// 2000-01-01 12:00 UT, when Greenwich mean sidereal time was 18.697374558 h.
constexpr qint64 kJ2000UtcMs = 946728000000LL;

inline BoardConfig boardAt(double firmware, double speedup = 60.0) {
    BoardConfig c;
    c.firmware = firmware;
    c.speedup = speedup;
    c.utcMsAtStart = kJ2000UtcMs;
    return c;
}

// Sends a stream to the board at one moment; returns all replies joined.
inline QByteArray run(CorvaneBoard& board, const QByteArray& stream, qint64 atMs = -1) {
    CommandTokenizer t;
    QByteArray replies;
    for (const BoardCommand& c : t.feed(stream))
        replies += board.execute(c, atMs < 0 ? board.nowMs() : atMs);
    return replies;
}

// The whole settings dump, asked for as the board's firmware wants it.
inline QByteArray dump(CorvaneBoard& board) {
    return run(board, board.splitDump() ? "#<:VX##>:VX#" : "#:VX#");
}

// Byte i of a reply as a number 0..255.
inline int byteAt(const QByteArray& reply, int i) {
    return static_cast<uchar>(reply.at(i));
}

// Bytes as upper-case hex pairs separated by blanks: "50 0F 20".
inline QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace corvane::sim::test
