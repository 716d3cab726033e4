#include "periphery/ui/SplashWindow.h"

#include <QFrame>
#include <QPushButton>
#include <QtTest>
#include <functional>

using namespace corvane;

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        closeSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Its Close button, a click on its frame, a letter key, Escape.
    void closesOnItsButtonItsFrameOrAnyKeyAndOpensAnew_data() {
        QTest::addColumn<std::function<void(SplashWindow*)>>("close");
        QTest::newRow("button") << std::function([](SplashWindow* s) { s->Command1->click(); });
        QTest::newRow("frame") << std::function([](SplashWindow* s) {
            QTest::mouseClick(s->Frame1, Qt::LeftButton, {}, QPoint(5, 5));
        });
        QTest::newRow("letter") << std::function(
            [](SplashWindow* s) { QTest::keyClick(s, Qt::Key_A); });
        QTest::newRow("escape") << std::function(
            [](SplashWindow* s) { QTest::keyClick(s, Qt::Key_Escape); });
    }
    void closesOnItsButtonItsFrameOrAnyKeyAndOpensAnew() {
        QFETCH(std::function<void(SplashWindow*)>, close);
        SplashWindow* s = showSplash(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(s, 5000));
        QPointer<SplashWindow> guard(s);
        close(s);
        QVERIFY(!openSplash());
        // Shown again while the closed one is on its way out: a new window,
        // raised when shown once more.
        SplashWindow* again = showSplash(nullptr);
        QVERIFY(again != s && again->isVisible());
        QCOMPARE(showSplash(nullptr), again);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QCOMPARE(openSplash(), again);
    }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
