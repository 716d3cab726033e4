// The target fields and buttons, and the guiding page's keys, as the user meets
// them in the window.
#include "common/WindowFixture.h"
#include "motion/ui/TargetPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace corvane;
using namespace corvane::test;

namespace {

// A shown, active window on the guiding page, so the fields take the focus.
struct TargetWindow : WindowFixture {
    QLineEdit* hours = window->findChild<TargetPanel*>()->objhrstxt;
    QLineEdit* minutes = window->findChild<TargetPanel*>()->objmintxt;
    QLineEdit* degrees = window->findChild<TargetPanel*>()->objDECDegtxt;
    QLineEdit* decMinutes = window->findChild<TargetPanel*>()->ObjDECMintxt;
    QStringList texts() const {
        return {hours->text(), minutes->text(), degrees->text(), decMinutes->text()};
    }
    bool show() {
        window->startUp();
        window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    // The user clicks into a field and replaces its text; leaves with Tab.
    void enter(QLineEdit* field, const QString& text) {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void leave(QLineEdit* field) {
        (field == decMinutes ? hours : decMinutes)->setFocus(Qt::TabFocusReason);
    }
    // The message is shown once the focus change is over.
    int invalidEntries() {
        QCoreApplication::processEvents();
        return std::count_if(prompts.shown.begin(), prompts.shown.end(),
                             [](const auto& m) { return m.text == "Invalid Entry"; });
    }
};

} // namespace

class TestTargetPanel : public QObject {
    Q_OBJECT

private slots:
    // A text out of form is formatted when its field is left and only then taken as
    // the target; a rejection brings back the text held on entering, never one out of
    // form. A decimal comma is mended on every change; typed, it is refused on leaving.
    void leavingAFieldChecksIt() {
        TargetWindow f;
        QVERIFY(f.show());
        const std::pair<QLineEdit*, const char*> typed[] = {
            {f.hours, "7"}, {f.minutes, "5"}, {f.degrees, "5"}, {f.decMinutes, "8.6"}};
        for (const auto& [field, text] : typed) {
            field->setFocus(Qt::MouseFocusReason);
            field->setText(QLatin1String(text));
            QCOMPARE(f.session().target().texts().hours, field == f.hours ? "00" : "07");
            f.leave(field);
        }
        QCOMPARE(f.texts(), QStringList({"07", "05.0", "+05", "09"}));
        const BoardPosition target = f.session().target().position();
        QCOMPARE(QVector<int>({target.ra.tenths, target.dec.south, target.dec.minutes}),
                 QVector<int>({7 * 600 + 50, false, 5 * 60 + 9}));
        QCOMPARE(f.invalidEntries(), 0);
        f.minutes->setText(QStringLiteral("12,5"));
        QCOMPARE(f.minutes->text(), QStringLiteral("12.5"));
        f.hours->setText(QStringLiteral("7"));
        f.enter(f.hours, "24");
        f.leave(f.hours);
        QCOMPARE(f.hours->text(), QStringLiteral("07"));
        QCOMPARE(f.prompts.shown.value(0).title + ' ' + QString::number(f.invalidEntries()),
                 applicationTitle() + " 1");
        f.enter(f.decMinutes, "59.5");
        f.leave(f.decMinutes);
        f.enter(f.degrees, "1a");
        f.leave(f.degrees);
        f.enter(f.minutes, "12,");
        QCOMPARE(f.minutes->text(), QStringLiteral("12.,"));
        f.leave(f.minutes);
        QCOMPARE(f.texts(), QStringList({"07", "12.5", "+05", "09"}));
        QCOMPARE(f.invalidEntries(), 4);
    }

    // Switching to another window is not leaving the field.
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
        QCOMPARE(f.hours->text() + ' ' + QString::number(f.invalidEntries()), "00 1");
    }

    // A press (mnemonic, program, click) checks the field being edited first; a
    // rejected entry cancels it, and leaving afterwards does not complain again.
    void aPressChecksTheFieldBeingEdited() {
        TargetWindow f;
        QVERIFY(f.show());
        f.trigger("mnuConnect");
        f.reply("3.60 CORV#");
        f.enter(f.degrees, "-0");
        f.port->clearWrites();
        f.click("cmdSyncObj");
        QVERIFY(f.degrees->hasFocus());
        QCOMPARE(f.sent().mid(0, 2), QStringList({"#:Sr 00:00.0#", "#:Sd -00*00#"}));
        f.reply("00:00.0#-00*00#"); // the position query that ends the sync
        f.enter(f.hours, "30");
        f.port->clearWrites();
        f.click("cmdSetObj");
        QVERIFY(f.port->writes.isEmpty());
        QCOMPARE(f.hours->text() + ' ' + QString::number(f.invalidEntries()), "00 1");
        f.leave(f.hours);
        QCOMPARE(f.invalidEntries(), 1);
        f.click("cmdSetObj");
        QCOMPARE(f.sent().value(0), QStringLiteral("#:Sr 00:00.0#"));
        f.reply("1"); // the acknowledgement the set ends with
        f.port->clearWrites();
        f.enter(f.hours, "24");
        QTest::mouseClick(f.button("cmdGotoObj"), Qt::LeftButton);
        QVERIFY(f.port->writes.isEmpty() && !f.button("cmdGotoObj")->isDown());
        QCOMPARE(f.hours->text() + ' ' + QString::number(f.invalidEntries()), "00 2");
        f.enter(f.hours, "7");
        QTest::mouseClick(f.button("cmdSetObj"), Qt::LeftButton);
        QCOMPARE(f.sent(), QStringList({"#:Sr 07:00.0#", "#:Sd -00*00#"}));
    }

    // Get Object fills the fields and the reply box.
    void getObjectFillsTheFields() {
        TargetWindow f;
        f.startAndConnect();
        f.click("cmdGetObj");
        QCOMPARE(f.sent().last(), QStringLiteral("#:Gr##:Gd#"));
        f.reply("12:34.5#-05*30#");
        QCOMPARE(f.texts() << f.find<QLineEdit>("txtResponse")->text(),
                 QStringList({"12", "34.5", "-05", "30", "12:34.5#-05*30#"}));
    }
    // Held arrows move as the buttons do (the swaps apply), auto-repeat adds nothing, the
    // window losing the focus stops; Escape is STOP (not during the search), 2 the 8X rate;
    // in pulse mode a key sends one pulse. A text field with the focus keeps its keys.

    void theKeyboardMovesTheMount() {
        WindowFixture f;
        f.startAndConnect();
        f.window->show();
        f.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
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
        f.click("cmdFindIt");
        f.port->clearWrites();
        key(QEvent::KeyPress, Qt::Key_Escape);
        f.click("cmdFindIt");
        QCOMPARE(f.sent(), QStringList({"#:Mn:Q#"}));
        f.click("cmdPulse");
        f.find<QLineEdit>("Pulsetxt")->setText(QStringLiteral("250"));
        f.port->clearWrites();
        key(QEvent::KeyPress, Qt::Key_Left);
        QCOMPARE(f.sent(), QStringList({"#:Q#", "#:Mgw250#"}));
        on = f.find<QLineEdit>("Pulsetxt");
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        on->setFocus();
        QCOMPARE(QApplication::focusWidget(), on);
        key(QEvent::KeyPress, Qt::Key_Left);
        QCOMPARE(f.sent().size(), 2);
    }
};

QTEST_MAIN(TestTargetPanel)
#include "test_target_panel.moc"
