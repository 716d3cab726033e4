#include "link/Channel.h"

#include "link/SerialPort.h"

#include <utility>

namespace corvane {

namespace {
// What is awaited when nothing is: no reply, no kind.
Query nothingAwaited() {
    return Query();
}
} // namespace

Channel::Channel(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_runner(*this, clock, this), m_query(nothingAwaited()) {}

void Channel::setPort(SerialPort* port) {
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    m_port = port;
    if (m_port) {
        connect(m_port, &SerialPort::commEvent, this, &Channel::onCommEvent);
        connect(m_port, &SerialPort::waitingChanged, this, &Channel::onArrival);
    }
}

bool Channel::isOpen() const {
    return m_port && m_port->isOpen();
}

void Channel::setAwaitedCount(int n) {
    if (m_port)
        m_port->setThreshold(n);
}

int Channel::awaitedCount() const {
    return m_port ? m_port->threshold() : 0;
}

void Channel::expect(const Query& query, ReplyHandler handler) {
    if (m_awaiting)
        endRequest(false); // superseded: its reply is flushed by the next send
    else
        fail(ReplyFailure::Cancelled); // armed, never sent
    m_query = query;
    m_handler = std::move(handler);
    setAwaitedCount(query.replyLength);
    m_requestArmed = query.replyLength > 0;
    // A new request is read, whatever a manual command left behind.
    m_detectForm = false;
}

void Channel::request(const Query& query, ReplyHandler handler) {
    expect(query, std::move(handler));
    send(query.command);
}

// The one who asked learns there will be no reply.
void Channel::fail(ReplyFailure why) {
    if (ReplyHandler handler = std::exchange(m_handler, nullptr))
        handler(RawReply{QByteArray(), why});
}

void Channel::expectManualCommand() {
    Query manual;
    manual.name = QStringLiteral("manual command");
    manual.replyLength = 1;
    manual.reading = Reading::LetGo;
    manual.awaitedKind = AwaitedKind::ManualCommand;
    expect(manual);
    m_detectForm = true;
}

void Channel::send(const QString& command) {
    if (!isOpen())
        return;
    const bool collecting = m_awaiting && m_query.collects;
    if (!collecting)
        flushInput();
    const QByteArray bytes = command.toLatin1();
    m_port->write(bytes);
    emit written(bytes);
    if (m_requestArmed) {
        m_requestArmed = false;
        startRequest(command.size());
    } else if (m_awaiting) {
        if (collecting)
            startRequest(m_requestCharacters + command.size());
        else
            endRequest(false); // the flush took the reply on its way
    }
}

void Channel::flushInput() {
    ++m_flushes;
    m_partial.clear();
    if (!isOpen())
        return;
    while (m_port->waitingCount() >= 1)
        m_port->readAll();
}

void Channel::startRequest(int charactersSent) {
    m_clock.cancel(m_deadline);
    m_awaiting = true;
    m_lastTimedOut = false;
    m_requestCharacters = charactersSent;
    m_deadline = m_clock.schedule(
        replyDeadlineMs(m_query.reading, charactersSent, awaitedCount()), this,
        [this] { onDeadline(); }, Clock::Wait::Deadline);
}

void Channel::endRequest(bool answered, ReplyFailure why) {
    m_clock.cancel(m_deadline);
    m_deadline = 0;
    m_awaiting = false;
    if (!answered)
        fail(why);
    emit requestEnded(answered);
    if (!isLineBusy())
        emit lineFree();
}

void Channel::onDeadline() {
    m_deadline = 0;
    if (!m_awaiting)
        return;
    if (m_query.reading == Reading::LetGo) {
        // No answer to a command that need not have one. A manual command's
        // reception ends here too: the next reply is read again.
        m_detectForm = false;
        endRequest(false, ReplyFailure::NoReply);
        return;
    }
    const QString name = m_query.name;
    const int awaited = awaitedCount();
    const int arrived = m_partial.size() + (m_port ? m_port->waitingCount() : 0);
    // A reply read up to its "#" that began without it: its rest is late.
    const bool restLate = m_query.upToHashAtMost > 0 && arrived > 0;
    // Nothing is awaited any more: what was there is thrown away, and what
    // comes late is held back from the next request until it is in.
    m_query = nothingAwaited();
    setAwaitedCount(0);
    flushInput();
    m_lastTimedOut = true;
    if (isOpen() && (awaited > arrived || restLate)) {
        m_lateCharacters = qMax(1, awaited - arrived);
        m_quarantineEnd = m_clock.schedule(
            replyDeadlineMs(Reading::Read, m_requestCharacters, awaited), this,
            [this] { endQuarantine(); }, Clock::Wait::Deadline);
    }
    endRequest(false, ReplyFailure::NoReply);
    emit timedOut(name);
}

void Channel::onArrival(int waiting) {
    emit arriving(waiting, awaitedCount());
    if (!isQuarantined() || waiting <= 0)
        return;
    // The late reply, or part of it: gone as it comes.
    flushInput();
    if (waiting >= m_lateCharacters)
        endQuarantine();
    else
        m_lateCharacters -= waiting;
}

void Channel::endQuarantine() {
    if (!isQuarantined())
        return;
    m_clock.cancel(m_quarantineEnd);
    m_quarantineEnd = 0;
    m_lateCharacters = 0;
    if (!isLineBusy())
        emit lineFree();
}

void Channel::onCommEvent(int kind) {
    if (kind == SerialPort::Lost) {
        // Whatever was awaited ends with the port (the runner learns it from lost()).
        m_settling = false;
        m_partial.clear();
        m_awaiting = false;
        m_clock.cancel(m_deadline);
        m_deadline = 0;
        m_lateCharacters = 0;
        m_clock.cancel(m_quarantineEnd);
        fail(ReplyFailure::Cancelled);
        emit lost();
        return;
    }
    if (kind != SerialPort::Received || m_settling || !isOpen())
        return;
    // The awaited count is in: let the rest of the reply arrive, then drain.
    m_settling = true;
    const quint64 flushes = m_flushes;
    m_clock.schedule(kSettleMs, this, [this, flushes] { settled(flushes); });
}

void Channel::settled(quint64 flushCount) {
    m_settling = false;
    // A send in the meantime flushed this reception away.
    if (!isOpen() || flushCount != m_flushes)
        return;
    QByteArray buffer = std::exchange(m_partial, QByteArray()) + m_port->readAll();
    while (m_port->isOpen() && m_port->waitingCount() > 0)
        buffer += m_port->readAll();
    if (buffer.isEmpty())
        return;
    if (awaitsRestOfText(buffer)) {
        m_partial = buffer;
        return;
    }
    // A copy of its own bytes: a port may hand back a piece of the much
    // larger block it read into, and a reply kept (the traffic log keeps
    // thousands) would keep that whole block alive.
    deliver(QByteArray(buffer.constData(), buffer.size()));
}

// The reply is read up to its "#", which has not come yet: the rest comes
// with a later reception (its first characters are held meanwhile), unless
// the reply is already as long as it may be.
bool Channel::awaitsRestOfText(const QByteArray& buffer) const {
    return m_awaiting && m_query.upToHashAtMost > 0 && !buffer.contains('#') &&
           buffer.size() < m_query.upToHashAtMost;
}

void Channel::deliver(const QByteArray& buffer) {
    if (m_detectForm) {
        const uchar first = static_cast<uchar>(buffer.at(0));
        m_query.form = (first < 32 || first > 127) ? ReplyForm::Raw : ReplyForm::Text;
    }
    flushInput();
    m_detectForm = false;
    const bool answered = m_awaiting;
    if (answered) {
        m_clock.cancel(m_deadline);
        m_deadline = 0;
        m_awaiting = false;
        m_lastTimedOut = false;
    }
    emit received(buffer, m_query.form);
    // Only the awaited reply reaches the one who asked, once.
    if (answered)
        if (ReplyHandler handler = std::exchange(m_handler, nullptr))
            handler(RawReply{buffer, ReplyFailure::None});
    emit receptionHandled();
    if (answered) {
        emit requestEnded(true);
        if (!isLineBusy())
            emit lineFree();
    }
}

} // namespace corvane
