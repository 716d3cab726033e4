// Start-up and shutdown of the main window, and its settings file.
#include "app/MainWindow.h"

#include "app/CommandLine.h"
#include "app/PortMenu.h"
#include "app/SessionSettings.h"
#include "app/SettingsFile.h"
#include "common/Prompts.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"
#include "link/TrafficLog.h"
#include "link/ui/TerminalPanel.h"
#include "link/ui/TrafficWindow.h"
#include "pec/ui/PecPage.h"
#include "periphery/ui/PeripheryMenus.h"
#include "periphery/ui/SplashWindow.h"
#include "share/ShareServer.h"
#include "share/ui/ShareDialog.h"
#include "sky/ui/SkyPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <cstdio>

namespace corvane {

bool MainWindow::startUp() {
    // Read once, before probing: the port numbers follow the adapters that
    // had them last time.
    const WindowSettings saved = readSettingsFile();
    const ProbeResult probe = m_session->probe(saved.portDevices);
    m_ports->showUsable();
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
        catalogueFolder(userCatalogueFolder(), QCoreApplication::applicationDirPath()));
    periphery->prepareColours();
    closeSplash();
    return probe.anyUsable;
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
    if (!options.sharePort && !options.stellariumPort && !options.alpacaPort)
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
    if (options.alpacaPort) {
        settings.alpaca = true;
        settings.alpacaPort = options.alpacaPort;
        if (!options.alpacaAddress.isEmpty())
            settings.alpacaAddress = options.alpacaAddress;
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
    applySessionSettings(s, *m_session);
    if (s.comPort) {
        m_ports->portAction(*s.comPort)->setChecked(true);
        // The status bar names the port in use from the start.
        statusPanel[2]->setText(connectionDisplay(false, 0.0f, *s.comPort, QString()).port);
    }
    if (s.top || s.left)
        move(windowPlace(s, pos(), frameGeometry().size()));
    mnuReconnect->setChecked(m_session->isReconnecting());
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
    ShareSettings share = m_share->settings();
    share.lx200 = share.lx200 && m_sharedAtExit;
    share.stellarium = share.stellarium && m_sharedAtExit;
    share.alpaca = share.alpaca && m_sharedAtExit;
    // An unwritable directory, a full disk or a file made read-only leaves the
    // old file untouched; closing the window goes on regardless.
    QString why;
    if (!writeWindowSettings(settingsFileName(),
                             sessionSettingsText(*m_session, pos(), shareOptions(share)), &why) &&
        !why.isEmpty())
        std::fprintf(stderr, "corvane-control: settings not saved: %s\n", qPrintable(why));
}

} // namespace corvane
