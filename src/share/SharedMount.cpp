#include "share/SharedMount.h"

#include "link/Channel.h"
#include "motion/MountPosition.h"
#include "motion/Target.h"
#include "motion/TargetCommands.h"
#include "session/MountSession.h"
#include "share/Lx200Board.h"

#include <QPointer>

namespace corvane {

namespace {

// The kind under which a client's board reply is awaited: only this gateway
// reads it.
constexpr qint16 kClientReplyKind = 2000;

Query clientQuery(const QString& command, const BoardReplyForm& form) {
    Query q;
    q.name = QStringLiteral("shared client's command");
    q.command = command;
    // A reply read up to its "#" is collected by the settle after its first
    // character: at 9600 baud a short text is in well within it.
    q.replyLength = form.upToHash ? 1 : form.length;
    q.awaitedKind = kClientReplyKind;
    return q;
}

} // namespace

SharedMount::SharedMount(MountSession& session, QObject* parent)
    : QObject(parent), m_session(session) {
    m_session.channel().dispatcher().subscribe(
        kClientReplyKind, this, [this](const QByteArray& reply) { m_reply = reply; });
}

bool SharedMount::isBusyWithLongExchange() const {
    return m_session.channel().runner().isRunningExclusive();
}

void SharedMount::position(QObject* asker, PositionAnswer answer) {
    m_waiting.append({asker, std::move(answer)});
    const MountPosition& model = m_session.position();
    const qint64 age = m_session.clock().nowMs() - model.updatedMs();
    const bool fresh = model.updatedMs() >= 0 && age < kFreshPositionMs;
    if (fresh || isBusyWithLongExchange() || !m_session.isOpen()) {
        answerWaiting();
        return;
    }
    if (m_positionAsked)
        return;
    m_positionAsked = true;
    ++m_positionQueries;
    m_session.channel().run(Sequence(QStringLiteral("shared position query"))
                                .request(positionQuery())
                                .awaitReply()
                                .onEnd([this](SequenceResult) {
                                    m_positionAsked = false;
                                    answerWaiting();
                                }));
}

// Everyone waiting gets the model's position, or nothing when the board has
// given none (a client then times out rather than read a wrong position).
void SharedMount::answerWaiting() {
    const MountPosition& model = m_session.position();
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    std::optional<SkyPosition> position;
    if (model.updatedMs() >= 0 && model.raFromPosition() && model.decFromPosition())
        position =
            positionFromBoardReply(model.ra() + QLatin1Char('#') + model.dec() + QLatin1Char('#'));
    for (const Waiting& w : waiting) {
        if (w.asker)
            w.answer(position, model.ra(), model.dec());
    }
}

void SharedMount::exchange(QObject* asker, const Lx200Request& request, Reply answer) {
    const QString command = boardCommand(request);
    if (command.isEmpty()) {
        answer(std::nullopt);
        return;
    }
    const BoardReplyForm form = boardReplyForm(request);
    QPointer<QObject> alive(asker);
    Sequence s(QStringLiteral("shared client's command"));
    if (form.awaited())
        s.then([this] { m_reply.reset(); }).request(clientQuery(command, form)).awaitReply();
    else
        s.send(command);
    s.onEnd([this, alive, request, answer = std::move(answer)](SequenceResult result) {
        const std::optional<QByteArray> reply =
            result == SequenceResult::Done ? m_reply : std::nullopt;
        m_reply.reset();
        if (reply && *reply == "1")
            showTarget(request);
        if (alive)
            answer(reply);
    });
    m_session.channel().run(std::move(s));
}

// A target a client set (and the board took) shows in the target fields.
void SharedMount::showTarget(const Lx200Request& request) {
    Target& target = m_session.target();
    TargetFieldTexts texts = target.texts();
    if (request.kind == Lx200Kind::SetTargetRa) {
        texts.hours = request.ra.hoursText();
        texts.minutes = request.ra.minutesText();
    } else if (request.kind == Lx200Kind::SetTargetDec) {
        texts.degrees = request.dec.degreesText();
        texts.decMinutes = request.dec.minutesText();
    } else {
        return;
    }
    target.write(texts);
}

void SharedMount::gotoTarget(const BoardTarget& board) {
    const TargetFieldTexts texts{board.ra.hoursText(), board.ra.minutesText(),
                                 board.dec.degreesText(), board.dec.minutesText()};
    m_session.target().write(texts);
    setObject(m_session.channel(), texts);
    gotoObject(m_session.channel());
}

} // namespace corvane
