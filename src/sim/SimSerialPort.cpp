#include "sim/SimSerialPort.h"

#include "common/Clock.h"

#include <QDateTime>

#include <algorithm>

namespace corvane::sim {

namespace {
// How often the characters of a long reply are handed over while it arrives.
constexpr qint64 kPieceUs = 30000;
} // namespace

SimSerialPort::SimSerialPort(Clock& clock, const SimOptions& options, QObject* parent)
    : SerialPort(parent), m_clock(clock),
      m_line(options, QDateTime::currentMSecsSinceEpoch() - clock.nowMs()) {
    m_timer.setSingleShot(true);
    m_timer.setObjectName(QStringLiteral("simLineTimer"));
    connect(&m_timer, &QTimer::timeout, this, &SimSerialPort::pump);
    if (!options.logFile.isEmpty() && m_log.open(options.logFile, &m_setupError)) {
        m_line.setLog([this](qint64 us, char direction, const QByteArray& bytes) {
            m_log.write(us, direction, bytes);
        });
    }
}

SimSerialPort* SimSerialPort::create(Clock& clock, const QStringList& arguments, QString* error) {
    SimOptions options;
    QString why;
    if (!parseSimOptions(arguments, &options, &why)) {
        if (error)
            *error = QStringLiteral("Simulated board: ") + why;
        return nullptr;
    }
    auto* port = new SimSerialPort(clock, options);
    if (!port->setupError().isEmpty()) {
        if (error)
            *error = port->setupError();
        delete port;
        return nullptr;
    }
    return port;
}

bool SimSerialPort::open(QString* error) {
    QString why;
    if (portNumber() != kBoardPort && !m_silentPorts.contains(portNumber()))
        why = QStringLiteral("No simulated board on this port.");
    else if (m_unplugged)
        why = QStringLiteral("The simulated adapter has been unplugged.");
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    // A freshly opened port starts with empty buffers.
    m_open = true;
    m_input.clear();
    m_line.discardPending();
    return true;
}

void SimSerialPort::close() {
    m_open = false;
    m_input.clear();
    m_line.discardPending();
    m_timer.stop();
}

int SimSerialPort::waitingCount() {
    collectDue();
    return static_cast<int>(m_input.size());
}

QByteArray SimSerialPort::readAll() {
    collectDue();
    QByteArray out = m_input;
    m_input.clear();
    return out;
}

void SimSerialPort::write(const QByteArray& bytes) {
    if (!m_open || portNumber() != kBoardPort)
        return;
    m_line.hostWrite(bytes, nowUs());
    collectDue();
    checkThreshold();
    arm();
}

QString SimSerialPort::deviceName(int n) const {
    return n == kBoardPort ? QStringLiteral("Simulated Corvane board") : QString();
}

void SimSerialPort::pump() {
    if (!m_open)
        return;
    const qint64 vanishAt = m_line.vanishAtUs();
    if (vanishAt >= 0 && nowUs() >= vanishAt) {
        collectDue();
        unplug();
        return;
    }
    collectDue();
    checkThreshold();
    arm();
}

void SimSerialPort::unplug() {
    const bool wasOpen = m_open;
    m_unplugged = true;
    m_line.clearVanish();
    close();
    if (wasOpen)
        reportLost();
}

qint64 SimSerialPort::nowUs() const {
    return m_clock.nowMs() * 1000;
}

void SimSerialPort::collectDue() {
    if (m_open)
        m_input += m_line.takeDue(nowUs());
}

void SimSerialPort::arm() {
    // Wake when the awaited count will be in (or, failing that, when the last
    // byte on its way is), or when the adapter is due to vanish.
    const int pending = m_line.pendingCount();
    const int need = threshold() - static_cast<int>(m_input.size());
    qint64 wake = -1;
    if (pending > 0) {
        wake = m_line.dueTimeOf(need >= 1 && need <= pending ? need : pending);
        // A long reply comes in piece by piece, as a real line delivers it.
        wake = std::min(wake, m_line.dueTimeOf(1) + kPieceUs);
    }
    const qint64 vanishAt = m_line.vanishAtUs();
    if (vanishAt >= 0 && (wake < 0 || vanishAt < wake))
        wake = vanishAt;
    if (wake < 0) {
        m_timer.stop();
        return;
    }
    const qint64 waitUs = wake - nowUs();
    m_timer.start(waitUs <= 0 ? 0 : static_cast<int>((waitUs + 999) / 1000));
}

} // namespace corvane::sim
