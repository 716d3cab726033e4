#pragma once

#include "link/SerialPort.h"
#include "sim/SimLine.h"
#include "sim/SimLog.h"

#include <QSet>
#include <QTimer>

namespace corvane {
class Clock;
}

namespace corvane::sim {

// A serial port with the simulated board behind port 1, for running the
// program without hardware. Replies fall due on the line's time line, read
// from the injected clock: the waiting count and read-all see only the bytes
// whose time has come, so a blocking pause of the program lets a paced reply
// arrive just as on a real line, and a timer raises the receive notification
// when the awaited count will have arrived. Unpaced, replies are there at
// once. A fault "vanish" closes the port and reports it lost, as an
// unplugged adapter does.
class SimSerialPort : public SerialPort {
    Q_OBJECT
public:
    static constexpr int kBoardPort = 1;

    SimSerialPort(Clock& clock, const SimOptions& options = SimOptions(),
                  QObject* parent = nullptr);
    // Builds the port from option text ("--firmware 3.50 --no-pacing").
    // Returns nullptr and a message when an option is bad.
    static SimSerialPort* create(Clock& clock, const QStringList& arguments, QString* error);

    bool isOpen() const override { return m_open; }
    bool open(QString* error) override;
    void close() override;
    int waitingCount() override;
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;
    QString deviceName(int n) const override;

    SimLine& line() { return m_line; }
    CorvaneBoard& board() { return m_line.board(); }

    // Moves the bytes that have fallen due into the input buffer, raises the
    // notification when the awaited count is there and waits for the next.
    void pump();
    // The adapter is pulled out: the port closes and reports it lost.
    void unplug();
    // ... and plugged back in: the port can be opened again.
    void replug() { m_unplugged = false; }
    bool isUnplugged() const { return m_unplugged; }
    // Why the port could not be set up as asked (the log file), or empty.
    QString setupError() const { return m_setupError; }
    // Another port number that opens, with a device behind it that never
    // answers (a GPS, a board that is switched off).
    void addSilentPort(int n) { m_silentPorts.insert(n); }

private:
    qint64 nowUs() const;
    void collectDue();
    void arm();

    Clock& m_clock;
    SimLine m_line;
    SimLog m_log;
    QTimer m_timer;
    QByteArray m_input;
    bool m_open = false;
    bool m_unplugged = false;
    QString m_setupError;
    QSet<int> m_silentPorts;
};

} // namespace corvane::sim
