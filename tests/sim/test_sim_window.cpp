// The main window on the built-in simulated board, as "--simulate" runs it:
// the system clock, replies paced at 9600 baud.
#include "motion/MountPosition.h"

#include "common/SimWindow.h"

#include <QLineEdit>
#include <QPushButton>

using namespace corvane;
using namespace corvane::test;

namespace {

struct SimulatedWindow : SimWindow<SystemClock> {
    using SimWindow::SimWindow;
    QString text(const char* box) const { return find<QLineEdit>(QLatin1String(box))->text(); }
    QString caption(const char* name) const {
        return find<QPushButton>(QLatin1String(name))->text();
    }
};

} // namespace

class TestSimWindow : public QObject {
    Q_OBJECT

private slots:
    void connectsReadsTheVersionAndThePosition_data() {
        QTest::addColumn<QString>("firmware");
        for (const char* firmware : {"3.60", "3.50", "3.20"})
            QTest::newRow(firmware) << firmware;
    }
    void connectsReadsTheVersionAndThePosition() {
        QFETCH(QString, firmware);
        SimulatedWindow w({QStringLiteral("--firmware"), firmware});
        QVERIFY(w.connect());
        QVERIFY(w.find<QAction>(QStringLiteral("mnucom_1"))->isVisible());
        QVERIFY(!w.find<QAction>(QStringLiteral("mnucom_2"))->isVisible());
        QCOMPARE(w.caption("cmdGetVersion"),
                 QStringLiteral("Corvane Update Ver. %1 CORV#").arg(firmware));
        QCOMPARE(w.window->session().controller().version().splitSettingsDump,
                 firmware == QLatin1String("3.60"));

        w.port->board().mount().setPosition(5.575, -45.5);
        w.window->session().channel().request(positionQuery());
        QTRY_COMPARE_WITH_TIMEOUT(w.text("ScopeRAtxt"), QStringLiteral("05h34.5m"), 3000);
        QCOMPARE(w.text("ScopeDECtxt"), QStringLiteral("-45\u00B030\""));
    }

    // A garbled version reply: the caption shows its control byte escaped, never raw.
    void aGarbledVersionIsShownEscaped() {
        SimWindow<> w({QStringLiteral("--garble-every"), QStringLiteral("1")});
        QVERIFY(w.connect());
        QCOMPARE(w.find<QPushButton>(QStringLiteral("cmdGetVersion"))->text(),
                 QStringLiteral("Corvane Update Ver. 3.60 \\x19ORV#"));
    }

    // Another port whose device never answers: the window must not go on
    // claiming the first board.
    void aSilentPortIsNeverShownConnected() {
        SimulatedWindow w;
        w.port->addSilentPort(2);
        QVERIFY(w.connect());
        QVERIFY(w.find<QPushButton>(QStringLiteral("cmdtarvix"))->isEnabled());
        const QString firstCaption = w.caption("cmdGetVersion");
        // Disconnected, the version stays; connected elsewhere, it is gone.
        w.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(w.caption("cmdGetVersion"), firstCaption);
        w.trigger(QStringLiteral("mnucom_2"));
        w.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(w.status(1), QStringLiteral("No Corvane update"));
        QCOMPARE(w.caption("cmdGetVersion"), QStringLiteral("Get Firmware Version"));
        QVERIFY(!w.find<QPushButton>(QStringLiteral("cmdtarvix"))->isEnabled());
        QCOMPARE(w.window->session().controller().firmwareVersion(), 0.0f);
        QTRY_COMPARE_WITH_TIMEOUT(w.status(4), QStringLiteral("No reply to the version query"),
                                  3000);
        QCOMPARE(w.status(1), QStringLiteral("No Corvane update"));
        // Moving the live connection back to the board asks it again.
        w.trigger(QStringLiteral("mnucom_1"));
        QTRY_COMPARE_WITH_TIMEOUT(w.status(1), QStringLiteral("Connected"), 3000);
        QCOMPARE(w.caption("cmdGetVersion"), firstCaption);
    }
};

QTEST_MAIN(TestSimWindow)
#include "test_sim_window.moc"
