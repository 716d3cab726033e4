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

    void closesOnItsButtonItsFrameOrAnyKey_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("frame click") << 1;
        QTest::newRow("letter key") << 2;
        QTest::newRow("escape") << 3;
    }
    void closesOnItsButtonItsFrameOrAnyKey() {
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
    }

    void showingAgainRaisesTheSameWindow() {
        SplashWindow* first = showSplash(nullptr);
        QCOMPARE(showSplash(nullptr), first);
        closeSplash();
        QVERIFY(!openSplash());
        SplashWindow* second = showSplash(nullptr);
        QVERIFY(second->isVisible());
        QCOMPARE(openSplash(), second);
    }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
