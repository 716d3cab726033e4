// Every control of the guiding, focus and output panels, pressed in turn on
// the simulated board: the board's traffic log must hold exactly the
// commands the controls stand for, in order.
#include "common/WindowFixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace corvane;
using namespace corvane::test;

class TestPanelsOnSim : public QObject {
    Q_OBJECT

private slots:
    void guidingControlsReachTheBoard() {
        SimWindow<> w;
        QVERIFY(w.connect());
        for (const char* name : {"Option1_1", "cmdMoveN", "cmdMoveN", "cmdMoveW", "cmdMoveStop",
                                 "chkSwpNS", "cmdMoveS", "cmdMoveS", "cmdPulse"})
            w.click(QLatin1String(name)); // the swap box sends nothing
        w.find<QLineEdit>(QStringLiteral("Pulsetxt"))->setText(QStringLiteral("0250"));
        for (const char* name : {"cmdMoveE", "cmdPulse", "cmdFindIt", "cmdFindIt"})
            w.click(QLatin1String(name));
        QVERIFY(w.find<QPushButton>(QStringLiteral("cmdtarvix"))->isEnabled());
        w.click(QStringLiteral("cmdtarvix"));
        w.click(QStringLiteral("cmdtarvix"));
        QCOMPARE(w.received(), QStringList({"#:GV#", "#:RM#", "#:Qs#", "#:Mn#", "#:Qn#", "#:Qe#",
                                            "#:Mw#", "#:Q#", "#:Qn#", "#:Ms#", "#:Qs#", "#:Q#",
                                            "#:Mge250#", "#:Q#", "F", "#:Mn:Q#", "#>I", "#<I"}));
    }

    // A focus pulse of the length typed stops its move; one typed wrong is
    // refused. The outputs' check marks are their only record: each choice
    // sends the new state, so two in a row switch on, then off.
    void focusAndOutputsReachTheBoard() {
        SimWindow<> w;
        QVERIFY(w.connect());
        for (const char* name : {"FastFocus", "FastFocus", "cmdFocusIn", "cmdFocusStop",
                                 "cmdFocusOut", "cmdFocusStop", "PulseFocus"})
            w.click(QLatin1String(name));
        for (const char* typed : {"40", "O"}) {
            QTest::keyClicks(w.find<QLineEdit>(QStringLiteral("FocusPulsetxt")), typed);
            w.click(QStringLiteral("cmdFocusIn"));
            w.clock.advance(40);
        }
        QCOMPARE(w.prompts.shown.size(), 1);
        for (const char* name : {"mnuFanCntrl", "mnuPin7", "mnuPin14"}) {
            w.trigger(QLatin1String(name));
            QVERIFY(w.find<QAction>(QLatin1String(name))->isChecked());
            w.trigger(QLatin1String(name));
            QVERIFY(!w.find<QAction>(QLatin1String(name))->isChecked());
        }
        QCOMPARE(w.received(),
                 QStringList({"#:GV#", "#:FF#", "#:FS#", "#:F+#", "#:FQ#", "#:F-#", "#:FQ#",
                              "#:F+#", "#:FQ#", "#:f+#", "#:f-#", "#>1R", "#<1R", "#>R", "#<R"}));
    }
};

QTEST_MAIN(TestPanelsOnSim)
#include "test_panels_on_sim.moc"
