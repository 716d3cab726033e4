// The simulated board behind port 1 of the program's own serial port seam.
#include "common/FakeClock.h"
#include "link/Channel.h"
#include "link/Ports.h"
#include "sim/SimSerialPort.h"
#include "sim/WireText.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::sim;
using corvane::test::FakeClock;

namespace {

SimOptions unpaced(FaultOptions faults = FaultOptions()) {
    SimOptions o;
    o.pacing = false;
    o.faults = faults;
    return o;
}

bool openPort(SerialPort& port) {
    QString error;
    return port.open(&error);
}

} // namespace

class TestSimPort : public QObject {
    Q_OBJECT

private slots:

    void onlyPortOneHasABoard() {
        FakeClock clock;
        SimSerialPort port(clock, unpaced());
        const ProbeResult probe = probePorts(port);
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(probe.usable[n], n == 1);
        port.setPortNumber(2);
        QString error;
        QVERIFY(!port.open(&error));
        QCOMPARE(error, QStringLiteral("No simulated board on this port."));
        QCOMPARE(port.deviceName(1), QStringLiteral("Simulated Corvane board"));
        QCOMPARE(port.deviceName(2), QString());
        QCOMPARE(port.settingsText(), QStringLiteral("9600,n,8,1"));
    }

    void unpacedRepliesAreThereAtOnce() {
        FakeClock clock;
        SimSerialPort port(clock, unpaced());
        QVERIFY(openPort(port));
        QSignalSpy events(&port, &SerialPort::commEvent);
        port.setThreshold(15);
        port.write("#:GR##:GD#");
        QCOMPARE(port.waitingCount(), 15);
        QTRY_COMPARE_WITH_TIMEOUT(events.count(), 1, 1000);
        QCOMPARE(events.at(0).at(0).toInt(), int(SerialPort::Received));
    }

    void pacedRepliesArriveAsTheLineDeliversThem_data() {
        QTest::addColumn<int>("atMs");
        QTest::addColumn<int>("waiting");
        // Ten characters in take 10.4 ms; the RA reply starts after the 5th
        // (5.2 ms), the DEC reply queues behind it.
        QTest::newRow("6 ms") << 6 << 0;
        QTest::newRow("7 ms") << 7 << 1;
        QTest::newRow("13 ms") << 13 << 7;
        QTest::newRow("14 ms") << 14 << 8;
        QTest::newRow("20 ms") << 20 << 14;
        QTest::newRow("21 ms") << 21 << 15;
    }
    void pacedRepliesArriveAsTheLineDeliversThem() {
        QFETCH(int, atMs);
        QFETCH(int, waiting);
        FakeClock clock;
        SimSerialPort port(clock);
        QVERIFY(openPort(port));
        port.write("#:GR##:GD#");
        clock.now = atMs;
        QCOMPARE(port.waitingCount(), waiting);
    }

    void notificationWaitsForTheAwaitedCount() {
        FakeClock clock;
        SimSerialPort port(clock);
        QVERIFY(openPort(port));
        QSignalSpy events(&port, &SerialPort::commEvent);
        port.setThreshold(15);
        port.write("#:GR##:GD#");
        clock.now = 20;
        QTest::qWait(50);
        QCOMPARE(events.count(), 0);
        clock.now = 21;
        QTRY_COMPARE_WITH_TIMEOUT(events.count(), 1, 1000);
    }

