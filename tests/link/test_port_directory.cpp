// Which device stands behind a port number, and how numbers stay with their
// adapters when devices come and go.
#include "link/PortDirectory.h"
#include "link/SerialDeviceList.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace corvane;

namespace {

using Devices = QVector<SerialDevice>;
const SerialDevice kMount{"/dev/ttyUSB0", "by-id:usb-FTDI_mount-if00"};
const SerialDevice kFocuser{"/dev/ttyUSB1", "by-id:usb-Prolific_focuser"};
const SerialDevice kGps{"/dev/ttyACM0", "usb:1546:01a7:GPS7"};
const SerialDevice kBuiltIn{"/dev/ttyS0", "/dev/ttyS0"};

// The devices of ports 1 to 5, "," between them.
QString numbered(const PortDirectory& dir) {
    QStringList out;
    for (int n = 1; n <= 5; ++n)
        out << dir.device(n);
    return out.join(',');
}

} // namespace

class TestPortDirectory : public QObject {
    Q_OBJECT
private slots:
    // The first run numbers devices in name order; then remembered numbers hold
    // whatever is plugged in (an absent adapter's waits, unless none is free).
    void numbersStayWithTheirAdapters() {
        const PortDirectory first =
            PortDirectory::fromDevices({kFocuser, kBuiltIn, kMount}, {}, false);
        QCOMPARE(numbered(first), "/dev/ttyS0,/dev/ttyUSB0,/dev/ttyUSB1,,");
        QCOMPARE(first.describe(2) + '|' + first.describe(1),
                 "/dev/ttyUSB0 (by-id:usb-FTDI_mount-if00)|/dev/ttyS0");
        QCOMPARE(PortDirectory::fromDevices({}, {}, true).device(7), QStringLiteral("COM7"));
        const PortDirectory::Identities remembered{{1, kMount.identity}, {2, kFocuser.identity}};
        QStringList got;
        for (const Devices& now :
             {Devices{kGps, kMount, kFocuser}, Devices{kMount, kGps},
              Devices{{"/dev/ttyUSB1", kMount.identity}, {"/dev/ttyUSB0", kFocuser.identity}}}) {
            const PortDirectory dir = PortDirectory::fromDevices(now, remembered, false);
            got << numbered(dir);
            QCOMPARE(dir.identitiesToRemember().value(2), kFocuser.identity);
        }
        QCOMPARE(got,
                 QStringList({"/dev/ttyUSB0,/dev/ttyUSB1,/dev/ttyACM0,,",
                              "/dev/ttyUSB0,,/dev/ttyACM0,,", "/dev/ttyUSB1,/dev/ttyUSB0,,,"}));
        PortDirectory::Identities allGone;
        for (int n = 1; n <= 16; ++n)
            allGone.insert(n, QStringLiteral("gone %1").arg(n));
        QCOMPARE(PortDirectory::fromDevices({kGps}, allGone, false).device(1), kGps.location);
    }

    // Network bindings keep their numbers from run to run, before any adapter; the
    // command line's are for the run only; removing a binding frees its number.
    void bindingsHoldTheirNumbers() {
        const QString bridge = QStringLiteral("tcp://10.0.0.4:4001");
        PortDirectory dir = PortDirectory::fromDevices({kFocuser, kMount},
                                                       {{1, kMount.identity}, {2, bridge}}, false);
        QVERIFY(dir.bindFromOption(QStringLiteral("4=TCP://[::1]:4001"), nullptr));
        QString why;
        QVERIFY(dir.bindNetwork(5, QStringLiteral("ser2net:3333"), &why));
        QVERIFY(!dir.bindNetwork(6, QStringLiteral("tcp://ser2net"), &why));
        QVERIFY(!dir.bindNetwork(17, QStringLiteral("tcp://ser2net:1"), &why));
        QCOMPARE(numbered(dir), kMount.location + ',' + bridge + ',' + kFocuser.location +
                                    ",tcp://[::1]:4001,tcp://ser2net:3333");
        const PortDirectory::Identities remembered{
            {1, kMount.identity}, {2, bridge}, {3, kFocuser.identity}, {5, "tcp://ser2net:3333"}};
        QVERIFY(dir.bindFromOption(QStringLiteral("1=/dev/pts/8"), nullptr));
        QVERIFY(dir.bindFromOption(QStringLiteral("2=/dev/pts/9"), nullptr));
        QCOMPARE(dir.identitiesToRemember(), remembered);
        for (int n : {2, 3, 5}) // a device stays
            QVERIFY(dir.bindNetwork(n, QString(), &why));
        QCOMPARE(numbered(dir),
                 "/dev/pts/8,/dev/pts/9," + kFocuser.location + ",tcp://[::1]:4001,");
        QCOMPARE(dir.identitiesToRemember(),
                 PortDirectory::Identities({{1, kMount.identity}, {3, kFocuser.identity}}));
    }

