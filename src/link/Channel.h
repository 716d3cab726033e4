#pragma once

#include "common/Clock.h"
#include "link/Dispatcher.h"
#include "link/SequenceRunner.h"

#include <QObject>
#include <QString>

namespace corvane {

class SerialPort;

// Reply kinds: the code a requester stores before it sends, telling the
// dispatcher how to read the reply that comes back.
namespace ReplyKind {
constexpr qint16 None = -1;         // nothing awaited (after a time-out)
constexpr qint16 SiderealTime = -2; // awaited only to be let go
constexpr qint16 Version = 0;
constexpr qint16 RightAscension = 1;
constexpr qint16 Declination = 2;
constexpr qint16 SettingsDump = 3;
constexpr qint16 PecState = 4;
constexpr qint16 PecTable = 12;
constexpr qint16 ControllerTarget = 98;
constexpr qint16 Position = 99;
constexpr qint16 Position2 = 100;
constexpr qint16 SetTarget = 999;
// An answer the program only lets go (a set command's "1"/"0"), awaited so
// that it cannot meet the next request on the line; nothing decodes it.
constexpr qint16 Acknowledgement = SetTarget;
constexpr qint16 RawTerminal = 1000;
} // namespace ReplyKind

// How a reception is shown: as text, or byte by byte as two upper-case hex
// digits and a blank (the settings dump and the PEC state are raw bytes).
enum class ReplyFormat { Text, Hex };

// The command channel: one serial port, the awaited-reply state, the receive
// handling and the sequence runner. One request is outstanding at a time; a
// reply is recognised by its awaited length alone, and a reply that the
// program reads has a deadline: when it does not come, the awaited state is
// reset, so the next exchange starts clean.
class Channel : public QObject {
    Q_OBJECT
public:
    // The settle: characters arriving within this time of the awaited count
    // belong to the same reception.
    static constexpr int kSettleMs = 20;
    // How long to wait for a reply: its characters and the command's at 9600
    // baud (960 a second), plus this margin.
    static constexpr int kReplyMarginMs = 1000;
    static int replyTimeoutMs(int charactersSent, int charactersAwaited);
    // An acknowledgement that nothing reads is awaited only this much longer
    // than its line time, then let go without a word.
    static constexpr int kLetGoMarginMs = 200;
    static int letGoTimeoutMs(int charactersSent, int charactersAwaited);

    explicit Channel(Clock& clock, QObject* parent = nullptr);

    void setPort(SerialPort* port);
    SerialPort* port() const { return m_port; }
    bool isOpen() const;
    Clock& clock() const { return m_clock; }
    ReplyDispatcher& dispatcher() { return m_dispatcher; }
    SequenceRunner& runner() { return m_runner; }
    // Runs a sequence on this channel (or queues it; see SequenceRunner).
    bool run(Sequence sequence) { return m_runner.run(std::move(sequence)); }

    // Awaited-reply state.
    void expect(ReplyFormat format, qint16 kind, int count);
    void setAwaitedCount(int n);
    int awaitedCount() const;
    qint16 awaitedKind() const { return m_kind; }
    ReplyFormat replyFormat() const { return m_format; }
    // The raw terminal: the next reception is shown as it comes (hex when it
    // starts with a control or high byte) and not interpreted.
    void expectTerminalReply();
    bool isDispatchArmed() const { return m_dispatchArmed; }
    void armDispatch() { m_dispatchArmed = true; }
    // A reply is on its way (one the program reads, or an acknowledgement
    // it lets go but keeps off the next request).
    bool isAwaitingReply() const { return m_awaiting; }
    bool lastRequestTimedOut() const { return m_lastTimedOut; }
    // After a time-out the reply may still come, late: until it has come (and
    // been thrown away) or another time-out's length has passed, the line is
    // not free for the next request, so a late reply can never pass for the
    // answer to the next query.
    bool isQuarantined() const { return m_lateCharacters > 0; }
    // A reply is on its way or a late one may still come.
    bool isLineBusy() const { return m_awaiting || isQuarantined(); }

    // Writes a command unchanged when the port is open, discarding waiting
    // input first unless the PEC table read-out is collecting replies.
    void send(const QString& command);
    void flushInput();

    // Queries.
    void getVer();
    void getPos();
    void getPos2();
    void getRA();
    void getDEC();
    void getSettings(bool splitSettingsDump);
    void getPECState();

    // Two upper-case hex digits and a blank per byte.
    static QString hexText(const QByteArray& bytes);

signals:
    // One reception, formatted for the response box, before it is dispatched.
    void received(const QString& text);
    // After every reception has been shown and dispatched.
    void receptionHandled();
    // Characters waiting while a reply is collected (the PEC table's progress).
    void arriving(int waiting, int awaited);
    // The awaited reply came (true), or will not come: it timed out or was
    // superseded by another send (false).
    void requestEnded(bool answered);
    // The reply of this kind did not come in time.
    void timedOut(qint16 kind);
    // The line is free for the next request (a reply came, or the wait for a
    // late one ended).
    void lineFree();
    // The device vanished while open; the port has been closed.
    void lost();

private:
    void onCommEvent(int kind);
    void settled(quint64 flushCount);
    void startRequest(int charactersSent);
    void endRequest(bool answered);
    void onDeadline();
    void onArrival(int waiting);
    void endQuarantine();

    Clock& m_clock;
    SerialPort* m_port = nullptr;
    ReplyDispatcher m_dispatcher;
    SequenceRunner m_runner;

    qint16 m_kind = ReplyKind::Version;
    ReplyFormat m_format = ReplyFormat::Text;
    bool m_detectFormat = false;
    bool m_dispatchArmed = false;
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
};

// The command strings that the queries send.
namespace Cmd {
inline const char* const GetVersion = "#:GV#";
inline const char* const GetPosition = "#:GR##:GD#";
inline const char* const GetRA = "#:GR#";
inline const char* const GetDEC = "#:GD#";
inline const char* const GetTarget = "#:Gr##:Gd#";
inline const char* const GetSiderealTime = "#:GS#";
inline const char* const GetSettings = "#:VX#";
inline const char* const GetSplitSettings = "#<:VX##>:VX#";
inline const char* const GetPecState = "#:VS#";
inline const char* const StopAll = "#:Q#";
} // namespace Cmd

} // namespace corvane
