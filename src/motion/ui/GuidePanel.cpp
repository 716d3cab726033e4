#include "motion/ui/GuidePanel.h"

#include "common/ui/Widgets.h"
#include "motion/Guiding.h"
#include "session/MountSession.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace corvane {

namespace {
const Direction kAllDirections[kDirectionCount] = {Direction::North, Direction::West,
                                                   Direction::East, Direction::South};
} // namespace

GuidePanel::GuidePanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Guiding"), parent), m_guiding(session.guiding()) {
    setObjectName(QStringLiteral("GuideFrame"));
    setToolTip(QStringLiteral("Guiding Functions"));
    buildMoveButtons();
    buildRates();
    buildFunctions();
    layOut();
    connect(&m_guiding, &Guiding::changed, this, &GuidePanel::refresh);
    refresh();
}

void GuidePanel::buildMoveButtons() {
    cmdMoveN = makeButton(QStringLiteral("cmdMoveN"), QStringLiteral("N"),
                          QStringLiteral("Move North at the gude rate"), this);
    cmdMoveS = makeButton(QStringLiteral("cmdMoveS"), QStringLiteral("S"),
                          QStringLiteral("Move South at the guide rate"), this);
    cmdMoveW = makeButton(QStringLiteral("cmdMoveW"), QStringLiteral("W"),
                          QStringLiteral("Move West at the guide rate"), this);
    cmdMoveE = makeButton(QStringLiteral("cmdMoveE"), QStringLiteral("E"),
                          QStringLiteral("Move East at the guide rate"), this);
    cmdMoveStop = makeButton(QStringLiteral("cmdMoveStop"), QStringLiteral("STOP"),
                             QStringLiteral("Stop All Slewing"), this);
    cmdMoveStop->setStatusTip(QStringLiteral("Key: Escape"));
    for (Direction d : kAllDirections) {
        moveButton(d)->setMinimumWidth(80);
        connect(moveButton(d), &QPushButton::clicked, this, [this, d] { m_guiding.pressMove(d); });
    }
    connect(cmdMoveStop, &QPushButton::clicked, &m_guiding, &Guiding::stop);
    chkSwpNS = new QCheckBox(QStringLiteral("Swap N/S"), this);
    chkSwpNS->setObjectName(QStringLiteral("chkSwpNS"));
    chkSwpEW = new QCheckBox(QStringLiteral("Swap E/W"), this);
    chkSwpEW->setObjectName(QStringLiteral("chkSwpEW"));
    connect(chkSwpNS, &QCheckBox::toggled, &m_guiding, &Guiding::swapNorthSouth);
    connect(chkSwpEW, &QCheckBox::toggled, &m_guiding, &Guiding::swapEastWest);
}

void GuidePanel::buildRates() {
    GuideRateFrame = new QGroupBox(QStringLiteral("Guide Rate"), this);
    GuideRateFrame->setObjectName(QStringLiteral("GuideRateFrame"));
    auto* column = new QVBoxLayout(GuideRateFrame);
    auto* group = new QButtonGroup(GuideRateFrame);
    const QString tips[3] = {QStringLiteral("Selects 2X or 1.3X Guide Rate depending on settings"),
                             QStringLiteral("Selects 8X Guide Rate"),
                             QStringLiteral("Selects 16X Guide Rate")};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(m_guiding.rateCaption(i), GuideRateFrame);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setToolTip(tips[i]);
        Option1[i]->setStatusTip(QStringLiteral("Key: %1").arg(i + 1));
        group->addButton(Option1[i], i);
        column->addWidget(Option1[i]);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { m_guiding.selectRate(i); });
    }
}

void GuidePanel::buildFunctions() {
    cmdPulse = makeButton(QStringLiteral("cmdPulse"), m_guiding.pulseCaption(), QString(), this);
    connect(cmdPulse, &QPushButton::clicked, &m_guiding, &Guiding::togglePulseMode);
    // The length shows with four digits; what is typed goes to the model as
    // it is typed.
    Pulsetxt = new QLineEdit(
        QStringLiteral("%1").arg(m_guiding.pulseLength().value_or(0), 4, 10, QLatin1Char('0')),
        this);
    Pulsetxt->setObjectName(QStringLiteral("Pulsetxt"));
    Pulsetxt->setMaximumWidth(80);
    connect(Pulsetxt, &QLineEdit::textChanged, &m_guiding, &Guiding::setPulseLength);
    pulseLbl = new QLabel(QStringLiteral("Time (mSec)"), this);
    pulseLbl->setObjectName(QStringLiteral("pulseLbl"));
    pulseLbl->setBuddy(Pulsetxt);
    cmdFindIt = makeButton(
        QStringLiteral("cmdFindIt"), m_guiding.findCaption(),
        QStringLiteral("Starts/Stops the find object function of the Corvane update"), this);
    connect(cmdFindIt, &QPushButton::clicked, &m_guiding, &Guiding::toggleFind);
    cmdtarvix = makeButton(QStringLiteral("cmdtarvix"), m_guiding.tarvixCaption(), QString(), this);
    connect(cmdtarvix, &QPushButton::clicked, &m_guiding, &Guiding::toggleTarvix);
    // The board has no park command that this program knows of, so the
    // button stays disabled rather than pretend to park the mount.
    cmdPark =
        makeButton(QStringLiteral("cmdPark"), QStringLiteral("PARK"),
                   QStringLiteral("Stop all slewing, Parks Mount, and saves PEC state"), this);
    cmdPark->setEnabled(false);
}

