#include "link/PortDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace corvane {

namespace {

// Links in a folder such as /dev/serial/by-id, by the device they point to.
QMap<QString, QString> linksByTarget(const QString& folder) {
    QMap<QString, QString> links;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::System | QDir::Files);
    for (const QFileInfo& link : entries) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty())
            links.insert(target, link.fileName());
    }
    return links;
}

QString identityOf(const QSerialPortInfo& info, const QMap<QString, QString>& byId,
                   const QMap<QString, QString>& byPath) {
    const QString canonical = QFileInfo(info.systemLocation()).canonicalFilePath();
    if (byId.contains(canonical))
        return QStringLiteral("by-id:") + byId.value(canonical);
    if (!info.serialNumber().isEmpty() && info.hasVendorIdentifier())
        return QStringLiteral("usb:%1:%2:%3")
            .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.serialNumber());
    if (byPath.contains(canonical))
        return QStringLiteral("by-path:") + byPath.value(canonical);
    return info.systemLocation();
}

} // namespace

QVector<SerialDevice> PortDirectory::systemDevices() {
    QVector<SerialDevice> devices;
#ifndef Q_OS_WIN
    const QMap<QString, QString> byId = linksByTarget(QStringLiteral("/dev/serial/by-id"));
    const QMap<QString, QString> byPath = linksByTarget(QStringLiteral("/dev/serial/by-path"));
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.systemLocation(), identityOf(info, byId, byPath)});
#endif
    return devices;
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
    dir.m_remembered = remembered;
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.location < b.location; });
    // Remembered adapters first, at their own numbers.
    QVector<SerialDevice> rest;
    for (const SerialDevice& d : devices) {
        const int n = remembered.key(d.identity, 0);
        if (n >= kFirstPort && n <= kLastPort && !dir.m_devices.contains(n))
            dir.m_devices.insert(n, d);
        else
            rest.append(d);
    }
    // Then the others: first the numbers nobody claims, then, when those run
    // out, the numbers kept for absent adapters.
    for (const bool takeKept : {false, true}) {
        int n = kFirstPort;
        while (!rest.isEmpty()) {
            while (n <= kLastPort &&
                   (dir.m_devices.contains(n) || (!takeKept && remembered.contains(n))))
                ++n;
            if (n > kLastPort)
                break;
            dir.m_devices.insert(n, rest.takeFirst());
        }
    }
    return dir;
}

// A binding is the user's choice for this run only: it is not remembered.
void PortDirectory::bind(int number, const QString& device) {
    m_devices.insert(number, {device, QString()});
}

QString PortDirectory::device(int number) const {
    if (m_devices.contains(number))
        return m_devices.value(number).location;
    if (m_windowsNaming)
        return QStringLiteral("COM%1").arg(number);
    return QString();
}

QString PortDirectory::describe(int number) const {
    if (!m_devices.contains(number))
        return device(number);
    const SerialDevice& d = m_devices.value(number);
    if (d.identity.isEmpty() || d.identity == d.location)
        return d.location;
    return d.location + QStringLiteral(" (") + d.identity + QLatin1Char(')');
}

PortDirectory::Identities PortDirectory::identitiesToRemember() const {
    Identities out;
    for (auto it = m_remembered.cbegin(); it != m_remembered.cend(); ++it) {
        const bool present = std::any_of(m_devices.cbegin(), m_devices.cend(),
                                         [&](const SerialDevice& d) { return d.identity == *it; });
        if (!present && !m_devices.contains(it.key()))
            out.insert(it.key(), it.value());
    }
    for (auto it = m_devices.cbegin(); it != m_devices.cend(); ++it) {
        if (!it->identity.isEmpty())
            out.insert(it.key(), it->identity);
    }
    return out;
}

bool PortDirectory::bindFromOption(const QString& option, QString* error) {
    const int eq = option.indexOf(QLatin1Char('='));
    bool ok = false;
    const int n = eq > 0 ? option.left(eq).trimmed().toInt(&ok) : 0;
    const QString device = eq > 0 ? option.mid(eq + 1).trimmed() : QString();
    if (!ok || n < kFirstPort || n > kLastPort || device.isEmpty()) {
        if (error)
            *error = QStringLiteral("--port expects N=DEVICE with N from 1 to 16, got \"%1\"")
                         .arg(option);
        return false;
    }
    bind(n, device);
    return true;
}

} // namespace corvane
