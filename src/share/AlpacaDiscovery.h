#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>

class QUdpSocket;

namespace corvane {

// Alpaca's discovery: a datagram "alpacadiscovery1" to UDP port 32227 is
// answered with {"AlpacaPort": PORT}; anything else is ignored. It listens
// on the address the server listens on and on that network's broadcast
// address (where ASCOM programs send their query), never everywhere unless
// the server itself listens everywhere. Answers go out from the address
// itself.
class AlpacaDiscovery : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 32227;

    explicit AlpacaDiscovery(QObject* parent = nullptr);

    // False, with the reason, when the address's port cannot be bound.
    bool start(const QHostAddress& address, quint16 discoveryPort, quint16 alpacaPort,
               QString* why);
    void stop();

    // The broadcast address of the network `address` is on (127.255.255.255
    // for the loopback); none when it is on no network of this computer.
    static QHostAddress broadcastOf(const QHostAddress& address);

private:
    void onReadable(QUdpSocket* socket);

    QList<QUdpSocket*> m_sockets;
    quint16 m_alpacaPort = 0;
};

} // namespace corvane
