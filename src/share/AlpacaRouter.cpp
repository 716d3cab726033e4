#include "share/AlpacaRouter.h"

#include "Version.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QUrl>

namespace corvane {

namespace {

AlpacaRoute fault(int status, const QString& reason) {
    AlpacaRoute r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.text = reason.toUtf8();
    return r;
}

QByteArray htmlEscaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QString programVersion() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

AlpacaRoute page(const QString& title, const QList<AlpacaDevice*>& devices,
                 const AlpacaServerInfo& info) {
    QByteArray html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + htmlEscaped(title) +
        "</title></head><body>\n<h1>" + htmlEscaped(title) +
        "</h1>\n<p>Corvane Control shares the mount over ASCOM Alpaca on port " +
        QByteArray::number(info.port) + ".</p>\n<p>Board: " + htmlEscaped(info.board) +
        "</p>\n<p>Site: " + htmlEscaped(info.location) + "</p>\n<p>Shared:</p>\n<ul>\n";
    for (const AlpacaDevice* d : devices)
        html += "<li>" + htmlEscaped(d->deviceType()) + ' ' +
                QByteArray::number(d->deviceNumber()) + ": " + htmlEscaped(d->name()) + "</li>\n";
    html += "</ul>\n<p>There is nothing to set here: the port, the site and what is shared are "
            "chosen in Corvane Control itself (Options, Share Mount).</p>\n</body></html>\n";
    AlpacaRoute r;
    r.contentType = "text/html; charset=utf-8";
    r.text = html;
    return r;
}

AlpacaRoute management(const QStringList& parts, const QList<AlpacaDevice*>& devices,
                       const AlpacaServerInfo& info) {
    AlpacaRoute r;
    if (parts == QStringList{QStringLiteral("apiversions")}) {
        r.managementValue = QJsonArray{1};
    } else if (parts == QStringList{QStringLiteral("v1"), QStringLiteral("description")}) {
        r.managementValue = QJsonObject{{QStringLiteral("ServerName"), "Corvane Control"},
                                        {QStringLiteral("Manufacturer"), "Corvane"},
                                        {QStringLiteral("ManufacturerVersion"), programVersion()},
                                        {QStringLiteral("Location"), info.location}};
    } else if (parts == QStringList{QStringLiteral("v1"), QStringLiteral("configureddevices")}) {
        QJsonArray list;
        for (const AlpacaDevice* d : devices)
            list.append(QJsonObject{{QStringLiteral("DeviceName"), d->name()},
                                    {QStringLiteral("DeviceType"), d->deviceType()},
                                    {QStringLiteral("DeviceNumber"), d->deviceNumber()},
                                    {QStringLiteral("UniqueID"), d->uniqueId()}});
        r.managementValue = list;
    } else {
        return fault(400, QStringLiteral("No such management request"));
    }
    r.contentType = "application/json";
    return r;
}

AlpacaRoute setup(const QStringList& parts, const QList<AlpacaDevice*>& devices,
                  const AlpacaServerInfo& info) {
    if (parts.isEmpty())
        return page(QStringLiteral("Corvane Control"), devices, info);
    if (parts.size() == 4 && parts[0] == QLatin1String("v1") &&
        parts[3] == QLatin1String("setup")) {
        for (AlpacaDevice* d : devices)
            if (d->deviceType().toLower() == parts[1] &&
                QString::number(d->deviceNumber()) == parts[2])
                return page(d->name(), {d}, info);
    }
    return fault(404, QStringLiteral("No such setup page"));
}

AlpacaDevice* findDevice(const QList<AlpacaDevice*>& devices, const QString& type,
                         const QString& number) {
    for (AlpacaDevice* d : devices)
        if (d->deviceType().toLower() == type && QString::number(d->deviceNumber()) == number)
            return d;
    return nullptr;
}

bool isLowerWord(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return false;
    return true;
}

AlpacaRoute device(const HttpRequest& http, const QStringList& parts,
                   const QList<AlpacaDevice*>& devices) {
    if (parts.size() != 4 || parts[0] != QLatin1String("v1"))
        return fault(400, QStringLiteral("Device requests are /api/v1/{type}/{number}/{member}"));
    AlpacaRoute r;
    r.device = findDevice(devices, parts[1], parts[2]);
    if (!r.device)
        return fault(400, QStringLiteral("No device %1/%2 here (types and members are in lower "
                                         "case)")
                              .arg(parts[1], parts[2]));
    if (!isLowerWord(parts[3]))
        return fault(400,
                     QStringLiteral("No member \"%1\" (members are in lower case)").arg(parts[3]));
    AlpacaRequest& q = r.request;
    q.member = parts[3];
    q.verb = http.method == "PUT" ? AlpacaRequest::Verb::Put : AlpacaRequest::Verb::Get;
    return r;
}

// The parameters of a GET from its query string, of a PUT from its form
// body only; the client's IDs checked.
bool readParameters(const HttpRequest& http, AlpacaRoute* route) {
    const bool put = http.method == "PUT";
    const QByteArray type = http.header("content-type").toLower();
    if (put && !http.body.isEmpty() && !type.startsWith("application/x-www-form-urlencoded")) {
        *route = fault(400, QStringLiteral("PUT parameters come as a form "
                                           "(application/x-www-form-urlencoded)"));
        return false;
    }
    const auto form = parseForm(put ? http.body : http.query);
    if (!form) {
        *route = fault(400, QStringLiteral("A parameter is given twice"));
        return false;
    }
    route->request.parameters = *form;
    for (const auto& [name, field] :
         {std::pair("clientid", &route->request.clientId),
          std::pair("clienttransactionid", &route->request.clientTransactionId)}) {
        if (!form->contains(QLatin1String(name)))
            continue;
        const auto number = readUnsigned32(form->value(QLatin1String(name)));
        if (!number) {
            *route = fault(400, QStringLiteral("%1 must be a number from 0 to 4294967295")
                                    .arg(name == QLatin1String("clientid")
                                             ? QStringLiteral("ClientID")
                                             : QStringLiteral("ClientTransactionID")));
            return false;
        }
        *field = *number;
    }
    return true;
}

} // namespace

std::optional<quint32> readUnsigned32(const QString& text) {
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const qulonglong value = text.toULongLong();
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<quint32>(value);
}

std::optional<QMap<QString, QString>> parseForm(const QByteArray& form) {
    QMap<QString, QString> out;
    for (const QByteArray& pair : form.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const auto decoded = [](QByteArray text) {
            return QString::fromUtf8(QByteArray::fromPercentEncoding(text.replace('+', ' ')));
        };
        const QString name = decoded(pair.left(equals < 0 ? pair.size() : equals)).toLower();
        const QString value = equals < 0 ? QString() : decoded(pair.mid(equals + 1));
        if (out.contains(name) && out.value(name) != value)
            return std::nullopt;
        out.insert(name, value);
    }
    return out;
}

AlpacaRoute routeAlpaca(const HttpRequest& http, const QList<AlpacaDevice*>& devices,
                        const AlpacaServerInfo& info) {
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(http.path));
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString root = parts.isEmpty() ? QString() : parts.takeFirst();
    const bool get = http.method == "GET";
    if (!get && http.method != "PUT")
        return fault(400, QStringLiteral("Alpaca takes GET and PUT only"));
    AlpacaRoute r;
    if (root == QLatin1String("api"))
        r = device(http, parts, devices);
    else if (root == QLatin1String("management"))
        r = get ? management(parts, devices, info)
                : fault(400, QStringLiteral("Management requests are GET"));
    else if (root == QLatin1String("setup"))
        r = get ? setup(parts, devices, info) : fault(400, QStringLiteral("Setup pages are GET"));
    else
        return fault(404, QStringLiteral("Nothing here: Alpaca is under /api, /management and "
                                         "/setup"));
    const bool page = !r.contentType.isEmpty() && !r.managementValue;
    if (r.status == 200 && !page)
        readParameters(http, &r);
    return r;
}

} // namespace corvane
