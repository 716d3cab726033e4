#pragma once

#include "sim/SimLine.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace corvane::sim {

// What serves a simulated board to a client outside this process (a
// pseudo-terminal, a TCP port): the host's bytes go into the line as they
// come, the board's replies out as the line's time line makes them due, and
// a --vanish-after fault pulls the line once its last reply is out.
class LineServer : public QObject {
    Q_OBJECT
public:
    // Microseconds on the line's time line (0 when the server was built).
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }

signals:
    // The line vanished (fault injection): the server serves no more.
    void vanished();

protected:
    LineServer(SimLine& line, QObject* parent);

    SimLine& line() { return m_line; }
    // Bytes from the client, as they come.
    void hostWrote(const QByteArray& bytes);
    // Hands due replies on; when the line is to vanish, pulls it.
    void onTick();
    // Stops the tick (the server is shut down).
    void stopTicking() { m_tick.stop(); }

    // Whether the server still serves (false once shut down).
    virtual bool serving() const = 0;
    // Reply bytes now due, in order.
    virtual void deliver(const QByteArray& bytes) = 0;
    // Bytes the client has not taken yet: they are tried again shortly.
    virtual bool backlogged() const { return false; }
    // Takes the line away as a vanished adapter or a bridge losing power does.
    virtual void pullLine() = 0;

private:
    void arm();

    SimLine& m_line;
    QElapsedTimer m_clock;
    QTimer m_tick;
};

} // namespace corvane::sim
