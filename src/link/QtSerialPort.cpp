#include "link/QtSerialPort.h"

#include "link/NetworkAddress.h"
#include "link/SerialDeviceList.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace corvane {

namespace {

// Why a device could not be opened. A device node this user may not read
// and write (Qt's permission error also covers a device another program
// holds) gets what to do about it on Linux, where serial ports belong to a
// group the user must join.
QString openFailure(const QSerialPort& port, const QString& device) {
    QString why = port.errorString();
#ifdef Q_OS_UNIX
    if (port.error() == QSerialPort::PermissionError &&
        ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        const passwd* user = ::getpwuid(::getuid());
        const QString name = user ? QString::fromLocal8Bit(user->pw_name) : QStringLiteral("USER");
        why += QStringLiteral(": your user is not in the group allowed to use serial ports: "
                              "sudo usermod -aG dialout %1, then log in again")
                   .arg(name);
    }
#else
    Q_UNUSED(device)
#endif
    return why;
}

} // namespace

QtSerialPort::QtSerialPort(PortDirectory directory, QObject* parent)
    : QtSerialPort(DirectoryBuilder(), parent) {
    m_directory = std::move(directory);
}

QtSerialPort::QtSerialPort(DirectoryBuilder directory, QObject* parent)
    : SerialPort(parent), m_pendingDirectory(std::move(directory)) {
    connect(&m_port, &QSerialPort::readyRead, this, [this] { checkThreshold(); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    connect(&m_network, &NetworkLine::readyRead, this, [this] { checkThreshold(); });
    connect(&m_network, &NetworkLine::lost, this, &QtSerialPort::reportLost);
    connect(&m_network, &NetworkLine::readyToOpen, this, &SerialPort::openable);
    m_lineWatch.setInterval(250);
    connect(&m_lineWatch, &QTimer::timeout, this, &QtSerialPort::checkLine);
}

const PortDirectory& QtSerialPort::directory() const {
    if (m_pendingDirectory) {
        m_directory = m_pendingDirectory(m_remembered);
        m_pendingDirectory = nullptr;
    }
    return m_directory;
}

PortDirectory& QtSerialPort::directory() {
    std::as_const(*this).directory();
    return m_directory;
}

void QtSerialPort::rememberDevices(const QMap<int, QString>& identities) {
    m_remembered = identities;
}

QMap<int, QString> QtSerialPort::deviceIdentities() const {
    return directory().identitiesToRemember();
}

QtSerialPort::~QtSerialPort() {
    m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen() || m_network.isOpen();
}

bool QtSerialPort::open(QString* error) {
    // Called again from a timer while a bridge is being connected to: the
    // first call goes on undisturbed.
    if (m_network.isConnecting()) {
        if (error)
            *error = NetworkLine::busyText();
        return false;
    }
    const QString device = directory().device(portNumber());
    if (device.isEmpty()) {
        const QString identity = directory().identity(portNumber());
        if (error)
            *error = identity.isEmpty()
                         ? QStringLiteral("No serial device is bound to this port number.")
                         : QStringLiteral("The adapter %1 is not plugged in.").arg(identity);
        return false;
    }
    close();
    m_openDevice = device;
    return isNetworkAddress(device) ? openNetwork(device, true, error) : openSerial(device, error);
}

// A serial device opens at once; a bridge is connected to in the background.
bool QtSerialPort::openWithoutWaiting(QString* error) {
    if (isOpen())
        return true;
    const QString device = directory().device(portNumber());
    if (!isNetworkAddress(device))
        return open(error);
    m_openDevice = device;
    return openNetwork(device, false, error);
}

bool QtSerialPort::openNetwork(const QString& address, bool wait, QString* error) {
    QString host;
    quint16 port = 0;
    QString why;
    if (!parseNetworkAddress(address, &host, &port, &why)) {
        if (error)
            *error = QStringLiteral("Bad network address %1: %2").arg(address, why);
        return false;
    }
    return wait ? m_network.open(host, port, error)
                : m_network.openWithoutWaiting(host, port, error);
}

bool QtSerialPort::openSerial(const QString& device, QString* error) {
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        if (error)
            *error = openFailure(m_port, device);
        m_port.clearError();
        return false;
    }
    m_port.clear(QSerialPort::AllDirections);
    m_lineWatch.start();
    return true;
}

void QtSerialPort::close() {
    m_lineWatch.stop();
    m_network.close();
    if (!m_port.isOpen())
        return;
    // A command written just before closing (the stop at exit) is still in
    // QSerialPort's buffer until the event loop turns: hand it to the device
    // first. A few characters take a few milliseconds; the limit only guards
    // against a line that no longer takes any.
    constexpr int kLastWriteMs = 200;
    if (m_port.bytesToWrite() > 0)
        m_port.waitForBytesWritten(kLastWriteMs);
    m_port.close();
}

int QtSerialPort::waitingCount() {
    if (m_network.isOpen())
        return static_cast<int>(m_network.bytesAvailable());
    return m_port.isOpen() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

QByteArray QtSerialPort::readAll() {
    if (m_network.isOpen())
        return m_network.readAll();
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void QtSerialPort::write(const QByteArray& bytes) {
    // Queued in order; QSerialPort (or the socket) hands it on from the event loop.
    if (m_network.isOpen())
        m_network.write(bytes);
    else if (m_port.isOpen())
        m_port.write(bytes);
}

QString QtSerialPort::settingsText() const {
    const QString device = directory().device(portNumber());
    return isNetworkAddress(device) ? device : QStringLiteral("9600,n,8,1");
}

// Listing a number bound to a bridge does not connect to it: a connection
// to each bridge at every start would cost up to the time limit apiece, take
// a bridge that serves one client at a time away from whoever uses it, and
// hide a bridge that is merely switched off for now. The binding is the
// user's own choice, so the number is listed, and open() says what is wrong
// when it is chosen.
bool QtSerialPort::probe(QString* error) {
    if (isNetworkAddress(directory().device(portNumber())))
        return true;
    return SerialPort::probe(error);
}

bool QtSerialPort::bindNetwork(int n, const QString& address, QString* why) {
    if (isOpen() && n == portNumber()) {
        if (why)
            *why = QStringLiteral("Com%1 is open: disconnect it first.").arg(n);
        return false;
    }
    return directory().bindNetwork(n, address, why);
}

void QtSerialPort::undoNetworkBinding(int n) {
    directory().undoNetworkBinding(n);
}

QString QtSerialPort::lineIdentity() const {
    return directory().identity(portNumber());
}

QString QtSerialPort::presentIdentity() const {
    if (!directory().isPathBinding(portNumber()))
        return lineIdentity();
    return deviceIdentityAt(directory().device(portNumber()), m_listDevices());
}

void QtSerialPort::rescan() {
    directory().rescan(m_listDevices());
}

QString QtSerialPort::deviceName(int n) const {
    return directory().describe(n);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !m_port.isOpen())
        return;
    if (deviceGone()) {
        loseLine();
        return;
    }
    // A transient error with the device still there: carry on. After a
    // resource error QSerialPort stops watching for input; setting the read
    // buffer size starts the watch again.
    const bool watchStopped = error == QSerialPort::ResourceError;
    m_port.clearError();
    if (watchStopped)
        m_port.setReadBufferSize(m_port.readBufferSize());
}

bool QtSerialPort::deviceGone() const {
    if (!m_port.isOpen())
        return false;
#ifdef Q_OS_UNIX
    const QString& location = m_openDevice;
    if (location.startsWith(QLatin1Char('/')) && !QFileInfo::exists(location))
        return true;
    pollfd p{static_cast<int>(m_port.handle()), POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & (POLLHUP | POLLNVAL)) != 0;
#else
    return false;
#endif
}

void QtSerialPort::checkLine() {
    if (deviceGone())
        loseLine();
}

void QtSerialPort::loseLine() {
    close();
    reportLost();
}

} // namespace corvane
