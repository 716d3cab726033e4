// A real client: Debian's INDI LX200 drivers (package indi-bin) under
// indiserver, against "corvane-control --simulate --share PORT --connect".
// Skipped where indiserver is not installed. The drivers' properties are set
// and read with indi_setprop and indi_getprop; a driver stuck waiting for an
// answer that never comes stops answering those too, so every read that
// fails counts as a time-out, as does any error the drivers log.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

quint16 freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

struct Program : QProcess {
    ~Program() override {
        terminate();
        if (!waitForFinished(3000))
            kill();
        waitForFinished(1000);
    }
};

// indiserver and its drivers, their configuration in a home of their own.
class Indi {
public:
    Indi(const QTemporaryDir& dir, const QStringList& drivers) : m_logs(dir.filePath("logs")) {
        QDir().mkpath(m_logs);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        m_server.setProcessEnvironment(env);
        m_server.start(QStringLiteral("indiserver"),
                       QStringList{"-p", QString::number(m_port), "-u", dir.filePath("socket"),
                                   "-l", m_logs, "-r", "0"} +
                           drivers);
    }

    // indi_getprop and indi_setprop are given the server's address: a fresh
    // system may not resolve "localhost", their default host.
    // "LX200 Basic.CONNECTION._STATE" and the like; empty when it did not come.
    QString get(const QString& name) const {
        QProcess p;
        p.start(QStringLiteral("indi_getprop"),
                {"-h", "127.0.0.1", "-p", QString::number(m_port), "-t", "2", "-1", name});
        p.waitForFinished(5000);
        const QString value = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
        if (value.isEmpty())
            m_failures << name;
        return value;
    }
    double number(const QString& name) const { return get(name).toDouble(); }
    bool set(const QString& assignment) const {
        QProcess p;
        p.start(QStringLiteral("indi_setprop"),
                {"-h", "127.0.0.1", "-p", QString::number(m_port), assignment});
        return p.waitForFinished(5000) && p.exitCode() == 0;
    }
    // Reads that did not come, and the errors and time-outs the drivers logged.
    QStringList problems() const {
        QStringList out = m_failures;
        const QRegularExpression bad(QStringLiteral("error|timeout|timed out|fail"),
                                     QRegularExpression::CaseInsensitiveOption);
        for (const QFileInfo& log : QDir(m_logs).entryInfoList(QDir::Files)) {
            QFile file(log.filePath());
            file.open(QIODevice::ReadOnly);
            for (const QString& line : QString::fromLocal8Bit(file.readAll()).split('\n'))
                // The drivers' own check of their optics settings, not the link.
                if (bad.match(line).hasMatch() && !line.contains(QLatin1String("Aperture")))
                    out << line;
        }
        return out;
    }

private:
    quint16 m_port = freePort();
    QString m_logs;
    Program m_server;
    mutable QStringList m_failures;
};

bool waitUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(200);
    }
    return true;
}

} // namespace

