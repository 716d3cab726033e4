#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

class QEventLoop;
class QTimer;

namespace corvane {

// The board's line carried over TCP by a serial-to-network bridge (or
// ser2net in raw mode): the bytes of the RS-232 line, unchanged, in a TCP
// stream. The bridge does the 9600 8N1 on its side; here there is nothing to
// set but the connection itself.
//
// QtSerialPort owns one and hands it the port numbers bound to a tcp://
// address, so that above the SerialPort seam a bridge is one more serial
// line: the same replies, pacing, threshold, settles and time-outs.
class NetworkLine : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultConnectMs = 3000;

    explicit NetworkLine(QObject* parent = nullptr);
    ~NetworkLine() override;

    // How long open() may take to find the host and connect.
    void setConnectTimeout(int ms) { m_connectMs = ms > 0 ? ms : kDefaultConnectMs; }
    int connectTimeout() const { return m_connectMs; }

    // Connects to the bridge, returning only once connected or failed, like
    // opening a serial device. Meanwhile a local event loop turns (user input
    // excluded), so a window keeps repainting while a host is looked up or a
    // bridge is slow to answer. On failure `error` says why in a few words
    // ("Connection refused", "Host not found", "No answer from HOST:PORT
    // within 3 s"). A second open() while one is connecting fails at once;
    // close() meanwhile cancels the connecting one.
    bool open(const QString& host, quint16 port, QString* error);
    // Opens without waiting (reconnecting, where the window must not wait
    // for a bridge that does not answer): the first call starts connecting,
    // within the time limit, and returns false; once connected, readyToOpen()
    // is raised and the next call for the same address takes the connection
    // and returns true. Meanwhile a call says the connection is being made;
    // a failed attempt is dropped, and the next call starts another.
    bool openWithoutWaiting(const QString& host, quint16 port, QString* error);
    void close();
    bool isOpen() const { return m_up; }
    // An open() is under way (its event loop is turning).
    bool isConnecting() const { return m_connecting != nullptr; }
    static QString busyText() { return QStringLiteral("A connection is being made already."); }

    qint64 bytesAvailable() const { return m_up ? m_socket.bytesAvailable() : 0; }
    QByteArray readAll() { return m_up ? m_socket.readAll() : QByteArray(); }
    // Queued in order; the socket sends it as soon as the event loop turns,
    // without waiting to fill a segment (Nagle is off).
    void write(const QByteArray& bytes);

signals:
    // Bytes have arrived.
    void readyRead();
    // The bridge closed the connection or it failed while open; the line is
    // closed already. Not raised by close() nor by a failed open().
    void lost();
    // A connection started by openWithoutWaiting() is made.
    void readyToOpen();

private:
    QString failureText(const QString& host, quint16 port, bool timedOut) const;
    void onBroken();
    void takeConnection();
    void dropAttempt();

    enum class Attempt { None, Connecting, Ready }; // of openWithoutWaiting()

    QTcpSocket m_socket;
    int m_connectMs = kDefaultConnectMs;
    bool m_up = false;
    QEventLoop* m_connecting = nullptr; // the loop of an open() under way
    bool m_cancelled = false;
    Attempt m_attempt = Attempt::None;
    QString m_attemptTarget; // "host port" of the attempt
    QTimer* m_attemptLimit;
};

} // namespace corvane
