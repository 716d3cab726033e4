// Checking and re-formatting of the four target fields when the user leaves
// one, and the decimal-comma rule of the RA minutes.
#include "motion/TargetFields.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace corvane;

Q_DECLARE_METATYPE(corvane::TargetField)

class TestTargetFields : public QObject {
    Q_OBJECT
private slots:
    void leavingAFieldChecksAndFormats_data() {
        QTest::addColumn<TargetField>("field");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("rejected");
        const auto H = TargetField::Hours;
        const auto M = TargetField::Minutes;
        const auto D = TargetField::DecDegrees;
        const auto DM = TargetField::DecMinutes;

        auto row = [](const char* name, TargetField field, const char* remembered,
                      const char* typed, const char* result, bool rejected) {
            QTest::newRow(name) << field << QString::fromLatin1(remembered)
                                << QString::fromLatin1(typed) << QString::fromLatin1(result)
                                << rejected;
        };
        row("hours empty", H, "05", "", "00", false);
        row("hours padded", H, "05", "7", "07", false);
        row("hours 23.4 has a point", H, "05", "23.4", "05", true);
        row("hours 24 restores", H, "05", "24", "05", true);
        row("hours restore reformatted", H, "5", "24", "05", true);
        row("hours letter", H, "12", "1a", "12", true);
        row("hours unchanged", H, "07", "07", "07", false);

        row("minutes empty", M, "10.0", "", "00.0", false);
        row("minutes whole", M, "10.0", "5", "05.0", false);
        row("minutes two decimals", M, "10.0", "12.34", "12.3", false);
        row("minutes 59.9 kept", M, "10.0", "59.9", "59.9", false);
        row("minutes 59.94 above", M, "10.0", "59.94", "10.0", true);
        row("minutes 0.04", M, "10.0", "0.04", "00.0", false);
        row("minutes comma", M, "10.0", "12.,", "10.0", true);
        row("minutes slash reads 1", M, "10.0", "1/2", "01.0", false);

        row("degrees empty", D, "+10", "", "+00", false);
        row("degrees unsigned", D, "+10", "45", "+45", false);
        row("degrees minus padded", D, "+10", "-5", "-05", false);
        row("degrees 95 allowed", D, "+10", "95", "+95", false);
        row("degrees 100", D, "+10", "100", "+10", true);
        row("degrees -100", D, "+10", "-100", "+10", true);
        row("degrees -0 keeps minus", D, "+10", "-0", "-00", false);
        row("degrees -0.4 keeps minus", D, "+10", "-0.4", "-00", false);
        row("degrees -.4 keeps minus", D, "+10", "-.4", "-00", false);
        row("degrees -0.6", D, "+10", "-0.6", "-01", false);
        row("degrees +0", D, "+10", "+0", "+00", false);
        row("degrees minus alone", D, "+10", "-", "+00", false);
        row("degrees comma stops", D, "+10", "4,5", "+04", false);
        row("degrees letter", D, "-10", "1a", "-10", true);
        row("degrees restore unsigned", D, "5", "1a", "+05", true);

        row("dec minutes empty", DM, "30", "", "00", false);
        row("dec minutes rounded", DM, "30", "8.6", "09", false);
        row("dec minutes 59.4", DM, "30", "59.4", "59", false);
        row("dec minutes 59.5 would show 60", DM, "30", "59.5", "30", true);
        row("dec minutes minus", DM, "30", "-5", "30", true);

        // A remembered text that is itself out of range (written by another
        // part of the program) gives way to the initial text, with one message.
        row("bad remembered hours", H, "75", "24", "00", true);
        row("bad remembered dec minutes", DM, "59.7", "x", "00", true);
        row("signed remembered dec minutes", DM, "-5", "x", "00", true);
        row("remembered minutes with junk", M, "1x", "x", "01.0", true);
    }
    void leavingAFieldChecksAndFormats() {
        QFETCH(TargetField, field);
        QFETCH(QString, remembered);
        QFETCH(QString, typed);
        const FieldCheck check = checkField(field, typed, remembered);
        QTEST(check.text, "result");
        QTEST(check.rejected, "rejected");
    }

    // Whatever is typed and whatever was remembered, the field ends in form.
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
                // An accepted text is the typed value, never the remembered one.
                if (!check.rejected)
                    QCOMPARE(check.text, checkField(field, typed, QStringLiteral("?")).text);
            }
        }
    }

    // Pasted "12,5" and typed "12," are seen in the window's minutes field.
    void decimalCommaRule() {
        QCOMPARE(applyDecimalComma(QStringLiteral("12,56")), QStringLiteral("12.6"));
        QCOMPARE(applyDecimalComma(QStringLiteral("1,5")), QStringLiteral("1,5"));
    }

    void southIsToldBySign() {
        for (const char* south : {"-05", "-00", "-.5", " -1"})
            QVERIFY2(isSouthDeclination(QLatin1String(south)), south);
        for (const char* north : {"+00", "12", "-", "-.", ""})
            QVERIFY2(!isSouthDeclination(QLatin1String(north)), north);
    }
};

QTEST_APPLESS_MAIN(TestTargetFields)
#include "test_target_fields.moc"
