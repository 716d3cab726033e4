#include "config/SaveAll.h"

namespace corvane {

namespace {

SaveAllStep listStep(SettingList l) {
    return {true, l, NumberSetting::DecBacklash};
}

SaveAllStep numberStep(NumberSetting n) {
    return {false, SettingList::GuideRate, n};
}

} // namespace

QVector<SaveAllStep> saveAllOrder() {
    return {
        listStep(SettingList::GuideRate),        listStep(SettingList::EightX),
        listStep(SettingList::SixteenX),         listStep(SettingList::GotoSpeed),
        listStep(SettingList::TrackSpeed),       listStep(SettingList::Orientation),
        listStep(SettingList::Rotation),         listStep(SettingList::GearRatio),
        numberStep(NumberSetting::DecWormRatio), numberStep(NumberSetting::WormRatio),
        numberStep(NumberSetting::WormWheel),    numberStep(NumberSetting::DecBacklash),
        listStep(SettingList::DecFinish),        numberStep(NumberSetting::RaBacklash),
        listStep(SettingList::RaFinish),
    };
}

QString storeSettingsCommand() {
    return QStringLiteral("Y");
}

QString ReplayPlan::refusal() const {
    if (invalid)
        return invalidEntryMessage(*invalid);
    if (invalidList)
        return invalidEntryMessage(*invalidList);
    return QString();
}

ReplayPlan planSaveAll(const std::function<SettingValue(SettingList)>& listValue,
                       const std::function<SettingValue(NumberSetting)>& boxValue) {
    ReplayPlan plan;
    for (const SaveAllStep& step : saveAllOrder()) {
        QString command;
        if (step.isList) {
            const SettingValue value = listValue(step.list);
            // An empty gear ratio is skipped like an empty box; only one that
            // is there but no ratio refuses.
            if (step.list == SettingList::GearRatio && value.isBlank())
                continue;
            const ListPick pick = listCommand(step.list, value);
            if (pick.refused) {
                plan.invalidList = step.list;
                break;
            }
            command = pick.command;
        } else {
            const SettingValue value = boxValue(step.number);
            if (value.isBlank())
                continue;
            const auto sent = numberCommand(step.number, value);
            if (!sent) {
                plan.invalid = step.number;
                break;
            }
            command = *sent;
        }
        if (command.isEmpty())
            continue;
        plan.commands << command;
        plan.sentSteps << step;
    }
    if (plan.refused()) {
        plan.commands.clear();
        plan.sentSteps.clear();
    }
    return plan;
}

} // namespace corvane
