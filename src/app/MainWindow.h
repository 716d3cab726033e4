#pragma once

#include "link/Channel.h"
#include "link/ControllerInfo.h"
#include "link/PanelContext.h"
#include "link/Ports.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QGridLayout;
class QTimer;

namespace corvane {

class SerialPort;
class TerminalPanel;
class PositionPanel;
class PositionPolling;
class TargetPanel;
class GuidePanel;
class FocusPanel;
class PeripheryMenus;
class SettingsPage;
class PecPage;
class SkyPanel;
struct WindowSettings;

// frmMain: owns the serial port, the form state and every control. Each
// panel's logic lives in its subsystem; the panels subscribe to the replies
// they read. This window builds them, wires them together and keeps the
// connection's display.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Takes ownership of the port.
    MainWindow(SerialPort* port, Clock& clock, Prompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: probes the ports and prepares every panel. Returns false when
    // no port can be used; the caller then ends the program.
    bool startUp();

    Channel& channel() { return m_channel; }
    SerialPort& port() { return *m_port; }
    ControllerInfo& controller() { return m_controller; }
    SharedState& shared() { return m_shared; }
    PositionPolling& polling() { return *m_polling; }
    PanelContext context();

    // Ports and connection.
    void choosePort(int portNumber);
    void toggleConnection();
    void showConnectionState();

    // One tick of the position polling timer Timer1.
    void pollPosition();

    static QString mainCaption() {
        return QStringLiteral("Corvane Update Control and Configuration");
    }

signals:
    // The user disconnected (or the adapter vanished): empty the settings page.
    void settingsCleared();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void buildTabs();
    void buildGuidingPage();
    void showStatus(const QString& text);
    void onPortLost();
    void applyProbe(const ProbeResult& probe);
    void checkOnlyPort(int portNumber);
    // A port was opened: forget the last controller and ask this one.
    void greetController();
    void shutDown();
    // Settings file (MainWindowSettings.cpp).
    WindowSettings readSettingsFile() const;
    void loadWindowSettings(const WindowSettings& settings);
    void saveWindowSettings();
    // Tab changes (MainWindowTabs.cpp).
    void onTabChanged(int index);

    Clock& m_clock;
    Prompts& m_prompts;
    SerialPort* m_port;
    Channel m_channel;
    ControllerInfo m_controller;
    SharedState m_shared;
    PositionPolling* m_polling = nullptr;
    bool m_shutDown = false;
    bool m_closeWhenIdle = false;

public:
    // Controls, named as in the window design.
    QMenu* mnuPort = nullptr;
    QAction* mnucom[17] = {};
    QAction* mnuConnect = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuload = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuHelp = nullptr;
    // "&Options" entries.
    QAction* mnuFanCntrl = nullptr;
    QMenu* mnuUserPins = nullptr;
    QAction* mnuPin7 = nullptr;
    QAction* mnuPin14 = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuNightVision = nullptr;
    QAction* SaveOnExit = nullptr;
    // "&Help" entries.
    QAction* mnuHelpSel[2] = {};
    QTabWidget* tabstrip1 = nullptr;
    QWidget* tabPage[3] = {};
    QGridLayout* guidingLayout = nullptr;
    QLabel* statusPanel[5] = {}; // index 1..4
    TerminalPanel* terminal = nullptr;
    PositionPanel* position = nullptr;
    TargetPanel* target = nullptr;
    GuidePanel* guide = nullptr;
    FocusPanel* focus = nullptr;
    SettingsPage* settings = nullptr;
    PecPage* pec = nullptr;
    SkyPanel* sky = nullptr;
    // Fan, user pins, pin labels, night vision, help and About.
    PeripheryMenus* periphery = nullptr;
    // Position polling timer (owned by the polling).
    QTimer* Timer1 = nullptr;
};

} // namespace corvane
