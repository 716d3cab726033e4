// The command channel: what goes on the wire, how receptions are cut, and
// what happens to a reply that does not come.
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

class TestChannel : public QObject {
    Q_OBJECT

    FakeClock clock;
    FakeSerialPort* port = nullptr;
    Channel* channel = nullptr;

private slots:
    void init() {
        clock = FakeClock();
        port = new FakeSerialPort(&clock);
        channel = new Channel(clock);
        channel->setPort(port);
        port->open(nullptr);
    }
    void cleanup() {
        delete channel;
        delete port;
    }

    void sendWithPortClosedWritesNothing() {
        port->close();
        channel->send(QStringLiteral("#:GR#"));
        channel->getPos();
        QVERIFY(port->writes.isEmpty());
        // The requester's state is still set.
        QCOMPARE(channel->awaitedKind(), ReplyKind::Position);
        QCOMPARE(channel->awaitedCount(), 15);
        QVERIFY(!channel->isAwaitingReply());
    }

    void sendFlushesStaleInputExceptDuringTableReadout() {
        port->setThreshold(0);
        port->feed("stale");
        channel->expect(ReplyFormat::Text, ReplyKind::Position, 0);
        channel->send(QStringLiteral("#:GR##:GD#"));
        QCOMPARE(port->waitingCount(), 0);

        port->feed("1");
        channel->expect(ReplyFormat::Text, ReplyKind::PecTable, 0);
        channel->send(QStringLiteral("#1:VR#"));
        port->feed("2");
        channel->send(QStringLiteral("#2:VR#"));
        QCOMPARE(port->readAll(), QByteArray("12"));
        QCOMPARE(port->writtenCommands(), QStringList({"#:GR##:GD#", "#1:VR#", "#2:VR#"}));
    }

    // Each query: the reply format, kind and count it awaits, what it sends;
    // only getPos2 pauses after sending.
    void queriesSetStateAndSendTheirCommands() {
        const std::pair<std::function<void(Channel&)>, QString> queries[] = {
            {&Channel::getVer, "text 0 10 #:GV#"},
            {&Channel::getPos, "text 99 15 #:GR##:GD#"},
            {&Channel::getPos2, "text 100 15 #:GR##:GD# 100"},
            {&Channel::getRA, "text 1 8 #:GR#"},
            {&Channel::getDEC, "text 2 7 #:GD#"},
            {[](Channel& c) { c.getSettings(false); }, "hex 3 16 #:VX#"},
            {[](Channel& c) { c.getSettings(true); }, "hex 3 18 #<:VX##>:VX#"},
            {&Channel::getPECState, "hex 4 10 #:VS#"}};
        for (const auto& [query, expected] : queries) {
            cleanup();
            init();
            // The format left by an earlier exchange is replaced.
            const bool hex = expected.startsWith("hex");
            channel->expect(hex ? ReplyFormat::Text : ReplyFormat::Hex, ReplyKind::None, 0);
            query(*channel);
            QStringList got{channel->replyFormat() == ReplyFormat::Hex ? "hex" : "text",
                            QString::number(channel->awaitedKind()),
                            QString::number(channel->awaitedCount()),
                            port->writtenCommands().join('|')};
            for (const int ms : clock.pauses)
                got << QString::number(ms);
            QCOMPARE(got.join(' '), expected);
            QVERIFY(channel->isAwaitingReply());
        }
    }

    void fifteenCharacterReplyIsOneReception() {
        QSignalSpy spy(channel, &Channel::received);
        QSignalSpy ended(channel, &Channel::requestEnded);
        channel->getPos();
        // Arrives in two pieces before the event loop runs: still one reception.
        port->feed("12:34.5#");
        port->feed("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));
        QCOMPARE(clock.pauses, QVector<int>{20});
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toBool(), true);
        QVERIFY(!channel->isAwaitingReply());
    }

    void charactersArrivingDuringTheSettleBelongToTheReception() {
        QSignalSpy spy(channel, &Channel::received);
        channel->expect(ReplyFormat::Text, ReplyKind::RawTerminal, 1);
        clock.onPause = [this](int) { port->feed("rest#"); };
        port->feed("F");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Frest#"));
    }

    void shortOrFlushedRepliesRaiseNothing() {
        QSignalSpy spy(channel, &Channel::received);
        channel->getPos();
        port->feed("12:34.5#");
        QTest::qWait(20);
        QCOMPARE(spy.count(), 0);
        // A new request flushes the input before the queued notification runs.
        channel->getVer();
        port->feed("3.60#     ");
        channel->getPos();
        QTest::qWait(20);
        QCOMPARE(spy.count(), 0);
    }

    // The raw terminal shows a reply with a control or high byte in hex.
    void detectBinaryChoosesHexOrText() {
        const std::pair<QByteArray, QString> replies[] = {
            {QByteArray("\x05\x41", 2), "05 41 "}, {"\xC8", "C8 "}, {"3.60#", "3.60#"}};
        for (const auto& [reply, shown] : replies) {
            QSignalSpy spy(channel, &Channel::received);
            channel->expectTerminalReply();
            QVERIFY(!channel->isDispatchArmed());
            port->feed(reply);
            QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
            QCOMPARE(spy.at(0).at(0).toString(), shown);
            QCOMPARE(channel->replyFormat() == ReplyFormat::Hex, shown.endsWith(' '));
            QVERIFY(channel->isDispatchArmed());
        }
    }

    void replyTimeOutFollowsTheLineTime() {
        // About a second for short replies; the PEC read-out's 1,938 query
        // characters and 256 answers take over two seconds of line time more.
        QCOMPARE(Channel::replyTimeoutMs(10, 15), 1027);
        QCOMPARE(Channel::replyTimeoutMs(1938, 256), 1000 + 2286);
    }

    void missingReplyTimesOutAndTheNextQueryWorks() {
        QSignalSpy timedOut(channel, &Channel::timedOut);
        QSignalSpy received(channel, &Channel::received);
        channel->getPos();
        port->feed("12:34.5#"); // cut short: the rest never comes
        clock.advance(Channel::replyTimeoutMs(10, 15) - 1);
        QCOMPARE(timedOut.count(), 0);
        clock.advance(1);
        QCOMPARE(timedOut.count(), 1);
        QCOMPARE(timedOut.at(0).at(0).value<qint16>(), ReplyKind::Position);
        QVERIFY(!channel->isAwaitingReply());
        QVERIFY(channel->lastRequestTimedOut());
        QCOMPARE(channel->awaitedKind(), ReplyKind::None);
        QCOMPARE(port->waitingCount(), 0);
        // The rest arriving late belongs to nothing: no reception, and the
        // next query's flush takes it.
        port->feed("+45*30#");
        QTest::qWait(10);
        QCOMPARE(received.count(), 0);
        channel->getPos();
        port->feed("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("01:02.3#-05*07#"));
        QCOMPARE(timedOut.count(), 1);
    }

    void commandsAndAcknowledgementsHaveNoDeadline() {
        QSignalSpy timedOut(channel, &Channel::timedOut);
        channel->expect(ReplyFormat::Text, ReplyKind::SetTarget, 1);
        channel->send(QStringLiteral("#:Sr 05:34.5#"));
        channel->expectTerminalReply();
        channel->send(QStringLiteral("#:Q#"));
        // A command sent while a reply is on its way flushes it: no deadline.
        channel->getPos();
        channel->send(QStringLiteral("#:Mn#"));
        clock.advance(5000);
        QCOMPARE(timedOut.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestChannel)
#include "test_channel.moc"
