#pragma once

#include "sim/LineServer.h"

class QSocketNotifier;

namespace corvane::sim {

// Serves a simulated board on a pseudo-terminal: any serial client (this
// program's real serial port included) opens the slave device and talks to
// the board as over RS-232. The server keeps a handle on the slave itself, so
// a client may close and reopen the device freely. Replies are written out
// as the line's time line makes them due.
class PtyServer : public LineServer {
    Q_OBJECT
public:
    explicit PtyServer(SimLine& line, QObject* parent = nullptr);
    ~PtyServer() override;

    // Creates the pseudo-terminal in raw mode at 9600 baud.
    bool open(QString* error);
    // The slave device clients open, e.g. /dev/pts/7.
    QString devicePath() const { return m_path; }

private:
    void onReadable();
    void flushUnsent();
    void shutDown();
    bool serving() const override { return m_master >= 0; }
    void deliver(const QByteArray& bytes) override;
    bool backlogged() const override { return !m_unsent.isEmpty(); }
    // The adapter vanished: the device is gone.
    void pullLine() override { shutDown(); }

    int m_master = -1;
    int m_keeper = -1;
    QString m_path;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_unsent;
};

} // namespace corvane::sim
