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

// The values of the "section/key"s, "|" between them.
QString read(const QByteArray& file, const QString& keys) {
    QStringList out;
    for (const QString& k : keys.split(QLatin1Char(' ')))
        out << IniFile::fromBytes(file).value(k.section('/', 0, 0), k.section('/', 1));
    return out.join(QLatin1Char('|'));
}

// The file after writing "section/key=value".
QByteArray written(const QByteArray& file, const QString& keyValue) {
    IniFile ini = IniFile::fromBytes(file);
    const QString key = keyValue.section('=', 0, 0);
    ini.setValue(key.section('/', 0, 0), key.section('/', 1), keyValue.section('=', 1));
    return ini.toBytes();
}

const QStringList kValues = {"1.67X", "8X",  "16X", "27X", "SideReal", "Right", "Original", "144",
                             "",      "180", "138", "272", "Neg",      "32",    "Pos"};

} // namespace

class TestMountData : public QObject {
    Q_OBJECT
private slots:
    void reading() {
        const QByteArray f = "top=1\r\n[Main]\r\nKey=main\r\n [mountPARAM] \r\n"
                             "  gearratio  =  Quenta  \r\n;WormWheel=9\r\nWormWheel=180\r\n"
                             "WormWheel=7\r\nEmpty=\r\n[Other]\r\nKey=other\r\n";
        // Letter case and blanks; the first of repeated keys, not a comment; another section's
        // key; a missing key, a missing section; a line before any section.
        QCOMPARE(read(f, "MountParam/GearRatio mountparam/WORMWHEEL Main/Key Other/GearRatio "
                         "Nowhere/Key /top"),
                 "Quenta|180|main|||");
        QCOMPARE(read("[A]\nx = 1\ny=2\n", "a/Y A/x"), "2|1");
        QCOMPARE(read("[A]\r\nx=1", "A/x"), "1"); // no line end at the end
        QCOMPARE(read("[A]\r\nx=" + QByteArray(300, 'v') + "\r\n", "A/x"), QString(254, 'v'));
        QCOMPARE(read("[A]\r\nx=K\xf6ln\r\n", "A/x"), QString::fromUtf8("K\u00f6ln"));
    }

    void writing() {
        const QByteArray f = "; mine\r\n[Main]\r\nCom Port= 3\r\n\r\n[MountParam]\r\n"
                             "GEARRATIO = 132\r\nOdd line\r\n\r\n[Tail]\r\nx=K\xf6ln\r\n";
        // In place, the key keeping its spelling; a new key at the end of its section; a new
        // section at the end; LF lines come back with CR LF; a line break cannot start a key.
        QCOMPARE(written(f, "mountparam/GearRatio=144"),
                 QByteArray(f).replace("GEARRATIO = 132", "GEARRATIO =144"));
        QCOMPARE(written(f, "MountParam/WormWheel=180"),
                 QByteArray(f).replace("Odd line\r\n", "Odd line\r\nWormWheel=180\r\n"));
        QCOMPARE(written(f, "New/k=v"), f + "[New]\r\nk=v\r\n");
        QCOMPARE(written("[A]\nx=1\n", "A/x=2"), "[A]\r\nx=2\r\n");
        QCOMPARE(written("[A]\r\n", "A/x=1\r\n[B]\ny=2"), "[A]\r\nx=1  [B] y=2\r\n");
    }

    // Random texts made of the file format's own characters: a key written
    // always reads back, and writing it again changes nothing more.
    void randomFiles() {
        QRandomGenerator rng(7);
        const char alphabet[] = "[]=;\r\n\n  aAmM\xc3\xb6MountParamGearRatio";
        for (int round = 0; round < 3000; ++round) {
            QByteArray text;
            for (int i = rng.bounded(120); i > 0; --i)
                text += alphabet[rng.bounded(int(sizeof alphabet) - 1)];
            const QString value = QString(rng.bounded(300), QLatin1Char('v')) + " x";
            const QByteArray once = written(text, "MountParam/GearRatio=" + value);
            QCOMPARE(read(once, "mountparam/gearratio"),
                     value.trimmed().left(IniFile::kMaxValueLength));
            QCOMPARE(written(once, "MountParam/GearRatio=" + value), once);
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
        QVERIFY(old.open(QIODevice::WriteOnly) &&
                old.write("[Notes]\r\nSite=Backyard\r\n[MountParam]\r\nGearRatio=Quenta\r\n") > 0);
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
            QString error, readError;
            QVERIFY(!writeMountData(path, kValues, &error) && !readMountData(path, &readError));
            QVERIFY2(error.contains(path) && readError.contains(path),
                     qPrintable(error + readError));
        }
        QVERIFY(!QFile::exists(paths.first()));
        QVERIFY(!writeMountData(dir.filePath(QStringLiteral("short.mdf")), {"2X"}, nullptr));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("short.mdf"))));
        // A file the user made read-only is left alone; another keeps its permissions.
        const QString kept = dir.filePath(QStringLiteral("kept.mdf"));
        QVERIFY(writeMountData(kept, kValues, nullptr));
        for (const auto& [mode, written] : {std::pair{0600, true}, std::pair{0444, false}}) {
            QCOMPARE(::chmod(QFile::encodeName(kept).constData(), mode), 0);
            QString error;
            QCOMPARE(writeMountData(kept, kValues, &error), written);
            QVERIFY2(written || error.contains(QLatin1String("read-only")), qPrintable(error));
            struct stat s {};
            QVERIFY(::stat(QFile::encodeName(kept).constData(), &s) == 0 &&
                    int(s.st_mode & 0777) == mode);
        }
    }
};

QTEST_GUILESS_MAIN(TestMountData)
#include "test_mount_data.moc"
