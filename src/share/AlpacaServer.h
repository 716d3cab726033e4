#pragma once

#include "share/AlpacaRouter.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <functional>

class QTcpServer;

namespace corvane {

class AlpacaConnection;
class AlpacaDiscovery;
class Clock;
class ClockTimer;

// An Alpaca client as the Share dialog lists it.
struct AlpacaClientInfo {
    QString address;
    quint32 clientId = 0;
    QString lastMember;
    QDateTime lastTime;
};

// ASCOM Alpaca over HTTP: the devices added (telescope/0, focuser/0), the
// management API, the setup pages and discovery. It takes at most 32
// connections at once (one more is closed at once), gives each 5 s to send a
// whole request, and lets no client (by its ClientID, else its address) have
// more than a few requests waiting for the board: one more is answered at
// once with InvalidOperation. Stops (AbortSlew, Halt, MoveAxis at rate 0)
// always pass.
class AlpacaServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostConnections = 32;
    static constexpr int kMostWaiting = 4;
    // A client unheard of this long leaves the list.
    static constexpr int kClientListedMs = 60000;
    // Requests are told (changed()) at most this often: clients poll fast.
    static constexpr int kShownEveryMs = 250;

    AlpacaServer(Clock& clock, QObject* parent = nullptr);
    ~AlpacaServer() override;

    // Not owned: a device must outlive the server or be removed first.
    void addDevice(AlpacaDevice* device);
    void removeDevice(AlpacaDevice* device);
    // Where the board and the site are, for the setup pages and description.
    void setInfo(std::function<AlpacaServerInfo()> info) { m_info = std::move(info); }
    // For tests: a shorter request limit, another discovery port (0: none).
    void setRequestLimitMs(int ms) { m_limitMs = ms; }
    void setDiscoveryPort(quint16 port) { m_discoveryPort = port; }

    // Listens on the address (an IP address or "localhost") and port, and
    // discovery beside it. False with the reason when the port cannot be had
    // (discovery's port not to be had leaves only discoveryProblem()).
    bool start(const QString& address, quint16 port, QString* why);
    void stop();
    bool isListening() const;
    quint16 port() const;
    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    // The clients heard from lately, newest last.
    QList<AlpacaClientInfo> clients() const;
    // Why discovery does not answer while the server listens; empty when it does.
    const QString& discoveryProblem() const { return m_discoveryProblem; }

signals:
    // Started or stopped, or clients were heard from.
    void changed();

private:
    void accept();
    void handle(AlpacaConnection* connection, const HttpRequest& http);
    void ask(AlpacaConnection* connection, const AlpacaRoute& route);
    void note(const AlpacaRequest& request);
    QByteArray json(quint32 clientTransactionId, const AlpacaReply& reply);
    AlpacaServerInfo info() const;

    Clock& m_clock;
    QTcpServer* m_server;
    AlpacaDiscovery* m_discovery;
    ClockTimer* m_shown;
    QList<AlpacaDevice*> m_devices;
    QList<AlpacaConnection*> m_connections;
    QHash<QString, int> m_waiting;
    QList<AlpacaClientInfo> m_clients;
    std::function<AlpacaServerInfo()> m_info;
    QString m_discoveryProblem;
    quint32 m_serverTransaction = 0;
    int m_limitMs;
    quint16 m_discoveryPort;
};

} // namespace corvane
