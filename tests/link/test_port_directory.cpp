// Which device stands behind a port number, and how numbers stay with their
// adapters when devices come and go.
#include "link/PortDirectory.h"

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

    // Rescanned, adapters take their numbers along; an absent one's opens nothing; a
    // remembered one plugged in late gets its own; bindings stay.
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
        QCOMPARE(dir.identity(2) + '|' + dir.identity(6), kFocuser.identity + '|');
        dir.rescan({kFocuser, kMount});
        QCOMPARE(numbered(dir),
                 kMount.location + ',' + kFocuser.location + ",,/dev/pts/5,tcp://bridge:23");
    }
};

QTEST_APPLESS_MAIN(TestPortDirectory)
#include "test_port_directory.moc"
