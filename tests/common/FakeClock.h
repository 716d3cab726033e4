#pragma once

#include "common/Clock.h"

#include <QPointer>
#include <QVector>
#include <functional>
#include <map>

namespace corvane::test {

// Virtual time for tests. Pauses run at once: scheduling one runs every
// callback in time order, moving the time on, until no pause is left, so a
// whole exchange finishes inside the click that started it. Deadlines are
// left waiting until the time passes them, through a later pause or advance().
// Every pause that ran is recorded; onPause runs at its end, just before its
// callback (to let replies "arrive during" it).
class FakeClock : public Clock {
public:
    qint64 nowMs() const override { return now; }
    QDateTime utcNow() const override { return utcAtZero.addMSecs(now); }

    Ticket schedule(int ms, QObject* context, std::function<void()> fn,
                    Wait wait = Wait::Pause) override {
        const Ticket ticket = ++m_last;
        m_queue.emplace(Key{now + (ms < 0 ? 0 : ms), ticket},
                        Entry{ms, wait, QPointer<QObject>(context), std::move(fn)});
        if (wait == Wait::Pause)
            run(-1);
        return ticket;
    }
    void cancel(Ticket ticket) override {
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->first.ticket == ticket) {
                m_queue.erase(it);
                return;
            }
        }
    }

    // Lets `ms` of time pass: every callback due by then runs.
    void advance(qint64 ms) { run(now + ms); }
    bool hasDeadline() const { return !m_queue.empty(); }

    qint64 now = 0;
    QDateTime utcAtZero = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    QVector<int> pauses;
    std::function<void(int)> onPause;

private:
    struct Key {
        qint64 due;
        Ticket ticket;
        bool operator<(const Key& o) const {
            return due != o.due ? due < o.due : ticket < o.ticket;
        }
    };
    struct Entry {
        int ms;
        Wait wait;
        QPointer<QObject> context;
        std::function<void()> fn;
    };

    bool pauseQueued() const {
        for (const auto& e : m_queue)
            if (e.second.wait == Wait::Pause)
                return true;
        return false;
    }
    // Runs callbacks in time order: while a pause is queued (until < 0), or
    // up to the time `until`.
    void run(qint64 until) {
        if (m_running)
            return;
        m_running = true;
        while (!m_queue.empty()) {
            auto it = m_queue.begin();
            if (until < 0 ? !pauseQueued() : it->first.due > until)
                break;
            const Key key = it->first;
            Entry entry = std::move(it->second);
            m_queue.erase(it);
            if (key.due > now)
                now = key.due;
            if (!entry.context)
                continue;
            if (entry.wait == Wait::Pause) {
                pauses.append(entry.ms);
                if (onPause)
                    onPause(entry.ms);
            }
            entry.fn();
        }
        if (until > now)
            now = until;
        m_running = false;
    }

    std::map<Key, Entry> m_queue;
    Ticket m_last = 0;
    bool m_running = false;
};

} // namespace corvane::test
