#include "common/FakeSerialPort.h"

#include "common/Clock.h"

namespace corvane::test {

FakeSerialPort::FakeSerialPort(const Clock* clock, QObject* parent)
    : SerialPort(parent), m_clock(clock) {}

bool FakeSerialPort::open(QString* error) {
    ++openCalls;
    if (!openable.contains(portNumber())) {
        if (error)
            *error = busyError.value(portNumber(), QStringLiteral("The port is not available."));
        return false;
    }
    m_open = true;
    m_input.clear();
    return true;
}

QByteArray FakeSerialPort::readAll() {
    QByteArray out = m_input;
    m_input.clear();
    return out;
}

void FakeSerialPort::write(const QByteArray& bytes) {
    if (!m_open)
        return;
    writes.append({m_clock ? m_clock->nowMs() : 0, bytes});
    if (responder)
        feed(responder(bytes));
}

void FakeSerialPort::feed(const QByteArray& bytes) {
    if (!m_open || bytes.isEmpty())
        return;
    m_input += bytes;
    checkThreshold();
}

void FakeSerialPort::unplug() {
    m_open = false;
    m_input.clear();
    reportLost();
}

QStringList FakeSerialPort::writtenCommands() const {
    QStringList out;
    for (const Write& w : writes)
        out << QString::fromLatin1(w.bytes);
    return out;
}

QStringList FakeSerialPort::timeline() const {
    QStringList out;
    for (const Write& w : writes)
        out << QStringLiteral("%1: %2")
                   .arg(w.atMs - writes.first().atMs)
                   .arg(QString::fromLatin1(w.bytes));
    return out;
}

} // namespace corvane::test
