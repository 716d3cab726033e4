// corvane-sim behind a TCP port (as behind a serial-to-network bridge),
// reached through the program's real port.
#include "link/ControllerInfo.h"

#include "common/Clock.h"
#include "common/SimProcess.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"
#include "pec/PecTable.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

// The program's port and channel on a simulator's line.
struct Client {
    SystemClock clock;
    QtSerialPort port;
    Channel channel{clock};
    QSignalSpy received{&channel, &Channel::received};
    QSignalSpy lost{&channel, &Channel::lost};

    explicit Client(const SimProcess& sim) : port(sim.directory()) {
        channel.setPort(&port);
        channel.armDispatch();
    }
    ~Client() { channel.setPort(nullptr); }
    // Opens the port and asks for the version; its answer, or empty.
    QString version() {
        const int before = received.count();
        if (!port.isOpen() && !port.open(nullptr))
            return QString();
        channel.request(versionQuery());
        if (!QTest::qWaitFor([&] { return received.count() > before; }, 3000))
            return QString();
        return received.last().at(0).toString();
    }
};

// The version query and the whole PEC table read back through a simulator
// started with these arguments; returns the traffic its log saw.
QStringList readTable(const QStringList& arguments, const QString& log) {
    SimProcess sim(arguments + QStringList{QStringLiteral("--log"), log});
    Client client(sim);
    QString table;
    client.channel.dispatcher().subscribe(kPecTableKind, &client.channel,
                                          [&](const QByteArray& reply) { table = reply; });
    if (client.version().isEmpty() || !client.channel.run(pecReadoutSequence(client.channel)) ||
        !QTest::qWaitFor([&] { return table.size() == kPecSteps; }, 5000))
        return {};
    client.port.close();
    sim.stopWith(SIGTERM);
    return SimProcess::traffic(log);
}

} // namespace

class TestSimTcp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(simulatorPath()), qPrintable(simulatorPath())); }

    // The same queries get the same bytes back, in the same replies, over
    // TCP as over the pseudo-terminal: 256 PEC queries arrive whole.
    void tcpCarriesTheLineAsThePseudoTerminalDoes() {
        QTemporaryDir dir;
        const QStringList overTcp =
            readTable({QStringLiteral("--tcp"), QStringLiteral("0")}, dir.filePath("tcp.log"));
        const QStringList overPty = readTable({}, dir.filePath("pty.log"));
        QVERIFY(!overTcp.isEmpty());
        QCOMPARE(overTcp, overPty);
        QCOMPARE(overTcp.mid(0, 2), QStringList({"> #:GV#", "< 3.60 CORV#"}));
        QVERIFY(overTcp.at(2).startsWith(QLatin1String("> #0:VR##1:VR#")));
        QVERIFY(overTcp.at(2).endsWith(QLatin1String("#255:VR#")));
        QCOMPARE(overTcp.size(), 4);
        QCOMPARE(overTcp.at(3).size(), 2 + kPecSteps);
    }

    // One client at a time; the bridge losing power is Lost; a bridge back
    // on the same port is the same line and opens again.
    void bridgeLosingPowerIsLostAndComesBack() {
        SimProcess first({QStringLiteral("--tcp"), QStringLiteral("0"),
                          QStringLiteral("--vanish-after"), QStringLiteral("2")});
        QVERIFY2(first.tcpPort() != 0, qPrintable(first.device));
        Client client(first);
        QCOMPARE(client.version(), QStringLiteral("3.60 CORV#"));
        const QString identity = client.port.lineIdentity();
        QCOMPARE(identity, first.device);

        Client other(first);
        QVERIFY(other.port.open(nullptr)); // the system accepts; the bridge hangs up
        QTRY_COMPARE_WITH_TIMEOUT(other.lost.count(), 1, 2000);

        QCOMPARE(client.version(), QStringLiteral("3.60 CORV#"));
        QTRY_COMPARE_WITH_TIMEOUT(client.lost.count(), 1, 3000);
        QVERIFY(!client.port.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(first.process.state(), QProcess::NotRunning, 3000);
        QCOMPARE(first.process.exitCode(), 0);
        QString error;
        QVERIFY(!client.port.open(&error));
        QCOMPARE(error, QStringLiteral("Connection refused"));

        SimProcess again({QStringLiteral("--tcp"), QString::number(first.tcpPort())});
        QCOMPARE(again.device, first.device);
        client.port.rescan();
        QCOMPARE(client.port.lineIdentity(), identity);
        QCOMPARE(client.version(), QStringLiteral("3.60 CORV#"));
        QCOMPARE(client.lost.count(), 1);
    }
};

QTEST_MAIN(TestSimTcp)
#include "test_sim_tcp.moc"
