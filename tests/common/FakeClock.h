#pragma once

#include "common/Clock.h"

#include <QPointer>
#include <QVector>
#include <functional>
#include <map>

namespace corvane::test {

// Virtual time for tests. Pauses run at once: scheduling one runs every
// callback in time order, moving the time on, until no pause is left, so a
// whole exchange finishes inside the click that started it. Deadlines wait
// until the time passes them, through a later pause or advance(). Every pause
// that ran is recorded; onPause runs at its end, just before its callback
// (to let replies "arrive during" it).
class FakeClock : public Clock {
public:
    qint64 nowMs() const override { return now; }
    QDateTime utcNow() const override { return utcAtZero.addMSecs(now); }
    Ticket schedule(int ms, QObject* context, std::function<void()> fn,
                    Wait wait = Wait::Pause) override {
        m_queue[{now + qMax(ms, 0), ++m_last}] = {ms, wait, context, std::move(fn)};
        if (wait == Wait::Pause)
            run(-1);
        return m_last;
    }
    void cancel(Ticket ticket) override {
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it)
            if (it->first.second == ticket)
                return void(m_queue.erase(it));
    }
    // Lets `ms` of time pass: every callback due by then runs.
    void advance(qint64 ms) { run(now + ms); }

    qint64 now = 0;
    QDateTime utcAtZero = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    QVector<int> pauses;
    std::function<void(int)> onPause;

private:
    struct Entry {
        int ms;
        Wait wait;
        QPointer<QObject> context;
        std::function<void()> fn;
    };
    // Runs callbacks in time order: while a pause is queued (until < 0), or
    // up to the time `until`.
    void run(qint64 until) {
        if (m_running)
            return;
        m_running = true;
        const auto pauseQueued = [this] {
            for (const auto& e : m_queue)
                if (e.second.wait == Wait::Pause)
                    return true;
            return false;
        };
        while (!m_queue.empty() &&
               (until < 0 ? pauseQueued() : m_queue.begin()->first.first <= until)) {
            const qint64 due = m_queue.begin()->first.first;
            Entry entry = std::move(m_queue.begin()->second);
            m_queue.erase(m_queue.begin());
            now = qMax(now, due);
            if (!entry.context)
                continue;
            if (entry.wait == Wait::Pause) {
                pauses.append(entry.ms);
                if (onPause)
                    onPause(entry.ms);
            }
            entry.fn();
        }
        now = qMax(now, until);
        m_running = false;
    }

    std::map<std::pair<qint64, Ticket>, Entry> m_queue;
    Ticket m_last = 0;
    bool m_running = false;
};

} // namespace corvane::test
