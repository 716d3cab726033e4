// The guiding panel in the window: move buttons, swap boxes, rates, guide
// pulses and find. The simulated board checks each control's commands
// (test_panels_on_sim) and the tracking-correction button following the
// firmware (test_sim_window); here what the panel shows, and the order and
// spacing of what it sends.
#include "common/WindowFixture.h"
#include "motion/ui/GuidePanel.h"

#include "app/PositionPolling.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

// Connected, with the connection's own traffic forgotten.
struct Connected : WindowFixture {
    Connected() {
        startAndConnect();
        port->clearWrites();
    }
    QStringList sent() const { return port->writtenCommands(); }
    void press(const char* name) const { button(QLatin1String(name))->click(); }
    QString text(const char* name) const { return button(QLatin1String(name))->text(); }
    QString tip(const char* name) const { return button(QLatin1String(name))->toolTip(); }
    // The move buttons N, S, W, E as they look: one drawn flat (moving) is marked "*".
    QString moves() const {
        QStringList looks;
        for (const char* name : {"cmdMoveN", "cmdMoveS", "cmdMoveW", "cmdMoveE"}) {
            const QPushButton* b = button(QLatin1String(name));
            looks << b->text() + QLatin1String(b->isFlat() ? "*" : "");
        }
        return looks.join(QLatin1String(", "));
    }
};

} // namespace

class TestGuidePanel : public QObject {
    Q_OBJECT
private slots:
    void startUpSelectsTheFirstRateAndWaitsForTheFirmware() {
        WindowFixture f;
        f.window->startUp();
        QVERIFY(f.find<QRadioButton>("Option1_0")->isChecked());
        QCOMPARE(f.find<QLineEdit>("Pulsetxt")->text(), QStringLiteral("0000"));
        QVERIFY(!f.button("cmdtarvix")->isEnabled());
        // No known command parks the mount: the button cannot claim to.
        QVERIFY(!f.button("cmdPark")->isEnabled());
        // With the port closed start-up sends nothing.
        QVERIFY(f.port->writes.isEmpty());
    }

