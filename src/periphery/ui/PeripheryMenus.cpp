#include "periphery/ui/PeripheryMenus.h"

#include "common/Prompts.h"
#include "periphery/AboutText.h"
#include "periphery/AuxiliaryOutputs.h"
#include "periphery/ui/GuideWindow.h"
#include "periphery/ui/LabelsDialog.h"
#include "periphery/ui/SplashWindow.h"
#include "session/MountSession.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>

namespace corvane {

PeripheryMenus::PeripheryMenus(MountSession& session, PeripheryActions actions, QObject* parent)
    : QObject(parent), m_outputs(session.outputs()), m_prompts(session.prompts()),
      m_actions(actions) {
    // The check marks show what this program switched: the board does not
    // report its outputs. Each choice switches the output over.
    const std::pair<QAction*, Output> outputs[] = {{m_actions.fan, Output::Fan},
                                                   {m_actions.pin7, Output::Pin7},
                                                   {m_actions.pin14, Output::Pin14}};
    for (const auto& [action, output] : outputs) {
        action->setCheckable(true);
        const Output which = output;
        connect(action, &QAction::triggered, this, [this, which] { m_outputs.toggle(which); });
    }
    connect(&m_outputs, &AuxiliaryOutputs::changed, this, &PeripheryMenus::showOutputs);
    showOutputs();
    m_actions.nightVision->setCheckable(true);
    m_actions.nightVision->setChecked(false);
    connect(m_actions.nightVision, &QAction::triggered, this, &PeripheryMenus::switchNightVision);
    connect(m_actions.rename, &QAction::triggered, this, &PeripheryMenus::openLabels);
    connect(m_actions.basicHelp, &QAction::triggered, this, &PeripheryMenus::showBasicHelp);
    connect(m_actions.guide, &QAction::triggered, this, &PeripheryMenus::showGuide);
    connect(m_actions.about, &QAction::triggered, this, &PeripheryMenus::showAbout);
}

void PeripheryMenus::showOutputs() {
    m_actions.fan->setChecked(m_outputs.isOn(Output::Fan));
    m_actions.pin7->setChecked(m_outputs.isOn(Output::Pin7));
    m_actions.pin14->setChecked(m_outputs.isOn(Output::Pin14));
    m_actions.pin7->setText(m_outputs.pin7Label());
    m_actions.pin14->setText(m_outputs.pin14Label());
}

void PeripheryMenus::prepareColours() {
    m_night.prepare();
}

void PeripheryMenus::restoreColours() {
    m_night.nightOff();
}

void PeripheryMenus::closeWindows() {
    if (m_labels)
        m_labels->close();
    closeSplash();
}

void PeripheryMenus::switchNightVision(bool on) {
    if (on)
        m_night.nightOn();
    else
        m_night.nightOff();
    m_actions.nightVision->setChecked(on);
}

void PeripheryMenus::openLabels() {
    // One dialog at a time; a closed one is on its way out.
    if (!m_labels || !m_labels->isVisible()) {
        m_labels = new LabelsDialog(m_outputs, m_actions.window);
        m_labels->move(LabelsDialog::placeBelow(*m_actions.window));
    }
    m_labels->show();
    m_labels->raise();
    m_labels->activateWindow();
}

void PeripheryMenus::showBasicHelp() {
    m_prompts.message(basicHelpText(), basicHelpTitle(), PromptIcon::Information,
                      PromptButtons::Ok);
}

void PeripheryMenus::showGuide() {
    if (!m_guide) {
        const QString page = userGuidePage(QCoreApplication::applicationDirPath());
        if (page.isEmpty()) {
            m_prompts.message(QStringLiteral("The user guide is not installed here; it is in "
                                             "docs/guide of the program's sources."),
                              QStringLiteral("Help"), PromptIcon::Information, PromptButtons::Ok);
            return;
        }
        m_guide = new GuideWindow(page, m_actions.window);
    }
    m_guide->show();
    m_guide->raise();
}

void PeripheryMenus::showAbout() {
    showSplash(m_actions.window);
}

} // namespace corvane
