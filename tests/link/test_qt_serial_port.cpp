// The real serial port, against a pseudo-terminal standing in for the board.
#include "motion/MountPosition.h"

#include "common/Clock.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"

#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <poll.h>
#include <pty.h>
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

// The far end of the line (the master side of a pseudo-terminal), and the
// program's port and channel on its slave side.
struct Line {
    int master = -1;
    // Held open until the port has opened the slave too, so the line does
    // not hang up in between.
    int slaveKeeper = -1;
    QString slavePath;
    std::unique_ptr<QtSerialPort> port;
    SystemClock clock;
    Channel channel{clock};

    Line() {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slaveKeeper, name, &raw, nullptr) == 0)
            slavePath = QString::fromLocal8Bit(name);
        port = std::make_unique<QtSerialPort>(bound(slavePath));
        channel.setPort(port.get());
    }
    ~Line() {
        channel.setPort(nullptr);
        port.reset();
        for (int fd : {master, slaveKeeper})
            if (fd >= 0)
                ::close(fd);
    }
    // Reads the far end for `ms`; each piece with the time it came.
    std::vector<std::pair<qint64, QByteArray>> pieces(int ms) const {
        std::vector<std::pair<qint64, QByteArray>> out;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            pollfd p{master, POLLIN, 0};
            char buf[256];
            if (::poll(&p, 1, 5) > 0 && (p.revents & POLLIN)) {
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0)
                    out.emplace_back(timer.elapsed(), QByteArray(buf, int(n)));
            }
        }
        return out;
    }
    // Reads the far end while the event loop turns (the port writes from it).
    QByteArray readFor(int ms) const {
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QCoreApplication::processEvents();
            for (const auto& piece : pieces(5))
                out += piece.second;
        }
        return out;
    }
    void write(const QByteArray& bytes) {
        QVERIFY(::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }
};

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    // Every byte value goes out unchanged and in order, and a pause between
    // two commands really separates them on the wire.
    void bytesGoOutUnchangedAndPausesSeparateThem() {
        Line line;
        QVERIFY(!line.slavePath.isEmpty());
        QString error;
        QVERIFY2(line.port->open(&error), qPrintable(error));
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all.append(static_cast<char>(c));
        line.port->write("#:GR##:GD#");
        line.port->write(all);
        QCOMPARE(line.readFor(300), QByteArray("#:GR##:GD#") + all);

        std::vector<std::pair<qint64, QByteArray>> chunks;
        std::thread reader([&] { chunks = line.pieces(500); });
        line.channel.run(Sequence().send("#:Q#").pause(100).send("#:Mgn500#"));
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
        Line line;
        QVERIFY(line.port->open(nullptr));
        QSignalSpy spy(&line.channel, &Channel::received);
        line.write("stale reply#");
        QTRY_COMPARE_WITH_TIMEOUT(line.port->waitingCount(), 12, 1000);
        line.channel.request(positionQuery());
        QCOMPARE(line.port->waitingCount(), 0);
        QCOMPARE(line.readFor(50), QByteArray("#:GR##:GD#"));
        line.write("12:34.5#");
        QTRY_COMPARE_WITH_TIMEOUT(line.port->waitingCount(), 8, 1000);
        line.write("+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 2000);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("12:34.5#+45*30#"));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    void closingTheFarEndIsReportedAsLost() {
        Line line;
        QVERIFY(line.port->open(nullptr));
        ::close(line.slaveKeeper);
        line.slaveKeeper = -1;
        QSignalSpy spy(line.port.get(), &SerialPort::commEvent);
        ::close(line.master);
        line.master = -1;
        // The loss shows on the next read attempt or by itself from the event loop.
        for (int i = 0; i < 100 && spy.isEmpty(); ++i) {
            line.port->waitingCount();
            QTest::qWait(10);
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), int(SerialPort::Lost));
        QVERIFY(!line.port->isOpen());
    }

    void lateDirectoryIsBuiltOnceWhenFirstNeeded() {
        Line line;
        int built = 0;
        PortDirectory::Identities given;
        QtSerialPort port([&](const PortDirectory::Identities& remembered) {
            ++built;
            given = remembered;
            return bound(line.slavePath);
        });
        port.rememberDevices({{3, QStringLiteral("usb:0403:6001:A1")}});
        QCOMPARE(built, 0);
        QVERIFY(port.open(nullptr));
        QCOMPARE(port.deviceName(1), line.slavePath);
        port.close();
        QVERIFY(port.open(nullptr));
        QCOMPARE(built, 1);
        QCOMPARE(given.value(3), QStringLiteral("usb:0403:6001:A1"));
    }

    // A bound device that is not there, and a number with no device at all.
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
