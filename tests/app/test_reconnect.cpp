// The line wherever it is: a board behind a network bridge carries the same
// bytes as on a serial line, a lost line is reopened by itself (only that
// line), the version is asked again when its reply is lost, and the traffic
// window and the session log show every exchange.
#include "common/ClockTimer.h"
#include "common/SimProcess.h"
#include "common/WindowFixture.h"
#include "link/QtSerialPort.h"
#include "link/TrafficLog.h"
#include "link/ui/NetworkBoardDialog.h"
#include "pec/PecModel.h"
#include "pec/PecTable.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTcpServer>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// The window on corvane-sim's line (a pseudo-terminal, or --tcp), on the
// system clock as the program runs.
struct LineWindow {
    SystemClock clock;
    ScriptedPrompts prompts;
    QMap<QString, QString> adapters; // what the system lists: path -> identity
    MainWindow window;
    explicit LineWindow(const QString& device) : window(port(device), clock, prompts) {
        window.startUp();
    }
    QtSerialPort* port(const QString& device) {
        auto* p = new QtSerialPort(bound(device));
        p->setDeviceLister([this] {
            QVector<SerialDevice> listed;
            for (auto it = adapters.cbegin(); it != adapters.cend(); ++it)
                listed.append({it.key(), it.value()});
            return listed;
        });
        return p;
    }
    static PortDirectory bound(const QString& device) {
        PortDirectory d = PortDirectory::fromDevices({}, {}, false);
        d.bindFromOption(QStringLiteral("1=") + device, nullptr);
        return d;
    }
    QString status(int n) const {
        return window.findChild<QLabel*>(QStringLiteral("StatusBar1_%1").arg(n))->text();
    }
    bool connected() {
        window.findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        return QTest::qWaitFor([this] { return status(1) == QLatin1String("Connected"); }, 5000);
    }
    bool idle(int ms = 10000) {
        BoardLine& c = window.session().line();
        return QTest::qWaitFor([&c] { return !c.isBusy() && !c.isLineBusy(); }, ms);
    }
};

// A bridge that takes no connection: its port listens with a full queue.
struct Unanswered {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::vector<int> queued;
    bool listening = false;
    explicit Unanswered(quint16 port) {
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        listening =
            ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(fd, 0) == 0;
        for (int i = 0; listening && i < 4; ++i) {
            queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            [[maybe_unused]] int r =
                ::connect(queued.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
    }
    ~Unanswered() {
        for (int q : queued)
            ::close(q);
        ::close(fd);
    }
};

// What the host wrote, as the simulator logged it.
QStringList written(const QString& log) {
    return SimProcess::traffic(log).filter(QRegularExpression(QStringLiteral("^> ")));
}

} // namespace

class TestReconnect : public QObject {
    Q_OBJECT
private slots:
    // Connect, a poll, a settings readback, a PEC read-out and a restore: the
    // board behind TCP gets byte for byte what it gets on a pseudo-terminal.
    void aNetworkBoardGetsTheSameBytes() {
        QTemporaryDir dir;
        QStringList traffic[2];
        for (int tcp = 0; tcp < 2; ++tcp) {
            const QString log = dir.filePath(QStringLiteral("line%1.log").arg(tcp));
            SimProcess sim(
                QStringList{QStringLiteral("--log"), log} +
                (tcp ? QStringList{QStringLiteral("--tcp"), QStringLiteral("0")} : QStringList{}));
            LineWindow w(sim.device);
            QVERIFY(w.connected());
            MountSession& s = w.window.session();
            s.polling().tick();
            QVERIFY(w.idle());
            s.configuration().readBack();
            QVERIFY(w.idle());
            s.pec().queryStateInTurn(); // the factor, as the PEC page asks for it
            QVERIFY(w.idle());
            s.pec().readOut();
            QVERIFY(w.idle() && s.pec().isTableOffered());
            const QString csv = dir.filePath(QStringLiteral("table%1.csv").arg(tcp));
            w.prompts.fileNames << csv << csv;
            s.pec().saveTable();
            s.pec().restore();
            QVERIFY(w.idle());
            traffic[tcp] = written(log);
        }
        QVERIFY(traffic[0].join(' ').contains("#255:XR"));
        QCOMPARE(traffic[1], traffic[0]);
    }

