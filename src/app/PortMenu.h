#pragma once

#include "link/Ports.h"

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace corvane {

class MountSession;

// The Port menu: the port numbers the session finds usable (listed again as
// the menu opens while no port is open), the one in use checked, a network
// board, and Connect.
class PortMenu : public QObject {
    Q_OBJECT
public:
    PortMenu(MountSession& session, QMenuBar* bar, QWidget* window);

    QMenu* menu() const { return m_menu; }
    QAction* connectAction() const { return m_connect; }
    QAction* portAction(int portNumber) const { return m_ports[portNumber]; }

    // Shows the port numbers the session holds usable.
    void showUsable();
    void checkOnly(int portNumber);
    void openNetworkBoard();

private:
    void relist();

    MountSession& m_session;
    QWidget* m_window;
    QMenu* m_menu;
    QAction* m_ports[17] = {};
    QAction* m_connect = nullptr;
};

} // namespace corvane
