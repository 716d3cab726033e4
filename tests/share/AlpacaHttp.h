#pragma once

// An Alpaca client's side of HTTP for the tests: requests written by hand,
// responses read whole.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTest>

namespace corvane::test {

struct Reply {
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// Reads one response off the socket (waiting for it whole).
inline Reply readReply(QTcpSocket& s, int ms = 5000) {
    QByteArray in;
    Reply r;
    (void)QTest::qWaitFor(
        [&] {
            in = s.peek(s.bytesAvailable()); // what follows stays for the next
            const qsizetype end = in.indexOf("\r\n\r\n");
            if (end < 0)
                return false;
            const qsizetype at = in.toLower().indexOf("content-length:");
            const int length = in.mid(at + 15, in.indexOf('\r', at) - at - 15).trimmed().toInt();
            if (in.size() < end + 4 + length)
                return false;
            r.status = in.mid(9, 3).toInt();
            r.body = in.mid(end + 4, length);
            s.read(end + 4 + length);
            return true;
        },
        ms);
    return r;
}

inline QByteArray get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
}
inline QByteArray put(const QByteArray& target, const QByteArray& form,
                      const QByteArray& type = "application/x-www-form-urlencoded") {
    return "PUT " + target + " HTTP/1.1\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(form.size()) + "\r\n\r\n" + form;
}

// One request on a connection of its own, to the server on this computer.
inline Reply askAlpaca(quint16 port, const QByteArray& request) {
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    s.write(request);
    return readReply(s);
}

} // namespace corvane::test
