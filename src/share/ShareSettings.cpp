#include "share/ShareSettings.h"

#include <QHostAddress>
#include <QUuid>

namespace corvane {

namespace {
bool isLoopback(const QString& address) {
    return address == QLatin1String("localhost") || QHostAddress(address).isLoopback();
}
} // namespace

bool ShareSettings::reachableFromOutside() const {
    return (lx200 && !isLoopback(lx200Address)) || (stellarium && !isLoopback(stellariumAddress)) ||
           (alpaca && !isLoopback(alpacaAddress));
}

QString ShareSettings::outsideAddresses() const {
    QStringList out;
    if (lx200 && !isLoopback(lx200Address))
        out << QStringLiteral("%1:%2 (LX200)").arg(lx200Address).arg(lx200Port);
    if (stellarium && !isLoopback(stellariumAddress))
        out << QStringLiteral("%1:%2 (Stellarium)").arg(stellariumAddress).arg(stellariumPort);
    if (alpaca && !isLoopback(alpacaAddress))
        out << QStringLiteral("%1:%2 (Alpaca)").arg(alpacaAddress).arg(alpacaPort);
    return out.join(QStringLiteral(", "));
}

bool isListenAddress(const QString& address) {
    return address == QLatin1String("localhost") || !QHostAddress(address).isNull();
}

// Only what differs from the defaults is written, so a file of someone who
// never shared keeps its seven lines.
QMap<QString, QString> shareOptions(const ShareSettings& s) {
    const ShareSettings d;
    QMap<QString, QString> out;
    const auto put = [&out](const char* key, const QString& value, const QString& standard) {
        if (value != standard)
            out.insert(QLatin1String(key), value);
    };
    const auto flag = [](bool on) { return QString::number(on ? 1 : 0); };
    const auto degrees = [](double v) { return QString::number(v, 'f', 4); };
    put("Share LX200", flag(s.lx200), flag(d.lx200));
    put("Share LX200 Address", s.lx200Address, d.lx200Address);
    put("Share LX200 Port", QString::number(s.lx200Port), QString::number(d.lx200Port));
    put("Share Stellarium", flag(s.stellarium), flag(d.stellarium));
    put("Share Stellarium Address", s.stellariumAddress, d.stellariumAddress);
    put("Share Stellarium Port", QString::number(s.stellariumPort),
        QString::number(d.stellariumPort));
    put("Share Alpaca", flag(s.alpaca), flag(d.alpaca));
    put("Share Alpaca Address", s.alpacaAddress, d.alpacaAddress);
    put("Share Alpaca Port", QString::number(s.alpacaPort), QString::number(d.alpacaPort));
    put("Share Clients", QString::number(s.maxClients), QString::number(d.maxClients));
    put("Site Latitude", degrees(s.site.latitude), degrees(d.site.latitude));
    put("Site Longitude", degrees(s.site.longitude), degrees(d.site.longitude));
    put("Site Elevation", QString::number(s.site.elevation, 'f', 1),
        QString::number(d.site.elevation, 'f', 1));
    put("Synced JNow", flag(s.syncedJNow), flag(d.syncedJNow));
    put("Alpaca Telescope ID", s.alpacaTelescopeId, d.alpacaTelescopeId);
    put("Alpaca Focuser ID", s.alpacaFocuserId, d.alpacaFocuserId);
    return out;
}

namespace {
void readNumber(const QMap<QString, QString>& options, const char* key, double low, double high,
                double* value) {
    bool ok = false;
    const double v = options.value(QLatin1String(key)).toDouble(&ok);
    if (ok && v >= low && v <= high)
        *value = v;
}
void readAddress(const QMap<QString, QString>& options, const char* key, QString* address) {
    const QString a = options.value(QLatin1String(key));
    if (isListenAddress(a))
        *address = a;
}
// A kept UniqueID is used only in the form it was made in (a UUID without
// braces); anything else is made anew.
QString uniqueIdFrom(const QString& text) {
    const QUuid id = QUuid::fromString(text);
    return id.isNull() ? QString() : id.toString(QUuid::WithoutBraces);
}
} // namespace

ShareSettings shareSettingsFrom(const QMap<QString, QString>& options) {
    ShareSettings s;
    s.lx200 = options.value(QStringLiteral("Share LX200")) == QLatin1String("1");
    s.stellarium = options.value(QStringLiteral("Share Stellarium")) == QLatin1String("1");
    readAddress(options, "Share LX200 Address", &s.lx200Address);
    readAddress(options, "Share Stellarium Address", &s.stellariumAddress);
    s.alpaca = options.value(QStringLiteral("Share Alpaca")) == QLatin1String("1");
    readAddress(options, "Share Alpaca Address", &s.alpacaAddress);
    double alpacaPort = s.alpacaPort;
    readNumber(options, "Share Alpaca Port", 1, 65535, &alpacaPort);
    s.alpacaPort = static_cast<quint16>(alpacaPort);
    double lx200Port = s.lx200Port, stellariumPort = s.stellariumPort, clients = s.maxClients;
    readNumber(options, "Share LX200 Port", 1, 65535, &lx200Port);
    readNumber(options, "Share Stellarium Port", 1, 65535, &stellariumPort);
    readNumber(options, "Share Clients", 1, ShareSettings::kMostClients, &clients);
    s.lx200Port = static_cast<quint16>(lx200Port);
    s.stellariumPort = static_cast<quint16>(stellariumPort);
    s.maxClients = static_cast<int>(clients);
    readNumber(options, "Site Latitude", -90, 90, &s.site.latitude);
    readNumber(options, "Site Longitude", -180, 180, &s.site.longitude);
    readNumber(options, "Site Elevation", -300, 10000, &s.site.elevation);
    s.syncedJNow = options.value(QStringLiteral("Synced JNow")) == QLatin1String("1");
    s.alpacaTelescopeId = uniqueIdFrom(options.value(QStringLiteral("Alpaca Telescope ID")));
    s.alpacaFocuserId = uniqueIdFrom(options.value(QStringLiteral("Alpaca Focuser ID")));
    return s;
}

bool parseListenAddress(const QString& text, QString* address, quint16* port, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QString() : text.left(colon);
    const QString portText = text.mid(colon + 1);
    bool ok = false;
    const uint number = portText.toUInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return fail(QStringLiteral("the port must be a number from 1 to 65535"));
    if (colon >= 0) {
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        if (!isListenAddress(host))
            return fail(QStringLiteral("\"%1\" is not an IP address of this computer").arg(host));
        *address = host;
    }
    *port = static_cast<quint16>(number);
    return true;
}

} // namespace corvane