void GuidePanel::layOut() {
    auto* grid = new QGridLayout(this);
    // The move buttons stand as on a compass, STOP in the middle.
    grid->addWidget(cmdMoveN, 0, 1);
    grid->addWidget(cmdMoveW, 1, 0);
    grid->addWidget(cmdMoveStop, 1, 1);
    grid->addWidget(cmdMoveE, 1, 2);
    grid->addWidget(cmdMoveS, 2, 1);
    grid->addWidget(chkSwpNS, 3, 0, 1, 2);
    grid->addWidget(chkSwpEW, 3, 2, 1, 2);
    grid->addWidget(GuideRateFrame, 0, 3, 3, 1);
    grid->addWidget(cmdPulse, 4, 0, 1, 2);
    grid->addWidget(Pulsetxt, 4, 2);
    grid->addWidget(pulseLbl, 4, 3);
    grid->addWidget(cmdFindIt, 5, 0);
    grid->addWidget(cmdtarvix, 5, 1, 1, 2);
    grid->addWidget(cmdPark, 5, 3);
}

void GuidePanel::showEvent(QShowEvent* event) {
    qApp->installEventFilter(this);
    QGroupBox::showEvent(event);
}

void GuidePanel::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    m_guiding.releaseKeys();
    QGroupBox::hideEvent(event);
}

std::optional<Direction> GuidePanel::directionOfKey(int key) const {
    const char* letter = key == Qt::Key_Up      ? "N"
                         : key == Qt::Key_Down  ? "S"
                         : key == Qt::Key_Left  ? "W"
                         : key == Qt::Key_Right ? "E"
                                                : nullptr;
    if (!letter)
        return std::nullopt;
    for (Direction d : kAllDirections)
        if (m_guiding.letters().of(d) == QLatin1String(letter))
            return d;
    return std::nullopt;
}

// Keys on their way to any control of this window, unless a text field or
// list that takes typing has the focus. An auto-repeated key starts nothing.
bool GuidePanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate ||
        (type == QEvent::WindowDeactivate && watched == window())) {
        m_guiding.releaseKeys();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window())
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus) ||
        qobject_cast<QComboBox*>(focus))
        return false;
    return takeKey(static_cast<QKeyEvent*>(event), type == QEvent::KeyPress);
}

bool GuidePanel::takeKey(QKeyEvent* event, bool pressed) {
    const int key = event->key();
    const std::optional<Direction> d = directionOfKey(key);
    if (event->isAutoRepeat())
        return d.has_value();
    if (d) {
        if (pressed)
            m_guiding.keyDown(*d);
        else
            m_guiding.keyUp(*d);
        return true;
    }
    if (!pressed)
        return false;
    if (key == Qt::Key_Escape && m_guiding.canStop()) {
        m_guiding.stop();
        return true;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_3) {
        m_guiding.selectRate(key - Qt::Key_1);
        return true;
    }
    return false;
}

QPushButton* GuidePanel::moveButton(Direction d) const {
    switch (d) {
    case Direction::North:
        return cmdMoveN;
    case Direction::South:
        return cmdMoveS;
    case Direction::West:
        return cmdMoveW;
    case Direction::East:
        break;
    }
    return cmdMoveE;
}

// Everything the panel shows follows from the model: a moving button is flat
// and names the motion, and during the object search the motion buttons rest.
void GuidePanel::refresh() {
    for (Direction d : kAllDirections) {
        QPushButton* button = moveButton(d);
        button->setText(m_guiding.moveCaption(d));
        if (!m_guiding.moveToolTip(d).isEmpty())
            button->setToolTip(m_guiding.moveToolTip(d));
        button->setFlat(m_guiding.isMoving(d));
        button->setEnabled(!m_guiding.isFinding());
    }
    cmdMoveStop->setEnabled(m_guiding.canStop());
    // The keys, as the status bar names them: they follow the letters.
    const std::pair<const char*, const char*> keys[] = {
        {"N", "Up"}, {"S", "Down"}, {"W", "Left"}, {"E", "Right"}};
    for (Direction d : kAllDirections)
        for (const auto& [letter, key] : keys)
            if (m_guiding.letters().of(d) == QLatin1String(letter))
                moveButton(d)->setStatusTip(
                    QStringLiteral("Key: hold the %1 arrow (let go to stop)").arg(key));
    for (int i = 0; i < 3; ++i)
        Option1[i]->setText(m_guiding.rateCaption(i));
    Option1[m_guiding.rate()]->setChecked(true);
    cmdPulse->setText(m_guiding.pulseCaption());
    cmdFindIt->setText(m_guiding.findCaption());
    cmdtarvix->setText(m_guiding.tarvixCaption());
    cmdtarvix->setEnabled(m_guiding.tarvixAvailable());
}

} // namespace corvane
