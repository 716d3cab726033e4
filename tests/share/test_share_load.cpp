// Four LX200 clients polling the position at 10 Hz for five seconds while
// the window polls every 0.5 s and the user changes tabs (share-bench runs
// the same for a minute and prints the figures).
#include "ShareLoad.h"
#include "SharedWindow.h"

using namespace corvane;
using namespace corvane::test;

class TestShareLoad : public QObject {
    Q_OBJECT
private slots:
    // Every answer well-formed and its asker's, the event loop never held up
    // for long, and the clients' polling never multiplying the board's load.
    void clientsPollWhileTheWindowWorks() {
        SharedWindow<SystemClock> w;
        QVERIFY(w.share());
        const bench::LoadRun run = bench::runLoad(*w.window, w.server().lx200Port(), 4, 5, true);
        const bench::ClientFigures& c = run.clients;
        QVERIFY2(c.badAnswers == 0, c.firstBad.toPercentEncoding().constData());
        QVERIFY(!c.disconnected);
        QCOMPARE(c.answered, c.asked);
        QVERIFY2(c.answered > 4 * 5 * 10 * 3 / 4, qPrintable(QString::number(c.answered)));
        QVERIFY(run.tabChanges >= 4);
        QVERIFY2(run.longestGapMs <= 45.0, qPrintable(QString::number(run.longestGapMs)));
        const double perSecond = run.boardPositionQueries / run.seconds;
        QVERIFY2(perSecond <= 3.0, qPrintable(QString::number(perSecond)));
    }
};

QTEST_MAIN(TestShareLoad)
#include "test_share_load.moc"
