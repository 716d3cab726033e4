// The Options and Help menus: pin labels, help, About and night vision.
#include "common/WindowFixture.h"
#include "periphery/ui/LabelsDialog.h"
#include "periphery/ui/NightVision.h"
#include "periphery/ui/PeripheryMenus.h"
#include "periphery/ui/SplashWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Started : ConnectedWindow {
    LabelsDialog* labels() const { return window->findChild<LabelsDialog*>("Labels"); }
};

void settle() {
    // Closed windows delete themselves on the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestPeripheryMenus : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        // Windows closed in one test are gone before the next begins.
        settle();
    }

    void renameOpensOneDialogBelowTheWindow() {
        Started f;
        f.window->move(200, 150);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get(), 5000));
        f.action("mnuPin7")->trigger();
        f.port->clearWrites();
        f.action("mnuRename")->trigger();
        f.action("mnuRename")->trigger();
        QCOMPARE(f.window->findChildren<LabelsDialog*>().size(), 1);
        LabelsDialog* d = f.labels();
        QVERIFY(d->isVisible());
        QVERIFY(!d->isModal());
        QCOMPARE(d->Text1->text(), QStringLiteral("Pin 7"));
        QCOMPARE(d->Text2->text(), QStringLiteral("Pin 14"));
        // 90 twips right of and 315 below the window's corner.
        const QPoint corner = f.window->frameGeometry().topLeft();
        const QPoint offset(LabelsDialog::twipsToPixels(90, f.window->logicalDpiX()),
                            LabelsDialog::twipsToPixels(315, f.window->logicalDpiY()));
        QVERIFY(QTest::qWaitForWindowExposed(d, 5000));
        QCOMPARE(d->frameGeometry().topLeft(), corner + offset);

        d->Text1->setText(QStringLiteral("Dew heater"));
        d->Text2->setText(QString());
        d->Command1->click();
        QCOMPARE(f.action("mnuPin7")->text(), QStringLiteral("Dew heater"));
        QCOMPARE(f.action("mnuPin14")->text(), QString());
        // Renaming leaves the outputs as they were.
        QVERIFY(f.action("mnuPin7")->isChecked());
        QVERIFY(f.port->writes.isEmpty());
        QVERIFY(!d->isVisible());

        // Opened again, it shows the captions afresh; Cancel changes nothing.
        settle();
        QVERIFY(!f.labels());
        f.action("mnuRename")->trigger();
        QCOMPARE(f.labels()->Text1->text(), QStringLiteral("Dew heater"));
        f.labels()->Text1->setText(QStringLiteral("Camera"));
        f.labels()->Command2->click();
        QCOMPARE(f.action("mnuPin7")->text(), QStringLiteral("Dew heater"));
        settle();
        QVERIFY(!f.labels());
    }

    // About opens one modeless window; start-up closes the splash, and
    // shutdown closes it and the labels dialog.
    void startUpAndShutdownCloseTheOtherWindows() {
        WindowFixture f;
        showSplash(f.window.get());
        QVERIFY(openSplash());
        f.window->startUp();
        QVERIFY(!openSplash());
        settle();
        f.action("mnuRename")->trigger();
        f.action("mnuHelpSel_1")->trigger();
        f.action("mnuHelpSel_1")->trigger();
        QCOMPARE(f.window->findChildren<SplashWindow*>().size(), 1);
        QVERIFY(openSplash());
        QVERIFY(!openSplash()->isModal());
        f.window->close();
        QVERIFY(!openSplash());
        QVERIFY(!f.window->findChild<LabelsDialog*>("Labels")->isVisible());
    }

    void nightVisionSwitchesAndRestoresTheExactPalette() {
        // A palette of the user's own, which night vision must give back.
        QPalette own = QApplication::palette();
        own.setColor(QPalette::Window, QColor(10, 200, 30));
        own.setColor(QPalette::Disabled, QPalette::Text, QColor(1, 2, 3));
        QApplication::setPalette(own);
        const QPalette before = QApplication::palette();
        {
            Started f;
            QAction* night = f.action("mnuNightVision");
            night->trigger();
            QVERIFY(night->isChecked());
            QCOMPARE(QApplication::palette(), nightPalette());
            // Every window follows, dialogs opened later included.
            f.action("mnuRename")->trigger();
            QCOMPARE(f.labels()->palette().color(QPalette::Window),
                     nightPalette().color(QPalette::Window));
            QCoreApplication::processEvents(); // palette changes reach widgets as events
            QCOMPARE(f.window->tabstrip1->palette().color(QPalette::WindowText),
                     nightPalette().color(QPalette::WindowText));
            night->trigger();
            QVERIFY(!night->isChecked());
            QCOMPARE(QApplication::palette(), before);
            // On again, and the window closes with it on: exit restores.
            night->trigger();
            f.window->close();
            QCOMPARE(QApplication::palette(), before);
        }
        QApplication::setPalette(QPalette());
    }
};

QTEST_MAIN(TestPeripheryMenus)
#include "test_periphery_menus.moc"
