#include "share/HttpRequestReader.h"

#include <QList>

namespace corvane {

namespace {

bool isToken(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || QByteArray("!#$%&'*+-.^_`|~").contains(c);
        if (!ok)
            return false;
    }
    return true;
}

bool isDigits(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool hasToken(const QByteArray& list, const QByteArray& token) {
    for (const QByteArray& part : list.split(','))
        if (part.trimmed().toLower() == token)
            return true;
    return false;
}

} // namespace

HttpRequestReader::State HttpRequestReader::take(const QByteArray& bytes) {
    if (m_state == State::Failed)
        return m_state;
    m_buffer += bytes;
    return m_state == State::Incomplete ? read() : m_state;
}

HttpRequestReader::State HttpRequestReader::next() {
    if (m_state != State::Complete)
        return m_state;
    m_request = HttpRequest();
    m_state = State::Incomplete;
    return read();
}

HttpRequestReader::State HttpRequestReader::fail(int status, const char* reason) {
    m_buffer.clear();
    m_failStatus = status;
    m_failReason = reason;
    return m_state = State::Failed;
}

HttpRequestReader::State HttpRequestReader::read() {
    const qsizetype end = m_buffer.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > kMostHead) {
        if (m_buffer.size() > kMostHead || end + 4 > kMostHead)
            return fail(431, "The request line and headers exceed 8 KiB");
        return m_state;
    }
    m_request = HttpRequest();
    if (!readHead(m_buffer.left(end)))
        return m_state;
    if (!m_request.header("transfer-encoding").isEmpty())
        return fail(411, "Chunked bodies are not taken: send Content-Length");
    const QByteArray lengthText = m_request.header("content-length");
    if (!lengthText.isEmpty() && !isDigits(lengthText))
        return fail(400, "Content-Length is no number");
    const int length = lengthText.toInt();
    if (length > kMostBody)
        return fail(413, "The body exceeds 8 KiB");
    if (m_buffer.size() < end + 4 + length)
        return m_state;
    m_request.body = m_buffer.mid(end + 4, length);
    m_buffer.remove(0, end + 4 + length);
    return m_state = State::Complete;
}

bool HttpRequestReader::readHead(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    for (const QByteArray& line : lines) {
        if (line.size() > 0 && &line != &lines.last() && !line.endsWith('\r')) {
            fail(400, "Lines end in CR LF");
            return false;
        }
    }
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() != 3 || !isToken(start[0]) || !start[1].startsWith('/') ||
        (start[2] != "HTTP/1.1" && start[2] != "HTTP/1.0")) {
        fail(400, "This is no HTTP/1.x request line");
        return false;
    }
    m_request.method = start[0];
    const qsizetype question = start[1].indexOf('?');
    m_request.path = start[1].left(question < 0 ? start[1].size() : question);
    m_request.query = question < 0 ? QByteArray() : start[1].mid(question + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].chopped(lines[i].endsWith('\r') ? 1 : 0);
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).toLower();
        if (colon < 0 || !isToken(name)) {
            fail(400, "A header line does not read");
            return false;
        }
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (m_request.headers.contains(name) && m_request.headers.value(name) != value) {
            fail(400, "A header is given twice");
            return false;
        }
        m_request.headers.insert(name, value);
    }
    const QByteArray connection = m_request.header("connection");
    m_request.keepAlive = start[2] == "HTTP/1.1" ? !hasToken(connection, "close")
                                                 : hasToken(connection, "keep-alive");
    return true;
}

QByteArray httpResponse(int status, const QByteArray& contentType, const QByteArray& body,
                        bool keepAlive) {
    const char* reason = "Internal Server Error";
    switch (status) {
    case 200:
        reason = "OK";
        break;
    case 400:
        reason = "Bad Request";
        break;
    case 404:
        reason = "Not Found";
        break;
    case 408:
        reason = "Request Timeout";
        break;
    case 411:
        reason = "Length Required";
        break;
    case 413:
        reason = "Content Too Large";
        break;
    case 431:
        reason = "Request Header Fields Too Large";
        break;
    default:
        break;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n";
    return out + body;
}

} // namespace corvane
