// The program's real port on a pseudo-terminal standing in for a serial device,
// and on TCP to a serial-to-network bridge played by a server in this process.
#include "common/Clock.h"
#include "link/Channel.h"
#include "link/NetworkAddress.h"
#include "link/Ports.h"
#include "link/QtSerialPort.h"
#include "motion/MountPosition.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <cstdio>

#include <atomic>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace corvane;

namespace {

PortDirectory bound(const QString& path) {
    PortDirectory dir = PortDirectory::fromDevices({}, {}, false);
    dir.bind(1, path);
    return dir;
}

// The far end of a line and the program's port on it.
struct Far {
    std::unique_ptr<QtSerialPort> port;
    virtual ~Far() = default;
    virtual void write(const QByteArray& bytes) = 0;
    // What arrives within a moment (up to `count` bytes), the event loop turning.
    virtual QByteArray read(int count) = 0;
    virtual void hangUp() = 0;
};

// A pseudo-terminal's master side; the slave is held open until the port has it.
struct Pty : Far {
    int master = -1;
    int slaveKeeper = -1;
    QString slavePath;

    explicit Pty(bool open = true) {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slaveKeeper, name, &raw, nullptr) == 0)
            slavePath = QString::fromLocal8Bit(name);
        port = std::make_unique<QtSerialPort>(bound(slavePath));
        if (open)
            port->open(nullptr);
    }
    ~Pty() override {
        port.reset();
        hangUp();
    }
    // What arrives until `count` bytes are in (or a generous limit has passed),
    // each piece with the time it came.
    std::vector<std::pair<qint64, QByteArray>> pieces(int count, bool turning = false) const {
        std::vector<std::pair<qint64, QByteArray>> out;
        QElapsedTimer timer;
        timer.start();
        for (int got = 0; got < count && timer.elapsed() < 20000;) {
            if (turning)
                QCoreApplication::processEvents();
            pollfd p{master, POLLIN, 0};
            char buf[256];
            const ssize_t n = ::poll(&p, 1, 5) > 0 ? ::read(master, buf, sizeof buf) : 0;
            if (n > 0) {
                out.emplace_back(timer.elapsed(), QByteArray(buf, int(n)));
                got += int(n);
            }
        }
        return out;
    }
    QByteArray read(int count) override {
        QByteArray out;
        for (const auto& piece : pieces(count, true))
            out += piece.second;
        return out;
    }
    void write(const QByteArray& bytes) override {
        QVERIFY(::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }
    void hangUp() override {
        for (int* fd : {&slaveKeeper, &master})
            if (*fd >= 0)
                ::close(std::exchange(*fd, -1));
    }
};

// A listening server as the bridge, and its side of the connection once open.
struct Bridge : Far {
    QTcpServer server;
    QString address;
    QTcpSocket* far = nullptr;

    Bridge() {
        server.listen(QHostAddress::LocalHost, 0);
        address = networkAddressText(QStringLiteral("127.0.0.1"), server.serverPort());
        port = std::make_unique<QtSerialPort>(bound(address));
    }
    bool open() {
        if (!port->open(nullptr) ||
            (!server.hasPendingConnections() && !server.waitForNewConnection(20000)))
            return false;
        far = server.nextPendingConnection();
        far->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }
    QByteArray read(int count) override {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < count && t.elapsed() < 20000) {
            QCoreApplication::processEvents();
            far->waitForReadyRead(5);
            got += far->readAll();
        }
        return got;
    }
    void write(const QByteArray& bytes) override {
        far->write(bytes);
        far->flush();
    }
    void hangUp() override { far->close(); }
};

// A port that never answers: a listening socket whose queue is full.
struct Unanswered {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::vector<int> queued;
    quint16 port = 0;

