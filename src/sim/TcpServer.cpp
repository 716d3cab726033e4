#include "sim/TcpServer.h"

#include "link/NetworkAddress.h"

namespace corvane::sim {

namespace {
// Replies held back while the client does not read, before more are dropped,
// as a bridge's buffer overflows.
constexpr qint64 kMaxUnsent = 65536;
} // namespace

TcpServer::TcpServer(SimLine& line, QObject* parent) : LineServer(line, parent) {
    m_server.setMaxPendingConnections(1);
    connect(&m_server, &QTcpServer::newConnection, this, &TcpServer::onNewConnection);
}

TcpServer::~TcpServer() {
    pullLine();
}

bool TcpServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    if (m_server.listen(address, port))
        return true;
    if (error)
        *error =
            QStringLiteral("cannot listen on %1: %2")
                .arg(corvane::networkAddressText(address.toString(), port), m_server.errorString());
    return false;
}

QString TcpServer::url() const {
    return corvane::networkAddressText(m_server.serverAddress().toString(), m_server.serverPort());
}

void TcpServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_client) {
            // The line is taken: this one is turned away.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        // Each reply character goes out when it falls due, as on the wire.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &TcpServer::onClientData);
        connect(socket, &QTcpSocket::disconnected, this, &TcpServer::onClientGone);
        if (socket->bytesAvailable() > 0)
            onClientData();
    }
}

void TcpServer::onClientData() {
    if (m_client)
        hostWrote(m_client->readAll());
}

// Replies still on their way went to the client that left; the next one
// starts on a quiet line with the same board.
void TcpServer::onClientGone() {
    if (!m_client)
        return;
    m_client->deleteLater();
    m_client = nullptr;
    line().discardPending();
}

void TcpServer::deliver(const QByteArray& bytes) {
    if (m_client && !bytes.isEmpty() && m_client->bytesToWrite() < kMaxUnsent)
        m_client->write(bytes);
}

void TcpServer::pullLine() {
    stopTicking();
    m_server.close();
    if (m_client) {
        // Hands over what is written, then the connection ends.
        m_client->disconnect(this);
        m_client->flush();
        m_client->abort();
        m_client->deleteLater();
        m_client = nullptr;
    }
}

} // namespace corvane::sim
