#include "link/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
// device in the sysfs tree; empty when there is none or it has no serial
// (`isUsb` tells which).
QString usbIdentity(const QString& deviceLink, bool* isUsb) {
    *isUsb = false;
    QDir dir(QFileInfo(deviceLink).canonicalFilePath());
    for (int up = 0; up < 8 && !dir.isRoot() && !dir.path().isEmpty(); ++up) {
        const QString vendor = attribute(dir.filePath(QStringLiteral("idVendor")));
        const QString product = attribute(dir.filePath(QStringLiteral("idProduct")));
        if (!vendor.isEmpty() && !product.isEmpty()) {
            *isUsb = true;
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
        bool isUsb = false;
        const QString usb = usbIdentity(deviceLink, &isUsb);
        const bool modelOnly = isUsb && usb.isEmpty(); // no serial number
        QString identity;
        if (byId.contains(canonical) && !modelOnly)
            identity = QStringLiteral("by-id:") + byId.value(canonical);
        else if (!usb.isEmpty())
            identity = usb;
        else if (byPath.contains(canonical))
            identity = QStringLiteral("by-path:") + byPath.value(canonical);
        else
            identity = location;
        devices.append({location, identity});
    }
    return devices;
}

QString deviceIdentityAt(const QString& path, const QVector<SerialDevice>& devices) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return QString();
    for (const SerialDevice& d : devices) {
        if (d.identity != d.location && QFileInfo(d.location).canonicalFilePath() == canonical)
            return d.identity;
    }
#ifdef Q_OS_UNIX
    struct stat node {};
    if (::stat(QFile::encodeName(canonical).constData(), &node) == 0 && S_ISCHR(node.st_mode)) {
#ifdef Q_OS_LINUX
        const qint64 made[2] = {qint64(node.st_ctim.tv_sec), qint64(node.st_ctim.tv_nsec)};
#else
        const qint64 made[2] = {qint64(node.st_ctime), 0};
#endif
        return QStringLiteral("%1 (device %2, made %3.%4)")
            .arg(canonical)
            .arg(quint64(node.st_rdev))
            .arg(made[0])
            .arg(made[1], 9, 10, QLatin1Char('0'));
    }
#endif
    return canonical;
}

} // namespace corvane
