// The telescope's motion: gotos and syncs, moves of either axis, guide
// pulses and the stop, with Slewing as they leave the mount.
#include "share/AlpacaTelescope.h"

#include "common/ClockTimer.h"
#include "motion/MountPosition.h"
#include "session/MountSession.h"
#include "share/SharedMount.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

namespace corvane {

namespace {

Lx200Request request(Lx200Kind kind) {
    Lx200Request r;
    r.kind = kind;
    return r;
}

Lx200Request directed(Lx200Kind kind, Direction d) {
    Lx200Request r = request(kind);
    r.direction = d;
    return r;
}

// Positive rates move the primary axis east and the secondary north.
Direction axisDirection(int axis, double rate) {
    if (axis == 0)
        return rate > 0 ? Direction::East : Direction::West;
    return rate > 0 ? Direction::North : Direction::South;
}

AlpacaReply boardRefused(const QString& what) {
    return AlpacaReply::error(kAlpacaInvalidOperation,
                              QStringLiteral("The mount did not take the %1.").arg(what));
}

} // namespace

void AlpacaTelescope::addMotion() {
    onPut(QStringLiteral("slewtocoordinatesasync"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) {
              if (const auto at = coordinates(r, done)) {
                  m_targetRa = at->first;
                  m_targetDec = at->second;
                  slewTo(r, done);
              }
          });
    onPut(QStringLiteral("slewtotargetasync"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) {
              if (hasTarget(done))
                  slewTo(r, done);
          });
    onPut(QStringLiteral("synctocoordinates"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) {
              if (const auto at = coordinates(r, done)) {
                  m_targetRa = at->first;
                  m_targetDec = at->second;
                  syncTo(r, done);
              }
          });
    onPut(QStringLiteral("synctotarget"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) {
              if (hasTarget(done))
                  syncTo(r, done);
          });
    onPut(QStringLiteral("abortslew"), Needs::Board,
          [this](const AlpacaRequest& r, const Done& done) { abort(r, done); });
    onPut(QStringLiteral("pulseguide"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) { pulseGuide(r, done); });
}

std::optional<std::pair<double, double>> AlpacaTelescope::coordinates(const AlpacaRequest& r,
                                                                      const Done& done) {
    const std::optional<double> ra = numberParameter(r, QStringLiteral("rightascension"), done);
    if (!ra)
        return std::nullopt;
    const std::optional<double> dec = numberParameter(r, QStringLiteral("declination"), done);
    if (!dec)
        return std::nullopt;
    if (*ra < 0.0 || *ra >= 24.0 || *dec < -90.0 || *dec > 90.0) {
        done(AlpacaReply::error(kAlpacaInvalidValue,
                                QStringLiteral("RightAscension must lie in 0 <= h < 24 and "
                                               "Declination from -90 to 90.")));
        return std::nullopt;
    }
    return std::make_pair(*ra, *dec);
}

bool AlpacaTelescope::hasTarget(const Done& done) const {
    if (m_targetRa && m_targetDec)
        return true;
    done(AlpacaReply::error(kAlpacaInvalidOperation,
                            QStringLiteral("No target has been set (TargetRightAscension and "
                                           "TargetDeclination).")));
    return false;
}

// Rounded to the board's resolution once, so that what is sent and what a
// goto is then watched for are the same.
BoardTarget AlpacaTelescope::boardTarget() const {
    // Both are in range: rounding always gives a value.
    return {boardRaFromHours(*m_targetRa).value_or(BoardRa{}),
            boardDecFromDegrees(*m_targetDec).value_or(BoardDec{})};
}

void AlpacaTelescope::setBoardTarget(const AlpacaRequest& r, const Done& done,
                                     const BoardTarget& target, std::function<void()> next) {
    Lx200Request ra = request(Lx200Kind::SetTargetRa);
    Lx200Request dec = request(Lx200Kind::SetTargetDec);
    ra.ra = target.ra;
    dec.dec = target.dec;
    exchange(r, ra, [this, r, dec, done, next](std::optional<QByteArray> reply) {
        if (reply != "1")
            return done(boardRefused(QStringLiteral("target's right ascension")));
        exchange(r, dec, [done, next](std::optional<QByteArray> reply) {
            if (reply != "1")
                return done(boardRefused(QStringLiteral("target's declination")));
            next();
        });
    });
}

void AlpacaTelescope::slewTo(const AlpacaRequest& r, const Done& done) {
    const BoardTarget target = boardTarget();
    setBoardTarget(r, done, target, [this, r, done, target] {
        exchange(r, request(Lx200Kind::Goto),
                 [this, done, target](std::optional<QByteArray> reply) {
                     if (reply != "0")
                         return done(boardRefused(QStringLiteral("goto")));
                     const MountPosition& at = session().position();
                     m_slew = Slew{target, at.ra(), at.dec(), session().clock().nowMs(), -1};
                     done(AlpacaReply::ok());
                 });
    });
}

void AlpacaTelescope::syncTo(const AlpacaRequest& r, const Done& done) {
    setBoardTarget(r, done, boardTarget(), [this, r, done] {
        exchange(r, request(Lx200Kind::Sync), [this, done](std::optional<QByteArray> reply) {
            if (!reply || !reply->endsWith('#'))
                return done(boardRefused(QStringLiteral("sync")));
            // The position read before the sync no longer holds.
            m_lastGood.reset();
            done(AlpacaReply::ok());
        });
    });
}

void AlpacaTelescope::readSlewing(const Done& done) {
    if (m_axisRate[0] != 0.0 || m_axisRate[1] != 0.0 || !m_slew)
        return done(AlpacaReply::ok(m_axisRate[0] != 0.0 || m_axisRate[1] != 0.0));
    readPosition(done, [this, done](const SkyPosition&) { done(AlpacaReply::ok(stillSlewing())); });
}

// Over once the mount reports the target (to the board's resolution) in two
// readings running, or has stood still a while elsewhere (the board cut the
// goto short).
bool AlpacaTelescope::stillSlewing() {
    if (!m_slew)
        return false;
    const MountPosition& model = session().position();
    const qint64 now = session().clock().nowMs();
    if (model.ra() != m_slew->lastRa || model.dec() != m_slew->lastDec) {
        m_slew->lastRa = model.ra();
        m_slew->lastDec = model.dec();
        m_slew->sinceMs = now;
        m_slew->arrivedReading = -1;
    }
    const std::optional<SkyPosition> at =
        model.ra() && model.dec() ? skyPosition({*model.ra(), *model.dec()}) : std::nullopt;
    const bool arrived = at && boardRaFromHours(at->raHours) == m_slew->target.ra &&
                         boardDecFromDegrees(at->decDegrees) == m_slew->target.dec;
    if (arrived && m_slew->arrivedReading < 0)
        m_slew->arrivedReading = model.updatedMs();
    if ((arrived && model.updatedMs() > m_slew->arrivedReading) ||
        (!arrived && now - m_slew->sinceMs >= SharedMount::kSlewSettledMs))
        m_slew.reset();
    return m_slew.has_value();
}

void AlpacaTelescope::abort(const AlpacaRequest& r, const Done& done) {
    exchange(r, request(Lx200Kind::StopAll), [](std::optional<QByteArray>) {});
    forgetMotion();
    done(AlpacaReply::ok());
}

void AlpacaTelescope::forgetMotion() {
    m_slew.reset();
    m_pulseTimer->stop();
    m_axisRate[0] = m_axisRate[1] = 0.0;
    m_axisRateIndex[0] = m_axisRateIndex[1] = -1;
}

void AlpacaTelescope::pulseGuide(const AlpacaRequest& r, const Done& done) {
    const std::optional<int> direction = intParameter(r, QStringLiteral("direction"), done);
    if (!direction)
        return;
    const std::optional<int> ms = intParameter(r, QStringLiteral("duration"), done);
    if (!ms)
        return;
    // ASCOM's order: north, south, east, west.
    static const Direction directions[4] = {Direction::North, Direction::South, Direction::East,
                                            Direction::West};
    if (*direction < 0 || *direction > 3 || *ms < 0 || *ms > kLongestClientPulseMs)
        return done(AlpacaReply::error(
            kAlpacaInvalidValue, QStringLiteral("Direction must be 0 to 3 and Duration 0 to %1 ms.")
                                     .arg(kLongestClientPulseMs)));
    Lx200Request pulse = directed(Lx200Kind::Pulse, directions[*direction]);
    pulse.pulseMs = *ms;
    exchange(r, pulse, [this, ms = *ms, done](std::optional<QByteArray>) {
        m_pulseTimer->setInterval(ms);
        m_pulseTimer->start();
        done(AlpacaReply::ok());
    });
}

} // namespace corvane

