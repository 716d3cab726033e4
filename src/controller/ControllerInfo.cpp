#include "controller/ControllerInfo.h"

#include <QPointer>

namespace corvane {

Query versionQuery() {
    Query q;
    q.name = QStringLiteral("version query");
    q.command = QStringLiteral("#:GV#");
    q.replyLength = kVersionReplyLength;
    q.awaitedKind = kVersionKind;
    return q;
}

ReplyHandler ControllerInfo::versionReply(std::function<void(const Answer<VersionInfo>&)> then) {
    QPointer<ControllerInfo> self(this);
    return [self, then = std::move(then)](const RawReply& reply) {
        Answer<VersionInfo> answer;
        answer.failure = reply.failure;
        if (self && reply.ok()) {
            self->applyVersionReply(QString::fromLatin1(reply.bytes));
            answer.value = self->m_info;
        }
        if (then)
            then(answer);
    };
}

// The reply is the first one received: up to its "#" and the blanks that pad
// it to the ten characters awaited ("1.9#      "); whatever follows is
// another reply ("3.61 12#5" asked for again arrives run together).
void ControllerInfo::applyVersionReply(const QString& reception) {
    QString reply = reception.left(kVersionReplyLength);
    const int hash = reply.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        int end = hash + 1;
        while (end < reply.size() && reply.at(end) == QLatin1Char(' '))
            ++end;
        reply.truncate(end);
    }
    m_info = parseVersionReply(reply);
    m_reply = reply;
    emit changed();
}

void ControllerInfo::forget() {
    m_info = VersionInfo();
    m_reply.clear();
    emit changed();
}

} // namespace corvane