    // The listing read from a made-up sysfs tree: real lines only, each named by
    // what stays with it (by-id link, USB serial as udev writes it, by-path link).
    void systemListingTakesRealLinesOnly() {
        QTemporaryDir root;
        QDir top(root.path());
        const auto file = [&](const QString& path, const QByteArray& text) {
            top.mkpath(QFileInfo(root.filePath(path)).path());
            QFile f(root.filePath(path));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        const auto link = [&](const QString& target, const QString& path) {
            top.mkpath(QFileInfo(root.filePath(path)).path());
            QVERIFY(QFile::link(root.filePath(target), root.filePath(path)));
        };
        const QString usbDevice = "devices/usb1/1-2";
        file(usbDevice + "/idVendor", "0403\n");
        file(usbDevice + "/idProduct", "6001\n");
        file(usbDevice + "/serial", " A1 b/2\n");
        top.mkpath("devices/serial8250/port0");
        top.mkpath(usbDevice + "/1-2:1.0/ttyUSB0");
        top.mkpath("devices/usb1/1-3/1-3:1.0");
        file("devices/usb1/1-3/idVendor", "1546\n"); // no serial number
        file("devices/usb1/1-3/idProduct", "01a7\n");
        struct Tty {
            const char* name;
            const char* device; // the "device" link's target, or none
            const char* type;   // the UART type attribute, or none
            bool node = true;   // in /dev: a device without a node cannot be opened
        };
        for (const Tty& t :
             {Tty{"tty0", nullptr, nullptr}, Tty{"ttyS0", "devices/serial8250/port0", "4"},
              Tty{"ttyS1", "devices/serial8250/port0", "0"},
              Tty{"ttyUSB0", "devices/usb1/1-2/1-2:1.0/ttyUSB0", nullptr},
              Tty{"ttyACM0", "devices/usb1/1-3/1-3:1.0", nullptr},
              Tty{"ttyACM1", "devices/usb1/1-3/1-3:1.0", nullptr}, Tty{"rfcomm0", nullptr, nullptr},
              Tty{"ttyUSB9", "devices/usb1/1-2", nullptr, false}}) {
            top.mkpath(QStringLiteral("class/tty/") + t.name);
            if (t.device)
                link(t.device, QStringLiteral("class/tty/%1/device").arg(t.name));
            if (t.type)
                file(QStringLiteral("class/tty/%1/type").arg(t.name), t.type);
            if (t.node)
                file(QStringLiteral("dev/") + t.name, "");
        }
        // Without a serial number, by-id names only the model: the USB port names it.
        link("dev/ttyACM0", "dev/serial/by-id/usb-u-blox_GPS-if00");
        link("dev/ttyACM0", "dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0");
        link("dev/ttyACM1", "dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.2");
        DeviceFolders folders{root.filePath("class/tty"), root.filePath("dev"),
                              root.filePath("dev/serial/by-id"),
                              root.filePath("dev/serial/by-path")};
        QStringList got;
        for (const SerialDevice& d : listSerialDevices(folders))
            got << QString(d.location + ' ' + d.identity).remove(root.path());
        got.sort();
        QCOMPARE(got, QStringList({"/dev/rfcomm0 /dev/rfcomm0",
                                   "/dev/ttyACM0 by-path:pci-0000:00:14.0-usb-0:3:1.0",
                                   "/dev/ttyACM1 by-path:pci-0000:00:14.0-usb-0:3:1.2",
                                   "/dev/ttyS0 /dev/ttyS0", "/dev/ttyUSB0 usb:0403:6001:A1_b_2"}));
    }

    // Rescanned, adapters take their numbers along; an absent one's opens nothing; a
    // remembered one plugged in late gets its own, a new one a free one; bindings stay.
    void rescanFollowsAdaptersOnly() {
        PortDirectory dir = PortDirectory::fromDevices(
            {kMount, kFocuser}, {{1, kMount.identity}, {2, kFocuser.identity}, {3, kGps.identity}},
            false);
        QVERIFY(dir.bindFromOption(QStringLiteral("4=/dev/pts/5"), nullptr));
        QVERIFY(dir.bindNetwork(5, QStringLiteral("tcp://bridge:23"), nullptr));
        dir.rescan({{"/dev/ttyUSB0", "by-id:usb-new-adapter"},
                    {"/dev/ttyUSB1", kMount.identity},
                    {"/dev/ttyACM1", kGps.identity}});
        QCOMPARE(numbered(dir), "/dev/ttyUSB1,,/dev/ttyACM1,/dev/pts/5,tcp://bridge:23");
        QCOMPARE(dir.identity(2) + '|' + dir.identity(6),
                 kFocuser.identity + "|by-id:usb-new-adapter");
        dir.rescan({kFocuser, kMount});
        QCOMPARE(numbered(dir),
                 kMount.location + ',' + kFocuser.location + ",,/dev/pts/5,tcp://bridge:23");
    }
};

QTEST_APPLESS_MAIN(TestPortDirectory)
#include "test_port_directory.moc"
