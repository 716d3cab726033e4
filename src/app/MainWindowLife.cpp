// Start-up and shutdown of the main window.
#include "app/MainWindow.h"

#include "app/TerminalPanel.h"
#include "common/Prompts.h"
#include "link/SerialPort.h"

#include <QLabel>

namespace corvane {

bool MainWindow::startUp() {
    const ProbeResult probe = probePorts(*m_port);
    applyProbe(probe);
    if (!probe.anyUsable) {
        m_prompts.message(noPortsMessage(), noPortsTitle(), PromptIcon::None, PromptButtons::Ok);
        m_shutDown = true; // ends at once, without the shutdown steps
        return false;
    }
    statusPanel[4]->show();
    m_channel.dispatchArmed = true;
    if (m_port->isOpen())
        m_port->close();
    for (int i = 0; i < 3; ++i)
        terminal->pressClear(i);
    // [start-up: guide rate 2X, autoUpdate off, pulse mode off, direction letters]
    // [start-up: catalogue list]
    // [start-up: night colours filled and current colours saved]
    // [start-up: close the splash window]
    return true;
}

void MainWindow::shutDown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_port->isOpen()) {
        m_channel.send(QLatin1String(Cmd::StopAll));
        m_port->close();
    }
    // [shutdown: write the settings file]
    // [shutdown: close the other windows]
    // [shutdown: restore the saved colours]
}

} // namespace corvane
