// The real serial port, against a pseudo-terminal standing in for the board.
#include "common/Clock.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"

#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace corvane;

namespace {

// The far end of the line: the master side of a pseudo-terminal.
struct PtyPair {
    int master = -1;
    QString slavePath;

    PtyPair() {
        int slave = -1;
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, name, &raw, nullptr) == 0) {
            slavePath = QString::fromLocal8Bit(name);
            // Keep the slave open until the port has opened it too, so the
            // line does not hang up in between.
            slaveKeeper = slave;
        }
    }
    ~PtyPair() {
        closeMaster();
        if (slaveKeeper >= 0)
            ::close(slaveKeeper);
    }
    void closeMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void dropKeeper() {
        if (slaveKeeper >= 0)
            ::close(slaveKeeper);
        slaveKeeper = -1;
    }
    // Reads the far end while the event loop turns (the port writes from it).
    QByteArray readFor(int ms) {
        QByteArray out;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 5) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0)
                    out.append(buf, static_cast<int>(n));
            }
        }
        return out;
    }
    void write(const QByteArray& bytes) {
        QVERIFY(::write(master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
                bytes.size());
    }

    int slaveKeeper = -1;
};

PortDirectory bound(const QString& path) {
    PortDirectory dir = PortDirectory::fromDevices({}, {}, false);
    dir.bind(1, path);
    return dir;
}

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void bytesArriveUnchangedAndInOrder() {
        PtyPair pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QtSerialPort port(bound(pty.slavePath));
        QString error;
        QVERIFY2(port.open(&error), qPrintable(error));
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all.append(static_cast<char>(c));
        port.write("#:GR##:GD#");
        port.write(all);
        const QByteArray got = pty.readFor(300);
        QCOMPARE(got, QByteArray("#:GR##:GD#") + all);
    }

    void pauseSeparatesTwoCommandsOnTheWire() {
        PtyPair pty;
        QtSerialPort port(bound(pty.slavePath));
        QVERIFY(port.open(nullptr));
        std::vector<std::pair<qint64, QByteArray>> chunks;
        QElapsedTimer timer;
        timer.start();
        std::thread reader([&] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
            while (std::chrono::steady_clock::now() < until) {
                pollfd p{pty.master, POLLIN, 0};
                if (::poll(&p, 1, 5) > 0 && (p.revents & POLLIN)) {
                    char buf[64];
                    const ssize_t n = ::read(pty.master, buf, sizeof buf);
                    if (n > 0)
                        chunks.emplace_back(timer.elapsed(), QByteArray(buf, int(n)));
                }
            }
        });
        SystemClock clock;
        Channel channel(clock);
        channel.setPort(&port);
        channel.run(Sequence().send("#:Q#").pause(100).send("#:Mgn500#"));
        QTest::qWait(500);
        reader.join();
        QVERIFY(chunks.size() >= 2);
        QCOMPARE(chunks.front().second, QByteArray("#:Q#"));
        QByteArray rest;
        for (size_t i = 1; i < chunks.size(); ++i)
            rest += chunks[i].second;
        QCOMPARE(rest, QByteArray("#:Mgn500#"));
        QVERIFY2(chunks[1].first - chunks.front().first >= 90,
                 qPrintable(QString::number(chunks[1].first - chunks.front().first)));
    }

    // What waits from before is flushed by the query; the reply is counted
    // as it comes and delivered once, whole.
    void replyIsCollectedWholeAndInputCountedAsItArrives() {
        PtyPair pty;
        QtSerialPort port(bound(pty.slavePath));
        QVERIFY(port.open(nullptr));
        SystemClock clock;
        Channel channel(clock);
        channel.setPort(&port);
        QSignalSpy spy(&channel, &Channel::received);
        pty.write("stale reply#");
        QTRY_COMPARE_WITH_TIMEOUT(port.waitingCount(), 12, 1000);
        channel.getPos();
        QCOMPARE(port.waitingCount(), 0);
        QCOMPARE(pty.readFor(50), QByteArray("#:GR##:GD#"));
        pty.write("12:34.5#");
        QTRY_COMPARE_WITH_TIMEOUT(port.waitingCount(), 8, 1000);
        pty.write("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 2000);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    void closingTheFarEndIsReportedAsLost() {
        PtyPair pty;
        QtSerialPort port(bound(pty.slavePath));
        QVERIFY(port.open(nullptr));
        pty.dropKeeper();
        QSignalSpy spy(&port, &SerialPort::commEvent);
        pty.closeMaster();
        // The loss shows on the next read attempt or by itself from the event loop.
        for (int i = 0; i < 100 && spy.isEmpty(); ++i) {
            port.waitingCount();
            QTest::qWait(10);
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), int(SerialPort::Lost));
        QVERIFY(!port.isOpen());
    }

    void lateDirectoryIsBuiltOnceWhenFirstNeeded() {
        PtyPair pty;
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
        QCOMPARE(port.deviceName(1), pty.slavePath);
        port.close();
        QVERIFY(port.open(nullptr));
        QCOMPARE(built, 1);
        QCOMPARE(given.value(3), QStringLiteral("usb:0403:6001:A1"));
    }

    void missingDeviceGivesThePlatformDescription() {
        QtSerialPort port(bound(QStringLiteral("/dev/does-not-exist-corvane")));
        QString error;
        QVERIFY(!port.open(&error));
        QVERIFY(!error.isEmpty());
        port.setPortNumber(2);
        QVERIFY(!port.open(&error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qt_serial_port.moc"
