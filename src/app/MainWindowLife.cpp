// Start-up and shutdown of the main window, and its settings file.
#include "app/MainWindow.h"

#include "app/CommandLine.h"
#include "app/SettingsFile.h"
#include "common/Prompts.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"
#include "link/SerialPort.h"
#include "link/TrafficLog.h"
#include "link/ui/TerminalPanel.h"
#include "link/ui/TrafficWindow.h"
#include "pec/ui/PecPage.h"
#include "periphery/AuxiliaryOutputs.h"
#include "periphery/ui/PeripheryMenus.h"
#include "periphery/ui/SplashWindow.h"
#include "share/ShareServer.h"
#include "share/ui/ShareDialog.h"
#include "sky/ui/SkyPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <cstdio>

namespace corvane {

namespace {

// Positions in the file are twips; one logical DPI (the primary screen's)
// converts both ways, so a position read back is the one written.
double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// A saved position that lies on no screen (a monitor since removed, a hand
// edited file) would hide the window: it goes to the primary screen instead.
QPoint visiblePosition(const QPoint& wanted, const QSize& size) {
    if (QGuiApplication::screenAt(wanted))
        return wanted;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return wanted;
    const QRect area = primary->availableGeometry();
    const QSize fit = size.boundedTo(area.size());
    return area.topLeft() +
           QPoint((area.width() - fit.width()) / 2, (area.height() - fit.height()) / 2);
}

} // namespace

bool MainWindow::startUp() {
    // Read once, before probing: the port numbers follow the adapters that
    // had them last time.
    const WindowSettings saved = readSettingsFile();
    const ProbeResult probe = m_session->probe(saved.portDevices);
    showPorts(probe);
    // Said, but the window opens all the same: a board may be behind a
    // network bridge, or its adapter plugged in later (the Port menu looks
    // for adapters again each time it opens).
    if (!probe.anyUsable)
        m_session->prompts().message(noPortsMessage(), noPortsTitle(), PromptIcon::None,
                                     PromptButtons::Ok);
    applySettings(saved);
    statusPanel[4]->show();
    m_session->startUp();
    for (int i = 0; i < 3; ++i)
        terminal->pressClear(i);
    sky->loadCatalogList(
        catalogueFolder(QDir::currentPath(), QCoreApplication::applicationDirPath()));
    periphery->prepareColours();
    closeSplash();
    return probe.anyUsable;
}

void MainWindow::relistPorts() {
    if (m_session->isOpen())
        return;
    showPorts(m_session->relistPorts());
}

void MainWindow::showPorts(const ProbeResult& probe) {
    for (int n = 1; n <= 16; ++n) {
        mnucom[n]->setEnabled(probe.usable[n]);
        mnucom[n]->setVisible(probe.usable[n]);
        // The device and what identifies it, for the user who wonders which is which.
        const QString device = m_session->port().deviceName(n);
        mnucom[n]->setStatusTip(device);
        mnucom[n]->setToolTip(device.isEmpty() ? portMenuCaption(n).remove(QLatin1Char('&'))
                                               : device);
    }
}

void MainWindow::startFromCommandLine(const CommandLine& options) {
    // A log that cannot be written is said once, on standard error; the
    // program goes on without it.
    QString cannotLog;
    if (!options.logFile.isEmpty() && !m_session->traffic().logTo(options.logFile, &cannotLog))
        std::fprintf(stderr, "corvane-control: %s\n", qPrintable(cannotLog));
    connect(&m_session->traffic(), &TrafficLog::logFailed, this, [](const QString& why) {
        std::fprintf(stderr, "corvane-control: %s\n", qPrintable(why));
    });
    if (options.connectAtStart && !m_session->isOpen())
        m_session->toggleConnection();
    if (!options.sharePort && !options.stellariumPort)
        return;
    ShareSettings settings = m_share->settings();
    if (options.sharePort) {
        settings.lx200 = true;
        settings.lx200Port = options.sharePort;
        if (!options.shareAddress.isEmpty())
            settings.lx200Address = options.shareAddress;
    }
    if (options.stellariumPort) {
        settings.stellarium = true;
        settings.stellariumPort = options.stellariumPort;
        if (!options.stellariumAddress.isEmpty())
            settings.stellariumAddress = options.stellariumAddress;
    }
    QString why;
    if (!m_share->start(settings, &why))
        std::fprintf(stderr, "corvane-control: %s\n", qPrintable(why));
    else
        sayWhereShared();
}

// Sharing started without the dialog (which asks first) where other
// computers reach it is said on standard error and in the status bar.
void MainWindow::sayWhereShared() {
    const QString where = m_share->settings().outsideAddresses();
    if (where.isEmpty() || !m_share->isSharing())
        return;
    const QString text =
        QStringLiteral("The mount is shared on %1: anyone on that network can move it").arg(where);
    std::fprintf(stderr, "corvane-control: %s\n", qPrintable(text));
    statusPanel[4]->setText(text);
}

void MainWindow::shutDown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    // The clients go first: nothing of theirs may follow the stop.
    m_sharedAtExit = m_share->isSharing();
    m_share->stop();
    m_session->shutDown();
    saveSettings();
    pec->closeChart();
    settings->customGear()->close();
    periphery->closeWindows(); // pin labels and splash
    if (m_shareDialog)
        m_shareDialog->close();
    if (m_traffic)
        m_traffic->close();
    periphery->restoreColours();
}

