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
        readRightAscension(QString::fromLatin1(reply));
    });
    dispatcher.subscribe(PositionKind::Declination, this, [this](const QByteArray& reply) {
        readDeclination(QString::fromLatin1(reply));
    });
}

void MountPosition::readPosition(const Query& query, const QString& reply) {
    const std::optional<BoardPosition> position = positionFromReply(reply);
    note(query, position.has_value());
    if (!position)
        return;
    m_ra = position->ra;
    m_dec = position->dec;
    m_raFromPosition = m_decFromPosition = true;
    update();
}

void MountPosition::readRightAscension(const QString& reply) {
    const std::optional<BoardRa> ra = rightAscensionFromReply(reply);
    note(rightAscensionQuery(), ra.has_value());
    if (!ra)
        return;
    m_ra = ra;
    m_raFromPosition = false;
    update();
}

void MountPosition::readDeclination(const QString& reply) {
    const std::optional<BoardDec> dec = declinationFromReply(reply);
    note(declinationQuery(), dec.has_value());
    if (!dec)
        return;
    m_dec = dec;
    m_decFromPosition = false;
    update();
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
