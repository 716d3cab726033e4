#pragma once

#include "session/MountSession.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

namespace corvane {

class FocusPanel;
class MountBackupRunner;
class GuidePanel;
class PecPage;
class PortMenu;
class PeripheryMenus;
class PositionPanel;
class ShareDialog;
class TrafficWindow;
class ShareServer;
struct CommandLine;
class SettingsPage;
class SkyPanel;
class TargetPanel;
class TerminalPanel;
struct WindowSettings;

// frmMain: the menus, the status bar and the pages of the mount session's
// panels. It drives the mount only through the session and its models, and
// keeps the window's own settings file.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Takes ownership of the port.
    MainWindow(SerialPort* port, Clock& clock, Prompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: probes the ports and prepares every panel. Returns false when
    // no port could be used (which it says); the window works all the same.
    bool startUp();

    MountSession& session() { return *m_session; }
    ShareServer& share() { return *m_share; }
    MountBackupRunner& backup() { return *m_backup; }
    // What the command line asks once the window is up: connecting to the
    // remembered port, sharing the mount.
    void startFromCommandLine(const CommandLine& options);
    void openShareDialog();
    void openTraffic();

    static QString mainCaption() {
        return QStringLiteral("Corvane Update Control and Configuration");
    }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void buildPages();
    void connectSession();
    void showConnection();
    void shutDown();
    // The settings file (MainWindowLife.cpp).
    WindowSettings readSettingsFile() const;
    void applySettings(const WindowSettings& settings);
    void saveSettings();
    void showSharing();
    void sayWhereShared();

    MountSession* m_session;
    PortMenu* m_ports = nullptr;
    ShareServer* m_share;
    MountBackupRunner* m_backup;
    QPointer<ShareDialog> m_shareDialog;
    QPointer<TrafficWindow> m_traffic;
    bool m_shutDown = false;
    bool m_closeWhenIdle = false;
    bool m_sharedAtExit = false;
    // Whether the settings file is written at exit ("Save Settings On Exit").
    bool m_saveOnExit = true;

    // Controls, named as in the window design (found by those names from
    // outside: tests and tools look them up as a user would).
    QMenu* mnuPort = nullptr;
    QAction* mnuConnect = nullptr;
    QAction* mnuTraffic = nullptr;
    QAction* mnuReconnect = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuload = nullptr;
    QAction* mnuBackup = nullptr;
    QAction* mnuRestoreMount = nullptr;
    QAction* mnuExportBackup = nullptr;
    QAction* mnuFanCntrl = nullptr;
    QAction* mnuPin7 = nullptr;
    QAction* mnuPin14 = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuNightVision = nullptr;
    QAction* SaveOnExit = nullptr;
    QAction* mnuShare = nullptr;
    QAction* mnuHelpSel[2] = {};
    QAction* mnuGuide = nullptr;
    QTabWidget* tabstrip1 = nullptr;
    QLabel* statusPanel[6] = {}; // index 1..4, and 5 while the mount is shared
    TerminalPanel* terminal = nullptr;
    PositionPanel* position = nullptr;
    TargetPanel* target = nullptr;
    GuidePanel* guide = nullptr;
    FocusPanel* focus = nullptr;
    SettingsPage* settings = nullptr;
    PecPage* pec = nullptr;
    SkyPanel* sky = nullptr;
    PeripheryMenus* periphery = nullptr;
};

} // namespace corvane
