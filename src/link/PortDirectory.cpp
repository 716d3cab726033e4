#include "link/PortDirectory.h"

#include <QSerialPortInfo>

namespace corvane {

PortDirectory PortDirectory::fromSystem() {
    return fromSystemDevices(systemDevices());
}

QStringList PortDirectory::systemDevices() {
    QStringList devices;
#ifndef Q_OS_WIN
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
#endif
    return devices;
}

PortDirectory PortDirectory::fromSystemDevices(const QStringList& devices) {
#ifdef Q_OS_WIN
    return fromDevices(devices, true);
#else
    return fromDevices(devices, false);
#endif
}

PortDirectory PortDirectory::fromDevices(QStringList devices, bool windowsNaming) {
    PortDirectory dir;
    dir.m_windowsNaming = windowsNaming;
    devices.sort();
    int n = kFirstPort;
    for (const QString& d : devices) {
        if (n > kLastPort)
            break;
        dir.m_devices.insert(n++, d);
    }
    return dir;
}

void PortDirectory::bind(int number, const QString& device) {
    m_devices.insert(number, device);
}

QString PortDirectory::device(int number) const {
    if (m_devices.contains(number))
        return m_devices.value(number);
    if (m_windowsNaming)
        return QStringLiteral("COM%1").arg(number);
    return QString();
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
