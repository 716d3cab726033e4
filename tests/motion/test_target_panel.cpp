// The target fields and buttons as the user meets them in the window.
#include "motion/MountPosition.h"

#include "common/WindowFixture.h"

#include "common/Prompts.h"
#include "link/Channel.h"
#include "motion/ui/TargetPanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

// A shown, active window on the guiding page, so the fields take the focus.
struct TargetWindow : WindowFixture {
    QLineEdit* hours = window->target->objhrstxt;
    QLineEdit* minutes = window->target->objmintxt;
    QLineEdit* degrees = window->target->objDECDegtxt;
    QLineEdit* decMinutes = window->target->ObjDECMintxt;
    QStringList texts() const {
        return {hours->text(), minutes->text(), degrees->text(), decMinutes->text()};
    }

    bool show() {
        window->startUp();
        find<QTabWidget>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    // The user clicks into a field, replaces its text and leaves with Tab.
    void enter(QLineEdit* field, const QString& text) {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void leave(QLineEdit* field) {
        QWidget* next = field == decMinutes ? hours : decMinutes;
        next->setFocus(Qt::TabFocusReason);
    }
    // The message is shown once the focus change is over.
    int invalidEntries() {
        QCoreApplication::processEvents();
        int n = 0;
        for (const auto& m : prompts.shown)
            if (m.text == QLatin1String("Invalid Entry"))
                ++n;
        return n;
    }
};

} // namespace

class TestTargetPanel : public QObject {
    Q_OBJECT

private slots:
    // Typed entries are formatted on leaving as the simulated board's goto
    // test shows (test_polling_sim); so is what another part wrote there.
    void leavingAFieldFormatsWhatAnotherPartWrote() {
        TargetWindow f;
        f.window->session().target().write({"7", "5", "5", "8.6"}); // another writer: not checked
        QCOMPARE(f.texts(), QStringList({"7", "5", "5", "8.6"}));
        QVERIFY(f.show());
        for (QLineEdit* field : {f.hours, f.minutes, f.degrees, f.decMinutes}) {
            field->setFocus(Qt::MouseFocusReason);
            f.leave(field);
        }
        QCOMPARE(f.texts(), QStringList({"07", "05.0", "+05", "09"}));
        QCOMPARE(f.invalidEntries(), 0);
    }

    void rejectionRestoresTheTextHeldOnEntry() {
        TargetWindow f;
        // A decimal comma is mended on every change: pasted, or written in one.
        f.minutes->setText(QStringLiteral("12,5"));
        QCOMPARE(f.minutes->text(), QStringLiteral("12.5"));
        QVERIFY(f.show());
        f.enter(f.hours, "07");
        f.leave(f.hours);
        // Written by another part and not in form: never what a rejection brings back.
        f.hours->setText(QStringLiteral("7"));
        f.enter(f.hours, "24");
        f.leave(f.hours);
        QCOMPARE(f.hours->text(), QStringLiteral("07"));
        QCOMPARE(f.invalidEntries(), 1);
        QCOMPARE(f.prompts.shown.size(), 1);
        QCOMPARE(f.prompts.shown[0].title, applicationTitle());
        QCOMPARE(f.prompts.shown[0].buttons, PromptButtons::Ok);

        f.enter(f.decMinutes, "59.5");
        f.leave(f.decMinutes);
        QCOMPARE(f.decMinutes->text(), QStringLiteral("00"));
        f.enter(f.degrees, "1a");
        f.leave(f.degrees);
        QCOMPARE(f.degrees->text(), QStringLiteral("+00"));
        QCOMPARE(f.invalidEntries(), 3);
        // Typed one by one, the mending takes the comma itself: refused on leaving.
        f.enter(f.minutes, "12,");
        QCOMPARE(f.minutes->text(), QStringLiteral("12.,"));
        f.leave(f.minutes);
        QCOMPARE(f.minutes->text(), QStringLiteral("12.5"));
        QCOMPARE(f.invalidEntries(), 4);
    }

    void switchingWindowsIsNotLeaving() {
        TargetWindow f;
        QVERIFY(f.show());
        f.enter(f.hours, "2");
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(f.hours->text(), QStringLiteral("2"));
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClicks(f.hours, "5");
        f.leave(f.hours);
        // "25" is rejected and the text held before the window switch comes back.
        QCOMPARE(f.hours->text(), QStringLiteral("00"));
        QCOMPARE(f.invalidEntries(), 1);
    }

