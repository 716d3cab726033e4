#include "link/ControllerInfo.h"

#include "link/Channel.h"

namespace corvane {

void ControllerInfo::listenTo(ReplyDispatcher& dispatcher) {
    dispatcher.subscribe(ReplyKind::Version, this,
                         [this](const QString& reply) { applyVersionReply(reply); });
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
