// The command channel: what goes on the wire, how receptions are cut, a reply
// that does not come, the sequences it runs (on timers, one at a time), and what
// the controller's replies are taken to say. The queries here are the test's own.
#include "common/Wire.h"
#include "controller/ControllerInfo.h"
#include "controller/Firmware.h"
#include "link/Replies.h"
#include "pec/PecState.h"
#include "share/ShareServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>
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

// 256 writes paced 20 ms apart, as a PEC table restore sends them.
Sequence tableWrite(int steps = 256) {
    Sequence s(QStringLiteral("table write"));
    for (int n = 0; n < steps; ++n)
        s.send(QStringLiteral("#%1:XR1#").arg(n)).pause(20).report(n, steps);
    return s;
}

} // namespace

class TestChannel : public QObject {
    Q_OBJECT
private slots:
    // Nothing goes out on a closed port; a send flushes input unless answers collect.
    void closedPortAndFlushing() {
        Wire w;
        w.port.close();
        w.channel.request(query(15), w.keep());
        QVERIFY(w.port.writes.isEmpty() && !w.channel.isAwaitingReply());
        w.port.open(nullptr);
        w.port.feed("stale");
        w.channel.request(query(0), w.keep());
        QCOMPARE(w.port.waitingCount(), 0);
        w.channel.request(query(256, Reading::Read, true));
        w.port.feed("1");
        w.channel.send(QStringLiteral("#2:VR#"));
        w.port.feed("2");
        w.channel.send(QStringLiteral("#3:VR#"));
        QCOMPARE(w.port.readAll(), QByteArray("12"));
    }

