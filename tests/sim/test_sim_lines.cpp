// corvane-sim on a pseudo-terminal and behind a TCP port, through the real
// port; and hundreds of paced exchanges of the window on it, a live board never
// taken for an unplugged one, idle or with the machine busy.
#include "app/MainWindow.h"
#include "common/Clock.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionAccess.h"
#include "common/SimProcess.h"
#include "config/DriveConfiguration.h"
#include "controller/ControllerInfo.h"
#include "link/QtSerialPort.h"
#include "motion/PositionPolling.h"
#include "motion/ui/GuidePanel.h"
#include "motion/ui/TargetPanel.h"
#include "pec/PecTable.h"
#include "session/SessionLine.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

using namespace corvane;
using namespace corvane::test;

namespace {

// How long a test waits for what it needs at most: far more than it takes on
// the busiest machine, and only waited out when something is wrong.
constexpr int kGenerousMs = 30000;

// The program's port and channel on a simulator's line.
struct Client {
    SystemClock clock;
    QtSerialPort port;
    Channel channel{clock};
    SessionLine line{channel};
    QSignalSpy received{&channel, &Channel::received};
    QSignalSpy lost{&channel, &Channel::lost};

    explicit Client(const SimProcess& sim) : port(sim.directory()) { channel.setPort(&port); }
    ~Client() { channel.setPort(nullptr); }
    // Opens the port when closed and asks; the reply, or empty.
    QByteArray ask(const Query& query) {
        const int before = received.count();
        if (!port.isOpen() && !port.open(nullptr))
            return {};
        channel.request(query);
        if (!QTest::qWaitFor([&] { return received.count() > before; }, kGenerousMs))
            return {};
        return received.last().at(0).toByteArray();
    }
};

// The traffic a simulator's log saw for the version and the whole PEC table,
// read once the simulator has ended (and closed its log); what failed instead.
QStringList readTable(const QStringList& arguments, const QString& log) {
    SimProcess sim(arguments + QStringList{QStringLiteral("--log"), log});
    Client client(sim);
    QByteArray table;
    if (client.ask(versionQuery()).isEmpty())
        return {QStringLiteral("no version reply")};
    const auto keep = [&table](const RawReply& reply) { table = reply.bytes; };
    if (!client.channel.run(pecReadoutSequence(client.line, keep)) ||
        !QTest::qWaitFor([&] { return table.size() == kPecSteps; }, kGenerousMs))
        return {QStringLiteral("no whole table")};
    client.port.close();
    if (sim.stopWith(SIGTERM) != 0)
        return {QStringLiteral("the simulator did not end")};
    return SimProcess::traffic(log);
}

} // namespace

