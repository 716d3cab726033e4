#include "link/Channel.h"

#include "link/SerialPort.h"

namespace corvane {

namespace {
constexpr int kSettleMs = 20;
}

Channel::Channel(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

void Channel::setPort(SerialPort* port) {
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    m_port = port;
    if (m_port)
        connect(m_port, &SerialPort::commEvent, this, &Channel::onCommEvent);
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

void Channel::expect(int hex, qint16 kind, int count) {
    hexReply = hex;
    awaitedKind = kind;
    setAwaitedCount(count);
}

void Channel::send(const QString& command) {
    if (!isOpen())
        return;
    if (awaitedKind != ReplyKind::PecTable)
        flushInput();
    m_port->write(command.toLatin1());
}

void Channel::flushInput() {
    if (!isOpen())
        return;
    while (m_port->waitingCount() >= 1)
        m_port->readAll();
}

void Channel::getVer() {
    expect(0, ReplyKind::Version, 10);
    send(QLatin1String(Cmd::GetVersion));
}

void Channel::getPos() {
    expect(0, ReplyKind::Position, 15);
    send(QLatin1String(Cmd::GetPosition));
}

void Channel::getPos2() {
    expect(0, ReplyKind::Position2, 15);
    send(QLatin1String(Cmd::GetPosition));
    m_clock.pause(100);
}

void Channel::getRA() {
    expect(0, ReplyKind::RightAscension, 8);
    send(QLatin1String(Cmd::GetRA));
}

void Channel::getDEC() {
    expect(0, ReplyKind::Declination, 7);
    send(QLatin1String(Cmd::GetDEC));
}

void Channel::getSettings(bool splitSettingsDump) {
    if (splitSettingsDump) {
        expect(1, ReplyKind::SettingsDump, 18);
        send(QLatin1String(Cmd::GetSplitSettings));
    } else {
        expect(1, ReplyKind::SettingsDump, 16);
        send(QLatin1String(Cmd::GetSettings));
    }
}

void Channel::getPECState() {
    expect(1, ReplyKind::PecState, 10);
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
        emit lost();
        return;
    }
    if (kind == SerialPort::Received)
        handleReception();
}

void Channel::handleReception() {
    if (!isOpen())
        return;
    // Let the rest of the reply arrive, then drain the port.
    m_clock.pause(kSettleMs);
    QByteArray buffer = m_port->readAll();
    while (m_port->isOpen() && m_port->waitingCount() > 0)
        buffer += m_port->readAll();
    if (detectBinary && !buffer.isEmpty()) {
        const uchar first = static_cast<uchar>(buffer.at(0));
        hexReply = (first < 32 || first > 127) ? 1 : 0;
    }
    const QString text = hexReply == 1 ? hexText(buffer) : QString::fromLatin1(buffer);
    flushInput();
    detectBinary = false;
    emit received(text);
}

} // namespace corvane
