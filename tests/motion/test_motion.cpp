// What the move buttons send and which captions mean "not moving". The
// commands on the wire are checked through the window (guide panel tests and
// the simulated board); here the rules the panel relies on.
#include "motion/Motion.h"

#include <QtTest>

using namespace corvane;

class TestMotion : public QObject {
    Q_OBJECT
private slots:
    // Starting a move stops the opposite direction first, so the two can
    // never run against each other.
    void everyStartStopsTheOppositeDirection() {
        for (Direction d : {Direction::North, Direction::South, Direction::West, Direction::East}) {
            const MoveButtonInfo& info = moveButtonInfo(d);
            QVERIFY(info.opposite != d);
            QCOMPARE(moveButtonInfo(info.opposite).opposite, d);
            QCOMPARE(QLatin1String(info.stopOpposite),
                     QLatin1String(moveButtonInfo(info.opposite).stop));
        }
        // The one pulse the window tests do not send.
        QCOMPARE(pulseCommand(Direction::West, 65535), QStringLiteral("#:Mgw65535#"));
    }

    // Either letter of its axis shows a button idle, whichever way the axis
    // is swapped; a moving caption never does.
    void idleCaptionsAreTheLettersOfTheAxis() {
        QVERIFY(isIdleCaption(Direction::North, QStringLiteral("S")));
        QVERIFY(isIdleCaption(Direction::East, QStringLiteral("W")));
        QVERIFY(!isIdleCaption(Direction::North, movingCaption(Direction::North, "S")));
        QVERIFY(!isIdleCaption(Direction::West, movingCaption(Direction::West, "E")));
    }
};

QTEST_GUILESS_MAIN(TestMotion)
#include "test_motion.moc"
