// The drive settings as codes and files: what the page refuses or leaves unsent,
// a loaded file's replay, both dump decoders and the mount data files. The
// commands themselves reach the simulated board in test_settings_page.
#include "config/IniFile.h"
#include "config/MountDataFile.h"
#include "config/SaveAll.h"
#include "config/SettingsDump.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace corvane;

namespace {

// What a view changes, "control=text" in control order, rate buttons "btn0".."btn2".
QString describe(const SettingsView& v) {
    QStringList out;
    for (SettingList l : allSettingLists())
        if (v[l])
            out << settingListInfo(l).name + QLatin1Char('=') + *v[l];
    for (NumberSetting n : allNumberSettings())
        if (v[n])
            out << numberSettingInfo(n).box + QLatin1Char('=') + *v[n];
    for (int i = 0; i < 3; ++i)
        if (v.rateCaption[i])
            out << QStringLiteral("btn%1=").arg(i) + *v.rateCaption[i];
    return out.join(QLatin1Char(' '));
}

const QString kSixteen = QStringLiteral("50 0F 20 00 F0 10 01 02 08 09 0B F0 00 84 B4 8A ");
const QString kEighteen = QStringLiteral("0F 20 00 F0 10 01 02 08 09 0B F0 00 84 00 B4 00 8A 00 ");

// A dump as the reply box shows it, byte `at` on replaced, cut after `length`.
QString decoded(bool split, int at = 0, const QString& bytes = {}, int length = 18) {
    const QString hex = QString(split ? kEighteen : kSixteen).replace(3 * at, bytes.size(), bytes);
    const QByteArray dump = QByteArray::fromHex(hex.left(3 * length).toLatin1());
    return describe(split ? decodeSplitSettingsDump(dump) : decodeSettingsDump(dump));
}

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

class TestDriveSettings : public QObject {
    Q_OBJECT
private slots:
    // What each text sends, "refused" for "Invalid Entry": a box takes a whole number
    // from -32768 to 65535, a gear ratio one from 1, the custom gear dialog 1 to 499;
    // a list only exactly an entry.
    void whatIsSentOrRefused() {
        const auto number = [](const QString& text) {
            return numberCommand(NumberSetting::DecBacklash, text).value_or("refused");
        };
        const auto gear = [](const QString& text) {
            const ListPick pick = listCommand(SettingList::GearRatio, text);
            return pick.refused ? QStringLiteral("refused") : pick.command;
        };
        QStringList got;
        for (const char* text :
             {"250", "  0250\t", "", "   ", "-1", "+5", "2.5", "1 80", "180w", "- 1", "-32768",
              "-32769", "--1", "65535", "65536", "99999999999999999999", "\u0663"})
            got << number(QString::fromUtf8(text));
        QCOMPARE(got.join('|'), "#250B|#250B|refused|refused|#-1B|refused|refused|refused|refused|"
                                "refused|#-32768B|refused|refused|#65535B|refused|refused|refused");
        got.clear();
        for (const char* text :
             {"Quenta", "144", " 0144 ", "65535", "", "0", "144abc", "65536", "-5", "quenta"})
            got << gear(QLatin1String(text));
        QCOMPARE(got.join('|'), "#100g|#144g|#144g|#65535g|refused|refused|refused|refused|"
                                "refused|refused");
        got.clear();
        for (const char* text : {"1", "499", " 144 ", "", "0", "500", "144abc", "144.5"})
            got << (acceptsCustomGear(QLatin1String(text)) ? "yes" : "no");
        QCOMPARE(got.join('|'), "yes|yes|yes|no|no|no|no|no");
        for (const auto& [list, text] :
             {std::pair{SettingList::GotoSpeed, "12X"}, std::pair{SettingList::EightX, "8x"},
              std::pair{SettingList::Orientation, " Left"}}) {
            const ListPick pick = listCommand(list, QLatin1String(text));
            QVERIFY2(!pick.refused && pick.command.isEmpty(), text);
        }
    }

