#pragma once

#include "share/AlpacaDevice.h"
#include "share/HttpRequestReader.h"

#include <QList>
#include <optional>

namespace corvane {

// What the setup pages and the management API tell about this server.
struct AlpacaServerInfo {
    quint16 port = 0;
    QString board;    // "Com 1, connected (version 4.1)"
    QString location; // the site, as the Share dialog has it
};

// Where an HTTP request goes: a device member (device and request filled
// in), a management answer (a JSON value), a page, or a plain-text fault.
struct AlpacaRoute {
    int status = 200;
    QByteArray contentType;
    QByteArray text; // the page or the fault's reason
    AlpacaDevice* device = nullptr;
    AlpacaRequest request;
    std::optional<QJsonValue> managementValue;
};

// Reads the URL and parameters of a request as Alpaca has them:
// /api/v1/{type}/{number}/{member} in lower case, parameter names in any
// case, GET's from the query string and PUT's from a form body only, the
// client's IDs unsigned 32-bit numbers; /management/... and /setup/...
AlpacaRoute routeAlpaca(const HttpRequest& http, const QList<AlpacaDevice*>& devices,
                        const AlpacaServerInfo& info);

// "a=1&B=x%20y": names in lower case, values decoded; none for a name given
// twice with different values.
std::optional<QMap<QString, QString>> parseForm(const QByteArray& form);
// An unsigned 32-bit decimal number, digits only.
std::optional<quint32> readUnsigned32(const QString& text);

} // namespace corvane
