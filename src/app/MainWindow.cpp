#include "app/MainWindow.h"

#include "app/PortMenu.h"
#include "backup/MountBackupRunner.h"
#include "backup/ui/MountCompareDialog.h"
#include "common/ui/Widgets.h"
#include "config/DriveConfiguration.h"
#include "config/ui/SettingsPage.h"
#include "link/BoardLine.h"
#include "link/ui/TerminalPanel.h"
#include "link/ui/TrafficWindow.h"
#include "motion/ui/FocusPanel.h"
#include "motion/ui/GuidePanel.h"
#include "motion/ui/PositionPanel.h"
#include "motion/ui/TargetPanel.h"
#include "pec/PecModel.h"
#include "pec/ui/PecPage.h"
#include "periphery/ui/PeripheryMenus.h"
#include "share/AlpacaServer.h"
#include "share/ShareServer.h"
#include "share/ui/ShareDialog.h"
#include "sky/ui/SkyPanel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace corvane {

namespace {

QAction* namedAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
}

// A page of the tab strip.
QWidget* addPage(QTabWidget* tabs, const char* name, const QString& caption) {
    auto* page = new QWidget(tabs);
    page->setObjectName(QLatin1String(name));
    tabs->addTab(page, caption);
    return page;
}

} // namespace

