// The slew-time estimate shown while polling.
#include "motion/TimeToTarget.h"

#include <QtTest>

using namespace corvane;

class TestTargetTime : public QObject {
    Q_OBJECT
private slots:
    void estimate_data() {
        QTest::addColumn<QString>("scopeRA");
        QTest::addColumn<QString>("scopeDEC");
        QTest::addColumn<QStringList>("target"); // hh, mm.m, sdd, mm
        QTest::addColumn<QString>("speed");
        QTest::addColumn<double>("hours");
        QTest::addColumn<QString>("text");
        const QString eq = QStringLiteral("+00\u00B000\"");
        const QStringList zeroDec = {"+00", "00"};

        QTest::newRow("target 23 h, mount 1 h: 2 hours back")
            << "01h00.0m" << eq << QStringList({"23", "00.0"}) + zeroDec << "1" << 2.0 << "120:00";
        QTest::newRow("target 1 h, mount 23 h: 2 hours on")
            << "23h00.0m" << eq << QStringList({"01", "00.0"}) + zeroDec << "1" << 2.0 << "120:00";
        QTest::newRow("12 hours is not wrapped")
            << "00h00.0m" << eq << QStringList({"12", "00.0"}) + zeroDec << "16X" << 0.75
            << "45:00";
        QTest::newRow("one and a half minutes")
            << "12h00.0m" << eq << QStringList({"12", "01.5"}) + zeroDec << "1" << 0.025 << "01:30";
        QTest::newRow("mount tenths are not read")
            << "12h34.9m" << eq << QStringList({"12", "34.0", "+00", "00"}) << "1" << 0.0
            << "00:00";
        QTest::newRow("DEC +10 00 from -10 30")
            << "06h00.0m"
            << "-10\u00B030\"" << QStringList({"06", "00.0", "+10", "00"}) << "1"
            << (20.0 / 15 + 30.0 / 900) << "82:00";
        QTest::newRow("DEC -00 30 is south of +00 00")
            << "06h00.0m" << eq << QStringList({"06", "00.0", "-00", "30"}) << "1" << (30.0 / 900)
            << "02:00";
        QTest::newRow("DEC +00 30 from -00 30")
            << "06h00.0m"
            << "-00\u00B030\"" << QStringList({"06", "00.0", "+00", "30"}) << "1" << (60.0 / 900)
            << "04:00";
        QTest::newRow("longer axis wins")
            << "06h00.0m" << eq << QStringList({"07", "00.0", "-30", "00"}) << "2" << 1.0
            << "60:00";
        QTest::newRow("no goto speed")
            << "01h00.0m" << eq << QStringList({"23", "00.0"}) + zeroDec << "" << 0.0 << "00:00";
        // So small a speed that the time overflows single precision.
        QTest::newRow("speed too small")
            << "00h00.0m" << eq << QStringList({"06", "00.0"}) + zeroDec
            << "0.0000000000000000000000000000000000000000001" << 0.0 << "00:00";
        QTest::newRow("never polled")
            << ""
            << "" << QStringList({"02", "00.0"}) + zeroDec << "1" << 2.0 << "120:00";
    }
    void estimate() {
        QFETCH(QString, scopeRA);
        QFETCH(QString, scopeDEC);
        QFETCH(QStringList, target);
        QFETCH(QString, speed);
        QFETCH(double, hours);
        QFETCH(QString, text);
        const TimeToTarget t = estimateTimeToTarget(
            {scopeRA, scopeDEC, {target[0], target[1], target[2], target[3]}, speed});
        QVERIFY2(std::fabs(t.hours - hours) < 1e-5, qPrintable(QString::number(t.hours)));
        QCOMPARE(t.text, QStringLiteral("Time to target ") + text);
    }

    // Whole minutes and seconds, the seconds cut off; hours that cannot be
    // shown read as no time at all.
    void textForm_data() {
        QTest::addColumn<float>("hours");
        QTest::addColumn<QString>("text");
        QTest::newRow("125:07") << static_cast<float>((125 + 7.5 / 60) / 60) << "125:07";
        QTest::newRow("1500 minutes") << 25.0f << "1500:00";
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << "00:00";
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << "00:00";
        QTest::newRow("huge") << 3.0e38f << "00:00";
    }
    void textForm() {
        QFETCH(float, hours);
        QFETCH(QString, text);
        QCOMPARE(timeToTargetText(hours), QStringLiteral("Time to target ") + text);
    }
};

QTEST_APPLESS_MAIN(TestTargetTime)
#include "test_target_time.moc"
