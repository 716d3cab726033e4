// The settings page: its controls and their layout. What the controls do is
// in SettingsPageActions.cpp.
#include "config/ui/SettingsPage.h"

#include "common/ui/Widgets.h"
#include "config/DriveConfiguration.h"
#include "config/ui/CustomGearDialog.h"
#include "controller/ControllerInfo.h"
#include "session/MountSession.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

// One width for every label and every value, so that the four groups line
// up as one table.
constexpr int kLabelWidth = 100;
constexpr int kValueWidth = 110;

QGroupBox* group(const QString& title, const char* name, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

SettingsPage::SettingsPage(MountSession& session, QWidget* parent)
    : QWidget(parent), m_configuration(session.configuration()),
      m_controller(session.controller()) {
    setObjectName(QStringLiteral("SettingsPage"));
    QCompleter placeholder;
    for (SettingList l : allSettingLists()) {
        QComboBox* combo = makeEditableList(settingListInfo(l).name, &placeholder, this);
        combo->setFixedWidth(kValueWidth);
        // The entries are there from the start; nothing is shown until the
        // readback, a file or the user sets it.
        combo->addItems(m_configuration.entries(l));
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
        connect(combo, &QComboBox::editTextChanged, this, [this, l](const QString& text) {
            if (!m_showingModel)
                m_configuration.setText(l, text);
        });
        connect(combo, &QComboBox::activated, this, [this, l] { m_configuration.pick(l); });
        m_lists[static_cast<int>(l)] = combo;
    }
    // A gear ratio typed and entered is a pick too (see eventFilter).
    list(SettingList::GearRatio)->installEventFilter(this);
    for (NumberSetting n : allNumberSettings())
        makeNumber(n);

    cmdGetSettings =
        makeButton(QStringLiteral("cmdGetSettings"), QStringLiteral("Get Settings Status"),
                   QStringLiteral("Retrieve the Mount Status"), this);
    cmdSaveSettings = makeButton(QStringLiteral("cmdSaveSettings"), m_configuration.storeCaption(),
                                 QStringLiteral("Save settings to EEPROM"), this);
    m_customGear = new CustomGearDialog(this);
    m_customGear->setModal(true);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildDrive());
    left->addWidget(buildBacklash());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildSpeeds());
    right->addWidget(buildDirections());
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGetSettings);
    buttons->addWidget(cmdSaveSettings);
    buttons->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns, 1);
    page->addLayout(buttons);

    connect(cmdGetSettings, &QPushButton::clicked, &m_configuration, &DriveConfiguration::readBack);
    connect(cmdSaveSettings, &QPushButton::clicked, &m_configuration, &DriveConfiguration::store);
    connect(cmdcustomgear, &QPushButton::clicked, m_customGear, &QDialog::exec);
    connect(m_customGear, &CustomGearDialog::applied, &m_configuration,
            &DriveConfiguration::addGearRatio);
    connect(&m_configuration, &DriveConfiguration::changed, this, &SettingsPage::refresh);
    connect(&m_controller, &ControllerInfo::changed, this, &SettingsPage::refresh);
    refresh();
}

void SettingsPage::makeNumber(NumberSetting n) {
    const NumberSettingInfo& info = numberSettingInfo(n);
    const int i = static_cast<int>(n);
    m_boxes[i] = new QLineEdit(this);
    m_boxes[i]->setObjectName(info.box);
    m_boxes[i]->setFixedWidth(kValueWidth);
    m_saves[i] = new QPushButton(QStringLiteral("Save"), this);
    m_saves[i]->setObjectName(info.button);
    m_boxLabels[i] = new QLabel(info.label, this);
    m_boxLabels[i]->setMinimumWidth(kLabelWidth);
    m_boxLabels[i]->setBuddy(m_boxes[i]);
    connect(m_boxes[i], &QLineEdit::textChanged, this,
            [this, n](const QString& text) { m_configuration.setText(n, text); });
    connect(m_saves[i], &QPushButton::clicked, this, [this, n] { m_configuration.save(n); });
}

// The list picks an entry's text entered by itself; a typed ratio that is
// no entry is picked here. The Enter key reaches the list once, after its
// line edit has passed it on.
bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    QComboBox* gear = list(SettingList::GearRatio);
    if (watched == gear && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            gear->findText(gear->currentText()) < 0)
            m_configuration.pick(SettingList::GearRatio);
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsPage::addListRow(QGridLayout* grid, int row, SettingList l) {
    auto* label = new QLabel(settingListInfo(l).label, grid->parentWidget());
    label->setMinimumWidth(kLabelWidth);
    label->setBuddy(list(l));
    grid->addWidget(label, row, 0);
    grid->addWidget(list(l), row, 1, 1, 2);
}

void SettingsPage::addNumberRow(QGridLayout* grid, int row, NumberSetting n) {
    const int i = static_cast<int>(n);
    grid->addWidget(m_boxLabels[i], row, 0);
    grid->addWidget(m_boxes[i], row, 1);
    grid->addWidget(m_saves[i], row, 2);
}

