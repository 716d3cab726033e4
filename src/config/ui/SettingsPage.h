#pragma once

#include "config/SettingLists.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class ControllerInfo;
class CustomGearDialog;
class DriveConfiguration;
class MountSession;

// The first page: the controller's drive configuration. It shows the drive
// configuration model (every list's and box's text, which Save buttons are
// offered, the store button's caption) and forwards what the user types,
// picks and presses to it.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(MountSession& session, QWidget* parent = nullptr);

    QComboBox* list(SettingList l) const { return m_lists[static_cast<int>(l)]; }
    QLineEdit* box(NumberSetting n) const { return m_boxes[static_cast<int>(n)]; }
    QPushButton* saveButton(NumberSetting n) const { return m_saves[static_cast<int>(n)]; }
    CustomGearDialog* customGear() const { return m_customGear; }

    QPushButton* cmdGetSettings = nullptr;
    QPushButton* cmdSaveSettings = nullptr;
    QPushButton* cmdcustomgear = nullptr;
    QLabel* lblDEC = nullptr;
    QLabel* lblRA = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildDrive();
    QWidget* buildSpeeds();
    QWidget* buildDirections();
    QWidget* buildBacklash();
    void makeNumber(NumberSetting n);
    void addListRow(QGridLayout* grid, int row, SettingList l);
    void addNumberRow(QGridLayout* grid, int row, NumberSetting n);
    void refresh();

    DriveConfiguration& m_configuration;
    ControllerInfo& m_controller;
    QComboBox* m_lists[kSettingListCount] = {};
    QLineEdit* m_boxes[kNumberSettingCount] = {};
    QPushButton* m_saves[kNumberSettingCount] = {};
    QLabel* m_boxLabels[kNumberSettingCount] = {};
    CustomGearDialog* m_customGear = nullptr;
    bool m_showingModel = false; // refresh() is setting the lists' texts
};

} // namespace corvane