    Unanswered() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(fd, 0) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            return;
        port = ntohs(a.sin_port);
        for (int i = 0; i < 4; ++i) {
            queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            [[maybe_unused]] int r =
                ::connect(queued.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
        QTest::qWait(100);
    }
    ~Unanswered() {
        for (int q : queued)
            ::close(q);
        ::close(fd);
    }
};

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    // Over a bridge the test first checks that it is listed without a connection
    // and reads as its address.
    void aLineCarriesEveryByteAndEndsOnce_data() {
        QTest::addColumn<bool>("tcp");
        QTest::newRow("pseudo-terminal") << false;
        QTest::newRow("tcp") << true;
    }
    // All 256 byte values go both ways unchanged; the query flushes what waits, its
    // reply is counted as it comes and delivered once, whole; the far end hanging up
    // closes the port, reported once as Lost.
    void aLineCarriesEveryByteAndEndsOnce() {
        QFETCH(bool, tcp);
        std::unique_ptr<Far> far;
        if (tcp) {
            auto bridge = std::make_unique<Bridge>();
            const ProbeResult probe = probePorts(*bridge->port);
            QVERIFY(probe.usable[1] && !probe.usable[2]);
            QVERIFY(!bridge->server.waitForNewConnection(100));
            QVERIFY(bridge->open());
            QCOMPARE(QStringList({bridge->port->settingsText(), bridge->port->deviceName(1),
                                  bridge->port->lineIdentity()}),
                     QStringList(3, bridge->address));
            far = std::move(bridge);
        } else {
            far = std::make_unique<Pty>();
        }
        QtSerialPort& port = *far->port;
        QVERIFY(port.isOpen());
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all.append(static_cast<char>(c));
        port.write(all.left(100));
        port.write(all.mid(100));
        QCOMPARE(far->read(256), all);
        far->write(all);
        QTRY_COMPARE_WITH_TIMEOUT(port.waitingCount(), 256, 20000);

        SystemClock clock;
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy received(&channel, &Channel::received);
        channel.request(positionQuery());
        QCOMPARE(port.waitingCount(), 0);
        QCOMPARE(far->read(10), QByteArray("#:GR##:GD#"));
        far->write("12:34.5#");
        QTRY_COMPARE_WITH_TIMEOUT(port.waitingCount(), 8, 20000);
        QCOMPARE(received.count(), 0);
        far->write("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));

        QSignalSpy events(&port, &SerialPort::commEvent);
        far->hangUp();
        for (int i = 0; i < 200 && events.isEmpty(); ++i) {
            port.waitingCount(); // the loss shows on a read, or by itself
            QTest::qWait(10);
        }
        QTest::qWait(50);
        QCOMPARE(events.count() * 10 + received.count(), 11);
        QCOMPARE(events.at(0).at(0).toInt(), int(SerialPort::Lost));
        QVERIFY(!port.isOpen());
        channel.setPort(nullptr);
    }

    // A pause between two commands really separates them on the wire.
    void pausesSeparateCommands() {
        Pty pty;
        SystemClock clock;
        Channel channel(clock);
        channel.setPort(pty.port.get());
        std::vector<std::pair<qint64, QByteArray>> chunks;
        std::atomic<bool> read{false};
        std::thread reader([&] {
            chunks = pty.pieces(13);
            read = true;
        });
        channel.run(Sequence().send("#:Q#").pause(100).send("#:Mgn500#"));
        const bool allRead = QTest::qWaitFor([&] { return read.load(); }, 30000);
        reader.join();
        QVERIFY(allRead);
        QVERIFY(chunks.size() >= 2);
        QByteArray rest;
        for (size_t i = 1; i < chunks.size(); ++i)
            rest += chunks[i].second;
        QCOMPARE(chunks.front().second + '|' + rest, QByteArray("#:Q#|#:Mgn500#"));
        QVERIFY2(chunks[1].first - chunks.front().first >= 90,
                 qPrintable(QString::number(chunks[1].first - chunks.front().first)));
        channel.setPort(nullptr);
    }

    // The directory is built once, when first needed, from what is remembered; a
    // missing device gives a reason.
    void directoryAndMissingDevices() {
        Pty pty(false);
        int built = 0;
        PortDirectory::Identities given;
        QtSerialPort port([&](const PortDirectory::Identities& remembered) {
            ++built;
            given = remembered;
            return bound(pty.slavePath);
        });
        port.rememberDevices({{3, QStringLiteral("usb:0403:6001:A1")}});
        QCOMPARE(built, 0);
        QVERIFY(port.open(nullptr));
        port.close();
        QVERIFY(port.open(nullptr));
        QCOMPARE(port.deviceName(1) + ' ' + QString::number(built) + ' ' + given.value(3),
                 pty.slavePath + " 1 usb:0403:6001:A1");
        QtSerialPort missing(bound(QStringLiteral("/dev/does-not-exist-corvane")));
        for (int n : {1, 2}) {
            QString error;
            missing.setPortNumber(n);
            QVERIFY(!missing.open(&error) && !error.isEmpty());
        }
    }

    // A device this user may not open says what to do; one held by another
    // port is only said to be busy. (Root may open anything: the test drops to
    // an unprivileged user in a child process.)
    void permissionSaysWhatToDo() {
        Pty pty(false);
        Pty busy(false);
        busy.port = std::make_unique<QtSerialPort>(bound(pty.slavePath));
        QVERIFY(pty.port->open(nullptr));
        QString error;
        QVERIFY(!busy.port->open(&error));
        QVERIFY2(!error.contains("usermod"), qPrintable(error));
        pty.port->close();
        const uid_t nobody = 65534;
        const passwd* user = ::getpwuid(::geteuid() == 0 ? nobody : ::geteuid());
        QVERIFY(user);
        const QString advice = QStringLiteral(": your user is not in the group allowed to use "
                                              "serial ports: sudo usermod -aG dialout %1, then "
                                              "log in again")
                                   .arg(QString::fromLocal8Bit(user->pw_name));
        if (::geteuid() != 0) {
            QCOMPARE(::chmod(QFile::encodeName(pty.slavePath).constData(), 0), 0);
            QVERIFY(!pty.port->open(&error));
            QVERIFY2(error.endsWith(advice), qPrintable(error));
            return;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            // 2: no user could be dropped to; 3: the device is open to that user here.
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(2);
            if (::access(QFile::encodeName(pty.slavePath).constData(), R_OK | W_OK) == 0 ||
                errno != EACCES)
                ::_exit(3);
            // The name as this user's system gives it (a system that cannot say
            // who the user is gets the placeholder).
            const bool advised = !pty.port->open(&error) &&
                                 error.contains(advice.section(QLatin1Char(' '), 0, 16)) &&
                                 error.endsWith(QStringLiteral(", then log in again"));
            if (!advised)
                std::fprintf(stderr, "open said: %s\n", qPrintable(error));
            ::_exit(advised ? 0 : 1);
        }
        int status = -1;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status));
        if (WEXITSTATUS(status) == 2 || WEXITSTATUS(status) == 3)
            QSKIP("no user without access to the device can be tried here");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // Refused, a name no resolver takes (over 63 characters), no answer in time, no
    // address: false at once, saying why; waiting, timers run and a second open fails.
    void networkFailuresSayWhy() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 closedPort = closed.serverPort();
        closed.close();
        Unanswered silent;
        QVERIFY(silent.port != 0);
        const QString silentAddress = QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port);
        const std::pair<QString, QString> cases[] = {
            {QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort), "Connection refused"},
            {QStringLiteral("tcp://%1.invalid:4001").arg(QString(64, QLatin1Char('x'))),
             "Host not found"},
            {silentAddress,
             QStringLiteral("No answer from 127.0.0.1:%1 within 0.4 s").arg(silent.port)},
            {"tcp://bridge:65536", "Bad network address tcp://bridge:65536: the port must be a "
                                   "number from 1 to 65535"}};
        for (const auto& [address, reason] : cases) {
            QtSerialPort port(bound(address));
            port.setConnectTimeout(400);
            int ticks = 0;
            QString second;
            QTimer timer;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (++ticks == 1)
                    port.open(&second);
            });
            timer.start(20);
            QElapsedTimer took;
            took.start();
            QString error;
            QVERIFY(!port.open(&error));
            QCOMPARE(error, reason);
            QVERIFY2(took.elapsed() < 1000 && !port.isOpen(), qPrintable(address));
            if (address == silentAddress)
                QVERIFY(ticks >= 5 && second == "A connection is being made already.");
        }
        // What the command line and the directory do not try already.
        for (const char* text :
             {"", "tcp://host:+80", "tcp://::1:4001", "tcp://[zz]:1", "tcp://300.1.2.3:1",
              "tcp://a b:1", "tcp://host:80/x", "rfc2217://host:1"}) {
            QString reason;
            QVERIFY2(!parseNetworkAddress(QLatin1String(text), nullptr, nullptr, &reason), text);
            QVERIFY2(!reason.isEmpty() && !reason.contains(QLatin1Char('\n')), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qt_serial_port.moc"
