#include "session/SessionLine.h"

#include "link/Channel.h"

namespace corvane {

SessionLine::SessionLine(Channel& channel, QObject* parent)
    : BoardLine(parent), m_channel(channel) {
    connect(&channel, &Channel::written, this, &BoardLine::written);
    connect(&channel, &Channel::received, this, &BoardLine::received);
    connect(&channel, &Channel::receptionHandled, this, &BoardLine::receptionHandled);
    connect(&channel, &Channel::arriving, this, &BoardLine::arriving);
    SequenceRunner& runner = channel.runner();
    connect(&runner, &SequenceRunner::progress, this, &BoardLine::progress);
    connect(&runner, &SequenceRunner::finished, this, &BoardLine::finished);
    connect(&runner, &SequenceRunner::cancelling, this, &BoardLine::cancelling);
}

bool SessionLine::isOpen() const {
    return m_channel.isOpen();
}

Clock& SessionLine::clock() const {
    return m_channel.clock();
}

bool SessionLine::run(Sequence sequence) {
    return m_channel.run(std::move(sequence));
}

bool SessionLine::follow(Sequence sequence) {
    return m_channel.follow(std::move(sequence));
}

void SessionLine::stop(const QString& command, const QString& cause) {
    m_channel.runner().interject(command, cause);
}

void SessionLine::cancelAll() {
    m_channel.runner().cancel();
}

bool SessionLine::isBusy() const {
    return m_channel.runner().isBusy();
}

bool SessionLine::refusesExclusive() const {
    return m_channel.runner().refusesExclusive();
}

bool SessionLine::isRunningExclusive() const {
    return m_channel.runner().isRunningExclusive();
}

bool SessionLine::isRunningProtected() const {
    return m_channel.runner().isRunningProtected();
}

QString SessionLine::runningName() const {
    return m_channel.runner().runningName();
}

void SessionLine::send(const QString& command) {
    m_channel.send(command);
}

void SessionLine::request(const Query& query, ReplyHandler handler) {
    m_channel.request(query, std::move(handler));
}

void SessionLine::expect(const Query& query, ReplyHandler handler) {
    m_channel.expect(query, std::move(handler));
}

void SessionLine::expectManualCommand() {
    m_channel.expectManualCommand();
}

void SessionLine::flushInput() {
    m_channel.flushInput();
}

void SessionLine::setAwaitedCount(int n) {
    m_channel.setAwaitedCount(n);
}

bool SessionLine::isAwaitingReply() const {
    return m_channel.isAwaitingReply();
}

bool SessionLine::isCollecting() const {
    return m_channel.isCollecting();
}

bool SessionLine::isRequestArmed() const {
    return m_channel.isRequestArmed();
}

bool SessionLine::isLineBusy() const {
    return m_channel.isLineBusy();
}

bool SessionLine::lastRequestTimedOut() const {
    return m_channel.lastRequestTimedOut();
}

} // namespace corvane
