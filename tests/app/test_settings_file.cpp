// The settings file without the window: keys, port values, labels, the written
// form and the all-or-nothing write of regular files only.
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
    // Keys match exactly, the last wins; a label keeps its blanks, UTF-8 or 8-bit.
    void keysAndLabels() {
        const WindowSettings s = parseWindowSettings(
            "com port= 4\n Com Port= 5\nMAIN TOP= 3\nComPort=6\nPin 7 label=x\n"
            "Com Port= 3\nCom Port= 42\nPin 7 Label=A\nPin 7 Label= spaced = text \r\n");
        QCOMPARE(s.comPort, std::optional<int>(3)); // 42 is no port and is ignored
        QVERIFY(!s.top && !s.pin14Label);
        QCOMPARE(*s.pin7Label, QStringLiteral(" spaced = text "));
        // The sharing options are read back, the Alpaca row's among them.
        QStringList kept = {"Share Alpaca",     "Share Alpaca Address", "Share Alpaca Port",
                            "Site Elevation",   "Synced JNow",          "Alpaca Telescope ID",
                            "Alpaca Focuser ID"};
        QByteArray lines;
        for (const QString& key : kept)
            lines += key.toLatin1() + "=1\r\n";
        kept.sort();
        QCOMPARE(parseWindowSettings(lines).options.keys(), kept);
        QCOMPARE(*parseWindowSettings("Pin 7 Label=Tau \xc2\xb0\n").pin7Label +
                     *parseWindowSettings("Pin 7 Label=Tau \xb0\n").pin7Label,
                 QStringLiteral("Tau \u00B0Tau \u00B0"));
    }

    // Halves to even, trailing text, 16.5 still 16; then none at all.
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

    // Seven lines in signed number form, then the port devices; a label's line break
    // adds no key; a device is never an address, nor a network binding anything else.
    void writtenForm() {
        const QMap<int, QString> devices{{1, QStringLiteral("by-id:usb-FTDI_A1-if00")},
                                         {3, QStringLiteral("usb:0403:6001:B2")},
                                         {4, QStringLiteral("tcp://[::1]:4001")}};
        const QByteArray text = windowSettingsText(3, 1200, -120, QStringLiteral("Dew heater"),
                                                   QStringLiteral("Camera"), devices);
        QCOMPARE(text,
                 QByteArray("[Main]\r\n\r\nCom Port= 3\r\nMain Top= 1200\r\nMain Left=-120\r\n"
                            "Pin 7 Label=Dew heater\r\nPin 14 Label=Camera\r\n"
                            "Port 1 Device=by-id:usb-FTDI_A1-if00\r\n"
                            "Port 3 Device=usb:0403:6001:B2\r\n"
                            "Port 4 Network=tcp://[::1]:4001\r\n"));
        QCOMPARE(parseWindowSettings(text).portDevices, devices);
        const WindowSettings back = parseWindowSettings(
            windowSettingsText(3, 0, 0, QStringLiteral("Heater\r\nCom Port= 9"), QString()));
        QCOMPARE(QString::number(*back.comPort) + *back.pin7Label,
                 QStringLiteral("3Heater  Com Port= 9"));
        QVERIFY(parseWindowSettings("Port 17 Device=x\nPort x Device=y\nPort 2 Device=\n"
                                    "Port 5 Device=tcp://h:1\nPort 6 Network=/dev/ttyS0\n"
                                    "Port 7 Network=tcp://h:0\n")
                    .portDevices.isEmpty());
    }

    // Replaced whole, nothing left behind, or not at all; only a regular file is read
    // or replaced (a FIFO would block start-up), a link to one followed.
    void onlyRegularFilesAreReadOrReplaced() {
        QTemporaryDir dir;
        const auto path = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
        QVERIFY(writeWindowSettings(path("real.ini"), "first\r\n"));
        QVERIFY(writeWindowSettings(path("real.ini"), "Com Port= 2\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList("real.ini"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.ini")));
        QVERIFY(!writeWindowSettings(path("taken.ini"), "x"));
        QVERIFY(QFileInfo(path("taken.ini")).isDir());
        QVERIFY(!writeWindowSettings(path("no/such/dir.ini"), "x"));

        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.ini")).constData(), 0600) == 0);
        QString why;
        QVERIFY(!readWindowSettings(path("fifo.ini"), &why).comPort);
        QVERIFY(why.contains(QStringLiteral("not a regular file")));
        QVERIFY(!writeWindowSettings(path("fifo.ini"), "x", &why));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), path("device.ini")));
        QVERIFY(!writeWindowSettings(path("device.ini"), "x"));
        QVERIFY(QFileInfo(path("device.ini")).isSymLink());
        QVERIFY(QFile::link(path("gone"), path("dangling.ini")));
        QVERIFY(!writeWindowSettings(path("dangling.ini"), "x"));
        QVERIFY(QFile::link(path("real.ini"), path("link.ini")));
        QCOMPARE(readWindowSettings(path("link.ini")).comPort, std::optional<int>(2));
        QVERIFY(writeWindowSettings(path("link.ini"), "Com Port= 5\r\n"));
        QCOMPARE(readWindowSettings(path("real.ini")).comPort, std::optional<int>(5));
        QVERIFY(QFileInfo(path("link.ini")).isSymLink());
    }

    void twips() {
        QCOMPARE(pixelsToTwips(160, 96), 2400.0);
        QCOMPARE(QVector<int>({twipsToPixels(2400, 96), twipsToPixels(1200, 120),
                               twipsToPixels(1200, 0), // no DPI reported: 96 assumed
                               twipsToPixels(std::numeric_limits<double>::infinity(), 96)}),
                 QVector<int>({160, 100, 80, 0}));
        QVERIFY(twipsToPixels(1e300, 96) > 0 && twipsToPixels(-1e300, 96) < 0);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