class TestShareIndi : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    quint16 m_share = freePort();
    Program m_program;
    std::unique_ptr<Indi> m_indi;
    QTcpSocket m_probe; // what the board says, through the shared mount

    // RA in hours and DEC in degrees, as the board reports them.
    QPair<double, double> boardPosition() {
        m_probe.readAll();
        m_probe.write(":GR#:GD#");
        waitUntil([this] { return m_probe.bytesAvailable() >= 15; }, 3000);
        const QString r = QString::fromLatin1(m_probe.read(15));
        const double dec = r.mid(9, 2).toInt() + r.mid(12, 2).toInt() / 60.0;
        return {r.left(2).toInt() + r.mid(3, 4).toDouble() / 60.0,
                r.at(8) == QLatin1Char('-') ? -dec : dec};
    }
    QPair<double, double> position(const QString& device) {
        return {m_indi->number(device + ".EQUATORIAL_EOD_COORD.RA"),
                m_indi->number(device + ".EQUATORIAL_EOD_COORD.DEC")};
    }
    // The same within the board's tenth of a minute and arc minute.
    static bool near(QPair<double, double> a, QPair<double, double> b) {
        return qAbs(a.first - b.first) < 0.002 && qAbs(a.second - b.second) < 0.02;
    }
    bool coordinates(const QString& device, const char* mode, double ra, double dec) {
        return m_indi->set(device + ".ON_COORD_SET." + mode + "=On") &&
               m_indi->set(QStringLiteral("%1.EQUATORIAL_EOD_COORD.RA;DEC=%2;%3")
                               .arg(device)
                               .arg(ra)
                               .arg(dec));
    }
    bool connectDriver(const QString& device) {
        return m_indi->set(device + ".CONNECTION.CONNECT=On") &&
               waitUntil([&] { return m_indi->get(device + ".CONNECTION._STATE") == "Ok"; }, 10000);
    }

    // Connects, reads the position, syncs, slews and arrives, aborts a slew.
    void connectSyncGotoAbort(const QString& device, double ra, double dec) {
        QVERIFY(m_indi->set(device + ".CONNECTION_MODE.CONNECTION_TCP=On"));
        QVERIFY(waitUntil(
            [&] {
                return m_indi->set(QStringLiteral("%1.DEVICE_ADDRESS.ADDRESS;"
                                                  "PORT=127.0.0.1;%2")
                                       .arg(device)
                                       .arg(m_share));
            },
            5000));
        QVERIFY(connectDriver(device));
        QVERIFY(waitUntil([&] { return near(position(device), boardPosition()); }, 5000));

        QVERIFY(coordinates(device, "SYNC", ra, dec));
        QVERIFY(waitUntil([&] { return near(boardPosition(), {ra, dec}); }, 5000));
        QVERIFY(waitUntil([&] { return near(position(device), {ra, dec}); }, 5000));

        const QString state = device + ".EQUATORIAL_EOD_COORD._STATE";
        QVERIFY(coordinates(device, "TRACK", ra + 0.2, dec + 8));
        QVERIFY(waitUntil(
            [&] {
                return m_indi->get(state) == "Ok" && near(boardPosition(), {ra + 0.2, dec + 8});
            },
            20000));
        QVERIFY(near(position(device), {ra + 0.2, dec + 8}));

        QVERIFY(coordinates(device, "TRACK", ra, dec - 40));
        QTest::qWait(1000);
        QVERIFY(m_indi->set(device + ".TELESCOPE_ABORT_MOTION.ABORT=On"));
        QTest::qWait(500);
        const auto stopped = boardPosition();
        QTest::qWait(1500);
        QCOMPARE(boardPosition(), stopped);
        QVERIFY(stopped.second > dec - 39);
        QVERIFY(m_indi->get(state) != "Busy");
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("indiserver")).isEmpty())
            QSKIP("indiserver is not installed (Debian package indi-bin)");
        m_program.setWorkingDirectory(m_dir.path());
        m_program.start(qEnvironmentVariable("CORVANE_BIN_DIR") + "/corvane-control",
                        {"--simulate", "--share", QString::number(m_share), "--connect",
                         "-platform", "offscreen"});
        QVERIFY(waitUntil(
            [this] {
                m_probe.connectToHost(QStringLiteral("127.0.0.1"), m_share);
                return m_probe.waitForConnected(500);
            },
            10000));
        m_indi = std::make_unique<Indi>(m_dir, QStringList{"indi_lx200basic", "indi_lx200classic"});
        // The drivers log what they send and receive, for a failure to show.
        for (const char* device : {"LX200 Basic", "LX200 Classic"}) {
            QVERIFY(waitUntil(
                [&] { return m_indi->set(device + QStringLiteral(".DEBUG.ENABLE=On")); }, 5000));
            for (const char* level : {"DEBUG_LEVEL.DBG_EXTRA_1", "LOGGING_LEVEL.LOG_EXTRA_1"})
                QVERIFY(waitUntil(
                    [&] { return m_indi->set(QStringLiteral("%1.%2=On").arg(device, level)); },
                    5000));
        }
    }

    void lx200Basic() { connectSyncGotoAbort(QStringLiteral("LX200 Basic"), 3.0, 70.0); }

    // Classic also moves the mount by hand, guides and connects again.
    void lx200Classic() {
        const QString device = QStringLiteral("LX200 Classic");
        connectSyncGotoAbort(device, 4.0, 60.0);
        if (QTest::currentTestFailed())
            return;
        const auto moved = [&](const char* motion, const char* direction, int index) {
            const auto before = boardPosition();
            m_indi->set(device + ".TELESCOPE_MOTION_" + motion + ".MOTION_" + direction + "=On");
            QTest::qWait(1000);
            m_indi->set(device + ".TELESCOPE_MOTION_" + motion + ".MOTION_" + direction + "=Off");
            QTest::qWait(500);
            const auto after = boardPosition();
            QTest::qWait(1000);
            const bool still = boardPosition() == after;
            return still ? (index == 0 ? after.first - before.first : after.second - before.second)
                         : 0.0;
        };
        QVERIFY(moved("NS", "NORTH", 1) > 0.5);
        QVERIFY(moved("NS", "SOUTH", 1) < -0.5);
        QVERIFY(qAbs(moved("WE", "WEST", 0)) > 0.02);
        QVERIFY(qAbs(moved("WE", "EAST", 0)) > 0.02);

        const double before = boardPosition().second;
        QVERIFY(m_indi->set(device + ".TELESCOPE_TIMED_GUIDE_NS.TIMED_GUIDE_N=500"));
        QVERIFY(waitUntil([&] { return boardPosition().second > before + 0.05; }, 5000));
        QVERIFY(m_indi->get(device + ".TELESCOPE_TIMED_GUIDE_NS._STATE") != "Alert");

        QVERIFY(m_indi->set(device + ".CONNECTION.DISCONNECT=On"));
        QVERIFY(
            waitUntil([&] { return m_indi->get(device + ".CONNECTION.CONNECT") == "Off"; }, 5000));
        QVERIFY(connectDriver(device));
        QVERIFY(waitUntil([&] { return near(position(device), boardPosition()); }, 5000));
    }

    void noErrorsNorTimeOuts() {
        const QStringList problems = m_indi->problems();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestShareIndi)
#include "test_share_indi.moc"
