#include "link/SerialPort.h"

#include <QMetaObject>

namespace corvane {

SerialPort::SerialPort(QObject* parent) : QObject(parent) {}

void SerialPort::setThreshold(int n) {
    m_threshold = n < 0 ? 0 : n;
    checkThreshold();
}

bool SerialPort::probe(QString* error) {
    if (!open(error))
        return false;
    close();
    return true;
}

bool SerialPort::bindNetwork(int n, const QString& address, QString* why) {
    Q_UNUSED(n);
    Q_UNUSED(address);
    if (why)
        *why = QStringLiteral("This port cannot be bound to a network address.");
    return false;
}

QString SerialPort::deviceName(int n) const {
    return QStringLiteral("COM%1").arg(n);
}

void SerialPort::checkThreshold() {
    if (!isOpen())
        return;
    // Told whenever characters may have come: a count equal to the last one
    // can be new characters after the input was drained.
    const int waiting = waitingCount();
    if (waiting > 0 || waiting != m_lastWaiting) {
        m_lastWaiting = waiting;
        emit waitingChanged(waiting);
    }
    if (m_notifyQueued || m_threshold <= 0 || waiting < m_threshold)
        return;
    m_notifyQueued = true;
    QMetaObject::invokeMethod(
        this, [this] { deliverReceived(); }, Qt::QueuedConnection);
}

void SerialPort::deliverReceived() {
    m_notifyQueued = false;
    // Input flushed by a send since the notification was queued no longer
    // makes a reception: a stale notification must not dispatch an empty reply.
    if (!isOpen() || m_threshold <= 0 || waitingCount() < m_threshold)
        return;
    emit commEvent(Received);
}

void SerialPort::reportLost() {
    QMetaObject::invokeMethod(
        this, [this] { emit commEvent(Lost); }, Qt::QueuedConnection);
}

} // namespace corvane
