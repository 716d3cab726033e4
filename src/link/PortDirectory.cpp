#include "link/PortDirectory.h"

#include "link/NetworkAddress.h"
#include "link/SerialDeviceList.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

namespace corvane {

namespace {

#ifdef Q_OS_WIN
const char* const kExamplePath = "COM3";
#else
const char* const kExamplePath = "/dev/ttyUSB0";
#endif

#if !defined(Q_OS_WIN) && !defined(Q_OS_LINUX)
QString identityOf(const QSerialPortInfo& info) {
    if (!info.serialNumber().isEmpty() && info.hasVendorIdentifier())
        return QStringLiteral("usb:%1:%2:%3")
            .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.serialNumber());
    return info.systemLocation();
}
#endif

} // namespace

QVector<SerialDevice> PortDirectory::systemDevices() {
#if defined(Q_OS_LINUX)
    return listSerialDevices();
#elif defined(Q_OS_WIN)
    return {};
#else
    QVector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.systemLocation(), identityOf(info)});
    return devices;
#endif
}

PortDirectory PortDirectory::fromSystemDevices(const QVector<SerialDevice>& devices,
                                               const Identities& remembered) {
#ifdef Q_OS_WIN
    return fromDevices(devices, remembered, true);
#else
    return fromDevices(devices, remembered, false);
#endif
}

PortDirectory PortDirectory::fromDevices(QVector<SerialDevice> devices,
                                         const Identities& remembered, bool windowsNaming) {
    PortDirectory dir;
    dir.m_windowsNaming = windowsNaming;
    // The user's network bindings hold their numbers before any device comes.
    for (auto it = remembered.cbegin(); it != remembered.cend(); ++it) {
        if (!isNetworkAddress(*it))
            dir.m_remembered.insert(it.key(), *it);
        else if (dir.bindNetwork(it.key(), *it, nullptr))
            dir.m_remembered.insert(it.key(), dir.m_lines.value(it.key()).device.identity);
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.location < b.location; });
    // Remembered adapters first, at their own numbers.
    QVector<SerialDevice> rest;
    for (const SerialDevice& d : devices) {
        const int n = dir.m_remembered.key(d.identity, 0);
        if (n >= kFirstPort && n <= kLastPort && !dir.m_lines.contains(n))
            dir.m_lines.insert(n, {d, Origin::Found});
        else
            rest.append(d);
    }
    dir.numberNewDevices(rest);
    return dir;
}

void PortDirectory::numberNewDevices(QVector<SerialDevice> devices) {
    for (const bool takeKept : {false, true}) {
        int n = kFirstPort;
        while (!devices.isEmpty()) {
            while (n <= kLastPort &&
                   (m_lines.contains(n) || (!takeKept && m_remembered.contains(n))))
                ++n;
            if (n > kLastPort)
                break;
            m_lines.insert(n, {devices.takeFirst(), Origin::Found});
        }
    }
}

// A binding is the user's choice for this run only: it is not remembered.
void PortDirectory::bind(int number, const QString& device) {
    // An address is kept in its one written form (a "host:port" path is a path).
    const QString address = isNetworkAddress(device) ? normalNetworkAddress(device) : QString();
    m_lines.insert(number, {{address.isEmpty() ? device : address, QString()}, Origin::Option});
}

bool PortDirectory::bindNetwork(int number, const QString& address, QString* why) {
    if (number < kFirstPort || number > kLastPort) {
        if (why)
            *why = QStringLiteral("Port numbers go from 1 to 16.");
        return false;
    }
    if (address.trimmed().isEmpty()) {
        m_replaced.remove(number);
        if (m_lines.contains(number) && isNetworkAddress(m_lines.value(number).device.location))
            m_lines.remove(number);
        if (isNetworkAddress(m_remembered.value(number)))
            m_remembered.remove(number);
        return true;
    }
    QString host;
    quint16 port = 0;
    if (!parseNetworkAddress(address, &host, &port, why))
        return false;
    const QString text = networkAddressText(host, port);
    m_replaced.insert(number, m_lines.contains(number) ? std::optional<Line>(m_lines.value(number))
                                                       : std::nullopt);
    m_lines.insert(number, {{text, text}, Origin::Network});
    return true;
}

void PortDirectory::undoNetworkBinding(int number) {
    if (!m_replaced.contains(number))
        return;
    const std::optional<Line> before = m_replaced.take(number);
    if (before)
        m_lines.insert(number, *before);
    else
        m_lines.remove(number);
}

QString PortDirectory::device(int number) const {
    if (m_lines.contains(number))
        return m_lines.value(number).device.location;
    if (m_windowsNaming)
        return QStringLiteral("COM%1").arg(number);
    return QString();
}

