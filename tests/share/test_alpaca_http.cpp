// Alpaca's HTTP side: the request reader on its own, then the server over
// TCP with a device of the test's own, so that what the HTTP layer decides
// (routing, parameters, faults, bounds) is seen apart from any board.
#include "AlpacaHttp.h"
#include "common/FakeClock.h"
#include "share/AlpacaConnection.h"
#include "share/AlpacaServer.h"
#include "share/HttpRequestReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

using State = HttpRequestReader::State;
using Socket = std::unique_ptr<QTcpSocket>;

// Answers "echo" (GET: the parameters it got) at once; "slow" (PUT) only
// when the test says; "halt" (PUT) at once. Everything else is no member.
struct StubDevice : AlpacaDevice {
    QString deviceType() const override { return QStringLiteral("Telescope"); }
    QString name() const override { return QStringLiteral("Mount <&> \"one\""); }
    QString uniqueId() const override {
        return QStringLiteral("c0ffee00-0000-4000-8000-000000000001");
    }
    void handle(const AlpacaRequest& r, std::function<void(AlpacaReply)> done) override {
        requests << r;
        const bool put = r.verb == AlpacaRequest::Verb::Put;
        if (r.member == QLatin1String("echo") && !put) {
            QJsonObject o;
            for (auto it = r.parameters.begin(); it != r.parameters.end(); ++it)
                o.insert(it.key(), it.value());
            return done(AlpacaReply::ok(o));
        }
        if (r.member == QLatin1String("slow") && put)
            return void(waiting << done);
        if (r.member == QLatin1String("halt") && put)
            return done(AlpacaReply::ok());
        done(AlpacaReply::bad(QStringLiteral("No such member")));
    }
    QList<AlpacaRequest> requests;
    QList<std::function<void(AlpacaReply)>> waiting;
};

struct Served {
    FakeClock clock;
    StubDevice device;
    AlpacaServer server{clock};
    Served() {
        server.addDevice(&device);
        server.setDiscoveryPort(0);
        server.start(QStringLiteral("127.0.0.1"), 0, nullptr);
    }
    Socket connect() const {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QStringLiteral("127.0.0.1"), server.port());
        // On the event loop, so that the server takes each as it comes.
        (void)QTest::qWaitFor([&s] { return s->state() == QAbstractSocket::ConnectedState; });
        return s;
    }
    Reply ask(const QByteArray& request) const {
        const Socket s = connect();
        s->write(request);
        return readReply(*s);
    }
    bool closedByServer(QTcpSocket& s) const {
        return QTest::qWaitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; },
                               5000);
    }
};

} // namespace

class TestAlpacaHttp : public QObject {
    Q_OBJECT
private slots:
    // Requests however split, several at once, and the reader's bounds.
    void reader() {
        const QByteArray two = put("/a?x=1", "b=2") + get("/c");
        HttpRequestReader r;
        State state = State::Incomplete;
        for (const char c : two.left(two.size() - get("/c").size()))
            state = r.take(QByteArray(1, c));
        QCOMPARE(state, State::Complete);
        QCOMPARE(r.request().path, QByteArray("/a"));
        QCOMPARE(r.request().query, QByteArray("x=1"));
        QCOMPARE(r.request().body, QByteArray("b=2"));
        QCOMPARE(r.take(get("/c")), State::Complete); // held until taken
        QCOMPARE(r.next(), State::Complete);
        QCOMPARE(r.request().path, QByteArray("/c"));
        QVERIFY(r.request().keepAlive);
        QCOMPARE(r.next(), State::Incomplete);
        QCOMPARE(r.take("GET / HTTP/1.0\r\n\r\n"), State::Complete);
        QVERIFY(!r.request().keepAlive);

        const QByteArray filler(HttpRequestReader::kMostHead, 'a');
        const QByteArray body(HttpRequestReader::kMostBody, 'b');
        const struct {
            QByteArray bytes;
            State state;
            int status;
        } cases[] = {
            {put("/", body), State::Complete, 0},
            {put("/", body + 'b'), State::Failed, 413},
            {"GET /" + filler, State::Failed, 431},
            {"GET / HTTP/1.1\r\nX: " + filler + "\r\n\r\n", State::Failed, 431},
            {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::Failed, 411},
            {"GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", State::Failed, 400},
            {"GET / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n", State::Failed,
             400},
            {"GET / HTTP/2\r\n\r\n", State::Failed, 400},
            {"\x16\x03\x01 / HTTP/1.1\r\n\r\n", State::Failed, 400},
            {"GET / HTTP/1.1\r\nno colon\r\n\r\n", State::Failed, 400},
        };
        for (const auto& c : cases) {
            HttpRequestReader fresh;
            QCOMPARE(fresh.take(c.bytes), c.state);
            QCOMPARE(fresh.failStatus(), c.status);
        }
    }

