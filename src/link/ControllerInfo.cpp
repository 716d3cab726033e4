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

namespace {
// The first reply of a reception: its first ten characters, or fewer when a
// "#" closes it sooner ("3.56#").
QString firstVersionReply(const QString& reception) {
    const int hash = reception.indexOf(QLatin1Char('#'));
    return reception.left(hash >= 0 && hash < kVersionReplyLength ? hash + 1 : kVersionReplyLength);
}
} // namespace

void ControllerInfo::applyVersionReply(const QString& reception) {
    const QString reply = firstVersionReply(reception);
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
