#include "link/ControllerInfo.h"

#include "link/Dispatcher.h"

namespace corvane {

Query versionQuery() {
    Query q;
    q.name = QStringLiteral("version query");
    q.command = QStringLiteral("#:GV#");
    q.replyLength = kVersionReplyLength;
    q.awaitedKind = kVersionKind;
    return q;
}

void ControllerInfo::listenTo(ReplyDispatcher& dispatcher) {
    dispatcher.subscribe(kVersionKind, this, [this](const QByteArray& reply) {
        applyVersionReply(QString::fromLatin1(reply));
    });
}

// The reply is the ten characters awaited, blanks after its "#" included
// ("1.9#      "); what follows them is another reply.
void ControllerInfo::applyVersionReply(const QString& reception) {
    const QString reply = reception.left(kVersionReplyLength);
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