    // A loaded file's replay skips what is no entry or empty; a box that holds no
    // number, or a gear ratio that is none, refuses it before anything is sent.
    void replayOfALoadedFile() {
        const QMap<SettingList, QString> lists = {{SettingList::EightX, "12X"},
                                                  {SettingList::GearRatio, "144"},
                                                  {SettingList::Orientation, "Left"}};
        const ReplayPlan plan =
            planSaveAll([&](SettingList l) { return listValue(l, lists.value(l)); },
                        [](NumberSetting n) {
                            return numberValue(n == NumberSetting::WormWheel ? "180" : " ");
                        });
        QVERIFY(!plan.refused());
        QCOMPARE(plan.commands, QStringList({"#<X", "#144g", "#180w"}));
        for (const char* row : {"Quenta|18O|5|Worm Wheel", "Quenta|- 3|x|Worm Wheel",
                                "Quenta||1e3|RA Backlash", "1:144|x|5|Gear Ratio"}) {
            const QStringList t = QString(row).split(QLatin1Char('|'));
            const QMap<NumberSetting, QString> boxes = {{NumberSetting::WormWheel, t[1]},
                                                        {NumberSetting::RaBacklash, t[2]}};
            const ReplayPlan refused = planSaveAll(
                [&](SettingList l) {
                    return listValue(
                        l, l == SettingList::GearRatio ? t[0] : settingListInfo(l).entries.first());
                },
                [&](NumberSetting n) { return numberValue(boxes.value(n, QStringLiteral("7"))); });
            QVERIFY2(refused.refused() && refused.commands.isEmpty(), row);
            QCOMPARE(refused.refusal(), "Invalid Entry: " + t[3]);
        }
    }

    // A dump holds codes and numbers; the texts shown are derived from them, and a
    // text reads back as the value it shows, else stays text.
    void valuesAndTheirTexts() {
        const SettingsView v = decodeSplitSettingsDump(
            QByteArray::fromHex(QString(kEighteen).replace(36, 5, "90 01").remove(' ').toLatin1()));
        QVector<int> values;
        for (SettingList l : allSettingLists())
            values << (v.list[int(l)]->isValue() ? v.list[int(l)]->value() : 9999);
        for (NumberSetting n : allNumberSettings())
            values << v.number[int(n)].value_or(9999);
        QCOMPARE(values, QVector<int>({2, 1, 2, 4, 0, 1, 0, 400, -1, 1, 272, 32, 9999, 180, 138}));
        QCOMPARE(*v[SettingList::GearRatio] + ' ' + *v[SettingList::GotoSpeed], "400 27X");
        QCOMPARE(speedMultiple(v.list[int(SettingList::GotoSpeed)]->value()), 27);

        const auto held = [](const SettingValue& v) {
            return v.isValue() ? QString::number(v.value()) : v.isText() ? "text" : "none";
        };
        QStringList got;
        for (const auto& [list, text] :
             {std::pair{SettingList::GearRatio, "144"}, std::pair{SettingList::GearRatio, "0144"},
              std::pair{SettingList::GearRatio, "132"}, std::pair{SettingList::GearRatio, "MT-1"},
              std::pair{SettingList::DecFinish, "Neg"}, std::pair{SettingList::EightX, "12X"},
              std::pair{SettingList::TrackSpeed, ""}}) {
            const SettingValue value = listValue(list, QLatin1String(text));
            QCOMPARE(listText(list, value), QLatin1String(text));
            got << held(value);
        }
        for (const char* text : {"-1", "65535", "0250", "12a", " 7", ""}) {
            const SettingValue value = numberValue(QLatin1String(text));
            QCOMPARE(numberText(value), QLatin1String(text));
            got << held(value);
        }
        QCOMPARE(got.join('|'), "144|text|text|120|-1|text|none|-1|65535|text|text|text|none");
        // A value sends what its text sends: an odd gear ratio read back is refused.
        QCOMPARE(listCommand(SettingList::GearRatio, SettingValue::of(-1)).refused, true);
        QCOMPARE(listCommand(SettingList::TrackSpeed, SettingValue::of(-1)).command, "#-1T#");
        QCOMPARE(*numberCommand(NumberSetting::WormRatio, SettingValue::of(40000)), "#40000W");
    }

