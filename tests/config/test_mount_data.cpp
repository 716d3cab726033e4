// Initialisation-file rules and the mount data files built on them: what a
// file reads as, what writing a key keeps, and the paths that are refused.
#include "config/IniFile.h"
#include "config/MountDataFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace corvane;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QStringList kValues = {"1.67X", "8X",  "16X", "27X", "SideReal", "Right", "Original", "144",
                             "",      "180", "138", "272", "Neg",      "32",    "Pos"};

} // namespace

class TestMountData : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray f = "top=1\r\n[Main]\r\nKey=main\r\n [mountPARAM] \r\n"
                             "  gearratio  =  Quenta  \r\n;WormWheel=9\r\nWormWheel=180\r\n"
                             "WormWheel=7\r\nEmpty=\r\n[Other]\r\nKey=other\r\n";
        QTest::newRow("letter case, blanks") << f << "MountParam"
                                             << "GearRatio"
                                             << "Quenta";
        QTest::newRow("first of repeated keys, not a comment") << f << "mountparam"
                                                               << "WORMWHEEL"
                                                               << "180";
        QTest::newRow("key of another section") << f << "Main"
                                                << "Key"
                                                << "main";
        QTest::newRow("missing key") << f << "Other"
                                     << "GearRatio"
                                     << "";
        QTest::newRow("missing section") << f << "Nowhere"
                                         << "Key"
                                         << "";
        QTest::newRow("line before any section") << f << ""
                                                 << "top"
                                                 << "";
        QTest::newRow("empty value") << f << "MountParam"
                                     << "Empty"
                                     << "";
        QTest::newRow("bare LF lines") << QByteArray("[A]\nx = 1\ny=2\n") << "a"
                                       << "Y"
                                       << "2";
        QTest::newRow("no line end at the end") << QByteArray("[A]\r\nx=1") << "A"
                                                << "x"
                                                << "1";
        QTest::newRow("254 characters at most")
            << QByteArray("[A]\r\nx=" + QByteArray(300, 'v') + "\r\n") << "A"
            << "x" << QString(254, 'v');
        QTest::newRow("Latin-1 line") << QByteArray("[A]\r\nx=K\xf6ln\r\n") << "A"
                                      << "x" << QString::fromUtf8("K\u00f6ln");
    }
    void reading() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(IniFile::fromBytes(file).value(section, key), value);
    }

    void writing_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray f = "; mine\r\n[Main]\r\nCom Port= 3\r\n\r\n[MountParam]\r\n"
                             "GEARRATIO = 132\r\nOdd line\r\n\r\n[Tail]\r\nx=K\xf6ln\r\n";
        QTest::newRow("in place, key keeps its spelling")
            << f << "mountparam"
            << "GearRatio"
            << "144" << QByteArray(f).replace("GEARRATIO = 132", "GEARRATIO =144");
        QTest::newRow("new key at the end of its section")
            << f << "MountParam"
            << "WormWheel"
            << "180" << QByteArray(f).replace("Odd line\r\n", "Odd line\r\nWormWheel=180\r\n");
        QTest::newRow("new section at the end") << f << "New"
                                                << "k"
                                                << "v" << f + "[New]\r\nk=v\r\n";
        QTest::newRow("new file") << QByteArray() << "MountParam"
                                  << "WormRatioD"
                                  << "" << QByteArray("[MountParam]\r\nWormRatioD=\r\n");
        QTest::newRow("LF lines come back with CR LF") << QByteArray("[A]\nx=1\n") << "A"
                                                       << "x"
                                                       << "2" << QByteArray("[A]\r\nx=2\r\n");
        QTest::newRow("a line break cannot start a key")
            << QByteArray("[A]\r\n") << "A"
            << "x"
            << "1\r\n[B]\ny=2" << QByteArray("[A]\r\nx=1  [B] y=2\r\n");
    }
    void writing() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        IniFile ini = IniFile::fromBytes(before);
        ini.setValue(section, key, value);
        QCOMPARE(ini.toBytes(), after);
    }

    // Random texts made of the file format's own characters: a key written
    // always reads back, and writing it again changes nothing more.
    void randomFiles() {
        QRandomGenerator rng(7);
        const char alphabet[] = "[]=;\r\n\n  aAmM\xc3\xb6MountParamGearRatio";
        for (int round = 0; round < 3000; ++round) {
            QByteArray text;
            const int length = rng.bounded(120);
            for (int i = 0; i < length; ++i)
                text += alphabet[rng.bounded(int(sizeof alphabet) - 1)];
            IniFile ini = IniFile::fromBytes(text);
            const QString value = QString(rng.bounded(300), QLatin1Char('v')) + " x";
            ini.setValue(QStringLiteral("MountParam"), QStringLiteral("GearRatio"), value);
            const QByteArray once = ini.toBytes();
            const IniFile reread = IniFile::fromBytes(once);
            QCOMPARE(reread.value(QStringLiteral("mountparam"), QStringLiteral("gearratio")),
                     value.trimmed().left(IniFile::kMaxValueLength));
            IniFile again = reread;
            again.setValue(QStringLiteral("MountParam"), QStringLiteral("GearRatio"), value);
            QCOMPARE(again.toBytes(), once);
        }
    }

    void roundTripKeepsOtherSections() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("scope.mdf"));
        putFile(path, "[Notes]\r\nSite=Backyard\r\n[MountParam]\r\nGearRatio=Quenta\r\n");
        QString error;
        QVERIFY2(writeMountData(path, kValues, &error), qPrintable(error));
        const QByteArray bytes = fileBytes(path);
        // The key that was there keeps its place; the others follow it.
        QVERIFY(bytes.startsWith("[Notes]\r\nSite=Backyard\r\n[MountParam]\r\nGearRatio=144\r\n"
                                 "GuideRate=1.67X\r\n"));
        QVERIFY(bytes.contains("\r\nRotation=Original\r\nWormRatioD=\r\nWormRatioR=180\r\n"));
        QCOMPARE(bytes.count("GearRatio"), 1);
        QCOMPARE(readMountData(path, &error), std::optional<QStringList>(kValues));
    }

    void newFileHasTheKeysInOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.mdf"));
        QVERIFY(writeMountData(path, kValues, nullptr));
        QCOMPARE(fileBytes(path),
                 QByteArray("[MountParam]\r\nGuideRate=1.67X\r\nPaddle8x=8X\r\nPaddle16x=16X\r\n"
                            "GotoSpeed=27X\r\nTrackSpeed=SideReal\r\nOrientation=Right\r\n"
                            "Rotation=Original\r\nGearRatio=144\r\nWormRatioD=\r\n"
                            "WormRatioR=180\r\nWormWheel=138\r\nBacklashD=272\r\n"
                            "FinishDirD=Neg\r\nBacklashR=32\r\nFinishDirR=Pos\r\n"));
    }

    void refusedPaths() {
        QTemporaryDir dir;
        QStringList paths = {dir.filePath(QStringLiteral("missing/x.mdf")), dir.path()};
#ifdef Q_OS_UNIX
        const QString fifo = dir.filePath(QStringLiteral("fifo.mdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        paths << fifo;
#endif
        for (const QString& path : paths) {
            QString error;
            QVERIFY(!writeMountData(path, kValues, &error));
            QVERIFY2(error.contains(path), qPrintable(error));
            error.clear();
            QVERIFY(!readMountData(path, &error));
            QVERIFY2(error.contains(path), qPrintable(error));
        }
        QVERIFY(!QFile::exists(paths.first()));
        QVERIFY(!writeMountData(dir.filePath(QStringLiteral("short.mdf")), {"2X"}, nullptr));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("short.mdf"))));
    }
};

QTEST_GUILESS_MAIN(TestMountData)
#include "test_mount_data.moc"
