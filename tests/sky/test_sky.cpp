// The sky the guiding page offers: object catalogues, planet positions from mean
// orbital elements (against an independent ephemeris), and the page's lists.
#include "common/WindowFixture.h"
#include "motion/TargetFields.h"
#include "sky/Catalogues.h"
#include "sky/PlanetPositions.h"
#include "sky/ui/SkyPanel.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>
#include <cmath>
#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr double kPi = 3.14159265358979323846;

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// "N<n>,..." record lines numbered from 1.
QByteArray records(int count, int from = 1) {
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += "N" + QByteArray::number(i) + ",01,02.0,+03,04,-,5.0,Thing\r\n";
    return out;
}

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

QStringList fields(MainWindow& w) {
    const TargetFieldTexts t = w.session().target().texts();
    return {t.hours, t.minutes, t.degrees, t.decMinutes};
}

} // namespace

class TestSky : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    // Line ends, blanks, a byte-order mark, a negative count kept; bad lines named.
    void catalogueList() {
        const std::tuple<QByteArray, const char*, const char*> cases[] = {
            {"Messier,110\r\nIC bright,30\r\n", "Messier=110;IC bright=30", ""},
            {"A,1\nB,2", "A=1;B=2", ""},
            {"NGC, IC,200", "NGC, IC=200", ""},
            {"M,  110\nS,\t7 \n", "M=110;S=7", ""},
            {"\r\nA,1\r\n  \r\n", "A=1", ""},
            {"\xEF\xBB\xBFMessier,110", "Messier=110", ""},
            {"Odd,-3", "Odd=-3", ""},
            {"no comma\nA,1\nB,abc\nC,12.5\n,5\nD,99999999999\nE,\nF,3\n", "A=1;F=3",
             "lines 1, 3, 4, 5, 6, 7"},
            {"", "", "no catalogues"}};
        int n = 0;
        for (const auto& [content, entries, problemMentions] : cases) {
            const QString folder = path(QStringLiteral("list%1").arg(++n));
            writeFile(folder + "/catalog.lst", content);
            QString problem = "stale";
            QStringList got;
            for (const CatalogueEntry& e : readCatalogueList(folder, &problem))
                got << e.name + '=' + QString::number(e.records);
            QCOMPARE(got.join(';'), QLatin1String(entries));
            QVERIFY2(*problemMentions ? problem.contains(problemMentions) : problem.isEmpty(),
                     qPrintable(problem));
        }
    }

    // Eight fields (an empty one merges with the next), and the target a record
    // writes: padded, rounded, a written minus kept, texts that are no numbers.
    void recordTexts() {
        QStringList got;
        for (const char* line :
             {"M31,00,42.7,+41,16,x,3.4,Andromeda Galaxy, near us", "a,,b,c,d,e,f,g",
              ",b,c,d,e,f,g,h", "a,b,c,d,e,f,g,", "M1,05,34.5"})
            got << splitCatalogueRecord(line).join(QLatin1Char('|'));
        for (const char* line :
             {"S,7,5.5,5,8", "S,23,59.9,-5,0", "S,0,0,-0,30", "S,0,0,-00,30", "S,0,0,-0.5,0",
              "S,0,0,-0.4,0", "S,4.5,1,+9.5,7.5", "S,7h,5m,x5,8'", "S,7"}) {
            const TargetFieldTexts t = recordTarget(splitCatalogueRecord(line));
            got << QStringList({t.hours, t.minutes, t.degrees, t.decMinutes}).join(' ');
        }
        QCOMPARE(got, QStringList({"M31|00|42.7|+41|16|x|3.4|Andromeda Galaxy, near us",
                                   "a|,b|c|d|e|f|g|", "|b|c|d|e|f|g|h", "a|b|c|d|e|f|g|",
                                   "M1|05|34.5|||||", "07 5.5 +05 08", "23 59.9 -05 00",
                                   "00 0 -00 30", "00 0 -00 30", "00 0 -01 00", "00 0 -00 00",
                                   "05 1 +10 08", "7h 5m x5 8'", "07   "}));
    }

    // As many records as offered, 401 at most; fewer held, more or none offered said.
    void catalogue() {
        const QByteArray comment = "; a comment\r\n";
        const QString n3 = "3 N3|01|02.0|+03|04|-|5.0|Thing",
                      n401 = "401 N401|01|02.0|+03|04|-|5.0|Thing";
        const std::tuple<QByteArray, int, QString, const char*> cases[] = {
            {comment + records(2) + comment + comment + records(1, 3) + comment, 3, n3, ""},
            {records(5), 3, n3, ""},
            {records(3), 5, n3, "holds 3 records"},
            {records(1) + "B,01\n", 2, "2 B|01||||||", ""},
            {records(200) + comment + records(201, 201) + comment, 401, n401, ""},
            {records(405), 500, n401, "more than 401"},
            {records(3), 0, "0 ", "offers no records"},
            {records(3), -3, "0 ", "offers no records"}};
        for (const auto& [content, offered, expected, problemMentions] : cases) {
            writeFile(path("Test, one.gtc"), content);
            QString problem = "stale";
            const QVector<QStringList> got =
                readCatalogue(dir_.path(), "Test, one", offered, &problem);
            QCOMPARE(QString::number(got.size()) + ' ' + got.value(got.size() - 1).join('|'),
                     expected);
            QVERIFY2(*problemMentions ? problem.contains(problemMentions) : problem.isEmpty(),
                     qPrintable(problem));
        }
    }

    // Missing files and ones not regular (a FIFO would block for good) give a reason.
    void missingAndOddFiles() {
        for (const QString kind : {"missing", "fifo", "folder"}) {
            const QString folder = path("odd-" + kind);
            QDir().mkpath(folder);
            for (const QString name : {"catalog.lst", "Odd.gtc"}) {
                const QString file = folder + '/' + name;
                QVERIFY(kind == "missing" ||
                        (kind == "fifo" ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                                        : QDir().mkpath(file)));
            }
            QString listProblem, problem;
            QVERIFY(readCatalogueList(folder, &listProblem).isEmpty());
            QVERIFY(readCatalogue(folder, "Odd", 10, &problem).isEmpty());
            QVERIFY2(!listProblem.isEmpty() && !problem.isEmpty(), qPrintable(kind));
            QCOMPARE(catalogueFolder(folder, QString()), QString());
        }
        QString problem;
        QVERIFY(readCatalogueList(QString(), &problem).isEmpty() && !problem.isEmpty());
    }

    // The user's own folder wins, then the build tree, then the installed catalogues.
    void folderOrder() {
        const QStringList folders = {"user", "bin/catalogues", "share/corvane-control/catalogues"};
        for (int first = 0; first <= folders.size(); ++first) {
            QTemporaryDir root;
            for (const QString& sub : folders)
                QDir().mkpath(root.filePath(sub));
            for (const QString& sub : folders.mid(first))
                writeFile(root.filePath(sub + "/catalog.lst"), "A,1\n");
            QCOMPARE(catalogueFolder(root.filePath("user"), root.filePath("bin")),
                     first < folders.size() ? root.filePath(folders[first]) : QString());
        }
    }

    // Every record the shipped catalogues hold gives target texts in the fields' forms.
    void shippedCatalogues() {
        const QString bin = qEnvironmentVariable("CORVANE_BIN_DIR");
        const QString folder = catalogueFolder(QString(), bin);
        QCOMPARE(folder, QDir::cleanPath(bin + "/catalogues"));
        QString problem;
        const QVector<CatalogueEntry> list = readCatalogueList(folder, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(list.value(0).name, QStringLiteral("Messier"));
        for (const CatalogueEntry& entry : list) {
            const QVector<QStringList> got =
                readCatalogue(folder, entry.name, entry.records, &problem);
            QVERIFY2(problem.isEmpty() && got.size() == entry.records, qPrintable(problem));
            for (const QStringList& record : got) {
                const TargetFieldTexts t = recordTarget(record);
                QVERIFY2(isFieldForm(TargetField::Hours, t.hours) &&
                             isFieldForm(TargetField::Minutes, t.minutes) &&
                             isFieldForm(TargetField::DecDegrees, t.degrees) &&
                             isFieldForm(TargetField::DecMinutes, t.decMinutes),
                         qPrintable(entry.name + ": " + record.join(',')));
            }
        }
    }

    // A point on an axis; a precision the iteration never reaches ends all the same.
    void specialCases() {
        const auto near = [](double value, double expected) {
            return std::fabs(value - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
        };
        QVERIFY(near(atan2Positive(1, 0), kPi / 2));
        QVERIFY(near(atan2Positive(-1, 0), 3 * kPi / 2));
        QVERIFY(near(atan2Positive(0, 0), 0.0));
        QVERIFY(near(solveKepler(2, 0.0934, 30), solveKepler(2, 0.0934, 12)));
    }

    // Field texts: the clock read in UTC whatever its zone, none for Earth or no planet;
    // a position's carries, south below a degree, the pole.
    void fieldTexts() {
        const QDateTime epoch = utc(2000, 1, 1, 12, 0);
        QStringList got;
        for (const auto& [planet, when] :
             {std::pair{0, epoch},
              {0, utc(2000, 1, 1, 12, 0, 59)},
              {0, QDateTime(QDate(2000, 1, 1), QTime(13, 30), QTimeZone(5400))},
              {0, QDateTime(QDate(2000, 1, 2), QTime(2, 0), QTimeZone(14 * 3600))},
              {4, utc(2010, 6, 15, 21, 30)},
              {kEarthIndex, epoch},
              {9, epoch},
              {4, QDateTime()}})
            got << joined(planetFieldTexts(planet, when));
        QCOMPARE(got, QStringList({"18 08.4 -24 24", "18 08.4 -24 24", "18 08.4 -24 24",
                                   "18 08.4 -24 24", "00 05.8 -00 41", "   ", "   ", "   "}));
        got.clear();
        for (const auto& [ra, dec] : {std::pair{5.26, 8.62},
                                      {5.9995, -12.5},
                                      {5.9982, 0.0},
                                      {23.99995, 45.0},
                                      {24.0, 1.0},
                                      {1.0, -0.6},
                                      {1.0, -0.001},
                                      {1.0, 0.6},
                                      {12.0, -89.999}})
            got << joined(fieldTextsFor({ra, dec}));
        QCOMPARE(got, QStringList({"05 15.6 +08 37", "06 00.0 -12 30", "05 59.9 +00 00",
                                   "00 00.0 +45 00", "00 00.0 +01 00", "01 00.0 -00 36",
                                   "01 00.0 -00 00", "01 00.0 +00 36", "12 00.0 -89 59"}));
    }

    // Every planet within what the mean elements promise of an independent ephemeris
    // (planet_golden.csv, written by tools/planets/make_golden.py), 2000 to 2050.
    void positionsAgreeWithEphemeris() {
        const double toleranceArcmin[] = {1.5, 2, 0, 6, 12, 12, 3, 1.5, 1.5};
        QFile file(QStringLiteral(CORVANE_TEST_DATA "/planet_golden.csv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QVector<int> rows(kPlanetCount);
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
            QVERIFY2(ok && v[0] != kEarthIndex, line.constData());
            const int planet = int(v[0]);
            ++rows[planet];
            const EquatorialPosition p =
                planetPosition(planet, dayNumber(v[1], v[2], v[3], v[4] + v[5] / 60.0));
            const double sep = separationArcmin(p.raHours, p.decDegrees, v[6], v[7]);
            QVERIFY2(sep <= toleranceArcmin[planet],
                     qPrintable(QStringLiteral("%1 off by %2'").arg(line.constData()).arg(sep)));
        }
        for (int planet = 0; planet < kPlanetCount; ++planet)
            QVERIFY(planet == kEarthIndex || rows[planet] > 50);
    }

    // The shipped Messier catalogue: M1 at once, M31 when picked; a pick sends nothing.
    void theShippedMessierCatalogueOffersM31() {
        WindowFixture f;
        QVERIFY(f.window->startUp());
        SkyPanel* sky = f.window->findChild<SkyPanel*>();
        sky->loadCatalogList(qEnvironmentVariable("CORVANE_BIN_DIR") + "/catalogues");
        QCOMPARE(sky->cbCatalogs->itemText(0) + ' ' +
                     QString::number(sky->cbCatalogs->currentIndex()),
                 QStringLiteral("Messier -1"));
        sky->chooseCatalogue(0);
        QCOMPARE(sky->cbItems->count(), 110);
        QCOMPARE(fields(*f.window), QStringList({"05", "34.5", "+22", "01"}));
        sky->chooseItem(sky->cbItems->findText(QStringLiteral("M31")));
        QCOMPARE(fields(*f.window), QStringList({"00", "42.7", "+41", "16"}));
        QVERIFY(sky->cbItems->toolTip().startsWith(QStringLiteral("Galaxy, Andromeda Galaxy")) &&
                sky->cbItems->toolTip().contains(QStringLiteral(" Mag ")));
        QVERIFY(f.port->writes.isEmpty());
    }

    // A user's list (in the user's data folder, never the current one) wins; a
    // bad record or list line writes nothing stale and is named.
    void aUsersOwnCatalogueIsReadAsItStands() {
        qputenv("XDG_DATA_HOME", QDir::current().absoluteFilePath("data").toLocal8Bit());
        QVERIFY(QDir().mkpath(userCatalogueFolder()));
        for (const auto& [name, bytes] :
             {std::pair{"catalog.lst", QByteArray("Decoy,1\r\n")},
              std::pair{"data/corvane-control/catalogues/catalog.lst",
                        QByteArray("Mine,5\r\nBroken\r\n")},
              std::pair{"data/corvane-control/catalogues/Mine.gtc",
                        QByteArray("; my objects\r\nA1,01,02.5,-0,30,x,5.1,south of "
                                   "the equator\r\nA2,ab,02.5,+10,30,x,5.1,no hours\r\n")}}) {
            QFile file{QString::fromLatin1(name)};
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        WindowFixture f;
        QVERIFY(f.window->startUp());
        SkyPanel* sky = f.window->findChild<SkyPanel*>();
        QCOMPARE(sky->cbCatalogs->count(), 1);
        QVERIFY(f.panel(4).contains(QStringLiteral("2"))); // the skipped line is named
        sky->chooseCatalogue(0);
        QCOMPARE(sky->cbItems->count(), 2);
        sky->chooseItem(1);
        QCOMPARE(fields(*f.window), QStringList({"01", "02.5", "-00", "30"}));
        QVERIFY(f.panel(4).startsWith(QStringLiteral("A2:")));
    }

    // A planet for the clock in UTC (here seen from UTC-7); Earth leaves the fields.
    void planetsAreComputedForTheClockInUtc() {
        WindowFixture f;
        QVERIFY(f.window->startUp());
        f.clock.utcAtZero = QDateTime(QDate(2000, 1, 1), QTime(12, 0), QTimeZone::utc())
                                .toTimeZone(QTimeZone(-7 * 3600));
        f.window->findChild<SkyPanel*>()->choosePlanet(5);
        QCOMPARE(fields(*f.window), QStringList({"02", "34.4", "+12", "33"}));
        QCOMPARE(f.window->findChild<SkyPanel*>()->cbPlanets->itemText(2), QStringLiteral("Earth"));
        f.window->findChild<SkyPanel*>()->choosePlanet(2);
        QCOMPARE(f.prompts.shown.last().text, QStringLiteral("Just look down"));
        QCOMPARE(fields(*f.window), QStringList({"02", "34.4", "+12", "33"}));
    }
};

QTEST_MAIN(TestSky)
#include "test_sky.moc"
