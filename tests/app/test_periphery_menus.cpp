// The Options and Help menus: pin labels, About and night vision.
#include "common/WindowFixture.h"
#include "periphery/ui/LabelsDialog.h"
#include "periphery/ui/NightVision.h"
#include "periphery/ui/SplashWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>

using namespace corvane;
using namespace corvane::test;

namespace {

void settle() {
    // Closed windows delete themselves on the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestPeripheryMenus : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { settle(); }

    // One modeless dialog, showing the captions afresh each time; OK renames
    // without switching anything, Cancel changes nothing.
    void renamingThePins() {
        WindowFixture f;
        f.startAndConnect();
        f.trigger("mnuPin7");
        f.port->clearWrites();
        f.trigger("mnuRename");
        f.trigger("mnuRename");
        QCOMPARE(f.window->findChildren<LabelsDialog*>().size(), 1);
        LabelsDialog* d = f.window->findChild<LabelsDialog*>("Labels");
        QVERIFY(d->isVisible() && !d->isModal());
        QCOMPARE(d->Text1->text() + '|' + d->Text2->text(), QStringLiteral("Pin 7|Pin 14"));
        d->Text1->setText(QStringLiteral("Dew heater"));
        d->Text2->setText(QString());
        d->Command1->click();
        QCOMPARE(f.action("mnuPin7")->text() + '|' + f.action("mnuPin14")->text(), "Dew heater|");
        QVERIFY(f.action("mnuPin7")->isChecked() && f.port->writes.isEmpty() && !d->isVisible());
        settle();
        f.trigger("mnuRename");
        d = f.window->findChild<LabelsDialog*>("Labels");
        d->Text1->setText(QStringLiteral("Camera"));
        d->Command2->click();
        QCOMPARE(f.action("mnuPin7")->text(), QStringLiteral("Dew heater"));
    }

    // About opens one modeless window, closed by any key and opened anew; start-up closes the
    // splash, and shutdown closes it and the labels dialog.
    void aboutAndTheSplash() {
        SplashWindow* s = showSplash(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(s, 5000));
        QPointer<SplashWindow> guard(s);
        QTest::keyClick(s, Qt::Key_A);
        SplashWindow* again = showSplash(nullptr); // while the closed one is on its way out
        QVERIFY(again != s && again->isVisible() && showSplash(nullptr) == again);
        settle();
        QVERIFY(!guard && openSplash() == again);
        closeSplash();
        settle();
        WindowFixture f;
        showSplash(f.window.get());
        f.window->startUp();
        QVERIFY(!openSplash());
        settle();
        f.trigger("mnuRename");
        f.trigger("mnuHelpSel_1");
        f.trigger("mnuHelpSel_1");
        QCOMPARE(f.window->findChildren<SplashWindow*>().size(), 1);
        QVERIFY(openSplash() && !openSplash()->isModal());
        f.window->close();
        QVERIFY(!openSplash());
        QVERIFY(!f.window->findChild<LabelsDialog*>("Labels")->isVisible());
    }

    // Night vision lays legible dark reds on every window, dialogs opened later
    // included, and gives back the user's own palette exactly (off, or at exit).
    void nightVisionSwitchesAndRestoresTheExactPalette() {
        const QPalette night = nightPalette();
        const QColor text = night.color(QPalette::WindowText), back = night.color(QPalette::Window);
        QVERIFY(text.red() - back.red() >= 191 && back.green() + back.blue() == 0); // legible
        QPalette own = QApplication::palette();
        own.setColor(QPalette::Window, QColor(10, 200, 30));
        own.setColor(QPalette::Disabled, QPalette::Text, QColor(1, 2, 3));
        QApplication::setPalette(own);
        const QPalette before = QApplication::palette();
        NightVision unprepared;
        unprepared.nightOff();
        QCOMPARE(QApplication::palette(), before);
        {
            WindowFixture f;
            f.startAndConnect();
            QAction* toggle = f.action("mnuNightVision");
            toggle->trigger();
            QVERIFY(toggle->isChecked());
            QCOMPARE(QApplication::palette(), night);
            f.trigger("mnuRename");
            QCOMPARE(
                f.window->findChild<LabelsDialog*>("Labels")->palette().color(QPalette::Window),
                night.color(QPalette::Window));
            QCoreApplication::processEvents(); // palette changes reach widgets as events
            QCOMPARE(f.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))
                         ->palette()
                         .color(QPalette::WindowText),
                     night.color(QPalette::WindowText));
            toggle->trigger();
            QVERIFY(!toggle->isChecked());
            QCOMPARE(QApplication::palette(), before);
            toggle->trigger();
            f.window->close();
            QCOMPARE(QApplication::palette(), before);
        }
        QApplication::setPalette(QPalette());
    }
};

QTEST_MAIN(TestPeripheryMenus)
#include "test_periphery_menus.moc"
