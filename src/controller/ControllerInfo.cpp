#include "controller/ControllerInfo.h"

#include "link/Dispatcher.h"

namespace corvane {

Query versionQuery() {
    Query q;
    q.name = QStringLiteral("version query");
    q.command = QStringLiteral("#:GV#");
    q.replyLength = 10;
    q.awaitedKind = kVersionKind;
    return q;
}

void ControllerInfo::listenTo(ReplyDispatcher& dispatcher) {
    dispatcher.subscribe(kVersionKind, this, [this](const QByteArray& reply) {
        applyVersionReply(QString::fromLatin1(reply));
    });
}

void ControllerInfo::applyVersionReply(const QString& reply) {
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
