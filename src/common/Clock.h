#pragma once

#include <QDateTime>
#include <QObject>
#include <QtGlobal>
#include <functional>

namespace corvane {

// The program's sense of time: a monotonic millisecond counter, the wall
// clock in UTC, and "call me back in n ms" on the event loop. Nothing in the
// program sleeps: a pause between two commands is a callback, so the window
// keeps repainting and replies are received meanwhile.
//
// Two kinds of wait are told apart so that tests can run whole exchanges at
// once: a pause is time the program waits on purpose (the gap between two
// commands); a deadline is a watch that fires only when time has really run
// out (a reply that does not come). The real clock treats both alike.
class Clock {
public:
    enum class Wait { Pause, Deadline };
    using Ticket = quint64; // 0 is no ticket

    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    // The computer's clock, in UTC (never local time read as UTC).
    virtual QDateTime utcNow() const = 0;
    // Calls `fn` once, `ms` from now, unless cancelled first or `context`
    // is destroyed first. May call it before returning (a test clock does).
    virtual Ticket schedule(int ms, QObject* context, std::function<void()> fn,
                            Wait wait = Wait::Pause) = 0;
    // Cancelling a ticket that already fired, or 0, does nothing.
    virtual void cancel(Ticket ticket) = 0;
};

class SystemClock : public Clock {
public:
    SystemClock();
    ~SystemClock() override;
    qint64 nowMs() const override;
    QDateTime utcNow() const override;
    Ticket schedule(int ms, QObject* context, std::function<void()> fn,
                    Wait wait = Wait::Pause) override;
    void cancel(Ticket ticket) override;

private:
    struct Timers;
    Timers* m_timers;
};

} // namespace corvane
