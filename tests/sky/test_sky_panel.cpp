// The catalogue and planet lists of the guiding page: what a pick writes
// into the target fields, with the shipped catalogues and the clock in UTC.
#include "common/WindowFixture.h"
#include "motion/ui/TargetPanel.h"
#include "sky/ui/SkyPanel.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTimeZone>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

QStringList fields(MainWindow& w) {
    const TargetFieldTexts t = w.session().target().texts();
    return {t.hours, t.minutes, t.degrees, t.decMinutes};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestSkyPanel : public QObject {
    Q_OBJECT
private slots:
    void theShippedMessierCatalogueOffersM31() {
        WindowFixture f;
        QVERIFY(f.window->startUp());
        SkyPanel* sky = f.window->sky;
        sky->loadCatalogList(qEnvironmentVariable("CORVANE_BIN_DIR") +
                             QStringLiteral("/catalogues"));
        QCOMPARE(sky->cbCatalogs->itemText(0), QStringLiteral("Messier"));
        QCOMPARE(sky->cbCatalogs->currentIndex(), -1); // nothing chosen at start
        sky->chooseCatalogue(0);
        QCOMPARE(sky->cbItems->count(), 110);
        QCOMPARE(fields(*f.window), QStringList({"05", "34.5", "+22", "01"})); // M1 at once
        sky->chooseItem(sky->cbItems->findText(QStringLiteral("M31")));
        QCOMPARE(fields(*f.window), QStringList({"00", "42.7", "+41", "16"}));
        QVERIFY(sky->cbItems->toolTip().startsWith(QStringLiteral("Galaxy, Andromeda Galaxy")));
        QVERIFY(sky->cbItems->toolTip().contains(QStringLiteral(" Mag ")));
        QVERIFY(f.port->writes.isEmpty()); // a pick sends nothing
    }

    // A user's list wins over the shipped one; a record that is not a
    // position, or a list of another catalogue's length, writes nothing stale.
    void aUsersOwnCatalogueIsReadAsItStands() {
        writeFile(QStringLiteral("catalog.lst"), "Mine,5\r\nBroken\r\n");
        writeFile(QStringLiteral("Mine.gtc"),
                  "; my objects\r\nA1,01,02.5,-0,30,x,5.1,south of the equator\r\n"
                  "A2,ab,02.5,+10,30,x,5.1,no hours\r\n");
        WindowFixture f;
        QVERIFY(f.window->startUp());
        SkyPanel* sky = f.window->sky;
        QCOMPARE(sky->cbCatalogs->count(), 1);
        QVERIFY(f.panel(4).contains(QStringLiteral("2"))); // the skipped line is named
        sky->chooseCatalogue(0);
        QCOMPARE(sky->cbItems->count(), 2);
        QCOMPARE(fields(*f.window), QStringList({"01", "02.5", "-00", "30"}));
        sky->chooseItem(1);
        QCOMPARE(fields(*f.window), QStringList({"01", "02.5", "-00", "30"}));
        QVERIFY(f.panel(4).startsWith(QStringLiteral("A2:")));
    }

    // The same moment seen from UTC-7 is the same sky. Earth is under your
    // feet: it leaves the fields alone.
    void planetsAreComputedForTheClockInUtc() {
        const QDateTime epoch(QDate(2000, 1, 1), QTime(12, 0), QTimeZone::utc());
        const std::tuple<QDateTime, int, QStringList> cases[] = {
            {epoch, 4, {"01", "35.9", "+08", "37"}},
            {epoch, 3, {"22", "02.1", "-13", "10"}},
            {epoch.toTimeZone(QTimeZone(-7 * 3600)), 5, {"02", "34.4", "+12", "33"}},
        };
        for (const auto& [now, planet, target] : cases) {
            WindowFixture f;
            QVERIFY(f.window->startUp());
            f.clock.utcAtZero = now.toUTC();
            f.window->sky->choosePlanet(planet);
            QCOMPARE(fields(*f.window), target);
            QCOMPARE(f.window->sky->cbPlanets->itemText(2), QStringLiteral("Earth"));
            f.window->sky->choosePlanet(2);
            QCOMPARE(f.prompts.shown.last().text, QStringLiteral("Just look down"));
            QCOMPARE(fields(*f.window), target);
        }
    }
};

QTEST_MAIN(TestSkyPanel)
#include "test_sky_panel.moc"
