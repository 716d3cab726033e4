#include "motion/TargetCommands.h"

#include "link/Channel.h"
#include "motion/MountPosition.h"
#include "motion/Target.h"

namespace corvane {

QString setRACommand(const BoardRa& ra) {
    return QStringLiteral("#:Sr ") + ra.text() + QLatin1Char('#');
}

QString setDECCommand(const BoardDec& dec) {
    return QStringLiteral("#:Sd ") + dec.text() + QLatin1Char('#');
}

Query targetAcknowledgement() {
    return letGoQuery(QStringLiteral("set target"), 1);
}

namespace {
// Each target command is answered by one character that nothing interprets.
// It is awaited before each command, so that the last one is in before the
// next exchange begins.
void awaitAcknowledgement(Channel& channel) {
    channel.expect(targetAcknowledgement());
}
} // namespace

void setObject(Channel& channel, const BoardPosition& target) {
    channel.run(Sequence(QStringLiteral("set object"))
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(setRACommand(target.ra))
                    .pause(kTargetCommandPauseMs)
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(setDECCommand(target.dec)));
}

void gotoObject(Channel& channel) {
    channel.run(Sequence(QStringLiteral("goto object"))
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(QLatin1String(TargetCmd::GotoTarget)));
}

void syncObject(Channel& channel, const BoardPosition& target) {
    channel.run(Sequence(QStringLiteral("sync object"))
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(setRACommand(target.ra))
                    .pause(kTargetCommandPauseMs)
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(setDECCommand(target.dec))
                    .pause(kTargetCommandPauseMs)
                    .then([&channel] { awaitAcknowledgement(channel); })
                    .send(QLatin1String(TargetCmd::SyncOnTarget))
                    .pause(kTargetCommandPauseMs)
                    .request(positionQuery()));
}

void getObject(Channel& channel) {
    channel.run(Sequence(QStringLiteral("get object")).request(controllerTargetQuery()));
}

} // namespace corvane
