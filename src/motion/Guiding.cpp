#include "motion/Guiding.h"

#include "common/ClockTimer.h"
#include "common/Prompts.h"
#include "controller/Commands.h"
#include "link/BoardLine.h"

namespace corvane {

Guiding::Guiding(BoardLine& line, Clock& clock, Prompts& prompts, PollingControl& polling,
                 QObject* parent)
    : QObject(parent), m_line(line), m_prompts(prompts), m_polling(polling),
      m_timer2(new ClockTimer(clock, QStringLiteral("Timer2"), this)),
      m_rateCaptions{QStringLiteral("2X"), QStringLiteral("8X"), QStringLiteral("16X")} {
    m_timer2->setSingleShot(true);
    connect(m_timer2, &ClockTimer::timeout, this, &Guiding::pulseEnded);
}

void Guiding::reset() {
    m_pulseMode = false;
    m_letters = DirectionLetters();
    selectRate(0);
}

QString Guiding::moveCaption(Direction d) const {
    const QString& letter = m_letters.of(d);
    return isMoving(d) ? movingCaption(d, letter) : letter;
}

QString Guiding::moveToolTip(Direction d) const {
    if (!m_tipShown[static_cast<int>(d)])
        return QString();
    const QString& letter = m_letters.of(d);
    return isMoving(d) ? stopMovingToolTip(letter) : corvane::moveToolTip(letter);
}

QString Guiding::pulseCaption() const {
    if (!m_pulseMode)
        return pulseOffCaption();
    return m_pulsing ? guidingCaption(m_letters.of(*m_pulsing)) : pulseOnCaption();
}

QString Guiding::findCaption() const {
    return m_finding ? stopFindCaption() : corvane::findCaption();
}

QString Guiding::tarvixCaption() const {
    return corvane::tarvixCaption(m_tarvixOn);
}

void Guiding::setPulseLength(const QString& typed) {
    m_pulseLength = pulseMilliseconds(typed);
}

void Guiding::pressMove(Direction d) {
    if (m_pulseMode)
        sendPulseFor(d);
    else if (!isMoving(d))
        startMoving(d);
    else {
        sendStopMove(m_line, d);
        setMoving(d, false);
        emit changed();
    }
}

void Guiding::keyDown(Direction d) {
    if (m_pulseMode) {
        sendPulseFor(d);
        return;
    }
    if (isMoving(d) || m_finding)
        return;
    m_keyHeld[static_cast<int>(d)] = true;
    startMoving(d);
}

void Guiding::keyUp(Direction d) {
    bool& held = m_keyHeld[static_cast<int>(d)];
    if (!held)
        return;
    held = false;
    if (isMoving(d)) {
        sendStopMove(m_line, d);
        setMoving(d, false);
        emit changed();
    }
}

void Guiding::releaseKeys() {
    for (Direction d : {Direction::North, Direction::South, Direction::West, Direction::East})
        keyUp(d);
}

// Starting stops the opposite direction, which then shows idle.
void Guiding::startMoving(Direction d) {
    setMoving(d, true);
    setMoving(moveButtonInfo(d).opposite, false);
    sendStartMove(m_line, d);
    emit changed();
}

void Guiding::setMoving(Direction d, bool moving) {
    m_moving[static_cast<int>(d)] = moving;
    m_tipShown[static_cast<int>(d)] = true;
}

void Guiding::allIdle() {
    for (Direction d : {Direction::North, Direction::South, Direction::West, Direction::East})
        setMoving(d, false);
}

void Guiding::stop() {
    m_line.cancelAll();
    m_line.send(QLatin1String(kStopAllCommand));
    allIdle();
    emit changed();
}

void Guiding::togglePulseMode() {
    // Leaving pulse mode forgets a running pulse: its end must not put the
    // mode back to "on" while it is off.
    m_timer2->stop();
    m_pulsing.reset();
    m_pulseMode = !m_pulseMode;
    emit changed();
}

void Guiding::selectRate(int index) {
    const QString command = rateCommand(index);
    if (command.isEmpty())
        return;
    m_rate = index;
    m_line.send(command);
    emit changed();
}

void Guiding::swapNorthSouth(bool swapped) {
    m_letters.swapNS(swapped);
    emit changed();
}

void Guiding::swapEastWest(bool swapped) {
    m_letters.swapEW(swapped);
    emit changed();
}

// A pulse begins with a stop of all motion; its end is timed here (Timer2),
// the pulse itself by the board.
void Guiding::sendPulseFor(Direction d) {
    if (!m_pulseLength) {
        m_prompts.message(QStringLiteral("Invalid Entry"), applicationTitle(), PromptIcon::None,
                          PromptButtons::Ok);
        return;
    }
    for (Direction other : {Direction::North, Direction::South, Direction::West, Direction::East})
        if (isMoving(other))
            setMoving(other, false);
    m_pulsing = d;
    emit changed();
    const int length = *m_pulseLength;
    sendPulse(m_line, d, length, [this, length](bool sent) { pulseSent(sent, length); });
}

void Guiding::pulseSent(bool sent, int ms) {
    // Nothing to wait for when the pulse did not go out or lasts no time.
    if (!sent || ms == 0 || !m_pulseMode) {
        if (m_pulseMode)
            pulseEnded();
        return;
    }
    m_timer2->setInterval(ms);
    m_timer2->start();
}

void Guiding::pulseEnded() {
    m_timer2->stop();
    m_pulsing.reset();
    emit changed();
}

void Guiding::toggleFind() {
    if (!m_finding) {
        // The search answers no position queries: polling pauses meanwhile.
        m_polling.pauseForSearch();
        sendStartFind(m_line);
        allIdle();
    } else {
        sendStopFind(m_line);
        m_polling.resumeAfterSearch();
    }
    m_finding = !m_finding;
    emit changed();
}

void Guiding::toggleTarvix() {
    m_line.send(tarvixCommand(!m_tarvixOn));
    m_tarvixOn = !m_tarvixOn;
    emit changed();
}

void Guiding::setRateCaption(int index, const QString& caption) {
    if (index < 0 || index > 2)
        return;
    m_rateCaptions[index] = caption;
    emit changed();
}

void Guiding::setTarvixAvailable(bool available) {
    m_tarvixAvailable = available;
    emit changed();
}

} // namespace corvane
