// End to end on the simulated board: type a target, set it, go there, and
// watch the polled position arrive at it.
#include "app/MainWindow.h"
#include "app/PositionPolling.h"
#include "common/Clock.h"
#include "common/ScriptedPrompts.h"
#include "motion/ui/TargetPanel.h"
#include "sim/SimSerialPort.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

using namespace corvane;
using corvane::test::ScriptedPrompts;

namespace {

struct SimulatedMount {
    SystemClock clock;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

    SimulatedMount() {
        QString error;
        // Replies at once and fast motors, so a slew takes a moment.
        auto* port =
            sim::SimSerialPort::create(clock, {"--no-pacing", "--speedup", "5000"}, &error);
        QVERIFY2(port, qPrintable(error));
        window = std::make_unique<MainWindow>(port, clock, prompts);
    }
    template <typename T> T* find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control named %s", name);
        return w;
    }
    QString text(const char* name) const { return find<QLineEdit>(name)->text(); }
    bool startOnTheGuidingPage() {
        if (!window->startUp())
            return false;
        find<QAction>("mnuConnect")->trigger();
        find<QTabWidget>("tabstrip1")->setCurrentIndex(1);
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    // Click into a field, type, and click the next control.
    void type(const char* field, const QString& text) {
        QLineEdit* box = find<QLineEdit>(field);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
};

} // namespace

class TestPollingSim : public QObject {
    Q_OBJECT

private slots:

    void gotoArrivesAtTheTypedTarget() {
        SimulatedMount m;
        QVERIFY(m.startOnTheGuidingPage());
        m.type("objhrstxt", "5");
        m.type("objmintxt", "34.5");
        m.type("objDECDegtxt", "22");
        m.type("ObjDECMintxt", "1");
        m.click("cmdSetObj");
        QCOMPARE(m.text("objhrstxt"), QStringLiteral("05"));
        QCOMPARE(m.text("objDECDegtxt"), QStringLiteral("+22"));
        QCOMPARE(m.text("ObjDECMintxt"), QStringLiteral("01"));
        m.click("cmdGotoObj");

        m.find<QScrollBar>("scrlUDTime")->setValue(500);
        QTest::mouseClick(m.find<QCheckBox>("Check1"), Qt::LeftButton);
        QVERIFY(m.window->polling().autoUpdate());
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeRAtxt"), QStringLiteral("05h34.5m"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeDECtxt"), QStringLiteral("+22\u00B001\""), 20000);
        QCOMPARE(m.find<QLabel>("StatusBar1_4")->text(), QStringLiteral("Time to target 00:00"));
        QVERIFY(m.prompts.shown.isEmpty());
    }

    void syncMakesTheTargetThePosition() {
        SimulatedMount m;
        QVERIFY(m.startOnTheGuidingPage());
        m.type("objhrstxt", "18");
        m.type("objmintxt", "36.9");
        m.type("objDECDegtxt", "-0");
        m.type("ObjDECMintxt", "47");
        m.click("cmdSyncObj");
        // Answered at once by the position query that closes the sync.
        QTRY_COMPARE_WITH_TIMEOUT(m.text("ScopeRAtxt"), QStringLiteral("18h36.9m"), 5000);
        QCOMPARE(m.text("ScopeDECtxt"), QStringLiteral("-00\u00B047\""));
    }
};

QTEST_MAIN(TestPollingSim)
#include "test_polling_sim.moc"
