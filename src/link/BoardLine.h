#pragma once

#include "common/Clock.h"
#include "link/Query.h"
#include "link/Reply.h"
#include "link/Sequence.h"

#include <QObject>

namespace corvane {

// The way to the board as the program's parts see it: the mount session's
// one door to the line. Whatever writes to the board (a page's model, the
// terminal, a backup, a client sharing the mount) asks here; the session
// behind it decides what runs now, what waits its turn, what is refused
// while a long exchange runs, and lets a stop through at any time. Nothing
// here names a subsystem: a request carries the handler its reply goes to.
class BoardLine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;
    virtual Clock& clock() const = 0;

    // An exchange: run now or in its turn; false when an exclusive one is
    // refused because a long exchange runs or waits (see SequenceRunner).
    virtual bool run(Sequence sequence) = 0;
    // The sequel of the exchange now ending, ahead of those waiting.
    virtual bool follow(Sequence sequence) = 0;
    // A command without an answer that stops something: written as soon as
    // the line allows, between the steps of a running exchange, which goes
    // on. `cause` names who asked (the traffic log shows it).
    virtual void stop(const QString& command, const QString& cause) = 0;
    // The user's STOP: the running exchange ends unless it must not be cut
    // short, and every waiting one is dropped (cancelling() first, so that
    // whoever keeps requests of its own drops them too).
    virtual void cancelAll() = 0;
    // Exchanges run or wait.
    virtual bool isBusy() const = 0;
    // An exclusive exchange asked for now would be refused.
    virtual bool refusesExclusive() const = 0;
    // A long exchange (a table read-out or restore, a backup) runs: motion
    // asked for by others is refused meanwhile.
    virtual bool isRunningExclusive() const = 0;
    // An exchange that must not be cut short (a table being written) runs,
    // and the name of what runs.
    virtual bool isRunningProtected() const = 0;
    virtual QString runningName() const = 0;

    // The line itself, for an exchange's own steps and single commands:
    // writing (dropped while closed), awaiting a reply for its handler, and
    // the state of the reply awaited.
    virtual void send(const QString& command) = 0;
    virtual void request(const Query& query, ReplyHandler handler = {}) = 0;
    virtual void expect(const Query& query, ReplyHandler handler = {}) = 0;
    // The raw terminal's command: the next reception is shown, not read.
    virtual void expectManualCommand() = 0;
    virtual void flushInput() = 0;
    virtual void setAwaitedCount(int n) = 0;
    virtual bool isAwaitingReply() const = 0;
    virtual bool isCollecting() const = 0;
    virtual bool isRequestArmed() const = 0;
    virtual bool isLineBusy() const = 0;
    virtual bool lastRequestTimedOut() const = 0;

signals:
    // Bytes written to the line, as they went.
    void written(const QByteArray& bytes);
    // One reception and how it is shown (the reply boxes).
    void received(const QByteArray& bytes, corvane::ReplyForm form);
    // After every reception has been shown and handed on.
    void receptionHandled();
    // Characters waiting while a reply is collected (a table's progress).
    void arriving(int waiting, int awaited);
    // The running exchange's progress, and its end.
    void progress(int value, int total);
    void finished(const QString& name, corvane::SequenceResult result);
    void cancelling();
};

} // namespace corvane