    // Routing, parameters and IDs; what is no valid request is a 400 with a
    // reason, and reaches no device.
    void protocol() {
        Served s;
        const Reply echo =
            s.ask(get("/api/v1/telescope/0/echo?ClientID=7&clienttransactionid=4294967295&"
                      "RightAscension=5.5&NaMe=a+b%26c"));
        QCOMPARE(echo.status, 200);
        QJsonObject o = echo.json();
        QCOMPARE(o.value("ClientTransactionID").toDouble(), 4294967295.0);
        QCOMPARE(o.value("ErrorNumber").toInt(), 0);
        QCOMPARE(o.value("Value").toObject().value("rightascension").toString(), "5.5");
        QCOMPARE(o.value("Value").toObject().value("name").toString(), "a b&c");
        QCOMPARE(s.device.requests.last().clientId, quint32(7));
        const double first = o.value("ServerTransactionID").toDouble();
        QVERIFY(s.ask(get("/api/v1/telescope/0/echo?ClientID=0"))
                    .json()
                    .value("ServerTransactionID")
                    .toDouble() > first);

        // PUT takes its form body only, not the query string.
        QCOMPARE(s.ask(put("/api/v1/telescope/0/halt?Extra=1", "Rate=0&ClientTransactionID=3"))
                     .json()
                     .value("ClientTransactionID")
                     .toInt(),
                 3);
        QCOMPARE(s.device.requests.last().parameters,
                 (QMap<QString, QString>{{"rate", "0"}, {"clienttransactionid", "3"}}));

        const int reached = static_cast<int>(s.device.requests.size());
        for (const QByteArray& bad :
             {get("/api/v1/telescope/0/echo?ClientID=-1"),
              get("/api/v1/telescope/0/echo?ClientID=4294967296"),
              get("/api/v1/telescope/0/echo?ClientTransactionID=1x"),
              get("/api/v1/telescope/0/echo?ClientTransactionID="),
              get("/api/v1/telescope/0/echo?ClientID=1&clientid=2"),
              get("/api/v1/Telescope/0/echo"), get("/api/v1/telescope/1/echo"),
              get("/api/v1/camera/0/echo"), get("/api/v1/telescope/0/Echo"),
              get("/api/v2/telescope/0/echo"), get("/api/v1/telescope/0/echo/more"),
              QByteArray("DELETE /api/v1/telescope/0/echo HTTP/1.1\r\n\r\n"),
              put("/api/v1/telescope/0/halt", "{\"Rate\":0}", "application/json"),
              put("/management/apiversions", ""), get("/management/v1/nothing")}) {
            const Reply r = s.ask(bad);
            QVERIFY2(r.status == 400 && !r.body.isEmpty() && !r.body.startsWith('{'), bad);
        }
        QCOMPARE(s.device.requests.size(), reached);
        // The device's own verdicts: no such member, the wrong verb.
        QCOMPARE(s.ask(get("/api/v1/telescope/0/nothing")).status, 400);
        QCOMPARE(s.ask(get("/api/v1/telescope/0/halt")).body, QByteArray("No such member"));
    }

    void managementAndSetup() {
        Served s;
        const auto value = [&s](const QByteArray& path) {
            const Reply r = s.ask(get(path + "?ClientTransactionID=9"));
            return r.status == 200 && r.json().value("ClientTransactionID").toInt() == 9
                       ? r.json().value("Value")
                       : QJsonValue();
        };
        QCOMPARE(value("/management/apiversions").toArray(), QJsonArray{1});
        QCOMPARE(value("/management/v1/description").toObject().value("ServerName").toString(),
                 "Corvane Control");
        const QJsonObject device =
            value("/management/v1/configureddevices").toArray()[0].toObject();
        QCOMPARE(device.value("DeviceType").toString(), "Telescope");
        QCOMPARE(device.value("DeviceNumber").toInt(), 0);
        QCOMPARE(device.value("UniqueID").toString(), s.device.uniqueId());
        for (const char* path : {"/setup", "/setup/v1/telescope/0/setup"}) {
            const Reply page = s.ask(get(QByteArray(path)));
            QCOMPARE(page.status, 200);
            QVERIFY(page.body.contains(QByteArray::number(s.server.port())));
            QVERIFY(page.body.contains("Mount &lt;&amp;&gt; &quot;one&quot;"));
            QVERIFY(!page.body.contains("<&>"));
        }
        QCOMPARE(s.ask(get("/setup/v1/focuser/0/setup")).status, 404);
    }

