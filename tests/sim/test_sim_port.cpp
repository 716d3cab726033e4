// The simulated board behind port 1 of the program's own serial port seam,
// set up from the simulator's command-line options.
#include "common/FakeClock.h"
#include "link/Channel.h"
#include "sim/SimSerialPort.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::sim;
using corvane::test::FakeClock;

namespace {

bool openPort(SerialPort& port) {
    QString error;
    return port.open(&error);
}

// The port as these options build it, opened; null when either fails.
std::unique_ptr<SimSerialPort> openedPort(Clock& clock, const QStringList& options = {}) {
    QString error;
    std::unique_ptr<SimSerialPort> port(SimSerialPort::create(clock, options, &error));
    if (port && !openPort(*port))
        port.reset();
    return port;
}

QStringList words(const QString& text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class TestSimPort : public QObject {
    Q_OBJECT

private slots:

    // Ten characters in take 10.4 ms; the RA reply starts after the 5th
    // (5.2 ms), the DEC reply queues behind it. The notification waits for
    // all 15.
    void pacedRepliesArriveAsTheLineDeliversThem_data() {
        QTest::addColumn<int>("atMs");
        QTest::addColumn<int>("waiting");
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
        const auto port = openedPort(clock);
        QVERIFY(port);
        QSignalSpy events(port.get(), &SerialPort::commEvent);
        port->setThreshold(15);
        port->write("#:GR##:GD#");
        clock.now = atMs;
        QTest::qWait(50);
        QCOMPARE(events.count(), waiting / 15);
        QVERIFY(events.isEmpty() || events.at(0).at(0).toInt() == int(SerialPort::Received));
        QCOMPARE(port->waitingCount(), waiting);
    }

    void channelReadsAPacedReplyInOneReception() {
        // With a fake clock only the settling pause lets time pass: the first
        // character raises the notification, the 20 ms pause brings the rest.
        FakeClock clock;
        const auto port = openedPort(clock);
        QVERIFY(port);
        Channel channel(clock);
        channel.setPort(port.get());
        QSignalSpy received(&channel, &Channel::received);
        channel.expect(ReplyFormat::Text, ReplyKind::RawTerminal, 1);
        channel.send(QStringLiteral("#:GV#"));
        clock.now = 7;
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("3.60 CORV#"));
    }

    void splitDumpOnTheSystemClockAsTheProgramRunsIt() {
        SystemClock clock;
        const auto port = openedPort(clock);
        QVERIFY(port);
        Channel channel(clock);
        channel.setPort(port.get());
        QSignalSpy received(&channel, &Channel::received);
        channel.getSettings(true);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 2000);
        QCOMPARE(received.at(0).at(0).toString(),
                 QStringLiteral("0F 20 00 F0 10 01 02 08 09 0B F0 00 84 00 B4 00 8A 00 "));
    }

    // Three version queries, unpaced: the replies are there at once.
    void faultsOnTheWayOut_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray v("3.60 CORV#");
        QTest::newRow("none") << "" << v + v + v;
        QTest::newRow("firmware") << "--firmware 3.20" << QByteArray("3.20 CORV#").repeated(3);
        QTest::newRow("drop every 2nd") << "--drop-every 2" << v + v;
        QTest::newRow("cut every 3rd") << "--truncate-every 3" << v + v + v.left(5);
        QTest::newRow("garble every 1st")
            << "--garble-every 1" << QByteArray("3.60 \x19ORV#").repeated(3);
    }
    void faultsOnTheWayOut() {
        QFETCH(QString, options);
        FakeClock clock;
        const auto port = openedPort(clock, words("--no-pacing " + options));
        QVERIFY(port);
        port->write("#:GV##:GV##:GV#");
        QTEST(port->readAll(), "expected");
    }

    void delayedRepliesComeLate() {
        FakeClock clock;
        const auto port = openedPort(clock, words("--no-pacing --delay-ms 50"));
        QVERIFY(port);
        port->write("#:GV#");
        clock.now = 49;
        QCOMPARE(port->waitingCount(), 0);
        clock.now = 50;
        QCOMPARE(port->waitingCount(), 10);
        port->line().faults().delayNext(500); // one reply held back further
        port->write("#:GV#");
        clock.now = 549;
        QCOMPARE(port->waitingCount(), 10);
        clock.now = 600;
        QCOMPARE(port->waitingCount(), 20);
    }

    void vanishingAdapterClosesThePortAndReportsIt() {
        FakeClock clock;
        const auto port = openedPort(clock, words("--no-pacing --vanish-after 1"));
        QVERIFY(port);
        QSignalSpy events(port.get(), &SerialPort::commEvent);
        port->write("#:Sr 01:00.0#");
        QCOMPARE(port->readAll(), QByteArray("1")); // the reply got out first
        clock.now = 200;
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QVariantList{int(SerialPort::Lost)}), 2000);
        QVERIFY(!port->isOpen());
        port->write("#:GV#"); // into nothing
        QVERIFY(!openPort(*port));
        port->replug();
        QVERIFY(openPort(*port));
        port->write("#:Gr#");
        QCOMPARE(port->readAll(), QByteArray("01:00.0#")); // the board kept its target
    }

    void reopeningStartsWithEmptyBuffersAndTheSameBoard() {
        FakeClock clock;
        const auto port = openedPort(clock);
        QVERIFY(port);
        port->write("#:Sr 07:30.0##:GV#");
        port->close();
        clock.now = 100;
        QVERIFY(openPort(*port));
        QCOMPARE(port->waitingCount(), 0); // replies in flight went nowhere
        port->write("#:Gr#");
        clock.now = 200;
        QCOMPARE(port->readAll(), QByteArray("07:30.0#"));
    }

    void logRecordsEveryByteWithItsTime() {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("line.log"));
        FakeClock clock;
        clock.now = 1500;
        auto port =
            openedPort(clock, {QStringLiteral("--no-pacing"), QStringLiteral("--log"), log});
        QVERIFY(port);
        port->line().faults().dropNext();
        port->write("#:GV##:VS#");
        port.reset();
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("      1.500000 > #:GV##:VS#\n"
                                            "      1.500000 ! dropped 3.60 CORV#\n"
                                            "      1.500000 < \\x00\\x03\\x00\\x00\\x00\\x80/"
                                            "\\xD1\\x00\\x03\n"));
    }

    void speedupAsGiven() {
        FakeClock clock;
        const auto port = openedPort(clock, words("--speedup 600"));
        QVERIFY(port);
        QCOMPARE(port->board().mount().speedup(), 600.0);
    }

    void badOptionsAreRefused_data() {
        QTest::addColumn<QString>("arguments");
        QTest::newRow("bad firmware") << "--firmware abc";
        QTest::newRow("zero speed-up") << "--speedup 0";
        QTest::newRow("negative count") << "--drop-every -1";
        QTest::newRow("unknown option") << "--fast";
        QTest::newRow("stray argument") << "3.60";
    }
    void badOptionsAreRefused() {
        QFETCH(QString, arguments);
        SimOptions o;
        QString error;
        QVERIFY(!parseSimOptions(words(arguments), &o, &error));
        QVERIFY(!error.isEmpty());
        FakeClock clock;
        QVERIFY(!std::unique_ptr<SimSerialPort>(
            SimSerialPort::create(clock, words(arguments), &error)));
    }
};

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_sim_port.moc"
