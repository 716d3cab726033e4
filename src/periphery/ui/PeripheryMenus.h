#pragma once

#include "periphery/ui/LabelsDialog.h"
#include "periphery/ui/NightVision.h"

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace corvane {

class AuxiliaryOutputs;
class MountSession;
class Prompts;

// The main window's menu entries that this part of the program serves.
struct PeripheryActions {
    QWidget* window = nullptr; // the main window: owner and anchor of the dialogs
    QAction* fan = nullptr;
    QAction* pin7 = nullptr;
    QAction* pin14 = nullptr;
    QAction* rename = nullptr;
    QAction* nightVision = nullptr;
    QAction* basicHelp = nullptr;
    QAction* guide = nullptr;
    QAction* about = nullptr;
};

// Outputs (fan and user pins), the pin label dialog, night vision, help and
// About: connects the entries and keeps the windows they open.
class PeripheryMenus : public QObject {
    Q_OBJECT
public:
    PeripheryMenus(MountSession& session, PeripheryActions actions, QObject* parent = nullptr);

    // Start-up: the night colours filled and the colours in force saved.
    void prepareColours();
    // Shutdown: the label dialog and the splash window closed, then the
    // saved colours restored, whether night vision was on or not.
    void closeWindows();
    void restoreColours();

    void openLabels();
    void showBasicHelp();
    void showGuide();
    void showAbout();
    void switchNightVision(bool on);

    LabelsDialog* labels() const { return m_labels; }
    NightVision& nightVision() { return m_night; }

private:
    void showOutputs();

    AuxiliaryOutputs& m_outputs;
    Prompts& m_prompts;
    PeripheryActions m_actions;
    NightVision m_night;
    QPointer<LabelsDialog> m_labels;
    QPointer<QWidget> m_guide;
};

} // namespace corvane
