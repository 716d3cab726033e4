// The simulated mount: slews, hand moves, guide pulses, search, tracking.
#include "SimTestHelpers.h"

#include <QtTest>

using namespace corvane::sim;
using namespace corvane::sim::test;

namespace {

// Runs the board in steps of 50 ms until the slew ends; returns when.
qint64 slewEnd(CorvaneBoard& board) {
    while (board.mount().isSlewing() && board.nowMs() < 400000)
        board.advanceTo(board.nowMs() + 50);
    return board.mount().isSlewing() ? -1 : board.nowMs();
}

bool near(double a, double b, double tolerance = 1e-6) {
    return qAbs(a - b) <= tolerance;
}

} // namespace

class TestSimMotion : public QObject {
    Q_OBJECT
private slots:
    // Right ascension outlasts declination in each: the slew takes as long
    // as its hours take at the goto speed times 60, the short way round.
    void slewEndsAtTheTargetInTheTimeItsSpeedGives() {
        const char* closeBy = "#:Sr 05:00.0##:Sd +20*00#";
        const std::tuple<const char*, double, double, double, const char*, double> cases[] = {
            {"", 27, 0, -80, "#:Sr 12:00.0##:Sd +80*00#", 12}, // across the sky
            {"", 27, 23, 0, "#:Sr 01:00.0##:Sd +00*00#", 2},   // through 0 h
            {"#0:Ss2#", 4, 2, 10, closeBy, 3},
            {"#2:Ss2#", 16, 2, 10, closeBy, 3},
            {"#5:Ss2#", 40, 2, 10, closeBy, 3}};
        for (const auto& [speed, speedX, fromRa, fromDec, target, hours] : cases) {
            CorvaneBoard board(boardAt(3.60, 60.0));
            board.mount().setPosition(fromRa, fromDec);
            QCOMPARE(run(board, QByteArray(speed) + target + "#:MS#"), QByteArray("110"));
            QCOMPARE(run(board, ":D#"), QByteArray("\x7f#"));
            const double expectedMs = hours / (speedX * 60.0 / 3600.0) * 1000.0;
            const qint64 end = slewEnd(board);
            QVERIFY2(qAbs(end - expectedMs) <= 50, qPrintable(QString::number(end)));
            QCOMPARE(run(board, "#:Gr##:Gd#"), run(board, "#:GR##:GD#"));
            QCOMPARE(run(board, ":D#"), QByteArray("#"));
        }
    }

    void handMovesRunUntilStoppedOrAtThePole() {
        CorvaneBoard board(boardAt(3.60));
        board.mount().setPosition(6.0, 0.0);
        run(board, "#:RS##:Mn#", 0); // 16X paddle: 4 degrees a second at speed-up 60
        board.advanceTo(10000);
        QVERIFY(near(board.mount().dec(), 40.0));
        run(board, "#:Qn#");
        board.advanceTo(20000);
        QVERIFY(near(board.mount().dec(), 40.0));

        run(board, "#:RG##:Me##:Ms#"); // guide rate 1.67X: 100X after speed-up
        board.advanceTo(56000);
        QVERIFY(near(board.mount().ra(), 7.0));
        QVERIFY(near(board.mount().dec(), 40.0 - 15.0));
        run(board, "#:Q#");
        QVERIFY(!board.mount().isBusy());

        run(board, "#:RS##:Mn#"); // 80 degrees north from +25: held at the pole
        board.advanceTo(76000);
        QCOMPARE(board.mount().dec(), 90.0);
        QCOMPARE(run(board, "#:GD#"), QByteArray("+90*00#"));
    }

    // 500 ms at 1.67X times 60: 50 seconds of right ascension, 12.5'; none
    // for no time or one too long.
    void guidePulsesAreTimedByTheBoard() {
        const std::tuple<const char*, double, double> cases[] = {{"#:Mgn500#", 0, 12.5 / 60},
                                                                 {"#:Mgs500#", 0, -12.5 / 60},
                                                                 {"#:Mge500#", 50.0 / 3600, 0},
                                                                 {"#:Mgw500#", -50.0 / 3600, 0},
                                                                 {"#:Mgn0#", 0, 0},
                                                                 {"#:Mgn70000#", 0, 0}};
        for (const auto& [pulse, dRaHours, dDecDegrees] : cases) {
            CorvaneBoard board(boardAt(3.60));
            board.mount().setPosition(6.0, 10.0);
            run(board, pulse, 0);
            board.advanceTo(3000);
            QVERIFY2(near(board.mount().ra(), 6.0 + dRaHours), pulse);
            QVERIFY2(near(board.mount().dec(), 10.0 + dDecDegrees), pulse);
            QCOMPARE(board.mount().pulsesRunning(), 0);
        }
    }

    // Stopped by the end of the search or by stop all.
    void searchSpiralsUntilStopped() {
        for (const char* stop : {"#:Mn:Q#", "#:Q#"}) {
            CorvaneBoard board(boardAt(3.60, 1.0));
            board.mount().setPosition(6.0, 0.0);
            run(board, "#:Q#F", 0); // 8X paddle: 2' a second
            // First leg east half a degree (15 s), then north half a degree.
            board.advanceTo(15000);
            QVERIFY(near(board.mount().ra(), 6.0 + 0.5 / 15));
            board.advanceTo(30000);
            QVERIFY(near(board.mount().dec(), 0.5));
            board.advanceTo(60000); // then west a whole degree (30 s)
            QVERIFY(near(board.mount().ra(), 6.0 - 0.5 / 15));
            run(board, stop);
            const double ra = board.mount().ra();
            const double dec = board.mount().dec();
            board.advanceTo(120000);
            QVERIFY(near(board.mount().ra(), ra) && near(board.mount().dec(), dec));
        }
    }
};

QTEST_GUILESS_MAIN(TestSimMotion)
#include "test_sim_motion.moc"
