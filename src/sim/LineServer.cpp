#include "sim/LineServer.h"

namespace corvane::sim {

namespace {
constexpr int kRetryMs = 5;
} // namespace

LineServer::LineServer(SimLine& line, QObject* parent) : QObject(parent), m_line(line) {
    m_clock.start();
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &LineServer::onTick);
}

void LineServer::hostWrote(const QByteArray& bytes) {
    m_line.hostWrite(bytes, nowUs());
    onTick();
}

void LineServer::onTick() {
    if (!serving())
        return;
    const qint64 vanishAt = m_line.vanishAtUs();
    deliver(m_line.takeDue(nowUs()));
    if (vanishAt >= 0 && nowUs() >= vanishAt) {
        m_line.clearVanish();
        pullLine();
        m_tick.stop();
        emit vanished();
        return;
    }
    arm();
}

void LineServer::arm() {
    qint64 wake = m_line.dueTimeOf(1);
    const qint64 vanishAt = m_line.vanishAtUs();
    if (vanishAt >= 0 && (wake < 0 || vanishAt < wake))
        wake = vanishAt;
    if (wake < 0 && !backlogged()) {
        m_tick.stop();
        return;
    }
    qint64 waitMs = wake < 0 ? kRetryMs : (wake - nowUs() + 999) / 1000;
    if (backlogged() && waitMs > kRetryMs)
        waitMs = kRetryMs;
    m_tick.start(static_cast<int>(waitMs < 0 ? 0 : waitMs));
}

} // namespace corvane::sim