namespace corvane {

void AlpacaTelescope::addMoves() {
    onGet(QStringLiteral("axisrates"), Needs::Nothing,
          [this](const AlpacaRequest& r, const Done& done) {
              const std::optional<int> axis = intParameter(r, QStringLiteral("axis"), done);
              if (!axis)
                  return;
              if (*axis < 0 || *axis > 2)
                  return done(AlpacaReply::error(kAlpacaInvalidValue,
                                                 QStringLiteral("Axis must be 0, 1 or 2.")));
              QJsonArray rates;
              if (*axis < 2)
                  for (const double rate : axisRates())
                      rates.append(QJsonObject{{QStringLiteral("Minimum"), rate},
                                               {QStringLiteral("Maximum"), rate}});
              done(AlpacaReply::ok(rates));
          });
    onGet(QStringLiteral("canmoveaxis"), Needs::Nothing,
          [](const AlpacaRequest& r, const Done& done) {
              const std::optional<int> axis = intParameter(r, QStringLiteral("axis"), done);
              if (!axis)
                  return;
              if (*axis < 0 || *axis > 2)
                  return done(AlpacaReply::error(kAlpacaInvalidValue,
                                                 QStringLiteral("Axis must be 0, 1 or 2.")));
              done(AlpacaReply::ok(*axis < 2));
          });
    onPut(QStringLiteral("moveaxis"), Needs::Board,
          [this](const AlpacaRequest& r, const Done& done) { moveAxis(r, done); });
}

// The board has one rate for every move: an axis may start at another rate
// only while the other stands.
void AlpacaTelescope::moveAxis(const AlpacaRequest& r, const Done& done) {
    const std::optional<int> axis = intParameter(r, QStringLiteral("axis"), done);
    if (!axis)
        return;
    const std::optional<double> rate = numberParameter(r, QStringLiteral("rate"), done);
    if (!rate)
        return;
    if (*axis < 0 || *axis > 1)
        return done(
            AlpacaReply::error(kAlpacaInvalidValue, QStringLiteral("Only axes 0 and 1 move.")));
    if (*rate == 0.0)
        return stopAxis(r, done, *axis);
    if (const std::optional<AlpacaReply> refused = refusal(Needs::Motion))
        return done(*refused);
    const std::array<double, 3> rates = axisRates();
    int index = -1;
    for (int i = 0; i < 3 && index < 0; ++i)
        if (std::abs(std::abs(*rate) - rates[i]) <= rates[i] * 1e-4)
            index = i;
    if (index < 0)
        return done(AlpacaReply::error(
            kAlpacaInvalidValue,
            QStringLiteral("The rate must be one of AxisRates (%1, %2 or %3 degrees a second).")
                .arg(rates[0])
                .arg(rates[1])
                .arg(rates[2])));
    const int other = 1 - *axis;
    if (m_axisRate[other] != 0.0 && m_axisRateIndex[other] != index)
        return done(AlpacaReply::error(
            kAlpacaInvalidOperation,
            QStringLiteral("The other axis moves at another rate; the board moves both at one.")));
    Lx200Request setRate = request(Lx200Kind::SetRate);
    setRate.rate = index == 0 ? SlewRate::Guide : index == 1 ? SlewRate::Centering : SlewRate::Slew;
    const Lx200Request move = directed(Lx200Kind::Move, axisDirection(*axis, *rate));
    exchange(r, setRate, [this, r, move, axis = *axis, rate = *rate, index, done](auto) {
        exchange(r, move, [this, axis, rate, index, done](auto) {
            m_axisRate[axis] = rate;
            m_axisRateIndex[axis] = index;
            done(AlpacaReply::ok());
        });
    });
}

// Stops pass at once, whatever runs.
void AlpacaTelescope::stopAxis(const AlpacaRequest& r, const Done& done, int axis) {
    const double moving = m_axisRate[axis];
    for (const double sign : {1.0, -1.0})
        if (moving == 0.0 || moving * sign > 0)
            exchange(r, directed(Lx200Kind::Stop, axisDirection(axis, sign)),
                     [](std::optional<QByteArray>) {});
    m_axisRate[axis] = 0.0;
    m_axisRateIndex[axis] = -1;
    done(AlpacaReply::ok());
}

} // namespace corvane