    // A bridge that loses power and comes back at the same address, an
    // adapter re-plugged behind the same path: the window reconnects within
    // 2 s of its return and polling goes on; with the option off it stays
    // disconnected, and another device is never opened, not even one that
    // takes the lost adapter's path.
    void theSameLineComesBackByItself() {
        QTemporaryDir dir;
        for (const bool tcp : {true, false}) {
            for (const bool reconnect : {true, false}) {
                const QString link = dir.filePath(QStringLiteral("board"));
                QStringList args{QStringLiteral("--vanish-after"), QStringLiteral("8")};
                if (tcp)
                    args << QStringLiteral("--tcp") << QStringLiteral("0");
                auto first = std::make_unique<SimProcess>(args);
                QFile::remove(link);
                QVERIFY(tcp || QFile::link(first->device, link));
                LineWindow w(tcp ? first->device : link);
                const QString mount = QStringLiteral("usb:0403:6001:MOUNT");
                w.adapters.insert(first->device, mount);
                w.window.findChild<QAction*>(QStringLiteral("mnuReconnect"))->setChecked(reconnect);
                QVERIFY(w.connected());
                w.window.findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
                w.window.findChild<QScrollBar*>(QStringLiteral("scrlUDTime"))->setValue(500);
                w.window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
                QVERIFY(QTest::qWaitFor([&] { return w.status(1) == "Disconnected"; }, 10000));
                QCOMPARE(w.status(4).startsWith(QLatin1String("Waiting for the board on")),
                         reconnect);
                first->process.waitForFinished(3000);
                w.adapters.clear();
                // Another board appears, on a device of its own or behind the
                // lost one's path: never opened.
                const QString strayLog = dir.filePath(QStringLiteral("stray.log"));
                SimProcess stray({QStringLiteral("--log"), strayLog});
                QFile::remove(link);
                QVERIFY(tcp || QFile::link(stray.device, link));
                if (!tcp && reconnect)
                    QVERIFY(QTest::qWaitFor(
                        [&] { return w.status(4).startsWith("Another device is on " + link); },
                        5000));
                const QString log = dir.filePath(QStringLiteral("back.log"));
                QStringList again{QStringLiteral("--log"), log};
                if (tcp)
                    again << QStringLiteral("--tcp") << QString::number(first->tcpPort());
                SimProcess back(again);
                w.adapters.insert(back.device, mount);
                QFile::remove(link);
                QVERIFY(tcp || QFile::link(back.device, link));
                const bool came = QTest::qWaitFor(
                    [&] { return w.status(1) == QLatin1String("Connected"); }, 3000);
                QCOMPARE(came, reconnect);
                QVERIFY(written(strayLog).isEmpty());
                if (reconnect)
                    QVERIFY(QTest::qWaitFor(
                        [&] { return written(log).join(' ').contains("#:GR##:GD#"); }, 3000));
            }
        }
    }

    // A bridge that stops answering without closing the connection (the
    // simulator frozen): once replies have been missing for the silence limit
    // the line counts as lost, and when the bridge answers again the window
    // connects by itself.
    void aSilentBridgeCountsAsLost() {
        SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0")});
        LineWindow w(sim.device);
        w.window.session().setSilenceLimit(1);
        QVERIFY(w.connected());
        const auto pid = static_cast<pid_t>(sim.process.processId());
        ::kill(pid, SIGSTOP);
        w.window.findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        w.window.findChild<QScrollBar*>(QStringLiteral("scrlUDTime"))->setValue(500);
        w.window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
        QVERIFY(QTest::qWaitFor([&] { return w.status(1) == "Disconnected"; }, 10000));
        QVERIFY(w.status(4).startsWith(QStringLiteral("Waiting for the board on ") + sim.device));
        ::kill(pid, SIGCONT);
        QVERIFY(QTest::qWaitFor([&] { return w.status(1) == "Connected"; }, 5000));
    }

    // Waiting for a bridge that takes no connection never holds the window
    // (no local event loop shuts out clicks and keys); the bridge is taken as
    // soon as it answers again.
    void aSilentBridgeDoesNotHoldTheWindow() {
        auto first = std::make_unique<SimProcess>(QStringList{"--tcp", "0"});
        LineWindow w(first->device);
        QVERIFY(w.connected());
        const quint16 port = first->tcpPort();
        first->process.kill();
        first->process.waitForFinished(3000);
        QVERIFY(QTest::qWaitFor([&] { return w.status(1) == "Disconnected"; }, 10000));
        {
            Unanswered silent(port);
            QVERIFY(silent.listening);
            QSignalSpy attempts(w.window.session().findChild<ClockTimer*>("ReconnectTimer"),
                                &ClockTimer::timeout);
            int held = 0;
            QTimer input;
            QObject::connect(&input, &QTimer::timeout,
                             [&held] { held += QThread::currentThread()->loopLevel(); });
            input.start(10);
            QVERIFY(QTest::qWaitFor([&] { return attempts.count() >= 3; }, 10000));
            QCOMPARE(held, 0);
        }
        SimProcess back({QStringLiteral("--tcp"), QString::number(port)});
        QVERIFY(QTest::qWaitFor([&] { return w.status(1) == "Connected"; }, 5000));
    }

