// The command line is answered before any window system is asked for a
// display: --help and --version work over SSH, a bad option says so.
#include "app/CommandLine.h"
#include "periphery/ui/GuideWindow.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace corvane;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead() {
        const CommandLine c = parseCommandLine(
            {"corvane-control", "--simulate", "--sim-firmware", "3.50", "--port", "2=/dev/pts/4",
             "--port", "3=tcp://[::1]:4001", "-platform", "offscreen", "-style", "Fusion"});
        QVERIFY(c.ok && !c.exitNow && c.simulate);
        QCOMPARE(c.simulatorArgs, QStringList({"--firmware", "3.50"}));
        QCOMPARE(c.portBindings, QStringList({"2=/dev/pts/4", "3=tcp://[::1]:4001"}));
        const CommandLine alpaca = parseCommandLine({"corvane-control", "--alpaca", "11111"});
        QVERIFY(alpaca.ok && alpaca.alpacaPort == 11111 && alpaca.alpacaAddress.isEmpty());
        QCOMPARE(parseCommandLine({"corvane-control", "--alpaca", "0.0.0.0:80"}).alpacaAddress,
                 QStringLiteral("0.0.0.0"));
        // Help, an unknown option, a stray word, bad ports, a missing value.
        const std::tuple<QStringList, bool, const char*> cases[] = {
            {{"-h"}, true, "Usage: corvane-control"},
            {{"--bogus"}, false, "Try 'corvane-control --help'"},
            {{"ttyUSB0"}, false, "unexpected argument"},
            {{"--port", "17=/dev/x"}, false, "N=DEVICE"},
            {{"--port", "1=tcp://bridge:0"}, false, "1=tcp://bridge:0: the port must be"},
            {{"--port", "1=tcp://:4001"}, false, "no host"},
            {{"--port", "1=tcp://bridge"}, false, "no port"},
            {{"--port", "1=tcp://1.2.3:80"}, false, "\"1.2.3\" is not an IPv4 address"},
            {{"--port", "1=tcp://1:80"}, false, "\"1\" is not an IPv4 address"},
            {{"--port", "1=tcp://a..b:80"}, false, "not a host name"},
            {{"--port", "1=udp://h:1"}, false, "only raw TCP addresses"},
            {{"--port", "1=h:80"}, false, "1=h:80: a device is a path"},
            {{"--port"}, false, "Missing value"},
            {{"--alpaca", "locahost:11111"}, false, "--alpaca locahost:11111: \"locahost\""}};
        for (const auto& [arguments, ok, says] : cases) {
            const CommandLine c = parseCommandLine(QStringList{"corvane-control"} + arguments);
            QVERIFY(c.exitNow);
            QCOMPARE(c.ok, ok);
            QVERIFY2(c.message.contains(says), qPrintable(c.message));
        }
    }

    // The programs themselves, with no display and no platform chosen.
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        for (const auto& [program, arguments, exitCode, says] : cases) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("CORVANE_BIN_DIR") + '/' + program, arguments);
            QVERIFY(p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit);
            const QString err = QString::fromLocal8Bit(p.readAllStandardError());
            const QString all = QString::fromLocal8Bit(p.readAllStandardOutput()) + err;
            QCOMPARE(p.exitCode(), exitCode);
            QVERIFY2(all.contains(says) && !err.contains(QStringLiteral("display")),
                     qPrintable(all));
        }
    }

    // Started from any folder, the program finds its catalogues and guide
    // beside itself, in the build tree or installed under a prefix, and
    // never takes a list lying in the current folder.
    void dataFoundFromTheProgramsFolder() {
        const QString build = qEnvironmentVariable("CORVANE_BIN_DIR");
        QTemporaryDir root;
        const QString bin = root.filePath("prefix/bin");
        const QString data = root.filePath("prefix/share/corvane-control/catalogues");
        const QString guide = root.filePath("prefix/share/doc/corvane-control/guide");
        for (const QString& folder : {bin, data, guide, root.filePath("work")})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(build + "/corvane-control", bin + "/corvane-control"));
        for (const QString& name : QDir(build + "/catalogues").entryList(QDir::Files))
            QVERIFY(QFile::copy(build + "/catalogues/" + name, data + '/' + name));
        QVERIFY(QFile::copy(build + "/guide/index.md", guide + "/index.md"));
        QFile decoy(root.filePath("work/catalog.lst"));
        QVERIFY(decoy.open(QIODevice::WriteOnly) && decoy.write("Decoy,1\r\n") > 0);
        decoy.close();
        QCOMPARE(userGuidePage(bin), QFileInfo(guide + "/index.md").canonicalFilePath());
        for (const QString& program : {build + "/corvane-control", bin + "/corvane-control"}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_DATA_HOME", root.filePath("data")); // no user's own list
            QProcess p;
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(root.filePath("work"));
            p.start(program, {"-platform", "offscreen", "--simulate", "--quit-when-shown"});
            QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
            const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
            QVERIFY2(out.contains("catalogues: 5 (Messier, NGC bright 55-3324,"), qPrintable(out));
        }
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
