// corvane-sim on a real pseudo-terminal, reached through the program's real
// serial port: the whole road from window to board and back.
#include "app/MainWindow.h"
#include "common/Clock.h"
#include "common/ScriptedPrompts.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

using namespace corvane;
using corvane::test::ScriptedPrompts;

namespace {

QString simulatorPath() {
    return qEnvironmentVariable("CORVANE_BIN_DIR") + QStringLiteral("/corvane-sim");
}

// A running corvane-sim; stopped with SIGTERM when it goes out of scope.
struct Simulator {
    QProcess process;
    QString device;

    explicit Simulator(const QStringList& arguments = {}) {
        process.start(simulatorPath(), arguments);
        if (!process.waitForStarted(5000))
            return;
        // The device path is the first line on standard output.
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Simulator() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000))
                process.kill();
        }
    }
    // Sends a signal and waits for a clean end; returns the exit code, -1 when
    // it did not end normally.
    int stopWith(int signal) {
        ::kill(static_cast<pid_t>(process.processId()), signal);
        if (!process.waitForFinished(3000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }
};

PortDirectory boundTo(const QString& device) {
    PortDirectory directory = PortDirectory::fromDevices({}, false);
    directory.bind(1, device);
    return directory;
}

} // namespace

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(simulatorPath()), qPrintable(simulatorPath())); }

    void windowConnectsThroughAPseudoTerminal() {
        Simulator sim;
        QVERIFY2(sim.device.startsWith(QStringLiteral("/dev/")), qPrintable(sim.device));
        SystemClock clock;
        ScriptedPrompts prompts;
        MainWindow window(new QtSerialPort(boundTo(sim.device)), clock, prompts);
        QVERIFY(window.startUp());
        window.findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        auto* status = window.findChild<QLabel*>(QStringLiteral("StatusBar1_1"));
        auto* version = window.findChild<QPushButton*>(QStringLiteral("cmdGetVersion"));
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Connected"), 5000);
        QCOMPARE(version->text(), QStringLiteral("Corvane Update Ver. 3.60 CORV#"));

        window.channel().getPos();
        auto* ra = window.findChild<QLineEdit*>(QStringLiteral("ScopeRAtxt"));
        auto* dec = window.findChild<QLineEdit*>(QStringLiteral("ScopeDECtxt"));
        QTRY_VERIFY_WITH_TIMEOUT(QRegularExpression(QStringLiteral("^\\d\\dh[0-5]\\d\\.\\dm$"))
                                     .match(ra->text())
                                     .hasMatch(),
                                 5000);
        QCOMPARE(dec->text(), QStringLiteral("+90\u00B000\""));
        QCOMPARE(prompts.shown.size(), 0);
        window.close();
        QCOMPARE(sim.stopWith(SIGTERM), 0);
    }

    void clientMayCloseAndReopenTheLine() {
        Simulator sim({QStringLiteral("--firmware"), QStringLiteral("3.50")});
        SystemClock clock;
        QtSerialPort port(boundTo(sim.device));
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy received(&channel, &Channel::received);
        for (int round = 1; round <= 2; ++round) {
            QString error;
            QVERIFY2(port.open(&error), qPrintable(error));
            channel.getSettings(false);
            QTRY_COMPARE_WITH_TIMEOUT(received.count(), round, 5000);
            QCOMPARE(received.last().at(0).toString(),
                     QStringLiteral("50 0F 20 00 F0 10 01 02 08 09 0B F0 00 84 B4 8A "));
            port.close();
        }
        QCOMPARE(sim.stopWith(SIGINT), 0);
    }

    void vanishingLineIsSeenAsLost() {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("line.log"));
        Simulator sim(
            {QStringLiteral("--vanish-after"), QStringLiteral("1"), QStringLiteral("--log"), log});
        SystemClock clock;
        QtSerialPort port(boundTo(sim.device));
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy received(&channel, &Channel::received);
        QSignalSpy lost(&channel, &Channel::lost);
        QString error;
        QVERIFY2(port.open(&error), qPrintable(error));
        channel.getVer();
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        QVERIFY(!port.isOpen());
        // The simulator ends by itself once its line is gone.
        QTRY_COMPARE_WITH_TIMEOUT(sim.process.state(), QProcess::NotRunning, 3000);
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process.exitCode(), 0);

        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains(" > #:GV#\n") && text.contains(" < 3.60 CORV#\n"), text.constData());
    }

    void helpAndBadOptions() {
        QProcess help;
        help.start(simulatorPath(), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(5000));
        QCOMPARE(help.exitCode(), 0);
        const QByteArray text = help.readAllStandardOutput();
        for (const char* option :
             {"--firmware", "--no-pacing", "--speedup", "--log", "--drop-every", "--truncate-every",
              "--garble-every", "--delay-ms", "--vanish-after"})
            QVERIFY2(text.contains(option), option);

        QProcess bad;
        bad.start(simulatorPath(), {QStringLiteral("--firmware"), QStringLiteral("abc")});
        QVERIFY(bad.waitForFinished(5000));
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY(bad.readAllStandardError().contains("--firmware"));
    }
};

QTEST_MAIN(TestSimPty)
#include "test_sim_pty.moc"
