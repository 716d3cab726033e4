#include "link/SequenceRunner.h"

#include "link/Channel.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace corvane {

SequenceRunner::SequenceRunner(Channel& channel, Clock& clock, QObject* parent)
    : QObject(parent), m_channel(channel), m_clock(clock) {
    connect(&m_channel, &Channel::requestEnded, this, &SequenceRunner::onRequestEnded);
    // A let-go answer may end while no step awaits it (during a pause).
    connect(&m_channel, &Channel::requestEnded, this, &SequenceRunner::sendInterjections);
    connect(&m_channel, &Channel::lost, this, [this] { abort(SequenceResult::PortLost); });
    connect(&m_channel, &Channel::lineFree, this, &SequenceRunner::startNextWhenLineIsFree);
}

bool SequenceRunner::run(Sequence sequence) {
    if (!isBusy() && m_state == State::Idle && !m_channel.isLineBusy()) {
        start(std::move(sequence));
        return true;
    }
    if (sequence.isExclusive() && holdsLongExchange())
        return false;
    m_queue.enqueue(std::move(sequence));
    return true;
}

bool SequenceRunner::isLong(const Sequence& sequence) {
    if (sequence.isExclusive() || sequence.isProtected())
        return true;
    int commands = 0;
    for (const Sequence::Step& step : sequence.m_steps)
        if (step.kind == Sequence::StepKind::Send || step.kind == Sequence::StepKind::Request)
            ++commands;
    return commands > kShortExchangeCommands;
}

bool SequenceRunner::holdsLongExchange() const {
    if (m_current && isLong(*m_current))
        return true;
    return std::any_of(m_queue.cbegin(), m_queue.cend(), &SequenceRunner::isLong);
}

bool SequenceRunner::follow(Sequence sequence) {
    if (m_state != State::Finishing)
        return run(std::move(sequence));
    m_queue.prepend(std::move(sequence));
    return true;
}

void SequenceRunner::interject(const QString& command, const QString& cause) {
    m_interjections.enqueue({command, cause});
    sendInterjections();
}

QString SequenceRunner::writer() const {
    if (!m_interjecting.isEmpty())
        return m_interjecting;
    return m_stepping && m_current ? m_current->name() : QString();
}

// Never while a request is armed (its command is the next write) or its
// reply is on its way, unless that reply is collected from several answers.
void SequenceRunner::sendInterjections() {
    if (!m_interjecting.isEmpty() || m_channel.isRequestArmed() ||
        (m_channel.isLineBusy() && !m_channel.isCollecting()))
        return;
    while (!m_interjections.isEmpty()) {
        const Interjection next = m_interjections.dequeue();
        m_interjecting = next.cause.isEmpty() ? QStringLiteral("interjection") : next.cause;
        m_channel.send(next.command);
        m_interjecting.clear();
    }
}

void SequenceRunner::startNextWhenLineIsFree() {
    sendInterjections();
    if (m_state == State::Idle && !m_current && !m_queue.isEmpty() && !m_channel.isLineBusy())
        start(m_queue.dequeue());
}

void SequenceRunner::start(Sequence sequence) {
    m_current = std::move(sequence);
    m_next = 0;
    m_state = State::Running;
    ++m_generation;
    advance();
}

void SequenceRunner::advance() {
    const quint64 generation = m_generation;
    const QScopedValueRollback<bool> stepping(m_stepping, true);
    while (m_current && m_state == State::Running && m_next < m_current->m_steps.size()) {
        sendInterjections();
        const Sequence::Step step = m_current->m_steps.at(m_next++);
        switch (step.kind) {
        case Sequence::StepKind::Send:
            m_channel.send(step.command);
            break;
        case Sequence::StepKind::Request:
            m_channel.request(step.query, step.handler);
            break;
        case Sequence::StepKind::Pause:
            m_state = State::Pausing;
            m_pause = m_clock.schedule(step.value, this, [this, generation] {
                if (generation != m_generation || m_state != State::Pausing)
                    return;
                m_state = State::Running;
                advance();
            });
            return;
        case Sequence::StepKind::Action:
            step.action();
            break;
        case Sequence::StepKind::Ask:
            if (!step.question()) {
                if (generation == m_generation)
                    finish(SequenceResult::Cancelled);
                return;
            }
            break;
        case Sequence::StepKind::AwaitReply:
            if (m_channel.isAwaitingReply()) {
                m_state = State::AwaitingReply;
                return;
            }
            if (m_channel.lastRequestTimedOut()) {
                finish(SequenceResult::TimedOut);
                return;
            }
            break;
        case Sequence::StepKind::Report:
            emit progress(step.value, step.total);
            break;
        }
        // The step may have ended the sequence (a lost port, a cancel).
        if (generation != m_generation)
            return;
    }
    if (m_current && m_state == State::Running && generation == m_generation)
        finish(SequenceResult::Done);
}

void SequenceRunner::onRequestEnded(bool answered) {
    if (m_state != State::AwaitingReply)
        return;
    if (!answered) {
        finish(SequenceResult::TimedOut);
        return;
    }
    m_state = State::Running;
    advance();
}

void SequenceRunner::finish(SequenceResult result) {
    m_clock.cancel(m_pause);
    m_pause = 0;
    ++m_generation;
    m_state = State::Finishing;
    Sequence ended = std::move(*m_current);
    if (ended.m_done)
        ended.m_done(result);
    emit finished(ended.name(), result);
    m_current.reset();
    m_state = State::Idle;
    startNextWhenLineIsFree();
}

void SequenceRunner::dropQueued(SequenceResult why) {
    while (!m_queue.isEmpty()) {
        Sequence dropped = m_queue.dequeue();
        if (dropped.m_done)
            dropped.m_done(why);
    }
}

void SequenceRunner::cancel() {
    emit cancelling();
    dropQueued(SequenceResult::Cancelled);
    if (m_current && m_state != State::Finishing && !m_current->isProtected())
        finish(SequenceResult::Cancelled);
}

void SequenceRunner::abort(SequenceResult why) {
    m_interjections.clear();
    dropQueued(why);
    if (m_current && m_state != State::Finishing)
        finish(why);
}

} // namespace corvane
