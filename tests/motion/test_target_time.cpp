// The slew-time estimate shown while polling.
#include "motion/TimeToTarget.h"

#include <QtTest>

using namespace corvane;

class TestTargetTime : public QObject {
    Q_OBJECT
private slots:
    // The mount's position as shown, the target fields, the goto speed; the
    // hours and the text shown.
    void estimate() {
        const QString eq = QStringLiteral("+00\u00B000\"");
        const std::tuple<QString, QString, TargetFieldTexts, const char*, double, const char*>
            cases[] = {
                {"01h00.0m", eq, {"23", "00.0", "+00", "00"}, "1", 2, "120:00"},     // back
                {"23h00.0m", eq, {"01", "00.0", "+00", "00"}, "1", 2, "120:00"},     // on
                {"00h00.0m", eq, {"12", "00.0", "+00", "00"}, "16X", 0.75, "45:00"}, // no wrap
                {"12h00.0m", eq, {"12", "01.5", "+00", "00"}, "1", 0.025, "01:30"},
                {"12h34.9m", eq, {"12", "34.0", "+00", "00"}, "1", 0, "00:00"}, // tenths unread
                {"06h00.0m",
                 "-10\u00B030\"",
                 {"06", "00.0", "+10", "00"},
                 "1",
                 20.0 / 15 + 30.0 / 900,
                 "82:00"},
                {"06h00.0m", eq, {"06", "00.0", "-00", "30"}, "1", 30.0 / 900, "02:00"}, // south
                {"06h00.0m",
                 "-00\u00B030\"",
                 {"06", "00.0", "+00", "30"},
                 "1",
                 60.0 / 900,
                 "04:00"},
                {"06h00.0m", eq, {"07", "00.0", "-30", "00"}, "2", 1, "60:00"}, // longer axis
                {"01h00.0m", eq, {"23", "00.0", "+00", "00"}, "", 0, "00:00"},  // no goto speed
                // So small a speed that the time overflows single precision.
                {"00h00.0m",
                 eq,
                 {"06", "00.0", "+00", "00"},
                 "0.0000000000000000000000000000000000000000001",
                 0,
                 "00:00"},
                {"", "", {"02", "00.0", "+00", "00"}, "1", 2, "120:00"}}; // never polled
        for (const auto& [scopeRA, scopeDEC, target, speed, hours, text] : cases) {
            // The mount's position as its display shows it ("12h34.5m", "+45°30"").
            const ScopePosition scope{scopeRA.left(2).toInt(), scopeRA.mid(3, 4).toDouble(),
                                      scopeDEC.startsWith('-'), scopeDEC.mid(1, 2).toInt(),
                                      scopeDEC.mid(4, 2).toInt()};
            const TimeToTarget t = estimateTimeToTarget({scope, target, speed});
            QVERIFY2(std::fabs(t.hours - hours) < 1e-5, qPrintable(QString::number(t.hours)));
            QCOMPARE(t.text, QStringLiteral("Time to target ") + text);
        }
    }

    // Whole minutes and seconds, the seconds cut off; hours that cannot be
    // shown read as no time at all.
    void textForm() {
        QStringList got;
        for (const float hours :
             {float((125 + 7.5 / 60) / 60), 25.0f, std::numeric_limits<float>::infinity(),
              std::numeric_limits<float>::quiet_NaN(), 3.0e38f})
            got << timeToTargetText(hours).mid(15);
        QCOMPARE(got.join(' '), QStringLiteral("125:07 1500:00 00:00 00:00 00:00"));
        QVERIFY(timeToTargetText(0).startsWith(QStringLiteral("Time to target ")));
    }
};

QTEST_APPLESS_MAIN(TestTargetTime)
#include "test_target_time.moc"
