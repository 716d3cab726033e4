#include "motion/ui/GuidePanel.h"

#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "link/Channel.h"
#include "link/ControllerInfo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

namespace {

const Direction kAllDirections[kDirectionCount] = {Direction::North, Direction::West,
                                                   Direction::East, Direction::South};

} // namespace

GuidePanel::GuidePanel(PanelContext ctx, QWidget* parent)
    : QGroupBox(QStringLiteral("Guiding"), parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("GuideFrame"));
    setToolTip(QStringLiteral("Guiding Functions"));
    buildMoveButtons();
    buildRates();
    buildPulse();
    buildFunctions();
    layOut();
    connect(&m_ctx.controller, &ControllerInfo::changed, this, &GuidePanel::showControllerFeatures);
}

void GuidePanel::showControllerFeatures() {
    setTarvixEnabled(m_ctx.controller.version().tarvixEnabled);
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
    for (Direction d : kAllDirections) {
        moveButton(d)->setMinimumWidth(80);
        connect(moveButton(d), &QPushButton::clicked, this, [this, d] { pressMove(d); });
    }
    connect(cmdMoveStop, &QPushButton::clicked, this, &GuidePanel::pressStop);

    chkSwpNS = new QCheckBox(QStringLiteral("Swap N/S"), this);
    chkSwpNS->setObjectName(QStringLiteral("chkSwpNS"));
    chkSwpEW = new QCheckBox(QStringLiteral("Swap E/W"), this);
    chkSwpEW->setObjectName(QStringLiteral("chkSwpEW"));
    connect(chkSwpNS, &QCheckBox::toggled, this, [this](bool on) {
        m_letters.swapNS(on);
        showLetters();
    });
    connect(chkSwpEW, &QCheckBox::toggled, this, [this](bool on) {
        m_letters.swapEW(on);
        showLetters();
    });
}

void GuidePanel::buildRates() {
    GuideRateFrame = new QGroupBox(QStringLiteral("Guide Rate"), this);
    GuideRateFrame->setObjectName(QStringLiteral("GuideRateFrame"));
    auto* column = new QVBoxLayout(GuideRateFrame);
    auto* group = new QButtonGroup(GuideRateFrame);
    const QString captions[3] = {QStringLiteral("2X"), QStringLiteral("8X"), QStringLiteral("16X")};
    const QString tips[3] = {QStringLiteral("Selects 2X or 1.3X Guide Rate depending on settings"),
                             QStringLiteral("Selects 8X Guide Rate"),
                             QStringLiteral("Selects 16X Guide Rate")};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(captions[i], GuideRateFrame);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setToolTip(tips[i]);
        group->addButton(Option1[i], i);
        column->addWidget(Option1[i]);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { selectRate(i); });
    }
}

void GuidePanel::buildPulse() {
    cmdPulse = new QPushButton(pulseOffCaption(), this);
    cmdPulse->setObjectName(QStringLiteral("cmdPulse"));
    connect(cmdPulse, &QPushButton::clicked, this, &GuidePanel::pressPulse);
    Pulsetxt = new QLineEdit(QStringLiteral("0000"), this);
    Pulsetxt->setObjectName(QStringLiteral("Pulsetxt"));
    Pulsetxt->setMaximumWidth(80);
    pulseLbl = new QLabel(QStringLiteral("Time (mSec)"), this);
    pulseLbl->setObjectName(QStringLiteral("pulseLbl"));
    pulseLbl->setBuddy(Pulsetxt);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &GuidePanel::pulseEnded);
}

