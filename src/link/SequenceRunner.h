#pragma once

#include "common/Clock.h"
#include "link/Sequence.h"

#include <QObject>
#include <QQueue>
#include <optional>

namespace corvane {

class Channel;

// Runs sequences on one channel, one at a time and without blocking the event
// loop. A sequence asked for while another runs waits its turn. An exclusive
// one (a long exchange such as a table read-out) waits too behind short
// exchanges (a query, the few commands of a sync), which end by themselves a
// moment later, but is refused while a long exchange runs or waits (one that
// is exclusive, protected or of more than a few commands: a table written, a
// file's settings replayed, a backup's read), so two long exchanges never
// wait behind each other. A turn comes only once the
// line is free: the reply last asked for is in (a new request would flush it
// away, or meet it on the line), or its wait has ended. The user's STOP
// cancels what is not protected; a lost port ends everything.
class SequenceRunner : public QObject {
    Q_OBJECT
public:
    SequenceRunner(Channel& channel, Clock& clock, QObject* parent = nullptr);

    // Starts the sequence or queues it; false when an exclusive sequence was
    // refused because a long exchange runs or waits.
    bool run(Sequence sequence);
    // The sequel of the sequence now ending (called from its end, e.g. after
    // the user confirmed what a read-out showed): runs next, ahead of those
    // that queued meanwhile, so nothing gets between the two and an exclusive
    // sequel is not refused for a poll that came while a dialog was open.
    // Elsewhere the same as run().
    bool follow(Sequence sequence);
    bool isBusy() const { return m_current.has_value() || !m_queue.isEmpty(); }
    // An exclusive sequence asked for now with run() would be refused.
    bool refusesExclusive() const { return holdsLongExchange(); }
    bool isRunningProtected() const { return m_current && m_current->isProtected(); }
    // A long exchange (a PEC read-out or restore) runs.
    bool isRunningExclusive() const { return m_current && m_current->isExclusive(); }
    QString runningName() const { return m_current ? m_current->name() : QString(); }

    // Writes a command that has no answer (a stop) as soon as the line
    // allows, ahead of every waiting sequence and between the steps of the
    // running one, which goes on: at once when no reply is awaited or the one
    // awaited collects the answers of several commands; otherwise as soon as
    // it is in, or its wait has ended. `cause` names who asked for it.
    void interject(const QString& command, const QString& cause);
    // Whom the write being made is for: the running sequence while one of its
    // steps runs, the asker of an interjected command; empty otherwise (the
    // window's own writes).
    QString writer() const;

    // The user's STOP: ends the running sequence as cancelled, unless it is
    // protected, and drops the waiting ones; cancelling() comes first, so
    // that whoever keeps requests of its own to run drops them too.
    void cancel();
    // Ends everything, protected or not (the port is gone).
    void abort(SequenceResult why);

signals:
    void progress(int value, int total);
    void finished(const QString& name, corvane::SequenceResult result);
    void cancelling();

private:
    enum class State { Idle, Running, Pausing, AwaitingReply, Finishing };
    // Commands a short exchange sends at most (a sync: two coordinates, the
    // sync and a position query).
    static constexpr int kShortExchangeCommands = 4;
    static bool isLong(const Sequence& sequence);
    bool holdsLongExchange() const;
    void start(Sequence sequence);
    void advance();
    void finish(SequenceResult result);
    void onRequestEnded(bool answered);
    void dropQueued(SequenceResult why);
    void startNextWhenLineIsFree();
    void sendInterjections();

    Channel& m_channel;
    Clock& m_clock;
    std::optional<Sequence> m_current;
    int m_next = 0;
    State m_state = State::Idle;
    // Changes whenever the running sequence ends, so that a callback of an
    // ended sequence (a pause, a question) can tell and do nothing.
    quint64 m_generation = 0;
    Clock::Ticket m_pause = 0;
    QQueue<Sequence> m_queue;
    struct Interjection {
        QString command;
        QString cause;
    };
    QQueue<Interjection> m_interjections;
    // A step of the running sequence runs (so its writes are its own), or an
    // interjection is written for its asker.
    bool m_stepping = false;
    QString m_interjecting;
};

} // namespace corvane
