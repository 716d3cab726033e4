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
// Implementations: QtSerialPort (the real line, a serial device or a
// serial-to-network bridge), FakeSerialPort (tests), SimSerialPort (the
// simulated board). Nothing above this seam knows which kind of line it has:
// replies, pacing, the threshold, settles and time-outs work the same.
//
// Reconnecting after Lost: rescan(), then check that lineIdentity() is still
// the identity of the line that was lost (the number may now stand for
// nothing, or, after a restart of the program, for another line) and that
// presentIdentity() is what it was when the line was opened (a path may lead
// to another device now), then openWithoutWaiting(). Each step is cheap
// enough to repeat once a second while waiting, and none waits for a line.
class SerialPort : public QObject {
    Q_OBJECT
public:
    // Notification kinds, as delivered by commEvent().
    enum Event { Received = 2, Lost = 1000 };

    explicit SerialPort(QObject* parent = nullptr);

    virtual int portNumber() const { return m_portNumber; }
    virtual void setPortNumber(int n) { m_portNumber = n; }

    virtual bool isOpen() const = 0;
    // Opens the port and returns once it is open or has failed; on failure
    // returns false and fills `error` with the reason in a few words (the
    // platform's own description, "Connection refused", ...), which the
    // window shows under "ComN is not available.". A line over the network
    // may take a few seconds to connect; the event loop turns meanwhile
    // (without user input), so windows repaint.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;
    // Whether the current number is worth listing in the port menu; leaves
    // the port closed. By default it opens and closes the port.
    virtual bool probe(QString* error);

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
    // An identity may be a tcp:// address: the number the user bound to a
    // network bridge.
    virtual void rememberDevices(const QMap<int, QString>& identities) { Q_UNUSED(identities); }
    virtual QMap<int, QString> deviceIdentities() const { return {}; }

    // Binds port number n to a serial-to-network bridge, "tcp://HOST:PORT"
    // (the "tcp://" may be left out), from now on and in the next runs
    // (through deviceIdentities()); an empty address removes n's network
    // binding. Returns false with a one-line reason when the address does
    // not parse, n is the port that is open, or this kind of port has no
    // network lines (the default).
    virtual bool bindNetwork(int n, const QString& address, QString* why);
    // Puts back what n stood for before the last bindNetwork() (an address
    // that did not answer takes no binding away).
    virtual void undoNetworkBinding(int n) { Q_UNUSED(n); }
    // What identifies the line behind the current port number: the device
    // identity the settings file keeps (by-id name, usb vid:pid:serial,
    // by-path name or path), a path exactly as --port gave it, or
    // "tcp://HOST:PORT". Empty when nothing stands behind the number. By
    // default the number names the line ("COMn").
    virtual QString lineIdentity() const { return deviceName(portNumber()); }
    // What stands behind the line right now: for a number bound to a device
    // path, the identity of the device the path leads to (the adapter's, else
    // the device node's own, which a new device there does not share); empty
    // when nothing is there. Otherwise lineIdentity().
    virtual QString presentIdentity() const { return lineIdentity(); }
    // Lists the system's serial devices again, so that a number kept for an
    // adapter stands for it wherever it came back (a re-plugged adapter may
    // get another device path). A number never passes to another line, and
    // network and command-line bindings are left alone. Ports whose numbers
    // name the line have nothing to do (the default).
    virtual void rescan() {}
    // How long open() may wait for a network line to answer; 0 for the
    // port's own default. Serial lines open at once and ignore it.
    virtual void setOpenTimeout(int ms) { Q_UNUSED(ms); }
    // Like open(), but never waits on the caller's thread: a line that takes
    // time to open (a network bridge) is only started, false is returned, and
    // openable() is raised once a call would open it at once. By default
    // open().
    virtual bool openWithoutWaiting(QString* error) { return open(error); }

signals:
    // Raised on the event loop, never inside a running handler.
    void commEvent(int kind);
    // Characters may have arrived: this many are waiting now.
    void waitingChanged(int waiting);
    // A line started by openWithoutWaiting() is ready to be opened.
    void openable();

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
