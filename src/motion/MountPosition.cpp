#include "motion/MountPosition.h"

#include "common/Clock.h"
#include "motion/PositionReplies.h"

#include <QPointer>

namespace corvane {

namespace {
Query textQuery(const char* name, const char* command, int length, qint16 kind) {
    Query q;
    q.name = QLatin1String(name);
    q.command = QLatin1String(command);
    q.replyLength = length;
    q.awaitedKind = kind;
    return q;
}
} // namespace

Query positionQuery() {
    return textQuery("position query", "#:GR##:GD#", 15, PositionKind::Position);
}

Query rightAscensionQuery() {
    return textQuery("right ascension query", "#:GR#", 8, PositionKind::RightAscension);
}

Query declinationQuery() {
    return textQuery("declination query", "#:GD#", 7, PositionKind::Declination);
}

MountPosition::MountPosition(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

// The model outlives every request on its session's line; a handler run
// after it (a test's line outliving its models) does nothing.
ReplyHandler MountPosition::positionReply(std::function<void(const Answer<BoardPosition>&)> then) {
    QPointer<MountPosition> self(this);
    return decodedBy<BoardPosition>(
        [self](const QByteArray& reply) -> std::optional<BoardPosition> {
            if (!self)
                return std::nullopt;
            return self->readPosition(reply);
        },
        [then = std::move(then)](const Answer<BoardPosition>& answer) {
            if (then)
                then(answer);
        });
}

ReplyHandler MountPosition::rightAscensionReply() {
    QPointer<MountPosition> self(this);
    return [self](const RawReply& reply) {
        if (self && reply.ok())
            self->readRightAscension(reply.bytes);
    };
}

ReplyHandler MountPosition::declinationReply() {
    QPointer<MountPosition> self(this);
    return [self](const RawReply& reply) {
        if (self && reply.ok())
            self->readDeclination(reply.bytes);
    };
}

std::optional<BoardPosition> MountPosition::readPosition(const QByteArray& reply) {
    const std::optional<BoardPosition> position = positionFromReply(QString::fromLatin1(reply));
    note(positionQuery(), position.has_value());
    if (!position)
        return position;
    m_ra = position->ra;
    m_dec = position->dec;
    m_raFromPosition = m_decFromPosition = true;
    update();
    return position;
}

std::optional<BoardRa> MountPosition::readRightAscension(const QByteArray& reply) {
    const std::optional<BoardRa> ra = rightAscensionFromReply(QString::fromLatin1(reply));
    note(rightAscensionQuery(), ra.has_value());
    if (!ra)
        return ra;
    m_ra = ra;
    m_raFromPosition = false;
    update();
    return ra;
}

std::optional<BoardDec> MountPosition::readDeclination(const QByteArray& reply) {
    const std::optional<BoardDec> dec = declinationFromReply(QString::fromLatin1(reply));
    note(declinationQuery(), dec.has_value());
    if (!dec)
        return dec;
    m_dec = dec;
    m_decFromPosition = false;
    update();
    return dec;
}

void MountPosition::update() {
    m_updatedMs = m_clock.nowMs();
    emit changed();
}

void MountPosition::note(const Query& query, bool good) {
    if (!good && !m_lastWasBad)
        emit badReply(badReplyMessage(query.name));
    m_lastWasBad = !good;
}

} // namespace corvane
