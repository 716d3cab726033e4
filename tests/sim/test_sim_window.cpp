// The main window on the built-in simulated board, as "--simulate" runs it:
// the system clock, replies paced at 9600 baud.
#include "app/MainWindow.h"
#include "common/Clock.h"
#include "common/ScriptedPrompts.h"
#include "sim/SimSerialPort.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::sim;
using corvane::test::ScriptedPrompts;

namespace {

struct SimulatedWindow {
    SystemClock clock;
    ScriptedPrompts prompts;
    SimSerialPort* port = nullptr;
    std::unique_ptr<MainWindow> window;

    explicit SimulatedWindow(const QStringList& simulatorArgs = {}) {
        QString error;
        port = SimSerialPort::create(clock, simulatorArgs, &error);
        QVERIFY2(port, qPrintable(error));
        window = std::make_unique<MainWindow>(port, clock, prompts);
    }
    template <typename T> T* find(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    QString statusPanel1() const { return find<QLabel>("StatusBar1_1")->text(); }
    QString text(const char* box) const { return find<QLineEdit>(box)->text(); }
    void connect() {
        QVERIFY(window->startUp());
        find<QAction>("mnuConnect")->trigger();
    }
};

} // namespace

class TestSimWindow : public QObject {
    Q_OBJECT

private slots:

    void connectsReadsTheVersionAndThePosition_data() {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("caption");
        QTest::newRow("3.60") << "3.60"
                              << "Corvane Update Ver. 3.60 CORV#";
        QTest::newRow("3.50") << "3.50"
                              << "Corvane Update Ver. 3.50 CORV#";
        QTest::newRow("3.20") << "3.20"
                              << "Corvane Update Ver. 3.20 CORV#";
    }
    void connectsReadsTheVersionAndThePosition() {
        QFETCH(QString, firmware);
        QFETCH(QString, caption);
        SimulatedWindow w({QStringLiteral("--firmware"), firmware});
        w.connect();
        QCOMPARE(w.find<QAction>("mnucom_1")->isVisible(), true);
        QCOMPARE(w.find<QAction>("mnucom_2")->isVisible(), false);
        QTRY_COMPARE_WITH_TIMEOUT(w.find<QPushButton>("cmdGetVersion")->text(), caption, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel1(), QStringLiteral("Connected"), 3000);
        QCOMPARE(w.window->controller().version().splitSettingsDump,
                 firmware == QLatin1String("3.60"));

        w.port->board().mount().setPosition(5.575, -45.5);
        w.window->channel().getPos();
        QTRY_COMPARE_WITH_TIMEOUT(w.text("ScopeRAtxt"), QStringLiteral("05h34.5m"), 3000);
        QCOMPARE(w.text("ScopeDECtxt"), QStringLiteral("-45\u00B030\""));
    }

    // Another port whose device never answers: the window must not go on
    // claiming the first board.
    void aSilentPortIsNeverShownConnected() {
        SimulatedWindow w;
        w.port->addSilentPort(2);
        w.connect();
        QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel1(), QStringLiteral("Connected"), 3000);
        QVERIFY(w.find<QPushButton>("cmdtarvix")->isEnabled());
        const QString firstCaption = w.find<QPushButton>("cmdGetVersion")->text();
        // Disconnected, the version stays; connected elsewhere, it is gone.
        w.find<QAction>("mnuConnect")->trigger();
        QCOMPARE(w.find<QPushButton>("cmdGetVersion")->text(), firstCaption);
        w.find<QAction>("mnucom_2")->trigger();
        w.find<QAction>("mnuConnect")->trigger();
        QCOMPARE(w.statusPanel1(), QStringLiteral("No Corvane update"));
        QCOMPARE(w.find<QPushButton>("cmdGetVersion")->text(),
                 QStringLiteral("Get Firmware Version"));
        QVERIFY(!w.find<QPushButton>("cmdtarvix")->isEnabled());
        QCOMPARE(w.window->controller().firmwareVersion(), 0.0f);
        QTRY_COMPARE_WITH_TIMEOUT(w.find<QLabel>("StatusBar1_4")->text(),
                                  QStringLiteral("No reply to the version query"), 3000);
        QCOMPARE(w.statusPanel1(), QStringLiteral("No Corvane update"));
        // Moving the live connection back to the board asks it again.
        w.find<QAction>("mnucom_1")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.statusPanel1(), QStringLiteral("Connected"), 3000);
        QCOMPARE(w.find<QPushButton>("cmdGetVersion")->text(), firstCaption);
    }
};

QTEST_MAIN(TestSimWindow)
#include "test_sim_window.moc"
