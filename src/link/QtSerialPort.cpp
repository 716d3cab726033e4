#include "link/QtSerialPort.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace corvane {

QtSerialPort::QtSerialPort(PortDirectory directory, QObject* parent)
    : QtSerialPort(std::function<PortDirectory()>(), parent) {
    m_directory = std::move(directory);
}

QtSerialPort::QtSerialPort(std::function<PortDirectory()> directory, QObject* parent)
    : SerialPort(parent), m_pendingDirectory(std::move(directory)) {
    connect(&m_port, &QSerialPort::readyRead, this, [this] { checkThreshold(); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    m_lineWatch.setInterval(250);
    connect(&m_lineWatch, &QTimer::timeout, this, &QtSerialPort::checkLine);
}

const PortDirectory& QtSerialPort::directory() const {
    if (m_pendingDirectory) {
        m_directory = m_pendingDirectory();
        m_pendingDirectory = nullptr;
    }
    return m_directory;
}

QtSerialPort::~QtSerialPort() {
    m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

bool QtSerialPort::open(QString* error) {
    const QString device = directory().device(portNumber());
    if (device.isEmpty()) {
        if (error)
            *error = QStringLiteral("No serial device is bound to this port number.");
        return false;
    }
    if (m_port.isOpen())
        m_port.close();
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        if (error)
            *error = m_port.errorString();
        m_port.clearError();
        return false;
    }
    m_port.clear(QSerialPort::AllDirections);
    m_lineWatch.start();
    return true;
}

void QtSerialPort::close() {
    m_lineWatch.stop();
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::pullPending() {
    // Characters that arrived while the thread was blocked in a pause are
    // still in the operating system; fetch them without waiting.
    if (m_pulling || !m_port.isOpen())
        return;
    m_pulling = true;
    m_port.waitForReadyRead(0);
    m_pulling = false;
    checkLine();
}

int QtSerialPort::waitingCount() {
    pullPending();
    return m_port.isOpen() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

QByteArray QtSerialPort::readAll() {
    pullPending();
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port.isOpen())
        return;
    m_port.write(bytes);
    // QSerialPort writes only from the event loop; put the command on the
    // line now so a blocking pause after it really separates it from the next.
    while (m_port.isOpen() && m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(1000))
            break;
    }
}

QString QtSerialPort::settingsText() const {
    return QStringLiteral("9600,n,8,1");
}

QString QtSerialPort::deviceName(int n) const {
    return directory().device(n);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ResourceError && m_port.isOpen())
        loseLine();
}

bool QtSerialPort::lineHungUp() const {
#ifdef Q_OS_UNIX
    if (!m_port.isOpen())
        return false;
    pollfd p{static_cast<int>(m_port.handle()), POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}

void QtSerialPort::checkLine() {
    if (lineHungUp())
        loseLine();
}

void QtSerialPort::loseLine() {
    close();
    reportLost();
}

} // namespace corvane
