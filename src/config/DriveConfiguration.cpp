#include "config/DriveConfiguration.h"

#include <QPointer>

#include "common/NumberText.h"
#include "common/Prompts.h"
#include "config/MountDataFile.h"
#include "config/SaveAll.h"
#include "controller/ControllerInfo.h"
#include "link/BoardLine.h"

namespace corvane {

namespace {
const NumberSetting kSavesWithdrawnByReplies[] = {
    NumberSetting::WormRatio, NumberSetting::WormWheel, NumberSetting::RaBacklash,
    NumberSetting::DecBacklash};
} // namespace

Query settingsQuery(bool splitSettingsDump) {
    Query q;
    q.name = QStringLiteral("settings query");
    q.command = QLatin1String(splitSettingsDump ? "#<:VX##>:VX#" : "#:VX#");
    q.replyLength = splitSettingsDump ? 18 : 16;
    q.form = ReplyForm::Raw;
    q.awaitedKind = kSettingsDumpKind;
    return q;
}

Query settingAcknowledgement() {
    return letGoQuery(QStringLiteral("setting"), 1);
}

DriveConfiguration::DriveConfiguration(BoardLine& line, ControllerInfo& controller,
                                       Prompts& prompts, QObject* parent)
    : QObject(parent), m_line(line), m_controller(controller), m_prompts(prompts) {
    // Disabled until its box is edited; the DEC worm ratio's starts offered.
    m_saveOffered[static_cast<int>(NumberSetting::DecWormRatio)] = true;
    // Every reception withdraws four Save buttons; editing a box offers its
    // own again (the DEC worm ratio's is withdrawn only by its own sending).
    connect(&m_line, &BoardLine::receptionHandled, this, [this] {
        for (NumberSetting n : kSavesWithdrawnByReplies)
            m_saveOffered[static_cast<int>(n)] = false;
        emit changed();
    });
}

ReplyHandler DriveConfiguration::settingsReply() {
    QPointer<DriveConfiguration> self(this);
    return [self](const RawReply& reply) {
        if (self && reply.ok())
            self->decode(reply.bytes);
    };
}

QStringList DriveConfiguration::entries(SettingList l) const {
    QStringList out = settingListInfo(l).entries;
    if (l == SettingList::GearRatio)
        for (const int ratio : m_extraGears)
            out << QString::number(ratio);
    return out;
}

double DriveConfiguration::gotoSpeed() const {
    const SettingValue& speed = value(SettingList::GotoSpeed);
    return speed.isValue() ? speedMultiple(speed.value()) : leadingNumber(speed.text());
}

QString DriveConfiguration::storeCaption() const {
    return m_fileSettingsPending ? QStringLiteral("Save All Settings")
                                 : QStringLiteral("Save Settings");
}

void DriveConfiguration::setText(SettingList l, const QString& text) {
    if (this->text(l) == text)
        return;
    m_lists[static_cast<int>(l)] = listValue(l, text);
    emit changed();
}

void DriveConfiguration::setText(NumberSetting n, const QString& text) {
    if (this->text(n) == text)
        return;
    m_numbers[static_cast<int>(n)] = numberValue(text);
    m_saveOffered[static_cast<int>(n)] = true;
    emit changed();
}

void DriveConfiguration::tell(const QString& text) {
    m_prompts.message(text, applicationTitle(), PromptIcon::None, PromptButtons::Ok);
}

void DriveConfiguration::showPowerCycleNotice() {
    tell(powerCycleNoticeText());
}

// The board may answer a speed or tracking command with one character. It is
// awaited under a kind that nothing decodes, so that only the reply to a dump
// request is ever read as a dump.
void DriveConfiguration::awaitAcknowledgement(Sequence& s) {
    s.then([this] { m_line.expect(settingAcknowledgement()); });
}

// A pick sends the entry's command. A new gear ratio is told to need a store
// and a power cycle, unless a loaded file's replay will say so once for all.
void DriveConfiguration::pick(SettingList l) {
    const ListPick pick = listCommand(l, value(l));
    if (pick.refused) {
        tell(QStringLiteral("Invalid Entry"));
        return;
    }
    if (pick.command.isEmpty())
        return;
    const SettingListInfo& info = settingListInfo(l);
    Sequence s(QStringLiteral("setting"));
    if (info.setsAwaitedCountToOne)
        awaitAcknowledgement(s);
    s.send(pick.command);
    if (info.showsPowerCycleNotice && !m_fileSettingsPending)
        s.ask([this] {
            showPowerCycleNotice();
            return true;
        });
    m_line.run(std::move(s));
}

// Only a number the readback can show goes out; anything else is refused and
// the button stays offered, so the user can correct the value.
void DriveConfiguration::save(NumberSetting n) {
    const std::optional<QString> command = numberCommand(n, value(n));
    if (!command) {
        tell(QStringLiteral("Invalid Entry"));
        return;
    }
    if (numberSettingInfo(n).showsPowerCycleNotice && !m_fileSettingsPending)
        showPowerCycleNotice();
    m_line.run(Sequence(QStringLiteral("setting")).send(*command));
    m_saveOffered[static_cast<int>(n)] = false;
    emit changed();
}

void DriveConfiguration::readBack() {
    if (m_fileSettingsPending) {
        m_fileSettingsPending = false;
        emit changed();
    }
    m_line.run(Sequence(QStringLiteral("settings query")).then([this] {
        m_line.request(settingsQuery(m_controller.version().splitSettingsDump), settingsReply());
    }));
}

// A loaded mount data file that waits to be stored keeps its values: the
// board's are not read over them.
void DriveConfiguration::pageShown() {
    if (!m_fileSettingsPending)
        m_line.request(settingsQuery(m_controller.version().splitSettingsDump), settingsReply());
}

void DriveConfiguration::decode(const QByteArray& dump) {
    apply(m_controller.version().splitSettingsDump ? decodeSplitSettingsDump(dump)
                                                   : decodeSettingsDump(dump));
}

// Showing a value sends nothing. A gear ratio that is none of the entries
// joins them, once; a number written offers its Save.
void DriveConfiguration::apply(const SettingsView& view) {
    for (SettingList l : allSettingLists()) {
        const std::optional<SettingValue>& read = view.list[static_cast<int>(l)];
        if (!read)
            continue;
        if (l == SettingList::GearRatio && read->isValue())
            addEntry(read->value());
        m_lists[static_cast<int>(l)] = *read;
    }
    for (NumberSetting n : allNumberSettings()) {
        if (const std::optional<int>& read = view.number[static_cast<int>(n)]) {
            m_numbers[static_cast<int>(n)] = SettingValue::of(*read);
            m_saveOffered[static_cast<int>(n)] = true;
        }
    }
    emit changed();
    for (int i = 0; i < 3; ++i) {
        if (view.rateCaption[i])
            emit rateCaptionRead(i, *view.rateCaption[i]);
    }
}

void DriveConfiguration::addEntry(int ratio) {
    if (!settingListInfo(SettingList::GearRatio).codes.contains(ratio) &&
        !m_extraGears.contains(ratio))
        m_extraGears << ratio;
}

void DriveConfiguration::addGearRatio(const QString& ratio) {
    if (const auto number = wholeNumberValue(ratio))
        addEntry(*number);
    emit changed();
}

void DriveConfiguration::connectionToggled(bool connected) {
    m_saveOffered[static_cast<int>(NumberSetting::DecWormRatio)] = false;
    if (!connected) {
        // The page no longer says what a board holds; the DEC worm ratio,
        // which only some boards have, keeps its text.
        for (SettingValue& v : m_lists)
            v = SettingValue();
        for (NumberSetting n : kSavesWithdrawnByReplies) {
            m_numbers[static_cast<int>(n)] = SettingValue();
            m_saveOffered[static_cast<int>(n)] = false;
        }
    }
    emit changed();
}

void DriveConfiguration::store() {
    if (!m_fileSettingsPending)
        m_line.run(Sequence(QStringLiteral("store")).send(storeSettingsCommand()));
    else
        saveAll();
}

// The whole page goes to the controller, then one notice, then the store
// command once the user has closed it. A box that holds no number refuses
// the replay before anything is sent: the controller never gets half a
// configuration, and the loaded file keeps waiting for another try. With the
// port closed nothing would reach the board, and the user is told so.
void DriveConfiguration::saveAll() {
    if (!m_line.isOpen()) {
        tell(QStringLiteral("The port is not open: the settings were not sent to the "
                            "board. Connect, then press Save All Settings again."));
        return;
    }
    const ReplayPlan plan = planSaveAll([this](SettingList l) { return value(l); },
                                        [this](NumberSetting n) { return value(n); });
    if (plan.refused()) {
        tell(plan.refusal());
        return;
    }
    Sequence replay(QStringLiteral("save all settings"));
    for (int i = 0; i < plan.commands.size(); ++i) {
        const SaveAllStep& step = plan.sentSteps.at(i);
        if (step.isList && settingListInfo(step.list).setsAwaitedCountToOne)
            awaitAcknowledgement(replay);
        replay.send(plan.commands.at(i));
        if (!step.isList)
            replay.then([this, n = step.number] {
                m_saveOffered[static_cast<int>(n)] = false;
                emit changed();
            });
    }
    replay
        .ask([this] {
            showPowerCycleNotice();
            return true;
        })
        .send(storeSettingsCommand())
        .then([this] {
            m_fileSettingsPending = false;
            emit changed();
        });
    m_line.run(std::move(replay));
}

// The page's fifteen texts, as it shows them.
void DriveConfiguration::saveFile() {
    const QString path = m_prompts.saveFileName(mountDataFilter());
    if (path.isEmpty())
        return;
    QStringList values;
    for (const MountDataKey& key : mountDataKeys())
        values << (key.control.isList ? text(key.control.list) : text(key.control.number));
    QString error;
    if (!writeMountData(path, values, &error))
        m_prompts.message(error, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

// A file's values go onto the page only; "Save All Settings" sends them.
void DriveConfiguration::loadFile() {
    const QString path = m_prompts.openFileName(mountDataFilter());
    if (!path.isEmpty()) {
        QString error;
        const std::optional<QStringList> values = readMountData(path, &error);
        if (!values) {
            m_prompts.message(error, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
            return;
        }
        const QVector<MountDataKey> keys = mountDataKeys();
        for (int i = 0; i < keys.size(); ++i) {
            const QString& value = values->at(i);
            if (value.isEmpty())
                continue;
            const SaveAllStep& c = keys[i].control;
            if (c.isList) {
                m_lists[static_cast<int>(c.list)] = listValue(c.list, value);
            } else {
                m_numbers[static_cast<int>(c.number)] = numberValue(value);
                m_saveOffered[static_cast<int>(c.number)] = true;
            }
        }
    }
    m_fileSettingsPending = true;
    emit changed();
}

} // namespace corvane
