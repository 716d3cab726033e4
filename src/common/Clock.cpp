#include "common/Clock.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTimer>

namespace corvane {

struct SystemClock::Timers {
    QElapsedTimer elapsed;
    QHash<Ticket, QPointer<QTimer>> pending;
    Ticket last = 0;
};

SystemClock::SystemClock() : m_timers(new Timers) {
    m_timers->elapsed.start();
}

SystemClock::~SystemClock() {
    for (const QPointer<QTimer>& t : std::as_const(m_timers->pending))
        delete t.data();
    delete m_timers;
}

qint64 SystemClock::nowMs() const {
    return m_timers->elapsed.elapsed();
}

QDateTime SystemClock::utcNow() const {
    return QDateTime::currentDateTimeUtc();
}

Clock::Ticket SystemClock::schedule(int ms, QObject* context, std::function<void()> fn, Wait) {
    const Ticket ticket = ++m_timers->last;
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    // Pauses between commands are a few tens of milliseconds: a coarse timer
    // could stretch them by 5 %.
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, ticket, timer, fn = std::move(fn)] {
        m_timers->pending.remove(ticket);
        timer->deleteLater();
        fn();
    });
    m_timers->pending.insert(ticket, timer);
    timer->start(ms < 0 ? 0 : ms);
    return ticket;
}

void SystemClock::cancel(Ticket ticket) {
    if (QPointer<QTimer> timer = m_timers->pending.take(ticket))
        delete timer.data();
}

} // namespace corvane
