// Port selection, connection and the connection's display.
#include "app/MainWindow.h"

#include "app/TerminalPanel.h"
#include "common/Prompts.h"
#include "link/SerialPort.h"

#include <QAction>
#include <QLabel>

namespace corvane {

void MainWindow::applyProbe(const ProbeResult& probe) {
    for (int n = 1; n <= 16; ++n) {
        mnucom[n]->setEnabled(probe.usable[n]);
        mnucom[n]->setVisible(probe.usable[n]);
        // The device behind the number, for the user who wonders which is which.
        const QString device = m_port->deviceName(n);
        mnucom[n]->setStatusTip(device);
        mnucom[n]->setToolTip(device.isEmpty() ? portMenuCaption(n).remove(QLatin1Char('&'))
                                               : device);
    }
}

void MainWindow::checkOnlyPort(int portNumber) {
    for (int n = 1; n <= 16; ++n)
        mnucom[n]->setChecked(n == portNumber);
}

void MainWindow::choosePort(int portNumber) {
    const int previous = m_port->portNumber();
    if (m_port->isOpen()) {
        m_port->close();
        m_port->setPortNumber(portNumber);
        QString error;
        if (!m_port->open(&error)) {
            m_prompts.message(portUnavailableMessage(portNumber, error), applicationTitle(),
                              PromptIcon::None, PromptButtons::Ok);
            m_port->setPortNumber(previous);
            // The menu keeps showing the port in use.
            checkOnlyPort(previous);
        } else {
            checkOnlyPort(portNumber);
        }
    } else {
        m_port->setPortNumber(portNumber);
        checkOnlyPort(portNumber);
    }
    showConnectionState();
}

void MainWindow::toggleConnection() {
    m_channel.setAwaitedCount(1);
    if (m_port->isOpen()) {
        m_port->close();
        setWindowTitle(mainCaption());
        terminal->showResponse(QString());
        emit settingsCleared();
        showConnectionState();
        return;
    }
    QString error;
    if (!m_port->open(&error)) {
        m_prompts.message(portUnavailableMessage(m_port->portNumber(), error), applicationTitle(),
                          PromptIcon::None, PromptButtons::Ok);
    }
    m_clock.pause(100);
    terminal->pressGetVersion();
    m_clock.pause(20);
    showConnectionState();
}

void MainWindow::showConnectionState() {
    const ConnectionDisplay d = connectionDisplay(m_port->isOpen(), m_state.firmwareVersion,
                                                  m_port->portNumber(), m_port->settingsText());
    statusPanel[1]->setText(d.state);
    statusPanel[2]->setText(d.port);
    statusPanel[3]->setText(d.settings);
    mnuConnect->setText(d.connectCaption);
    terminal->setSendEnabled(d.sendEnabled);
}

void MainWindow::onPortLost() {
    // The adapter vanished: the port is already closed. Show it at once and
    // leave the page as a disconnect would; no message box to click away.
    setWindowTitle(mainCaption());
    emit settingsCleared();
    showConnectionState();
}

} // namespace corvane
