#include "periphery/ui/PeripheryMenus.h"

#include "common/Prompts.h"
#include "periphery/AboutText.h"
#include "periphery/Outputs.h"
#include "periphery/ui/LabelsDialog.h"
#include "periphery/ui/SplashWindow.h"

#include <QAction>
#include <QWidget>

namespace corvane {

PeripheryMenus::PeripheryMenus(Channel& channel, Prompts& prompts, PeripheryActions actions,
                               QObject* parent)
    : QObject(parent), m_channel(channel), m_prompts(prompts), m_actions(actions) {
    // The check mark is the only record of an output's state: the board does
    // not report it. Each choice switches the output to the new mark.
    const std::pair<QAction*, Output> outputs[] = {{m_actions.fan, Output::Fan},
                                                   {m_actions.pin7, Output::Pin7},
                                                   {m_actions.pin14, Output::Pin14}};
    for (const auto& [action, output] : outputs) {
        action->setCheckable(true);
        action->setChecked(false);
        const Output which = output;
        connect(action, &QAction::triggered, this,
                [this, which](bool on) { sendOutput(m_channel, which, on); });
    }
    m_actions.nightVision->setCheckable(true);
    m_actions.nightVision->setChecked(false);
    connect(m_actions.nightVision, &QAction::triggered, this, &PeripheryMenus::switchNightVision);
    connect(m_actions.rename, &QAction::triggered, this, &PeripheryMenus::openLabels);
    connect(m_actions.basicHelp, &QAction::triggered, this, &PeripheryMenus::showBasicHelp);
    connect(m_actions.about, &QAction::triggered, this, &PeripheryMenus::showAbout);
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
        m_labels = new LabelsDialog(m_actions.pin7, m_actions.pin14, m_actions.window);
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

void PeripheryMenus::showAbout() {
    showSplash(m_actions.window);
}

} // namespace corvane
