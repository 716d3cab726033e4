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

QStringList numbered(const PortDirectory& dir) {
    QStringList out;
    for (int n = 1; n <= 5; ++n)
        out << dir.device(n);
    return out;
}

} // namespace

class TestPortDirectory : public QObject {
    Q_OBJECT
private slots:
    void firstRunNumbersDevicesInNameOrder() {
        const PortDirectory dir =
            PortDirectory::fromDevices({kFocuser, kBuiltIn, kMount}, {}, false);
        QCOMPARE(numbered(dir),
                 QStringList({"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1", "", ""}));
        QCOMPARE(dir.describe(2), QStringLiteral("/dev/ttyUSB0 (by-id:usb-FTDI_mount-if00)"));
        QCOMPARE(dir.describe(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(PortDirectory::fromDevices({}, {}, true).device(7), QStringLiteral("COM7"));
    }

    // The numbers remembered from the last run hold whatever is plugged in:
    // the same devices; a GPS whose name sorts first takes a free number, not
    // the mount's; the focuser away, its number waits for it; re-plugged the
    // other way round, the system names them the other way.
    void rememberedNumbersStayWithTheirAdapters() {
        const PortDirectory::Identities remembered{{1, kMount.identity}, {2, kFocuser.identity}};
        QStringList got;
        for (const Devices& now :
             {Devices{kMount, kFocuser}, Devices{kGps, kMount, kFocuser}, Devices{kMount, kGps},
              Devices{{"/dev/ttyUSB1", kMount.identity}, {"/dev/ttyUSB0", kFocuser.identity}}}) {
            const PortDirectory dir = PortDirectory::fromDevices(now, remembered, false);
            got << numbered(dir).join(',');
            // What is remembered next keeps the absent ones too.
            const PortDirectory::Identities next = dir.identitiesToRemember();
            QCOMPARE(next.value(1), kMount.identity);
            QCOMPARE(next.value(2), kFocuser.identity);
        }
        QCOMPARE(
            got,
            QStringList({"/dev/ttyUSB0,/dev/ttyUSB1,,,", "/dev/ttyUSB0,/dev/ttyUSB1,/dev/ttyACM0,,",
                         "/dev/ttyUSB0,,/dev/ttyACM0,,", "/dev/ttyUSB1,/dev/ttyUSB0,,,"}));
    }

    void keptNumbersAreGivenAwayOnlyWhenNoneIsFree() {
        PortDirectory::Identities remembered;
        for (int n = 1; n <= 16; ++n)
            remembered.insert(n, QStringLiteral("gone %1").arg(n));
        const PortDirectory dir = PortDirectory::fromDevices({kGps}, remembered, false);
        QCOMPARE(dir.device(1), kGps.location);
        QCOMPARE(dir.identitiesToRemember().value(1), kGps.identity);
    }

    void commandLineBindingWinsAndIsNotRemembered() {
        PortDirectory dir = PortDirectory::fromDevices({kBuiltIn}, {}, false);
        QVERIFY(dir.bindFromOption(QStringLiteral("1=/dev/pts/5"), nullptr));
        QCOMPARE(dir.device(1), QStringLiteral("/dev/pts/5"));
        QVERIFY(dir.bindFromOption(QStringLiteral("16=/dev/ttyACM0"), nullptr));
        QCOMPARE(dir.device(16), QStringLiteral("/dev/ttyACM0"));
        QVERIFY(dir.identitiesToRemember().isEmpty());
    }

    // The user's network bindings keep their numbers from run to run, before
    // any adapter; the command line's are for the run only and make no
    // number forget what it had; removing a binding frees its number.
    void networkBindingsHoldTheirNumbers() {
        const QString bridge = QStringLiteral("tcp://10.0.0.4:4001");
        PortDirectory dir = PortDirectory::fromDevices({kFocuser, kMount},
                                                       {{1, kMount.identity}, {2, bridge}}, false);
        QVERIFY(dir.bindFromOption(QStringLiteral("4=TCP://[::1]:4001"), nullptr));
        QString why;
        QVERIFY(dir.bindNetwork(5, QStringLiteral("ser2net:3333"), &why));
        QVERIFY(!dir.bindNetwork(6, QStringLiteral("tcp://ser2net"), &why));
        QVERIFY(!dir.bindNetwork(17, QStringLiteral("tcp://ser2net:1"), &why));
        QCOMPARE(numbered(dir), QStringList({kMount.location, bridge, kFocuser.location,
                                             "tcp://[::1]:4001", "tcp://ser2net:3333"}));
        const PortDirectory::Identities remembered{
            {1, kMount.identity}, {2, bridge}, {3, kFocuser.identity}, {5, "tcp://ser2net:3333"}};
        QCOMPARE(dir.identitiesToRemember(), remembered);
        QVERIFY(dir.bindFromOption(QStringLiteral("1=/dev/pts/8"), nullptr));
        QVERIFY(dir.bindFromOption(QStringLiteral("2=/dev/pts/9"), nullptr));
        QCOMPARE(dir.identitiesToRemember(), remembered);
        QVERIFY(dir.bindNetwork(2, QString(), &why));
        QVERIFY(dir.bindNetwork(3, QString(), &why)); // a device stays
        QVERIFY(dir.bindNetwork(5, QString(), &why));
        QCOMPARE(numbered(dir), QStringList({"/dev/pts/8", "/dev/pts/9", kFocuser.location,
                                             "tcp://[::1]:4001", ""}));
        QCOMPARE(dir.identitiesToRemember(),
                 PortDirectory::Identities({{1, kMount.identity}, {3, kFocuser.identity}}));
    }

    // Adapters re-plugged under other paths take their numbers along; an
    // absent one's number opens nothing (the path it had may be another
    // adapter's now); a remembered adapter plugged in late gets its number;
    // an adapter never seen gets none; bindings stay as they were.
    void rescanFollowsAdaptersOnly() {
        PortDirectory dir = PortDirectory::fromDevices(
            {kMount, kFocuser}, {{1, kMount.identity}, {2, kFocuser.identity}, {3, kGps.identity}},
            false);
        QVERIFY(dir.bindFromOption(QStringLiteral("4=/dev/pts/5"), nullptr));
        QVERIFY(dir.bindNetwork(5, QStringLiteral("tcp://bridge:23"), nullptr));
        dir.rescan({{"/dev/ttyUSB0", "by-id:usb-new-adapter"},
                    {"/dev/ttyUSB1", kMount.identity},
                    {"/dev/ttyACM1", kGps.identity}});
        QCOMPARE(numbered(dir), QStringList({"/dev/ttyUSB1", "", "/dev/ttyACM1", "/dev/pts/5",
                                             "tcp://bridge:23"}));
        QStringList identities;
        for (int n = 1; n <= 6; ++n)
            identities << dir.identity(n);
        QCOMPARE(identities, QStringList({kMount.identity, kFocuser.identity, kGps.identity,
                                          "/dev/pts/5", "tcp://bridge:23", ""}));
        QVERIFY(dir.describe(2).contains(kFocuser.identity));
        dir.rescan({kFocuser, kMount});
        QCOMPARE(numbered(dir).mid(0, 3), QStringList({kMount.location, kFocuser.location, ""}));
    }

    void badBindingsAreRefused() {
        for (const char* option : {"1", "0=/dev/x", "17=/dev/x", "a=/dev/x", "2=", "3=tcp://x",
                                   "4=tcp://x:0", "5=tcp://:23"}) {
            PortDirectory dir = PortDirectory::fromDevices({}, {}, false);
            QString error;
            QVERIFY2(!dir.bindFromOption(QLatin1String(option), &error), option);
            QVERIFY(error.startsWith(QStringLiteral("--port")));
            for (int n = 1; n <= 16; ++n)
                QCOMPARE(dir.device(n), QString());
        }
    }
};

QTEST_APPLESS_MAIN(TestPortDirectory)
#include "test_port_directory.moc"
