#pragma once

#include "sim/LineServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace corvane::sim {

// Serves a simulated board on a TCP port, as a serial-to-network bridge (or
// ser2net in raw mode) serves a real one: the board's line is the raw byte
// stream of the connection, paced as over RS-232. One client at a time, as
// such a bridge has one serial line: a second one is closed at once while
// the first is connected; after a client leaves, the next one finds the same
// board. A pulled line (--vanish-after) closes the client's connection and
// stops listening, like a bridge losing power.
class TcpServer : public LineServer {
    Q_OBJECT
public:
    explicit TcpServer(SimLine& line, QObject* parent = nullptr);
    ~TcpServer() override;

    // Listens on the address (127.0.0.1 unless the user names another) and
    // port; port 0 picks a free one.
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    // "tcp://127.0.0.1:4001": what a client connects to.
    QString url() const;

private:
    void onNewConnection();
    void onClientData();
    void onClientGone();
    bool serving() const override { return m_server.isListening(); }
    void deliver(const QByteArray& bytes) override;
    void pullLine() override;

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
};

} // namespace corvane::sim
