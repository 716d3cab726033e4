// corvane-sim on a real pseudo-terminal, reached through the program's real
// serial port (the window on it is in test_line_endurance).
#include "config/DriveConfiguration.h"
#include "link/ControllerInfo.h"

#include "common/Clock.h"
#include "common/SimProcess.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

using namespace corvane;
using namespace corvane::test;

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(simulatorPath()), qPrintable(simulatorPath())); }

    void clientMayCloseAndReopenTheLine() {
        SimProcess sim({QStringLiteral("--firmware"), QStringLiteral("3.50")});
        SystemClock clock;
        QtSerialPort port(sim.directory());
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy received(&channel, &Channel::received);
        for (int round = 1; round <= 2; ++round) {
            QString error;
            QVERIFY2(port.open(&error), qPrintable(error));
            channel.request(settingsQuery(false));
            QTRY_COMPARE_WITH_TIMEOUT(received.count(), round, 5000);
            QCOMPARE(received.last().at(0).toByteArray().toHex(' ').toUpper(),
                     "50 0F 20 00 F0 10 01 02 08 09 0B F0 00 84 B4 8A");
            port.close();
        }
        QCOMPARE(sim.stopWith(SIGINT), 0);
    }

    void vanishingLineIsSeenAsLost() {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("line.log"));
        SimProcess sim(
            {QStringLiteral("--vanish-after"), QStringLiteral("1"), QStringLiteral("--log"), log});
        SystemClock clock;
        QtSerialPort port(sim.directory());
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy received(&channel, &Channel::received);
        QSignalSpy lost(&channel, &Channel::lost);
        QString error;
        QVERIFY2(port.open(&error), qPrintable(error));
        channel.request(versionQuery());
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
};

QTEST_MAIN(TestSimPty)
#include "test_sim_pty.moc"
