#pragma once

#include "share/Lx200Framer.h"
#include "share/Lx200Request.h"
#include "share/StellariumProtocol.h"

#include <QDateTime>
#include <QObject>
#include <QQueue>

class QTcpSocket;

namespace corvane {

class SharedMount;
struct SiteSettings;

// One program sharing the mount over TCP, speaking LX200 or Stellarium's
// telescope protocol. Its requests are handled one at a time, in the order
// they came, so its answers come in that order too, and no client has more
// than one request before the board at a time; of Stellarium's gotos only
// the newest waits, replacing the one not yet begun. Everything it holds is
// bounded: a request without its end, a queue of requests, the answers it
// does not read; a client that exceeds them is cut off. The window's STOP
// drops whatever waits, and so does the client's leaving.
class ShareClient : public QObject {
    Q_OBJECT
public:
    enum class Protocol { Lx200, Stellarium };
    // Requests waiting to be handled, at most.
    static constexpr int kMostWaiting = 64;
    // Answers written and not yet taken by the client, at most.
    static constexpr qint64 kMostUnread = 64 * 1024;

    // Takes the socket over.
    ShareClient(QTcpSocket* socket, Protocol protocol, SharedMount& mount, SiteSettings& site,
                QObject* parent = nullptr);
    ~ShareClient() override;

    Protocol protocol() const { return m_protocol; }
    QString address() const { return m_address; }
    QString program() const;
    // "LX200 client 127.0.0.1:50312": whose requests they are, in the traffic log.
    QString label() const { return program() + QLatin1Char(' ') + m_address; }
    // The last request, as printable text, and when it came.
    const QString& lastCommand() const { return m_lastCommand; }
    const QDateTime& lastTime() const { return m_lastTime; }

    // Stellarium: the current position is sent (about every 500 ms).
    void sendPosition();
    // Cuts the connection; closed() follows.
    void close();

signals:
    void changed();
    void siteChanged();
    void closed(corvane::ShareClient* client);

private:
    void onReadable();
    void takeLx200(const QByteArray& bytes);
    void takeStellarium(const QByteArray& bytes);
    void handleNext();
    void startGoto();
    void dropWaiting();
    void handle(const Lx200Request& request);
    void answered(const std::optional<QByteArray>& answer);
    void write(const QByteArray& bytes);
    void note(const QByteArray& request);
    void positionAnswer(const Lx200Request& request);

    QTcpSocket* m_socket;
    // Stands for the client's requests before the mount: gone with its
    // connection, so what of them still waits its turn is dropped unsent and
    // nothing answers into a closed client.
    QObject* m_asking;
    Protocol m_protocol;
    SharedMount& m_mount;
    SiteSettings& m_site;
    QString m_address;
    Lx200Framer m_lx200;
    StellariumFramer m_stellarium;
    QQueue<QByteArray> m_waiting;
    std::optional<BoardTarget> m_goto;
    bool m_busy = false;
    bool m_handling = false;
    bool m_positionAsked = false;
    bool m_closing = false;
    QString m_lastCommand;
    QDateTime m_lastTime;
};

} // namespace corvane
