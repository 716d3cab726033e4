// Every control of the guiding, focus and output panels, pressed in turn on
// the simulated board: the board's traffic log must hold exactly the
// commands the controls stand for, in order.
#include "app/MainWindow.h"
#include "common/FakeClock.h"
#include "common/ScriptedPrompts.h"
#include "sim/SimSerialPort.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::test;

class TestPanelsOnSim : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeClock m_clock;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_window;

    template <typename T> T* find(const char* name) const {
        T* w = m_window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control named %s", name);
        return w;
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }

    // The bytes the board received, as logged: the lines marked ">".
    QStringList received() const {
        QFile log(m_dir.filePath(QStringLiteral("line.log")));
        if (!log.open(QIODevice::ReadOnly))
            return {QStringLiteral("no log")};
        QStringList out;
        while (!log.atEnd()) {
            const QString line = QString::fromLatin1(log.readLine()).trimmed();
            const int mark = line.indexOf(QStringLiteral(" > "));
            if (mark > 0)
                out << line.mid(mark + 3);
        }
        return out;
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QString error;
        auto* port = sim::SimSerialPort::create(
            m_clock, {"--no-pacing", "--log", m_dir.filePath(QStringLiteral("line.log"))}, &error);
        QVERIFY2(port, qPrintable(error));
        m_window = std::make_unique<MainWindow>(port, m_clock, m_prompts);
        QVERIFY(m_window->startUp());
        trigger("mnuConnect");
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("StatusBar1_1")->text(), QStringLiteral("Connected"),
                                  2000);
    }
    void cleanup() { m_window.reset(); }

    void guidingControlsReachTheBoard() {
        click("Option1_1");
        click("cmdMoveN");
        click("cmdMoveN");
        click("cmdMoveW");
        click("cmdMoveStop");
        click("chkSwpNS"); // sends nothing
        click("cmdMoveS");
        click("cmdMoveS");
        click("cmdPulse");
        find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("0250"));
        click("cmdMoveE");
        click("cmdPulse");
        click("cmdFindIt");
        click("cmdFindIt");
        QVERIFY(find<QPushButton>("cmdtarvix")->isEnabled());
        click("cmdtarvix");
        click("cmdtarvix");
        QCOMPARE(received(), QStringList({"#:GV#", "#:RM#", "#:Qs#", "#:Mn#", "#:Qn#", "#:Qe#",
                                          "#:Mw#", "#:Q#", "#:Qn#", "#:Ms#", "#:Qs#", "#:Q#",
                                          "#:Mge250#", "#:Q#", "F", "#:Mn:Q#", "#>I", "#<I"}));
    }

    void focusAndOutputsReachTheBoard() {
        click("FastFocus");
        click("FastFocus");
        click("cmdFocusIn");
        click("cmdFocusStop");
        click("cmdFocusOut");
        click("cmdFocusStop");
        trigger("mnuFanCntrl");
        trigger("mnuFanCntrl");
        trigger("mnuPin7");
        trigger("mnuPin7");
        trigger("mnuPin14");
        trigger("mnuPin14");
        QCOMPARE(received(),
                 QStringList({"#:GV#", "#:FF#", "#:FS#", "#:F+#", "#:FQ#", "#:F-#", "#:FQ#",
                              "#:f+#", "#:f-#", "#>1R", "#<1R", "#>R", "#<R"}));
        QVERIFY(!find<QAction>("mnuFanCntrl")->isChecked());
    }
};

QTEST_MAIN(TestPanelsOnSim)
#include "test_panels_on_sim.moc"
