// The window on the simulated board as "--simulate" runs it, on the system clock
// (and on an in-memory port for replies this board never gives).
#include "common/WindowFixture.h"
#include "pec/PecModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Simulated : SimWindow<SystemClock> {
    using SimWindow::SimWindow;
    template <typename T = QLineEdit> QString text(const char* box) const {
        if constexpr (std::is_same_v<T, QLineEdit>)
            return find<T>(QLatin1String(box))->text();
        else
            return find<T>(QLatin1String(box))->toPlainText();
    }
    QString position() const { return text("ScopeRAtxt") + ' ' + text("ScopeDECtxt"); }
    // Shown and active on the guiding page; clicks into a field and types.
    bool onTheGuidingPage() {
        window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
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
    // Replies run together in one reception (the question asked again while an
    // answer was on its way): the caption shows the first alone.
    void versionCaptions() {
        SimWindow<> w({QStringLiteral("--garble-every"), QStringLiteral("1")});
        QVERIFY(w.connect());
        QCOMPARE(w.button("cmdGetVersion")->text(),
                 QStringLiteral("Corvane Update Ver. 3.60 \\x19ORV#"));
        for (const QByteArray& reply :
             {QByteArray("3.61 CORV#"), QByteArray("1.9#      "), QByteArray("3.61 12#")}) {
            WindowFixture board;
            board.startAndConnect(reply + reply + reply);
            QCOMPARE(board.button("cmdGetVersion")->text(),
                     "Corvane Update Ver. " + QString::fromLatin1(reply));
        }
    }

    // A click straight after a tab change, while the page's queries are on the
    // line, waits for them and runs; a second one beside the read-out it started
    // is refused, and that read-out still comes in whole.
    void aQuickClickAfterATabChangeRuns() {
        Simulated w({QStringLiteral("--no-pacing")});
        QVERIFY(w.connect());
        w.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(2);
        QPushButton* getData = w.button(QStringLiteral("GetPECData"));
        getData->click();
        QVERIFY(w.settle(20000));
        QVERIFY(w.prompts.shown.isEmpty());
        const auto table = [&] { return w.text<QPlainTextEdit>("pecdata2txt").count('\n'); };
        QCOMPARE(table(), 257);
        getData->click();
        getData->click();
        QVERIFY(w.session().pec().isBusy());
        QVERIFY(w.settle(20000));
        QCOMPARE(w.prompts.shown.size(), 1);
        QVERIFY(w.prompts.shown.at(0).text.startsWith(QLatin1String("Another exchange")));
        QCOMPARE(table(), 257);
        QCOMPARE(w.find<QProgressBar>(QStringLiteral("PECProgress"))->value(), 255);
    }

    // Paced, the version and position are read. A port that never answers is never
    // shown connected; moving the live connection back asks again.
    void aSilentPortIsNeverShownConnected() {
        Simulated w({QStringLiteral("--firmware"), QStringLiteral("3.50")});
        w.port->addSilentPort(2);
        QVERIFY(w.connect());
        QCOMPARE(w.session().controller().version().splitSettingsDump, false);
        w.port->board().mount().setPosition(5.575, -45.5);
        w.line().request(positionQuery(), w.session().position().positionReply());
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("05h34.5m -45\u00B030\""), 20000);
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
                                  20000);
        QCOMPARE(w.panel(1), QStringLiteral("No Corvane update"));
        w.trigger(QStringLiteral("mnucom_1"));
        QTRY_COMPARE_WITH_TIMEOUT(w.panel(1), QStringLiteral("Connected"), 20000);
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
        // Polling is seen on its timer as on any Qt timer, found by its name.
        const QObject* timer1 = w.window->findChild<QObject*>(QStringLiteral("Timer1"));
        QVERIFY(timer1);
        QCOMPARE(timer1->property("active").toString() + ' ' +
                     timer1->property("interval").toString(),
                 QStringLiteral("true 500"));
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("05h34.5m +22\u00B001\""), 20000);
        QCOMPARE(w.panel(4), QStringLiteral("Time to target 00:00"));
        w.press("Check1");
        QCOMPARE(timer1->property("active"), QVariant(false));
        w.type("objhrstxt", "18");
        w.type("objmintxt", "36.9");
        w.type("objDECDegtxt", "-0");
        w.type("ObjDECMintxt", "47");
        w.press("cmdSyncObj");
        QTRY_COMPARE_WITH_TIMEOUT(w.position(), QStringLiteral("18h36.9m -00\u00B047\""), 20000);
        QVERIFY(w.prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestSimWindow)
#include "test_sim_window.moc"
