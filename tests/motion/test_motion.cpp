#include "motion/Motion.h"

#include <QtTest>

using namespace corvane;

Q_DECLARE_METATYPE(corvane::Direction)

class TestMotion : public QObject {
    Q_OBJECT
private slots:
    void pulseTimeIsAWholeNumberOfMilliseconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms"); // -1: refused
        QTest::newRow("start text") << "0000" << 0;
        QTest::newRow("leading zeros") << "0500" << 500;
        QTest::newRow("plain") << "250" << 250;
        QTest::newRow("blanks around") << " 250 " << 250;
        QTest::newRow("longest") << "65535" << 65535;
        QTest::newRow("one too long") << "65536" << -1;
        QTest::newRow("far too long") << "99999999999" << -1;
        QTest::newRow("negative") << "-5" << -1;
        QTest::newRow("plus sign") << "+5" << -1;
        QTest::newRow("fraction") << "12.5" << -1;
        QTest::newRow("unit after") << "250ms" << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "   " << -1;
    }
    void pulseTimeIsAWholeNumberOfMilliseconds() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        const std::optional<int> got = pulseMilliseconds(text);
        QCOMPARE(got.has_value(), ms >= 0);
        if (got)
            QCOMPARE(*got, ms);
    }

    void eachDirectionHasItsCommandsAndCaptions_data() {
        QTest::addColumn<Direction>("d");
        QTest::addColumn<QString>("stopOpposite");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("moving");
        QTest::addColumn<QString>("pulse");
        QTest::newRow("north") << Direction::North << "#:Qs#"
                               << "#:Mn#"
                               << "#:Qn#"
                               << "Moving N"
                               << "#:Mgn250#";
        QTest::newRow("south") << Direction::South << "#:Qn#"
                               << "#:Ms#"
                               << "#:Qs#"
                               << "Moving N"
                               << "#:Mgs250#";
        // West has no blank in its moving caption.
        QTest::newRow("west") << Direction::West << "#:Qe#"
                              << "#:Mw#"
                              << "#:Qw#"
                              << "MovingN"
                              << "#:Mgw250#";
        QTest::newRow("east") << Direction::East << "#:Qw#"
                              << "#:Me#"
                              << "#:Qe#"
                              << "Moving N"
                              << "#:Mge250#";
    }
    void eachDirectionHasItsCommandsAndCaptions() {
        QFETCH(Direction, d);
        QFETCH(QString, stopOpposite);
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, moving);
        QFETCH(QString, pulse);
        const MoveButtonInfo& info = moveButtonInfo(d);
        QCOMPARE(QLatin1String(info.stopOpposite), stopOpposite);
        QCOMPARE(QLatin1String(info.start), start);
        QCOMPARE(QLatin1String(info.stop), stop);
        QCOMPARE(movingCaption(d, QStringLiteral("N")), moving);
        QCOMPARE(pulseCommand(d, 250), pulse);
        // The opposite of the opposite is the direction itself.
        QCOMPARE(moveButtonInfo(info.opposite).opposite, d);
    }

    void idleCaptionsAreTheAxisLetters_data() {
        QTest::addColumn<Direction>("d");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("idle");
        QTest::newRow("N on north") << Direction::North << "N" << true;
        QTest::newRow("swapped S on north") << Direction::North << "S" << true;
        QTest::newRow("E on north") << Direction::North << "E" << false;
        QTest::newRow("moving north") << Direction::North << "Moving N" << false;
        QTest::newRow("W on east") << Direction::East << "W" << true;
        QTest::newRow("N on west") << Direction::West << "N" << false;
        QTest::newRow("MovingW") << Direction::West << "MovingW" << false;
    }
    void idleCaptionsAreTheAxisLetters() {
        QFETCH(Direction, d);
        QFETCH(QString, caption);
        QFETCH(bool, idle);
        QCOMPARE(isIdleCaption(d, caption), idle);
    }

    void swappingExchangesTheLettersOfOneAxis() {
        DirectionLetters letters;
        letters.swapNS(true);
        QCOMPARE(letters.of(Direction::North), QStringLiteral("S"));
        QCOMPARE(letters.of(Direction::South), QStringLiteral("N"));
        QCOMPARE(letters.of(Direction::West), QStringLiteral("W"));
        letters.swapEW(true);
        letters.swapNS(false);
        QCOMPARE(letters.of(Direction::North), QStringLiteral("N"));
        QCOMPARE(letters.of(Direction::West), QStringLiteral("E"));
        QCOMPARE(letters.of(Direction::East), QStringLiteral("W"));
    }

    void ratesAndTrackingCorrection() {
        QCOMPARE(rateCommand(0), QStringLiteral("#:RG#"));
        QCOMPARE(rateCommand(1), QStringLiteral("#:RM#"));
        QCOMPARE(rateCommand(2), QStringLiteral("#:RS#"));
        QVERIFY(rateCommand(3).isEmpty());
        QVERIFY(rateCommand(-1).isEmpty());
        const TarvixStep on = tarvixStep(QStringLiteral("Enable Tarvix"));
        QCOMPARE(on.command, QStringLiteral("#>I"));
        QCOMPARE(on.nextCaption, QStringLiteral("Disable Tarvix"));
        const TarvixStep off = tarvixStep(on.nextCaption);
        QCOMPARE(off.command, QStringLiteral("#<I"));
        QCOMPARE(off.nextCaption, QStringLiteral("Enable Tarvix"));
    }
};

QTEST_GUILESS_MAIN(TestMotion)
#include "test_motion.moc"
