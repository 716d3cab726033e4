// The target: the four fields checked, formatted and held as values, the board's
// coordinate replies, the commands on the wire (bytes, order, spacing, the reply
// awaited) and the slew-time estimate.
#include "common/Wire.h"
#include "motion/MountPosition.h"
#include "motion/PositionReplies.h"
#include "motion/Target.h"
#include "motion/TargetFields.h"
#include "motion/TimeToTarget.h"

#include <QRandomGenerator>
#include <QRegularExpression>
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

    // Whatever is typed and remembered, the field ends in form, taking the typed value;
    // the target holds it as a value that shows as the same text.
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
                const auto target = withField(BoardPosition{}, field, check.text);
                QVERIFY(target);
                const TargetFieldTexts t = fieldTexts(*target);
                QCOMPARE((QStringList{t.hours, t.minutes, t.degrees, t.decMinutes})
                             .at(static_cast<int>(field)),
                         check.text);
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

    // Position, target and single-axis replies count only in their form and read as the
    // board wrote them, the sign apart from the minutes ("-00*00" stays south).
    void coordinateReplies() {
        const std::tuple<QString, int, bool, int> cases[] = {
            {"12:34.5#+45*30#", 7545, false, 2730},
            {"01:02.3#-00*07#", 623, true, 7},
            {"00:00.0#-00*00#", 0, true, 0},
            {"23:59.9#+90*00#", 14399, false, 5400}};
        for (const auto& [reply, tenths, south, minutes] : cases) {
            const auto position = positionFromReply(reply);
            const auto target = targetFromReply("1#" + reply);
            const auto ra = rightAscensionFromReply(reply.left(8));
            const auto dec = declinationFromReply(reply.mid(8));
            QVERIFY(position && target && ra && dec);
            QCOMPARE(
                QVector<int>({position->ra.tenths, position->dec.south, position->dec.minutes,
                              target->target.ra.tenths, target->target.dec.south,
                              target->target.dec.minutes, ra->tenths, dec->south, dec->minutes}),
                QVector<int>(
                    {tenths, south, minutes, tenths, south, minutes, tenths, south, minutes}));
            QCOMPARE(target->response, reply);
        }
        // Empty, short, long, high bytes, NUL, a hash inside, no sign, a late reply
        // meeting the next, hour 24, minute 60, degree 91, signed minutes, sync answer.
        for (const QString& reply : QStringList{
                 QString(), QStringLiteral("12:34.5#+45*3"), QStringLiteral("12:34.5#+45*30##"),
                 QString::fromLatin1("q\x17h\x94\xD6I<m+45*30#"),
                 QString::fromLatin1("12:3\0.5#+45*30#", 15), QStringLiteral("12:34#5#+45*30#"),
                 QStringLiteral("12:34.5#045*30#"), QStringLiteral("06#00:0.0#+45*30"),
                 QStringLiteral("24:00.0#+45*30#"), QStringLiteral("12:60.0#+45*30#"),
                 QStringLiteral("12:34.5#+91*30#"), QStringLiteral("12:34.5#+45*-2#"),
                 QStringLiteral("Synced#")})
            QVERIFY2(!positionFromReply(reply) && !targetFromReply(reply), qPrintable(reply));
        QVERIFY(!rightAscensionFromReply(QStringLiteral("12:3x.5#")) &&
                !declinationFromReply(QStringLiteral("+45:30#")));
    }

    // Random bytes never pass for a position; one accepted is written back as it came.
    void randomRepliesNeverPassForPositions() {
        QRandomGenerator random(7);
        const QByteArray alphabet("0123456789:.#*+-\x00\xB0\xFF", 19);
        const QRegularExpression form(
            QStringLiteral("^([01]\\d|2[0-3]):[0-5]\\d\\.\\d#[+-]([0-8]\\d|90)\\*[0-5]\\d#$"));
        for (int i = 0; i < 20000; ++i) {
            QByteArray bytes = "12:34.5#+45*30#";
            bytes[random.bounded(15)] = alphabet.at(random.bounded(alphabet.size()));
            const QString reply = QString::fromLatin1(bytes);
            const auto p = positionFromReply(reply);
            QVERIFY2(!p || (form.match(reply).hasMatch() &&
                            p->ra.text() + '#' + p->dec.text() + '#' == reply),
                     bytes.constData());
        }
    }

    // Pauses of 100 ms; the degrees keep their sign at -00; the goto's answer is no
    // position, the sync ends with one.
    void eachCommandOnTheWire() {
        const BoardPosition target = *targetFromFields({"05", "34.5", "-00", "30"});
        const std::tuple<std::function<void(BoardLine&)>, QStringList, qint16, int> cases[] = {
            {[&](BoardLine& c) { setObject(c, target); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#"},
             AwaitedKind::Acknowledgement,
             1},
            {gotoObject, {"0: #:MS#"}, AwaitedKind::Acknowledgement, 1},
            {[&](BoardLine& c) { syncObject(c, target, {}); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#", "200: #:CM#", "300: #:GR##:GD#"},
             PositionKind::Position,
             15},
            {[](BoardLine& c) { getObject(c, {}); }, {"0: #:Gr##:Gd#"}, kControllerTargetKind, 14}};
        for (const auto& [press, timeline, awaited, count] : cases) {
            Wire w;
            Query raw = positionQuery(); // a raw reply was awaited last
            raw.form = ReplyForm::Raw;
            w.channel.expect(raw);
            press(w.line);
            QCOMPARE(w.port.timeline(), timeline);
            QCOMPARE(w.clock.pauses, QVector<int>(timeline.size() - 1, 100));
            QCOMPARE(w.channel.awaitedKind(), awaited);
            QCOMPARE(w.channel.awaitedCount(), count);
            QCOMPARE(w.channel.replyForm(), ReplyForm::Text);
        }
    }

    // The position as read, the target fields, the goto speed: hours and text.
    void estimate() {
        const std::tuple<QString, TargetFieldTexts, double, double, const char*> cases[] = {
            {"01:00.0#+00*00#", {"23", "00.0", "+00", "00"}, 1, 2, "120:00"},    // back
            {"23:00.0#+00*00#", {"01", "00.0", "+00", "00"}, 1, 2, "120:00"},    // on
            {"00:00.0#+00*00#", {"12", "00.0", "+00", "00"}, 16, 0.75, "45:00"}, // no wrap
            {"12:00.0#+00*00#", {"12", "01.5", "+00", "00"}, 1, 0.025, "01:30"},
            {"12:34.9#+00*00#", {"12", "34.0", "+00", "00"}, 1, 0, "00:00"}, // tenths unread
            {"06:00.0#-10*30#", {"06", "00.0", "+10", "00"}, 1, 20.0 / 15 + 30.0 / 900, "82:00"},
            {"06:00.0#+00*00#", {"06", "00.0", "-00", "30"}, 1, 30.0 / 900, "02:00"}, // south
            {"06:00.0#-00*30#", {"06", "00.0", "+00", "30"}, 1, 60.0 / 900, "04:00"},
            {"06:00.0#+00*00#", {"07", "00.0", "-30", "00"}, 2, 1, "60:00"}, // longer axis
            {"01:00.0#+00*00#", {"23", "00.0", "+00", "00"}, 0, 0, "00:00"}, // no goto speed
            // So small a speed that the time overflows single precision.
            {"00:00.0#+00*00#", {"06", "00.0", "+00", "00"}, 1e-43, 0, "00:00"},
            {"", {"02", "00.0", "+00", "00"}, 1, 2, "120:00"}}; // never polled
        for (const auto& [scope, target, speed, hours, text] : cases) {
            const TimeToTarget t =
                estimateTimeToTarget({positionFromReply(scope).value_or(BoardPosition{}),
                                      *targetFromFields(target), speed});
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
