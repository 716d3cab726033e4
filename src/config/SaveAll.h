#pragma once

#include "config/SettingLists.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace corvane {

// "Save All Settings" replays every setting on the page to the controller
// before it stores them, so that a loaded mount data file reaches it.

// One handler of the replay: a list's pick or a number's Save.
struct SaveAllStep {
    bool isList;
    SettingList list;     // when isList
    NumberSetting number; // otherwise
};

// The fifteen handlers in the order the replay runs them.
QVector<SaveAllStep> saveAllOrder();

// The store command, sent alone after the replay.
QString storeSettingsCommand();

struct ReplayPlan {
    // In order, without the final store command.
    QStringList commands;
    // sentSteps[i] is the handler that sends commands[i] (the speed and
    // tracking lists set the awaited count to 1 first).
    QVector<SaveAllStep> sentSteps;
    // The box whose text is no number; nothing at all is sent then.
    std::optional<NumberSetting> invalid;
    // The same for the gear ratio, whose typed text is no ratio.
    std::optional<SettingList> invalidList;

    bool refused() const { return invalid.has_value() || invalidList.has_value(); }
    // "Invalid Entry: ..." naming the refused setting; empty when not refused.
    QString refusal() const;
};

// What the replay sends for what the page holds. A list whose text is no
// entry sends nothing, and so does an empty box (one holding only blanks
// counts as empty), and so does an empty gear ratio. A box or a gear ratio
// holding anything else that cannot be sent refuses the whole replay before
// anything goes out: `commands` is then empty, and the first such setting
// in replay order is named.
ReplayPlan planSaveAll(const std::function<SettingValue(SettingList)>& listValue,
                       const std::function<SettingValue(NumberSetting)>& boxValue);

} // namespace corvane