    void channelReadsAPacedReplyInOneReception() {
        // With a fake clock only the settling pause lets time pass: the first
        // character raises the notification, the 20 ms pause brings the rest.
        FakeClock clock;
        SimSerialPort port(clock);
        Channel channel(clock);
        channel.setPort(&port);
        QVERIFY(openPort(port));
        QSignalSpy received(&channel, &Channel::received);
        channel.expect(ReplyFormat::Text, ReplyKind::RawTerminal, 1);
        channel.send(QStringLiteral("#:GV#"));
        clock.now = 7;
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("3.60 CORV#"));
    }

    void channelOnTheSystemClockAsTheProgramRunsIt() {
        SystemClock clock;
        SimSerialPort port(clock);
        Channel channel(clock);
        channel.setPort(&port);
        QVERIFY(openPort(port));
        QSignalSpy received(&channel, &Channel::received);
        channel.getPos();
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 2000);
        const QString reply = received.at(0).at(0).toString();
        QCOMPARE(reply.size(), 15);
        QCOMPARE(reply.toLatin1(),
                 raReply(port.board().mount().ra()) + decReply(port.board().mount().dec()));
        channel.getSettings(true);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 2000);
        QCOMPARE(received.at(1).at(0).toString(),
                 QStringLiteral("0F 20 00 F0 10 01 02 08 09 0B F0 00 84 00 B4 00 8A 00 "));
    }

    void faultsOnTheWayOut_data() {
        QTest::addColumn<int>("drop");
        QTest::addColumn<int>("truncate");
        QTest::addColumn<int>("garble");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray v("3.60 CORV#");
        QTest::newRow("none") << 0 << 0 << 0 << v + v + v;
        QTest::newRow("drop every 2nd") << 2 << 0 << 0 << v + v;
        QTest::newRow("cut every 3rd") << 0 << 3 << 0 << v + v + v.left(5);
        QTest::newRow("garble every 1st") << 0 << 0 << 1
                                          << QByteArray("3.60 \x19ORV#3.60 \x19ORV#"
                                                        "3.60 \x19ORV#");
    }
    void faultsOnTheWayOut() {
        QFETCH(int, drop);
        QFETCH(int, truncate);
        QFETCH(int, garble);
        QFETCH(QByteArray, expected);
        FaultOptions f;
        f.dropEvery = drop;
        f.truncateEvery = truncate;
        f.garbleEvery = garble;
        FakeClock clock;
        SimSerialPort port(clock, unpaced(f));
        QVERIFY(openPort(port));
        for (int i = 0; i < 3; ++i)
            port.write("#:GV#");
        QCOMPARE(port.readAll(), expected);
    }

    void delayedRepliesComeLate() {
        FaultOptions f;
        f.delayMs = 50;
        FakeClock clock;
        SimSerialPort port(clock, unpaced(f));
        QVERIFY(openPort(port));
        port.write("#:GV#");
        clock.now = 49;
        QCOMPARE(port.waitingCount(), 0);
        clock.now = 50;
        QCOMPARE(port.waitingCount(), 10);
        port.line().faults().delayNext(500); // one reply held back further
        port.write("#:GV#");
        clock.now = 549;
        QCOMPARE(port.waitingCount(), 10);
        clock.now = 600;
        QCOMPARE(port.waitingCount(), 20);
    }

    void vanishingAdapterClosesThePortAndReportsIt() {
        FaultOptions f;
        f.vanishAfter = 1;
        FakeClock clock;
        SimSerialPort port(clock, unpaced(f));
        QVERIFY(openPort(port));
        QSignalSpy events(&port, &SerialPort::commEvent);
        port.write("#:Sr 01:00.0#");
        QCOMPARE(port.readAll(), QByteArray("1")); // the reply got out first
        clock.now = 200;
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QVariantList{int(SerialPort::Lost)}), 2000);
        QVERIFY(!port.isOpen());
        port.write("#:GV#"); // into nothing
        QString error;
        QVERIFY(!port.open(&error));
        QCOMPARE(error, QStringLiteral("The simulated adapter has been unplugged."));
        port.replug();
        QVERIFY(openPort(port));
        port.write("#:Gr#");
        QCOMPARE(port.readAll(), QByteArray("01:00.0#")); // the board kept its target
    }

    void reopeningStartsWithEmptyBuffersAndTheSameBoard() {
        FakeClock clock;
        SimSerialPort port(clock);
        QVERIFY(openPort(port));
        port.write("#:Sr 07:30.0##:GV#");
        port.close();
        clock.now = 100;
        QVERIFY(openPort(port));
        QCOMPARE(port.waitingCount(), 0); // replies in flight went nowhere
        port.write("#:Gr#");
        clock.now = 200;
        QCOMPARE(port.readAll(), QByteArray("07:30.0#"));
    }

    void logRecordsEveryByteWithItsTime() {
        QTemporaryDir dir;
        SimOptions o = unpaced();
        o.logFile = dir.filePath(QStringLiteral("line.log"));
        FakeClock clock;
        clock.now = 1500;
        auto* port = new SimSerialPort(clock, o);
        QVERIFY(openPort(*port));
        port->line().faults().dropNext();
        port->write("#:GV##:VS#");
        delete port;
        QFile file(o.logFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(0), QByteArray("      1.500000 > #:GV##:VS#"));
        QCOMPARE(lines.value(1), QByteArray("      1.500000 ! dropped 3.60 CORV#"));
        QCOMPARE(lines.value(2), QByteArray("      1.500000 < \\x00\\x03\\x00\\x00\\x00\\x80/"
                                            "\\xD1\\x00\\x03"));
    }

    void optionsAsGivenOnTheCommandLine_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::newRow("none") << "" << true;
        QTest::newRow("all") << "--firmware 3.20 --no-pacing --speedup 600 --log x.log "
                                "--drop-every 3 --truncate-every 4 --garble-every 5 "
                                "--delay-ms 100 --vanish-after 7"
                             << true;
        QTest::newRow("bad firmware") << "--firmware abc" << false;
        QTest::newRow("zero speed-up") << "--speedup 0" << false;
        QTest::newRow("negative count") << "--drop-every -1" << false;
        QTest::newRow("unknown option") << "--fast" << false;
        QTest::newRow("stray argument") << "3.60" << false;
    }
    void optionsAsGivenOnTheCommandLine() {
        QFETCH(QString, arguments);
        QFETCH(bool, ok);
        SimOptions o;
        QString error;
        const QStringList args = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(parseSimOptions(args, &o, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (arguments.startsWith(QStringLiteral("--firmware 3.20"))) {
            QCOMPARE(o.firmware, 3.20);
            QVERIFY(!o.pacing);
            QCOMPARE(o.speedup, 600.0);
            QCOMPARE(o.logFile, QStringLiteral("x.log"));
            QCOMPARE(o.faults.dropEvery, 3);
            QCOMPARE(o.faults.truncateEvery, 4);
            QCOMPARE(o.faults.garbleEvery, 5);
            QCOMPARE(o.faults.delayMs, 100);
            QCOMPARE(o.faults.vanishAfter, 7);
        }
        FakeClock clock;
        std::unique_ptr<SimSerialPort> port(SimSerialPort::create(clock, args, &error));
        QCOMPARE(port != nullptr, ok);
    }
};

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_sim_port.moc"
