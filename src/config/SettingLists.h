#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace corvane {

// The controller's drive configuration as the settings page shows it: ten
// option lists and five numbers. Choosing a list entry or saving a number
// sends one command; none of them is answered.

// The option lists, in the order in which their entries are loaded.
enum class SettingList {
    GuideRate,
    EightX,
    SixteenX,
    GotoSpeed,
    TrackSpeed,
    Orientation,
    Rotation,
    GearRatio,
    DecFinish,
    RaFinish
};
constexpr int kSettingListCount = 10;

struct SettingListInfo {
    QString name;         // object name of the list, "cbGuideRate"
    QString label;        // "Guide Rate"
    QStringList entries;  // in list order; the readback shows them by index
    QStringList commands; // commands[i] is sent for entries[i]
    // The speed and tracking lists set the awaited count to 1 before they
    // send, so that a character the controller sends back is collected.
    bool setsAwaitedCountToOne;
    // A new gear ratio needs a store and a power cycle: the page tells so.
    bool showsPowerCycleNotice;
};

const SettingListInfo& settingListInfo(SettingList list);
QVector<SettingList> allSettingLists();

// What picking a list text sends. `command` empty and not refused: nothing
// to send (the text is no entry of the list).
struct ListPick {
    QString command;
    bool refused = false; // the page shows invalidEntryMessage(list) and sends nothing
};

// Entries match exactly and case-sensitively. In the gear-ratio list any
// other text is a custom ratio: a whole number 1..65535 (see
// wholeNumberText) goes out as "#" + number + "g"; anything else, the empty
// text included, is refused.
ListPick listCommand(SettingList list, const QString& text);

// The numeric settings, each a box with its own Save button.
enum class NumberSetting { DecBacklash, RaBacklash, DecWormRatio, WormRatio, WormWheel };
constexpr int kNumberSettingCount = 5;

struct NumberSettingInfo {
    QString box;    // "DecBLtxt"
    QString button; // "cmdDecBL"
    QString label;  // caption beside the box ("D" for the DEC worm ratio row)
    QChar letter;   // command letter: "#250B"
    // Worm ratios and the worm wheel need a store and a power cycle.
    bool showsPowerCycleNotice;
};

const NumberSettingInfo& numberSettingInfo(NumberSetting s);
QVector<NumberSetting> allNumberSettings();

// The setting's name in messages: the label, except "DEC Worm Ratio" for the
// row whose caption is only the marker "D".
QString numberSettingTitle(NumberSetting s);

// The controller reads these settings as unsigned 16-bit numbers, so only a
// whole number from 0 to 65535 written in decimal digits is sent. White space
// around the digits is allowed; leading zeros are too. The number goes out
// in its plain decimal form ("  0250 " -> "250"). Anything else, the empty
// text included (a sign, a point, letters, blanks inside, a larger number),
// gives nullopt.
std::optional<quint16> wholeNumberValue(const QString& text);
std::optional<QString> wholeNumberText(const QString& text);

// What a number box sends: what the readback can show there, a whole number
// from -32768 to 65535 in decimal digits, a minus sign only directly before
// the digits (a two-byte value from 0x8000 up reads back negative, and the
// board takes "#-1B" as it takes "#65535B"). Blanks around it are allowed.
// The number goes out in its plain decimal form ("  0250 " -> "250").
std::optional<QString> settingNumberText(const QString& text);

// "#250B" for the DEC backlash 250, "#-1B" for -1; nullopt when the text is
// no such number (the page then shows invalidEntryMessage(s) and sends
// nothing).
std::optional<QString> numberCommand(NumberSetting s, const QString& text);

// "Invalid Entry: DEC Backlash", "Invalid Entry: Gear Ratio".
QString invalidEntryMessage(NumberSetting s);
QString invalidEntryMessage(SettingList list);

// The notice after a gear or worm change, one text per line.
QStringList powerCycleNoticeLines();
// The same lines joined by CR LF, as the message box shows them.
QString powerCycleNoticeText();

// The custom gear dialog's test: a ratio above 0 and below 500. The text
// must be a whole number (see wholeNumberValue), not merely start with one,
// so the dialog never adds an entry that the gear list would refuse to send.
bool acceptsCustomGear(const QString& text);

} // namespace corvane
