#include "link/NetworkLine.h"

#include <QEventLoop>
#include <QTimer>

namespace corvane {

NetworkLine::NetworkLine(QObject* parent) : QObject(parent), m_attemptLimit(new QTimer(this)) {
    m_attemptLimit->setObjectName(QStringLiteral("NetworkAttemptLimit"));
    m_attemptLimit->setSingleShot(true);
    connect(m_attemptLimit, &QTimer::timeout, this, &NetworkLine::dropAttempt);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        if (m_up)
            emit readyRead();
    });
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        if (m_attempt != Attempt::Connecting)
            return;
        m_attemptLimit->stop();
        m_attempt = Attempt::Ready;
        emit readyToOpen();
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, &NetworkLine::onBroken);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetworkLine::onBroken);
}

NetworkLine::~NetworkLine() {
    m_up = false;
    if (m_connecting)
        m_connecting->quit();
    m_socket.abort();
}

bool NetworkLine::open(const QString& host, quint16 port, QString* error) {
    if (m_connecting) {
        if (error)
            *error = busyText();
        return false;
    }
    close();
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    m_connecting = &loop;
    m_cancelled = false;
    m_socket.connectToHost(host, port);
    // The socket may have failed at once; wait only while there is
    // something to wait for.
    const auto waiting = [this] {
        const QAbstractSocket::SocketState s = m_socket.state();
        return s == QAbstractSocket::HostLookupState || s == QAbstractSocket::ConnectingState;
    };
    if (waiting()) {
        limit.start(m_connectMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_connecting = nullptr;
    disconnect(&m_socket, nullptr, &loop, nullptr);
    if (m_socket.state() == QAbstractSocket::ConnectedState && !m_cancelled) {
        takeConnection();
        return true;
    }
    if (error)
        *error = failureText(host, port, waiting());
    m_socket.abort();
    return false;
}

void NetworkLine::takeConnection() {
    // A command goes out when it is written, not when a segment is full.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_up = true;
    // Bytes that came while connecting are announced like any others.
    if (m_socket.bytesAvailable() > 0)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_up)
                    emit readyRead();
            },
            Qt::QueuedConnection);
}

bool NetworkLine::openWithoutWaiting(const QString& host, quint16 port, QString* error) {
    if (m_connecting || m_up) {
        if (error)
            *error = m_up ? QStringLiteral("The line is open already.") : busyText();
        return false;
    }
    const QString target = host + QLatin1Char(' ') + QString::number(port);
    if (m_attempt != Attempt::None && m_attemptTarget == target) {
        if (m_attempt == Attempt::Ready && m_socket.state() == QAbstractSocket::ConnectedState) {
            m_attempt = Attempt::None;
            takeConnection();
            return true;
        }
        if (error)
            *error = busyText();
        return false;
    }
    dropAttempt();
    m_attempt = Attempt::Connecting;
    m_attemptTarget = target;
    m_attemptLimit->start(m_connectMs);
    m_socket.connectToHost(host, port);
    if (error)
        *error = busyText();
    return false;
}

void NetworkLine::dropAttempt() {
    if (m_attempt == Attempt::None)
        return;
    m_attempt = Attempt::None;
    m_attemptLimit->stop();
    m_socket.abort();
}

QString NetworkLine::failureText(const QString& host, quint16 port, bool timedOut) const {
    if (m_cancelled)
        return QStringLiteral("The connection was cancelled");
    if (timedOut) {
        const QString target =
            host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
        return QStringLiteral("No answer from %1:%2 within %3 s")
            .arg(target)
            .arg(port)
            .arg(m_connectMs / 1000.0, 0, 'g', 3);
    }
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("Connection refused");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("Host not found");
    default:
        return m_socket.errorString(); // "Network unreachable", ...
    }
}

void NetworkLine::close() {
    if (m_connecting) {
        m_cancelled = true;
        m_connecting->quit();
        m_socket.abort();
        return;
    }
    dropAttempt();
    const bool wasUp = m_up;
    m_up = false;
    if (!wasUp)
        return;
    // A command written just before closing (the stop at exit) is still in
    // the socket's buffer until the event loop turns: hand it to the system
    // first, which sends it after the close as well.
    constexpr int kLastWriteMs = 200;
    if (m_socket.bytesToWrite() > 0) {
        m_socket.flush();
        if (m_socket.bytesToWrite() > 0)
            m_socket.waitForBytesWritten(kLastWriteMs);
    }
    m_socket.abort();
}

void NetworkLine::write(const QByteArray& bytes) {
    if (m_up)
        m_socket.write(bytes);
}

// The bridge hung up, lost power or the network failed: like an unplugged
// adapter, the line is closed and reported lost once.
void NetworkLine::onBroken() {
    if (!m_up) {
        // An attempt that failed (refused, unreachable) or whose connection
        // the bridge closed before it was taken: the next call starts afresh.
        dropAttempt();
        return;
    }
    m_up = false;
    m_socket.abort();
    emit lost();
}

} // namespace corvane
