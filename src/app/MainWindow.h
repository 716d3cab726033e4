#pragma once

#include "app/AppContext.h"
#include "link/Channel.h"
#include "link/Dispatcher.h"
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
class TargetPanel;
class GuidePanel;
class FocusPanel;
class PeripheryMenus;

// frmMain: owns the serial port, the form state and every control. Each
// panel's logic lives in its own class; this window wires them together and
// routes the controller's replies to them.
class MainWindow : public QMainWindow, public ReplySink {
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
    FormState& state() { return m_state; }
    AppContext context() { return {m_channel, m_clock, m_prompts, m_state}; }

    // Ports and connection.
    void choosePort(int portNumber);
    void toggleConnection();
    void showConnectionState();

    // One tick of the position polling timer Timer1.
    void pollPosition();

    // ReplySink
    void showVersion(const QString& reply, const VersionInfo& info) override;
    void showScopeRA(const QString& text) override;
    void showScopeDEC(const QString& text) override;
    void showScopePosition(const PositionText& position) override;
    void showControllerTarget(const TargetText& target) override;
    void decodeSettingsDump(const QString& reply) override;
    void decodePECState(const QString& reply) override;
    void decodePECTable(const QString& reply) override;
    QString degreeMark() const override;
    QString minuteMark() const override;

    static QString mainCaption() {
        return QStringLiteral("Corvane Update Control and Configuration");
    }

signals:
    // Hooks for the subsystems that hang off the link.
    void versionReceived(const corvane::VersionInfo& info);
    void controllerTargetReceived(const corvane::TargetText& target);
    void settingsDumpReceived(const QString& reply);
    void pecStateReceived(const QString& reply);
    void pecTableReceived(const QString& reply);
    // After every reception has been shown and dispatched.
    void receptionHandled();
    // The user disconnected (or the adapter vanished): empty the settings page.
    void settingsCleared();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void buildTabs();
    void onReceived(const QString& text);
    void onPortLost();
    void applyProbe(const ProbeResult& probe);
    void checkOnlyPort(int portNumber);
    void shutDown();
    // Settings file (MainWindowSettings.cpp).
    void loadWindowSettings();
    void saveWindowSettings();
    // Position polling and tab changes (MainWindowPolling.cpp).
    void setUpPolling();
    void onAutoUpdateToggled(bool on);
    void onPollIntervalChanged(int ms);
    void onTabChanged(int index);

    Clock& m_clock;
    Prompts& m_prompts;
    SerialPort* m_port;
    FormState m_state;
    Channel m_channel;
    bool m_shutDown = false;

public:
    // Controls, named as in the window design.
    QMenu* mnuPort = nullptr;
    QAction* mnucom[17] = {};
    QAction* mnuConnect = nullptr;
    QMenu* mnuSettings = nullptr;
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
    // Fan, user pins, pin labels, night vision, help and About.
    PeripheryMenus* periphery = nullptr;
    // Position polling timer.
    QTimer* Timer1 = nullptr;
};

} // namespace corvane
