#include "app/PositionPolling.h"

#include "common/NumberText.h"
#include "link/Channel.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QTimer>

namespace corvane {

QString intervalCaption(int ms) {
    return QStringLiteral("Auto Update Position     Update Interval ") +
           shortestDecimal(ms / 1000.0) + QStringLiteral(" Sec");
}

PositionPolling::PositionPolling(Channel& channel, QCheckBox* check1, QScrollBar* interval,
                                 QWidget* owner)
    : QObject(owner), m_channel(channel), m_check1(check1), m_interval(interval),
      m_timer(new QTimer(owner)) {
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kDefaultIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &PositionPolling::tick);
    connect(m_check1, &QCheckBox::toggled, this, &PositionPolling::onCheckToggled);
    connect(m_interval, &QScrollBar::valueChanged, this, &PositionPolling::onIntervalChanged);
}

void PositionPolling::tick() {
    if (m_estimate)
        emit estimated(m_estimate());
    if (m_channel.runner().isBusy() || m_channel.isLineBusy())
        return;
    m_channel.run(Sequence(QStringLiteral("position poll")).pause(kTickSettleMs).then([this] {
        m_channel.getPos();
    }));
}

void PositionPolling::setGuidingPageShown(bool shown) {
    m_guidingPageShown = shown;
    if (!shown)
        m_timer->stop();
    else if (m_autoUpdate && !m_timer->isActive())
        m_timer->start();
}

void PositionPolling::onCheckToggled(bool on) {
    m_autoUpdate = on;
    if (!on) {
        m_timer->stop();
        return;
    }
    const int ms = m_interval->value();
    m_timer->setInterval(ms);
    m_check1->setText(intervalCaption(ms));
    // The box sits on the guiding page; polling runs only while it is shown.
    if (m_guidingPageShown)
        m_timer->start();
}

void PositionPolling::onIntervalChanged(int ms) {
    // A running timer restarts with the new interval; a stopped one stays stopped.
    m_timer->setInterval(ms);
    m_check1->setText(intervalCaption(ms));
}

void PositionPolling::pauseForSearch() {
    if (m_check1->isChecked()) {
        m_timer->stop();
        m_autoUpdate = false;
    }
    m_check1->setEnabled(false);
}

void PositionPolling::resumeAfterSearch() {
    if (m_check1->isChecked()) {
        m_autoUpdate = true;
        if (m_guidingPageShown)
            m_timer->start();
    }
    m_check1->setEnabled(true);
}

} // namespace corvane