    void aMoveStartsThenStopsAndStartingStopsTheOpposite() {
        Connected f;
        f.press("cmdMoveN");
        QCOMPARE(f.moves(), QStringLiteral("Moving N*, S, W, E"));
        QCOMPARE(f.tip("cmdMoveN"), QStringLiteral("Stop Moving N"));
        f.press("cmdMoveN");
        QCOMPARE(f.moves(), QStringLiteral("N, S, W, E"));
        QCOMPARE(f.tip("cmdMoveN"), QStringLiteral("Move N"));
        // West moves as "MovingW", without a blank; east stops it first and
        // west shows idle again.
        f.press("cmdMoveW");
        QCOMPARE(f.moves(), QStringLiteral("N, S, MovingW*, E"));
        f.press("cmdMoveE");
        QCOMPARE(f.moves(), QStringLiteral("N, S, W, Moving E*"));
        // "MovingW" is a moving caption: the second press stops west.
        f.press("cmdMoveW");
        f.press("cmdMoveW");
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#", "#:Qn#", "#:Qe#", "#:Mw#", "#:Qw#",
                                        "#:Me#", "#:Qe#", "#:Mw#", "#:Qw#"}));
        // STOP makes every button idle.
        f.press("cmdMoveN");
        f.press("cmdMoveE");
        QCOMPARE(f.moves(), QStringLiteral("Moving N*, S, W, Moving E*"));
        f.port->clearWrites();
        f.press("cmdMoveStop");
        QCOMPARE(f.sent(), QStringList({"#:Q#"}));
        QCOMPARE(f.moves(), QStringLiteral("N, S, W, E"));
        QCOMPARE(f.tip("cmdMoveE"), QStringLiteral("Move E"));
    }

    void swappedLettersChangeCaptionsNotCommands() {
        Connected f;
        f.find<QCheckBox>("chkSwpNS")->click();
        QCOMPARE(f.moves(), QStringLiteral("S, N, W, E"));
        f.press("cmdMoveN");
        QCOMPARE(f.moves(), QStringLiteral("Moving S*, N, W, E"));
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#"}));
        // Swapping back while moving: the button still says it moves, and
        // its next press stops the motion.
        f.find<QCheckBox>("chkSwpNS")->click();
        QCOMPARE(f.moves(), QStringLiteral("Moving N*, S, W, E"));
        QCOMPARE(f.port->writes.size(), 2);
        f.press("cmdMoveN");
        QCOMPARE(f.sent().last(), QStringLiteral("#:Qn#"));
        f.find<QCheckBox>("chkSwpEW")->click();
        QCOMPARE(f.moves(), QStringLiteral("N, S, E, W"));
    }

    void rateButtonsSendTheirRateUnderAnyCaption() {
        Connected f;
        const char* const commands[3] = {"#:RG#", "#:RM#", "#:RS#"};
        for (int i = 0; i < 3; ++i) {
            auto* option = f.find<QRadioButton>(QStringLiteral("Option1_%1").arg(i));
            // The settings readback renames a rate; its command stays.
            f.window->guide->setRateCaption(i, QStringLiteral("1.67X"));
            QCOMPARE(option->text(), QStringLiteral("1.67X"));
            f.port->clearWrites();
            option->click();
            QVERIFY(option->isChecked());
            QCOMPARE(f.sent(), QStringList({commands[i]}));
        }
    }

    void aPulseStopsAllThenMovesForItsTime() {
        Connected f;
        f.press("cmdPulse");
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Pulse Guide On"));
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("0250"));
        f.press("cmdMoveE");
        QCOMPARE(f.sent(), QStringList({"#:Q#", "#:Mge250#"}));
        QCOMPARE(f.port->writes[1].atMs - f.port->writes[0].atMs, 100);
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Guiding E"));
        // Move buttons keep their look in pulse mode.
        QCOMPARE(f.moves(), QStringLiteral("N, S, W, E"));
        QTRY_COMPARE_WITH_TIMEOUT(f.text("cmdPulse"), QStringLiteral("Pulse Guide On"), 5000);
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());

        // Leaving pulse mode during a pulse: its end does not turn the mode back on.
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("50"));
        f.press("cmdMoveN");
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Guiding N"));
        f.press("cmdPulse");
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Pulse Guide Off"));
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());
        QTest::qWait(120);
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Pulse Guide Off"));
        // Out of pulse mode the button moves continuously again.
        f.port->clearWrites();
        f.press("cmdMoveN");
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#"}));
    }

    void findPausesPollingAndStopFindResumesIt() {
        Connected f;
        // Without polling, a find leaves it off.
        f.press("cmdFindIt");
        f.press("cmdFindIt");
        QVERIFY(!f.window->Timer1->isActive());
        QVERIFY(!f.window->polling().autoUpdate());
        auto* check1 = f.find<QCheckBox>("Check1");
        f.window->polling().setGuidingPageShown(true);
        check1->setChecked(true);
        QVERIFY(f.window->Timer1->isActive());
        f.find<QCheckBox>("chkSwpEW")->click();
        f.press("cmdMoveW");
        f.port->clearWrites();

        f.press("cmdFindIt");
        QCOMPARE(f.sent(), QStringList({"#:Q#", "F"}));
        QCOMPARE(f.port->writes[1].atMs - f.port->writes[0].atMs, 100);
        QCOMPARE(f.text("cmdFindIt"), QStringLiteral("Stop Find"));
        QVERIFY(!f.window->Timer1->isActive());
        QVERIFY(!f.window->polling().autoUpdate());
        QVERIFY(!check1->isEnabled());
        for (const char* name : {"cmdMoveN", "cmdMoveS", "cmdMoveW", "cmdMoveE", "cmdMoveStop"})
            QVERIFY(!f.button(name)->isEnabled());
        // The captions follow the swap boxes, and the stopped move looks idle.
        QCOMPARE(f.moves(), QStringLiteral("N, S, E, W"));

        f.port->clearWrites();
        f.press("cmdFindIt");
        QCOMPARE(f.sent(), QStringList({"#:Mn:Q#"}));
        QCOMPARE(f.text("cmdFindIt"), QStringLiteral("Find"));
        QVERIFY(f.window->Timer1->isActive());
        QVERIFY(f.window->polling().autoUpdate());
        QVERIFY(check1->isEnabled());
        QVERIFY(f.button("cmdMoveStop")->isEnabled());
        QCOMPARE(f.moves(), QStringLiteral("N, S, E, W"));
        f.window->Timer1->stop();
    }
};

QTEST_MAIN(TestGuidePanel)
#include "test_guide_panel.moc"
