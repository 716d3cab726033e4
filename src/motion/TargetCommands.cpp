#include "motion/TargetCommands.h"

#include "link/BoardLine.h"
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
void awaitAcknowledgement(BoardLine& line) {
    line.expect(targetAcknowledgement());
}
} // namespace

void setObject(BoardLine& line, const BoardPosition& target) {
    line.run(Sequence(QStringLiteral("set object"))
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(setRACommand(target.ra))
                 .pause(kTargetCommandPauseMs)
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(setDECCommand(target.dec)));
}

void gotoObject(BoardLine& line) {
    line.run(Sequence(QStringLiteral("goto object"))
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(QLatin1String(TargetCmd::GotoTarget)));
}

void syncObject(BoardLine& line, const BoardPosition& target, ReplyHandler positionRead) {
    line.run(Sequence(QStringLiteral("sync object"))
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(setRACommand(target.ra))
                 .pause(kTargetCommandPauseMs)
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(setDECCommand(target.dec))
                 .pause(kTargetCommandPauseMs)
                 .then([&line] { awaitAcknowledgement(line); })
                 .send(QLatin1String(TargetCmd::SyncOnTarget))
                 .pause(kTargetCommandPauseMs)
                 .request(positionQuery(), std::move(positionRead)));
}

void getObject(BoardLine& line, ReplyHandler targetRead) {
    line.run(Sequence(QStringLiteral("get object"))
                 .request(controllerTargetQuery(), std::move(targetRead)));
}

} // namespace corvane
