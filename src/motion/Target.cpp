#include "motion/Target.h"

#include "link/BoardLine.h"
#include "motion/MountPosition.h"
#include "motion/PositionReplies.h"

#include <QPointer>

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
Target::Target(BoardLine& line, MountPosition& position, QObject* parent)
    : QObject(parent), m_line(line), m_mountPosition(position) {}

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
    setObject(m_line, m_position);
}

void Target::goTo() {
    gotoObject(m_line);
}

void Target::sync() {
    syncObject(m_line, m_position, m_mountPosition.positionReply());
}

void Target::readBack() {
    QPointer<Target> self(this);
    getObject(m_line, [self](const RawReply& reply) {
        if (self && reply.ok())
            self->readControllerTarget(QString::fromLatin1(reply.bytes));
    });
}

} // namespace corvane
