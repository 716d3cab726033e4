#include "link/NetworkAddress.h"

#include <QHostAddress>

namespace corvane {

namespace {

const QLatin1String kScheme("tcp://");
constexpr int kMaxHostLength = 253; // the longest name DNS carries

bool fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

// Labels of letters and digits (a name in another script is looked up in its
// ASCII form), hyphens and underscores, between single dots: nothing that
// could mean something else to a resolver or a log (blanks, slashes, '@',
// '%', control bytes), and no empty label.
bool isHostName(const QString& host) {
    if (host.size() > kMaxHostLength)
        return false;
    // A fully qualified name may end in a dot.
    const QString name = host.endsWith(QLatin1Char('.')) ? host.chopped(1) : host;
    for (const QString& label : name.split(QLatin1Char('.'))) {
        if (label.isEmpty() || label.startsWith(QLatin1Char('-')) ||
            label.endsWith(QLatin1Char('-')))
            return false;
        for (const QChar c : label) {
            if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
                return false;
        }
    }
    return true;
}

// Digits and dots only: meant as an IPv4 address, never looked up as a name.
bool looksNumeric(const QString& host) {
    for (const QChar c : host) {
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

// Four decimal numbers 0..255, as in 192.168.1.40. The shorter forms the C
// library also takes ("1.2.3" for 1.2.0.3, "1" for 0.0.0.1) and leading
// zeros (octal to some readers) are refused: they are typing errors far more
// often than meant.
bool isDottedQuad(const QString& host) {
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3 ||
            (part.size() > 1 && part.startsWith(QLatin1Char('0'))) || part.toInt() > 255)
            return false;
    }
    return true;
}

bool readPort(const QString& text, quint16* port) {
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text) {
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return false;
    }
    const int n = text.toInt();
    if (n < 1 || n > 65535)
        return false;
    *port = static_cast<quint16>(n);
    return true;
}

// Splits "HOST:PORT" or "[IPV6]:PORT".
bool splitHostAndPort(const QString& rest, QString* host, QString* portText, QString* why) {
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(why, QStringLiteral("the IPv6 address has no closing bracket"));
        *host = rest.mid(1, close - 1);
        if (rest.mid(close + 1, 1) != QLatin1String(":"))
            return fail(why, QStringLiteral("no port: write tcp://HOST:PORT"));
        *portText = rest.mid(close + 2);
        QHostAddress address;
        if (host->isEmpty())
            return fail(why, QStringLiteral("no host: write tcp://HOST:PORT"));
        if (!address.setAddress(*host) || address.protocol() != QAbstractSocket::IPv6Protocol)
            return fail(why, QStringLiteral("\"%1\" is not an IPv6 address").arg(*host));
        return true;
    }
    const int colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return fail(why, QStringLiteral("no port: write tcp://HOST:PORT"));
    *host = rest.left(colon);
    *portText = rest.mid(colon + 1);
    if (host->contains(QLatin1Char(':')))
        return fail(why, QStringLiteral("an IPv6 address is written in brackets, as in "
                                        "tcp://[::1]:4001"));
    if (host->isEmpty())
        return fail(why, QStringLiteral("no host: write tcp://HOST:PORT"));
    if (looksNumeric(*host)) {
        if (!isDottedQuad(*host))
            return fail(why, QStringLiteral("\"%1\" is not an IPv4 address").arg(*host));
    } else if (!isHostName(*host)) {
        return fail(why, QStringLiteral("\"%1\" is not a host name").arg(*host));
    }
    return true;
}

} // namespace

bool isNetworkAddress(const QString& text) {
    return text.trimmed().startsWith(kScheme, Qt::CaseInsensitive);
}

bool parseNetworkAddress(const QString& text, QString* host, quint16* port, QString* why) {
    QString rest = text.trimmed();
    if (rest.startsWith(kScheme, Qt::CaseInsensitive))
        rest = rest.mid(kScheme.size());
    else if (rest.contains(QLatin1String("://")))
        return fail(why, QStringLiteral("only raw TCP addresses (tcp://HOST:PORT) are supported"));
    if (rest.isEmpty())
        return fail(why, QStringLiteral("no address: write tcp://HOST:PORT"));
    QString h;
    QString portText;
    if (!splitHostAndPort(rest, &h, &portText, why))
        return false;
    quint16 p = 0;
    if (!readPort(portText, &p))
        return fail(why, QStringLiteral("the port must be a number from 1 to 65535"));
    if (host)
        *host = h;
    if (port)
        *port = p;
    return true;
}

QString networkAddressText(const QString& host, quint16 port) {
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return kScheme + shownHost + QLatin1Char(':') + QString::number(port);
}

QString normalNetworkAddress(const QString& text) {
    QString host;
    quint16 port = 0;
    if (!parseNetworkAddress(text, &host, &port, nullptr))
        return QString();
    return networkAddressText(host, port);
}

} // namespace corvane
