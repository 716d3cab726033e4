#include "share/SharedMount.h"

#include "common/ClockTimer.h"
#include "link/BoardLine.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"
#include "session/MountSession.h"
#include "share/Lx200Board.h"

#include <QPointer>

namespace corvane {

namespace {

Query clientQuery(const QString& command, const BoardReplyForm& form) {
    Query q;
    q.name = QStringLiteral("shared client's command");
    q.command = command;
    q.replyLength = form.upToHash ? 1 : form.length;
    q.upToHashAtMost = form.upToHash ? BoardReplyForm::kLongestTextReply : 0;
    return q;
}

} // namespace

SharedMount::SharedMount(MountSession& session, QObject* parent)
    : QObject(parent), m_session(session) {
    connect(&m_session.position(), &MountPosition::changed, this,
            [this] { m_syncedSinceRead = false; });
    connect(&m_session.line(), &BoardLine::cancelling, this, &SharedMount::stopped);
}

bool SharedMount::isBusyWithLongExchange() const {
    return m_session.line().isRunningExclusive();
}

void SharedMount::position(QObject* asker, PositionAnswer answer) {
    m_waiting.append({asker, std::move(answer)});
    if (!m_session.isOpen() || isBusyWithLongExchange()) {
        // Without the board there is no position to give; during a long
        // exchange the last one read stands in.
        answerWaiting(m_session.isOpen());
        return;
    }
    const MountPosition& model = m_session.position();
    const qint64 age = m_session.clock().nowMs() - model.updatedMs();
    const bool known = model.updatedMs() >= 0 && !m_syncedSinceRead;
    if (!known || age >= kFreshPositionMs || (age >= kRefreshPositionMs && !windowPolls()))
        askBoard();
    if (known && age < kFreshPositionMs)
        answerWaiting(true);
}

bool SharedMount::isFresh() const {
    const MountPosition& model = m_session.position();
    return model.updatedMs() >= 0 && !m_syncedSinceRead &&
           m_session.clock().nowMs() - model.updatedMs() < kFreshPositionMs;
}

// The window's own polling, at least as often as positions go stale, keeps
// the position fresh without asking ahead (which would double the queries).
bool SharedMount::windowPolls() const {
    const ClockTimer& timer = *m_session.polling().timer();
    return timer.isActive() && timer.interval() <= kFreshPositionMs;
}

void SharedMount::askBoard() {
    if (m_positionAsked)
        return;
    m_positionAsked = true;
    ++m_positionQueries;
    m_session.line().run(Sequence(QStringLiteral("shared position query"))
                             .request(positionQuery(), m_session.position().positionReply())
                             .awaitReply()
                             .onEnd([this](SequenceResult) {
                                 m_positionAsked = false;
                                 answerWaiting(isFresh());
                             }));
}

// Everyone waiting gets the model's position, or nothing when it is not to
// be given or the board has given none (the board did not answer, the port
// is closed): a client then times out rather than read a wrong position.
void SharedMount::answerWaiting(bool give) {
    const MountPosition& model = m_session.position();
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    std::optional<SkyPosition> position;
    if (give && model.ra() && model.dec() && model.raFromPosition() && model.decFromPosition())
        position = skyPosition({*model.ra(), *model.dec()});
    const QString ra = model.raText();
    const QString dec = model.decText();
    for (const Waiting& w : waiting) {
        if (w.asker)
            w.answer(position, ra, dec);
    }
}

void SharedMount::exchange(QObject* asker, const QString& who, const Lx200Request& request,
                           Reply answer) {
    const QString command = boardCommand(request);
    if (command.isEmpty()) {
        answer(std::nullopt);
        return;
    }
    // A stop has no answer and waits for nothing.
    if (request.kind == Lx200Kind::StopAll || request.kind == Lx200Kind::Stop) {
        m_session.line().stop(command, who + QStringLiteral("'s stop"));
        noteReply(request, std::nullopt);
        answer(std::nullopt);
        return;
    }
    const BoardReplyForm form = boardReplyForm(request);
    QPointer<QObject> alive(asker);
    Sequence s(who + QStringLiteral("'s command"));
    s.ask([alive] { return !alive.isNull(); });
    if (form.awaited())
        s.then([this] { m_reply.reset(); })
            .request(clientQuery(command, form),
                     [this](const RawReply& reply) {
                         if (reply.ok())
                             m_reply = reply.bytes;
                     })
            .awaitReply();
    else
        s.send(command);
    s.onEnd([this, alive, request, answer = std::move(answer)](SequenceResult result) {
        const std::optional<QByteArray> reply =
            result == SequenceResult::Done ? m_reply : std::nullopt;
        m_reply.reset();
        noteReply(request, reply);
        if (alive)
            answer(reply);
    });
    m_session.line().run(std::move(s));
}

// A target a client set (and the board took) shows in the target fields and
// is where a goto goes; a goto the board took is under way until it is over.
void SharedMount::noteReply(const Lx200Request& request, const std::optional<QByteArray>& reply) {
    const bool taken = reply && *reply == "1";
    Target& target = m_session.target();
    switch (request.kind) {
    case Lx200Kind::SetTargetRa:
        if (!taken)
            return;
        m_target.ra = request.ra;
        target.setRa(request.ra);
        return;
    case Lx200Kind::SetTargetDec:
        if (!taken)
            return;
        m_target.dec = request.dec;
        target.setDec(request.dec);
        return;
    case Lx200Kind::Goto:
        if (reply && *reply == "0")
            m_slew = Slew{m_target, m_session.position().ra(), m_session.position().dec(),
                          m_session.clock().nowMs()};
        return;
    case Lx200Kind::Sync:
        // The position read before no longer holds: the next is the board's.
        m_syncedSinceRead = true;
        return;
    case Lx200Kind::StopAll:
        m_slew.reset();
        return;
    default:
        return;
    }
}

void SharedMount::slewing(QObject* asker, std::function<void(bool)> answer) {
    position(asker, [this, answer = std::move(answer)](std::optional<SkyPosition>, const QString&,
                                                       const QString&) { answer(stillSlewing()); });
}

// Read as the position is given out: whatever reply the board last gave.
bool SharedMount::stillSlewing() {
    if (!m_slew)
        return false;
    const qint64 now = m_session.clock().nowMs();
    const std::optional<BoardRa>& ra = m_session.position().ra();
    const std::optional<BoardDec>& dec = m_session.position().dec();
    if (ra != m_slew->lastRa || dec != m_slew->lastDec) {
        m_slew->lastRa = ra;
        m_slew->lastDec = dec;
        m_slew->sinceMs = now;
    }
    const std::optional<SkyPosition> at = ra && dec ? skyPosition({*ra, *dec}) : std::nullopt;
    const bool arrived = at && boardRaFromHours(at->raHours) == m_slew->target.ra &&
                         boardDecFromDegrees(at->decDegrees) == m_slew->target.dec;
    if (arrived || now - m_slew->sinceMs >= kSlewSettledMs)
        m_slew.reset();
    return m_slew.has_value();
}

// The same three requests an LX200 client makes, each on from the last only
// when the board took it.
void SharedMount::gotoTarget(QObject* asker, const QString& who, const BoardTarget& board,
                             std::function<void()> done) {
    Lx200Request ra, dec, slew;
    ra.kind = Lx200Kind::SetTargetRa;
    ra.ra = board.ra;
    dec.kind = Lx200Kind::SetTargetDec;
    dec.dec = board.dec;
    slew.kind = Lx200Kind::Goto;
    const auto taken = [](const std::optional<QByteArray>& reply) { return reply == "1"; };
    exchange(asker, who, ra, [this, asker, who, dec, slew, taken, done](auto reply) {
        if (!taken(reply))
            return done();
        exchange(asker, who, dec, [this, asker, who, slew, taken, done](auto reply) {
            if (!taken(reply))
                return done();
            exchange(asker, who, slew, [done](auto) { done(); });
        });
    });
}

} // namespace corvane
