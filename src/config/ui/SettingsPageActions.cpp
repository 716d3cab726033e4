// What the settings page's controls do: picks, saves, the readback, storing
// and replaying, and mount data files.
#include "config/ui/SettingsPage.h"

#include "common/Prompts.h"
#include "config/MountDataFile.h"
#include "config/SaveAll.h"
#include "config/SettingsDump.h"
#include "link/Channel.h"
#include "link/ControllerInfo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

namespace {
const QString kSaveSettings = QStringLiteral("Save Settings");
const QString kSaveAllSettings = QStringLiteral("Save All Settings");
} // namespace

void SettingsPage::invalidEntry(const QString& text) {
    m_ctx.prompts.message(text, applicationTitle(), PromptIcon::None, PromptButtons::Ok);
}

void SettingsPage::showPowerCycleNotice() {
    m_ctx.prompts.message(powerCycleNoticeText(), applicationTitle(), PromptIcon::None,
                          PromptButtons::Ok);
}

// A pick sends the entry's command; the speed and tracking lists first set
// the awaited count to 1. A new gear ratio is told to need a store and a
// power cycle, unless a loaded file's replay will say so once for all.
void SettingsPage::pickList(SettingList l) {
    const ListPick pick = listCommand(l, list(l)->currentText());
    if (pick.refused) {
        invalidEntry(QStringLiteral("Invalid Entry"));
        return;
    }
    if (pick.command.isEmpty())
        return;
    const SettingListInfo& info = settingListInfo(l);
    Sequence s(QStringLiteral("setting"));
    if (info.setsAwaitedCountToOne)
        s.then([this] { awaitAcknowledgement(); });
    s.send(pick.command);
    if (info.showsPowerCycleNotice && !m_ctx.shared.fileSettingsPending)
        s.ask([this] {
            showPowerCycleNotice();
            return true;
        });
    m_ctx.channel.run(std::move(s));
}

// Only a whole number 0..65535 goes out; anything else is refused and the
// button stays as it is, so the user can correct the value.
void SettingsPage::pressSave(NumberSetting n) {
    const std::optional<QString> command = numberCommand(n, box(n)->text());
    if (!command) {
        invalidEntry(QStringLiteral("Invalid Entry"));
        return;
    }
    if (numberSettingInfo(n).showsPowerCycleNotice && !m_ctx.shared.fileSettingsPending)
        showPowerCycleNotice();
    m_ctx.channel.run(Sequence(QStringLiteral("setting")).send(*command));
    saveButton(n)->setEnabled(false);
}

// The board may answer a speed or tracking command with one character. It is
// awaited under a kind that nothing decodes, so that only the reply to a dump
// request is ever read as a dump.
void SettingsPage::awaitAcknowledgement() {
    m_ctx.channel.expect(ReplyFormat::Text, ReplyKind::Acknowledgement, 1);
}

// Reading the board's settings back is the user's choice over a loaded file
// that still waits to be stored.
void SettingsPage::pressGetSettings() {
    endFileWaiting();
    readBack();
}

void SettingsPage::endFileWaiting() {
    m_ctx.shared.fileSettingsPending = false;
    cmdSaveSettings->setText(kSaveSettings);
}

void SettingsPage::readBack() {
    m_ctx.channel.run(Sequence(QStringLiteral("settings query")).then([this] {
        m_ctx.channel.getSettings(m_ctx.controller.version().splitSettingsDump);
    }));
}

void SettingsPage::decodeDump(const QString& reply) {
    showReadback(m_ctx.controller.version().splitSettingsDump ? decodeSplitSettingsDump(reply)
                                                              : decodeSettingsDump(reply));
}

// Showing a value sends nothing. A gear ratio that is none of the entries
// joins them, once.
void SettingsPage::showReadback(const SettingsView& view) {
    for (SettingList l : allSettingLists()) {
        if (!view[l])
            continue;
        if (l == SettingList::GearRatio)
            addGearEntry(*view[l]);
        QComboBox* combo = list(l);
        combo->setCurrentIndex(combo->findText(*view[l]));
        combo->setEditText(*view[l]);
    }
    for (NumberSetting n : allNumberSettings()) {
        if (view[n])
            box(n)->setText(*view[n]);
    }
    for (int i = 0; i < 3; ++i) {
        if (view.rateCaption[i])
            emit rateCaptionRead(i, *view.rateCaption[i]);
    }
}

