#include "periphery/ui/SplashWindow.h"

#include <QFrame>
#include <QPushButton>
#include <QtTest>

using namespace corvane;

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        closeSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void closesOnItsButtonItsFrameOrAnyKeyAndOpensAnew_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("frame click") << 1;
        QTest::newRow("letter key") << 2;
        QTest::newRow("escape") << 3;
    }
    void closesOnItsButtonItsFrameOrAnyKeyAndOpensAnew() {
        QFETCH(int, way);
        SplashWindow* s = showSplash(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(s, 5000));
        QPointer<SplashWindow> guard(s);
        switch (way) {
        case 0:
            s->Command1->click();
            break;
        case 1:
            QTest::mouseClick(s->Frame1, Qt::LeftButton, {}, QPoint(5, 5));
            break;
        case 2:
            QTest::keyClick(s, Qt::Key_A);
            break;
        default:
            QTest::keyClick(s, Qt::Key_Escape);
            break;
        }
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
