#pragma once

#include "config/SettingLists.h"
#include "link/PanelContext.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class CustomGearDialog;
struct SettingsView;

// The first page: the controller's drive configuration. Each option list
// sends its entry's command when picked, each number its command when its
// Save button is pressed; the readback fills the page from the controller's
// settings dump; "Save Settings" stores them in the controller (or, after a
// mount data file was loaded, replays the whole page first); the Settings
// menu saves the page to a mount data file and loads one onto it.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    SettingsPage(PanelContext ctx, QWidget* parent = nullptr);

    // Start-up: the entries of the ten lists, nothing shown in them.
    void fillSettingLists();
    // No highlighted text in the lists (a change to this page).
    void clearSelections();
    // Disconnected: the page no longer says what the controller holds.
    void clearSettingsFields();
    // Connected or disconnected: the DEC worm ratio is sent only once a reply
    // says the controller has one, and is not offered for a board that left.
    void connectionToggled();

    void pickList(SettingList list);
    void pressSave(NumberSetting setting);
    void pressGetSettings();
    void pressSaveSettings();
    void saveMountData();
    void loadMountData();
    void showReadback(const SettingsView& view);

    QComboBox* list(SettingList l) const { return m_lists[static_cast<int>(l)]; }
    QLineEdit* box(NumberSetting n) const { return m_boxes[static_cast<int>(n)]; }
    QPushButton* saveButton(NumberSetting n) const { return m_saves[static_cast<int>(n)]; }
    QString gotoSpeedText() const;

    QPushButton* cmdGetSettings = nullptr;
    QPushButton* cmdSaveSettings = nullptr;
    QPushButton* cmdcustomgear = nullptr;
    QLabel* lblDEC = nullptr;
    QLabel* lblRA = nullptr;
    CustomGearDialog* customGear() const { return m_customGear; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The readback names the rates the guide buttons stand for.
    void rateCaptionRead(int index, const QString& caption);

private:
    QWidget* buildDrive();
    QWidget* buildSpeeds();
    QWidget* buildDirections();
    QWidget* buildBacklash();
    QComboBox* makeList(SettingList l);
    void makeNumber(NumberSetting n);
    void addListRow(QGridLayout* grid, int row, SettingList l);
    void addNumberRow(QGridLayout* grid, int row, NumberSetting n);
    void showControllerFeatures();
    void decodeDump(const QString& reply);
    void addGearEntry(const QString& ratio);
    void awaitAcknowledgement();
    void endFileWaiting();
    void readBack();
    void saveAllSettings();
    void showPowerCycleNotice();
    void invalidEntry(const QString& text);

    PanelContext m_ctx;
    QComboBox* m_lists[kSettingListCount] = {};
    QLineEdit* m_boxes[kNumberSettingCount] = {};
    QPushButton* m_saves[kNumberSettingCount] = {};
    QLabel* m_boxLabels[kNumberSettingCount] = {};
    CustomGearDialog* m_customGear = nullptr;
};

} // namespace corvane
