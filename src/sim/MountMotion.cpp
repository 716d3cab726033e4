#include "sim/MountMotion.h"

#include "sim/WireText.h"

#include <algorithm>
#include <cmath>

namespace corvane::sim {

namespace {

constexpr double kStepMs = 50.0;
// Sidereal seconds per solar second.
constexpr double kSiderealPerSolar = 1.00273791;
// Degrees of arc per second at 1X.
constexpr double kDegreesPerSecondAt1X = 15.0 / 3600.0;
// Side of the first search leg; each second leg grows by this much.
constexpr double kFindLegDegrees = 0.5;

// Shortest signed way from `from` to `to` in hours, in [-12, 12).
double hoursBetween(double from, double to) {
    return wrapHours(to - from + 12.0) - 12.0;
}

double towards(double value, double target, double maxStep) {
    const double d = target - value;
    return std::fabs(d) <= maxStep ? target : value + (d > 0 ? maxStep : -maxStep);
}

} // namespace

void MountMotion::setPosition(double raHours, double decDegrees) {
    m_ra = raHours;
    m_dec = decDegrees;
    normalise();
}

void MountMotion::setTargetRa(double hours) {
    m_targetRa = wrapHours(hours);
}

void MountMotion::setTargetDec(double degrees) {
    m_targetDec = std::clamp(degrees, -90.0, 90.0);
}

void MountMotion::startGoto() {
    stopAll();
    m_slewing = true;
}

void MountMotion::sync() {
    m_slewing = false;
    m_ra = m_targetRa;
    m_dec = m_targetDec;
}

void MountMotion::startMove(Direction d) {
    // A hand move takes over from a goto, as the paddle does.
    m_slewing = false;
    m_moving[index(d)] = true;
}

void MountMotion::stopMove(Direction d) {
    m_moving[index(d)] = false;
}

void MountMotion::pulse(Direction d, int ms) {
    if (ms > 0)
        m_pulses.append({d, static_cast<double>(ms)});
}

void MountMotion::startFind() {
    m_slewing = false;
    m_finding = true;
    m_findLeg = 0;
    m_findLegDone = 0.0;
}

void MountMotion::stopFind() {
    m_finding = false;
}

void MountMotion::stopAll() {
    m_slewing = false;
    std::fill(std::begin(m_moving), std::end(m_moving), false);
    m_pulses.clear();
    m_finding = false;
}

bool MountMotion::isBusy() const {
    return m_slewing || m_finding || !m_pulses.isEmpty() ||
           std::any_of(std::begin(m_moving), std::end(m_moving), [](bool b) { return b; });
}

double MountMotion::advance(double ms, const Rates& rates) {
    double correction = 0.0;
    while (ms > 0.0) {
        // While only tracking runs, one step covers any length of time.
        const double piece = isBusy() ? std::min(ms, kStepMs) : ms;
        correction += step(piece, rates);
        ms -= piece;
    }
    return correction;
}

double MountMotion::step(double ms, const Rates& rates) {
    const double seconds = ms / 1000.0;
    // A mount that does not follow the sky at the sidereal rate sees the
    // stars' right ascension run ahead of it.
    m_ra += (1.0 - rates.trackingFraction) * seconds * kSiderealPerSolar / 3600.0;
    if (m_slewing)
        stepSlew(seconds, rates);
    double correction = stepManual(seconds, rates);
    correction += stepPulses(ms, rates);
    if (m_finding)
        stepFind(seconds, rates);
    normalise();
    return correction;
}

void MountMotion::stepSlew(double seconds, const Rates& rates) {
    const double rate = std::max(rates.gotoX, 1.0) * m_speedup;
    const double maxHours = rate * seconds / 3600.0;
    const double maxDegrees = rate * kDegreesPerSecondAt1X * seconds;
    const double dRa = hoursBetween(m_ra, m_targetRa);
    const double newDec = towards(m_dec, m_targetDec, maxDegrees);
    if (std::fabs(dRa) <= maxHours && newDec == m_targetDec) {
        m_ra = m_targetRa;
        m_dec = m_targetDec;
        m_slewing = false;
        return;
    }
    m_ra += std::clamp(dRa, -maxHours, maxHours);
    m_dec = newDec;
}

double MountMotion::stepManual(double seconds, const Rates& rates) {
    const double degrees = rates.manualX * m_speedup * kDegreesPerSecondAt1X * seconds;
    double correction = 0.0;
    for (const Direction d :
         {Direction::North, Direction::South, Direction::East, Direction::West}) {
        if (m_moving[index(d)])
            correction += shift(d, degrees);
    }
    return correction;
}

double MountMotion::stepPulses(double ms, const Rates& rates) {
    double correction = 0.0;
    for (Pulse& p : m_pulses) {
        const double part = std::min(ms, p.remainingMs);
        p.remainingMs -= part;
        const double degrees = rates.guideX * m_speedup * kDegreesPerSecondAt1X * part / 1000.0;
        correction += shift(p.direction, degrees);
    }
    m_pulses.erase(std::remove_if(m_pulses.begin(), m_pulses.end(),
                                  [](const Pulse& p) { return p.remainingMs <= 0.0; }),
                   m_pulses.end());
    return correction;
}

void MountMotion::stepFind(double seconds, const Rates& rates) {
    // Legs east, north, west, south, each pair one step longer than the last.
    static const Direction legs[] = {Direction::East, Direction::North, Direction::West,
                                     Direction::South};
    double degrees = rates.findX * m_speedup * kDegreesPerSecondAt1X * seconds;
    while (degrees > 0.0) {
        const double rest = kFindLegDegrees * (m_findLeg / 2 + 1) - m_findLegDone;
        if (degrees < rest) {
            shift(legs[m_findLeg % 4], degrees);
            m_findLegDone += degrees;
            return;
        }
        shift(legs[m_findLeg % 4], rest);
        degrees -= rest;
        ++m_findLeg;
        m_findLegDone = 0.0;
    }
}

double MountMotion::shift(Direction d, double degrees) {
    switch (d) {
    case Direction::North:
        m_dec += degrees;
        return 0.0;
    case Direction::South:
        m_dec -= degrees;
        return 0.0;
    case Direction::East:
        m_ra += degrees / 15.0;
        return degrees / 15.0;
    case Direction::West:
        m_ra -= degrees / 15.0;
        return -degrees / 15.0;
    }
    return 0.0;
}

void MountMotion::normalise() {
    m_ra = wrapHours(m_ra);
    m_dec = std::clamp(m_dec, -90.0, 90.0);
}

} // namespace corvane::sim
