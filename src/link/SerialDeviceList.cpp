#include "link/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// A sysfs attribute's first line; empty when it cannot be read.
QString attribute(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine(256)).trimmed();
}

bool listedWithoutDevice(const QString& name) {
    return name.startsWith(QLatin1String("rfcomm")) || name.startsWith(QLatin1String("tnt")) ||
           name.startsWith(QLatin1String("ttyGS"));
}

// A USB serial number as udev's ID_SERIAL_SHORT has it: blanks at the ends
// dropped, each run of blanks inside one '_', and every other character
// outside letters, digits and #+-.:=@_ a '_' (characters beyond ASCII kept).
QString udevSerial(const QString& raw) {
    const QStringList words = raw.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString serial = words.join(QLatin1Char('_'));
    for (QChar& c : serial) {
        const ushort u = c.unicode();
        const bool plain = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                           (u >= 'a' && u <= 'z') || u >= 0x80 ||
                           QStringLiteral("#+-.:=@_").contains(c);
        if (!plain)
            c = QLatin1Char('_');
    }
    return serial;
}

// "usb:VVVV:PPPP:SERIAL" from the nearest USB device above the terminal's
// device in the sysfs tree; empty when there is none or it has no serial.
QString usbIdentity(const QString& deviceLink) {
    QDir dir(QFileInfo(deviceLink).canonicalFilePath());
    for (int up = 0; up < 8 && !dir.isRoot() && !dir.path().isEmpty(); ++up) {
        const QString vendor = attribute(dir.filePath(QStringLiteral("idVendor")));
        const QString product = attribute(dir.filePath(QStringLiteral("idProduct")));
        if (!vendor.isEmpty() && !product.isEmpty()) {
            const QString serial = udevSerial(attribute(dir.filePath(QStringLiteral("serial"))));
            bool vendorRead = false;
            bool productRead = false;
            const int v = vendor.toInt(&vendorRead, 16);
            const int p = product.toInt(&productRead, 16);
            if (serial.isEmpty() || !vendorRead || !productRead)
                return QString();
            return QStringLiteral("usb:%1:%2:%3")
                .arg(v, 4, 16, QLatin1Char('0'))
                .arg(p, 4, 16, QLatin1Char('0'))
                .arg(serial);
        }
        if (!dir.cdUp())
            break;
    }
    return QString();
}

} // namespace

QVector<SerialDevice> listSerialDevices(const DeviceFolders& folders) {
    const QMap<QString, QString> byId = linksByTarget(folders.byId);
    const QMap<QString, QString> byPath = linksByTarget(folders.byPath);
    QVector<SerialDevice> devices;
    const QDir ttys(folders.ttyClass);
    for (const QString& name :
         ttys.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString entry = ttys.filePath(name);
        const QString deviceLink = entry + QStringLiteral("/device");
        if (!QFileInfo::exists(deviceLink) && !listedWithoutDevice(name))
            continue;
        if (attribute(entry + QStringLiteral("/type")) == QLatin1String("0"))
            continue;
        const QString location = QDir(folders.dev).filePath(name);
        const QString canonical = QFileInfo(location).canonicalFilePath();
        if (canonical.isEmpty())
            continue;
        QString identity;
        if (byId.contains(canonical))
            identity = QStringLiteral("by-id:") + byId.value(canonical);
        else if (const QString usb = usbIdentity(deviceLink); !usb.isEmpty())
            identity = usb;
        else if (byPath.contains(canonical))
            identity = QStringLiteral("by-path:") + byPath.value(canonical);
        else
            identity = location;
        devices.append({location, identity});
    }
    return devices;
}

} // namespace corvane
