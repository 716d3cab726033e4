#include "target/TargetCommands.h"

#include "link/Channel.h"

namespace corvane {

QString setRACommand(const TargetFieldTexts& target) {
    return QStringLiteral("#:Sr ") + target.hours + QLatin1Char(':') + target.minutes +
           QLatin1Char('#');
}

QString setDECCommand(const TargetFieldTexts& target) {
    return QStringLiteral("#:Sd ") + target.degrees + QLatin1Char('*') + target.decMinutes +
           QLatin1Char('#');
}

namespace {
// Each target command is answered by one character that nothing interprets.
void awaitAcknowledgement(Channel& channel) {
    channel.expect(0, ReplyKind::SetTarget, 1);
}
} // namespace

void setObject(Channel& channel, Clock& clock, const TargetFieldTexts& target) {
    awaitAcknowledgement(channel);
    channel.send(setRACommand(target));
    clock.pause(kTargetCommandPauseMs);
    channel.send(setDECCommand(target));
}

void gotoObject(Channel& channel) {
    awaitAcknowledgement(channel);
    channel.send(QLatin1String(TargetCmd::GotoTarget));
}

void syncObject(Channel& channel, Clock& clock, const TargetFieldTexts& target) {
    awaitAcknowledgement(channel);
    channel.send(setRACommand(target));
    clock.pause(kTargetCommandPauseMs);
    channel.send(setDECCommand(target));
    clock.pause(kTargetCommandPauseMs);
    channel.send(QLatin1String(TargetCmd::SyncOnTarget));
    clock.pause(kTargetCommandPauseMs);
    channel.getPos();
}

void getObject(Channel& channel) {
    channel.expect(0, ReplyKind::ControllerTarget, 14);
    channel.send(QLatin1String(Cmd::GetTarget));
}

} // namespace corvane
