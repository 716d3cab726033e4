#pragma once

#include "sim/SimLine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

namespace corvane::sim {

// Serves a simulated board on a pseudo-terminal: any serial client (this
// program's real serial port included) opens the slave device and talks to
// the board as over RS-232. The server keeps a handle on the slave itself, so
// a client may close and reopen the device freely. Replies are written out
// as the line's time line makes them due.
class PtyServer : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(SimLine& line, QObject* parent = nullptr);
    ~PtyServer() override;

    // Creates the pseudo-terminal in raw mode at 9600 baud.
    bool open(QString* error);
    // The slave device clients open, e.g. /dev/pts/7.
    QString devicePath() const { return m_path; }
    // Microseconds on the line's time line (0 when the server was built).
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }

signals:
    // The adapter vanished (fault injection): the device is gone.
    void vanished();

private:
    void onReadable();
    void onTick();
    void flushUnsent();
    void arm();
    void shutDown();

    SimLine& m_line;
    QElapsedTimer m_clock;
    int m_master = -1;
    int m_keeper = -1;
    QString m_path;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_tick;
    QByteArray m_unsent;
};

} // namespace corvane::sim
