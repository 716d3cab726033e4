// The real port on a line over TCP, against a bridge played by a server in
// this process.
#include "motion/MountPosition.h"

#include "common/Clock.h"
#include "link/Channel.h"
#include "link/NetworkAddress.h"
#include "link/Ports.h"
#include "link/QtSerialPort.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace corvane;

namespace {

PortDirectory boundTo(const QString& address) {
    PortDirectory dir = PortDirectory::fromDevices({}, {}, false);
    dir.bind(1, address);
    return dir;
}

// The bridge: a listening server, the program's port bound to it, and the
// bridge's side of the connection once the port has opened.
struct Bridge {
    QTcpServer server;
    QString address;
    std::unique_ptr<QtSerialPort> port;
    QTcpSocket* far = nullptr;

    Bridge() {
        server.listen(QHostAddress::LocalHost, 0);
        address = networkAddressText(QStringLiteral("127.0.0.1"), server.serverPort());
        port = std::make_unique<QtSerialPort>(boundTo(address));
    }
    bool open() {
        QString error;
        if (!port->open(&error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        if (!server.hasPendingConnections() && !server.waitForNewConnection(2000))
            return false;
        far = server.nextPendingConnection();
        far->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }
    QByteArray farReads(int count) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < count && t.elapsed() < 3000) {
            QCoreApplication::processEvents();
            far->waitForReadyRead(5);
            got += far->readAll();
        }
        return got;
    }
};

// A port on which a connection is never answered: a listening socket whose
// queue is full, so the system drops further connection requests.
struct Unanswered {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::vector<int> queued;
    quint16 port = 0;

    Unanswered() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(fd, 0) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            return;
        port = ntohs(a.sin_port);
        for (int i = 0; i < 4; ++i) {
            queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            [[maybe_unused]] int r =
                ::connect(queued.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
        QTest::qWait(100);
    }
    ~Unanswered() {
        for (int q : queued)
            ::close(q);
        ::close(fd);
    }
};

} // namespace

class TestNetworkLine : public QObject {
    Q_OBJECT
private slots:
    // Listed without a connection; once open, all 256 byte values go both
    // ways unchanged and in order, the line reads as its address where a
    // serial line shows its settings, and the bridge hanging up closes the
    // port and is reported once, as Lost.
    void bytesPassUnchangedUntilTheBridgeHangsUp() {
        Bridge bridge;
        const ProbeResult probe = probePorts(*bridge.port);
        QVERIFY(probe.usable[1] && !probe.usable[2]);
        QVERIFY(!bridge.server.waitForNewConnection(100));
        QVERIFY(bridge.open());
        QCOMPARE(QStringList({bridge.port->settingsText(), bridge.port->deviceName(1),
                              bridge.port->lineIdentity()}),
                 QStringList(3, bridge.address));
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all.append(static_cast<char>(c));
        bridge.port->write(all.left(100));
        bridge.port->write(all.mid(100));
        QCOMPARE(bridge.farReads(256), all);
        bridge.far->write(all);
        QTRY_COMPARE_WITH_TIMEOUT(bridge.port->waitingCount(), 256, 2000);
        QCOMPARE(bridge.port->readAll(), all);

        QSignalSpy events(bridge.port.get(), &SerialPort::commEvent);
        bridge.far->close();
        QTRY_COMPARE_WITH_TIMEOUT(events.count(), 1, 2000);
        QCOMPARE(events.at(0).at(0).toInt(), int(SerialPort::Lost));
        QVERIFY(!bridge.port->isOpen());
        QTest::qWait(50);
        QCOMPARE(events.count(), 1);
    }

    // The reply of a query is delivered once, whole, at its threshold,
    // though the bridge passes it on in pieces.
    void replyIsCollectedWholeAtItsThreshold() {
        Bridge bridge;
        QVERIFY(bridge.open());
        SystemClock clock;
        Channel channel(clock);
        channel.setPort(bridge.port.get());
        QSignalSpy spy(&channel, &Channel::received);
        channel.request(positionQuery());
        QCOMPARE(bridge.farReads(10), QByteArray("#:GR##:GD#"));
        bridge.far->write("12:34.5#");
        bridge.far->flush();
        QTRY_COMPARE_WITH_TIMEOUT(bridge.port->waitingCount(), 8, 1000);
        QCOMPARE(spy.count(), 0);
        bridge.far->write("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 2000);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
        channel.setPort(nullptr);
    }

    // Refused, a name no resolver takes, no answer within the limit, a
    // binding that is no address: false at once with the reason. While the
    // port waits for an answer, timers run, and a second open() is refused.
    void failuresSayWhy() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = closed.serverPort();
        closed.close();
        Unanswered silent;
        QVERIFY(silent.port != 0);
        const QString silentAddress = QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port);
        const std::pair<QString, QString> cases[] = {
            {QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort), "Connection refused"},
            // A label longer than 63 characters is never sent to a resolver.
            {QStringLiteral("tcp://%1.invalid:4001").arg(QString(64, QLatin1Char('x'))),
             "Host not found"},
            {silentAddress,
             QStringLiteral("No answer from 127.0.0.1:%1 within 0.4 s").arg(silent.port)},
            {"tcp://bridge:65536", "Bad network address tcp://bridge:65536: the port must be a "
                                   "number from 1 to 65535"}};
        for (const auto& [address, reason] : cases) {
            QtSerialPort port(boundTo(address));
            port.setConnectTimeout(400);
            int ticks = 0;
            QString second;
            QTimer timer;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (++ticks == 1)
                    port.open(&second);
            });
            timer.start(20);
            QElapsedTimer took;
            took.start();
            QString error;
            QVERIFY(!port.open(&error));
            QCOMPARE(error, reason);
            QVERIFY2(took.elapsed() < 1000, qPrintable(address));
            QVERIFY(!port.isOpen());
            if (address == silentAddress) {
                QVERIFY(ticks >= 5);
                QCOMPARE(second, QStringLiteral("A connection is being made already."));
            }
        }
    }

    // What the command line and the directory do not try already.
    void addressesThatDoNotParse() {
        for (const char* text : {"", "tcp://host:65536", "tcp://host:+80", "tcp://::1:4001",
                                 "tcp://[::1:4001", "tcp://[zz]:1", "tcp://300.1.2.3:1",
                                 "tcp://a b:1", "tcp://host:80/x", "rfc2217://host:1"}) {
            QString reason;
            QVERIFY2(!parseNetworkAddress(QLatin1String(text), nullptr, nullptr, &reason), text);
            QVERIFY2(!reason.isEmpty() && !reason.contains(QLatin1Char('\n')), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestNetworkLine)
#include "test_network_line.moc"
