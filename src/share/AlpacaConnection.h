#pragma once

#include "share/HttpRequestReader.h"

#include <QObject>

class QTcpSocket;

namespace corvane {

class Clock;
class ClockTimer;

// One HTTP connection of an Alpaca client. Its requests are taken one at a
// time: the next is read only once the last is answered, and the socket
// holds little more than a request meanwhile, so a client that sends without
// end is held back by TCP itself. A connection that has not sent a whole
// request within the limit (from its opening, or from its last answer) is
// closed, and so is one that leaves its answers unread.
class AlpacaConnection : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultLimitMs = 5000;
    static constexpr qint64 kMostUnread = 64 * 1024;

    // Takes the socket over.
    AlpacaConnection(QTcpSocket* socket, Clock& clock, int limitMs, QObject* parent = nullptr);
    ~AlpacaConnection() override;

    QString address() const { return m_address; }
    // Answers the request handed out by `request`; the next one is read.
    void answer(int status, const QByteArray& contentType, const QByteArray& body);
    void close();

signals:
    void request(corvane::AlpacaConnection* connection, const corvane::HttpRequest& request);
    void closed(corvane::AlpacaConnection* connection);

private:
    void onReadable();
    void readOn(HttpRequestReader::State state);

    QTcpSocket* m_socket;
    ClockTimer* m_limit;
    HttpRequestReader m_reader;
    QString m_address;
    bool m_answering = false;
    bool m_keepAlive = true;
    bool m_closing = false;
    bool m_gone = false;
};

} // namespace corvane
