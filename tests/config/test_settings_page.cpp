// The settings page on the simulated board: what each control sends (as the
// board's traffic log shows it), the readback of both dump layouts, storing,
// the replay of a loaded file, and mount data files end to end.
#include "common/SimWindow.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"
#include "motion/ui/GuidePanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Page : SimWindow<> {
    SettingsPage* page = nullptr;
    explicit Page(const QString& firmware = QStringLiteral("3.60"))
        : SimWindow({QStringLiteral("--firmware"), firmware}) {
        page = window->settings;
        QVERIFY(connect());
        received();
    }
    void pick(const char* list, const QString& text) {
        auto* combo = find<QComboBox>(QLatin1String(list));
        const int index = combo->findText(text);
        if (index >= 0) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        } else {
            combo->setEditText(text);
            page->pickList(SettingList::GearRatio);
        }
        settle();
    }
    // Returns whether the Save button was enabled when pressed.
    bool save(const char* box, const QString& text) {
        find<QLineEdit>(QLatin1String(box))->setText(text);
        const bool enabled = page->saveButton(numberOf(box))->isEnabled();
        page->pressSave(numberOf(box));
        settle();
        return enabled;
    }
    static NumberSetting numberOf(const char* box) {
        for (NumberSetting n : allNumberSettings())
            if (numberSettingInfo(n).box == QLatin1String(box))
                return n;
        return NumberSetting::DecBacklash;
    }
    QString text(const char* name) const {
        if (auto* combo = window->findChild<QComboBox*>(QLatin1String(name)))
            return combo->currentText();
        return find<QLineEdit>(QLatin1String(name))->text();
    }
    int notices() const {
        int n = 0;
        for (const auto& s : prompts.shown)
            n += s.text.startsWith(QStringLiteral("To enable this change you must")) ? 1 : 0;
        return n;
    }
    void readBack() {
        click(QStringLiteral("cmdGetSettings"));
        settle();
    }
};

} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    // Each control sends exactly its command, nothing more.
    void controlsSendTheirCommands_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<int>("notices");
        QTest::newRow("guide rate") << "cbGuideRate"
                                    << "1.67X" << QStringList{"#<-G"} << 0;
        QTest::newRow("16X paddle") << "cbSixteenX"
                                    << "27X" << QStringList{"#4:Ss1#"} << 0;
        QTest::newRow("goto") << "cbGotoSpd"
                              << "40X" << QStringList{"#5:Ss2#"} << 0;
        QTest::newRow("tracking") << "cbTrackSpd"
                                  << "Disabled" << QStringList{"#-1T#"} << 0;
        QTest::newRow("rotation") << "cbRotation"
                                  << "Reverse" << QStringList{"#>x"} << 0;
        QTest::newRow("gear preset") << "cbGearRatio"
                                     << "Quenta" << QStringList{"#100g"} << 1;
        QTest::newRow("typed gear") << "cbGearRatio"
                                    << "144" << QStringList{"#144g"} << 1;
        QTest::newRow("typed gear, no number") << "cbGearRatio"
                                               << "" << QStringList{} << 0;
        QTest::newRow("RA finish") << "cbRAfin"
                                   << "Neg" << QStringList{"#-1m"} << 0;
        QTest::newRow("DEC backlash") << "DecBLtxt"
                                      << "250" << QStringList{"#250B"} << 0;
        QTest::newRow("worm ratio") << "WormRatiotxt"
                                    << "705" << QStringList{"#705W"} << 1;
        QTest::newRow("worm wheel") << "WormWheeltxt"
                                    << "180" << QStringList{"#180w"} << 1;
        QTest::newRow("backlash, no number") << "RABLtxt"
                                             << "12a" << QStringList{} << 0;
        QTest::newRow("backlash, empty") << "RABLtxt"
                                         << "" << QStringList{} << 0;
    }
    void controlsSendTheirCommands() {
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QStringList, sent);
        Page p;
        const QByteArray name = control.toLatin1();
        bool wasEnabled = false;
        if (control.startsWith(QStringLiteral("cb")))
            p.pick(name.constData(), value);
        else
            wasEnabled = p.save(name.constData(), value);
        QCOMPARE(p.received(), sent);
        QTEST(p.notices(), "notices");
        // A refused value says so once and leaves its button as it was; a
        // sent one leaves it disabled.
        const int refusals = p.prompts.shown.size() - p.notices();
        QCOMPARE(refusals, sent.isEmpty() ? 1 : 0);
        if (!control.startsWith(QStringLiteral("cb"))) {
            auto* button =
                p.find<QPushButton>(numberSettingInfo(Page::numberOf(name.constData())).button);
            QCOMPARE(button->isEnabled(), sent.isEmpty() && wasEnabled);
        }
    }

    void aGearRatioTypedAndEnteredIsSent() {
        Page p;
        auto* gear = p.find<QComboBox>("cbGearRatio");
        QTest::keyClicks(gear->lineEdit(), QStringLiteral("144"));
        QTest::keyClick(gear->lineEdit(), Qt::Key_Return);
        p.settle();
        QCOMPARE(p.received(), QStringList{"#144g"});
        QCOMPARE(gear->count(), 3); // typing adds no entry
        gear->lineEdit()->clear();
        QTest::keyClicks(gear->lineEdit(), QStringLiteral("MT-1"));
        QTest::keyClick(gear->lineEdit(), Qt::Key_Return);
        p.settle();
        QCOMPARE(p.received(), QStringList{"#120g"});
    }

    void speedListsAwaitOneCharacterAndKeepTheKind() {
        Page p;
        p.readBack();
        p.pick("cbSixteenX", QStringLiteral("27X"));
        QCOMPARE(p.window->channel().awaitedCount(), 1);
        QCOMPARE(p.window->channel().awaitedKind(), ReplyKind::SettingsDump);
    }

    void readbackFillsThePage_data() {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QStringList>("rates");
        QTest::newRow("18-byte dump") << "3.60" << QStringList{"1.67X", "8X", "16X"};
        QTest::newRow("16-byte dump") << "3.50" << QStringList{"1.67X", "8X", "16X"};
    }
    void readbackFillsThePage() {
        QFETCH(QString, firmware);
        QFETCH(QStringList, rates);
        Page p(firmware);
        p.port->board().working().gearRatio = 120;
        p.port->board().working().raBacklash = -1;
        p.readBack();
        QCOMPARE(p.received().join(' '),
                 firmware == QLatin1String("3.60") ? "#<:VX##>:VX#" : "#:VX#");
        const char* lists[] = {"cbGuideRate", "cbEightX", "cbSixteenX", "cbGotoSpd",
                               "cbTrackSpd",  "cbOrient", "cbRotation", "cbGearRatio",
                               "cbRAfin",     "cbDecFin"};
        QStringList shown;
        for (const char* l : lists)
            shown << p.text(l);
        QCOMPARE(shown, QStringList({"1.67X", "8X", "16X", "27X", "SideReal", "Right", "Original",
                                     "MT-1", "Pos", "Neg"}));
        QCOMPARE(p.text("RABLtxt"), QStringLiteral("-1"));
        QCOMPARE(p.text("DecBLtxt"), QStringLiteral("272"));
        QCOMPARE(p.text("WormRatiotxt"), QStringLiteral("180"));
        QCOMPARE(p.text("WormWheeltxt"), QStringLiteral("138"));
        const bool oldBoard = firmware == QLatin1String("3.50");
        QCOMPARE(p.text("DECWormRatiotxt"), oldBoard ? QStringLiteral("80") : QString());
        QCOMPARE(p.find<QLineEdit>("DECWormRatiotxt")->isVisibleTo(p.page), oldBoard);
        QCOMPARE(p.find<QRadioButton>("Option1_0")->text(), rates[0]);
        // The readback's reception disables the four Save buttons it enabled.
        QVERIFY(!p.find<QPushButton>("cmdWormRatio")->isEnabled());
        QVERIFY(!p.find<QPushButton>("cmdRABL")->isEnabled());
        QCOMPARE(p.find<QPushButton>("cmdDECWormRatio")->isEnabled(), oldBoard);
        // The goto speed read back feeds the slew time estimate.
        QCOMPARE(p.window->settings->gotoSpeedText(), QStringLiteral("27X"));
    }

    void aCustomGearRatioIsListedOnce() {
        Page p;
        p.port->board().working().gearRatio = 400;
        p.readBack();
        p.readBack();
        p.received();
        auto* gear = p.find<QComboBox>("cbGearRatio");
        QCOMPARE(gear->currentText(), QStringLiteral("400"));
        QCOMPARE(gear->count(), 4);
        // The dialog adds a new ratio, and nothing for one already listed.
        for (const char* typed : {"400", "144", "500", "0", "x"}) {
            QTimer::singleShot(0, [&p, typed] {
                CustomGearDialog* dialog = p.page->customGear();
                dialog->Text1->setText(QLatin1String(typed));
                dialog->Command2->click();
            });
            p.click(QStringLiteral("cmdcustomgear"));
        }
        QCOMPARE(gear->count(), 5);
        QCOMPARE(gear->itemText(4), QStringLiteral("144"));
        QVERIFY(p.received().isEmpty());
    }

    void disconnectEmptiesThePageButTheDecWormRatio() {
        Page p(QStringLiteral("3.50"));
        p.readBack();
        p.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(p.text("cbGotoSpd"), QString());
        QCOMPARE(p.text("WormRatiotxt"), QString());
        QCOMPARE(p.text("DECWormRatiotxt"), QStringLiteral("80"));
        QVERIFY(!p.find<QPushButton>("cmdWormRatio")->isEnabled());
    }

    // Read back, change, store; save a file; load it onto another board and
    // replay it there: that board then holds the file's configuration.
    void aSavedConfigurationReachesAnotherBoard() {
        const QString file = QDir(QDir::currentPath()).filePath(QStringLiteral("mount.mdf"));
        QFile::remove(file);
        sim::DriveSettings saved;
        {
            Page first;
            first.readBack();
            first.received();
            first.pick("cbGotoSpd", QStringLiteral("40X"));
            first.save("DecBLtxt", QStringLiteral("250"));
            first.click(QStringLiteral("cmdSaveSettings"));
            first.settle();
            QCOMPARE(first.received(), QStringList({"#5:Ss2#", "#250B", "Y"}));
            QCOMPARE(first.port->board().stored().gotoSpeed, quint8(0x0C));
            first.readBack();
            QCOMPARE(first.text("cbGotoSpd"), QStringLiteral("40X"));
            first.prompts.fileNames.enqueue(file);
            first.trigger(QStringLiteral("mnuSave"));
            QCOMPARE(first.prompts.filters.last(), QStringLiteral("Mount Data file (*.mdf)|*.mdf"));
            saved = first.port->board().stored();
        }
        Page second;
        second.port->board().working().gotoSpeed = 0x07;
        second.port->board().working().decBacklash = 5;
        second.port->board().working().guideRate = 0x03;
        second.prompts.fileNames.enqueue(file);
        second.trigger(QStringLiteral("mnuload"));
        QCOMPARE(second.find<QPushButton>("cmdSaveSettings")->text(),
                 QStringLiteral("Save All Settings"));
        QVERIFY(second.received().isEmpty()); // loading sends nothing
        QCOMPARE(second.text("cbGotoSpd"), QStringLiteral("40X"));
        // A box that holds no number refuses the whole replay, naming it.
        second.find<QLineEdit>("WormRatiotxt")->setText(QStringLiteral("18O"));
        second.click(QStringLiteral("cmdSaveSettings"));
        second.settle();
        QVERIFY(second.received().isEmpty());
        QCOMPARE(second.prompts.shown.last().text, QStringLiteral("Invalid Entry: Worm Ratio"));
        QCOMPARE(second.find<QPushButton>("cmdSaveSettings")->text(),
                 QStringLiteral("Save All Settings"));
        second.find<QLineEdit>("WormRatiotxt")->setText(QStringLiteral("180"));
        const int shownBefore = second.prompts.shown.size();
        second.click(QStringLiteral("cmdSaveSettings"));
        second.settle();
        QCOMPARE(second.received(),
                 QStringList({"#<-G", "#1:Ss0#", "#2:Ss1#", "#5:Ss2#", "#0T#", "#>X", "#<x",
                              "#132g", "#180W", "#138w", "#250B", "#-1M", "#32b", "#1m", "Y"}));
        QCOMPARE(second.prompts.shown.size(), shownBefore + 1); // one notice for all
        QCOMPARE(second.find<QPushButton>("cmdSaveSettings")->text(),
                 QStringLiteral("Save Settings"));
        QVERIFY(!second.window->shared().fileSettingsPending);
        QVERIFY(second.port->board().stored() == saved);
        // A second press only stores.
        second.click(QStringLiteral("cmdSaveSettings"));
        second.settle();
        QCOMPARE(second.received(), QStringList{"Y"});
    }

    void unreadableOrUnwritableFilesSaySoAndChangeNothing() {
        Page p;
        p.readBack();
        p.prompts.fileNames.enqueue(QStringLiteral("/no/such/folder/x.mdf"));
        p.trigger(QStringLiteral("mnuSave"));
        QCOMPARE(p.prompts.shown.size(), 1);
        p.prompts.fileNames.enqueue(QStringLiteral("/no/such/file.mdf"));
        p.trigger(QStringLiteral("mnuload"));
        QCOMPARE(p.prompts.shown.size(), 2);
        QCOMPARE(p.find<QPushButton>("cmdSaveSettings")->text(), QStringLiteral("Save Settings"));
        QCOMPARE(p.text("cbGotoSpd"), QStringLiteral("27X"));
    }
};

QTEST_MAIN(TestSettingsPage)
#include "test_settings_page.moc"
