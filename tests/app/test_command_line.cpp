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
        const CommandLine c = parseCommandLine(
            {"corvane-control", "--simulate", "--sim-firmware", "3.50", "--port", "2=/dev/pts/4",
             "--port", "3=tcp://[::1]:4001", "-platform", "offscreen", "-style", "Fusion"});
        QVERIFY(c.ok);
        QVERIFY(!c.exitNow);
        QVERIFY(c.simulate);
        QCOMPARE(c.simulatorArgs, QStringList({"--firmware", "3.50"}));
        QCOMPARE(c.portBindings, QStringList({"2=/dev/pts/4", "3=tcp://[::1]:4001"}));
    }

    // Help, an unknown option, a stray word, a bad port, a missing value.
    void answeredOrRefusedAtOnce() {
        const std::tuple<QStringList, bool, const char*> cases[] = {
            {{"-h"}, true, "Usage: corvane-control"},
            {{"--bogus"}, false, "Try 'corvane-control --help'"},
            {{"ttyUSB0"}, false, "unexpected argument"},
            {{"--port", "17=/dev/x"}, false, "N=DEVICE"},
            {{"--port", "1=tcp://bridge:0"}, false, "1=tcp://bridge:0: the port must be"},
            {{"--port", "1=tcp://:4001"}, false, "no host"},
            {{"--port", "1=tcp://bridge"}, false, "no port"},
            {{"--port"}, false, "Missing value"}};
        for (const auto& [arguments, ok, says] : cases) {
            const CommandLine c = parseCommandLine(QStringList{"corvane-control"} + arguments);
            QVERIFY(c.exitNow);
            QCOMPARE(c.ok, ok);
            QVERIFY2(c.message.contains(says), qPrintable(c.message));
        }
    }

    void programsAnswerWithoutADisplay() {
        const std::tuple<const char*, QStringList, int, const char*> cases[] = {
            {"corvane-control", {"--help"}, 0, "--port"},
            {"corvane-control", {"--version"}, 0, "1."},
            {"corvane-control", {"-x"}, 2, "--help"},
            {"corvane-control", {"--port", "1=tcp://[::1:4001"}, 2, "closing bracket"},
            {"corvane-control", {"--simulate", "--sim-firmware", "abc"}, 2, "--firmware"},
            {"corvane-sim", {"--help"}, 0, "--no-pacing"},
            {"corvane-sim", {"--bogus"}, 2, "--help"},
            {"corvane-sim", {"--tcp", "65536"}, 2, "--tcp expects"},
            {"corvane-sim", {"--tcp", "0", "--tcp-address", "bridge"}, 2, "IP address"}};
        for (const auto& [program, arguments, exitCode, says] : cases) {
            const Run r = runWithoutDisplay(program, arguments);
            QCOMPARE(r.exitCode, exitCode);
            QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
            QVERIFY2(!r.err.contains(QStringLiteral("display")), qPrintable(r.err));
        }
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