WindowSettings MainWindow::readSettingsFile() const {
    QString why;
    const WindowSettings s = readWindowSettings(settingsFileName(), &why);
    if (!why.isEmpty())
        std::fprintf(stderr, "corvane-control: settings not read: %s\n", qPrintable(why));
    return s;
}

void MainWindow::applySettings(const WindowSettings& s) {
    if (s.comPort) {
        mnucom[*s.comPort]->setChecked(true);
        m_session->port().setPortNumber(*s.comPort);
        // The status bar names the port in use from the start.
        statusPanel[2]->setText(connectionDisplay(false, 0.0f, *s.comPort, QString()).port);
    }
    if (s.top || s.left) {
        const double dpi = logicalDpi();
        QPoint p = pos();
        if (s.left)
            p.setX(twipsToPixels(*s.left, dpi));
        if (s.top)
            p.setY(twipsToPixels(*s.top, dpi));
        move(visiblePosition(p, frameGeometry().size()));
    }
    AuxiliaryOutputs& outputs = m_session->outputs();
    outputs.setLabels(s.pin7Label.value_or(outputs.pin7Label()),
                      s.pin14Label.value_or(outputs.pin14Label()));
    m_session->setReconnecting(s.options.value(QStringLiteral("Reconnect Automatically")) !=
                               QLatin1String("0"));
    mnuReconnect->setChecked(m_session->isReconnecting());
    bool silenceRead = false;
    const int silence = s.options.value(QStringLiteral("Line Silence Seconds")).toInt(&silenceRead);
    if (silenceRead && silence >= 0 && silence <= 3600)
        m_session->setSilenceLimit(silence);
    // Sharing as it was left: on again when it was on at exit.
    const ShareSettings share = shareSettingsFrom(s.options);
    QString why;
    if (share.any() && !m_share->start(share, &why))
        statusPanel[4]->setText(why);
    else if (!share.any())
        m_share->setSettings(share);
    else
        sayWhereShared();
}

void MainWindow::saveSettings() {
    if (!m_saveOnExit)
        return;
    const double dpi = logicalDpi();
    // An unwritable directory, a full disk or a file made read-only leaves the
    // old file untouched; closing the window goes on regardless.
    QString why;
    const AuxiliaryOutputs& outputs = m_session->outputs();
    ShareSettings share = m_share->settings();
    QMap<QString, QString> options;
    share.lx200 = share.lx200 && m_sharedAtExit;
    share.stellarium = share.stellarium && m_sharedAtExit;
    options = shareOptions(share);
    if (!m_session->isReconnecting())
        options.insert(QStringLiteral("Reconnect Automatically"), QStringLiteral("0"));
    const QByteArray text = windowSettingsText(
        m_session->portNumber(), pixelsToTwips(y(), dpi), pixelsToTwips(x(), dpi),
        outputs.pin7Label(), outputs.pin14Label(), m_session->port().deviceIdentities(), options);
    if (!writeWindowSettings(settingsFileName(), text, &why) && !why.isEmpty())
        std::fprintf(stderr, "corvane-control: settings not saved: %s\n", qPrintable(why));
}

} // namespace corvane
