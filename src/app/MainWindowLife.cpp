// Start-up and shutdown of the main window.
#include "app/MainWindow.h"

#include "app/PositionPolling.h"
#include "app/SettingsFile.h"
#include "common/Prompts.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"
#include "link/SerialPort.h"
#include "link/ui/TerminalPanel.h"
#include "motion/ui/GuidePanel.h"
#include "pec/ui/PecPage.h"
#include "sky/ui/SkyPanel.h"

#include "periphery/ui/PeripheryMenus.h"
#include "periphery/ui/SplashWindow.h"
#include <QCoreApplication>
#include <QDir>

#include <QLabel>

namespace corvane {

bool MainWindow::startUp() {
    // Read once, before probing: the port numbers follow the adapters that
    // had them last time.
    const WindowSettings saved = readSettingsFile();
    m_port->rememberDevices(saved.portDevices);
    const ProbeResult probe = probePorts(*m_port);
    applyProbe(probe);
    if (!probe.anyUsable) {
        m_prompts.message(noPortsMessage(), noPortsTitle(), PromptIcon::None, PromptButtons::Ok);
        m_shutDown = true; // ends at once, without the shutdown steps
        return false;
    }
    loadWindowSettings(saved);
    statusPanel[4]->show();
    settings->fillSettingLists();
    pec->fillFactorList();
    sky->fillPlanets();
    m_channel.armDispatch();
    if (m_port->isOpen())
        m_port->close();
    for (int i = 0; i < 3; ++i)
        terminal->pressClear(i);
    m_polling->setAutoUpdate(false); // polling is switched on by the user only
    guide->startUp();                // rate 2X selected, pulse-guide mode off, unswapped letters
    sky->loadCatalogList(
        catalogueFolder(QDir::currentPath(), QCoreApplication::applicationDirPath()));
    periphery->prepareColours();
    closeSplash();
    return true;
}

void MainWindow::shutDown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_channel.runner().abort(SequenceResult::Cancelled);
    if (m_port->isOpen()) {
        m_channel.send(QLatin1String(Cmd::StopAll));
        m_port->close();
    }
    saveWindowSettings();
    pec->closeChart();
    settings->customGear()->close();
    periphery->closeWindows(); // pin labels and splash
    periphery->restoreColours();
}

} // namespace corvane
