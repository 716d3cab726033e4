// The settings file's text, independent of the window: key matching, port
// values, labels, the written form and the all-or-nothing write.
#include "app/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace corvane;

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void keysMatchExactlyAndTheLastOneWins() {
        const WindowSettings s = parseWindowSettings(
            "com port= 4\n Com Port= 5\nMAIN TOP= 3\nComPort=6\nPin 7 label=x\n"
            "Com Port= 3\nCom Port= 42\nPin 7 Label=A\nPin 7 Label= spaced = text \r\n");
        QCOMPARE(s.comPort, std::optional<int>(3)); // 42 is no port and is ignored
        QVERIFY(!s.top);
        QCOMPARE(*s.pin7Label, QStringLiteral(" spaced = text "));
        QVERIFY(!s.pin14Label);
    }

    // Blank and digits, halves to even, trailing text, 16.5 still 16; then
    // none: 16.6, zero, negative, not a number, huge, endless digits.
    void comPortValues() {
        QVector<int> got;
        for (const QByteArray& value :
             {QByteArray(" 4"), QByteArray(" 2.5"), QByteArray(" 3.5"), QByteArray(" 7 (USB)"),
              QByteArray(" 16.5"), QByteArray(" 16.6"), QByteArray(" 0"), QByteArray("-3"),
              QByteArray(" COM3"), QByteArray(" 99999999999999999999999999999"),
              QByteArray(400, '9')})
            got << parseWindowSettings("Com Port=" + value + "\r\n").comPort.value_or(0);
        QCOMPARE(got, QVector<int>({4, 2, 4, 7, 16, 0, 0, 0, 0, 0, 0}));
    }

    void labelEncodings() {
        // Written as UTF-8; an 8-bit file from elsewhere reads byte for character.
        QCOMPARE(*parseWindowSettings("Pin 7 Label=Tau \xc2\xb0\n").pin7Label,
                 QStringLiteral("Tau \u00B0"));
        QCOMPARE(*parseWindowSettings("Pin 7 Label=Tau \xb0\n").pin7Label,
                 QStringLiteral("Tau \u00B0"));
    }

    void sevenLinesInSignedNumberForm() {
        QCOMPARE(windowSettingsText(3, 1200, -120, QStringLiteral("Dew heater"),
                                    QStringLiteral("Camera")),
                 QByteArray("[Main]\r\n\r\nCom Port= 3\r\nMain Top= 1200\r\nMain Left=-120\r\n"
                            "Pin 7 Label=Dew heater\r\nPin 14 Label=Camera\r\n"));
    }

    void labelLineBreaksCannotAddKeys() {
        const QByteArray text =
            windowSettingsText(3, 0, 0, QStringLiteral("Heater\r\nCom Port= 9"), QString());
        QCOMPARE(text.count("\r\n"), 7);
        const WindowSettings back = parseWindowSettings(text);
        QCOMPARE(back.comPort, std::optional<int>(3));
        QCOMPARE(*back.pin7Label, QStringLiteral("Heater  Com Port= 9"));
    }

    void fileIsReplacedWholeOrNotAtAll() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(settingsFileName());
        QVERIFY(writeWindowSettings(path, "first\r\n"));
        QVERIFY(writeWindowSettings(path, "second\r\n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("second\r\n"));
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(settingsFileName()));
        // A path that cannot be written fails without touching what is there.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.ini")));
        QVERIFY(!writeWindowSettings(dir.filePath(QStringLiteral("taken.ini")), "x"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.ini"))).isDir());
        QVERIFY(!writeWindowSettings(dir.filePath(QStringLiteral("no/such/dir.ini")), "x"));
    }

    void portDevicesRoundTrip() {
        const QMap<int, QString> devices{{1, QStringLiteral("by-id:usb-FTDI_A1-if00")},
                                         {3, QStringLiteral("usb:0403:6001:B2")},
                                         {4, QStringLiteral("tcp://[::1]:4001")}};
        const QByteArray text = windowSettingsText(1, 0, 0, QString(), QString(), devices);
        QVERIFY(text.startsWith(windowSettingsText(1, 0, 0, QString(), QString())));
        QVERIFY(
            text.endsWith("Port 3 Device=usb:0403:6001:B2\r\nPort 4 Network=tcp://[::1]:4001\r\n"));
        QCOMPARE(parseWindowSettings(text).portDevices, devices);
        // A device is never an address, nor a network binding anything else.
        QVERIFY(parseWindowSettings("Port 17 Device=x\nPort x Device=y\nPort 2 Device=\n"
                                    "Port 5 Device=tcp://h:1\nPort 6 Network=/dev/ttyS0\n"
                                    "Port 7 Network=tcp://h:0\n")
                    .portDevices.isEmpty());
    }

    // Only a regular file is read or replaced: a FIFO would block start-up
    // for good, and a link to a device must not turn it into a file.
    void onlyRegularFilesAreReadOrReplaced() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QString why;
        QVERIFY(!readWindowSettings(fifo, &why).comPort);
        QVERIFY(why.contains(QStringLiteral("not a regular file")));
        QVERIFY(!writeWindowSettings(fifo, "x", &why));

        const QString toDevice = dir.filePath(QStringLiteral("device.ini"));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), toDevice));
        QVERIFY(!writeWindowSettings(toDevice, "x"));
        QVERIFY(QFileInfo(toDevice).isSymLink());

        const QString dangling = dir.filePath(QStringLiteral("dangling.ini"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dangling));
        QVERIFY(!writeWindowSettings(dangling, "x"));

        // A link to a regular file is followed: the target is replaced.
        const QString target = dir.filePath(QStringLiteral("real.ini"));
        QVERIFY(writeWindowSettings(target, "Com Port= 2\r\n"));
        const QString link = dir.filePath(QStringLiteral("link.ini"));
        QVERIFY(QFile::link(target, link));
        QCOMPARE(readWindowSettings(link).comPort, std::optional<int>(2));
        QVERIFY(writeWindowSettings(link, "Com Port= 5\r\n"));
        QCOMPARE(readWindowSettings(target).comPort, std::optional<int>(5));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void twips() {
        QCOMPARE(pixelsToTwips(160, 96), 2400.0);
        QCOMPARE(twipsToPixels(2400, 96), 160);
        QCOMPARE(twipsToPixels(1200, 120), 100);
        QCOMPARE(twipsToPixels(1200, 0), 80); // no DPI reported: 96 assumed
        QVERIFY(twipsToPixels(1e300, 96) > 0);
        QVERIFY(twipsToPixels(-1e300, 96) < 0);
        QCOMPARE(twipsToPixels(std::numeric_limits<double>::infinity(), 96), 0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
