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

    void queriesSetStateAndSendTheirCommands_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("command");
        QTest::newRow("getVer") << 0 << false << 0 << 10 << "#:GV#";
        QTest::newRow("getPos") << 1 << false << 99 << 15 << "#:GR##:GD#";
        QTest::newRow("getPos2") << 2 << false << 100 << 15 << "#:GR##:GD#";
        QTest::newRow("getRA") << 3 << false << 1 << 8 << "#:GR#";
        QTest::newRow("getDEC") << 4 << false << 2 << 7 << "#:GD#";
        QTest::newRow("settings 16") << 5 << true << 3 << 16 << "#:VX#";
        QTest::newRow("settings 18") << 6 << true << 3 << 18 << "#<:VX##>:VX#";
        QTest::newRow("PEC state") << 7 << true << 4 << 10 << "#:VS#";
    }
    void queriesSetStateAndSendTheirCommands() {
        QFETCH(int, which);
        QFETCH(bool, hex);
        QFETCH(int, kind);
        channel->expect(hex ? ReplyFormat::Text : ReplyFormat::Hex, ReplyKind::None, 0);
        const std::function<void()> query[] = {
            [&] { channel->getVer(); },          [&] { channel->getPos(); },
            [&] { channel->getPos2(); },         [&] { channel->getRA(); },
            [&] { channel->getDEC(); },          [&] { channel->getSettings(false); },
            [&] { channel->getSettings(true); }, [&] { channel->getPECState(); }};
        query[which]();
        QCOMPARE(channel->replyFormat(), hex ? ReplyFormat::Hex : ReplyFormat::Text);
        QCOMPARE(int(channel->awaitedKind()), kind);
        QTEST(channel->awaitedCount(), "count");
        QTEST(port->writtenCommands().join(QLatin1Char('|')), "command");
        QVERIFY(channel->isAwaitingReply());
        // Only getPos2 pauses after sending.
        QCOMPARE(clock.pauses, which == 2 ? QVector<int>{100} : QVector<int>{});
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

    void detectBinaryChoosesHexOrText_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("hex");
        QTest::newRow("control byte") << QByteArray("\x05\x41", 2) << "05 41 " << true;
        QTest::newRow("high byte") << QByteArray("\xC8", 1) << "C8 " << true;
        QTest::newRow("digit") << QByteArray("3.60#") << "3.60#" << false;
    }
    void detectBinaryChoosesHexOrText() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, hex);
        QSignalSpy spy(channel, &Channel::received);
        channel->expectTerminalReply();
        QVERIFY(!channel->isDispatchArmed());
        port->feed(reply);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QTEST(spy.at(0).at(0).toString(), "shown");
        QCOMPARE(channel->replyFormat(), hex ? ReplyFormat::Hex : ReplyFormat::Text);
        QVERIFY(channel->isDispatchArmed());
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
