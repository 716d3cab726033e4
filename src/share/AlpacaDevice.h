#pragma once

#include <QHostAddress>
#include <QJsonValue>
#include <QMap>
#include <QString>
#include <functional>

namespace corvane {

// ASCOM's error numbers, as Alpaca replies carry them.
enum AlpacaError : int {
    kAlpacaOk = 0,
    kAlpacaNotImplemented = 0x400,
    kAlpacaInvalidValue = 0x401,
    kAlpacaValueNotSet = 0x402,
    kAlpacaNotConnected = 0x407,
    kAlpacaInvalidOperation = 0x40B,
    kAlpacaActionNotImplemented = 0x40C,
    kAlpacaDriverError = 0x500,
};

// One device request as the HTTP layer has read and checked it: the verb,
// the member (lower case, as the URL must give it) and the parameters (names
// in lower case; from the query string for GET, the form body for PUT). The
// client's IDs are already checked as unsigned 32-bit numbers.
struct AlpacaRequest {
    enum class Verb { Get, Put };
    Verb verb = Verb::Get;
    QString member;
    QMap<QString, QString> parameters;
    quint32 clientId = 0;
    quint32 clientTransactionId = 0;
    QHostAddress peer;

    bool has(const QString& name) const { return parameters.contains(name); }
    QString value(const QString& name) const { return parameters.value(name); }
};

// What a device answers. A member the device does not have, the wrong verb
// for it, or a parameter missing or unreadable is a protocol fault: HTTP 400
// with `badRequest` as its plain-text reason, and nothing reaches the board.
// Otherwise HTTP 200, with the value (none for a PUT or on error) and
// ASCOM's error number and message.
struct AlpacaReply {
    QString badRequest;
    int errorNumber = kAlpacaOk;
    QString errorMessage;
    QJsonValue value = QJsonValue(QJsonValue::Undefined);

    static AlpacaReply ok(QJsonValue v = QJsonValue(QJsonValue::Undefined)) {
        AlpacaReply r;
        r.value = v;
        return r;
    }
    static AlpacaReply error(int number, const QString& message) {
        AlpacaReply r;
        r.errorNumber = number;
        r.errorMessage = message;
        return r;
    }
    static AlpacaReply bad(const QString& reason) {
        AlpacaReply r;
        r.badRequest = reason;
        return r;
    }
};

// A device served over Alpaca ("telescope/0", "focuser/0"). `handle` answers
// through `done` exactly once, at once or when the board has answered; the
// HTTP layer adds the transaction IDs and writes the reply. `done` is not
// called when the device is destroyed first.
class AlpacaDevice {
public:
    virtual ~AlpacaDevice() = default;
    virtual QString deviceType() const = 0; // "Telescope", "Focuser"
    virtual int deviceNumber() const { return 0; }
    virtual QString name() const = 0;
    virtual QString uniqueId() const = 0;
    virtual void handle(const AlpacaRequest& request, std::function<void(AlpacaReply)> done) = 0;
};

} // namespace corvane