MainWindow::MainWindow(SerialPort* port, Clock& clock, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_session(new MountSession(port, clock, prompts, this)),
      m_share(new ShareServer(*m_session, this)),
      m_backup(new MountBackupRunner(m_session->line(), m_session->controller(),
                                     m_session->pec().stateReply(), clock, prompts, this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(mainCaption());
    buildMenus();
    buildStatusBar();
    buildPages();
    connectSession();
    resize(1000, 700);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    m_ports = new PortMenu(*m_session, menuBar(), this);
    mnuPort = m_ports->menu();
    mnuConnect = m_ports->connectAction();

    QMenu* mnuSettings = addMenu(menuBar(), "mnuSettings", QStringLiteral("&Settings"));
    mnuSave = namedAction(mnuSettings, "mnuSave", QStringLiteral("Save"));
    mnuload = namedAction(mnuSettings, "mnuload", QStringLiteral("Load"));
    connect(mnuSave, &QAction::triggered, &m_session->configuration(),
            &DriveConfiguration::saveFile);
    connect(mnuload, &QAction::triggered, &m_session->configuration(),
            &DriveConfiguration::loadFile);
    mnuSettings->addSeparator();
    mnuBackup = namedAction(mnuSettings, "mnuBackup", QStringLiteral("Back Up Mount…"));
    mnuRestoreMount = namedAction(mnuSettings, "mnuRestoreMount", QStringLiteral("Restore Mount…"));
    mnuExportBackup = namedAction(mnuSettings, "mnuExportBackup",
                                  QStringLiteral("Save Backup as Mount Data and PEC Files…"));
    connect(mnuBackup, &QAction::triggered, m_backup, &MountBackupRunner::backUp);
    connect(mnuRestoreMount, &QAction::triggered, m_backup, &MountBackupRunner::restore);
    connect(mnuExportBackup, &QAction::triggered, m_backup, &MountBackupRunner::exportBackup);
    m_backup->setConfirm([this](const QVector<BackupDifference>& differences) {
        return MountCompareDialog(differences, this).exec() == QDialog::Accepted;
    });

    QMenu* mnuOptions = addMenu(menuBar(), "mnuOptions", QStringLiteral("&Options"));
    mnuFanCntrl = namedAction(mnuOptions, "mnuFanCntrl", QStringLiteral("Fan On"));
    QMenu* mnuUserPins = mnuOptions->addMenu(QStringLiteral("User defined pins"));
    mnuUserPins->setObjectName(QStringLiteral("mnuUserPins"));
    mnuPin7 = namedAction(mnuUserPins, "mnuPin7", QStringLiteral("Pin 7"));
    mnuPin14 = namedAction(mnuUserPins, "mnuPin14", QStringLiteral("Pin 14"));
    mnuRename = namedAction(mnuUserPins, "mnuRename", QStringLiteral("Rename User Defined Pins"));
    mnuNightVision = namedAction(mnuOptions, "mnuNightVision", QStringLiteral("Night Vision"));
    mnuReconnect =
        namedAction(mnuOptions, "mnuReconnect", QStringLiteral("Reconnect Automatically"));
    mnuReconnect->setCheckable(true);
    mnuReconnect->setChecked(m_session->isReconnecting());
    connect(mnuReconnect, &QAction::toggled, m_session, &MountSession::setReconnecting);
    mnuShare = namedAction(mnuOptions, "mnuShare", QStringLiteral("Share Mount…"));
    connect(mnuShare, &QAction::triggered, this, &MainWindow::openShareDialog);
    SaveOnExit = namedAction(mnuOptions, "SaveOnExit", QStringLiteral("Save Settings On Exit"));
    SaveOnExit->setCheckable(true);
    SaveOnExit->setChecked(m_saveOnExit);
    connect(SaveOnExit, &QAction::toggled, this, [this](bool on) { m_saveOnExit = on; });

    QMenu* mnuView = addMenu(menuBar(), "mnuView", QStringLiteral("&View"));
    mnuTraffic = namedAction(mnuView, "mnuTraffic", QStringLiteral("Serial Traffic"));
    connect(mnuTraffic, &QAction::triggered, this, &MainWindow::openTraffic);

    QMenu* mnuHelp = addMenu(menuBar(), "mnuHelp", QStringLiteral("&Help"));
    mnuHelpSel[0] = namedAction(mnuHelp, "mnuHelpSel_0", QStringLiteral("&Basic Help"));
    mnuGuide = namedAction(mnuHelp, "mnuGuide", QStringLiteral("User Guide"));
    mnuHelpSel[1] = namedAction(mnuHelp, "mnuHelpSel_1", QStringLiteral("&About"));
    periphery = new PeripheryMenus(*m_session,
                                   {this, mnuFanCntrl, mnuPin7, mnuPin14, mnuRename, mnuNightVision,
                                    mnuHelpSel[0], mnuGuide, mnuHelpSel[1]},
                                   this);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setToolTip(QStringLiteral("Show Status of Serial Connection"));
    bar->setSizeGripEnabled(false);
    const QString initial[6] = {QString(),
                                QStringLiteral("Disconnected"),
                                QStringLiteral("com1"),
                                QStringLiteral("9600 8N1"),
                                QString(),
                                QString()};
    for (int i = 1; i <= 5; ++i) {
        statusPanel[i] = new QLabel(initial[i], bar);
        statusPanel[i]->setObjectName(QStringLiteral("StatusBar1_%1").arg(i));
        statusPanel[i]->setFrameShape(QFrame::Panel);
        statusPanel[i]->setFrameShadow(QFrame::Sunken);
        statusPanel[i]->setMinimumWidth(i == 4 ? 220 : 130);
        statusPanel[i]->setToolTip(bar->toolTip());
        bar->addPermanentWidget(statusPanel[i], i == 4 ? 1 : 0);
    }
    // Panel 4 (time to target and messages) is made visible by start-up;
    // panel 5 shows while the mount is shared.
    statusPanel[4]->hide();
    statusPanel[5]->hide();
}

// Every panel is made the same way, from the session; the pages only lay
// them out: settings, the guiding page (position and target on the left,
// guiding and focus on the right), PEC; the manual commands beside the tabs.
void MainWindow::buildPages() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    tabstrip1 = new QTabWidget(central);
    tabstrip1->setObjectName(QStringLiteral("tabstrip1"));
    QWidget* settingsPage =
        addPage(tabstrip1, "tabSettings", QStringLiteral("&Status and Settings"));
    QWidget* guidingPage = addPage(tabstrip1, "tabGuiding", QStringLiteral("Guiding and focus"));
    QWidget* pecPage = addPage(tabstrip1, "tabPEC", QStringLiteral("PEC"));

    settings = new SettingsPage(*m_session, settingsPage);
    (new QVBoxLayout(settingsPage))->addWidget(settings);
    position = new PositionPanel(*m_session, guidingPage);
    target = new TargetPanel(*m_session, guidingPage);
    sky = new SkyPanel(*m_session, guidingPage);
    guide = new GuidePanel(*m_session, guidingPage);
    focus = new FocusPanel(*m_session, guidingPage);
    layOutWhenFirstShown(guidingPage, [=] {
        auto* grid = new QGridLayout(guidingPage);
        grid->addWidget(position, 0, 0);
        grid->addWidget(target, 1, 0);
        grid->addWidget(sky, 2, 0);
        grid->addWidget(guide, 0, 1, 2, 1);
        grid->addWidget(focus, 2, 1);
        grid->setRowStretch(9, 1);
    });
    pec = new PecPage(*m_session, pecPage);
    layOutWhenFirstShown(pecPage, [=] { (new QVBoxLayout(pecPage))->addWidget(pec); });

    terminal = new TerminalPanel(*m_session, central);
    terminal->setFixedWidth(240);
    auto* side = new QVBoxLayout;
    side->addWidget(terminal);
    side->addStretch(1);
    auto* row = new QHBoxLayout(central);
    row->addWidget(tabstrip1, 1);
    row->addLayout(side);
    setCentralWidget(central);
}

void MainWindow::connectSession() {
    connect(tabstrip1, &QTabWidget::currentChanged, m_session,
            [this](int index) { m_session->showPage(MountSession::Page(index)); });
    connect(m_session, &MountSession::connectionChanged, this, &MainWindow::showConnection);
    connect(m_session, &MountSession::disconnected, this,
            [this] { setWindowTitle(mainCaption()); });
    connect(m_session, &MountSession::status, statusPanel[4], &QLabel::setText);
    connect(sky, &SkyPanel::problem, statusPanel[4], &QLabel::setText);
    connect(m_share, &ShareServer::changed, this, &MainWindow::showSharing);
    connect(m_backup, &MountBackupRunner::status, statusPanel[4], &QLabel::setText);
    connect(m_backup, &MountBackupRunner::progress, this, [this](int value, int total) {
        statusPanel[4]->setText(
            QStringLiteral("Reading the board: %1 %").arg(100 * value / qMax(1, total)));
    });
}

void MainWindow::showSharing() {
    statusPanel[5]->setVisible(m_share->isSharing());
    // Alpaca clients count while heard from lately: their connections come and go.
    statusPanel[5]->setText(
        QStringLiteral("Shared: %1 clients")
            .arg(m_share->clients().size() + m_share->alpaca().clients().size()));
}

void MainWindow::openTraffic() {
    if (!m_traffic)
        m_traffic = new TrafficWindow(m_session->traffic(), m_session->prompts(), this);
    m_traffic->show();
    m_traffic->raise();
}

void MainWindow::openShareDialog() {
    if (!m_shareDialog)
        m_shareDialog = new ShareDialog(*m_share, m_session->prompts(), this);
    m_shareDialog->show();
    m_shareDialog->raise();
}

void MainWindow::showConnection() {
    const ConnectionDisplay d = m_session->connectionDisplay();
    statusPanel[1]->setText(d.state);
    statusPanel[2]->setText(d.port);
    statusPanel[3]->setText(d.settings);
    mnuConnect->setText(d.connectCaption);
}

// Closing cancels what runs, except an exchange that must not be cut short
// (a PEC table being written): the window closes once it has finished.
void MainWindow::closeEvent(QCloseEvent* event) {
    BoardLine& line = m_session->line();
    if (line.isRunningProtected()) {
        if (!m_closeWhenIdle) {
            m_closeWhenIdle = true;
            statusPanel[4]->setText(QStringLiteral("Closing when the ") + line.runningName() +
                                    QStringLiteral(" has finished"));
            // Closed again once the runner is done with it (queued: while
            // finished() is told, the sequence still counts as running).
            connect(&line, &BoardLine::finished, this, &QWidget::close, Qt::QueuedConnection);
        }
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

} // namespace corvane