void SettingsPage::addGearEntry(const QString& ratio) {
    const QString entry = ratio.trimmed();
    QComboBox* gear = list(SettingList::GearRatio);
    if (!entry.isEmpty() && gear->findText(entry) < 0)
        gear->addItem(entry);
}

void SettingsPage::clearSettingsFields() {
    for (QComboBox* combo : m_lists) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    for (NumberSetting n : {NumberSetting::WormRatio, NumberSetting::WormWheel,
                            NumberSetting::DecBacklash, NumberSetting::RaBacklash}) {
        box(n)->clear();
        saveButton(n)->setEnabled(false);
    }
}

void SettingsPage::connectionToggled() {
    saveButton(NumberSetting::DecWormRatio)->setEnabled(false);
}

void SettingsPage::pressSaveSettings() {
    if (cmdSaveSettings->text() == kSaveSettings)
        m_ctx.channel.run(Sequence(QStringLiteral("store")).send(storeSettingsCommand()));
    else
        saveAllSettings();
}

// The whole page goes to the controller, then one notice, then the store
// command once the user has closed it. A box that holds no number refuses
// the replay before anything is sent: the controller never gets half a
// configuration, and the button keeps its caption for another try.
void SettingsPage::saveAllSettings() {
    // With the port closed nothing would reach the board: the loaded values
    // keep waiting, and the user is told so instead of being told they were stored.
    if (!m_ctx.channel.isOpen()) {
        invalidEntry(QStringLiteral("The port is not open: the settings were not sent to the "
                                    "board. Connect, then press Save All Settings again."));
        return;
    }
    const ReplayPlan plan = planSaveAll([this](SettingList l) { return list(l)->currentText(); },
                                        [this](NumberSetting n) { return box(n)->text(); });
    if (plan.refused()) {
        invalidEntry(plan.refusal());
        return;
    }
    Sequence replay(QStringLiteral("save all settings"));
    for (int i = 0; i < plan.commands.size(); ++i) {
        const SaveAllStep& step = plan.sentSteps.at(i);
        if (step.isList && settingListInfo(step.list).setsAwaitedCountToOne)
            replay.then([this] { awaitAcknowledgement(); });
        replay.send(plan.commands.at(i));
        if (!step.isList)
            replay.then([this, n = step.number] { saveButton(n)->setEnabled(false); });
    }
    replay
        .ask([this] {
            showPowerCycleNotice();
            return true;
        })
        .then([this] { cmdSaveSettings->setText(kSaveSettings); })
        .send(storeSettingsCommand())
        .then([this] { m_ctx.shared.fileSettingsPending = false; });
    m_ctx.channel.run(std::move(replay));
}

// The page's fifteen texts, as they stand.
void SettingsPage::saveMountData() {
    const QString path = m_ctx.prompts.saveFileName(mountDataFilter());
    if (path.isEmpty())
        return;
    QStringList values;
    for (const MountDataKey& key : mountDataKeys())
        values << (key.control.isList ? list(key.control.list)->currentText()
                                      : box(key.control.number)->text());
    QString error;
    if (!writeMountData(path, values, &error))
        m_ctx.prompts.message(error, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

// A file's values go onto the page only; "Save All Settings" sends them.
void SettingsPage::loadMountData() {
    const QString path = m_ctx.prompts.openFileName(mountDataFilter());
    if (!path.isEmpty()) {
        QString error;
        const std::optional<QStringList> values = readMountData(path, &error);
        if (!values) {
            m_ctx.prompts.message(error, applicationTitle(), PromptIcon::Warning,
                                  PromptButtons::Ok);
            return;
        }
        const QVector<MountDataKey> keys = mountDataKeys();
        for (int i = 0; i < keys.size(); ++i) {
            const QString& value = values->at(i);
            if (value.isEmpty())
                continue;
            if (keys[i].control.isList) {
                QComboBox* combo = list(keys[i].control.list);
                combo->setCurrentIndex(combo->findText(value));
                combo->setEditText(value);
            } else {
                box(keys[i].control.number)->setText(value);
            }
        }
    }
    m_ctx.shared.fileSettingsPending = true;
    cmdSaveSettings->setText(kSaveAllSettings);
}

} // namespace corvane
