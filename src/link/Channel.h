#pragma once

#include "common/Clock.h"
#include "link/Query.h"
#include "link/Reply.h"
#include "link/SequenceRunner.h"

#include <QObject>
#include <QString>

namespace corvane {

class SerialPort;

// The command channel: one serial port, the awaited reply, the receive
// handling and the sequence runner. It carries bytes and knows no subsystem:
// each subsystem declares its queries (link/Query.h), and a request carries
// the handler its reply goes to, and only there. One request is outstanding
// at a time; a reply is
// recognised by its awaited length alone, and it has a deadline: when a reply
// the program reads does not come, the awaited state is reset, so the next
// exchange starts clean.
class Channel : public QObject {
    Q_OBJECT
public:
    // The settle: characters arriving within this time of the awaited count
    // belong to the same reception.
    static constexpr int kSettleMs = 20;

    explicit Channel(Clock& clock, QObject* parent = nullptr);

    void setPort(SerialPort* port);
    SerialPort* port() const { return m_port; }
    bool isOpen() const;
    Clock& clock() const { return m_clock; }
    SequenceRunner& runner() { return m_runner; }
    // Runs a sequence on this channel (or queues it; see SequenceRunner).
    bool run(Sequence sequence) { return m_runner.run(std::move(sequence)); }
    bool follow(Sequence sequence) { return m_runner.follow(std::move(sequence)); }

    // Awaits the query's reply from the next send on; the reply, or why
    // there is none, goes to `handler` (none: the reply is only shown).
    void expect(const Query& query, ReplyHandler handler = {});
    // Awaits the query's reply and sends its command.
    void request(const Query& query, ReplyHandler handler = {});
    // The raw terminal: the next reception is shown as it comes (in hex when
    // it starts with a control or high byte) and not read.
    void expectManualCommand();
    // The port's receive threshold alone, the awaited reply left as it is.
    void setAwaitedCount(int n);

    int awaitedCount() const;
    qint16 awaitedKind() const { return m_query.awaitedKind; }
    ReplyForm replyForm() const { return m_query.form; }
    // A reply is on its way (one the program reads, or an answer it lets go
    // but keeps off the next request).
    bool isAwaitingReply() const { return m_awaiting; }
    // The awaited reply collects the answers of several commands: a command
    // without an answer of its own may go out meanwhile.
    bool isCollecting() const { return m_awaiting && m_query.collects; }
    // expect() was called and the command it awaits a reply to not yet sent.
    bool isRequestArmed() const { return m_requestArmed; }
    bool lastRequestTimedOut() const { return m_lastTimedOut; }
    // After a time-out the reply may still come, late: until it has come (and
    // been thrown away) or another time-out's length has passed, the line is
    // not free for the next request, so a late reply can never pass for the
    // answer to the next query.
    bool isQuarantined() const { return m_lateCharacters > 0; }
    // A reply is on its way or a late one may still come.
    bool isLineBusy() const { return m_awaiting || isQuarantined(); }

    // Writes a command unchanged when the port is open, discarding waiting
    // input first unless the awaited reply collects the answers of several.
    void send(const QString& command);
    void flushInput();

signals:
    // Bytes written to the line, as they went.
    void written(const QByteArray& bytes);
    // One reception, before it is dispatched, and how it is shown.
    void received(const QByteArray& bytes, corvane::ReplyForm form);
    // After every reception has been shown and dispatched.
    void receptionHandled();
    // Characters waiting while a reply is collected (the PEC table's progress).
    void arriving(int waiting, int awaited);
    // The awaited reply came (true), or will not come: it timed out or was
    // superseded by another send (false).
    void requestEnded(bool answered);
    // The reply to the named query did not come in time.
    void timedOut(const QString& queryName);
    // The line is free for the next request (a reply came, or the wait for a
    // late one ended).
    void lineFree();
    // The device vanished while open; the port has been closed.
    void lost();

private:
    void onCommEvent(int kind);
    void settled(quint64 flushCount);
    bool awaitsRestOfText(const QByteArray& buffer) const;
    void deliver(const QByteArray& buffer);
    void startRequest(int charactersSent);
    void endRequest(bool answered, ReplyFailure why = ReplyFailure::Cancelled);
    void fail(ReplyFailure why);
    void onDeadline();
    void onArrival(int waiting);
    void endQuarantine();

    Clock& m_clock;
    SerialPort* m_port = nullptr;
    SequenceRunner m_runner;

    Query m_query;
    // Whoever asked for the awaited reply.
    ReplyHandler m_handler;
    bool m_detectForm = false;
    // The request: armed by expect(), outstanding from its first send.
    bool m_requestArmed = false;
    bool m_awaiting = false;
    bool m_lastTimedOut = false;
    int m_requestCharacters = 0;
    Clock::Ticket m_deadline = 0;
    // The quarantine after a time-out: characters of the late reply still to
    // come, and when the wait for them ends anyway.
    int m_lateCharacters = 0;
    Clock::Ticket m_quarantineEnd = 0;
    // Receive handling: the settle under way, and a count of input flushes
    // so that a reception flushed meanwhile is not delivered.
    bool m_settling = false;
    quint64 m_flushes = 0;
    // The first characters of a reply read up to its "#", held until the
    // "#" is in (or the request's deadline ends the wait).
    QByteArray m_partial;
};

} // namespace corvane
