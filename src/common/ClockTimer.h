#pragma once

#include "common/Clock.h"

#include <QObject>

namespace corvane {

class Clock;

// A timer on the program's clock: what QTimer offers the program (an
// interval, start and stop, one shot or repeating), so that the real clock
// runs it on the event loop and a test clock runs it when virtual time
// passes. Its ticks are deadlines, never pauses: a test's clock fires them
// only as time is moved on, so a repeating timer cannot run away. Like a
// QTimer it shows whether it runs and its interval as the properties "active"
// and "interval", so a timer found by its name can be read like any other.
class ClockTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive)
    Q_PROPERTY(int interval READ interval)
public:
    ClockTimer(Clock& clock, const QString& name, QObject* parent);
    ~ClockTimer() override;

    void setInterval(int ms);
    int interval() const { return m_interval; }
    void setSingleShot(bool once) { m_singleShot = once; }
    bool isSingleShot() const { return m_singleShot; }
    // (Re)starts counting from now.
    void start();
    void stop();
    bool isActive() const { return m_ticket != 0; }

signals:
    void timeout();

private:
    void fire();

    Clock& m_clock;
    int m_interval = 0;
    bool m_singleShot = false;
    Clock::Ticket m_ticket = 0;
};

} // namespace corvane
