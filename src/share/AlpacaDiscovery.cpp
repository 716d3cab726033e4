#include "share/AlpacaDiscovery.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

namespace corvane {

AlpacaDiscovery::AlpacaDiscovery(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("AlpacaDiscovery"));
}

QHostAddress AlpacaDiscovery::broadcastOf(const QHostAddress& address) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address == QHostAddress::AnyIPv4)
        return QHostAddress();
    if (address.isLoopback())
        return QHostAddress(QStringLiteral("127.255.255.255"));
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry& entry : i.addressEntries())
            if (entry.ip() == address)
                return entry.broadcast();
    return QHostAddress();
}

bool AlpacaDiscovery::start(const QHostAddress& address, quint16 discoveryPort, quint16 alpacaPort,
                            QString* why) {
    stop();
    m_alpacaPort = alpacaPort;
    QList<QHostAddress> addresses{address};
    const QHostAddress broadcast = broadcastOf(address);
    if (!broadcast.isNull())
        addresses << broadcast;
    for (const QHostAddress& a : addresses) {
        auto* socket = new QUdpSocket(this);
        socket->setObjectName(QStringLiteral("AlpacaDiscoverySocket"));
        // Other Alpaca servers on this computer listen on the port too.
        if (!socket->bind(a, discoveryPort,
                          QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            if (why)
                *why = QStringLiteral("Alpaca discovery cannot listen on %1:%2: %3")
                           .arg(a.toString())
                           .arg(discoveryPort)
                           .arg(socket->errorString());
            delete socket;
            stop();
            return false;
        }
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        m_sockets << socket;
    }
    return true;
}

void AlpacaDiscovery::stop() {
    qDeleteAll(m_sockets);
    m_sockets.clear();
}

void AlpacaDiscovery::onReadable(QUdpSocket* socket) {
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram query = socket->receiveDatagram(64);
        if (!query.isValid() || query.data() != "alpacadiscovery1")
            continue;
        // The answer leaves from the address itself, not a broadcast one.
        const QByteArray answer = "{\"AlpacaPort\":" + QByteArray::number(m_alpacaPort) + '}';
        m_sockets.first()->writeDatagram(answer, query.senderAddress(),
                                         static_cast<quint16>(query.senderPort()));
    }
}

} // namespace corvane
