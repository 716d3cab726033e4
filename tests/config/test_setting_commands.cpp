// The configuration commands on the wire, the texts that are refused, and
// the replay of every setting before the store.
#include "config/SaveAll.h"
#include "config/SettingLists.h"

#include <QtTest>

using namespace corvane;

namespace {

// What picking or saving `text` in the control sends: the command, "" for
// nothing, "refused" when the page must say "Invalid Entry". The custom gear
// dialog sends what the gear list sends for a ratio it accepts.
QString sentBy(const QString& control, const QString& text) {
    if (control == QLatin1String("custom gear dialog"))
        return acceptsCustomGear(text) ? sentBy(QStringLiteral("cbGearRatio"), text)
                                       : QStringLiteral("refused");
    for (SettingList l : allSettingLists())
        if (settingListInfo(l).name == control) {
            const ListPick pick = listCommand(l, text);
            return pick.refused ? QStringLiteral("refused") : pick.command;
        }
    for (NumberSetting n : allNumberSettings())
        if (numberSettingInfo(n).box == control)
            return numberCommand(n, text).value_or(QStringLiteral("refused"));
    return QStringLiteral("no such control");
}

} // namespace

class TestSettingCommands : public QObject {
    Q_OBJECT
private slots:
    // Each row: a control, texts and what each sends, "|" between them.
    void wire_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sent");
        const char* rows[][3] = {
            {"cbGuideRate", "1.33X|1.67X|2X", "#>G|#<-G|#<G"},
            {"cbEightX", "4X|8X|16X|20X|27X|40X",
             "#0:Ss0#|#1:Ss0#|#2:Ss0#|#3:Ss0#|#4:Ss0#|#5:Ss0#"},
            {"cbSixteenX", "4X|8X|16X|20X|27X|40X",
             "#0:Ss1#|#1:Ss1#|#2:Ss1#|#3:Ss1#|#4:Ss1#|#5:Ss1#"},
            {"cbGotoSpd", "4X|8X|16X|20X|27X|40X||12X|27x",
             "#0:Ss2#|#1:Ss2#|#2:Ss2#|#3:Ss2#|#4:Ss2#|#5:Ss2#|||"},
            {"cbTrackSpd", "Disabled|SideReal|Solar|Lunar", "#-1T#|#0T#|#1T#|#2T#"},
            {"cbOrient", "Left|Right| Left", "#<X|#>X|"},
            {"cbRotation", "Original|Reverse", "#<x|#>x"},
            {"cbDecFin", "Pos|None|Neg", "#1M|#0M|#-1M"},
            {"cbRAfin", "Pos|None|Neg", "#1m|#0m|#-1m"},
            {"cbGearRatio", "Original|Quenta|MT-1|144| 0144 |65535|",
             "#132g|#100g|#120g|#144g|#144g|#65535g|refused"},
            {"cbGearRatio", "0|144abc|65536|-5|quenta", "refused|refused|refused|refused|refused"},
            {"custom gear dialog", "1|499| 144 ||0|500|144abc|144.5",
             "#1g|#499g|#144g|refused|refused|refused|refused|refused"},
            {"DecBLtxt", "250|  0250\t||   |-1|+5|2.5|1 80|180w|- 1|-32768|-32769|--1",
             "#250B|#250B|refused|refused|#-1B|refused|refused|refused|refused|refused|#-32768B|"
             "refused|refused"},
            {"RABLtxt", "0", "#0b"},
            {"DECWormRatiotxt", "80", "#80d"},
            {"WormRatiotxt", "705|65536|99999999999999999999|\u0663",
             "#705W|refused|refused|refused"},
            {"WormWheeltxt", "65535", "#65535w"},
        };
        for (const auto& r : rows) {
            const QStringList texts = QString::fromUtf8(r[1]).split(QLatin1Char('|'));
            const QStringList sent = QString::fromLatin1(r[2]).split(QLatin1Char('|'));
            QCOMPARE(texts.size(), sent.size());
            for (int i = 0; i < texts.size(); ++i)
                QTest::addRow("%s \"%s\"", r[0], qPrintable(texts.at(i)))
                    << r[0] << texts.at(i) << sent.at(i);
        }
    }
    void wire() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QTEST(sentBy(control, text), "sent");
    }

    void replaySendsEverySettingInOrder() {
        const ReplayPlan plan =
            planSaveAll([](SettingList l) { return settingListInfo(l).entries.last(); },
                        [](NumberSetting n) { return QString::number(100 + static_cast<int>(n)); });
        QCOMPARE(plan.commands,
                 QStringList({"#<G", "#5:Ss0#", "#5:Ss1#", "#5:Ss2#", "#2T#", "#>X", "#>x", "#120g",
                              "#102d", "#103W", "#104w", "#100B", "#-1M", "#101b", "#-1m"}));
        QVERIFY(!plan.refused());
        QVERIFY(plan.sentSteps.at(1).isList && plan.sentSteps.at(1).list == SettingList::EightX);
    }

    // As after loading a file: a text that is no entry, a custom gear,
    // empty boxes and lists.
    void replaySkipsWhatCannotBeSent() {
        const QMap<SettingList, QString> lists = {{SettingList::EightX, "12X"},
                                                  {SettingList::GearRatio, "144"},
                                                  {SettingList::Orientation, "Left"}};
        const ReplayPlan plan = planSaveAll(
            [&](SettingList l) { return lists.value(l); },
            [](NumberSetting n) { return n == NumberSetting::WormWheel ? "180" : " "; });
        QVERIFY(!plan.refused());
        QCOMPARE(plan.commands, QStringList({"#<X", "#144g", "#180w"}));
    }

    void replayRefusesBeforeSendingAnything() {
        // The gear ratio's, worm wheel's and RA backlash's texts, the setting named.
        for (const char* row : {"Quenta|18O|5|Worm Wheel", "Quenta|- 3|x|Worm Wheel",
                                "Quenta||1e3|RA Backlash", "1:144|x|5|Gear Ratio"}) {
            const QStringList t = QString(row).split(QLatin1Char('|'));
            const QMap<NumberSetting, QString> boxes = {{NumberSetting::WormWheel, t[1]},
                                                        {NumberSetting::RaBacklash, t[2]}};
            const ReplayPlan plan = planSaveAll(
                [&](SettingList l) {
                    return l == SettingList::GearRatio ? t[0] : settingListInfo(l).entries.first();
                },
                [&](NumberSetting n) { return boxes.value(n, QStringLiteral("7")); });
            QVERIFY2(plan.refused() && plan.commands.isEmpty() && plan.sentSteps.isEmpty(), row);
            QCOMPARE(plan.refusal(), "Invalid Entry: " + t[3]);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingCommands)
#include "test_setting_commands.moc"
