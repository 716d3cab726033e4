#include "motion/Focuser.h"

#include "common/ClockTimer.h"
#include "common/Prompts.h"
#include "motion/Motion.h"

namespace corvane {

Focuser::Focuser(BoardLine& line, Clock& clock, Prompts& prompts, QObject* parent)
    : QObject(parent), m_line(line), m_prompts(prompts),
      m_timer3(new ClockTimer(clock, QStringLiteral("Timer3"), this)) {
    m_timer3->setSingleShot(true);
    connect(m_timer3, &ClockTimer::timeout, this, &Focuser::pulseEnded);
}

void Focuser::move(FocusMove move) {
    if (!m_pulseMode) {
        sendFocusMove(m_line, move);
        return;
    }
    if (!m_pulseLength) {
        m_prompts.message(QStringLiteral("Invalid Entry"), applicationTitle(), PromptIcon::None,
                          PromptButtons::Ok);
        return;
    }
    m_timer3->setInterval(*m_pulseLength);
    sendFocusMove(m_line, move);
    m_timer3->start();
}

void Focuser::stop() {
    // A pulse still running must not stop a later move.
    m_timer3->stop();
    sendFocusStop(m_line);
}

void Focuser::setFast(bool fast) {
    m_fast = fast;
    sendFocusSpeed(m_line, fast);
    emit changed();
}

void Focuser::setPulseMode(bool on) {
    m_pulseMode = on;
    emit changed();
}

void Focuser::setPulseLength(const QString& typed) {
    m_pulseLength = pulseMilliseconds(typed);
}

// The pulse length has passed: the focuser stops.
void Focuser::pulseEnded() {
    m_timer3->stop();
    sendFocusStop(m_line);
}

} // namespace corvane
