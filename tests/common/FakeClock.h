#pragma once

#include "common/Clock.h"

#include <QVector>
#include <functional>

namespace corvane::test {

// A clock whose pauses return at once and only advance the time. Every pause
// is recorded; an optional hook runs during it (to let replies "arrive").
class FakeClock : public Clock {
public:
    void pause(int ms) override {
        pauses.append(ms);
        now += ms;
        if (onPause)
            onPause(ms);
    }
    qint64 nowMs() const override { return now; }

    qint64 now = 0;
    QVector<int> pauses;
    std::function<void(int)> onPause;
};

} // namespace corvane::test
