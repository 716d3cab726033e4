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
    // codes[i] is the value entries[i] stands for: the number its command
    // carries (the speed's index, the tracking rate -1..2, the finishing
    // direction 1, 0 or -1, the gear ratio itself), else its place in the
    // dump (the guide rate 1..3) or the list (orientation, rotation).
    QVector<int> codes;
    // The speed and tracking lists set the awaited count to 1 before they
    // send, so that a character the controller sends back is collected.
    bool setsAwaitedCountToOne;
    // A new gear ratio needs a store and a power cycle: the page tells so.
    bool showsPowerCycleNotice;
};

const SettingListInfo& settingListInfo(SettingList list);
QVector<SettingList> allSettingLists();

// What a list or a box holds: nothing shown, a value, or text that is no
// value. A list's value is one of its codes, or for the gear ratio any
// ratio read back; a box's is its number. Text stays as it was typed or
// loaded ("12X" in a speed list, "0250" or "12a" in a box) until it is
// sent, which checks it then.
class SettingValue {
public:
    SettingValue() = default;
    static SettingValue of(int value);
    static SettingValue typed(const QString& text);

    bool isEmpty() const { return m_state == State::Empty; }
    bool isValue() const { return m_state == State::Value; }
    bool isText() const { return m_state == State::Text; }
    // Empty, or text of nothing but blanks.
    bool isBlank() const;
    int value() const { return m_value; }          // when isValue()
    const QString& text() const { return m_text; } // when isText()

private:
    enum class State { Empty, Value, Text };
    State m_state = State::Empty;
    int m_value = 0;
    QString m_text;
};

// The text a list shows for a value: the entry of the code, a gear ratio
// without a name in its decimal form, a text as it is.
QString listText(SettingList list, const SettingValue& value);
// What a list's text holds: empty, the code whose text it is exactly, else
// the text itself ("0144" stays text, "144" is the gear ratio 144).
SettingValue listValue(SettingList list, const QString& text);
// The same for a box: a number is the text its decimal form makes.
QString numberText(const SettingValue& value);
SettingValue numberValue(const QString& text);

// The speed a code of the speed lists stands for, in multiples of the
// sidereal rate (16 for "16X"); 0 for no such code.
int speedMultiple(int code);

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
// The same for what a list holds; a value is sent as its code's command.
ListPick listCommand(SettingList list, const SettingValue& value);

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
// The same for what a box holds: nullopt when it is empty.
std::optional<QString> numberCommand(NumberSetting s, const SettingValue& value);

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
