#include "link/Query.h"

#include <QtGlobal>

namespace corvane {

int lineTimeMs(int charactersSent, int charactersAwaited) {
    const int characters = qMax(0, charactersSent) + qMax(0, charactersAwaited);
    return (characters * 1000 + 959) / 960;
}

int replyDeadlineMs(Reading reading, int charactersSent, int charactersAwaited) {
    return (reading == Reading::Read ? kReplyMarginMs : kLetGoMarginMs) +
           lineTimeMs(charactersSent, charactersAwaited);
}

Query letGoQuery(const QString& name, int characters, const QString& command) {
    Query q;
    q.name = name;
    q.command = command;
    q.replyLength = characters;
    q.reading = Reading::LetGo;
    q.awaitedKind = AwaitedKind::Acknowledgement;
    return q;
}

QString noReplyMessage(const QString& queryName) {
    return QStringLiteral("No reply to the ") + queryName;
}

QString badReplyMessage(const QString& queryName) {
    return QStringLiteral("Bad reply to the ") + queryName;
}

} // namespace corvane
