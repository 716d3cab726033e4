// Planet positions from mean orbital elements: the special cases of the angle
// helpers, the target field texts, and the positions against an independent
// ephemeris.
#include "sky/PlanetPositions.h"

#include <QFile>
#include <QTimeZone>
#include <QtTest>

#include <cmath>

using namespace corvane;

namespace {
constexpr double kPi = 3.14159265358979323846;

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

QString joined(const PlanetFieldTexts& t) {
    return QStringList({t.hours, t.minutes, t.degrees, t.decMinutes}).join(' ');
}

// Angle between two directions, in arcminutes.
double separationArcmin(double ra1Hours, double dec1Deg, double ra2Hours, double dec2Deg) {
    const double r = kPi / 180.0;
    const double a1 = ra1Hours * 15 * r, d1 = dec1Deg * r, a2 = ra2Hours * 15 * r, d2 = dec2Deg * r;
    const double c = std::sin(d1) * std::sin(d2) + std::cos(d1) * std::cos(d2) * std::cos(a1 - a2);
    return std::acos(std::min(1.0, c)) / r * 60.0;
}
} // namespace

class TestPlanets : public QObject {
    Q_OBJECT
private slots:
    // What the positions below cannot show: a point on an axis and a
    // precision the iteration never reaches (it ends all the same, at the
    // best solution).
    void specialCases() {
        const auto near = [](double value, double expected) {
            return std::fabs(value - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
        };
        QVERIFY(near(atan2Positive(1, 0), kPi / 2));
        QVERIFY(near(atan2Positive(-1, 0), 3 * kPi / 2));
        QVERIFY(near(atan2Positive(0, 0), 0.0));
        QVERIFY(near(solveKepler(2, 0.0934, 30), solveKepler(2, 0.0934, 12)));
    }

    void fieldTextsAtAMoment_data() {
        QTest::addColumn<int>("planet");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("texts");
        const QDateTime epoch = utc(2000, 1, 1, 12, 0);
        // The clock is read in universal time whatever its zone; Mercury moves
        // fast enough for an hour's error to show in the minutes.
        const QString mercury = QStringLiteral("18 08.4 -24 24");
        QTest::newRow("Mercury UTC") << 0 << epoch << mercury;
        QTest::newRow("seconds ignored") << 0 << utc(2000, 1, 1, 12, 0, 59) << mercury;
        QTest::newRow("UTC+01:30")
            << 0 << QDateTime(QDate(2000, 1, 1), QTime(13, 30), QTimeZone(5400)) << mercury;
        QTest::newRow("UTC+14:00 next day")
            << 0 << QDateTime(QDate(2000, 1, 2), QTime(2, 0), QTimeZone(14 * 3600)) << mercury;
        QTest::newRow("Jupiter just south")
            << 4 << utc(2010, 6, 15, 21, 30) << QStringLiteral("00 05.8 -00 41");
        QTest::newRow("Earth") << kEarthIndex << epoch << QStringLiteral("   ");
        QTest::newRow("outside the list") << 9 << epoch << QStringLiteral("   ");
        QTest::newRow("invalid moment") << 4 << QDateTime() << QStringLiteral("   ");
    }
    void fieldTextsAtAMoment() {
        QFETCH(int, planet);
        QFETCH(QDateTime, when);
        QTEST(joined(planetFieldTexts(planet, when)), "texts");
    }

    void fieldTextsOfAPosition_data() {
        QTest::addColumn<double>("ra");
        QTest::addColumn<double>("dec");
        QTest::addColumn<QString>("texts");
        QTest::newRow("plain") << 5.26 << 8.62 << QStringLiteral("05 15.6 +08 37");
        QTest::newRow("minutes round to 60") << 5.9995 << -12.5 << QStringLiteral("06 00.0 -12 30");
        QTest::newRow("59.9 stays") << 5.9982 << 0.0 << QStringLiteral("05 59.9 +00 00");
        QTest::newRow("carry past 23h") << 23.99995 << 45.0 << QStringLiteral("00 00.0 +45 00");
        QTest::newRow("a full turn") << 24.0 << 1.0 << QStringLiteral("00 00.0 +01 00");
        QTest::newRow("south below a degree") << 1.0 << -0.6 << QStringLiteral("01 00.0 -00 36");
        QTest::newRow("south by seconds") << 1.0 << -0.001 << QStringLiteral("01 00.0 -00 00");
        QTest::newRow("north below a degree") << 1.0 << 0.6 << QStringLiteral("01 00.0 +00 36");
        QTest::newRow("pole") << 12.0 << -89.999 << QStringLiteral("12 00.0 -89 59");
    }
    void fieldTextsOfAPosition() {
        QFETCH(double, ra);
        QFETCH(double, dec);
        QTEST(joined(fieldTextsFor({ra, dec})), "texts");
    }

    // Every planet against geometric J2000.0 positions from an independent
    // ephemeris, 2000 to 2050 (planet_golden.csv, written by
    // tools/planets/make_golden.py). The bounds are what the mean elements
    // promise.
    void positionsAgreeWithEphemeris_data() {
        QTest::addColumn<int>("planet");
        QTest::addColumn<double>("toleranceArcmin");
        const double tolerances[] = {1.5, 2, 0, 6, 12, 12, 3, 1.5, 1.5};
        for (int p = 0; p < kPlanetCount; ++p)
            if (p != kEarthIndex)
                QTest::newRow(qPrintable(planetNames().at(p))) << p << tolerances[p];
    }
    void positionsAgreeWithEphemeris() {
        QFETCH(int, planet);
        QFETCH(double, toleranceArcmin);
        QFile file(QStringLiteral(CORVANE_TEST_DATA "/planet_golden.csv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        double worst = 0;
        int rows = 0;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            // planet, year, month, day, hour, minute, RA hours, Dec degrees
            const QList<QByteArray> f = line.split(',');
            double v[8] = {};
            bool ok = f.size() == 8;
            for (int i = 0; ok && i < 8; ++i)
                v[i] = f.at(i).toDouble(&ok);
            QVERIFY2(ok, line.constData());
            if (v[0] != planet)
                continue;
            ++rows;
            const EquatorialPosition p =
                planetPosition(planet, dayNumber(v[1], v[2], v[3], v[4] + v[5] / 60.0));
            const double sep = separationArcmin(p.raHours, p.decDegrees, v[6], v[7]);
            QVERIFY2(sep <= toleranceArcmin,
                     qPrintable(QStringLiteral("%1 off by %2'").arg(line.constData()).arg(sep)));
            worst = std::max(worst, sep);
        }
        QVERIFY(rows > 50);
        qInfo("worst %.2f' over %d dates", worst, rows);
    }
};

QTEST_GUILESS_MAIN(TestPlanets)
#include "test_planets.moc"