    // One client cannot queue more than a few requests for the board; a
    // stop always passes, and another client is not held back.
    void aClientsShareOfTheBoard() {
        Served s;
        QList<std::shared_ptr<QTcpSocket>> slow;
        for (int i = 0; i < AlpacaServer::kMostWaiting; ++i) {
            slow << s.connect();
            slow.last()->write(put("/api/v1/telescope/0/slow", "ClientID=5"));
        }
        QTRY_COMPARE(s.device.waiting.size(), AlpacaServer::kMostWaiting);
        const Reply refused = s.ask(put("/api/v1/telescope/0/slow", "ClientID=5"));
        QCOMPARE(refused.json().value("ErrorNumber").toInt(), int(kAlpacaInvalidOperation));
        QCOMPARE(s.ask(put("/api/v1/telescope/0/halt", "ClientID=5"))
                     .json()
                     .value("ErrorNumber")
                     .toInt(),
                 0);
        const Socket other = s.connect();
        other->write(put("/api/v1/telescope/0/slow", "ClientID=6"));
        QTRY_COMPARE(s.device.waiting.size(), AlpacaServer::kMostWaiting + 1);
        // Answered late, on its own connection; a client gone takes nothing down.
        slow.first()->abort();
        for (const auto& done : std::as_const(s.device.waiting))
            done(AlpacaReply::ok(true));
        QCOMPARE(readReply(*slow.last()).json().value("Value").toBool(), true);
        const Socket again = s.connect(); // waits again
        again->write(put("/api/v1/telescope/0/slow", "ClientID=5"));
        QTRY_COMPARE(s.device.waiting.size(), AlpacaServer::kMostWaiting + 2);
        QCOMPARE(s.server.clients().last().clientId, quint32(5));
        QCOMPARE(s.server.clients().last().lastMember, QStringLiteral("slow"));
    }

    // At most 32 connections; one that has not sent a whole request within
    // the limit is closed; drops, garbage and keep-alive.
    void connectionBounds() {
        Served s;
        QList<std::shared_ptr<QTcpSocket>> half;
        for (int i = 0; i < 60; ++i) {
            half << s.connect();
            half.last()->write("GET /api/v1/telescope/0/echo HTTP/1.1\r\nHost");
        }
        QTRY_COMPARE(s.server.connectionCount(), AlpacaServer::kMostConnections);
        int open = 0;
        QTest::qWait(100);
        for (const auto& h : std::as_const(half))
            open += h->state() == QAbstractSocket::ConnectedState;
        QCOMPARE(open, AlpacaServer::kMostConnections);
        half.first()->abort(); // a place comes free: taken and answered at once
        QTRY_COMPARE(s.server.connectionCount(), AlpacaServer::kMostConnections - 1);
        QCOMPARE(s.ask(get("/management/apiversions")).status, 200);
        s.clock.advance(AlpacaConnection::kDefaultLimitMs);
        QTRY_COMPARE(s.server.connectionCount(), 0);

        for (int i = 0; i < 1000; ++i) {
            const Socket d = s.connect();
            if (i % 2)
                d->write("GET /api/v1/tele");
            d->abort();
        }
        QRandomGenerator random(11111);
        for (int i = 0; i < 50; ++i) {
            QByteArray junk(random.bounded(1, 600), '\0');
            for (char& c : junk)
                c = char(random.bounded(256));
            const Socket g = s.connect();
            g->write(junk + "\r\n\r\n");
            const Reply r = readReply(*g);
            QVERIFY2(r.status == 400 || r.status == 404, junk.toHex());
        }
        QTRY_COMPARE(s.server.connectionCount(), 0);

        // Keep-alive: three requests on one connection, two sent together.
        const Socket k = s.connect();
        k->write(get("/management/apiversions") + get("/api/v1/telescope/0/echo"));
        QCOMPARE(readReply(*k).status, 200);
        QCOMPARE(readReply(*k).status, 200);
        k->write(get("/setup"));
        QCOMPARE(readReply(*k).status, 200);
        k->write("GET /setup HTTP/1.1\r\nConnection: close\r\n\r\n");
        QCOMPARE(readReply(*k).status, 200);
        QVERIFY(s.closedByServer(*k));
    }

    // "alpacadiscovery1" to the address or its broadcast is answered with
    // the port; anything else is not.
    void discovery() {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        const quint16 port = probe.localPort();
        probe.close();
        FakeClock clock;
        AlpacaServer server(clock);
        server.setDiscoveryPort(port);
        QVERIFY(server.start(QStringLiteral("127.0.0.1"), 0, nullptr));
        QUdpSocket asker;
        QVERIFY(asker.bind(QHostAddress::LocalHost, 0));
        for (const char* to : {"127.0.0.1", "127.255.255.255"}) {
            asker.writeDatagram("something else", QHostAddress(QLatin1String(to)), port);
            asker.writeDatagram("alpacadiscovery1", QHostAddress(QLatin1String(to)), port);
            QTRY_VERIFY(asker.hasPendingDatagrams());
            const QNetworkDatagram answer = asker.receiveDatagram();
            QCOMPARE(QJsonDocument::fromJson(answer.data()).object().value("AlpacaPort").toInt(),
                     int(server.port()));
            QCOMPARE(answer.senderAddress(), QHostAddress(QHostAddress::LocalHost));
            QTest::qWait(50);
            QVERIFY(!asker.hasPendingDatagrams());
        }
    }
};

QTEST_MAIN(TestAlpacaHttp)
#include "test_alpaca_http.moc"
