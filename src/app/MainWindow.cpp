#include "app/MainWindow.h"

#include "app/PositionPolling.h"
#include "config/ui/SettingsPage.h"
#include "link/SerialPort.h"
#include "link/ui/TerminalPanel.h"
#include "motion/ui/FocusPanel.h"
#include "motion/ui/GuidePanel.h"
#include "motion/ui/PositionPanel.h"
#include "motion/ui/TargetPanel.h"
#include "pec/ui/PecPage.h"
#include "periphery/ui/PeripheryMenus.h"
#include "sky/ui/SkyPanel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

MainWindow::MainWindow(SerialPort* port, Clock& clock, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_clock(clock), m_prompts(prompts), m_port(port),
      m_channel(clock, this) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(mainCaption());
    m_port->setParent(this);
    m_channel.setPort(m_port);
    m_controller.listenTo(m_channel.dispatcher());
    connect(&m_channel, &Channel::receptionHandled, this, &MainWindow::showConnectionState);
    connect(&m_channel, &Channel::lost, this, &MainWindow::onPortLost);
    connect(&m_channel, &Channel::timedOut, this,
            [this](qint16 kind) { showStatus(noReplyMessage(kind)); });
    connect(&m_controller, &ControllerInfo::changed, this, &MainWindow::showConnectionState);

    buildMenus();
    buildStatusBar();
    buildTabs();
    connect(tabstrip1, &QTabWidget::currentChanged, this, &MainWindow::onTabChanged);
    periphery = new PeripheryMenus(m_channel, m_prompts,
                                   {this, mnuFanCntrl, mnuPin7, mnuPin14, mnuRename, mnuNightVision,
                                    mnuHelpSel[0], mnuHelpSel[1]},
                                   this);
    resize(1000, 700);
}

PanelContext MainWindow::context() {
    return {m_channel, m_clock, m_prompts, m_controller, m_shared, *m_polling};
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    mnuPort = menuBar()->addMenu(QStringLiteral("&Port"));
    mnuPort->setObjectName(QStringLiteral("mnuPort"));
    for (int n = 1; n <= 16; ++n) {
        QAction* a = mnuPort->addAction(portMenuCaption(n));
        a->setObjectName(QStringLiteral("mnucom_%1").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n] { choosePort(n); });
        mnucom[n] = a;
    }
    mnuPort->setToolTipsVisible(true);
    mnuPort->addSeparator();
    mnuConnect = mnuPort->addAction(QStringLiteral("&Connect"));
    mnuConnect->setObjectName(QStringLiteral("mnuConnect"));
    connect(mnuConnect, &QAction::triggered, this, &MainWindow::toggleConnection);

    mnuSettings = menuBar()->addMenu(QStringLiteral("&Settings"));
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    mnuSave = mnuSettings->addAction(QStringLiteral("Save"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    mnuload = mnuSettings->addAction(QStringLiteral("Load"));
    mnuload->setObjectName(QStringLiteral("mnuload"));
    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuFanCntrl = mnuOptions->addAction(QStringLiteral("Fan On"));
    mnuFanCntrl->setObjectName(QStringLiteral("mnuFanCntrl"));
    mnuUserPins = mnuOptions->addMenu(QStringLiteral("User defined pins"));
    mnuUserPins->setObjectName(QStringLiteral("mnuUserPins"));
    mnuPin7 = mnuUserPins->addAction(QStringLiteral("Pin 7"));
    mnuPin7->setObjectName(QStringLiteral("mnuPin7"));
    mnuPin14 = mnuUserPins->addAction(QStringLiteral("Pin 14"));
    mnuPin14->setObjectName(QStringLiteral("mnuPin14"));
    mnuRename = mnuUserPins->addAction(QStringLiteral("Rename User Defined Pins"));
    mnuRename->setObjectName(QStringLiteral("mnuRename"));
    mnuNightVision = mnuOptions->addAction(QStringLiteral("Night Vision"));
    mnuNightVision->setObjectName(QStringLiteral("mnuNightVision"));
    SaveOnExit = mnuOptions->addAction(QStringLiteral("Save Settings On Exit"));
    SaveOnExit->setObjectName(QStringLiteral("SaveOnExit"));
    SaveOnExit->setCheckable(true);
    SaveOnExit->setChecked(true);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    const QString helpCaptions[2] = {QStringLiteral("&Basic Help"), QStringLiteral("&About")};
    for (int i = 0; i < 2; ++i) {
        mnuHelpSel[i] = mnuHelp->addAction(helpCaptions[i]);
        mnuHelpSel[i]->setObjectName(QStringLiteral("mnuHelpSel_%1").arg(i));
    }
}

void MainWindow::buildTabs() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* row = new QHBoxLayout(central);

    tabstrip1 = new QTabWidget(central);
    tabstrip1->setObjectName(QStringLiteral("tabstrip1"));
    const char* names[3] = {"tabSettings", "tabGuiding", "tabPEC"};
    const QString captions[3] = {QStringLiteral("&Status and Settings"),
                                 QStringLiteral("Guiding and focus"), QStringLiteral("PEC")};
    for (int i = 0; i < 3; ++i) {
        tabPage[i] = new QWidget(tabstrip1);
        tabPage[i]->setObjectName(QLatin1String(names[i]));
        tabstrip1->addTab(tabPage[i], captions[i]);
    }
    buildGuidingPage();
    settings = new SettingsPage(context(), tabPage[0]);
    (new QVBoxLayout(tabPage[0]))->addWidget(settings);
    connect(mnuSave, &QAction::triggered, settings, &SettingsPage::saveMountData);
    connect(mnuload, &QAction::triggered, settings, &SettingsPage::loadMountData);
    connect(settings, &SettingsPage::rateCaptionRead, guide, &GuidePanel::setRateCaption);
    connect(this, &MainWindow::settingsCleared, settings, &SettingsPage::clearSettingsFields);
    target->setGotoSpeedSource([this] { return settings->gotoSpeedText(); });
    pec = new PecPage(context(), tabPage[2]);
    (new QVBoxLayout(tabPage[2]))->addWidget(pec);

    terminal = new TerminalPanel(context(), central);
    connect(target, &TargetPanel::controllerTargetRead, terminal, &TerminalPanel::showResponse);
    terminal->setFixedWidth(240);
    auto* side = new QVBoxLayout;
    side->addWidget(terminal);
    side->addStretch(1);

    row->addWidget(tabstrip1, 1);
    row->addLayout(side);
    setCentralWidget(central);
}

