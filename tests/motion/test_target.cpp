// The target: the four fields checked and formatted, the commands on the wire
// (bytes, order, spacing, the reply awaited) and the slew-time estimate.
#include "common/Wire.h"
#include "motion/MountPosition.h"
#include "motion/Target.h"
#include "motion/TargetFields.h"
#include "motion/TimeToTarget.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

class TestTarget : public QObject {
    Q_OBJECT
private slots:
    // Per field "remembered>typed=held", "!" when rejected: the remembered text
    // comes back in form, or the initial text when that too is out of range.
    void leavingAFieldChecksAndFormats() {
        const std::pair<TargetField, const char*> cases[] = {
            {TargetField::Hours, "05>=00 05>7=07 05>23.4=05! 05>24=05! 5>24=05! 12>1a=12! "
                                 "07>07=07 75>24=00!"},
            {TargetField::Minutes, "10.0>=00.0 10.0>5=05.0 10.0>12.34=12.3 10.0>59.9=59.9 "
                                   "10.0>59.94=10.0! 10.0>0.04=00.0 10.0>12.,=10.0! "
                                   "10.0>1/2=01.0 1x>x=01.0!"},
            {TargetField::DecDegrees, "+10>=+00 +10>45=+45 +10>-5=-05 +10>95=+95 +10>100=+10! "
                                      "+10>-100=+10! +10>-0=-00 +10>-0.4=-00 +10>-.4=-00 "
                                      "+10>-0.6=-01 +10>+0=+00 +10>-=+00 +10>4,5=+04 "
                                      "-10>1a=-10! 5>1a=+05!"},
            {TargetField::DecMinutes, "30>=00 30>8.6=09 30>59.4=59 30>59.5=30! 30>-5=30! "
                                      "59.7>x=00! -5>x=00!"}};
        for (const auto& [field, rows] : cases) {
            QStringList got;
            const QStringList expected = QString::fromLatin1(rows).split(' ');
            for (const QString& row : expected) {
                const QString remembered = row.section('>', 0, 0);
                const QString typed = row.section('>', 1).section('=', 0, 0);
                const FieldCheck check = checkField(field, typed, remembered);
                got << remembered + '>' + typed + '=' + check.text + (check.rejected ? "!" : "");
            }
            QCOMPARE(got, expected);
        }
    }

    // Whatever is typed and remembered, the field ends in form, taking the typed value.
    void everyResultIsInFieldForm() {
        QRandomGenerator random(11);
        const QString alphabet = QStringLiteral("0123456789+-.,/ xe9");
        auto randomText = [&] {
            QString t;
            for (int n = random.bounded(7); n > 0; --n)
                t += alphabet.at(random.bounded(alphabet.size()));
            return t;
        };
        for (TargetField field : {TargetField::Hours, TargetField::Minutes, TargetField::DecDegrees,
                                  TargetField::DecMinutes}) {
            for (int i = 0; i < 50000; ++i) {
                const QString typed = randomText();
                const QString remembered = randomText();
                const FieldCheck check = checkField(field, typed, remembered);
                QVERIFY2(isFieldForm(field, check.text),
                         qPrintable(typed + " / " + remembered + " -> " + check.text));
                if (!check.rejected)
                    QCOMPARE(check.text, checkField(field, typed, QStringLiteral("?")).text);
            }
        }
    }

    // The decimal comma in the minutes; south told by the sign.
    void decimalCommaAndSouth() {
        QCOMPARE(applyDecimalComma(QStringLiteral("12,56")) + ' ' +
                     applyDecimalComma(QStringLiteral("1,5")),
                 QStringLiteral("12.6 1,5"));
        for (const char* south : {"-05", "-00", "-.5", " -1"})
            QVERIFY2(isSouthDeclination(QLatin1String(south)), south);
        for (const char* north : {"+00", "12", "-", "-.", ""})
            QVERIFY2(!isSouthDeclination(QLatin1String(north)), north);
    }

    // Pauses of 100 ms; the degrees keep their sign at -00; the goto's answer is no
    // position, the sync ends with one.
    void eachCommandOnTheWire() {
        const TargetFieldTexts target{QStringLiteral("05"), QStringLiteral("34.5"),
                                      QStringLiteral("-00"), QStringLiteral("30")};
        const std::tuple<std::function<void(Channel&)>, QStringList, qint16, int> cases[] = {
            {[&](Channel& c) { setObject(c, target); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#"},
             AwaitedKind::Acknowledgement,
             1},
            {gotoObject, {"0: #:MS#"}, AwaitedKind::Acknowledgement, 1},
            {[&](Channel& c) { syncObject(c, target); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#", "200: #:CM#", "300: #:GR##:GD#"},
             PositionKind::Position,
             15},
            {getObject, {"0: #:Gr##:Gd#"}, kControllerTargetKind, 14}};
        for (const auto& [press, timeline, awaited, count] : cases) {
            Wire w;
            Query raw = positionQuery(); // a raw reply was awaited last
            raw.form = ReplyForm::Raw;
            w.channel.expect(raw);
            press(w.channel);
            QCOMPARE(w.port.timeline(), timeline);
            QCOMPARE(w.clock.pauses, QVector<int>(timeline.size() - 1, 100));
            QCOMPARE(w.channel.awaitedKind(), awaited);
            QCOMPARE(w.channel.awaitedCount(), count);
            QCOMPARE(w.channel.replyForm(), ReplyForm::Text);
        }
    }

    // The position as shown, the target fields, the goto speed: hours and text.
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
            const ScopePosition scope{scopeRA.left(2).toInt(), scopeRA.mid(3, 4).toDouble(),
                                      scopeDEC.startsWith('-'), scopeDEC.mid(1, 2).toInt(),
                                      scopeDEC.mid(4, 2).toInt()};
            const TimeToTarget t = estimateTimeToTarget({scope, target, speed});
            QVERIFY2(std::fabs(t.hours - hours) < 1e-5, qPrintable(QString::number(t.hours)));
            QCOMPARE(t.text, QStringLiteral("Time to target ") + text);
        }
        // Minutes and seconds, the seconds cut off; hours that cannot be shown are none.
        QStringList got;
        for (const float h :
             {float((125 + 7.5 / 60) / 60), 25.0f, std::numeric_limits<float>::infinity(),
              std::numeric_limits<float>::quiet_NaN(), 3.0e38f})
            got << timeToTargetText(h).mid(15);
        QCOMPARE(got.join(' '), QStringLiteral("125:07 1500:00 00:00 00:00 00:00"));
    }
};

QTEST_GUILESS_MAIN(TestTarget)
#include "test_target.moc"