QString PortDirectory::identity(int number) const {
    if (!m_lines.contains(number))
        return device(number);
    const Line& line = m_lines.value(number);
    return line.origin == Origin::Option ? line.device.location : line.device.identity;
}

QString PortDirectory::describe(int number) const {
    if (!m_lines.contains(number))
        return device(number);
    const SerialDevice& d = m_lines.value(number).device;
    if (d.location.isEmpty())
        return d.identity + QStringLiteral(" (not plugged in)");
    if (d.identity.isEmpty() || d.identity == d.location)
        return d.location;
    return d.location + QStringLiteral(" (") + d.identity + QLatin1Char(')');
}

bool PortDirectory::holdsIdentity(const QString& identity) const {
    return std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const Line& line) {
        return line.origin == Origin::Found && line.device.identity == identity;
    });
}

PortDirectory::Identities PortDirectory::identitiesToRemember() const {
    Identities out;
    // A number the command line took for this run stays with what it had.
    for (auto it = m_remembered.cbegin(); it != m_remembered.cend(); ++it) {
        const bool free = !m_lines.contains(it.key()) && !holdsIdentity(*it);
        if (free || m_lines.value(it.key()).origin == Origin::Option)
            out.insert(it.key(), it.value());
    }
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it) {
        if (it->origin != Origin::Option && !it->device.identity.isEmpty())
            out.insert(it.key(), it->device.identity);
    }
    return out;
}

void PortDirectory::rescan(const QVector<SerialDevice>& devices) {
    const auto locationOf = [&](const QString& identity) {
        for (const SerialDevice& d : devices) {
            if (d.identity == identity)
                return d.location;
        }
        return QString();
    };
    for (Line& line : m_lines) {
        if (line.origin == Origin::Found)
            line.device.location = locationOf(line.device.identity);
    }
    for (auto it = m_remembered.cbegin(); it != m_remembered.cend(); ++it) {
        const QString location = locationOf(*it);
        if (!location.isEmpty() && !m_lines.contains(it.key()) && !holdsIdentity(*it))
            m_lines.insert(it.key(), {{location, *it}, Origin::Found});
    }
    // A device the command line bound by its path is not listed twice.
    QVector<SerialDevice> unseen;
    for (const SerialDevice& d : devices) {
        const bool bound = std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const Line& line) {
            return line.device.location == d.location;
        });
        if (!bound && !holdsIdentity(d.identity))
            unseen.append(d);
    }
    std::sort(unseen.begin(), unseen.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.location < b.location; });
    numberNewDevices(unseen);
}

bool PortDirectory::bindFromOption(const QString& option, QString* error) {
    const int eq = option.indexOf(QLatin1Char('='));
    bool ok = false;
    const int n = eq > 0 ? option.left(eq).trimmed().toInt(&ok) : 0;
    const QString device = eq > 0 ? option.mid(eq + 1).trimmed() : QString();
    if (!ok || n < kFirstPort || n > kLastPort || device.isEmpty()) {
        if (error)
            *error = QStringLiteral("--port expects N=DEVICE or N=tcp://HOST:PORT with N from 1 "
                                    "to 16, got \"%1\"")
                         .arg(option);
        return false;
    }
    // Anything with a scheme is an address (only tcp:// is taken); anything
    // else must be a device path, so that a mistyped address is never
    // opened as a file name.
    QString why;
    const bool address = device.contains(QLatin1String("://"));
    if (address && !parseNetworkAddress(device, nullptr, nullptr, &why)) {
        if (error)
            *error = QStringLiteral("--port %1: %2").arg(option, why);
        return false;
    }
    if (!address && !isDevicePath(device)) {
        if (error)
            *error = QStringLiteral("--port %1: a device is a path such as %2, a network bridge "
                                    "tcp://HOST:PORT")
                         .arg(option, QLatin1String(kExamplePath));
        return false;
    }
    bind(n, device);
    return true;
}

bool PortDirectory::isDevicePath(const QString& device) {
#ifdef Q_OS_WIN
    static const QRegularExpression com(QStringLiteral(R"(^(\\\\\.\\)?COM[1-9][0-9]*$)"),
                                        QRegularExpression::CaseInsensitiveOption);
    return com.match(device).hasMatch();
#else
    return device.startsWith(QLatin1Char('/'));
#endif
}

bool PortDirectory::isPathBinding(int number) const {
    const auto it = m_lines.constFind(number);
    return it != m_lines.cend() && it->origin == Origin::Option &&
           !isNetworkAddress(it->device.location);
}

} // namespace corvane
