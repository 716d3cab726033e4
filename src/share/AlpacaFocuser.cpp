#include "share/AlpacaFocuser.h"

#include "common/ClockTimer.h"
#include "motion/Focuser.h"
#include "session/MountSession.h"
#include "share/SharedMount.h"

#include <QJsonArray>
#include <QJsonObject>

namespace corvane {

namespace {

Lx200Request focus(Lx200Kind kind) {
    Lx200Request r;
    r.kind = kind;
    return r;
}

} // namespace

AlpacaFocuser::AlpacaFocuser(SharedMount& mount, QString uniqueId, QObject* parent)
    : AlpacaCommon(mount, parent), m_uniqueId(std::move(uniqueId)),
      m_moveTimer(
          new ClockTimer(mount.session().clock(), QStringLiteral("alpacaFocusTimer"), this)) {
    m_moveTimer->setSingleShot(true);
    connect(m_moveTimer, &ClockTimer::timeout, this, [this] { halt(m_mover); });
    // Once the line is closed no stop can be sent: the move is over for us.
    connect(&session(), &MountSession::disconnected, m_moveTimer, &ClockTimer::stop);
    constant(QStringLiteral("absolute"), false);
    constant(QStringLiteral("maxincrement"), kMostSteps);
    constant(QStringLiteral("maxstep"), kMostSteps);
    constant(QStringLiteral("tempcompavailable"), false);
    constant(QStringLiteral("tempcomp"), false);
    notImplemented(QStringLiteral("position"), true, false);
    notImplemented(QStringLiteral("stepsize"), true, false);
    notImplemented(QStringLiteral("temperature"), true, false);
    // Without compensation it may be switched off, never on.
    onPut(QStringLiteral("tempcomp"), Needs::Nothing, [](const AlpacaRequest& r, const Done& done) {
        const std::optional<bool> on = boolParameter(r, QStringLiteral("tempcomp"), done);
        if (on)
            done(*on ? AlpacaReply::error(kAlpacaNotImplemented,
                                          QStringLiteral("The focuser has no temperature "
                                                         "compensation."))
                     : AlpacaReply::ok());
    });
    onGet(QStringLiteral("ismoving"), Needs::Board,
          [this](const AlpacaRequest&, const Done& done) { done(AlpacaReply::ok(isMoving())); });
    onPut(QStringLiteral("move"), Needs::Motion,
          [this](const AlpacaRequest& r, const Done& done) { move(r, done); });
    onPut(QStringLiteral("halt"), Needs::Board, [this](const AlpacaRequest& r, const Done& done) {
        halt(r);
        done(AlpacaReply::ok());
    });
}

QString AlpacaFocuser::description() const {
    return QStringLiteral("The focuser on the Corvane controller board");
}

bool AlpacaFocuser::isMoving() const {
    return m_moveTimer->isActive();
}

void AlpacaFocuser::move(const AlpacaRequest& r, const Done& done) {
    const std::optional<int> steps = intParameter(r, QStringLiteral("position"), done);
    if (!steps)
        return;
    if (*steps < -kMostSteps || *steps > kMostSteps)
        return done(AlpacaReply::error(
            kAlpacaInvalidValue,
            QStringLiteral("A move is at most %1 steps either way.").arg(kMostSteps)));
    if (isMoving())
        return done(AlpacaReply::error(kAlpacaInvalidOperation,
                                       QStringLiteral("The focuser is still moving.")));
    if (*steps == 0)
        return done(AlpacaReply::ok());
    m_mover = r;
    const int ms = qAbs(*steps);
    const Lx200Kind direction = *steps > 0 ? Lx200Kind::FocusOut : Lx200Kind::FocusIn;
    // The speed the user chose goes first: a step is a millisecond at it.
    exchange(r, focus(session().focuser().fast() ? Lx200Kind::FocusFast : Lx200Kind::FocusSlow),
             [](std::optional<QByteArray>) {});
    exchange(r, focus(direction), [this, ms, done](std::optional<QByteArray>) {
        m_moveTimer->setInterval(ms);
        m_moveTimer->start();
        done(AlpacaReply::ok());
    });
}

void AlpacaFocuser::halt(const AlpacaRequest& r) {
    m_moveTimer->stop();
    if (session().isOpen())
        interjectStop(r, focus(Lx200Kind::FocusStop));
}

void AlpacaFocuser::deviceState(const Done& done) {
    const QString now = alpacaDate(session().clock().utcNow());
    done(AlpacaReply::ok(
        QJsonArray{QJsonObject{{QStringLiteral("Name"), QStringLiteral("IsMoving")},
                               {QStringLiteral("Value"), isMoving()}},
                   QJsonObject{{QStringLiteral("Name"), QStringLiteral("TempComp")},
                               {QStringLiteral("Value"), false}},
                   QJsonObject{{QStringLiteral("Name"), QStringLiteral("TimeStamp")},
                               {QStringLiteral("Value"), now}}}));
}

} // namespace corvane
