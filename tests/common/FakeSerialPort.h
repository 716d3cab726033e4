#pragma once

#include "common/Clock.h"
#include "link/SerialPort.h"

#include <QMap>
#include <QSet>
#include <QVector>
#include <functional>
#include <utility>

namespace corvane::test {

// An in-memory serial port. Tests choose which port numbers open, feed
// incoming bytes (or answer each write), and read back every write with the
// time it was made.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    struct Write {
        qint64 atMs;
        QByteArray bytes;
    };

    explicit FakeSerialPort(const Clock* clock = nullptr) : m_clock(clock) {}

    // Port numbers that open; others fail with `busyError` (or a default).
    QSet<int> openable = {1};
    QMap<int, QString> busyError;
    int openCalls = 0;
    std::function<QByteArray(const QByteArray&)> responder;
    QVector<Write> writes;

    bool isOpen() const override { return m_open; }
    bool open(QString* error) override {
        ++openCalls;
        m_open = openable.contains(portNumber());
        m_input.clear();
        if (!m_open && error)
            *error = busyError.value(portNumber(), QStringLiteral("The port is not available."));
        return m_open;
    }
    void close() override { m_open = false; }
    int waitingCount() override { return static_cast<int>(m_input.size()); }
    QByteArray readAll() override { return std::exchange(m_input, QByteArray()); }
    void write(const QByteArray& bytes) override {
        if (!m_open)
            return;
        writes.append({m_clock ? m_clock->nowMs() : 0, bytes});
        if (responder)
            feed(responder(bytes));
    }
    // Bytes arriving from the far end; raises the notification when due.
    void feed(const QByteArray& bytes) {
        if (!m_open || bytes.isEmpty())
            return;
        m_input += bytes;
        checkThreshold();
    }
    // The adapter vanishes: the port closes and reports it.
    void unplug() {
        m_open = false;
        m_input.clear();
        reportLost();
    }

    QStringList writtenCommands() const {
        QStringList out;
        for (const Write& w : writes)
            out << QString::fromLatin1(w.bytes);
        return out;
    }
    // Each write as "ms: command", the time counted from the first write.
    QStringList timeline() const {
        QStringList out;
        for (const Write& w : writes)
            out << QStringLiteral("%1: %2")
                       .arg(w.atMs - writes.first().atMs)
                       .arg(QString::fromLatin1(w.bytes));
        return out;
    }
    void clearWrites() { writes.clear(); }

private:
    const Clock* m_clock;
    bool m_open = false;
    QByteArray m_input;
};

} // namespace corvane::test
