// The command line is answered before any window system is asked for a
// display: --help and --version work over SSH, a bad option says so.
#include "app/CommandLine.h"

#include <QProcess>
#include <QtTest>

using namespace corvane;

namespace {

struct Run {
    int exitCode;
    QString out;
    QString err;
};

// The program itself, with no display and no platform chosen for it.
Run runWithoutDisplay(const QString& program, const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("CORVANE_BIN_DIR") + QLatin1Char('/') + program, arguments);
    p.waitForFinished(10000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead() {
        const CommandLine c =
            parseCommandLine({"corvane-control", "--simulate", "--sim-firmware", "3.50", "--port",
                              "2=/dev/pts/4", "-platform", "offscreen", "-style", "Fusion"});
        QVERIFY(c.ok);
        QVERIFY(!c.exitNow);
        QVERIFY(c.simulate);
        QCOMPARE(c.simulatorArgs, QStringList({"--firmware", "3.50"}));
        QCOMPARE(c.portBindings, QStringList{"2=/dev/pts/4"});
    }

    void answeredOrRefusedAtOnce_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("says");
        QTest::newRow("short help") << QStringList{"-h"} << true << "Usage: corvane-control";
        QTest::newRow("unknown") << QStringList{"--bogus"} << false
                                 << "Try 'corvane-control --help'";
        QTest::newRow("stray word") << QStringList{"ttyUSB0"} << false << "unexpected argument";
        QTest::newRow("bad port") << QStringList{"--port", "17=/dev/x"} << false << "N=DEVICE";
        QTest::newRow("no value") << QStringList{"--port"} << false << "Missing value";
    }
    void answeredOrRefusedAtOnce() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFETCH(QString, says);
        const CommandLine c = parseCommandLine(QStringList{"corvane-control"} + arguments);
        QVERIFY(c.exitNow);
        QCOMPARE(c.ok, ok);
        QVERIFY2(c.message.contains(says), qPrintable(c.message));
    }

    void programsAnswerWithoutADisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << "corvane-control" << QStringList{"--help"} << 0 << "--port";
        QTest::newRow("version") << "corvane-control" << QStringList{"--version"} << 0 << "1.";
        QTest::newRow("bad option") << "corvane-control" << QStringList{"-x"} << 2 << "--help";
        QTest::newRow("bad firmware")
            << "corvane-control" << QStringList{"--simulate", "--sim-firmware", "abc"} << 2
            << "--firmware";
        QTest::newRow("sim help") << "corvane-sim" << QStringList{"--help"} << 0 << "--no-pacing";
        QTest::newRow("sim bad") << "corvane-sim" << QStringList{"--bogus"} << 2 << "--help";
    }
    void programsAnswerWithoutADisplay() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        const Run r = runWithoutDisplay(program, arguments);
        QTEST(r.exitCode, "exitCode");
        QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("display")), qPrintable(r.err));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
