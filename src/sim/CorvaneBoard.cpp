// The board's state and time; its commands are in BoardCommands.cpp.
#include "sim/CorvaneBoard.h"

#include "sim/WireText.h"

#include <algorithm>

namespace corvane::sim {

namespace {

constexpr double kSiderealDayMs = 86164090.5;
constexpr qint64 kStepMs = 50;

} // namespace

CorvaneBoard::CorvaneBoard(const BoardConfig& config)
    : m_firmware(config.firmware), m_acknowledgeSettings(config.acknowledgeSettings),
      m_utcMsAtStart(config.utcMsAtStart), m_mount(config.speedup) {
    // Powered up at its park position: pointing at the pole, on the meridian.
    const double lst = siderealHoursNow();
    m_mount.setPosition(lst, 90.0);
    m_mount.setTargetRa(lst);
    m_mount.setTargetDec(90.0);
    m_stored = m_working;
    m_powerUp = m_working;
}

QByteArray CorvaneBoard::versionReply() const {
    // Ten characters: the version number first, padded, closed by "#".
    QByteArray text = QByteArray::number(m_firmware, 'f', 2) + " CORVANE";
    return text.left(9).leftJustified(9, ' ') + '#';
}

double CorvaneBoard::siderealHoursNow() const {
    return siderealHours(m_utcMsAtStart + m_now);
}

MountMotion::Rates CorvaneBoard::rates() const {
    MountMotion::Rates r;
    r.gotoX = speedMultiple(m_working.gotoSpeed);
    r.guideX = guideMultiple(m_working.guideRate);
    r.findX = speedMultiple(m_working.eightX);
    switch (m_manualRate) {
    case ManualRate::Guide:
        r.manualX = r.guideX;
        break;
    case ManualRate::Paddle8X:
        r.manualX = r.findX;
        break;
    case ManualRate::Paddle16X:
        r.manualX = speedMultiple(m_working.sixteenX);
        break;
    }
    r.trackingFraction = trackingFraction(m_working.tracking);
    return r;
}

double CorvaneBoard::wormTurnMs() const {
    // A new worm ratio counts only from the next power-up.
    return kSiderealDayMs / (m_powerUp.wormRatio > 0 ? m_powerUp.wormRatio : 180);
}

void CorvaneBoard::advanceTo(qint64 nowMs) {
    const MountMotion::Rates r = rates();
    const double turn = wormTurnMs();
    while (m_now < nowMs) {
        const bool busy = m_mount.isBusy() || m_pec.isTraining() || m_focuser.direction != 0;
        const qint64 piece = busy ? std::min(kStepMs, nowMs - m_now) : nowMs - m_now;
        const double correction = m_mount.advance(static_cast<double>(piece), r);
        m_pec.advance(static_cast<double>(piece), turn, correction);
        m_focuser.advance(static_cast<double>(piece));
        m_now += piece;
    }
}

void CorvaneBoard::powerCycle() {
    m_working = m_stored;
    m_powerUp = m_stored;
    m_pec.restoreStored();
    m_mount.stopAll();
    m_focuser.direction = 0;
    m_outputs = Outputs();
    m_trackingCorrection = false;
    m_manualRate = ManualRate::Paddle8X;
}

QByteArray CorvaneBoard::settingsDump(char half) const {
    if (!splitDump())
        return half == 0 ? settingsDump16(m_working) : QByteArray();
    const QByteArray all = settingsDump18(m_working);
    if (half == '<')
        return all.left(kSplitDumpHalf);
    if (half == '>')
        return all.mid(kSplitDumpHalf);
    return all;
}

} // namespace corvane::sim