    void wholeDumps() {
        const QString lists =
            "cbGuideRate=1.67X cbEightX=8X cbSixteenX=16X cbGotoSpd=27X "
            "cbTrackSpd=SideReal cbOrient=Right cbRotation=Original "
            "cbGearRatio=Original cbDecFin=Neg cbRAfin=Pos DecBLtxt=272 RABLtxt=32 ";
        QCOMPARE(decoded(false),
                 lists + "DECWormRatiotxt=80 WormRatiotxt=180 WormWheeltxt=138 btn0=1.67X");
        QCOMPARE(decoded(true),
                 lists + "WormRatiotxt=180 WormWheeltxt=138 btn0=1.67X btn1=8X btn2=16X");
        QCOMPARE(decoded(false, 16, "FF 00 "), decoded(false));
    }

    // One or two bytes changed: what the view then holds otherwise ("x=" emptied, "x" unset).
    void singleSettings() {
        const std::tuple<bool, int, const char*, const char*> cases[] = {
            {true, 12, "78 00", "cbGearRatio=MT-1"},
            {false, 13, "64", "cbGearRatio=Quenta"},
            {true, 12, "90 01", "cbGearRatio=400"},
            {true, 16, "68 01", "WormWheeltxt=360"},
            {true, 1, "FF FF", "RABLtxt=-1"},
            {true, 1, "00 80", "RABLtxt=-32768"},
            {false, 5, "FF 7F", "DecBLtxt=32767"},
            {false, 14, "FF", "WormRatiotxt=255"}, // one byte is unsigned
            {true, 10, "FF", "cbRotation=Reverse"},
            {true, 10, "0F", "cbOrient=Left cbRotation=Reverse"},
            {true, 7, "06", "cbEightX= btn1="},
            {false, 10, "0D", "cbGotoSpd="},
            {false, 12, "FF", "cbTrackSpd=Disabled"},
            {true, 6, "03", "cbGuideRate=2X btn0=2.0X"},
            {false, 7, "04", "cbGuideRate btn0"}, // unchanged: not set
            {false, 1, "FF", "cbRAfin"}};
        for (const auto& [split, at, bytes, shows] : cases) {
            QStringList changed;
            const QStringList whole = decoded(split).split(' ');
            for (const QString& e : decoded(split, at, QLatin1String(bytes)).split(' '))
                if (!whole.contains(e))
                    changed << e;
            for (const QString& e : whole)
                if (!decoded(split, at, QLatin1String(bytes)).contains(e.section('=', 0, 0) + '='))
                    changed << e.section('=', 0, 0);
            QCOMPARE(changed.join(' '), QLatin1String(shows));
        }
    }

    // Cut short, a dump decodes up to the first number not whole (a backlash's low byte
    // alone is none) and leaves the rest alone.
    void shortReceptions() {
        QCOMPARE(QStringList({decoded(false, 0, {}, 0), decoded(false, 0, {}, 8),
                              decoded(false, 0, {}, 15), decoded(true, 0, {}, 0),
                              decoded(true, 0, {}, 1), decoded(true, 0, {}, 2),
                              decoded(true, 0, {}, 9), decoded(true, 0, {}, 17)}),
                 QStringList({"cbOrient=Left cbRotation=Original",
                              "cbGuideRate=1.67X cbOrient=Left cbRotation=Original btn0=1.67X",
                              "cbGuideRate=1.67X cbOrient=Right cbRotation=Original "
                              "cbGearRatio=Original DECWormRatiotxt=80 WormRatiotxt=180 btn0=1.67X",
                              "", "cbRAfin=Pos", "cbRAfin=Pos",
                              "cbGuideRate=1.67X cbEightX=8X cbSixteenX=16X cbGotoSpd= cbTrackSpd= "
                              "cbOrient=Left cbRotation=Original cbDecFin=Neg cbRAfin=Pos "
                              "DecBLtxt=272 RABLtxt=32 btn0=1.67X btn1=8X btn2=16X",
                              decoded(true).remove(" WormWheeltxt=138")}));
    }

