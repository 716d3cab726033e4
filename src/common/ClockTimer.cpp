#include "common/ClockTimer.h"

namespace corvane {

ClockTimer::ClockTimer(Clock& clock, const QString& name, QObject* parent)
    : QObject(parent), m_clock(clock) {
    setObjectName(name);
}

ClockTimer::~ClockTimer() {
    stop();
}

void ClockTimer::setInterval(int ms) {
    m_interval = ms < 0 ? 0 : ms;
    // A running timer counts the new interval from now, as QTimer does.
    if (isActive())
        start();
}

void ClockTimer::start() {
    m_clock.cancel(m_ticket);
    // A repeating timer with no interval would tick forever at one moment.
    const int wait = m_singleShot || m_interval > 0 ? m_interval : 1;
    m_ticket = m_clock.schedule(
        wait, this, [this] { fire(); }, Clock::Wait::Deadline);
}

void ClockTimer::stop() {
    m_clock.cancel(m_ticket);
    m_ticket = 0;
}

void ClockTimer::fire() {
    m_ticket = 0;
    if (!m_singleShot)
        start();
    emit timeout();
}

} // namespace corvane
