// The simulated board behind port 1 of the program's own serial port seam,
// set up from the simulator's command-line options.
#include "common/FakeClock.h"
#include "link/Channel.h"
#include "sim/SimSerialPort.h"

#include <QSignalSpy>
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
    void pacedRepliesArriveAsTheLineDeliversThem() {
        QStringList got;
        for (const int atMs : {6, 7, 13, 14, 20, 21}) {
            FakeClock clock;
            const auto port = openedPort(clock);
            QVERIFY(port);
            QSignalSpy events(port.get(), &SerialPort::commEvent);
            port->setThreshold(15);
            port->write("#:GR##:GD#");
            clock.now = atMs;
            QTest::qWait(50);
            QVERIFY(events.isEmpty() || events.at(0).at(0).toInt() == int(SerialPort::Received));
            got << QStringLiteral("%1:%2/%3")
                       .arg(atMs)
                       .arg(port->waitingCount())
                       .arg(events.count());
        }
        QCOMPARE(got.join(' '), QStringLiteral("6:0/0 7:1/0 13:7/0 14:8/0 20:14/0 21:15/1"));
    }

    // Three version queries, unpaced: the replies are there at once.
    void faultsOnTheWayOut() {
        const QByteArray v("3.60 CORV#");
        const std::pair<const char*, QByteArray> cases[] = {
            {"", v + v + v},
            {"--firmware 3.20", QByteArray("3.20 CORV#").repeated(3)},
            {"--drop-every 2", v + v},
            {"--truncate-every 3", v + v + v.left(5)},
            {"--garble-every 1", QByteArray("3.60 \x19ORV#").repeated(3)}};
        for (const auto& [options, expected] : cases) {
            FakeClock clock;
            const auto port = openedPort(clock, words(QStringLiteral("--no-pacing ") + options));
            QVERIFY(port);
            port->write("#:GV##:GV##:GV#");
            QCOMPARE(port->readAll(), expected);
        }
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
};

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_sim_port.moc"
