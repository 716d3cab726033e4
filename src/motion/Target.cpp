#include "motion/Target.h"

#include "link/Channel.h"
#include "motion/PositionReplies.h"

namespace corvane {

Query controllerTargetQuery() {
    Query q;
    q.name = QStringLiteral("target query");
    q.command = QStringLiteral("#:Gr##:Gd#");
    q.replyLength = 14;
    q.awaitedKind = kControllerTargetKind;
    return q;
}

// 00:00.0 north, as the fields start ("00", "00.0", "+00", "00").
Target::Target(Channel& channel, QObject* parent) : QObject(parent), m_channel(channel) {}

void Target::listenTo(ReplyDispatcher& dispatcher) {
    dispatcher.subscribe(kControllerTargetKind, this, [this](const QByteArray& reply) {
        readControllerTarget(QString::fromLatin1(reply));
    });
}

void Target::set(const BoardPosition& position) {
    m_position = position;
    emit changed();
}

void Target::setRa(const BoardRa& ra) {
    set({ra, m_position.dec});
}

void Target::setDec(const BoardDec& dec) {
    set({m_position.ra, dec});
}

void Target::readControllerTarget(const QString& reply) {
    const std::optional<TargetReply> target = targetFromReply(reply);
    if (!target) {
        emit badReply(badReplyMessage(controllerTargetQuery().name));
        return;
    }
    emit controllerTargetRead(target->response);
    set(target->target);
}

void Target::setInMount() {
    setObject(m_channel, m_position);
}

void Target::goTo() {
    gotoObject(m_channel);
}

void Target::sync() {
    syncObject(m_channel, m_position);
}

void Target::readBack() {
    getObject(m_channel);
}

} // namespace corvane
