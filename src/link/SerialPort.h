#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

namespace corvane {

// The serial port as the program uses it: a port number 1..16, open/close,
// a receive threshold that raises one notification once that many characters
// are waiting, the waiting count, read-all and write of 8-bit text.
//
// Implementations: QtSerialPort (the real line), FakeSerialPort (tests),
// SimSerialPort (the simulated board).
class SerialPort : public QObject {
    Q_OBJECT
public:
    // Notification kinds, as delivered by commEvent().
    enum Event { Received = 2, Lost = 1000 };

    explicit SerialPort(QObject* parent = nullptr);

    virtual int portNumber() const { return m_portNumber; }
    virtual void setPortNumber(int n) { m_portNumber = n; }

    virtual bool isOpen() const = 0;
    // Opens the port; on failure returns false and fills `error` with the
    // platform's own description.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;

    // Awaited character count; 0 raises no notification.
    void setThreshold(int n);
    int threshold() const { return m_threshold; }

    // Characters waiting to be read.
    virtual int waitingCount() = 0;
    // Returns and removes everything waiting.
    virtual QByteArray readAll() = 0;
    // Writes the bytes unchanged, in order; they go on the line as soon as
    // the event loop turns (a pause that follows is a timer, so it really
    // separates two commands).
    virtual void write(const QByteArray& bytes) = 0;
    virtual QString settingsText() const { return QStringLiteral("9600,n,8,1"); }

    // Describes the device behind a port number (tool tips of the port menu).
    virtual QString deviceName(int n) const;
    // Which adapter had which number last time (from the settings file), and
    // which to remember now; number -> device identity. Ports whose numbers
    // name the device (COMn, the simulated board) remember nothing. Given
    // before the ports are first probed.
    virtual void rememberDevices(const QMap<int, QString>& identities) { Q_UNUSED(identities); }
    virtual QMap<int, QString> deviceIdentities() const { return {}; }

signals:
    // Raised on the event loop, never inside a running handler.
    void commEvent(int kind);
    // Characters may have arrived: this many are waiting now.
    void waitingChanged(int waiting);

protected:
    // Implementations call this whenever characters may have arrived. It
    // queues one Received notification when the threshold is reached.
    void checkThreshold();
    // Implementations call this when the device vanished while open.
    void reportLost();

private:
    void deliverReceived();

    int m_portNumber = 1;
    int m_threshold = 0;
    int m_lastWaiting = 0;
    bool m_notifyQueued = false;
};

} // namespace corvane
