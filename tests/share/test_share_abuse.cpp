// Clients that misbehave: random bytes, a request that never ends, connects
// and drops, one that never reads, one too many. The program goes on
// answering, and the board hears only commands rebuilt for clients.
#include "SharedWindow.h"

#include <QRandomGenerator>

using namespace corvane;
using namespace corvane::test;

namespace {

using Client = std::unique_ptr<QTcpSocket>;

bool connected(const Client& c) {
    return c && c->state() == QAbstractSocket::ConnectedState;
}

// The program still answers a new client, and the board heard only
// commands in the forms rebuilt for clients; how many it heard.
int checkStillServing(SharedWindow<>& w) {
    if (!QTest::qWaitFor(
            [&w] { return w.server().clients().size() < w.server().settings().maxClients; }))
        return -1;
    const Client c = w.client();
    if (ask(*c, ":GVP#", 8) != "Corvane#" || ask(*c, ":GR#:GD#", 15).size() != 15 || !w.settle())
        return -1;
    const QStringList received = w.received();
    const QStringList others = notClientCommands(received);
    return others.isEmpty() ? static_cast<int>(received.size()) : -1;
}

QByteArray randomStream(QRandomGenerator& random, bool stellarium) {
    static const QByteArray lx200Bytes(":#\x06 +-*.'\xDF/0123456789GRDrdSQMCgnsewUVPNTtLc");
    QByteArray out;
    if (stellarium && random.bounded(2) == 0)
        return stellariumGoto(random.bounded(24.0), random.bounded(200.0) - 100.0);
    const int length = random.bounded(1, 120);
    for (int i = 0; i < length; ++i)
        out += stellarium || random.bounded(8) == 0
                   ? char(random.bounded(256))
                   : lx200Bytes.at(random.bounded(lx200Bytes.size()));
    return out;
}

} // namespace

class TestShareAbuse : public QObject {
    Q_OBJECT
private slots:
    // 10,000 random streams over four connections, one of them Stellarium's;
    // a connection the server cuts off is made again.
    void randomStreams() {
        SharedWindow<> w;
        QVERIFY(w.share());
        w.received();
        QRandomGenerator random(4030);
        Client clients[4];
        int renewed = 0;
        for (int stream = 0; stream < 10000; ++stream) {
            Client& c = clients[stream % 4];
            if (!connected(c)) {
                c = w.client(stream % 4 == 3);
                ++renewed;
            }
            c->write(randomStream(random, stream % 4 == 3));
            c->readAll();
            if (stream % 4 == 3)
                QCoreApplication::processEvents();
        }
        QVERIFY(w.settle());
        QVERIFY2(renewed > 100, qPrintable(QString::number(renewed)));
        // Stellarium's gotos read together make one slew, the newest.
        QVERIFY(checkStillServing(w) > 500);
    }

    // A request that never ends is cut off at its bound, however much more
    // comes; a thousand connects and drops leave nothing behind.
    void endlessRequestsAndDrops() {
        SharedWindow<> w;
        QVERIFY(w.share());
        w.received();
        const Client polite = w.client();
        const Client endless = w.client();
        endless->write(':' + QByteArray(1 << 20, 'x'));
        QTRY_COMPARE(endless->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(ask(*polite, ":GVP#", 8), QByteArray("Corvane#"));

        for (int i = 0; i < 1000; ++i) {
            const Client c = w.client();
            QVERIFY(connected(c));
            if (i % 2)
                c->write(":Sr 05:3");
            c->abort();
            if (i % 3 == 0)
                QCoreApplication::processEvents();
        }
        QTRY_COMPARE(w.server().clients().size(), 1);
        QVERIFY(checkStillServing(w) > 0);
    }

    // A client that never reads its answers is cut off once they pile up,
    // while the others go on being answered; with the clients at their
    // limit the next is turned away and the others stay.
    void aStalledClientAndOneTooMany() {
        SharedWindow<> w;
        QVERIFY(w.share(3));
        w.received();
        const Client a = w.client();
        const Client b = w.client();
        QTcpSocket stalled;
        stalled.setReadBufferSize(1024);
        stalled.connectToHost(QStringLiteral("127.0.0.1"), w.server().lx200Port());
        QVERIFY(stalled.waitForConnected(3000));
        stalled.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        QTRY_COMPARE(w.server().clients().size(), 3);
        const Client extra = w.client();
        QTRY_COMPARE(extra->state(), QAbstractSocket::UnconnectedState);

        // Each date answer is 67 bytes: the unread ones soon fill every buffer.
        QByteArray dates;
        for (int i = 0; i < 3000; ++i)
            dates += ":SC 03/05/24#";
        QDeadlineTimer giveUp(20000);
        int rounds = 0;
        while (stalled.state() == QAbstractSocket::ConnectedState && !giveUp.hasExpired()) {
            stalled.write(dates);
            for (const Client* c : {&a, &b})
                QCOMPARE(ask(**c, ":GR#:GD#", 15).size(), 15);
            ++rounds;
        }
        QVERIFY2(stalled.state() != QAbstractSocket::ConnectedState,
                 qPrintable(QString::number(rounds)));
        QCOMPARE(ask(*a, ":GVP#", 8), QByteArray("Corvane#"));
        QVERIFY(checkStillServing(w) > 0);
    }
};

QTEST_MAIN(TestShareAbuse)
#include "test_share_abuse.moc"
