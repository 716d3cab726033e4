// Which device stands behind a port number.
#include "link/PortDirectory.h"

#include <QtTest>

using namespace corvane;

class TestPortDirectory : public QObject {
    Q_OBJECT
private slots:
    void devicesTakeNumbersInNameOrder() {
        const PortDirectory dir =
            PortDirectory::fromDevices({"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyUSB0"}, false);
        QCOMPARE(dir.device(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(dir.device(2), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(dir.device(3), QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(dir.device(4), QString());
    }

    void windowsNamesAreComN() {
        const PortDirectory dir = PortDirectory::fromDevices({}, true);
        QCOMPARE(dir.device(7), QStringLiteral("COM7"));
    }

    void commandLineBindingWins() {
        PortDirectory dir = PortDirectory::fromDevices({"/dev/ttyS0"}, false);
        QVERIFY(dir.bindFromOption(QStringLiteral("1=/dev/pts/5"), nullptr));
        QCOMPARE(dir.device(1), QStringLiteral("/dev/pts/5"));
        QVERIFY(dir.bindFromOption(QStringLiteral("16=/dev/ttyACM0"), nullptr));
        QCOMPARE(dir.device(16), QStringLiteral("/dev/ttyACM0"));
    }

    void badBindingsAreRefused_data() {
        QTest::addColumn<QString>("option");
        QTest::newRow("no equals") << "1";
        QTest::newRow("zero") << "0=/dev/x";
        QTest::newRow("seventeen") << "17=/dev/x";
        QTest::newRow("not a number") << "a=/dev/x";
        QTest::newRow("no device") << "2=";
    }
    void badBindingsAreRefused() {
        QFETCH(QString, option);
        PortDirectory dir = PortDirectory::fromDevices({}, false);
        QString error;
        QVERIFY(!dir.bindFromOption(option, &error));
        QVERIFY(error.contains(QStringLiteral("N=DEVICE")));
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(dir.device(n), QString());
    }
};

QTEST_APPLESS_MAIN(TestPortDirectory)
#include "test_port_directory.moc"
