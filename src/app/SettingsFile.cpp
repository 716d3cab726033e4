#include "app/SettingsFile.h"

#include "common/FileSafety.h"
#include "common/NumberText.h"
#include "link/NetworkAddress.h"

#include <QFile>
#include <QList>
#include <cmath>

namespace corvane {

namespace {

const QLatin1String kComPort("Com Port=");
const QLatin1String kTop("Main Top=");
const QLatin1String kLeft("Main Left=");
const QLatin1String kPin7("Pin 7 Label=");
const QLatin1String kPin14("Pin 14 Label=");
const QLatin1String kPortPrefix("Port ");
const QLatin1String kDeviceKey(" Device=");
const QLatin1String kNetworkKey(" Network=");

// Labels written by the program are UTF-8; a file edited elsewhere in an
// 8-bit code page still reads, byte for character.
QString decodeLine(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter))
        return QString::fromLatin1(bytes);
    return text;
}

std::optional<int> portNumberFrom(const QString& rest) {
    const double v = leadingNumber(rest);
    // Compare before rounding, so that no huge value is turned into an integer.
    if (!(v >= 0.5 && v <= 16.5))
        return std::nullopt;
    const qint64 n = roundHalfEven(v);
    if (n < 1 || n > 16)
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<double> positionFrom(const QString& rest) {
    const double v = leadingNumber(rest);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

// "Port 3 Device=usb:0403:6001:A1" gives 3 and the identity; "Port 2
// Network=tcp://10.0.0.4:4001" gives 2 and the address, when it parses. A
// device identity is never an address: such a Device value is not ours.
void readPortDevice(const QString& line, QMap<int, QString>& devices) {
    if (!line.startsWith(kPortPrefix))
        return;
    int key = line.indexOf(kDeviceKey);
    const bool network = key < 0;
    if (network)
        key = line.indexOf(kNetworkKey);
    bool ok = false;
    const int n = key > 0 ? line.mid(kPortPrefix.size(), key - kPortPrefix.size()).toInt(&ok) : 0;
    const QString value =
        key > 0 ? line.mid(key + (network ? kNetworkKey : kDeviceKey).size()) : QString();
    const QString identity = network                   ? normalNetworkAddress(value)
                             : isNetworkAddress(value) ? QString()
                                                       : value;
    if (ok && n >= 1 && n <= 16 && !identity.isEmpty())
        devices.insert(n, identity);
}

// A label is one line of the file: line breaks inside it would start new keys.
QString oneLine(QString label) {
    label.replace(QLatin1Char('\r'), QLatin1Char(' '));
    label.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return label;
}

} // namespace

QStringList optionKeys() {
    return {QStringLiteral("Share LX200"),
            QStringLiteral("Share LX200 Address"),
            QStringLiteral("Share LX200 Port"),
            QStringLiteral("Share Stellarium"),
            QStringLiteral("Share Stellarium Address"),
            QStringLiteral("Share Stellarium Port"),
            QStringLiteral("Share Alpaca"),
            QStringLiteral("Share Alpaca Address"),
            QStringLiteral("Share Alpaca Port"),
            QStringLiteral("Share Clients"),
            QStringLiteral("Site Latitude"),
            QStringLiteral("Site Longitude"),
            QStringLiteral("Site Elevation"),
            QStringLiteral("Synced JNow"),
            QStringLiteral("Alpaca Telescope ID"),
            QStringLiteral("Alpaca Focuser ID"),
            QStringLiteral("Reconnect Automatically"),
            QStringLiteral("Line Silence Seconds")};
}

namespace {
void readOption(const QString& line, QMap<QString, QString>& options) {
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals > 0 && optionKeys().contains(line.left(equals)))
        options.insert(line.left(equals), line.mid(equals + 1));
}
} // namespace

QString settingsFileName() {
    return QStringLiteral("Corvane Control Plus.ini");
}

WindowSettings parseWindowSettings(const QByteArray& content) {
    WindowSettings s;
    const QList<QByteArray> lines = content.split('\n');
    for (QByteArray bytes : lines) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = decodeLine(bytes);
        if (line.startsWith(kComPort)) {
            if (const auto n = portNumberFrom(line.mid(kComPort.size())))
                s.comPort = n;
        }
        if (line.startsWith(kTop))
            s.top = positionFrom(line.mid(kTop.size()));
        if (line.startsWith(kLeft))
            s.left = positionFrom(line.mid(kLeft.size()));
        if (line.startsWith(kPin7))
            s.pin7Label = line.mid(kPin7.size());
        if (line.startsWith(kPin14))
            s.pin14Label = line.mid(kPin14.size());
        readPortDevice(line, s.portDevices);
        readOption(line, s.options);
    }
    return s;
}

WindowSettings readWindowSettings(const QString& path, QString* why) {
    if (!isRegularFileOrAbsent(path, why))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A settings file is a few lines; anything far larger is not ours.
    constexpr qint64 kMaxBytes = 64 * 1024;
    return parseWindowSettings(file.read(kMaxBytes));
}

QByteArray windowSettingsText(int comPort, double top, double left, const QString& pin7Label,
                              const QString& pin14Label, const QMap<int, QString>& portDevices,
                              const QMap<QString, QString>& options) {
    const QString lines[7] = {
        QStringLiteral("[Main]"),
        QString(),
        kComPort + signedNumberForm(comPort),
        kTop + signedNumberForm(top),
        kLeft + signedNumberForm(left),
        kPin7 + oneLine(pin7Label),
        kPin14 + oneLine(pin14Label),
    };
    QByteArray out;
    for (const QString& line : lines)
        out += line.toUtf8() + "\r\n";
    for (auto it = portDevices.cbegin(); it != portDevices.cend(); ++it) {
        const QLatin1String key = isNetworkAddress(*it) ? kNetworkKey : kDeviceKey;
        out +=
            (kPortPrefix + QString::number(it.key()) + key + oneLine(it.value())).toUtf8() + "\r\n";
    }
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        out += (it.key() + QLatin1Char('=') + oneLine(it.value())).toUtf8() + "\r\n";
    return out;
}

bool writeWindowSettings(const QString& path, const QByteArray& content, QString* why) {
    return replaceFile(path, content, why) == Replaced::Yes;
}

double pixelsToTwips(int pixels, double logicalDpi) {
    if (!(logicalDpi > 0))
        logicalDpi = 96.0;
    return std::round(pixels * 1440.0 / logicalDpi);
}

int twipsToPixels(double twips, double logicalDpi) {
    if (!(logicalDpi > 0))
        logicalDpi = 96.0;
    const double px = std::round(twips * logicalDpi / 1440.0);
    constexpr double kLimit = 1 << 24; // far off any screen, still a safe int
    if (!std::isfinite(px))
        return 0;
    return static_cast<int>(std::fmax(-kLimit, std::fmin(kLimit, px)));
}

} // namespace corvane
