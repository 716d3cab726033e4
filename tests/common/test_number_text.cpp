#include "common/NumberText.h"
#include "common/Prompts.h"

#include <QtTest>

using namespace corvane;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    // Empty, letters, a version reply, blanks skipped, signs, a second point,
    // a unit, a sign alone, a point first, a comma.
    void leadingNumberReadsAsFarAsItCan() {
        QVector<double> got;
        for (const char* text :
             {"", "abc", "3.56#", "  3.2#", "-05", "+45", "12.3.4", "16X", "-", ".5", "12,5"})
            got << leadingNumber(QString::fromLatin1(text));
        QCOMPARE(got, QVector<double>({0, 0, 3.56, 3.2, -5, 45, 12.3, 16, 0, 0.5, 12}));
    }

    // Halves away from zero, a carry to 60, wider than asked, no minus zero.
    void paddedFormatsRoundHalfAwayFromZero() {
        const std::tuple<double, int, int> cases[] = {
            {7, 2, 0},    {5, 2, 1},  {12.34, 2, 1}, {12.35, 2, 1}, {8.6, 2, 0}, {2.5, 2, 0},
            {-2.5, 2, 0}, {-5, 2, 0}, {59.95, 2, 1}, {125, 2, 0},   {7, 3, 0},   {-0.2, 2, 0}};
        QStringList got;
        for (const auto& [value, width, decimals] : cases)
            got << formatPadded(value, width, decimals);
        QCOMPARE(got.join(' '), QStringLiteral("07 05.0 12.3 12.4 09 03 -03 -05 60.0 125 007 00"));
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