    // Pieces arriving before and during the settle are one reception, handed on as
    // bytes; one flushed by the next request is none.
    void aReplyIsOneReception() {
        Wire w;
        QSignalSpy received(&w.channel, &Channel::received);
        QSignalSpy ended(&w.channel, &Channel::requestEnded);
        w.channel.request(query(15), w.keep());
        w.port.feed("12:34.5#");
        w.clock.onPause = [&w](int) { w.port.feed("\xFF"); };
        w.port.feed("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(w.replies, QList<QByteArray>{"12:34.5#+45*30#\xFF"});
        QCOMPARE(ended.count() * 10 + ended.at(0).at(0).toBool(), 11);
        w.clock.onPause = nullptr;
        w.channel.request(query(15), w.keep());
        w.port.feed("12:34.5#");
        QTest::qWait(20);
        w.channel.request(query(10), w.keep());
        w.port.feed("3.60#     ");
        w.channel.request(query(15), w.keep());
        QTest::qWait(20);
        QCOMPARE(received.count(), 1);
    }

    // A manual command's reception is shown (hex when it starts with a control or
    // high byte), not read; one that never comes ends with its deadline.
    void aManualCommandIsShownNotRead() {
        Wire w;
        QSignalSpy spy(&w.channel, &Channel::received);
        for (const QByteArray& reply :
             {QByteArray("\x05\x41"), QByteArray("\xC8"), QByteArray("12:34.5#+45*30#")}) {
            const int before = spy.count();
            w.channel.expectManualCommand();
            w.port.feed(reply);
            QTRY_COMPARE_WITH_TIMEOUT(spy.count(), before + 1, 1000);
            QCOMPARE(spy.last().at(0).toByteArray(), reply);
        }
        QCOMPARE(QList<ReplyForm>({spy.at(0).at(1).value<ReplyForm>(),
                                   spy.at(1).at(1).value<ReplyForm>(),
                                   spy.at(2).at(1).value<ReplyForm>()}),
                 QList<ReplyForm>({ReplyForm::Raw, ReplyForm::Raw, ReplyForm::Text}));
        QVERIFY(w.replies.isEmpty());
        w.channel.expectManualCommand();
        w.channel.send(QStringLiteral("#:XX#"));
        w.clock.advance(1000);
        QVERIFY(!w.channel.isAwaitingReply());
    }

    // A reply cut short times out after its line time and a second; the late rest
    // belongs to nothing and keeps the line busy until in. What is let go, a manual
    // command or a reply flushed by the next command is never reported missing.
    void aMissingReplyTimesOutAndTheLateRestIsThrownAway() {
        Wire w;
        QSignalSpy timedOut(&w.channel, &Channel::timedOut);
        QSignalSpy received(&w.channel, &Channel::received);
        QCOMPARE(replyDeadlineMs(Reading::Read, 1938, 256), 1000 + 2286);
        w.channel.request(query(15), w.keep());
        w.port.feed("12:34.5#");
        w.clock.advance(1026);
        QCOMPARE(timedOut.count(), 0);
        w.clock.advance(1);
        QCOMPARE(timedOut.count(), 1);
        QCOMPARE(timedOut.at(0).at(0).toString(), QStringLiteral("test query"));
        QVERIFY(!w.channel.isAwaitingReply() && w.channel.lastRequestTimedOut());
        QCOMPARE(w.channel.awaitedKind(), AwaitedKind::None);
        QVERIFY(w.channel.isLineBusy());
        w.port.feed("+45*30#");
        QTest::qWait(10);
        QVERIFY(received.isEmpty() && !w.channel.isLineBusy());
        w.channel.request(query(15), w.keep());
        w.port.feed("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 1000);
        QCOMPARE(w.replies, QList<QByteArray>{"01:02.3#-05*07#"});

        w.channel.request(query(1, Reading::LetGo));
        w.channel.expectManualCommand();
        w.channel.send(QStringLiteral("#:Q#"));
        w.channel.request(query(15), w.keep());
        w.channel.send(QStringLiteral("#:Mn#"));
        w.clock.advance(5000);
        QCOMPARE(timedOut.count(), 1);
    }

    // A reply read up to its "#" may come in pieces through a network bridge: a
    // client's sync hears the board's "Synced#"; one whose "#" never comes is
    // taken for a failed sync once the line's time-out has passed.
    void aReplyUpToItsHashIsReadWhole() {
        Session s;
        ShareServer server(s.session);
        ShareSettings settings;
        settings.lx200 = true;
        settings.lx200Port = 0;
        QVERIFY(server.start(settings, nullptr));
        QTcpSocket client;
        client.connectToHost(QStringLiteral("127.0.0.1"), server.lx200Port());
        QVERIFY(client.waitForConnected(10000));
        QByteArray heard;
        connect(&client, &QTcpSocket::readyRead, this, [&] { heard += client.readAll(); });
        for (const QByteArray& second : {QByteArray("ynced#"), QByteArray()}) {
            heard.clear();
            s.port->clearWrites();
            client.write(":CM#");
            QTRY_COMPARE_WITH_TIMEOUT(s.sent(), QStringList{"#:CM#"}, 10000);
            s.reply("S");
            s.clock.advance(60);
            s.reply(second);
            if (second.isEmpty())
                s.clock.advance(1100);
            QTRY_VERIFY_WITH_TIMEOUT(heard.endsWith('#'), 10000);
            QCOMPARE(heard, second.isEmpty() ? QByteArray("Sync failed#") : "Synced#");
        }
        // The rest that comes after all is thrown away, never taken for the
        // answer to the next command.
        QVERIFY(SessionAccess::channel(s.session).isLineBusy());
        QSignalSpy received(&SessionAccess::channel(s.session), &Channel::received);
        s.reply("ynced#");
        QVERIFY(!SessionAccess::channel(s.session).isLineBusy() && received.isEmpty());
    }

    // On the real clock the event loop turns between every two steps, each pause
    // really waits.
    void onTheRealClockTheEventLoopTurnsBetweenSteps() {
        SystemClock clock;
        FakeSerialPort port(&clock);
        Channel channel(clock);
        channel.setPort(&port);
        port.open(nullptr);
        int turns = 0;
        QTimer heartbeat;
        connect(&heartbeat, &QTimer::timeout, this, [&] { ++turns; });
        QVector<int> turnsAtStep;
        connect(&channel.runner(), &SequenceRunner::progress, this,
                [&](int, int) { turnsAtStep << turns; });
        bool done = false;
        channel.run(
            tableWrite().onEnd([&](SequenceResult r) { done = r == SequenceResult::Done; }));
        QCOMPARE(port.writes.size(), 1);
        heartbeat.start(1);
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QCOMPARE(turnsAtStep.size(), 256);
        for (int i = 1; i < 256; ++i) {
            QVERIFY2(turnsAtStep[i] > turnsAtStep[i - 1], qPrintable(QString::number(i)));
            QVERIFY(port.writes[i].atMs - port.writes[i - 1].atMs >= 20);
        }
    }

    // A sequence waits its turn and for the reply last awaited; an exclusive one
    // waits behind short exchanges but is refused beside a long one (exclusive, or
    // of many commands); a reply that does not come ends it as timed out.
    void sequencesTakeTurns() {
        Wire w;
        const auto version = [&] { w.channel.request(versionQuery()); };
        w.channel.run(Sequence().then(version).awaitReply().send("after the reply"));
        QVERIFY(w.channel.run(Sequence().send("second")));
        QVERIFY(w.channel.run(Sequence().send("long").exclusive()));
        QVERIFY(!w.channel.run(Sequence().send("refused").exclusive()));
        QCOMPARE(w.port.writtenCommands(), QStringList{"#:GV#"});
        w.port.feed("3.60 CORV#");
        QTRY_COMPARE_WITH_TIMEOUT(w.port.writtenCommands(),
                                  QStringList({"#:GV#", "after the reply", "second", "long"}),
                                  1000);
        Sequence replay;
        replay.then(version).awaitReply();
        for (int n = 0; n < 5; ++n)
            replay.send(QStringLiteral("setting %1").arg(n));
        w.channel.run(std::move(replay));
        QVERIFY(!w.channel.run(Sequence().send("refused").exclusive()));
        w.port.feed("3.60 CORV#");
        QTRY_VERIFY_WITH_TIMEOUT(!w.channel.runner().isBusy(), 1000);
        QVERIFY(!w.port.writtenCommands().contains("refused"));
        w.port.clearWrites();
        const auto result = w.run(Sequence()
                                      .then([&] { w.channel.request(pecStateQuery()); })
                                      .awaitReply()
                                      .send("never"));
        w.clock.advance(2000);
        QCOMPARE(*result, SequenceResult::TimedOut);
        QCOMPARE(w.port.writtenCommands(), QStringList{"#:VS#"});
        QVERIFY(!w.channel.runner().isBusy());
    }

    // STOP cancels what runs and waits, unless protected; a lost port ends all; a
    // declined question sends nothing more.
    void cancelLossAndQuestions() {
        Wire w;
        const auto first =
            w.run(Sequence().then([&] { w.channel.request(versionQuery()); }).awaitReply());
        const auto queued = w.run(Sequence().send("queued"));
        w.channel.runner().cancel();
        QCOMPARE(QList<SequenceResult>({*first, *queued}),
                 QList<SequenceResult>(2, SequenceResult::Cancelled));
        w.port.feed("3.60 CORV#");
        QTRY_VERIFY_WITH_TIMEOUT(!w.channel.isLineBusy(), 1000);
        const auto restore = w.run(
            tableWrite(3).protect().then([&] { w.channel.request(versionQuery()); }).awaitReply());
        w.channel.runner().cancel();
        QVERIFY(w.channel.runner().isRunningProtected());
        w.port.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(*restore, SequenceResult::PortLost, 1000);
        QVERIFY(!w.channel.runner().isBusy());

        Wire asked;
        const auto declined =
            asked.run(Sequence().send("first").ask([] { return false; }).send("second"));
        QCOMPARE(*declined, SequenceResult::Cancelled);
        QCOMPARE(asked.port.writtenCommands(), QStringList{"first"});
    }

    // The version and what it enables: s(plit dump), t(ouch up), d(EC worm row),
    // x (tracking correction); only a number in the reply's form is a version.
    void versionReply() {
        QStringList got;
        for (const QString& reply : QStringList{"3.3#",
                                                "3.31#",
                                                "3.49#",
                                                "3.5#",
                                                "3.56#",
                                                "3.57#",
                                                "3.58#",
                                                "3.59 CORV#",
                                                "1.9#",
                                                "  3.6",
                                                "3.60 \x19\x9Dl#",
                                                "Vx#",
                                                "",
                                                "inf#",
                                                "nan#",
                                                QString(40, '9'),
                                                "3.6000000001#",
                                                "360#",
                                                "-3.6#",
                                                "05:3405:34",
                                                "3#",
                                                "3.60x#",
                                                ".5#",
                                                "3.#"}) {
            const VersionInfo v = parseVersionReply(reply);
            got << QString::number(v.version) + ' ' + (v.splitSettingsDump ? "s" : "") +
                       (v.pecTouchUp ? "t" : "") + (v.decWormRowShown ? "d" : "") +
                       (v.tarvixEnabled ? "x" : "");
        }
        QCOMPARE(got, QStringList({"3.3 ", "3.31 d", "3.49 d", "3.5 dx", "3.56 dx", "3.57 sx",
                                   "3.58 sx", "3.59 stx", "1.9 ", "3.6 stx", "3.6 stx"}) +
                          QStringList(13, "0 "));
        // The caption never shows a control or high byte as it came.
        QCOMPARE(versionCaption(QStringLiteral("3.60 \x19\x9Dl\\#")),
                 QStringLiteral("Corvane Update Ver. 3.60 \\x19\\x9Dl\\#"));
    }

    // A reply goes to the handler its request carries, once, and to no other;
    // a request that ends without one says why: superseded or cut off by a
    // lost port (cancelled), not in time (no reply), not in its form (bad).
    void eachReplyReachesWhoAsked() {
        Wire w;
        QStringList got;
        const auto asker = [&got](const char* who) {
            return decodedBy<int>(
                [](const QByteArray& r) {
                    bool ok = false;
                    const int n = r.left(r.indexOf('#')).toInt(&ok);
                    return ok ? std::optional<int>(n) : std::nullopt;
                },
                [&got, who](const Answer<int>& a) {
                    got << QStringLiteral("%1 %2")
                               .arg(QLatin1String(who))
                               .arg(a.ok() ? *a.value : -static_cast<int>(a.failure));
                });
        };
        const auto ask = [&](const char* who, const QByteArray& reply) {
            w.channel.request(query(3), asker(who));
            if (!reply.isEmpty())
                w.port.feed(reply);
            QTest::qWait(30);
        };
        ask("first", "12#");
        ask("second", "x2#");
        w.port.feed("77#"); // unasked: shown, heard by no one
        QTest::qWait(30);
        w.channel.request(query(3), asker("superseded"));
        ask("third", "");
        w.clock.advance(5000);
        ask("fourth", "");
        w.port.unplug();
        QTest::qWait(30);
        QCOMPARE(got,
                 QStringList({"first 12", "second -2", "superseded -3", "third -1", "fourth -3"}));
    }
};

QTEST_GUILESS_MAIN(TestChannel)
#include "test_channel.moc"
