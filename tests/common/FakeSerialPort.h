#pragma once

#include "link/SerialPort.h"

#include <QMap>
#include <QSet>
#include <QVector>
#include <functional>

namespace corvane {
class Clock;
}

namespace corvane::test {

// An in-memory serial port. Tests choose which port numbers open, feed
// incoming bytes, and read back every write with the time it was made.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    struct Write {
        qint64 atMs;
        QByteArray bytes;
    };

    explicit FakeSerialPort(const Clock* clock = nullptr, QObject* parent = nullptr);

    // Port numbers that open; others fail with `busyError` (or a default).
    QSet<int> openable = {1};
    QMap<int, QString> busyError;
    int openCalls = 0;

    bool isOpen() const override { return m_open; }
    bool open(QString* error) override;
    void close() override { m_open = false; }
    int waitingCount() override { return static_cast<int>(m_input.size()); }
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;

    // Bytes arriving from the far end; raises the notification when due.
    void feed(const QByteArray& bytes);
    // Answers each write: return the bytes the far end sends back.
    std::function<QByteArray(const QByteArray&)> responder;
    // The adapter vanishes: the port closes and reports it.
    void unplug();

    QVector<Write> writes;
    QStringList writtenCommands() const;
    // Each write as "ms: command", the time counted from the first write.
    QStringList timeline() const;
    void clearWrites() { writes.clear(); }

private:
    const Clock* m_clock;
    bool m_open = false;
    QByteArray m_input;
};

} // namespace corvane::test