class TestSimLines : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFile::exists(simulatorPath()), qPrintable(simulatorPath())); }

    // The line may be closed and reopened; SIGINT ends the simulator cleanly. A
    // vanishing line is Lost, and the simulator then ends by itself.
    void onAPseudoTerminal() {
        SimProcess sim({QStringLiteral("--firmware"), QStringLiteral("3.50")});
        Client client(sim);
        for (int round = 1; round <= 2; ++round) {
            QCOMPARE(client.ask(settingsQuery(false)).toHex(' ').toUpper(),
                     "50 0F 20 00 F0 10 01 02 08 09 0B F0 00 84 B4 8A");
            client.port.close();
        }
        QCOMPARE(sim.stopWith(SIGINT), 0);

        SimProcess vanishing({"--vanish-after", "1"});
        Client second(vanishing);
        // A reply holds its own bytes alone, not the block the port read it into
        // (the traffic log keeps thousands of replies).
        const QByteArray version = second.ask(versionQuery());
        QCOMPARE(version, QByteArray("3.60 CORV#"));
        QVERIFY2(version.capacity() < 100, qPrintable(QString::number(version.capacity())));
        QTRY_COMPARE_WITH_TIMEOUT(second.lost.count(), 1, kGenerousMs);
        QVERIFY(!second.port.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(vanishing.process.state(), QProcess::NotRunning, kGenerousMs);
        QCOMPARE(vanishing.process.exitStatus() * 10 + vanishing.process.exitCode(), 0);
    }

    // TCP carries the same bytes in the same replies as the pseudo-terminal.
    void tcpCarriesTheLineAsThePseudoTerminalDoes() {
        QTemporaryDir dir;
        const QStringList overTcp =
            readTable({QStringLiteral("--tcp"), QStringLiteral("0")}, dir.filePath("tcp.log"));
        QCOMPARE(overTcp, readTable({}, dir.filePath("pty.log")));
        QCOMPARE(overTcp.mid(0, 2), QStringList({"> #:GV#", "< 3.60 CORV#"}));
        QVERIFY(overTcp.at(2).startsWith(QLatin1String("> #0:VR##1:VR#")) &&
                overTcp.at(2).endsWith(QLatin1String("#255:VR#")));
        QCOMPARE(overTcp.size() * 1000 + overTcp.at(3).size(), 4 * 1000 + 2 + kPecSteps);
    }

    // One client at a time; a bridge losing power is Lost; back on the same port it
    // is the same line and opens again.
    void bridgeLosingPowerIsLostAndComesBack() {
        SimProcess first({"--tcp", "0", "--vanish-after", "2"});
        QVERIFY2(first.tcpPort() != 0, qPrintable(first.device));
        Client client(first);
        QCOMPARE(client.ask(versionQuery()), QByteArray("3.60 CORV#"));
        const QString identity = client.port.lineIdentity();
        QCOMPARE(identity, first.device);
        Client other(first);
        QVERIFY(other.port.open(nullptr)); // the system accepts; the bridge hangs up
        QTRY_COMPARE_WITH_TIMEOUT(other.lost.count(), 1, kGenerousMs);
        QCOMPARE(client.ask(versionQuery()), QByteArray("3.60 CORV#"));
        QTRY_COMPARE_WITH_TIMEOUT(client.lost.count(), 1, kGenerousMs);
        QVERIFY(!client.port.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(first.process.state(), QProcess::NotRunning, kGenerousMs);
        QCOMPARE(first.process.exitCode(), 0);
        QString error;
        QVERIFY(!client.port.open(&error));
        QCOMPARE(error, QStringLiteral("Connection refused"));

        SimProcess again({QStringLiteral("--tcp"), QString::number(first.tcpPort())});
        QCOMPARE(again.device, first.device);
        client.port.rescan();
        QCOMPARE(client.port.lineIdentity(), identity);
        QCOMPARE(client.ask(versionQuery()), QByteArray("3.60 CORV#"));
        QCOMPARE(client.lost.count(), 1);
    }

    void exchangesKeepTheConnection_data() {
        QTest::addColumn<bool>("busy");
        QTest::newRow("idle") << false;
        QTest::newRow("busy machine") << true;
    }
    void exchangesKeepTheConnection() {
        QFETCH(bool, busy);
        SimProcess sim;
        QVERIFY2(sim.device.startsWith(QStringLiteral("/dev/")), qPrintable(sim.device));
        SystemClock clock;
        ScriptedPrompts prompts;
        MainWindow window(new QtSerialPort(sim.directory()), clock, prompts);
        QVERIFY(window.startUp());
        auto* status = window.findChild<QLabel*>(QStringLiteral("StatusBar1_1"));
        Channel& channel = SessionAccess::channel(window.session());
        QSignalSpy lost(&channel, &Channel::lost);
        QSignalSpy timedOut(&channel, &Channel::timedOut);
        window.findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Connected"), kGenerousMs);
        window.findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        window.findChild<GuidePanel*>()->cmdPulse->click(); // pulse mode, 0 ms pulses
        QSignalSpy received(&channel, &Channel::received);

        // One core kept busy meanwhile, when asked.
        std::atomic<bool> stop{false};
        std::thread spinner([&] {
            volatile unsigned long n = 0;
            while (busy && !stop.load(std::memory_order_relaxed))
                n = n + 1;
        });
        // Each press follows the end of the one before, as fast as a user can
        // click: set, get, a pulse, sync (each a few exchanges) and a poll.
        QPushButton* presses[] = {window.findChild<TargetPanel*>()->cmdSetObj,
                                  window.findChild<TargetPanel*>()->cmdGetObj,
                                  window.findChild<GuidePanel*>()->cmdMoveN,
                                  window.findChild<TargetPanel*>()->cmdSyncObj, nullptr};
        constexpr int kPresses = 100;
        for (int i = 0; i < kPresses; ++i) {
            if (presses[i % 5])
                presses[i % 5]->click();
            else
                window.session().polling().tick();
            QDeadlineTimer giveUp(kGenerousMs);
            do
                QTest::qWait(5);
            while ((channel.runner().isBusy() || channel.isAwaitingReply()) &&
                   !giveUp.hasExpired());
            if (!window.session().port().isOpen())
                break;
        }
        stop = true;
        spinner.join();
        QCOMPARE(lost.count() * 10 + timedOut.count(), 0);
        QCOMPARE(status->text(), QStringLiteral("Connected"));
        // Every set, get and sync was answered.
        QVERIFY2(received.count() >= kPresses, qPrintable(QString::number(received.count())));
        window.close();
    }
};

QTEST_MAIN(TestSimLines)
#include "test_sim_lines.moc"
