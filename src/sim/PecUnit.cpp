#include "sim/PecUnit.h"

#include <algorithm>
#include <cmath>

namespace corvane::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Guiding smaller than this (hours) during a step counts as none.
constexpr double kNoCorrection = 1e-9;

char signedByte(int v) {
    return static_cast<char>(std::clamp(v, -128, 127) & 0xFF);
}

} // namespace

PecUnit::PecUnit() {
    // The table a board leaves the factory with: a worm whose error follows
    // one sine wave per turn, ten factor steps high, reset at step 0.
    int previous = 0;
    for (int step = 0; step < kSteps; ++step) {
        const int level = static_cast<int>(std::lround(10.0 * std::sin(2.0 * kPi * step / kSteps)));
        quint8 code = 0;
        if (step == 0)
            code = 3;
        else if (level > previous)
            code = 1;
        else if (level < previous)
            code = 2;
        m_table[static_cast<size_t>(step)] = code;
        previous = level;
    }
    m_stored = m_table;
}

bool PecUnit::setFactor(int factor) {
    if (factor < 1 || factor > 9)
        return false;
    m_factor = factor;
    return true;
}

bool PecUnit::writeCode(int step, int code) {
    if (step < 0 || step >= kSteps || code < 0 || code > 9)
        return false;
    m_table[static_cast<size_t>(step)] = static_cast<quint8>(code);
    return true;
}

void PecUnit::startTraining(bool touchUp) {
    m_training = touchUp ? Training::TouchUp : Training::Clear;
    if (!touchUp) {
        m_table.fill(0);
        m_healthy = false;
    }
    m_stepCorrection = 0.0;
    m_stepsRecorded = 0;
}

void PecUnit::stopTraining() {
    m_training = Training::Off;
}

void PecUnit::commit() {
    m_training = Training::Off;
    m_stored = m_table;
    m_storedFactor = m_factor;
    m_healthy = true;
}

void PecUnit::restoreStored() {
    m_training = Training::Off;
    m_table = m_stored;
    m_factor = m_storedFactor;
    m_healthy = true;
    m_serial = false;
}

int PecUnit::modeDigit() const {
    const int replay = (m_paddle ? 1 : 0) + (m_serial ? 2 : 0);
    return isTraining() ? 4 + replay : replay;
}

quint8 PecUnit::statusByte() const {
    return static_cast<quint8>((m_healthy ? 0x80 : 0x00) | modeDigit());
}

int PecUnit::currentStep() const {
    return static_cast<int>(m_phase) % kSteps;
}

int PecUnit::requestedSpeed(int step) const {
    int speed = 0;
    for (int s = 0; s <= step && s < kSteps; ++s) {
        const quint8 c = m_table[static_cast<size_t>(s)];
        if (c == 1)
            speed += m_factor;
        else if (c == 2)
            speed -= m_factor;
        else if (c == 3)
            speed = 0;
    }
    return speed;
}

QByteArray PecUnit::stateReply(bool trackingCorrection) const {
    const int step = currentStep();
    const int speed = requestedSpeed(step);
    QByteArray out;
    out += static_cast<char>(step);
    out += static_cast<char>(code(step));
    out += signedByte(speed);
    out += signedByte(std::clamp(speed, -kSpeedLimit, kSpeedLimit));
    out += static_cast<char>(std::min(m_stepsRecorded, 255));
    out += static_cast<char>(statusByte());
    out += signedByte(kSpeedLimit);
    out += signedByte(-kSpeedLimit);
    out += static_cast<char>(trackingCorrection ? 1 : 0);
    out += static_cast<char>(m_factor);
    return out;
}

void PecUnit::advance(double ms, double wormTurnMs, double raCorrection) {
    if (wormTurnMs <= 0.0)
        return;
    m_stepCorrection += raCorrection;
    const double stepMs = wormTurnMs / kSteps;
    const double before = m_phase;
    const double after = before + ms / stepMs;
    if (isTraining()) {
        // Every step boundary crossed closes the step before it.
        for (double b = std::floor(before) + 1.0; b <= after && b - before <= kSteps; b += 1.0)
            recordStep(static_cast<int>(b - 1.0) % kSteps);
    } else if (std::floor(after) > std::floor(before)) {
        m_stepCorrection = 0.0;
    }
    m_phase = std::fmod(after, static_cast<double>(kSteps));
}

void PecUnit::recordStep(int step) {
    quint8& c = m_table[static_cast<size_t>(step)];
    if (m_stepCorrection > kNoCorrection)
        c = 1; // guided east: the worm ran slow here, speed up
    else if (m_stepCorrection < -kNoCorrection)
        c = 2;
    else if (m_training == Training::Clear)
        c = 0;
    m_stepCorrection = 0.0;
    ++m_stepsRecorded;
}

} // namespace corvane::sim