    void aPressChecksTheFieldBeingEdited() {
        // Keyboard mnemonics and programmatic presses leave the focus where it is.
        TargetWindow f;
        QVERIFY(f.show());
        f.action("mnuConnect")->trigger();
        f.reply("3.60 CORV#");
        f.enter(f.degrees, "-0");
        f.port->clearWrites();
        f.button("cmdSyncObj")->click();
        QVERIFY(f.degrees->hasFocus());
        QCOMPARE(f.port->writtenCommands().mid(0, 2),
                 QStringList({"#:Sr 00:00.0#", "#:Sd -00*00#"}));
        f.reply("00:00.0#-00*00#"); // the position query that ends the sync

        f.enter(f.hours, "30");
        f.port->clearWrites();
        f.button("cmdSetObj")->click();
        // A rejected entry cancels the press: nothing the user did not see goes out.
        QVERIFY(f.port->writes.isEmpty());
        QCOMPARE(f.hours->text(), QStringLiteral("00"));
        QCOMPARE(f.invalidEntries(), 1);
        // Leaving afterwards does not complain a second time, and the next press acts.
        f.leave(f.hours);
        QCOMPARE(f.invalidEntries(), 1);
        f.button("cmdSetObj")->click();
        QCOMPARE(f.port->writtenCommands().first(), QStringLiteral("#:Sr 00:00.0#"));
        f.reply("1"); // the acknowledgement the set ends with

        // Clicking a button checks the field first, too.
        f.port->clearWrites();
        f.enter(f.hours, "24");
        QTest::mouseClick(f.button("cmdGotoObj"), Qt::LeftButton);
        QVERIFY(f.port->writes.isEmpty());
        QCOMPARE(f.invalidEntries(), 2);
        QCOMPARE(f.hours->text(), QStringLiteral("00"));
        QVERIFY(!f.button("cmdGotoObj")->isDown());
        // A valid entry is checked before the button acts.
        f.enter(f.hours, "7");
        QTest::mouseClick(f.button("cmdSetObj"), Qt::LeftButton);
        QCOMPARE(f.port->writtenCommands(), QStringList({"#:Sr 07:00.0#", "#:Sd -00*00#"}));
    }

    void getObjectFillsTheFields() {
        TargetWindow f;
        f.startAndConnect();
        f.button("cmdGetObj")->click();
        QCOMPARE(f.port->writtenCommands().last(), QStringLiteral("#:Gr##:Gd#"));
        f.reply("12:34.5#-05*30#");
        QCOMPARE(f.texts(), QStringList({"12", "34.5", "-05", "30"}));
        QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QStringLiteral("12:34.5#-05*30#"));
    }

    void syncShowsTheControllersPosition() {
        TargetWindow f;
        f.startAndConnect();
        f.window->session().target().write({"05", "34.5", "+45", "30"});
        // The board acknowledges each command; the sync with a text.
        f.port->responder = [](const QByteArray& cmd) {
            if (cmd.startsWith("#:S"))
                return QByteArray("1");
            if (cmd == "#:CM#")
                return QByteArray(" M31 EX GAL MAG 3.5 SZ178.0'#");
            if (cmd == "#:GR##:GD#")
                return QByteArray("05:34.5#+45*30#");
            return QByteArray();
        };
        QLineEdit* ra = f.find<QLineEdit>("ScopeRAtxt");
        QSignalSpy shown(ra, &QLineEdit::textChanged);
        f.button("cmdSyncObj")->click();
        QTRY_COMPARE_WITH_TIMEOUT(ra->text(), QStringLiteral("05h34.5m"), 2000);
        QCoreApplication::processEvents();
        for (const auto& args : shown)
            QCOMPARE(args.at(0).toString(), QStringLiteral("05h34.5m"));
        QCOMPARE(f.find<QLineEdit>("ScopeDECtxt")->text(), QStringLiteral("+45\u00B030\""));
    }

    void gotoAnswerIsNotAPosition() {
        TargetWindow f;
        f.startAndConnect();
        f.window->session().channel().request(positionQuery());
        f.reply("05:34.5#+45*30#");
        QLineEdit* ra = f.find<QLineEdit>("ScopeRAtxt");
        QCOMPARE(ra->text(), QStringLiteral("05h34.5m"));
        f.port->clearWrites();
        f.button("cmdGotoObj")->click();
        QCOMPARE(f.port->writtenCommands(), QStringList({"#:MS#"}));
        f.reply("1Object Below Horizon#");
        QCOMPARE(ra->text(), QStringLiteral("05h34.5m"));
        QCOMPARE(f.find<QLineEdit>("txtResponse")->text(),
                 QStringLiteral("1Object Below Horizon#"));
        QCOMPARE(f.hours->text(), QStringLiteral("00")); // goto changes no field
    }
};

QTEST_MAIN(TestTargetPanel)
#include "test_target_panel.moc"
