#include "motion/Target.h"

#include "link/Channel.h"
#include "motion/PositionReplies.h"
#include "motion/TargetFields.h"

namespace corvane {

Query controllerTargetQuery() {
    Query q;
    q.name = QStringLiteral("target query");
    q.command = QStringLiteral("#:Gr##:Gd#");
    q.replyLength = 14;
    q.awaitedKind = kControllerTargetKind;
    return q;
}

Target::Target(Channel& channel, QObject* parent)
    : QObject(parent), m_channel(channel), m_texts{initialFieldText(TargetField::Hours),
                                                   initialFieldText(TargetField::Minutes),
                                                   initialFieldText(TargetField::DecDegrees),
                                                   initialFieldText(TargetField::DecMinutes)} {}

void Target::listenTo(ReplyDispatcher& dispatcher) {
    dispatcher.subscribe(kControllerTargetKind, this, [this](const QByteArray& reply) {
        readControllerTarget(QString::fromLatin1(reply));
    });
}

void Target::write(const TargetFieldTexts& texts) {
    m_texts = texts;
    emit changed();
}

void Target::readControllerTarget(const QString& reply) {
    const std::optional<TargetText> target = targetFromReply(reply);
    if (!target) {
        emit badReply(badReplyMessage(controllerTargetQuery().name));
        return;
    }
    emit controllerTargetRead(target->response);
    write({target->hours, target->minutes, target->degrees, target->decMinutes});
}

void Target::setInMount() {
    setObject(m_channel, m_texts);
}

void Target::goTo() {
    gotoObject(m_channel);
}

void Target::sync() {
    syncObject(m_channel, m_texts);
}

void Target::readBack() {
    getObject(m_channel);
}

} // namespace corvane
