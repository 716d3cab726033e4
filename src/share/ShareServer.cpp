#include "share/ShareServer.h"

#include "common/ClockTimer.h"
#include "session/MountSession.h"
#include "share/AlpacaFocuser.h"
#include "share/AlpacaServer.h"
#include "share/AlpacaTelescope.h"
#include "share/ShareClient.h"
#include "share/SharedMount.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUuid>

namespace corvane {

ShareServer::ShareServer(MountSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_mount(new SharedMount(session, this)),
      m_lx200(new QTcpServer(this)), m_stellarium(new QTcpServer(this)),
      m_alpaca(new AlpacaServer(session.clock(), this)),
      m_positionTimer(new ClockTimer(session.clock(), QStringLiteral("SharePositions"), this)) {
    setObjectName(QStringLiteral("ShareServer"));
    connect(m_lx200, &QTcpServer::newConnection, this, [this] { accept(m_lx200, false); });
    connect(m_stellarium, &QTcpServer::newConnection, this, [this] { accept(m_stellarium, true); });
    m_positionTimer->setInterval(kPositionIntervalMs);
    connect(m_positionTimer, &ClockTimer::timeout, this, &ShareServer::sendPositions);
    connect(m_alpaca, &AlpacaServer::changed, this, &ShareServer::changed);
    m_alpaca->setInfo([this] {
        const ConnectionDisplay shown = m_session.connectionDisplay();
        AlpacaServerInfo info;
        info.board = shown.port + QStringLiteral(", ") + shown.state;
        info.location = QStringLiteral("latitude %1, longitude %2, %3 m")
                            .arg(m_settings.site.latitude, 0, 'f', 4)
                            .arg(m_settings.site.longitude, 0, 'f', 4)
                            .arg(m_settings.site.elevation, 0, 'f', 0);
        return info;
    });
}

ShareServer::~ShareServer() {
    // Its owner (the window) may be part way through its own destruction:
    // nothing is told of the clients going.
    const QSignalBlocker quiet(this);
    stop();
}

void ShareServer::setSettings(const ShareSettings& settings) {
    m_settings = settings;
    m_settings.maxClients = qBound(1, settings.maxClients, ShareSettings::kMostClients);
    emit changed();
}

// An address that is none would listen on every interface: refused.
bool ShareServer::listen(QTcpServer* server, const QString& address, quint16 port, QString* why) {
    const QHostAddress host = address == QLatin1String("localhost")
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(address);
    if (isListenAddress(address) && server->listen(host, port))
        return true;
    if (why)
        *why = QStringLiteral("Cannot share the mount on %1:%2: %3")
                   .arg(address)
                   .arg(port)
                   .arg(isListenAddress(address)
                            ? server->errorString()
                            : QStringLiteral("\"%1\" is not an IP address").arg(address));
    return false;
}

bool ShareServer::start(const ShareSettings& settings, QString* why) {
    stop();
    setSettings(settings);
    const bool ok = (!m_settings.lx200 ||
                     listen(m_lx200, m_settings.lx200Address, m_settings.lx200Port, why)) &&
                    (!m_settings.stellarium || listen(m_stellarium, m_settings.stellariumAddress,
                                                      m_settings.stellariumPort, why)) &&
                    (!m_settings.alpaca || startAlpaca(why));
    if (!ok) {
        stop();
        return false;
    }
    if (m_settings.stellarium)
        m_positionTimer->start();
    emit changed();
    return true;
}

// The devices' UniqueIDs are made the first time and kept in the settings,
// so that ASCOM programs know them again.
bool ShareServer::startAlpaca(QString* why) {
    for (QString* id : {&m_settings.alpacaTelescopeId, &m_settings.alpacaFocuserId})
        if (id->isEmpty())
            *id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    makeAlpacaDevices();
    return m_alpaca->start(m_settings.alpacaAddress, m_settings.alpacaPort, why);
}

// The devices are made for the IDs the settings keep, once.
void ShareServer::makeAlpacaDevices() {
    if (m_telescope && m_telescope->uniqueId() == m_settings.alpacaTelescopeId &&
        m_focuser->uniqueId() == m_settings.alpacaFocuserId)
        return;
    for (AlpacaCommon* device : std::initializer_list<AlpacaCommon*>{m_telescope, m_focuser}) {
        m_alpaca->removeDevice(device);
        delete device;
    }
    m_telescope = new AlpacaTelescope(*m_mount, m_settings, m_settings.alpacaTelescopeId, this);
    m_focuser = new AlpacaFocuser(*m_mount, m_settings.alpacaFocuserId, this);
    connect(m_telescope, &AlpacaTelescope::siteChanged, this, &ShareServer::siteChanged);
    m_alpaca->addDevice(m_telescope);
    m_alpaca->addDevice(m_focuser);
}

void ShareServer::stop() {
    m_alpaca->stop();
    m_lx200->close();
    m_stellarium->close();
    m_positionTimer->stop();
    for (ShareClient* client : std::as_const(m_clients))
        client->close();
    emit changed();
}

bool ShareServer::isSharing() const {
    return m_lx200->isListening() || m_stellarium->isListening() || m_alpaca->isListening();
}

QString ShareServer::addressText() const {
    QStringList out;
    if (m_lx200->isListening())
        out << QStringLiteral("%1:%2 (LX200)")
                   .arg(m_settings.lx200Address)
                   .arg(m_lx200->serverPort());
    if (m_stellarium->isListening())
        out << QStringLiteral("%1:%2 (Stellarium)")
                   .arg(m_settings.stellariumAddress)
                   .arg(m_stellarium->serverPort());
    if (m_alpaca->isListening())
        out << QStringLiteral("%1:%2 (Alpaca)").arg(m_settings.alpacaAddress).arg(m_alpaca->port());
    return out.join(QStringLiteral(", "));
}

quint16 ShareServer::lx200Port() const {
    return m_lx200->isListening() ? m_lx200->serverPort() : 0;
}

quint16 ShareServer::stellariumPort() const {
    return m_stellarium->isListening() ? m_stellarium->serverPort() : 0;
}

quint16 ShareServer::alpacaPort() const {
    return m_alpaca->port();
}

void ShareServer::accept(QTcpServer* server, bool stellarium) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        if (m_clients.size() >= m_settings.maxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* client = new ShareClient(
            socket, stellarium ? ShareClient::Protocol::Stellarium : ShareClient::Protocol::Lx200,
            *m_mount, m_settings.site, this);
        m_clients.append(client);
        connect(client, &ShareClient::closed, this, &ShareServer::dropClient, Qt::QueuedConnection);
        connect(client, &ShareClient::changed, this, &ShareServer::changed);
        connect(client, &ShareClient::siteChanged, this, &ShareServer::siteChanged);
    }
    emit changed();
}

void ShareServer::dropClient(ShareClient* client) {
    if (m_clients.removeOne(client))
        client->deleteLater();
    emit changed();
}

void ShareServer::sendPositions() {
    for (ShareClient* client : std::as_const(m_clients)) {
        if (client->protocol() == ShareClient::Protocol::Stellarium)
            client->sendPosition();
    }
}

} // namespace corvane
