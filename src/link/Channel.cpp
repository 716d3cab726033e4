#include "link/Channel.h"

#include "link/SerialPort.h"

namespace corvane {

namespace {

// The kinds whose replies the program reads. The others (set-target
// acknowledgements, the raw terminal, the sidereal time of a tab change) are
// awaited only briefly, so that the next request does not meet them on the
// line, and let go quietly when they do not come: a board need not answer.
bool isReadReply(qint16 kind) {
    switch (kind) {
    case ReplyKind::Version:
    case ReplyKind::RightAscension:
    case ReplyKind::Declination:
    case ReplyKind::SettingsDump:
    case ReplyKind::PecState:
    case ReplyKind::PecTable:
    case ReplyKind::ControllerTarget:
    case ReplyKind::Position:
    case ReplyKind::Position2:
        return true;
    default:
        return false;
    }
}

constexpr int kQueryPauseMs = 100; // after getPos2

} // namespace

namespace {
int lineTimeMs(int charactersSent, int charactersAwaited) {
    const int characters = qMax(0, charactersSent) + qMax(0, charactersAwaited);
    return (characters * 1000 + 959) / 960;
}
} // namespace

int Channel::replyTimeoutMs(int charactersSent, int charactersAwaited) {
    return kReplyMarginMs + lineTimeMs(charactersSent, charactersAwaited);
}

int Channel::letGoTimeoutMs(int charactersSent, int charactersAwaited) {
    return kLetGoMarginMs + lineTimeMs(charactersSent, charactersAwaited);
}

Channel::Channel(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_runner(*this, clock, this) {}

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

void Channel::expect(ReplyFormat format, qint16 kind, int count) {
    if (m_awaiting)
        endRequest(false); // superseded: its reply is flushed by the next send
    m_format = format;
    m_kind = kind;
    setAwaitedCount(count);
    m_requestArmed = kind != ReplyKind::None && count > 0;
    // A new request is read, whatever a manual command left behind.
    m_detectFormat = false;
    m_dispatchArmed = true;
}

void Channel::expectTerminalReply() {
    if (m_awaiting)
        endRequest(false);
    m_requestArmed = true;
    m_detectFormat = true;
    m_dispatchArmed = false;
    m_kind = ReplyKind::RawTerminal;
    setAwaitedCount(1);
}

void Channel::send(const QString& command) {
    if (!isOpen())
        return;
    const bool collecting = m_kind == ReplyKind::PecTable;
    if (!collecting)
        flushInput();
    m_port->write(command.toLatin1());
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
    const int wait = isReadReply(m_kind) ? replyTimeoutMs(charactersSent, awaitedCount())
                                         : letGoTimeoutMs(charactersSent, awaitedCount());
    m_deadline = m_clock.schedule(
        wait, this, [this] { onDeadline(); }, Clock::Wait::Deadline);
}

void Channel::endRequest(bool answered) {
    m_clock.cancel(m_deadline);
    m_deadline = 0;
    m_awaiting = false;
    emit requestEnded(answered);
    if (!isLineBusy())
        emit lineFree();
}

void Channel::onDeadline() {
    m_deadline = 0;
    if (!m_awaiting)
        return;
    if (!isReadReply(m_kind)) {
        // No answer to a command that need not have one. A manual command's
        // reception ends here too: the next reply is read again.
        m_detectFormat = false;
        m_dispatchArmed = true;
        endRequest(false);
        return;
    }
    const qint16 kind = m_kind;
    const int awaited = awaitedCount();
    const int arrived = m_port ? m_port->waitingCount() : 0;
    // Nothing is awaited any more: what was there is thrown away, and what
    // comes late is held back from the next request until it is in.
    m_kind = ReplyKind::None;
    m_format = ReplyFormat::Text;
    setAwaitedCount(0);
    flushInput();
    m_lastTimedOut = true;
    if (isOpen() && awaited > arrived) {
        m_lateCharacters = awaited - arrived;
        m_quarantineEnd = m_clock.schedule(
            replyTimeoutMs(m_requestCharacters, awaited), this, [this] { endQuarantine(); },
            Clock::Wait::Deadline);
    }
    endRequest(false);
    emit timedOut(kind);
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

void Channel::getVer() {
    expect(ReplyFormat::Text, ReplyKind::Version, 10);
    send(QLatin1String(Cmd::GetVersion));
}

void Channel::getPos() {
    expect(ReplyFormat::Text, ReplyKind::Position, 15);
    send(QLatin1String(Cmd::GetPosition));
}

void Channel::getPos2() {
    run(Sequence(QStringLiteral("position query"))
            .then([this] { expect(ReplyFormat::Text, ReplyKind::Position2, 15); })
            .send(QLatin1String(Cmd::GetPosition))
            .pause(kQueryPauseMs));
}

void Channel::getRA() {
    expect(ReplyFormat::Text, ReplyKind::RightAscension, 8);
    send(QLatin1String(Cmd::GetRA));
}

void Channel::getDEC() {
    expect(ReplyFormat::Text, ReplyKind::Declination, 7);
    send(QLatin1String(Cmd::GetDEC));
}

void Channel::getSettings(bool splitSettingsDump) {
    if (splitSettingsDump) {
        expect(ReplyFormat::Hex, ReplyKind::SettingsDump, 18);
        send(QLatin1String(Cmd::GetSplitSettings));
    } else {
        expect(ReplyFormat::Hex, ReplyKind::SettingsDump, 16);
        send(QLatin1String(Cmd::GetSettings));
    }
}

void Channel::getPECState() {
    expect(ReplyFormat::Hex, ReplyKind::PecState, 10);
    send(QLatin1String(Cmd::GetPecState));
}

QString Channel::hexText(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        out += QStringLiteral("%1 ").arg(static_cast<uchar>(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

void Channel::onCommEvent(int kind) {
    if (kind == SerialPort::Lost) {
        // Whatever was awaited ends with the port (the runner learns it from lost()).
        m_settling = false;
        m_awaiting = false;
        m_clock.cancel(m_deadline);
        m_deadline = 0;
        m_lateCharacters = 0;
        m_clock.cancel(m_quarantineEnd);
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
    QByteArray buffer = m_port->readAll();
    while (m_port->isOpen() && m_port->waitingCount() > 0)
        buffer += m_port->readAll();
    if (buffer.isEmpty())
        return;
    if (m_detectFormat) {
        const uchar first = static_cast<uchar>(buffer.at(0));
        m_format = (first < 32 || first > 127) ? ReplyFormat::Hex : ReplyFormat::Text;
    }
    const QString text =
        m_format == ReplyFormat::Hex ? hexText(buffer) : QString::fromLatin1(buffer);
    flushInput();
    m_detectFormat = false;
    const bool answered = m_awaiting;
    if (answered) {
        m_clock.cancel(m_deadline);
        m_deadline = 0;
        m_awaiting = false;
        m_lastTimedOut = false;
    }
    emit received(text);
    if (m_dispatchArmed)
        m_dispatcher.dispatch(m_kind, text);
    m_dispatchArmed = true;
    emit receptionHandled();
    if (answered) {
        emit requestEnded(true);
        if (!isLineBusy())
            emit lineFree();
    }
}

} // namespace corvane
