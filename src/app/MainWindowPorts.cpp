// Port selection, connection and the connection's display.
#include "app/MainWindow.h"

#include "common/Prompts.h"
#include "config/ui/SettingsPage.h"
#include "link/SerialPort.h"
#include "link/ui/TerminalPanel.h"

#include <QAction>
#include <QLabel>

namespace corvane {

void MainWindow::applyProbe(const ProbeResult& probe) {
    for (int n = 1; n <= 16; ++n) {
        mnucom[n]->setEnabled(probe.usable[n]);
        mnucom[n]->setVisible(probe.usable[n]);
        // The device and what identifies it, for the user who wonders which is which.
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

namespace {
// After opening: the board settles before the version query, and the query's
// reply is given a moment before the display is brought up to date.
constexpr int kOpenSettleMs = 100;
constexpr int kVersionSettleMs = 20;
} // namespace

void MainWindow::choosePort(int portNumber) {
    const int previous = m_port->portNumber();
    if (m_port->isOpen()) {
        m_channel.runner().abort(SequenceResult::Cancelled);
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
            greetController();
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
        if (m_channel.runner().isRunningProtected()) {
            m_prompts.message(QStringLiteral("Please wait: the ") +
                                  m_channel.runner().runningName() +
                                  QStringLiteral(" must finish before the port is closed."),
                              applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
            return;
        }
        m_channel.runner().abort(SequenceResult::Cancelled);
        m_port->close();
        setWindowTitle(mainCaption());
        terminal->showResponse(QString());
        emit settingsCleared();
        settings->connectionToggled();
        showConnectionState();
        return;
    }
    QString error;
    if (!m_port->open(&error)) {
        m_prompts.message(portUnavailableMessage(m_port->portNumber(), error), applicationTitle(),
                          PromptIcon::None, PromptButtons::Ok);
    }
    greetController();
}

// Whatever answered on the last port may not be the board on this one: until
// this one answers, the window claims no controller and offers no feature of
// one. (Disconnecting alone keeps what the last controller said.)
void MainWindow::greetController() {
    if (m_port->isOpen())
        m_controller.forget();
    m_channel.run(Sequence(QStringLiteral("connection"))
                      .pause(kOpenSettleMs)
                      .then([this] { m_channel.getVer(); })
                      .pause(kVersionSettleMs)
                      .then([this] {
                          settings->connectionToggled();
                          showConnectionState();
                      }));
}

void MainWindow::showConnectionState() {
    const ConnectionDisplay d = connectionDisplay(m_port->isOpen(), m_controller.firmwareVersion(),
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
