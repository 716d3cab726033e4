#include "link/Dispatcher.h"

#include "link/Channel.h"

namespace corvane {

void dispatchReply(Channel& channel, const QString& reply, ReplySink& sink) {
    if (channel.dispatchArmed) {
        switch (channel.awaitedKind) {
        case ReplyKind::Version:
            sink.showVersion(reply, parseVersionReply(reply));
            break;
        case ReplyKind::RightAscension:
            sink.showScopeRA(rawRightAscension(reply));
            break;
        case ReplyKind::Declination:
            sink.showScopeDEC(rawDeclination(reply));
            break;
        case ReplyKind::SettingsDump:
            sink.decodeSettingsDump(reply);
            break;
        case ReplyKind::PecState:
            sink.decodePECState(reply);
            break;
        case ReplyKind::PecTable:
            sink.decodePECTable(reply);
            break;
        case ReplyKind::ControllerTarget:
            sink.showControllerTarget(targetFromReply(reply));
            break;
        case ReplyKind::Position:
        case ReplyKind::Position2:
            if (!reply.isEmpty())
                sink.showScopePosition(
                    positionFromReply(reply, sink.degreeMark(), sink.minuteMark()));
            break;
        default:
            break;
        }
    }
    channel.dispatchArmed = true;
}

} // namespace corvane