// Guiding and focus page: position and target on the left, guiding and focus
// on the right.
void MainWindow::buildGuidingPage() {
    guidingLayout = new QGridLayout(tabPage[1]);
    position = new PositionPanel(m_channel.dispatcher(), tabPage[1]);
    guidingLayout->addWidget(position, 0, 0);
    connect(position, &PositionPanel::badReply, this, &MainWindow::showStatus);
    m_polling = new PositionPolling(m_channel, position->Check1, position->scrlUDTime, this);
    Timer1 = m_polling->timer();
    target = new TargetPanel(context(), tabPage[1]);
    guidingLayout->addWidget(target, 1, 0);
    connect(target, &TargetPanel::badReply, this, &MainWindow::showStatus);
    m_polling->setEstimate([this] {
        target->estimateTimeToTarget(position->ScopeRAtxt->text(), position->ScopeDECtxt->text());
        return target->timeToTargetText();
    });
    connect(m_polling, &PositionPolling::estimated, this, &MainWindow::showStatus);
    guide = new GuidePanel(context(), tabPage[1]);
    guidingLayout->addWidget(guide, 0, 1, 2, 1);
    focus = new FocusPanel(context(), tabPage[1]);
    guidingLayout->addWidget(focus, 2, 1);
    sky = new SkyPanel(m_clock, m_prompts, *target, tabPage[1]);
    guidingLayout->addWidget(sky, 2, 0);
    connect(sky, &SkyPanel::problem, this, &MainWindow::showStatus);
    guidingLayout->setRowStretch(9, 1);
}

void MainWindow::showStatus(const QString& text) {
    statusPanel[4]->setText(text);
}

void MainWindow::pollPosition() {
    m_polling->tick();
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setToolTip(QStringLiteral("Show Status of Serial Connection"));
    bar->setSizeGripEnabled(false);
    const QString initial[5] = {QString(), QStringLiteral("Disconnected"), QStringLiteral("com1"),
                                QStringLiteral("9600 8N1"), QString()};
    for (int i = 1; i <= 4; ++i) {
        statusPanel[i] = new QLabel(initial[i], bar);
        statusPanel[i]->setObjectName(QStringLiteral("StatusBar1_%1").arg(i));
        statusPanel[i]->setFrameShape(QFrame::Panel);
        statusPanel[i]->setFrameShadow(QFrame::Sunken);
        statusPanel[i]->setMinimumWidth(i == 4 ? 220 : 130);
        statusPanel[i]->setToolTip(bar->toolTip());
        bar->addPermanentWidget(statusPanel[i], i == 4 ? 1 : 0);
    }
    // Panel 4 (time to target) is made visible by start-up.
    statusPanel[4]->hide();
}

// Closing cancels what runs, except an exchange that must not be cut short
// (a PEC table being written): the window closes once it has finished.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_channel.runner().isRunningProtected()) {
        if (!m_closeWhenIdle) {
            m_closeWhenIdle = true;
            showStatus(QStringLiteral("Closing when the ") + m_channel.runner().runningName() +
                       QStringLiteral(" has finished"));
            // Closed again once the runner is done with it (queued: while
            // finished() is told, the sequence still counts as running).
            connect(&m_channel.runner(), &SequenceRunner::finished, this, &QWidget::close,
                    Qt::QueuedConnection);
        }
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

} // namespace corvane
