#include "common/WindowFixture.h"
#include "link/ui/TerminalPanel.h"
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

// A started window, connected, with the connection's own traffic forgotten.
struct Guiding : WindowFixture {
    Guiding() {
        startAndConnect();
        port->clearWrites();
        clock.pauses.clear();
    }
    QPushButton* move(const char* name) const { return button(QLatin1String(name)); }
    void click(const char* name) const { move(name)->click(); }
    QStringList sent() const { return port->writtenCommands(); }
};

} // namespace

class TestGuidePanel : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheCaptionsAndStatesOfItsDesign() {
        WindowFixture f;
        f.window->startUp();
        QCOMPARE(f.find<QGroupBox>("GuideFrame")->title(), QStringLiteral("Guiding"));
        QCOMPARE(f.button("cmdMoveN")->toolTip(), QStringLiteral("Move North at the gude rate"));
        QCOMPARE(f.button("cmdMoveStop")->text(), QStringLiteral("STOP"));
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide Off"));
        QCOMPARE(f.find<QLineEdit>("Pulsetxt")->text(), QStringLiteral("0000"));
        QVERIFY(f.find<QRadioButton>("Option1_0")->isChecked());
        QCOMPARE(f.find<QRadioButton>("Option1_2")->text(), QStringLiteral("16X"));
        QVERIFY(!f.button("cmdtarvix")->isEnabled());
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());
        // No known command parks the mount: the button cannot claim to.
        QCOMPARE(f.button("cmdPark")->text(), QStringLiteral("PARK"));
        QVERIFY(!f.button("cmdPark")->isEnabled());
        // With the port closed start-up sends nothing.
        QVERIFY(f.port->writes.isEmpty());
    }

    void pressingAMoveButtonTwiceStartsThenStops() {
        Guiding f;
        f.click("cmdMoveN");
        QCOMPARE(f.move("cmdMoveN")->text(), QStringLiteral("Moving N"));
        QVERIFY(f.move("cmdMoveN")->isFlat());
        QCOMPARE(f.move("cmdMoveN")->toolTip(), QStringLiteral("Stop Moving N"));
        f.click("cmdMoveN");
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#", "#:Qn#"}));
        QCOMPARE(f.move("cmdMoveN")->text(), QStringLiteral("N"));
        QVERIFY(!f.move("cmdMoveN")->isFlat());
        QCOMPARE(f.move("cmdMoveN")->toolTip(), QStringLiteral("Move N"));
    }

    void westMovesAsMovingWithoutABlank() {
        Guiding f;
        f.click("cmdMoveW");
        f.click("cmdMoveE");
        // East stops west first; west shows idle again.
        QCOMPARE(f.sent(), QStringList({"#:Qe#", "#:Mw#", "#:Qw#", "#:Me#"}));
        QCOMPARE(f.move("cmdMoveE")->text(), QStringLiteral("Moving E"));
        QCOMPARE(f.move("cmdMoveW")->text(), QStringLiteral("W"));
        QVERIFY(!f.move("cmdMoveW")->isFlat());
        QCOMPARE(f.move("cmdMoveW")->toolTip(), QStringLiteral("Move W"));
        f.click("cmdMoveW");
        QCOMPARE(f.move("cmdMoveW")->text(), QStringLiteral("MovingW"));
    }

    void swappedLettersChangeCaptionsNotCommands() {
        Guiding f;
        f.find<QCheckBox>("chkSwpNS")->click();
        QCOMPARE(f.move("cmdMoveN")->text(), QStringLiteral("S"));
        QCOMPARE(f.move("cmdMoveS")->text(), QStringLiteral("N"));
        f.click("cmdMoveN");
        QCOMPARE(f.move("cmdMoveN")->text(), QStringLiteral("Moving S"));
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#"}));
        QVERIFY(f.port->writes.size() == 2);
        // Swapping back while moving: the button still says it moves, and
        // its next press stops the motion.
        f.find<QCheckBox>("chkSwpNS")->click();
        QCOMPARE(f.move("cmdMoveN")->text(), QStringLiteral("Moving N"));
        QCOMPARE(f.port->writes.size(), 2);
        f.click("cmdMoveN");
        QCOMPARE(f.sent().last(), QStringLiteral("#:Qn#"));
        f.find<QCheckBox>("chkSwpEW")->click();
        QCOMPARE(f.move("cmdMoveW")->text(), QStringLiteral("E"));
        QCOMPARE(f.move("cmdMoveE")->text(), QStringLiteral("W"));
    }

    void stopMakesEveryButtonIdle() {
        Guiding f;
        f.click("cmdMoveN");
        f.click("cmdMoveE");
        f.port->clearWrites();
        f.click("cmdMoveStop");
        QCOMPARE(f.sent(), QStringList({"#:Q#"}));
        for (const char* name : {"cmdMoveN", "cmdMoveS", "cmdMoveW", "cmdMoveE"}) {
            QCOMPARE(f.move(name)->text(), f.move(name)->objectName().right(1));
            QVERIFY(!f.move(name)->isFlat());
        }
        QCOMPARE(f.move("cmdMoveE")->toolTip(), QStringLiteral("Move E"));
    }

    void rateButtonsSendTheirRate_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("command");
        QTest::newRow("2X") << 0 << "#:RG#";
        QTest::newRow("8X") << 1 << "#:RM#";
        QTest::newRow("16X") << 2 << "#:RS#";
    }
    void rateButtonsSendTheirRate() {
        QFETCH(int, index);
        QFETCH(QString, command);
        Guiding f;
        auto* option = f.find<QRadioButton>(QStringLiteral("Option1_%1").arg(index));
        option->click();
        QVERIFY(option->isChecked());
        QCOMPARE(f.sent(), QStringList({command}));
        // The settings readback renames a rate; its command stays.
        f.window->guide->setRateCaption(index, QStringLiteral("1.67X"));
        QCOMPARE(option->text(), QStringLiteral("1.67X"));
    }

    void pulseSendsAStopThenTheTimedMove() {
        Guiding f;
        f.button("cmdPulse")->click();
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide On"));
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("0250"));
        f.click("cmdMoveE");
        QCOMPARE(f.sent(), QStringList({"#:Q#", "#:Mge250#"}));
        QCOMPARE(f.port->writes[1].atMs - f.port->writes[0].atMs, 100);
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Guiding E"));
        // Move buttons keep their look in pulse mode.
        QCOMPARE(f.move("cmdMoveE")->text(), QStringLiteral("E"));
        QTimer* timer2 = f.find<QTimer>("Timer2");
        QVERIFY(timer2->isActive());
        QCOMPARE(timer2->interval(), 250);
        QTRY_COMPARE_WITH_TIMEOUT(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide On"),
                                  5000);
        QVERIFY(!timer2->isActive());
    }

    void pulseTimeMustBeAWholeNumberUpTo65535_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("too long") << "70000";
        QTest::newRow("negative") << "-20";
        QTest::newRow("fraction") << "2.5";
        QTest::newRow("empty") << "";
    }
    void pulseTimeMustBeAWholeNumberUpTo65535() {
        QFETCH(QString, text);
        Guiding f;
        f.button("cmdPulse")->click();
        f.find<QLineEdit>("Pulsetxt")->setText(text);
        f.click("cmdMoveN");
        QVERIFY(f.port->writes.isEmpty());
        QCOMPARE(f.prompts.shown.size(), 1);
        QCOMPARE(f.prompts.shown[0].text, QStringLiteral("Invalid Entry"));
        QCOMPARE(f.prompts.shown[0].buttons, PromptButtons::Ok);
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide On"));
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());
    }

    void zeroPulseEndsAtOnce() {
        Guiding f;
        f.button("cmdPulse")->click();
        f.click("cmdMoveS");
        QCOMPARE(f.sent(), QStringList({"#:Q#", "#:Mgs0#"}));
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide On"));
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());
    }

    void leavingPulseModeDuringAPulseStaysOff() {
        Guiding f;
        f.button("cmdPulse")->click();
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("50"));
        f.click("cmdMoveN");
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Guiding N"));
        f.button("cmdPulse")->click();
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide Off"));
        QVERIFY(!f.find<QTimer>("Timer2")->isActive());
        QTest::qWait(120);
        QCOMPARE(f.button("cmdPulse")->text(), QStringLiteral("Pulse Guide Off"));
        // Out of pulse mode the button moves continuously again.
        f.port->clearWrites();
        f.click("cmdMoveN");
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#"}));
    }

    void findPausesPollingAndStopFindResumesIt() {
        Guiding f;
        auto* check1 = f.find<QCheckBox>("Check1");
        f.window->polling().setGuidingPageShown(true);
        check1->setChecked(true);
        QVERIFY(f.window->Timer1->isActive());
        f.find<QCheckBox>("chkSwpEW")->click();
        f.click("cmdMoveW");
        f.port->clearWrites();

        f.button("cmdFindIt")->click();
        QCOMPARE(f.sent(), QStringList({"#:Q#", "F"}));
        QCOMPARE(f.port->writes[1].atMs - f.port->writes[0].atMs, 100);
        QCOMPARE(f.button("cmdFindIt")->text(), QStringLiteral("Stop Find"));
        QVERIFY(!f.window->Timer1->isActive());
        QVERIFY(!f.window->polling().autoUpdate());
        QVERIFY(!check1->isEnabled());
        for (const char* name : {"cmdMoveN", "cmdMoveS", "cmdMoveW", "cmdMoveE", "cmdMoveStop"})
            QVERIFY(!f.move(name)->isEnabled());
        // The captions follow the swap boxes, and the stopped move looks idle.
        QCOMPARE(f.move("cmdMoveW")->text(), QStringLiteral("E"));
        QCOMPARE(f.move("cmdMoveE")->text(), QStringLiteral("W"));
        QVERIFY(!f.move("cmdMoveW")->isFlat());

        f.port->clearWrites();
        f.button("cmdFindIt")->click();
        QCOMPARE(f.sent(), QStringList({"#:Mn:Q#"}));
        QCOMPARE(f.button("cmdFindIt")->text(), QStringLiteral("Find"));
        QVERIFY(f.window->Timer1->isActive());
        QVERIFY(f.window->polling().autoUpdate());
        QVERIFY(check1->isEnabled());
        QVERIFY(f.move("cmdMoveStop")->isEnabled());
        QCOMPARE(f.move("cmdMoveW")->text(), QStringLiteral("E"));
        f.window->Timer1->stop();
    }

    void findWithoutPollingLeavesItOff() {
        Guiding f;
        f.button("cmdFindIt")->click();
        f.button("cmdFindIt")->click();
        QVERIFY(!f.window->Timer1->isActive());
        QVERIFY(!f.window->polling().autoUpdate());
    }

    void tarvixFollowsTheFirmwareAndTogglesByCaption() {
        Guiding f;
        f.reply("3.49#     ");
        QVERIFY(!f.button("cmdtarvix")->isEnabled());
        f.window->terminal->pressGetVersion();
        f.reply("3.56#     ");
        QVERIFY(f.button("cmdtarvix")->isEnabled());
        f.port->clearWrites();
        f.button("cmdtarvix")->click();
        QCOMPARE(f.button("cmdtarvix")->text(), QStringLiteral("Disable Tarvix"));
        f.button("cmdtarvix")->click();
        QCOMPARE(f.button("cmdtarvix")->text(), QStringLiteral("Enable Tarvix"));
        QCOMPARE(f.sent(), QStringList({"#>I", "#<I"}));
    }
};

QTEST_MAIN(TestGuidePanel)
#include "test_guide_panel.moc"
