// The guiding panel in the window: move buttons, swap boxes, rates, guide
// pulses, find and the focuser's timed moves. The simulated board checks each control's commands
// (test_panels_on_sim) and the tracking-correction button following the
// firmware (test_sim_window); here what the panel shows, and the order and
// spacing of what it sends.
#include "common/WindowFixture.h"
#include "motion/ui/GuidePanel.h"

#include "motion/PositionPolling.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Connected : ConnectedWindow {
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
    void pulseFocus(const QString& ms) const {
        find<QCheckBox>(QStringLiteral("PulseFocus"))->click();
        find<QLineEdit>(QStringLiteral("FocusPulsetxt"))->setText(ms);
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

    // Held arrows move as the buttons do (the swaps apply), auto-repeat adds nothing, the
    // window losing the focus stops; Escape is STOP, 2 the 8X rate; in pulse mode a key sends
    // one pulse. A text field with the focus keeps its keys.
    void theKeyboardMovesTheMount() {
        Connected f;
        f.window->show();
        f.window->tabstrip1->setCurrentIndex(1);
        QWidget* on = f.button("cmdMoveStop");
        const auto key = [&](QEvent::Type type, int k, bool repeat = false) {
            QKeyEvent e(type, k, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(on, &e);
        };
        f.port->clearWrites();
        key(QEvent::KeyPress, Qt::Key_Up);
        key(QEvent::KeyPress, Qt::Key_Up, true);
        key(QEvent::KeyRelease, Qt::Key_Up, true);
        key(QEvent::KeyRelease, Qt::Key_Up);
        f.find<QCheckBox>("chkSwpNS")->click();
        key(QEvent::KeyPress, Qt::Key_Up); // now the south button shows N
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(f.window.get(), &deactivate);
        key(QEvent::KeyPress, Qt::Key_Escape);
        key(QEvent::KeyPress, Qt::Key_2);
        QCOMPARE(f.sent(), QStringList({"#:Qs#", "#:Mn#", "#:Qn#", "#:Qn#", "#:Ms#", "#:Qs#",
                                        "#:Q#", "#:RM#"}));
        QVERIFY(f.find<QRadioButton>("Option1_1")->isChecked());
        QVERIFY(f.button("cmdMoveN")->statusTip().contains(QLatin1String("Down arrow")));
        f.press("cmdPulse");
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("250"));
        f.port->clearWrites();
        key(QEvent::KeyPress, Qt::Key_Left);
        QCOMPARE(f.sent(), QStringList({"#:Q#", "#:Mgw250#"}));
        f.find<QLineEdit>("Pulsetxt")->setFocus();
        on = f.find<QLineEdit>("Pulsetxt");
        if (QApplication::focusWidget() == on) {
            key(QEvent::KeyPress, Qt::Key_Left);
            QCOMPARE(f.sent().size(), 2);
        }
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
            f.window->session().guiding().setRateCaption(i, QStringLiteral("1.67X"));
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
        // Timer2 ends it on the program's clock.
        f.clock.advance(249);
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Guiding E"));
        f.clock.advance(1);
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Pulse Guide On"));
        QVERIFY(!f.timer("Timer2")->isActive());

        // Leaving pulse mode during a pulse: its end does not turn the mode back on.
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("50"));
        f.press("cmdMoveN");
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Guiding N"));
        f.press("cmdPulse");
        QCOMPARE(f.text("cmdPulse"), QStringLiteral("Pulse Guide Off"));
        QVERIFY(!f.timer("Timer2")->isActive());
        f.clock.advance(120);
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
        QVERIFY(!f.window->session().polling().timer()->isActive());
        QVERIFY(!f.window->session().polling().autoUpdate());
        auto* check1 = f.find<QCheckBox>("Check1");
        f.window->session().polling().setGuidingPageShown(true);
        check1->setChecked(true);
        QVERIFY(f.window->session().polling().timer()->isActive());
        f.find<QCheckBox>("chkSwpEW")->click();
        f.press("cmdMoveW");
        f.port->clearWrites();

        f.press("cmdFindIt");
        QCOMPARE(f.sent(), QStringList({"#:Q#", "F"}));
        QCOMPARE(f.port->writes[1].atMs - f.port->writes[0].atMs, 100);
        QCOMPARE(f.text("cmdFindIt"), QStringLiteral("Stop Find"));
        QVERIFY(!f.window->session().polling().timer()->isActive());
        QVERIFY(!f.window->session().polling().autoUpdate());
        QVERIFY(!check1->isEnabled());
        for (const char* name : {"cmdMoveN", "cmdMoveS", "cmdMoveW", "cmdMoveE", "cmdMoveStop"})
            QVERIFY(!f.button(name)->isEnabled());
        // The captions follow the swap boxes, and the stopped move looks idle.
        QCOMPARE(f.moves(), QStringLiteral("N, S, E, W"));

        f.port->clearWrites();
        f.press("cmdFindIt");
        QCOMPARE(f.sent(), QStringList({"#:Mn:Q#"}));
        QCOMPARE(f.text("cmdFindIt"), QStringLiteral("Find"));
        QVERIFY(f.window->session().polling().timer()->isActive());
        QVERIFY(f.window->session().polling().autoUpdate());
        QVERIFY(check1->isEnabled());
        QVERIFY(f.button("cmdMoveStop")->isEnabled());
        QCOMPARE(f.moves(), QStringLiteral("N, S, E, W"));
        f.window->session().polling().timer()->stop();
    }

    // Speeds, moves and STOP are checked on the simulated board; here the
    // timed moves.
    void aPulseEndsItsMoveAndOnlyStopEndsItEarly() {
        Connected f;
        f.pulseFocus(QStringLiteral("0040"));
        f.button("cmdFocusIn")->click();
        QVERIFY(f.timer("Timer3")->isActive());
        QCOMPARE(f.timer("Timer3")->interval(), 40);
        // A continuous move meanwhile leaves the running pulse alone.
        f.find<QCheckBox>("PulseFocus")->click();
        f.button("cmdFocusOut")->click();
        QCOMPARE(f.sent(), QStringList({"#:F+#", "#:F-#"}));
        QVERIFY(f.timer("Timer3")->isActive());
        f.clock.advance(40);
        QCOMPARE(f.sent(), QStringList({"#:F+#", "#:F-#", "#:FQ#"}));
        QVERIFY(!f.timer("Timer3")->isActive());
        // STOP ends a pulse too, so it cannot stop a later move.
        f.pulseFocus(QStringLiteral("60000"));
        f.button("cmdFocusIn")->click();
        QVERIFY(f.timer("Timer3")->isActive());
        f.button("cmdFocusStop")->click();
        QVERIFY(!f.timer("Timer3")->isActive());
    }

    // Guide and focus pulses take whole milliseconds from 0 to 65535, digits
    // with blanks around; anything else is refused with a message and
    // nothing goes out.
    void pulseLengthIsAWholeNumberOfMilliseconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms"); // -1: refused
        const std::pair<const char*, int> cases[] = {
            {"0000", 0},         {"0500", 500}, {" 250 ", 250}, {"65535", 65535}, {"65536", -1},
            {"99999999999", -1}, {"-5", -1},    {"+5", -1},     {"12.5", -1},     {"250ms", -1},
            {"slow", -1},        {"", -1},      {"   ", -1}};
        for (const auto& [text, ms] : cases)
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << ms;
    }
    void pulseLengthIsAWholeNumberOfMilliseconds() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        const bool refused = ms < 0;
        Connected f;
        f.button("cmdPulse")->click();
        f.find<QLineEdit>("Pulsetxt")->setText(text);
        f.button("cmdMoveN")->click();
        QCOMPARE(f.sent(), refused ? QStringList()
                                   : QStringList({"#:Q#", QStringLiteral("#:Mgn%1#").arg(ms)}));
        // A pulse of no time is over at once; a refused one leaves the mode waiting.
        QCOMPARE(f.button("cmdPulse")->text(),
                 ms > 0 ? QStringLiteral("Guiding N") : QStringLiteral("Pulse Guide On"));
        QCOMPARE(f.timer("Timer2")->isActive(), ms > 0);
        if (ms > 0)
            QCOMPARE(f.timer("Timer2")->interval(), ms);
        QCOMPARE(f.prompts.shown.size(), refused ? 1 : 0);

        f.port->clearWrites();
        f.pulseFocus(text);
        f.button("cmdFocusOut")->click();
        QCOMPARE(f.sent(), refused ? QStringList() : QStringList({"#:F-#"}));
        QCOMPARE(f.timer("Timer3")->isActive(), !refused);
        if (!refused)
            QCOMPARE(f.timer("Timer3")->interval(), ms);
        QCOMPARE(f.prompts.shown.size(), refused ? 2 : 0);
        for (const auto& shown : f.prompts.shown) {
            QCOMPARE(shown.text, QStringLiteral("Invalid Entry"));
            QCOMPARE(shown.buttons, PromptButtons::Ok);
        }
    }
};

QTEST_MAIN(TestGuidePanel)
#include "test_guide_panel.moc"
