// Position polling and what a change of tab asks the controller for.
#include "app/MainWindow.h"

#include "app/PositionPanel.h"
#include "app/TargetPanel.h"
#include "common/NumberText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

namespace corvane {

namespace {

constexpr int kPollSettleMs = 50;
constexpr int kTabChangeSettleMs = 100;
constexpr int kGuidingTab = 1;

QString intervalCaption(int ms) {
    return QStringLiteral("Auto Update Position     Update Interval ") +
           shortestDecimal(ms / 1000.0) + QStringLiteral(" Sec");
}

} // namespace

void MainWindow::setUpPolling() {
    connect(Timer1, &QTimer::timeout, this, &MainWindow::pollPosition);
    connect(position->Check1, &QCheckBox::toggled, this, &MainWindow::onAutoUpdateToggled);
    connect(position->scrlUDTime, &QScrollBar::valueChanged, this,
            &MainWindow::onPollIntervalChanged);
    connect(tabstrip1, &QTabWidget::currentChanged, this, &MainWindow::onTabChanged);
}

void MainWindow::pollPosition() {
    target->estimateTimeToTarget(position->ScopeRAtxt->text(), position->ScopeDECtxt->text());
    statusPanel[4]->setText(target->timeToTargetText());
    m_clock.pause(kPollSettleMs);
    m_channel.getPos();
}

void MainWindow::onAutoUpdateToggled(bool on) {
    m_state.autoUpdate = on;
    if (!on) {
        Timer1->stop();
        return;
    }
    const int ms = position->scrlUDTime->value();
    Timer1->setInterval(ms);
    position->Check1->setText(intervalCaption(ms));
    // The box sits on the guiding page; polling runs only while it is shown.
    if (tabstrip1->currentIndex() == kGuidingTab)
        Timer1->start();
}

void MainWindow::onPollIntervalChanged(int ms) {
    // A running timer restarts with the new interval; a stopped one stays stopped.
    Timer1->setInterval(ms);
    position->Check1->setText(intervalCaption(ms));
}

void MainWindow::onTabChanged(int index) {
    m_channel.setAwaitedCount(9);
    m_channel.send(QLatin1String(Cmd::GetSiderealTime));
    m_clock.pause(kTabChangeSettleMs);
    switch (index) {
    case 0:
        // [tab change: clear the selections of the ten settings lists]
        Timer1->stop();
        m_channel.getSettings(m_state.splitSettingsDump);
        break;
    case kGuidingTab:
        // [tab change: clear the selections of cbCatalogs and cbItems]
        if (m_state.autoUpdate && !Timer1->isActive())
            Timer1->start();
        m_channel.getPos();
        break;
    case 2:
        // [tab change: clear the selection of cbItems]
        Timer1->stop();
        // [tab change: press cmdGetPECState] until then, the query alone:
        m_channel.getPECState();
        break;
    default:
        break;
    }
    m_channel.dispatchArmed = true;
}

} // namespace corvane
