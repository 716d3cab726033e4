// The simulated board where the program's tests rely on it, and behind port 1
// of the program's serial port seam as the simulator's options set it up.
#include "common/FakeClock.h"
#include "controller/Firmware.h"
#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"
#include "sim/SimSerialPort.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::sim;
using corvane::test::FakeClock;

namespace {

// A board at 2000-01-01 12:00 UT (sidereal time 18.697374558 h).
BoardConfig boardAt(double firmware) {
    BoardConfig c;
    c.firmware = firmware;
    c.utcMsAtStart = 946728000000LL;
    return c;
}

// Sends a stream to the board at one moment; returns all replies joined.
QByteArray run(CorvaneBoard& board, const QByteArray& stream, qint64 atMs = -1) {
    CommandTokenizer t;
    QByteArray replies;
    for (const BoardCommand& c : t.feed(stream))
        replies += board.execute(c, atMs < 0 ? board.nowMs() : atMs);
    return replies;
}

// A reply as hex pairs ("50 0F 20"); the settings dump as the firmware gives it.
QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
QString dump(CorvaneBoard& board) {
    return hex(run(board, board.splitDump() ? "#<:VX##>:VX#" : "#:VX#"));
}

// A board fresh from setup, in both dump layouts.
const QByteArray kWorkedExample16 = QByteArray::fromHex("500F2000F010010208090BF00084B48A");
const QByteArray kDefault18 = QByteArray::fromHex("0F2000F010010208090BF0008400B4008A00");

// The port as these options build it, opened; null when either fails.
std::unique_ptr<SimSerialPort> openedPort(Clock& clock, const QString& options = {}) {
    QString error;
    std::unique_ptr<SimSerialPort> port(
        SimSerialPort::create(clock, options.split(' ', Qt::SkipEmptyParts), &error));
    if (port && !port->open(&error))
        port.reset();
    return port;
}

} // namespace

class TestSimBoard : public QObject {
    Q_OBJECT
private slots:
    // The abilities its version gives, tracking correction in the state reply.
    void versionReplyAgreesWithWhatTheBoardCanDo() {
        for (const double firmware : {3.20, 3.49, 3.50, 3.56, 3.57, 3.58, 3.59, 3.60}) {
            CorvaneBoard board(boardAt(firmware));
            const QByteArray reply = run(board, "#:GV#");
            QCOMPARE(reply.size(), 10);
            const VersionInfo info = parseVersionReply(QString::fromLatin1(reply));
            QCOMPARE(info.version, static_cast<float>(firmware));
            QCOMPARE(board.splitDump(), info.splitSettingsDump);
            QCOMPARE(board.touchUp(), info.pecTouchUp);
            QCOMPARE(board.hasTrackingCorrection(), info.tarvixEnabled);
            QCOMPARE(dump(board).size(), info.splitSettingsDump ? 53 : 47);
            QCOMPARE(hex(run(board, "#>I#:VS#")),
                     "00 03 00 00 00 80 2F D1 0" + QString::number(info.tarvixEnabled) + " 03");
        }
    }

    // Every field set otherwise, then back as the program sends them: the dumps byte
    // for byte. A store keeps what power-up restores; the rest is gone.
    void dumpsAndStore() {
        CorvaneBoard board(boardAt(3.50));
        run(board, "#100d#0m#261b#1M#7B#>G#0:Ss0##0:Ss1##0:Ss2##<X#>x#-1T##100g#90W#99w");
        QCOMPARE(dump(board), QStringLiteral("64 00 05 01 0F 07 00 01 07 07 07 0F FF 64 5A 63"));
        run(board, "#80d#1m#32b#-1M#272B#<-G#1:Ss0##2:Ss1##4:Ss2##>X#<x#0T##132g#180W#138w");
        QCOMPARE(dump(board), hex(kWorkedExample16));

        CorvaneBoard split(boardAt(3.60));
        QCOMPARE(hex(run(split, "#<:VX#")) + ' ' + hex(run(split, "#>:VX#")), hex(kDefault18));
        run(split, "#500w#360W#400g#>x#<X#2T#1:Ss2##3:Ss1##5:Ss0##<G#1000B#0M#300b#-1m");
        QCOMPARE(dump(split),
                 QStringLiteral("F0 2C 01 00 E8 03 03 0C 0A 08 0F 02 90 01 68 01 F4 01"));
        split.powerCycle(); // never stored
        QCOMPARE(dump(split), hex(kDefault18));
        run(split, "#<G#-1T##144gY");
        QVERIFY(split.stored() == split.working());
        run(split, "#>G"); // working only
        split.powerCycle();
        QCOMPARE(dump(split),
                 QStringLiteral("0F 20 00 F0 10 01 03 08 09 0B F0 FF 90 00 B4 00 8A 00"));
    }

    // Table and factor last only once stored.
    void pecTable() {
        CorvaneBoard board(boardAt(3.60));
        const auto factor = [&board] { return int(uchar(run(board, "#:VS#").at(9))); };
        const QByteArray reads("#0:VR##1:VR##255:VR#");
        const QByteArray factory = run(board, reads);
        run(board, "#0p##10p#9p##0:XR1##1:XR2##255:XR3##256:XR1##0:XR12##-1:XR1#");
        QCOMPARE(run(board, reads) + QByteArray::number(factor()), QByteArray("1239"));
        board.powerCycle();
        QCOMPARE(run(board, reads) + QByteArray::number(factor()), factory + "3");
        run(board, "#7p##0:XR1##1:XR2##255:XR3##:XYR#Y");
        board.powerCycle();
        QCOMPARE(run(board, reads) + QByteArray::number(factor()), QByteArray("1237"));
    }

    // Unpaced, the replies are there at once as the faults make them; late ones late.
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
            const auto port = openedPort(clock, QStringLiteral("--no-pacing ") + options);
            QVERIFY(port);
            port->write("#:GV##:GV##:GV#");
            QCOMPARE(port->readAll(), expected);
        }
        FakeClock clock;
        const auto port = openedPort(clock, "--no-pacing --delay-ms 50");
        const auto waitingAt = [&](qint64 ms) {
            clock.now = ms;
            return port->waitingCount();
        };
        port->write("#:GV#");
        QCOMPARE(QVector<int>({waitingAt(49), waitingAt(50)}), QVector<int>({0, 10}));
        port->line().faults().delayNext(500); // one reply held back further
        port->write("#:GV#");
        QCOMPARE(QVector<int>({waitingAt(549), waitingAt(600)}), QVector<int>({10, 20}));
    }

    // A vanishing adapter closes the port and says so; the board keeps its target.
    void aVanishingAdapter() {
        FakeClock clock;
        const auto port = openedPort(clock, "--no-pacing --vanish-after 1");
        QSignalSpy events(port.get(), &SerialPort::commEvent);
        port->write("#:Sr 01:00.0#");
        QCOMPARE(port->readAll(), QByteArray("1")); // the reply got out first
        clock.now = 200;
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QVariantList{int(SerialPort::Lost)}), 20000);
        QVERIFY(!port->isOpen());
        port->write("#:GV#"); // into nothing
        QVERIFY(!port->open(nullptr));
        port->replug();
        QVERIFY(port->open(nullptr));
        port->write("#:Gr#");
        QCOMPARE(port->readAll(), QByteArray("01:00.0#"));
    }
};

QTEST_GUILESS_MAIN(TestSimBoard)
#include "test_sim_board.moc"
