#include "app/PortMenu.h"

#include "link/SerialPort.h"
#include "link/ui/NetworkBoardDialog.h"
#include "session/MountSession.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace corvane {

PortMenu::PortMenu(MountSession& session, QMenuBar* bar, QWidget* window)
    : QObject(window), m_session(session), m_window(window),
      m_menu(bar->addMenu(QStringLiteral("&Port"))) {
    setObjectName(QStringLiteral("PortMenu"));
    m_menu->setObjectName(QStringLiteral("mnuPort"));
    for (int n = 1; n <= 16; ++n) {
        m_ports[n] = m_menu->addAction(portMenuCaption(n));
        m_ports[n]->setObjectName(QStringLiteral("mnucom_%1").arg(n));
        m_ports[n]->setCheckable(true);
        connect(m_ports[n], &QAction::triggered, this, [this, n] {
            m_session.choosePort(n);
            // The menu shows the port in use (after a failed change, the previous one).
            checkOnly(m_session.portNumber());
        });
    }
    m_menu->setToolTipsVisible(true);
    connect(m_menu, &QMenu::aboutToShow, this, &PortMenu::relist);
    m_menu->addSeparator();
    QAction* network = m_menu->addAction(QStringLiteral("Network Board…"));
    network->setObjectName(QStringLiteral("mnuNetwork"));
    connect(network, &QAction::triggered, this, &PortMenu::openNetworkBoard);
    m_connect = m_menu->addAction(QStringLiteral("&Connect"));
    m_connect->setObjectName(QStringLiteral("mnuConnect"));
    connect(m_connect, &QAction::triggered, &m_session, &MountSession::toggleConnection);
}

void PortMenu::relist() {
    if (m_session.isOpen())
        return;
    m_session.relistPorts();
    showUsable();
}

void PortMenu::showUsable() {
    const ProbeResult& usable = m_session.usablePorts();
    for (int n = 1; n <= 16; ++n) {
        m_ports[n]->setEnabled(usable.usable[n]);
        m_ports[n]->setVisible(usable.usable[n]);
        // The device and what identifies it, for the user who wonders which is which.
        const QString device = m_session.port().deviceName(n);
        m_ports[n]->setStatusTip(device);
        m_ports[n]->setToolTip(device.isEmpty() ? portMenuCaption(n).remove(QLatin1Char('&'))
                                                : device);
    }
}

void PortMenu::checkOnly(int portNumber) {
    for (int n = 1; n <= 16; ++n)
        m_ports[n]->setChecked(n == portNumber);
}

void PortMenu::openNetworkBoard() {
    NetworkBoardDialog dialog(m_session, m_window);
    connect(&dialog, &NetworkBoardDialog::bound, this, [this](int n) {
        m_session.addUsablePort(n);
        showUsable();
        checkOnly(n);
    });
    dialog.exec();
}

} // namespace corvane
