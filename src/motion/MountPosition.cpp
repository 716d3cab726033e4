#include "motion/MountPosition.h"

#include "common/Clock.h"
#include "link/Dispatcher.h"
#include "motion/PositionReplies.h"

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

Query position2Query() {
    return textQuery("position query", "#:GR##:GD#", 15, PositionKind::Position2);
}

Query rightAscensionQuery() {
    return textQuery("right ascension query", "#:GR#", 8, PositionKind::RightAscension);
}

Query declinationQuery() {
    return textQuery("declination query", "#:GD#", 7, PositionKind::Declination);
}

MountPosition::MountPosition(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

void MountPosition::listenTo(ReplyDispatcher& dispatcher) {
    for (const Query& q : {positionQuery(), position2Query()})
        dispatcher.subscribe(q.awaitedKind, this, [this, q](const QByteArray& reply) {
            readPosition(q, QString::fromLatin1(reply));
        });
    dispatcher.subscribe(PositionKind::RightAscension, this, [this](const QByteArray& reply) {
        readAxis(rightAscensionQuery(), QString::fromLatin1(reply), true);
    });
    dispatcher.subscribe(PositionKind::Declination, this, [this](const QByteArray& reply) {
        readAxis(declinationQuery(), QString::fromLatin1(reply), false);
    });
}

void MountPosition::readPosition(const Query& query, const QString& reply) {
    const std::optional<PositionText> position = positionFromReply(reply);
    note(query, position.has_value());
    if (!position)
        return;
    m_ra = position->ra;
    m_dec = position->dec;
    m_raFromPosition = m_decFromPosition = true;
    m_updatedMs = m_clock.nowMs();
    emit changed();
}

void MountPosition::readAxis(const Query& query, const QString& reply, bool rightAscension) {
    const std::optional<QString> text =
        rightAscension ? rawRightAscension(reply) : rawDeclination(reply);
    note(query, text.has_value());
    if (!text)
        return;
    (rightAscension ? m_ra : m_dec) = *text;
    (rightAscension ? m_raFromPosition : m_decFromPosition) = false;
    m_updatedMs = m_clock.nowMs();
    emit changed();
}

void MountPosition::note(const Query& query, bool good) {
    if (!good && !m_lastWasBad)
        emit badReply(badReplyMessage(query.name));
    m_lastWasBad = !good;
}

} // namespace corvane