    // A network board that does not answer leaves the number to the device
    // the command line gave it.
    void aFailedNetworkBoardKeepsTheDevice() {
        SimProcess sim;
        LineWindow w(sim.device);
        QVERIFY(w.connected());
        w.window.findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 refusing = closed.serverPort();
        closed.close();
        NetworkBoardDialog dialog(w.window.session());
        dialog.txtHost->setText(QStringLiteral("127.0.0.1"));
        dialog.spnPort->setValue(refusing);
        dialog.cmdConnect->click();
        QCOMPARE(w.prompts.shown.value(0).text, "Com1 is not available.\r\nConnection refused");
        QVERIFY(w.connected());
    }

    // A PEC restore cut by the line's loss says the board may hold part of the
    // table; once the board is back the whole table is written again on the
    // user's word, and the board then holds it.
    void aCutRestoreIsOfferedAgain() {
        QTemporaryDir dir;
        QString codes;
        for (int step = 0; step < kPecSteps; ++step)
            codes += QChar('0' + (step * 7) % 4);
        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(pecCsvText(decodePecTable(codes, 5)).toLatin1()) > 0);
        file.close();
        auto first = std::make_unique<SimProcess>(QStringList{"--tcp", "0"});
        LineWindow w(first->device);
        QVERIFY(w.connected());
        PecModel& pec = w.window.session().pec();
        const auto said = [&w](const char* start) {
            return !w.prompts.shown.isEmpty() &&
                   w.prompts.shown.last().text.startsWith(QLatin1String(start));
        };
        w.prompts.fileNames << csv;
        pec.restore();
        QTest::qWait(1000);    // of the restore's five seconds
        first->process.kill(); // the bridge loses power
        QVERIFY(QTest::qWaitFor([&] { return said("The line was lost during the PEC restore"); },
                                10000));
        first->process.waitForFinished(3000);
        SimProcess back({QStringLiteral("--tcp"), QString::number(first->tcpPort())});
        QVERIFY(QTest::qWaitFor([&] { return said("The board is back"); }, 5000));
        QVERIFY(w.idle(15000));
        pec.readOut();
        QVERIFY(w.idle());
        QString held;
        for (const PecRow& row : pec.table().rows)
            held += QChar('0' + row.code);
        QCOMPARE(held, codes);
    }

    // One version reply lost: the board is asked again and shown connected.
    void theVersionIsAskedAgain() {
        SimWindow<> w;
        w.port->line().faults().dropNext();
        QVERIFY(w.window->startUp());
        w.trigger(QStringLiteral("mnuConnect"));
        QTest::qWait(2);
        QCOMPARE(w.panel(1), QStringLiteral("No Corvane update"));
        for (int ms = 0; ms < 5000 && w.panel(1) != QLatin1String("Connected"); ms += 100) {
            w.clock.advance(100);
            QTest::qWait(2); // the board's reply comes through the event loop
        }
        QCOMPARE(w.panel(1), QStringLiteral("Connected"));
        QCOMPARE(w.received().count(QStringLiteral("#:GV#")), 2);
    }

    // The traffic window and the session log show a connect and a poll, in
    // order, with their times and causes; a log that cannot be written is
    // refused without harm.
    void trafficIsShownAndLogged() {
        SimWindow<> w;
        const QString path = w.dir.filePath(QStringLiteral("session.log"));
        QString why;
        QVERIFY(!w.session().traffic().logTo(w.dir.filePath("no/such/folder/x.log"), &why));
        QVERIFY(w.session().traffic().logTo(path, &why));
        QVERIFY(w.connect());
        w.clock.advance(100);
        w.session().polling().tick();
        w.settle();
        w.trigger(QStringLiteral("mnuTraffic"));
        const QStringList shown =
            w.find<QPlainTextEdit>(QStringLiteral("txtTraffic"))->toPlainText().split('\n');
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts), shown);
        // "   12.345 > cause: bytes", times in order.
        const QRegularExpression form(QStringLiteral("^ *(\\d+\\.\\d{3}) ([<>]) [a-z ']+: (.+)$"));
        QStringList gist;
        double last = 0;
        for (const QString& line : shown) {
            const QRegularExpressionMatch m = form.match(line);
            QVERIFY2(m.hasMatch() && m.captured(1).toDouble() >= last, qPrintable(line));
            last = m.captured(1).toDouble();
            gist << m.captured(2) + m.captured(3).left(10);
        }
        QCOMPARE(gist.join('|'), QStringLiteral(">#:GV#|<3.60 CORV#|>#:GR##:GD#|<") +
                                     shown.last().right(15).left(10));
    }
};

QTEST_MAIN(TestReconnect)
#include "test_reconnect.moc"