void GuidePanel::buildFunctions() {
    cmdFindIt = makeButton(
        QStringLiteral("cmdFindIt"), findCaption(),
        QStringLiteral("Starts/Stops the find object function of the Corvane update"), this);
    connect(cmdFindIt, &QPushButton::clicked, this, &GuidePanel::pressFind);
    cmdtarvix = new QPushButton(enableTarvixCaption(), this);
    cmdtarvix->setObjectName(QStringLiteral("cmdtarvix"));
    cmdtarvix->setEnabled(false);
    connect(cmdtarvix, &QPushButton::clicked, this, &GuidePanel::pressTarvix);
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

void GuidePanel::startUp() {
    selectRate(0);
    m_pulseGuideMode = false;
    m_letters = DirectionLetters();
    showLetters();
}

void GuidePanel::setRateCaption(int index, const QString& caption) {
    if (index >= 0 && index < 3)
        Option1[index]->setText(caption);
}

void GuidePanel::setTarvixEnabled(bool enabled) {
    cmdtarvix->setEnabled(enabled);
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

// --- continuous motion -------------------------------------------------------

void GuidePanel::pressMove(Direction d) {
    if (m_pulseGuideMode)
        sendPulseFor(d);
    else if (isIdleCaption(d, moveButton(d)->text()))
        startMoving(d);
    else
        stopMoving(d);
}

void GuidePanel::startMoving(Direction d) {
    QPushButton* button = moveButton(d);
    const QString& letter = m_letters.of(d);
    button->setText(movingCaption(d, letter));
    // Starting stops the opposite direction, so its button shows it idle.
    showIdle(moveButtonInfo(d).opposite);
    sendStartMove(m_ctx.channel, d);
    button->setFlat(true);
    button->setToolTip(stopMovingToolTip(letter));
}

void GuidePanel::stopMoving(Direction d) {
    sendStopMove(m_ctx.channel, d);
    showIdle(d);
}

void GuidePanel::showIdle(Direction d) {
    QPushButton* button = moveButton(d);
    const QString& letter = m_letters.of(d);
    button->setText(letter);
    button->setFlat(false);
    button->setToolTip(moveToolTip(letter));
}

void GuidePanel::showIdleAll() {
    for (Direction d : kAllDirections)
        showIdle(d);
}

// STOP works at any time: an exchange under way (a pulse about to go out) is
// cancelled first, unless it must not be cut short, and "#:Q#" goes out now.
void GuidePanel::pressStop() {
    m_ctx.channel.runner().cancel();
    m_ctx.channel.send(QLatin1String(Cmd::StopAll));
    showIdleAll();
}

// After a swap every button shows its new letter. A button whose motion is
// still running keeps saying so (with the new letter), so that its next press
// stops the motion instead of starting it again.
void GuidePanel::showLetters() {
    for (Direction d : kAllDirections) {
        QPushButton* button = moveButton(d);
        const QString& letter = m_letters.of(d);
        if (isIdleCaption(d, button->text())) {
            button->setText(letter);
        } else {
            button->setText(movingCaption(d, letter));
            button->setToolTip(stopMovingToolTip(letter));
        }
    }
}

void GuidePanel::selectRate(int index) {
    const QString command = rateCommand(index);
    if (command.isEmpty())
        return;
    Option1[index]->setChecked(true);
    m_ctx.channel.send(command);
}

// --- guide pulses ------------------------------------------------------------

void GuidePanel::pressPulse() {
    if (cmdPulse->text() == pulseOffCaption()) {
        cmdPulse->setText(pulseOnCaption());
        m_pulseGuideMode = true;
        return;
    }
    // Leaving pulse mode forgets a running pulse: its end must not put the
    // button back to "on" while the mode is off.
    Timer2->stop();
    cmdPulse->setText(pulseOffCaption());
    m_pulseGuideMode = false;
}

void GuidePanel::sendPulseFor(Direction d) {
    const std::optional<int> ms = pulseMilliseconds(Pulsetxt->text());
    if (!ms) {
        m_ctx.prompts.message(QStringLiteral("Invalid Entry"), applicationTitle(), PromptIcon::None,
                              PromptButtons::Ok);
        return;
    }
    const int length = *ms;
    // The pulse begins with a stop of all motion.
    for (Direction other : kAllDirections) {
        if (!isIdleCaption(other, moveButton(other)->text()))
            showIdle(other);
    }
    cmdPulse->setText(guidingCaption(m_letters.of(d)));
    sendPulse(m_ctx.channel, d, length, [this, length](bool sent) { pulseSent(sent, length); });
}

void GuidePanel::pulseSent(bool sent, int ms) {
    // Nothing to wait for when the pulse did not go out or lasts no time.
    if (!sent || ms == 0 || !m_pulseGuideMode) {
        if (m_pulseGuideMode)
            pulseEnded();
        return;
    }
    Timer2->setInterval(ms);
    Timer2->start();
}

void GuidePanel::pulseEnded() {
    Timer2->stop();
    cmdPulse->setText(pulseOnCaption());
}

// --- find and tracking correction ---------------------------------------------

void GuidePanel::pressFind() {
    if (cmdFindIt->text() == findCaption())
        startFind();
    else
        stopFind();
}

void GuidePanel::startFind() {
    // The search answers no position queries: polling pauses meanwhile.
    m_ctx.polling.pauseForSearch();
    // "#:Q#" stops every motion before the search starts.
    sendStartFind(m_ctx.channel);
    showIdleAll();
    setMotionEnabled(false);
    cmdFindIt->setText(stopFindCaption());
}

void GuidePanel::stopFind() {
    sendStopFind(m_ctx.channel);
    m_ctx.polling.resumeAfterSearch();
    setMotionEnabled(true);
    cmdFindIt->setText(findCaption());
}

void GuidePanel::setMotionEnabled(bool enabled) {
    for (Direction d : kAllDirections)
        moveButton(d)->setEnabled(enabled);
    cmdMoveStop->setEnabled(enabled);
}

void GuidePanel::pressTarvix() {
    const TarvixStep step = tarvixStep(cmdtarvix->text());
    m_ctx.channel.send(step.command);
    cmdtarvix->setText(step.nextCaption);
}

} // namespace corvane
