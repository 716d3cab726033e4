#include "share/AlpacaConnection.h"

#include "common/ClockTimer.h"

#include <QTcpSocket>

namespace corvane {

AlpacaConnection::AlpacaConnection(QTcpSocket* socket, Clock& clock, int limitMs, QObject* parent)
    : QObject(parent), m_socket(socket),
      m_limit(new ClockTimer(clock, QStringLiteral("AlpacaRequestLimit"), this)) {
    setObjectName(QStringLiteral("AlpacaConnection"));
    m_socket->setParent(this);
    m_socket->setReadBufferSize(2 * (HttpRequestReader::kMostHead + HttpRequestReader::kMostBody));
    m_address = m_socket->peerAddress().toString();
    m_limit->setSingleShot(true);
    m_limit->setInterval(limitMs);
    connect(m_limit, &ClockTimer::timeout, this, &AlpacaConnection::close);
    connect(m_socket, &QTcpSocket::readyRead, this, &AlpacaConnection::onReadable);
    connect(m_socket, &QTcpSocket::disconnected, this, &AlpacaConnection::close);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &AlpacaConnection::close);
    m_limit->start();
}

AlpacaConnection::~AlpacaConnection() = default;

void AlpacaConnection::onReadable() {
    if (m_answering || m_closing)
        return; // read once the request before is answered
    readOn(m_reader.take(m_socket->readAll()));
}

void AlpacaConnection::readOn(HttpRequestReader::State state) {
    if (state == HttpRequestReader::State::Failed) {
        m_keepAlive = false;
        m_answering = true;
        answer(m_reader.failStatus(), "text/plain; charset=utf-8", m_reader.failReason());
        return;
    }
    if (state != HttpRequestReader::State::Complete)
        return;
    m_limit->stop();
    m_answering = true;
    m_keepAlive = m_reader.request().keepAlive;
    emit request(this, m_reader.request());
}

void AlpacaConnection::answer(int status, const QByteArray& contentType, const QByteArray& body) {
    if (!m_answering || m_closing)
        return;
    m_answering = false;
    m_socket->write(httpResponse(status, contentType, body, m_keepAlive));
    m_limit->start(); // also for the answer to be taken before the line closes
    if (!m_keepAlive) {
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    if (m_socket->bytesToWrite() > kMostUnread) {
        close();
        return;
    }
    // What came meanwhile (a request sent right behind the last, or part of
    // one), read from the event loop so that a client's train of requests
    // is no chain of calls.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_answering || m_closing)
                return;
            HttpRequestReader::State state = m_reader.next();
            if (state == HttpRequestReader::State::Incomplete)
                state = m_reader.take(m_socket->readAll());
            readOn(state);
        },
        Qt::QueuedConnection);
}

void AlpacaConnection::close() {
    if (m_gone)
        return;
    m_gone = m_closing = true;
    m_limit->stop();
    m_socket->abort();
    emit closed(this);
}

} // namespace corvane