    // Random receptions: every list an entry, "" or (gear) a number, every box a number.
    void randomDumps() {
        QRandomGenerator rng(20240611);
        const QRegularExpression number(QStringLiteral("^-?\\d+$"));
        for (int round = 0; round < 4000; ++round) {
            QByteArray dump;
            for (int i = rng.bounded(24); i > 0; --i)
                dump += static_cast<char>(rng.bounded(4) == 0 ? 0x0F : rng.bounded(256));
            for (const SettingsView& v :
                 {decodeSettingsDump(dump), decodeSplitSettingsDump(dump)}) {
                for (SettingList l : allSettingLists())
                    QVERIFY2(!v[l] || v[l]->isEmpty() ||
                                 settingListInfo(l).entries.contains(*v[l]) ||
                                 (l == SettingList::GearRatio && number.match(*v[l]).hasMatch()),
                             qPrintable(dump.toHex(' ') + " -> " + describe(v)));
                for (NumberSetting n : allNumberSettings())
                    QVERIFY2(!v[n] || number.match(*v[n]).hasMatch(), dump.toHex(' '));
            }
        }
    }

    // Read: case and blanks, the first of repeated keys, a long value cut. Written:
    // in place, new keys and sections at the ends, CR LF lines, no key from a break.
    void readingAndWriting() {
        const QByteArray f = "top=1\r\n[Main]\r\nKey=main\r\n [mountPARAM] \r\n"
                             "  gearratio  =  Quenta  \r\n;WormWheel=9\r\nWormWheel=180\r\n"
                             "WormWheel=7\r\nEmpty=\r\n[Other]\r\nKey=other\r\n";
        QCOMPARE(read(f, "MountParam/GearRatio mountparam/WORMWHEEL Main/Key Other/GearRatio "
                         "Nowhere/Key /top"),
                 "Quenta|180|main|||");
        QCOMPARE(read("[A]\nx = 1\ny=2\n", "a/Y A/x") + '|' + read("[A]\r\nx=1", "A/x"), "2|1|1");
        QCOMPARE(read("[A]\r\nx=" + QByteArray(300, 'v') + "\r\n", "A/x"), QString(254, 'v'));
        QCOMPARE(read("[A]\r\nx=K\xf6ln\r\n", "A/x"), QString::fromUtf8("K\u00f6ln"));

        const QByteArray g = "; mine\r\n[Main]\r\nCom Port= 3\r\n\r\n[MountParam]\r\n"
                             "GEARRATIO = 132\r\nOdd line\r\n\r\n[Tail]\r\nx=K\xf6ln\r\n";
        QCOMPARE(written(g, "mountparam/GearRatio=144"),
                 QByteArray(g).replace("GEARRATIO = 132", "GEARRATIO =144"));
        QCOMPARE(written(g, "MountParam/WormWheel=180"),
                 QByteArray(g).replace("Odd line\r\n", "Odd line\r\nWormWheel=180\r\n"));
        QCOMPARE(written(g, "New/k=v"), g + "[New]\r\nk=v\r\n");
        QCOMPARE(written("[A]\nx=1\n", "A/x=2"), "[A]\r\nx=2\r\n");
        QCOMPARE(written("[A]\r\n", "A/x=1\r\n[B]\ny=2"), "[A]\r\nx=1  [B] y=2\r\n");
    }

    // Random texts of the format's characters: a key written reads back, and stays.
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

    // A new file holds the keys in order; an old one keeps its sections and places.
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
        QVERIFY(fileBytes(path).startsWith("[Notes]\r\nSite=Backyard\r\n[MountParam]\r\n"
                                           "GearRatio=144\r\nGuideRate=1.67X\r\n"));
        QCOMPARE(readMountData(path, &error), std::optional<QStringList>(kValues));
    }

    // A missing folder, a folder, a FIFO, too few values: refused, naming the path. A
    // read-only file is left alone; another keeps its permissions.
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

QTEST_GUILESS_MAIN(TestDriveSettings)
#include "test_drive_settings.moc"
