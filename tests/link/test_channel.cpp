// The command channel: what goes on the wire, and how receptions are cut.
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
    }
    void cleanup() {
        delete channel;
        delete port;
    }

    void sendWithPortClosedWritesNothing() {
        channel->send(QStringLiteral("#:GR#"));
        channel->getPos();
        QVERIFY(port->writes.isEmpty());
        // The requester's state is still set.
        QCOMPARE(channel->awaitedKind, ReplyKind::Position);
        QCOMPARE(channel->awaitedCount(), 15);
    }

    void sendFlushesStaleInputExceptDuringTableReadout() {
        QVERIFY(port->open(nullptr));
        port->setThreshold(0);
        port->feed("stale");
        channel->awaitedKind = ReplyKind::Position;
        channel->send(QStringLiteral("#:GR##:GD#"));
        QCOMPARE(port->waitingCount(), 0);

        port->feed("1");
        channel->awaitedKind = ReplyKind::PecTable;
        channel->send(QStringLiteral("#1:VR#"));
        port->feed("2");
        channel->send(QStringLiteral("#2:VR#"));
        QCOMPARE(port->readAll(), QByteArray("12"));
        QCOMPARE(port->writtenCommands(), QStringList({"#:GR##:GD#", "#1:VR#", "#2:VR#"}));
    }

    void queriesSetStateAndSendTheirCommands_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("hex");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("command");
        QTest::newRow("getVer") << 0 << 0 << 0 << 10 << "#:GV#";
        QTest::newRow("getPos") << 1 << 0 << 99 << 15 << "#:GR##:GD#";
        QTest::newRow("getPos2") << 2 << 0 << 100 << 15 << "#:GR##:GD#";
        QTest::newRow("getRA") << 3 << 0 << 1 << 8 << "#:GR#";
        QTest::newRow("getDEC") << 4 << 0 << 2 << 7 << "#:GD#";
        QTest::newRow("settings 16") << 5 << 1 << 3 << 16 << "#:VX#";
        QTest::newRow("settings 18") << 6 << 1 << 3 << 18 << "#<:VX##>:VX#";
        QTest::newRow("PEC state") << 7 << 1 << 4 << 10 << "#:VS#";
    }
    void queriesSetStateAndSendTheirCommands() {
        QFETCH(int, which);
        QFETCH(int, hex);
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(QString, command);
        QVERIFY(port->open(nullptr));
        channel->hexReply = 1 - hex;
        switch (which) {
        case 0:
            channel->getVer();
            break;
        case 1:
            channel->getPos();
            break;
        case 2:
            channel->getPos2();
            break;
        case 3:
            channel->getRA();
            break;
        case 4:
            channel->getDEC();
            break;
        case 5:
            channel->getSettings(false);
            break;
        case 6:
            channel->getSettings(true);
            break;
        case 7:
            channel->getPECState();
            break;
        }
        QCOMPARE(channel->hexReply, hex);
        QCOMPARE(int(channel->awaitedKind), kind);
        QCOMPARE(channel->awaitedCount(), count);
        QCOMPARE(port->writtenCommands(), QStringList{command});
        // Only getPos2 pauses after sending.
        QCOMPARE(clock.pauses, which == 2 ? QVector<int>{100} : QVector<int>{});
    }

    void fifteenCharacterReplyIsOneReception() {
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::received);
        channel->getPos();
        // Arrives in two pieces before the event loop runs: still one reception.
        port->feed("12:34.5#");
        port->feed("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));
        QCOMPARE(clock.pauses, QVector<int>{20});
    }

    void charactersArrivingDuringTheSettleBelongToTheReception() {
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::received);
        channel->expect(0, ReplyKind::RawTerminal, 1);
        clock.onPause = [this](int) { port->feed("rest#"); };
        port->feed("F");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Frest#"));
    }

    void shortReplyRaisesNothing() {
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::received);
        channel->getPos();
        port->feed("12:34.5#");
        QTest::qWait(20);
        QCOMPARE(spy.count(), 0);
    }

    void staleNotificationAfterFlushIsDropped() {
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::received);
        channel->getVer();
        port->feed("3.60#     ");
        // A new request flushes the input before the queued notification runs.
        channel->getPos();
        QTest::qWait(20);
        QCOMPARE(spy.count(), 0);
    }

    void detectBinaryChoosesHexOrText_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("hex");
        QTest::newRow("control byte") << QByteArray("\x05\x41", 2) << "05 41 " << 1;
        QTest::newRow("high byte") << QByteArray("\xC8", 1) << "C8 " << 1;
        QTest::newRow("digit") << QByteArray("3.60#") << "3.60#" << 0;
    }
    void detectBinaryChoosesHexOrText() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        QFETCH(int, hex);
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::received);
        channel->expect(1 - hex, ReplyKind::RawTerminal, 1);
        channel->detectBinary = true;
        port->feed(reply);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QCOMPARE(spy.at(0).at(0).toString(), shown);
        QCOMPARE(channel->hexReply, hex);
        QVERIFY(!channel->detectBinary);
    }

    void hexTextIsTwoUpperCaseDigitsAndABlank() {
        QCOMPARE(Channel::hexText(QByteArray("\x00\xFF", 2)), QStringLiteral("00 FF "));
        QCOMPARE(Channel::hexText(QByteArray("\x06\x1A\xFF", 3)), QStringLiteral("06 1A FF "));
    }

    void lostPortIsReported() {
        QVERIFY(port->open(nullptr));
        QSignalSpy spy(channel, &Channel::lost);
        port->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
        QVERIFY(!channel->isOpen());
    }
};

QTEST_GUILESS_MAIN(TestChannel)
#include "test_channel.moc"
