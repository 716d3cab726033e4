// The window on the simulated board as "--simulate" runs it, on the system clock.
#include "common/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Simulated : SimWindow<SystemClock> {
    using SimWindow::SimWindow;
    QString text(const char* box) const { return find<QLineEdit>(QLatin1String(box))->text(); }
    QString position() const { return text("ScopeRAtxt") + ' ' + text("ScopeDECtxt"); }
    // Shown and active on the guiding page; clicks into a field and types.
    bool onTheGuidingPage() {
        window->tabstrip1->setCurrentIndex(1);
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
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

class TestSimWindow : public QObject {
    Q_OBJECT

private slots:
    // A garbled version reply: the caption shows its control byte escaped, never raw.
    void aGarbledVersionIsShownEscaped() {
        SimWindow<> w({QStringLiteral("--garble-every"), QStringLiteral("1")});
        QVERIFY(w.connect());
        QCOMPARE(w.button("cmdGetVersion")->text(),
                 QStringLiteral("Corvane Update Ver. 3.60 \\x19ORV#"));
    }

    // Paced, the version and position are read. A port that never answers is never
    // shown connected; moving the live connection back asks again.
    void aSilentPortIsNeverShownConnected() {
        Simulated w({QStringLiteral("--firmware"), QStringLiteral("3.50")});
        w.port->addSilentPort(2);
        QVERIFY(w.connect());
        QCOMPARE(w.session().controller().version().splitSettingsDump, false);
        w.port->board().mount().setPosition(5.575, -45.5);
        w.channel().request(positionQuery());
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("05h34.5m -45\u00B030\""), 3000);
        QVERIFY(w.button("cmdtarvix")->isEnabled());
        const QString firstCaption = w.button("cmdGetVersion")->text();
        QCOMPARE(firstCaption, QStringLiteral("Corvane Update Ver. 3.50 CORV#"));
        w.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(w.button("cmdGetVersion")->text(), firstCaption);
        w.trigger(QStringLiteral("mnucom_2"));
        w.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(w.panel(1) + ' ' + w.button("cmdGetVersion")->text(),
                 QStringLiteral("No Corvane update Get Firmware Version"));
        QVERIFY(!w.button("cmdtarvix")->isEnabled());
        QCOMPARE(w.session().controller().firmwareVersion(), 0.0f);
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(4), QStringLiteral("No reply to the version query"),
                                  3000);
        QCOMPARE(w.panel(1), QStringLiteral("No Corvane update"));
        w.trigger(QStringLiteral("mnucom_1"));
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(1), QStringLiteral("Connected"), 3000);
        QCOMPARE(w.button("cmdGetVersion")->text(), firstCaption);
    }

    // A typed target set and gone to, the polled position arriving there; a sync's
    // closing position query shows it at once.
    void gotoAndSyncOnTheTypedTarget() {
        Simulated w({"--no-pacing", "--speedup", "5000"});
        QVERIFY(w.connect() && w.onTheGuidingPage());
        w.type("objhrstxt", "5");
        w.type("objmintxt", "34.5");
        w.type("objDECDegtxt", "22");
        w.type("ObjDECMintxt", "1");
        w.press("cmdSetObj");
        QCOMPARE(w.text("objhrstxt") + w.text("objDECDegtxt") + w.text("ObjDECMintxt"), "05+2201");
        w.press("cmdGotoObj");
        w.find<QScrollBar>(QStringLiteral("scrlUDTime"))->setValue(500);
        w.press("Check1");
        QVERIFY(w.session().polling().autoUpdate());
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("05h34.5m +22\u00B001\""), 20000);
        QCOMPARE(w.panel(4), QStringLiteral("Time to target 00:00"));
        w.press("Check1");
        w.type("objhrstxt", "18");
        w.type("objmintxt", "36.9");
        w.type("objDECDegtxt", "-0");
        w.type("ObjDECMintxt", "47");
        w.press("cmdSyncObj");
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("18h36.9m -00\u00B047\""), 5000);
        QVERIFY(w.prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestSimWindow)
#include "test_sim_window.moc"
