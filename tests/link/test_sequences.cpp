// Exchanges of several steps: run on timers, never on sleeps; one at a time
// on a channel; progress, cancel, time-out and a lost port.
#include "link/ControllerInfo.h"
#include "pec/PecState.h"

#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

// 256 writes paced 20 ms apart, as a PEC table restore sends them.
Sequence tableWrite(int steps = 256) {
    Sequence s(QStringLiteral("table write"));
    for (int n = 0; n < steps; ++n)
        s.send(QStringLiteral("#%1:XR1#").arg(n)).pause(20).report(n, steps);
    return s;
}

template <typename ClockType> struct Line {
    ClockType clock;
    FakeSerialPort port{&clock};
    Channel channel{clock};
    Line() {
        channel.setPort(&port);
        port.open(nullptr);
    }
};

} // namespace

class TestSequences : public QObject {
    Q_OBJECT
private slots:
    void onTheRealClockTheEventLoopTurnsBetweenSteps() {
        Line<SystemClock> line;
        // A timer of the window: it must keep firing while the sequence runs.
        QElapsedTimer sinceTurn;
        qint64 longestGap = 0;
        int turns = 0;
        QTimer heartbeat;
        heartbeat.setInterval(1);
        connect(&heartbeat, &QTimer::timeout, this, [&] {
            ++turns;
            longestGap = qMax(longestGap, sinceTurn.restart());
        });
        QVector<int> progress;
        QVector<int> turnsAtStep;
        connect(&line.channel.runner(), &SequenceRunner::progress, this, [&](int value, int) {
            progress << value;
            turnsAtStep << turns;
        });
        bool done = false;
        QElapsedTimer took;
        took.start();
        line.channel.run(
            tableWrite().onEnd([&](SequenceResult r) { done = r == SequenceResult::Done; }));
        // The first step went out at once; the rest wait for the event loop.
        QCOMPARE(line.port.writes.size(), 1);
        sinceTurn.start();
        heartbeat.start();
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        // The loop turned between every two steps. A sleeping step would
        // also keep gaps short (20 ms each), so the turns are the proof; the
        // gap bound only leaves room for a loaded test machine.
        for (int i = 1; i < turnsAtStep.size(); ++i)
            QVERIFY2(turnsAtStep[i] > turnsAtStep[i - 1], qPrintable(QString::number(i)));
        QVERIFY2(longestGap < 250, qPrintable(QString::number(longestGap)));
        QVERIFY(took.elapsed() >= 256 * 20);
        QCOMPARE(line.port.writes.size(), 256);
        QCOMPARE(progress.size(), 256);
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 255);
        // Each write waited its pause.
        for (int i = 1; i < 256; ++i)
            QVERIFY(line.port.writes[i].atMs - line.port.writes[i - 1].atMs >= 20);
    }

    void onTheFakeClockTheSameSequenceRunsAtOnce() {
        Line<FakeClock> line;
        QSignalSpy progress(&line.channel.runner(), &SequenceRunner::progress);
        line.channel.run(tableWrite());
        QCOMPARE(line.port.writes.size(), 256);
        QCOMPARE(line.port.writes.last().atMs, 255 * 20);
        QCOMPARE(progress.count(), 256);
        QVERIFY(!line.channel.runner().isBusy());
    }

    void queuedSequencesWaitTheirTurnAndAnExclusiveOneIsRefused() {
        Line<FakeClock> line;
        line.channel.run(Sequence()
                             .then([&] { line.channel.request(versionQuery()); })
                             .awaitReply()
                             .send("after the reply"));
        QVERIFY(line.channel.runner().isBusy());
        QVERIFY(line.channel.run(Sequence().send("second")));
        QVERIFY(!line.channel.run(Sequence().send("refused").exclusive()));
        QCOMPARE(line.port.writtenCommands(), QStringList{"#:GV#"});
        line.port.feed("3.60 CORV#");
        QTRY_COMPARE_WITH_TIMEOUT(line.port.writtenCommands().size(), 3, 1000);
        QCOMPARE(line.port.writtenCommands(), QStringList({"#:GV#", "after the reply", "second"}));
    }

    void aReplyThatDoesNotComeEndsTheSequenceAsTimedOut() {
        Line<FakeClock> line;
        SequenceResult result = SequenceResult::Done;
        line.channel.run(Sequence()
                             .then([&] { line.channel.request(pecStateQuery()); })
                             .awaitReply()
                             .send("never")
                             .onEnd([&](SequenceResult r) { result = r; }));
        line.clock.advance(2000);
        QCOMPARE(result, SequenceResult::TimedOut);
        QCOMPARE(line.port.writtenCommands(), QStringList{"#:VS#"});
        QVERIFY(!line.channel.runner().isBusy());
    }

    void cancelSparesOnlyAProtectedSequence() {
        Line<FakeClock> line;
        SequenceResult first = SequenceResult::Done;
        SequenceResult queued = SequenceResult::Done;
        line.channel.run(Sequence()
                             .then([&] { line.channel.request(versionQuery()); })
                             .awaitReply()
                             .onEnd([&](SequenceResult r) { first = r; }));
        line.channel.run(Sequence().send("queued").onEnd([&](SequenceResult r) { queued = r; }));
        line.channel.runner().cancel();
        QCOMPARE(first, SequenceResult::Cancelled);
        QCOMPARE(queued, SequenceResult::Cancelled);
        line.port.feed("3.60 CORV#"); // the line is free again once the reply is in
        QTRY_VERIFY_WITH_TIMEOUT(!line.channel.isLineBusy(), 1000);

        line.channel.run(Sequence(QStringLiteral("restore"))
                             .protect()
                             .then([&] { line.channel.request(versionQuery()); })
                             .awaitReply());
        line.channel.runner().cancel();
        QVERIFY(line.channel.runner().isRunningProtected());
        QCOMPARE(line.channel.runner().runningName(), QStringLiteral("restore"));
    }

    void aLostPortEndsEverything() {
        Line<FakeClock> line;
        SequenceResult result = SequenceResult::Done;
        line.channel.run(tableWrite(3)
                             .protect()
                             .then([&] { line.channel.request(versionQuery()); })
                             .awaitReply()
                             .onEnd([&](SequenceResult r) { result = r; }));
        line.port.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(result, SequenceResult::PortLost, 1000);
        QVERIFY(!line.channel.runner().isBusy());
    }

    void aDeclinedQuestionSendsNothingMore() {
        Line<FakeClock> line;
        SequenceResult result = SequenceResult::Done;
        line.channel.run(Sequence()
                             .send("first")
                             .ask([] { return false; })
                             .send("second")
                             .onEnd([&](SequenceResult r) { result = r; }));
        QCOMPARE(result, SequenceResult::Cancelled);
        QCOMPARE(line.port.writtenCommands(), QStringList{"first"});
    }
};

QTEST_GUILESS_MAIN(TestSequences)
#include "test_sequences.moc"
