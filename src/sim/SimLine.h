#pragma once

#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"
#include "sim/FaultInjector.h"
#include "sim/SimOptions.h"

#include <QByteArray>
#include <deque>
#include <functional>

namespace corvane::sim {

// The serial line between a host and the board, on a time line in
// microseconds. Paced, each character takes 1042 us (10 bits at 9600 baud)
// in either direction: a command reaches the board one character at a time,
// the board answers once its last character is in, and the reply's
// characters fall due one after the other, never overlapping the previous
// reply. Unpaced, everything happens at the moment of writing. Faults are
// applied to each reply as it is sent.
class SimLine {
public:
    static constexpr qint64 kCharUs = 1042;
    // The adapter is pulled this long after the last reply it passed, so the
    // host has that reply in hand first.
    static constexpr qint64 kVanishGraceUs = 100000;

    // `utcMsAtZero` is the UTC time (ms since 1970) at time 0 of the line.
    SimLine(const SimOptions& options, qint64 utcMsAtZero);

    CorvaneBoard& board() { return m_board; }
    CommandTokenizer& tokenizer() { return m_tokenizer; }
    FaultInjector& faults() { return m_faults; }
    bool paced() const { return m_charUs > 0; }

    // Bytes from the host, written at `nowUs`.
    void hostWrite(const QByteArray& bytes, qint64 nowUs);
    // Removes and returns the reply bytes due by `nowUs`.
    QByteArray takeDue(qint64 nowUs);
    // Reply bytes not yet taken (due or not).
    int pendingCount() const { return static_cast<int>(m_pending.size()); }
    // When the nth (1-based) pending byte falls due; -1 when there are fewer.
    qint64 dueTimeOf(int n) const;
    // Drops every reply byte not yet taken (the port was closed or reopened).
    void discardPending() { m_pending.clear(); }

    // When the adapter vanishes (a moment after the reply that the faults
    // named); -1 while it does not.
    qint64 vanishAtUs() const { return m_vanishAtUs; }
    // The adapter is back (or has vanished already): nothing more is due.
    void clearVanish() { m_vanishAtUs = -1; }

    // Receives every byte in ('>') and out ('<') with its time, and notes
    // of faults ('!').
    using LogSink = std::function<void(qint64 us, char direction, const QByteArray& bytes)>;
    void setLog(LogSink sink) { m_log = std::move(sink); }

private:
    struct Pending {
        qint64 dueUs;
        char byte;
    };
    void reply(const QByteArray& bytes, qint64 readyUs);
    void log(qint64 us, char direction, const QByteArray& bytes) const;

    CorvaneBoard m_board;
    CommandTokenizer m_tokenizer;
    FaultInjector m_faults;
    qint64 m_charUs;
    qint64 m_inboundFreeUs = 0;  // when the host's last character is in
    qint64 m_outboundFreeUs = 0; // when the board's last character is out
    qint64 m_vanishAtUs = -1;
    std::deque<Pending> m_pending;
    LogSink m_log;
};

} // namespace corvane::sim
