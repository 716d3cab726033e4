#pragma once

#include <QByteArray>
#include <QMap>

namespace corvane {

// One HTTP/1.x request as read off a connection: the method, the path and
// query (still percent-encoded), header names in lower case, the body.
struct HttpRequest {
    QByteArray method;
    QByteArray path;
    QByteArray query;
    QMap<QByteArray, QByteArray> headers;
    QByteArray body;
    // Whether the client keeps the connection for its next request (HTTP/1.1
    // unless it says "close"; HTTP/1.0 only when it says "keep-alive").
    bool keepAlive = true;

    QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
};

// Reads requests from the bytes of one connection as they come, however
// they are split, and holds no more than one request may be: the request
// line and headers at most 8 KiB (else 431), a body of at most 8 KiB (else
// 413) given by Content-Length. Chunked bodies are refused (411): no client
// of this program sends them. Bytes after a whole request are kept for the
// next one, so a client may send several at once.
class HttpRequestReader {
public:
    static constexpr int kMostHead = 8 * 1024;
    static constexpr int kMostBody = 8 * 1024;
    enum class State { Incomplete, Complete, Failed };

    // Adds what came and reads as far as it goes (no further than the
    // request before, while that is not taken with next()).
    State take(const QByteArray& bytes);
    // After a whole request: forgets it and reads on in what followed it.
    State next();

    const HttpRequest& request() const { return m_request; }
    // Why the bytes are no request: the HTTP status and a plain reason.
    int failStatus() const { return m_failStatus; }
    const QByteArray& failReason() const { return m_failReason; }

private:
    State read();
    State fail(int status, const char* reason);
    bool readHead(const QByteArray& head);

    QByteArray m_buffer;
    HttpRequest m_request;
    State m_state = State::Incomplete;
    int m_failStatus = 0;
    QByteArray m_failReason;
};

// A whole response: status line, Content-Type, Content-Length, Connection.
QByteArray httpResponse(int status, const QByteArray& contentType, const QByteArray& body,
                        bool keepAlive);

} // namespace corvane
