// The command channel: what goes on the wire, how receptions are cut, and
// what happens to a reply that does not come. The channel knows no
// subsystem: the queries here are the test's own.
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

Query query(int length, Reading reading = Reading::Read, bool collects = false) {
    Query q;
    q.name = QStringLiteral("test query");
    q.command = QStringLiteral("#:GR##:GD#");
    q.replyLength = length;
    q.reading = reading;
    q.awaitedKind = 7;
    q.collects = collects;
    return q;
}

} // namespace

class TestChannel : public QObject {
    Q_OBJECT

    FakeClock clock;
    FakeSerialPort* port = nullptr;
    Channel* channel = nullptr;
    QList<QByteArray> dispatched;

private slots:
    void init() {
        clock = FakeClock();
        port = new FakeSerialPort(&clock);
        channel = new Channel(clock);
        channel->setPort(port);
        port->open(nullptr);
        dispatched.clear();
        channel->dispatcher().subscribe(7, channel,
                                        [this](const QByteArray& r) { dispatched << r; });
    }
    void cleanup() {
        delete channel;
        delete port;
    }

    void closedPortAndFlushing() {
        port->close();
        channel->request(query(15));
        QVERIFY(port->writes.isEmpty() && !channel->isAwaitingReply());
        QCOMPARE(channel->awaitedKind() * 100 + channel->awaitedCount(), 715);
        port->open(nullptr);
        // Every send discards waiting input, except while answers are collected.
        port->setThreshold(0);
        port->feed("stale");
        channel->request(query(0));
        QCOMPARE(port->waitingCount(), 0);
        channel->request(query(256, Reading::Read, true));
        port->feed("1");
        channel->send(QStringLiteral("#2:VR#"));
        port->feed("2");
        channel->send(QStringLiteral("#3:VR#"));
        QCOMPARE(port->readAll(), QByteArray("12"));
    }

    void aReplyIsOneReceptionDispatchedAsBytes() {
        QSignalSpy received(channel, &Channel::received);
        QSignalSpy ended(channel, &Channel::requestEnded);
        channel->request(query(15));
        // Arrives in two pieces before the event loop runs, a third during
        // the settle: still one reception.
        port->feed("12:34.5#");
        clock.onPause = [this](int) { port->feed("\xFF"); };
        port->feed("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(dispatched, QList<QByteArray>{"12:34.5#+45*30#\xFF"});
        QCOMPARE(received.count() * 100 + ended.count() * 10 + ended.at(0).at(0).toBool(), 111);
        QVERIFY(!channel->isAwaitingReply());
    }

    void shortOrFlushedRepliesRaiseNothing() {
        QSignalSpy spy(channel, &Channel::received);
        channel->request(query(15));
        port->feed("12:34.5#");
        QTest::qWait(20);
        // A new request flushes the input before the queued notification runs.
        channel->request(query(10));
        port->feed("3.60#     ");
        channel->request(query(15));
        QTest::qWait(20);
        QCOMPARE(spy.count(), 0);
    }

    // A manual command's reception is shown (in hex when it starts with a
    // control or high byte) and not read; one that never comes ends with its
    // deadline, and the next reply is read again.
    void aManualCommandIsShownNotRead() {
        const std::pair<QByteArray, ReplyForm> replies[] = {
            {QByteArray("\x05\x41", 2), ReplyForm::Raw},
            {"\xC8", ReplyForm::Raw},
            {"12:34.5#+45*30#", ReplyForm::Text}};
        for (const auto& [reply, form] : replies) {
            QSignalSpy spy(channel, &Channel::received);
            channel->expectManualCommand();
            port->feed(reply);
            QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
            QCOMPARE(spy.at(0).at(1).value<ReplyForm>(), form);
        }
        QVERIFY(dispatched.isEmpty());
        channel->expectManualCommand();
        channel->send(QStringLiteral("#:XX#"));
        QVERIFY(!channel->isDispatchArmed());
        clock.advance(1000);
        QVERIFY(channel->isDispatchArmed() && !channel->isAwaitingReply());
    }

    void aMissingReplyTimesOutAndTheNextQueryWorks() {
        QSignalSpy timedOut(channel, &Channel::timedOut);
        QSignalSpy received(channel, &Channel::received);
        channel->request(query(15));
        port->feed("12:34.5#"); // cut short: the rest never comes
        // About a second for a short reply; the PEC read-out's 1,938 query
        // characters and 256 answers take over two seconds of line time more.
        QCOMPARE(replyDeadlineMs(Reading::Read, 10, 15), 1027);
        QCOMPARE(replyDeadlineMs(Reading::Read, 1938, 256), 1000 + 2286);
        clock.advance(1026);
        QCOMPARE(timedOut.count(), 0);
        clock.advance(1);
        QCOMPARE(timedOut.count(), 1);
        QCOMPARE(timedOut.at(0).at(0).toString(), QStringLiteral("test query"));
        QVERIFY(!channel->isAwaitingReply() && channel->lastRequestTimedOut());
        QCOMPARE(channel->awaitedKind(), AwaitedKind::None);
        // The rest arriving late belongs to nothing and keeps the line busy
        // until it is in; then the next query works.
        QVERIFY(channel->isLineBusy());
        port->feed("+45*30#");
        QTest::qWait(10);
        QVERIFY(received.isEmpty() && !channel->isLineBusy());
        channel->request(query(15));
        port->feed("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCOMPARE(dispatched, QList<QByteArray>{"01:02.3#-05*07#"});
        QCOMPARE(timedOut.count(), 1);
    }

    // An answer that is only let go, a manual command and a reply flushed by
    // the next command are never reported missing.
    void whatIsLetGoHasNoTimeOut() {
        QSignalSpy timedOut(channel, &Channel::timedOut);
        channel->request(query(1, Reading::LetGo));
        channel->expectManualCommand();
        channel->send(QStringLiteral("#:Q#"));
        channel->request(query(15));
        channel->send(QStringLiteral("#:Mn#"));
        clock.advance(5000);
        QCOMPARE(timedOut.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestChannel)
#include "test_channel.moc"
