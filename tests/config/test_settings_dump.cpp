// Both settings dump decoders: what each byte shows, what codes outside the
// tables do, and how a reception cut short leaves the rest of the page.
#include "config/SettingsDump.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace corvane;

namespace {

// Everything a view changes, as "control=text" in control order; rate
// buttons as "btn0".."btn2". Controls the view leaves alone are absent.
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

// The decoders read bytes; the dumps here are written as the reply box shows them.
SettingsView decode(bool split, const QString& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return split ? decodeSplitSettingsDump(bytes) : decodeSettingsDump(bytes);
}

} // namespace

class TestSettingsDump : public QObject {
    Q_OBJECT
private slots:
    void wholeDumps() {
        const QString lists =
            "cbGuideRate=1.67X cbEightX=8X cbSixteenX=16X cbGotoSpd=27X "
            "cbTrackSpd=SideReal cbOrient=Right cbRotation=Original "
            "cbGearRatio=Original cbDecFin=Neg cbRAfin=Pos DecBLtxt=272 RABLtxt=32 ";
        QCOMPARE(describe(decode(false, kSixteen)),
                 lists + "DECWormRatiotxt=80 WormRatiotxt=180 WormWheeltxt=138 btn0=1.67X");
        QCOMPARE(describe(decode(true, kEighteen)),
                 lists + "WormRatiotxt=180 WormWheeltxt=138 btn0=1.67X btn1=8X btn2=16X");
        // Bytes beyond the layout change nothing.
        QCOMPARE(describe(decode(false, kSixteen + "FF 00 ")), describe(decode(false, kSixteen)));
    }

    // One or two bytes changed in a whole dump; `shows` lists the controls that must read so
    // ("x=" is emptied) and, without "=", those the dump must leave as they were.
    void singleSettings_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("shows");
        auto row = [](const char* name, bool split, int at, const char* bytes, const char* shows) {
            QTest::newRow(name) << split << at << bytes << shows;
        };
        row("gear MT-1", true, 12, "78 00", "cbGearRatio=MT-1");
        row("gear Quenta", false, 13, "64", "cbGearRatio=Quenta");
        row("custom gear", true, 12, "90 01", "cbGearRatio=400");
        row("worm wheel", true, 16, "68 01", "WormWheeltxt=360");
        row("backlash -1", true, 1, "FF FF", "RABLtxt=-1");
        row("one-byte number is unsigned", false, 14, "FF", "WormRatiotxt=255");
        row("right, reverse", true, 10, "FF", "cbOrient=Right cbRotation=Reverse");
        row("left, reverse", true, 10, "0F", "cbOrient=Left cbRotation=Reverse");
        row("speed 0x06 empties", true, 7, "06", "cbEightX= btn1=");
        row("speed 0x0D empties", false, 10, "0D", "cbGotoSpd=");
        row("tracking disabled", false, 12, "FF", "cbTrackSpd=Disabled");
        row("guide 2X", true, 6, "03", "cbGuideRate=2X btn0=2.0X");
        row("guide 0x04 unchanged", false, 7, "04", "cbGuideRate btn0");
        row("finish 0xFF unchanged", false, 1, "FF", "cbRAfin");
    }
    void singleSettings() {
        QFETCH(bool, split);
        QFETCH(int, at);
        QFETCH(QString, bytes);
        QFETCH(QString, shows);
        const QString hex =
            QString(split ? kEighteen : kSixteen).replace(3 * at, bytes.size(), bytes);
        const QString got = ' ' + describe(decode(split, hex)) + ' ';
        for (const QString& e : shows.split(QLatin1Char(' '))) {
            const bool set = e.contains(QLatin1Char('='));
            QVERIFY2(got.contains(' ' + e + (set ? ' ' : '=')) == set, qPrintable(e + " in" + got));
        }
    }

    // A reception cut short decodes up to the first number that did not
    // arrive whole and leaves everything after it alone.
    void shortReceptions_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("view");
        const auto row = [](const char* tag, bool split, int bytes, const QString& view) {
            QTest::newRow(tag) << split << bytes << view;
        };
        row("16: nothing", false, 0, "cbOrient=Left cbRotation=Original");
        row("16: half", false, 8, "cbGuideRate=1.67X cbOrient=Left cbRotation=Original btn0=1.67X");
        row("16: no worm wheel", false, 15,
            "cbGuideRate=1.67X cbOrient=Right cbRotation=Original cbGearRatio=Original "
            "DECWormRatiotxt=80 WormRatiotxt=180 btn0=1.67X");
        row("18: nothing", true, 0, "");
        row("18: one byte", true, 1, "cbRAfin=Pos");
        // The backlash's low byte alone is not shown as the backlash.
        row("18: low byte only", true, 2, "cbRAfin=Pos");
        row("18: half", true, 9,
            "cbGuideRate=1.67X cbEightX=8X cbSixteenX=16X cbGotoSpd= cbTrackSpd= cbOrient=Left "
            "cbRotation=Original cbDecFin=Neg cbRAfin=Pos DecBLtxt=272 RABLtxt=32 btn0=1.67X "
            "btn1=8X btn2=16X");
        row("18: no worm wheel", true, 17,
            describe(decode(true, kEighteen)).remove(" WormWheeltxt=138"));
    }
    void shortReceptions() {
        QFETCH(bool, split);
        QFETCH(int, bytes);
        const QString hex = (split ? kEighteen : kSixteen).left(3 * bytes);
        QTEST(describe(decode(split, hex)), "view");
    }

    // Random receptions of any length: every list shows an entry, "" or (the gear ratio) a
    // number, every box a number; nothing crashes.
    void randomDumps() {
        QRandomGenerator rng(20240611);
        const QRegularExpression number(QStringLiteral("^-?\\d+$"));
        for (int round = 0; round < 4000; ++round) {
            QByteArray dump;
            const int length = rng.bounded(24);
            for (int i = 0; i < length; ++i)
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
};

QTEST_GUILESS_MAIN(TestSettingsDump)
#include "test_settings_dump.moc"
