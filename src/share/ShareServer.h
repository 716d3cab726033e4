#pragma once

#include "share/ShareSettings.h"

#include <QList>
#include <QObject>

class QTcpServer;

namespace corvane {

class AlpacaFocuser;
class AlpacaServer;
class AlpacaTelescope;
class ClockTimer;
class MountSession;
class ShareClient;
class SharedMount;

// Lets other programs use the mount while the window keeps working: LX200
// over TCP (port 4030 by default), Stellarium's telescope protocol (port
// 10001) and ASCOM Alpaca over HTTP (port 11111), off until started. It listens on this computer
// only unless told another address, and takes at most the settings' number of clients, both
// protocols together; the next one is turned away (Alpaca's HTTP
// connections are counted apart, by its own server).
class ShareServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPositionIntervalMs = 500;

    explicit ShareServer(MountSession& session, QObject* parent = nullptr);
    ~ShareServer() override;

    // Listens as the settings say (stopping first what listened before).
    // False, with the reason, when a port cannot be opened; nothing then
    // listens.
    bool start(const ShareSettings& settings, QString* why);
    // Closes every client and stops listening.
    void stop();
    bool isSharing() const;
    const ShareSettings& settings() const { return m_settings; }
    // The settings to use at the next start, and the site clients read.
    void setSettings(const ShareSettings& settings);
    const QList<ShareClient*>& clients() const { return m_clients; }
    // What to type into a planetarium: "127.0.0.1:4030 (LX200)" and the like.
    QString addressText() const;
    // The ports listened on (the one the system picked for a port 0); 0 when
    // that protocol is not shared.
    quint16 lx200Port() const;
    quint16 stellariumPort() const;
    quint16 alpacaPort() const;
    AlpacaServer& alpaca() const { return *m_alpaca; }
    SharedMount& mount() const { return *m_mount; }

signals:
    // Clients came or went, one sent a request, or sharing started or stopped.
    void changed();
    // A client set the site (latitude or longitude).
    void siteChanged();

private:
    bool listen(QTcpServer* server, const QString& address, quint16 port, QString* why);
    void accept(QTcpServer* server, bool stellarium);
    void dropClient(ShareClient* client);
    void sendPositions();
    bool startAlpaca(QString* why);
    void makeAlpacaDevices();

    MountSession& m_session;
    SharedMount* m_mount;
    QTcpServer* m_lx200;
    QTcpServer* m_stellarium;
    AlpacaServer* m_alpaca;
    AlpacaTelescope* m_telescope = nullptr;
    AlpacaFocuser* m_focuser = nullptr;
    ClockTimer* m_positionTimer;
    ShareSettings m_settings;
    QList<ShareClient*> m_clients;
};

} // namespace corvane
