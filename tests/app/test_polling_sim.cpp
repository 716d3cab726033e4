// End to end on the simulated board: type a target, set it, go there, and
// watch the polled position arrive at it.
#include "common/SimWindow.h"

#include "motion/PositionPolling.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>

using namespace corvane;
using namespace corvane::test;

namespace {

// Replies at once and fast motors, so a slew takes a moment.
struct Mount : SimWindow<SystemClock> {
    Mount() : SimWindow({"--no-pacing", "--speedup", "5000"}) {}
    bool startOnTheGuidingPage() {
        if (!connect())
            return false;
        find<QTabWidget>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    QString text(const char* name) const { return find<QLineEdit>(QLatin1String(name))->text(); }
    // Click into a field, type, and click the next control.
    void type(const char* field, const QString& text) {
        QLineEdit* box = find<QLineEdit>(QLatin1String(field));
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void press(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(QLatin1String(button)), Qt::LeftButton);
    }
};

} // namespace

class TestPollingSim : public QObject {
    Q_OBJECT

private slots:
    void gotoArrivesAtTheTypedTarget() {
        Mount m;
        QVERIFY(m.startOnTheGuidingPage());
        m.type("objhrstxt", "5");
        m.type("objmintxt", "34.5");
        m.type("objDECDegtxt", "22");
        m.type("ObjDECMintxt", "1");
        m.press("cmdSetObj");
        QCOMPARE(m.text("objhrstxt"), QStringLiteral("05"));
        QCOMPARE(m.text("objDECDegtxt"), QStringLiteral("+22"));
        QCOMPARE(m.text("ObjDECMintxt"), QStringLiteral("01"));
        m.press("cmdGotoObj");

        m.find<QScrollBar>(QStringLiteral("scrlUDTime"))->setValue(500);
        m.press("Check1");
        QVERIFY(m.window->session().polling().autoUpdate());
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeRAtxt"), QStringLiteral("05h34.5m"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeDECtxt"), QStringLiteral("+22\u00B001\""), 20000);
        QCOMPARE(m.status(4), QStringLiteral("Time to target 00:00"));
        QVERIFY(m.prompts.shown.isEmpty());
    }

    void syncMakesTheTargetThePosition() {
        Mount m;
        QVERIFY(m.startOnTheGuidingPage());
        m.type("objhrstxt", "18");
        m.type("objmintxt", "36.9");
        m.type("objDECDegtxt", "-0");
        m.type("ObjDECMintxt", "47");
        m.press("cmdSyncObj");
        // Answered at once by the position query that closes the sync.
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeRAtxt"), QStringLiteral("18h36.9m"), 5000);
        QCOMPARE(m.text("ScopeDECtxt"), QStringLiteral("-00\u00B047\""));
    }
};

QTEST_MAIN(TestPollingSim)
#include "test_polling_sim.moc"