QWidget* SettingsPage::buildDrive() {
    QGroupBox* frame = group(QStringLiteral("Drive"), "DriveFrame", this);
    auto* grid = new QGridLayout(frame);
    addListRow(grid, 0, SettingList::GearRatio);
    cmdcustomgear = new QPushButton(QStringLiteral("Custom"), frame);
    cmdcustomgear->setObjectName(QStringLiteral("cmdcustomgear"));
    grid->addWidget(cmdcustomgear, 0, 3);
    // The worm ratio row says "R" beside it while the DEC worm ratio ("D")
    // row is shown, for controllers with a separate DEC worm.
    auto* wormLabel = new QLabel(QStringLiteral("Worm Ratio"), frame);
    wormLabel->setMinimumWidth(kLabelWidth);
    wormLabel->setObjectName(QStringLiteral("WormRatioLbl"));
    wormLabel->setBuddy(box(NumberSetting::WormRatio));
    lblRA = new QLabel(QStringLiteral("R"), frame);
    lblRA->setObjectName(QStringLiteral("lblRA"));
    lblDEC = new QLabel(QStringLiteral("D"), frame);
    lblDEC->setObjectName(QStringLiteral("lblDEC"));
    m_boxLabels[static_cast<int>(NumberSetting::WormRatio)]->hide();
    m_boxLabels[static_cast<int>(NumberSetting::DecWormRatio)]->hide();
    grid->addWidget(wormLabel, 1, 0);
    grid->addWidget(box(NumberSetting::WormRatio), 1, 1);
    grid->addWidget(saveButton(NumberSetting::WormRatio), 1, 2);
    grid->addWidget(lblRA, 1, 3);
    grid->addWidget(box(NumberSetting::DecWormRatio), 2, 1);
    grid->addWidget(saveButton(NumberSetting::DecWormRatio), 2, 2);
    grid->addWidget(lblDEC, 2, 3);
    m_boxLabels[static_cast<int>(NumberSetting::WormWheel)]->setObjectName(
        QStringLiteral("WormWheelLbl"));
    addNumberRow(grid, 3, NumberSetting::WormWheel);
    grid->setColumnStretch(4, 1);
    return frame;
}

QWidget* SettingsPage::buildSpeeds() {
    QGroupBox* frame = group(QStringLiteral("Speeds"), "SpeedFrame", this);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (SettingList l : {SettingList::GuideRate, SettingList::EightX, SettingList::SixteenX,
                          SettingList::GotoSpeed, SettingList::TrackSpeed})
        addListRow(grid, row++, l);
    grid->setColumnStretch(3, 1);
    return frame;
}

QWidget* SettingsPage::buildDirections() {
    QGroupBox* frame = group(QStringLiteral("Directions"), "DirectionFrame", this);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (SettingList l : {SettingList::Orientation, SettingList::Rotation, SettingList::RaFinish,
                          SettingList::DecFinish})
        addListRow(grid, row++, l);
    grid->setColumnStretch(3, 1);
    return frame;
}

QWidget* SettingsPage::buildBacklash() {
    QGroupBox* frame = group(QStringLiteral("Backlash"), "BacklashFrame", this);
    auto* grid = new QGridLayout(frame);
    addNumberRow(grid, 0, NumberSetting::RaBacklash);
    addNumberRow(grid, 1, NumberSetting::DecBacklash);
    grid->setColumnStretch(3, 1);
    return frame;
}

// No highlighted text in the lists when the page comes into view.
void SettingsPage::showEvent(QShowEvent* event) {
    for (QComboBox* combo : m_lists)
        combo->lineEdit()->deselect();
    QWidget::showEvent(event);
}

// The page shows the model; a text is set only where it differs, so the one
// the user is typing keeps its cursor. A text that is no entry (a custom gear
// ratio, a file's odd speed) first leaves the entry shown before, which
// empties the line for a moment: that passing text is not the user's and
// must not reach the model, or the value would be lost.
void SettingsPage::refresh() {
    m_showingModel = true;
    for (SettingList l : allSettingLists()) {
        QComboBox* combo = list(l);
        const QStringList entries = m_configuration.entries(l);
        for (int i = combo->count(); i < entries.size(); ++i)
            combo->addItem(entries.at(i));
        const QString text = m_configuration.text(l);
        if (combo->currentText() != text) {
            combo->setCurrentIndex(combo->findText(text));
            combo->setEditText(text);
        }
    }
    m_showingModel = false;
    for (NumberSetting n : allNumberSettings()) {
        if (box(n)->text() != m_configuration.text(n))
            box(n)->setText(m_configuration.text(n));
        saveButton(n)->setEnabled(m_configuration.saveOffered(n));
    }
    cmdSaveSettings->setText(m_configuration.storeCaption());
    // The DEC worm ratio row, for boards with a separate DEC worm.
    const bool shown = m_controller.version().decWormRowShown;
    for (QWidget* w : {static_cast<QWidget*>(lblDEC), static_cast<QWidget*>(lblRA),
                       static_cast<QWidget*>(box(NumberSetting::DecWormRatio)),
                       static_cast<QWidget*>(saveButton(NumberSetting::DecWormRatio))})
        w->setVisible(shown);
}

} // namespace corvane
