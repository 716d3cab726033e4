#include "common/NumberText.h"
#include "common/Prompts.h"

#include <QtTest>

using namespace corvane;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void leadingNumberReadsAsFarAsItCan_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("version reply") << "3.56#" << 3.56;
        QTest::newRow("blanks skipped") << "  3.2#" << 3.2;
        QTest::newRow("sign") << "-05" << -5.0;
        QTest::newRow("plus") << "+45" << 45.0;
        QTest::newRow("second point stops") << "12.3.4" << 12.3;
        QTest::newRow("unit suffix") << "16X" << 16.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("comma stops") << "12,5" << 12.0;
    }
    void leadingNumberReadsAsFarAsItCan() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(leadingNumber(text), value);
    }

    void paddedFormatsRoundHalfAwayFromZero_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("7") << 7.0 << 2 << 0 << "07";
        QTest::newRow("5 minutes") << 5.0 << 2 << 1 << "05.0";
        QTest::newRow("12.34") << 12.34 << 2 << 1 << "12.3";
        QTest::newRow("12.35 up") << 12.35 << 2 << 1 << "12.4";
        QTest::newRow("8.6") << 8.6 << 2 << 0 << "09";
        QTest::newRow("2.5 away") << 2.5 << 2 << 0 << "03";
        QTest::newRow("-2.5 away") << -2.5 << 2 << 0 << "-03";
        QTest::newRow("-5") << -5.0 << 2 << 0 << "-05";
        QTest::newRow("59.95 carries") << 59.95 << 2 << 1 << "60.0";
        QTest::newRow("125") << 125.0 << 2 << 0 << "125";
        QTest::newRow("step 7") << 7.0 << 3 << 0 << "007";
        QTest::newRow("minus zero has no sign") << -0.2 << 2 << 0 << "00";
    }
    void paddedFormatsRoundHalfAwayFromZero() {
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(formatPadded(value, width, decimals), text);
    }

    void shortestAndSignedForms() {
        QCOMPARE(shortestDecimal(1.0), QStringLiteral("1"));
        QCOMPARE(shortestDecimal(1.5), QStringLiteral("1.5"));
        QCOMPARE(shortestDecimal(0.5), QStringLiteral("0.5"));
        QCOMPARE(shortestDecimal(2.5), QStringLiteral("2.5"));
        QCOMPARE(shortestDecimal(500), QStringLiteral("500"));
        QCOMPARE(signedNumberForm(3), QStringLiteral(" 3"));
        QCOMPARE(signedNumberForm(0), QStringLiteral(" 0"));
        QCOMPARE(signedNumberForm(-120), QStringLiteral("-120"));
        QCOMPARE(roundHalfEven(2.5), qint64(2));
        QCOMPARE(roundHalfEven(3.5), qint64(4));
        QCOMPARE(roundHalfEven(250.4), qint64(250));
    }

    // File dialog filters reach Qt with their pattern named.
    void fileFilters() {
        QCOMPARE(qtFileFilter(QStringLiteral("Mount Data file (*.mdf)|*.mdf")),
                 QStringLiteral("Mount Data file (*.mdf)"));
        QCOMPARE(qtFileFilter(QStringLiteral("PEC data|*.csv")),
                 QStringLiteral("PEC data (*.csv)"));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_number_text.moc"
