#include "common/Clock.h"

#include <QThread>

namespace corvane {

SystemClock::SystemClock() {
    m_elapsed.start();
}

void SystemClock::pause(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 SystemClock::nowMs() const {
    return m_elapsed.elapsed();
}

} // namespace corvane
