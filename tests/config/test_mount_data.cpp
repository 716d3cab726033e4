// Initialisation-file rules and the mount data files built on them: what a
// file reads as, what writing a key keeps, and the paths that are refused.
#include "config/IniFile.h"
#include "config/MountDataFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace corvane;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
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
        const auto row = [](const char* tag, const QByteArray& file, const char* section,
                            const char* key, const QString& value) {
            QTest::newRow(tag) << file << QString(section) << QString(key) << value;
        };
        row("letter case, blanks", f, "MountParam", "GearRatio", "Quenta");
        row("first of repeated keys, not a comment", f, "mountparam", "WORMWHEEL", "180");
        row("key of another section", f, "Main", "Key", "main");
        row("missing key", f, "Other", "GearRatio", "");
        row("missing section", f, "Nowhere", "Key", "");
        row("line before any section", f, "", "top", "");
        row("bare LF lines", "[A]\nx = 1\ny=2\n", "a", "Y", "2");
        row("no line end at the end", "[A]\r\nx=1", "A", "x", "1");
        row("254 characters at most", "[A]\r\nx=" + QByteArray(300, 'v') + "\r\n", "A", "x",
            QString(254, 'v'));
        row("Latin-1 line", "[A]\r\nx=K\xf6ln\r\n", "A", "x", QString::fromUtf8("K\u00f6ln"));
    }
    void reading() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTEST(IniFile::fromBytes(file).value(section, key), "value");
    }

    void writing_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray f = "; mine\r\n[Main]\r\nCom Port= 3\r\n\r\n[MountParam]\r\n"
                             "GEARRATIO = 132\r\nOdd line\r\n\r\n[Tail]\r\nx=K\xf6ln\r\n";
        const auto row = [](const char* tag, const QByteArray& before, const char* section,
                            const char* key, const char* value, const QByteArray& after) {
            QTest::newRow(tag) << before << QString(section) << QString(key) << QString(value)
                               << after;
        };
        row("in place, key keeps its spelling", f, "mountparam", "GearRatio", "144",
            QByteArray(f).replace("GEARRATIO = 132", "GEARRATIO =144"));
        row("new key at the end of its section", f, "MountParam", "WormWheel", "180",
            QByteArray(f).replace("Odd line\r\n", "Odd line\r\nWormWheel=180\r\n"));
        row("new section at the end", f, "New", "k", "v", f + "[New]\r\nk=v\r\n");
        row("LF lines come back with CR LF", "[A]\nx=1\n", "A", "x", "2", "[A]\r\nx=2\r\n");
        row("a line break cannot start a key", "[A]\r\n", "A", "x", "1\r\n[B]\ny=2",
            "[A]\r\nx=1  [B] y=2\r\n");
    }
    void writing() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        IniFile ini = IniFile::fromBytes(before);
        ini.setValue(section, key, value);
        QTEST(ini.toBytes(), "after");
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

    // A new file holds the keys in order; in one that was there, the other
    // sections stay and a key that was there keeps its place.
    void writtenFilesReadBack() {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("new.mdf"));
        QVERIFY(writeMountData(fresh, kValues, nullptr));
        QCOMPARE(fileBytes(fresh),
                 QByteArray("[MountParam]\r\nGuideRate=1.67X\r\nPaddle8x=8X\r\nPaddle16x=16X\r\n"
                            "GotoSpeed=27X\r\nTrackSpeed=SideReal\r\nOrientation=Right\r\n"
                            "Rotation=Original\r\nGearRatio=144\r\nWormRatioD=\r\n"
                            "WormRatioR=180\r\nWormWheel=138\r\nBacklashD=272\r\n"
                            "FinishDirD=Neg\r\nBacklashR=32\r\nFinishDirR=Pos\r\n"));
        const QString path = dir.filePath(QStringLiteral("scope.mdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[Notes]\r\nSite=Backyard\r\n[MountParam]\r\nGearRatio=Quenta\r\n");
        old.close();
        QString error;
        QVERIFY2(writeMountData(path, kValues, &error), qPrintable(error));
        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.startsWith("[Notes]\r\nSite=Backyard\r\n[MountParam]\r\nGearRatio=144\r\n"
                                 "GuideRate=1.67X\r\n"));
        QVERIFY(bytes.contains("\r\nRotation=Original\r\nWormRatioD=\r\nWormRatioR=180\r\n"));
        QCOMPARE(bytes.count("GearRatio"), 1);
        QCOMPARE(readMountData(path, &error), std::optional<QStringList>(kValues));
    }

    // A missing folder, a folder and a FIFO (whose first read would block for
    // good) are refused at once, naming the path.
    void refusedPaths() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.mdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QStringList paths = {dir.filePath(QStringLiteral("missing/x.mdf")), dir.path(), fifo};
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
