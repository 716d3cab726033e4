#pragma once

#include "config/SettingLists.h"
#include "config/SettingsDump.h"
#include "link/Query.h"
#include "link/Reply.h"

#include <QObject>
#include <QStringList>

namespace corvane {

class BoardLine;
class ControllerInfo;
class Prompts;
class Sequence;

// The settings dump: "#:VX#" (16 bytes) or, above firmware 3.56, the split
// query "#<:VX##>:VX#" (18 bytes), raw.
constexpr qint16 kSettingsDumpKind = 3;
Query settingsQuery(bool splitSettingsDump);
// The one character a board may send back after a speed or tracking command,
// awaited under a kind that nothing decodes.
Query settingAcknowledgement();

// The controller's drive configuration as the settings page shows it: what
// each of the ten lists and five boxes holds (a code or a number, nothing,
// or text that is neither), its text derived for display, the gear ratios
// known beyond the presets, which Save buttons are offered, and whether a
// loaded mount data file waits to be stored. The user's picks and saves,
// the readback, "Save Settings" / "Save All Settings" and mount data files
// all go through it.
class DriveConfiguration : public QObject {
    Q_OBJECT
public:
    DriveConfiguration(BoardLine& line, ControllerInfo& controller, Prompts& prompts,
                       QObject* parent = nullptr);

    const SettingValue& value(SettingList l) const { return m_lists[static_cast<int>(l)]; }
    const SettingValue& value(NumberSetting n) const { return m_numbers[static_cast<int>(n)]; }
    // What the list or box shows.
    QString text(SettingList l) const { return listText(l, value(l)); }
    QString text(NumberSetting n) const { return numberText(value(n)); }
    // The goto speed in hours of right ascension per hour (16 for "16X"); a
    // text that is no entry counts by its leading number ("12X"); 0 while
    // the list shows none.
    double gotoSpeed() const;
    bool saveOffered(NumberSetting n) const { return m_saveOffered[static_cast<int>(n)]; }
    // The list's entries: its own, and for the gear ratio those read back or
    // added in the custom gear dialog.
    QStringList entries(SettingList l) const;
    bool fileSettingsPending() const { return m_fileSettingsPending; }
    // "Save Settings", or "Save All Settings" while a loaded file waits.
    QString storeCaption() const;

    // Text typed into a list or box: shown, nothing sent (a box's Save is
    // offered again).
    void setText(SettingList l, const QString& text);
    void setText(NumberSetting n, const QString& text);
    // A list's entry picked (or its typed text entered): its command goes out.
    void pick(SettingList l);
    // A number's Save: a whole number -32768..65535 goes out, else "Invalid Entry".
    void save(NumberSetting n);
    // "Get Settings Status": the board's settings are read back; a loaded
    // file that waited is given up.
    void readBack();
    // The settings tab shown: read back unless a loaded file waits.
    void pageShown();
    // "Save Settings" (store) or "Save All Settings" (replay, then store).
    void store();
    // Settings ▸ Save and Load, through the file dialog.
    void saveFile();
    void loadFile();
    // The custom gear dialog's "Apply" with a ratio it accepts.
    void addGearRatio(const QString& ratio);
    // Connected or disconnected: the DEC worm ratio's Save is withdrawn until
    // a board that has one is read; disconnecting empties the page.
    void connectionToggled(bool connected);

signals:
    void changed();
    // The readback names the rates the guide buttons stand for.
    void rateCaptionRead(int index, const QString& caption);

private:
    // The handler the settings query's reply goes to.
    ReplyHandler settingsReply();
    void decode(const QByteArray& dump);
    void apply(const SettingsView& view);
    void addEntry(int ratio);
    void saveAll();
    void awaitAcknowledgement(Sequence& s);
    void tell(const QString& text);
    void showPowerCycleNotice();

    BoardLine& m_line;
    ControllerInfo& m_controller;
    Prompts& m_prompts;
    SettingValue m_lists[kSettingListCount];
    SettingValue m_numbers[kNumberSettingCount];
    bool m_saveOffered[kNumberSettingCount] = {};
    QVector<int> m_extraGears;
    bool m_fileSettingsPending = false;
};

} // namespace corvane
