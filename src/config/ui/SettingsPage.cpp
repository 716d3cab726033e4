// The settings page: its controls and their layout. What the controls do is
// in SettingsPageActions.cpp.
#include "config/ui/SettingsPage.h"

#include "config/SettingsDump.h"
#include "config/ui/CustomGearDialog.h"
#include "link/Channel.h"
#include "link/ControllerInfo.h"

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

SettingsPage::SettingsPage(PanelContext ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("SettingsPage"));
    for (SettingList l : allSettingLists())
        makeList(l);
    for (NumberSetting n : allNumberSettings())
        makeNumber(n);

    cmdGetSettings = new QPushButton(QStringLiteral("Get Settings Status"), this);
    cmdGetSettings->setObjectName(QStringLiteral("cmdGetSettings"));
    cmdGetSettings->setToolTip(QStringLiteral("Retrieve the Mount Status"));
    cmdSaveSettings = new QPushButton(QStringLiteral("Save Settings"), this);
    cmdSaveSettings->setObjectName(QStringLiteral("cmdSaveSettings"));
    cmdSaveSettings->setToolTip(QStringLiteral("Save settings to EEPROM"));
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

    connect(cmdGetSettings, &QPushButton::clicked, this, &SettingsPage::pressGetSettings);
    connect(cmdSaveSettings, &QPushButton::clicked, this, &SettingsPage::pressSaveSettings);
    connect(cmdcustomgear, &QPushButton::clicked, m_customGear, &QDialog::exec);
    connect(m_customGear, &CustomGearDialog::applied, this, &SettingsPage::addGearEntry);
    m_ctx.channel.dispatcher().subscribe(ReplyKind::SettingsDump, this,
                                         [this](const QString& reply) { decodeDump(reply); });
    // Every reception disables the four Save buttons; editing a box enables
    // its own again (the DEC worm ratio is disabled only by its own sending).
    connect(&m_ctx.channel, &Channel::receptionHandled, this, [this] {
        for (NumberSetting n : {NumberSetting::WormRatio, NumberSetting::WormWheel,
                                NumberSetting::RaBacklash, NumberSetting::DecBacklash})
            saveButton(n)->setEnabled(false);
    });
    connect(&m_ctx.controller, &ControllerInfo::changed, this,
            &SettingsPage::showControllerFeatures);
    showControllerFeatures();
}

QComboBox* SettingsPage::makeList(SettingList l) {
    const SettingListInfo& info = settingListInfo(l);
    auto* combo = new QComboBox(this);
    combo->setObjectName(info.name);
    // Editable: the readback and a file show texts that are no entry, and a
    // gear ratio can be typed. Typing adds no entry.
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Typed text picks an entry only when it is exactly that entry: "8x" and
    // Enter must not send the 8X command.
    combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    combo->setFixedWidth(kValueWidth);
    connect(combo, &QComboBox::activated, this, [this, l] { pickList(l); });
    // A gear ratio typed and entered is a pick too (see eventFilter).
    if (l == SettingList::GearRatio)
        combo->installEventFilter(this);
    m_lists[static_cast<int>(l)] = combo;
    return combo;
}

void SettingsPage::makeNumber(NumberSetting n) {
    const NumberSettingInfo& info = numberSettingInfo(n);
    const int i = static_cast<int>(n);
    m_boxes[i] = new QLineEdit(this);
    m_boxes[i]->setObjectName(info.box);
    m_boxes[i]->setFixedWidth(kValueWidth);
    m_saves[i] = new QPushButton(QStringLiteral("Save"), this);
    m_saves[i]->setObjectName(info.button);
    // Disabled until the box is edited; the DEC worm ratio's starts enabled.
    m_saves[i]->setEnabled(n == NumberSetting::DecWormRatio);
    m_boxLabels[i] = new QLabel(info.label, this);
    m_boxLabels[i]->setMinimumWidth(kLabelWidth);
    m_boxLabels[i]->setBuddy(m_boxes[i]);
    connect(m_boxes[i], &QLineEdit::textChanged, m_saves[i],
            [b = m_saves[i]] { b->setEnabled(true); });
    connect(m_saves[i], &QPushButton::clicked, this, [this, n] { pressSave(n); });
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
            pickList(SettingList::GearRatio);
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

void SettingsPage::fillSettingLists() {
    for (SettingList l : allSettingLists()) {
        QComboBox* combo = list(l);
        combo->addItems(settingListInfo(l).entries);
        // Nothing is shown until the readback, a file or the user sets it.
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

void SettingsPage::clearSelections() {
    for (QComboBox* combo : m_lists)
        combo->lineEdit()->deselect();
}

void SettingsPage::showControllerFeatures() {
    const bool shown = m_ctx.controller.version().decWormRowShown;
    for (QWidget* w : {static_cast<QWidget*>(lblDEC), static_cast<QWidget*>(lblRA),
                       static_cast<QWidget*>(box(NumberSetting::DecWormRatio)),
                       static_cast<QWidget*>(saveButton(NumberSetting::DecWormRatio))})
        w->setVisible(shown);
}

QString SettingsPage::gotoSpeedText() const {
    return list(SettingList::GotoSpeed)->currentText();
}

} // namespace corvane
