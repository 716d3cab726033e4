#include "share/AlpacaServer.h"

#include "common/Clock.h"
#include "common/ClockTimer.h"
#include "share/AlpacaConnection.h"
#include "share/AlpacaDiscovery.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalBlocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace corvane {

namespace {

// What stops the mount is never held back.
bool isStop(const AlpacaRequest& r) {
    if (r.verb != AlpacaRequest::Verb::Put)
        return false;
    if (r.member == QLatin1String("abortslew") || r.member == QLatin1String("halt"))
        return true;
    bool ok = false;
    return r.member == QLatin1String("moveaxis") &&
           r.value(QStringLiteral("rate")).toDouble(&ok) == 0 && ok;
}

QString clientKey(const AlpacaRequest& r) {
    return r.clientId ? QStringLiteral("id %1").arg(r.clientId)
                      : QStringLiteral("address ") + r.peer.toString();
}

} // namespace

AlpacaServer::AlpacaServer(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_server(new QTcpServer(this)),
      m_discovery(new AlpacaDiscovery(this)),
      m_shown(new ClockTimer(clock, QStringLiteral("AlpacaClientsShown"), this)),
      m_limitMs(AlpacaConnection::kDefaultLimitMs), m_discoveryPort(AlpacaDiscovery::kPort) {
    setObjectName(QStringLiteral("AlpacaServer"));
    m_server->setObjectName(QStringLiteral("AlpacaListener"));
    connect(m_server, &QTcpServer::newConnection, this, &AlpacaServer::accept);
    m_shown->setSingleShot(true);
    m_shown->setInterval(kShownEveryMs);
    connect(m_shown, &ClockTimer::timeout, this, &AlpacaServer::changed);
}

AlpacaServer::~AlpacaServer() {
    // Its owner may be part way through its own destruction.
    const QSignalBlocker quiet(this);
    m_devices.clear();
    stop();
}

void AlpacaServer::addDevice(AlpacaDevice* device) {
    if (!m_devices.contains(device))
        m_devices.append(device);
}

void AlpacaServer::removeDevice(AlpacaDevice* device) {
    m_devices.removeOne(device);
}

bool AlpacaServer::start(const QString& address, quint16 port, QString* why) {
    stop();
    const QHostAddress host = address == QLatin1String("localhost")
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(address);
    if (host.isNull() || !m_server->listen(host, port)) {
        if (why)
            *why =
                QStringLiteral("Cannot share the mount on %1:%2: %3")
                    .arg(address)
                    .arg(port)
                    .arg(host.isNull() ? QStringLiteral("\"%1\" is not an IP address").arg(address)
                                       : m_server->errorString());
        return false;
    }
    // Without discovery (another program holding its port alone) clients
    // still reach the server by its address: said, not refused.
    m_discoveryProblem.clear();
    if (m_discoveryPort)
        m_discovery->start(host, m_discoveryPort, m_server->serverPort(), &m_discoveryProblem);
    emit changed();
    return true;
}

void AlpacaServer::stop() {
    m_server->close();
    m_discovery->stop();
    for (AlpacaConnection* c : std::as_const(m_connections))
        c->close();
    m_clients.clear();
    m_waiting.clear();
    m_shown->stop();
    emit changed();
}

bool AlpacaServer::isListening() const {
    return m_server->isListening();
}

quint16 AlpacaServer::port() const {
    return m_server->isListening() ? m_server->serverPort() : 0;
}

void AlpacaServer::accept() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= kMostConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* c = new AlpacaConnection(socket, m_clock, m_limitMs, this);
        m_connections.append(c);
        connect(c, &AlpacaConnection::request, this, &AlpacaServer::handle);
        connect(
            c, &AlpacaConnection::closed, this,
            [this](AlpacaConnection* gone) {
                if (m_connections.removeOne(gone))
                    gone->deleteLater();
            },
            Qt::QueuedConnection);
    }
}

AlpacaServerInfo AlpacaServer::info() const {
    AlpacaServerInfo i = m_info ? m_info() : AlpacaServerInfo();
    i.port = port();
    return i;
}

void AlpacaServer::handle(AlpacaConnection* connection, const HttpRequest& http) {
    const AlpacaRoute route = routeAlpaca(http, m_devices, info());
    if (route.status != 200 || (!route.device && !route.managementValue)) {
        connection->answer(route.status, route.contentType, route.text);
        return;
    }
    if (route.managementValue) {
        connection->answer(
            200, "application/json",
            json(route.request.clientTransactionId, AlpacaReply::ok(*route.managementValue)));
        return;
    }
    ask(connection, route);
}

// The device answers at once or once the board has; meanwhile the request
// counts against its client's share.
void AlpacaServer::ask(AlpacaConnection* connection, const AlpacaRoute& route) {
    AlpacaRequest request = route.request;
    request.peer = QHostAddress(connection->address());
    note(request);
    const QString key = clientKey(request);
    const quint32 transaction = request.clientTransactionId;
    if (m_waiting.value(key) >= kMostWaiting && !isStop(request)) {
        connection->answer(
            200, "application/json",
            json(transaction,
                 AlpacaReply::error(kAlpacaInvalidOperation,
                                    QStringLiteral("This client already has %1 requests waiting "
                                                   "for the mount; wait for their answers")
                                        .arg(kMostWaiting))));
        return;
    }
    ++m_waiting[key];
    QPointer<AlpacaServer> server(this);
    QPointer<AlpacaConnection> to(connection);
    route.device->handle(request, [server, to, key, transaction](const AlpacaReply& reply) {
        if (!server)
            return;
        if (--server->m_waiting[key] <= 0)
            server->m_waiting.remove(key);
        if (!to)
            return;
        if (!reply.badRequest.isEmpty())
            to->answer(400, "text/plain; charset=utf-8", reply.badRequest.toUtf8());
        else
            to->answer(200, "application/json", server->json(transaction, reply));
    });
}

QByteArray AlpacaServer::json(quint32 clientTransactionId, const AlpacaReply& reply) {
    QJsonObject o{
        {QStringLiteral("ClientTransactionID"), static_cast<qint64>(clientTransactionId)},
        {QStringLiteral("ServerTransactionID"), static_cast<qint64>(++m_serverTransaction)},
        {QStringLiteral("ErrorNumber"), reply.errorNumber},
        {QStringLiteral("ErrorMessage"), reply.errorMessage}};
    if (reply.errorNumber == kAlpacaOk && !reply.value.isUndefined())
        o.insert(QStringLiteral("Value"), reply.value);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void AlpacaServer::note(const AlpacaRequest& request) {
    const QDateTime now = m_clock.utcNow();
    for (qsizetype i = m_clients.size() - 1; i >= 0; --i) {
        const AlpacaClientInfo& c = m_clients.at(i);
        if ((c.address == request.peer.toString() && c.clientId == request.clientId) ||
            c.lastTime.msecsTo(now) > kClientListedMs)
            m_clients.removeAt(i);
    }
    m_clients.append({request.peer.toString(), request.clientId, request.member, now});
    if (m_clients.size() > kMostConnections)
        m_clients.removeFirst();
    if (!m_shown->isActive())
        m_shown->start();
}

QList<AlpacaClientInfo> AlpacaServer::clients() const {
    QList<AlpacaClientInfo> out;
    const QDateTime now = m_clock.utcNow();
    for (const AlpacaClientInfo& c : m_clients)
        if (c.lastTime.msecsTo(now) <= kClientListedMs)
            out << c;
    return out;
}

} // namespace corvane
