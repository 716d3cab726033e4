#pragma once

#include "common/Clock.h"

#include <QObject>
#include <QString>

namespace corvane {

class SerialPort;

// Reply kinds: the code a requester stores before it sends, telling the
// dispatcher how to read the reply that comes back.
namespace ReplyKind {
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
constexpr qint16 RawTerminal = 1000;
} // namespace ReplyKind

// The command channel: one serial port, the awaited-reply state and the
// receive handling. Only one request is outstanding at a time; a reply is
// recognised by its awaited length alone.
class Channel : public QObject {
    Q_OBJECT
public:
    explicit Channel(Clock& clock, QObject* parent = nullptr);

    void setPort(SerialPort* port);
    SerialPort* port() const { return m_port; }
    bool isOpen() const;
    Clock& clock() const { return m_clock; }

    // Awaited-reply state.
    qint16 awaitedKind = 0;
    int hexReply = 0;
    bool detectBinary = false;
    bool dispatchArmed = false;
    void setAwaitedCount(int n);
    int awaitedCount() const;
    // Sets display mode, kind and count in that order.
    void expect(int hex, qint16 kind, int count);

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
    // One reception, already formatted for the response box. The window shows
    // it, dispatches it and refreshes the connection display.
    void received(const QString& text);
    // The device vanished while open; the port has been closed.
    void lost();

private:
    void onCommEvent(int kind);
    void handleReception();

    Clock& m_clock;
    SerialPort* m_port = nullptr;
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
