#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace corvane {

// The program's sense of time: a blocking pause of the calling thread and a
// monotonic millisecond counter. Tests inject a clock whose pauses only
// advance a counter, so command spacing can be checked without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void pause(int ms) = 0;
    virtual qint64 nowMs() const = 0;
};

class SystemClock : public Clock {
public:
    SystemClock();
    void pause(int ms) override;
    qint64 nowMs() const override;

private:
    QElapsedTimer m_elapsed;
};

} // namespace corvane
