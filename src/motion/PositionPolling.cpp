#include "motion/PositionPolling.h"

#include "common/ClockTimer.h"
#include "common/NumberText.h"
#include "link/BoardLine.h"
#include "motion/MountPosition.h"
#include "motion/Target.h"

namespace corvane {

QString intervalCaption(int ms) {
    return QStringLiteral("Auto Update Position     Update Interval ") +
           shortestDecimal(ms / 1000.0) + QStringLiteral(" Sec");
}

PositionPolling::PositionPolling(BoardLine& line, Clock& clock, MountPosition& position,
                                 const Target& target, QObject* parent)
    : QObject(parent), m_line(line), m_position(position), m_target(target),
      m_timer1(new ClockTimer(clock, QStringLiteral("Timer1"), this)),
      m_caption(QStringLiteral("Auto Update Position   Update Interval")) {
    m_timer1->setInterval(kDefaultTimerMs);
    connect(m_timer1, &ClockTimer::timeout, this, &PositionPolling::tick);
}

void PositionPolling::tick() {
    const BoardPosition scope{m_position.ra().value_or(BoardRa{}),
                              m_position.dec().value_or(BoardDec{})};
    m_estimate =
        estimateTimeToTarget({scope, m_target.position(), m_gotoSpeed ? m_gotoSpeed() : 0.0});
    emit estimated(m_estimate.text);
    if (m_line.isBusy() || m_line.isLineBusy())
        return;
    m_line.run(Sequence(QStringLiteral("position poll"))
                   .pause(kTickSettleMs)
                   .request(positionQuery(), m_position.positionReply()));
}

void PositionPolling::setGuidingPageShown(bool shown) {
    m_guidingPageShown = shown;
    if (!shown)
        m_timer1->stop();
    else if (m_autoUpdate && !m_timer1->isActive())
        m_timer1->start();
}

void PositionPolling::setChecked(bool on) {
    m_checked = on;
    m_autoUpdate = on;
    if (!on) {
        m_timer1->stop();
        emit changed();
        return;
    }
    m_timer1->setInterval(m_interval);
    m_caption = intervalCaption(m_interval);
    // The box sits on the guiding page; polling runs only while it is shown.
    if (m_guidingPageShown)
        m_timer1->start();
    emit changed();
}

void PositionPolling::setInterval(int ms) {
    // A running timer restarts with the new interval; a stopped one stays stopped.
    m_interval = ms;
    m_timer1->setInterval(ms);
    m_caption = intervalCaption(ms);
    emit changed();
}

void PositionPolling::switchOff() {
    m_autoUpdate = false;
    m_timer1->stop();
}

void PositionPolling::pauseForSearch() {
    if (m_checked) {
        m_timer1->stop();
        m_autoUpdate = false;
    }
    m_checkEnabled = false;
    emit changed();
}

void PositionPolling::resumeAfterSearch() {
    if (m_checked) {
        m_autoUpdate = true;
        if (m_guidingPageShown)
            m_timer1->start();
    }
    m_checkEnabled = true;
    emit changed();
}

} // namespace corvane
