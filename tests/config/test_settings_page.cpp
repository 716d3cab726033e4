// The settings page on the simulated board, as the board's traffic log shows
// it: what the page adds to the commands, the readback of both dump layouts,
// custom gear ratios, and a configuration stored, saved to a file, loaded
// onto another board and replayed there.
#include "common/SimWindow.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Page : SimWindow<> {
    SettingsPage* page = window->settings;
    explicit Page(const QString& firmware = QStringLiteral("3.60"))
        : SimWindow({QStringLiteral("--firmware"), firmware}) {
        QVERIFY(connect());
        received();
    }
    // An entry is picked from its list; any other text is typed.
    void pick(SettingList l, const QString& text) {
        QComboBox* combo = page->list(l);
        const int index = combo->findText(text);
        if (index >= 0) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        } else {
            combo->setEditText(text);
            page->pickList(l);
        }
        settle();
    }
    void save(NumberSetting n, const QString& text) {
        page->box(n)->setText(text);
        page->pressSave(n);
        settle();
    }
    void press(const char* button) {
        click(QLatin1String(button));
        settle();
    }
    // Every list's and box's text, in list order and then box order.
    QString all() const {
        QStringList texts;
        for (SettingList l : allSettingLists())
            texts << page->list(l)->currentText();
        for (NumberSetting n : allNumberSettings())
            texts << page->box(n)->text();
        return texts.join('|');
    }
    int notices() const {
        int n = 0;
        for (const auto& s : prompts.shown)
            n += s.text.startsWith(QStringLiteral("To enable this change you must")) ? 1 : 0;
        return n;
    }
    QString saveCaption() const { return page->cmdSaveSettings->text(); }
};

} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    // Every command is in the widget-free table; here what the page adds:
    // the power-cycle notice for the gear and worm settings, one refusal for
    // a value that cannot go out, and the Save button's state.
    void controlsSendTheirCommands_data() {
        QTest::addColumn<int>("list"); // -1: a box
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<int>("notices");
        const auto list = [](const char* tag, SettingList l, const char* value,
                             const QStringList& sent, int notices) {
            QTest::newRow(tag) << int(l) << -1 << QString(value) << sent << notices;
        };
        const auto box = [](const char* tag, NumberSetting n, const char* value,
                            const QStringList& sent, int notices) {
            QTest::newRow(tag) << -1 << int(n) << QString(value) << sent << notices;
        };
        list("16X paddle", SettingList::SixteenX, "27X", {"#4:Ss1#"}, 0);
        list("gear preset", SettingList::GearRatio, "Quenta", {"#100g"}, 1);
        list("typed gear", SettingList::GearRatio, "144", {"#144g"}, 1);
        list("typed gear, no number", SettingList::GearRatio, "", {}, 0);
        box("DEC backlash", NumberSetting::DecBacklash, "250", {"#250B"}, 0);
        box("worm wheel", NumberSetting::WormWheel, "180", {"#180w"}, 1);
        box("backlash, no number", NumberSetting::RaBacklash, "12a", {}, 0);
    }
    void controlsSendTheirCommands() {
        QFETCH(int, list);
        QFETCH(int, box);
        QFETCH(QString, value);
        QFETCH(QStringList, sent);
        Page p;
        if (list >= 0)
            p.pick(SettingList(list), value);
        else
            p.save(NumberSetting(box), value);
        QCOMPARE(p.received(), sent);
        QTEST(p.notices(), "notices");
        QCOMPARE(p.prompts.shown.size() - p.notices(), sent.isEmpty() ? 1 : 0);
        // A refused value leaves its button enabled for another try; a sent
        // one disables it.
        if (box >= 0)
            QCOMPARE(p.page->saveButton(NumberSetting(box))->isEnabled(), sent.isEmpty());
    }

    // Typed and entered, a ratio or an entry's name is sent once.
    void aGearRatioTypedAndEnteredIsSent() {
        Page p;
        QComboBox* gear = p.page->list(SettingList::GearRatio);
        for (const auto& [typed, sent] : {std::pair{"144", "#144g"}, std::pair{"MT-1", "#120g"}}) {
            gear->lineEdit()->clear();
            QTest::keyClicks(gear->lineEdit(), QLatin1String(typed));
            QTest::keyClick(gear->lineEdit(), Qt::Key_Return);
            p.settle();
            QCOMPARE(p.received(), QStringList{sent});
            QCOMPARE(gear->count(), 3); // typing adds no entry
        }
    }

    // Both dump layouts from the board fill the page; the DEC worm ratio is
    // shown only by boards that have one, and a disconnect empties the rest.
    void readbackFillsThePage_data() {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("decWorm");
        QTest::newRow("18-byte dump") << QString("3.60") << QString("#<:VX##>:VX#") << QString();
        QTest::newRow("16-byte dump") << QString("3.50") << QString("#:VX#") << QString("80");
    }
    void readbackFillsThePage() {
        QFETCH(QString, firmware);
        QFETCH(QString, decWorm);
        Page p(firmware);
        p.port->board().working().gearRatio = 120;
        p.port->board().working().raBacklash = -1;
        p.press("cmdGetSettings");
        QTEST(p.received().join(' '), "query");
        QCOMPARE(p.all(), "1.67X|8X|16X|27X|SideReal|Right|Original|MT-1|Neg|Pos|272|-1|" +
                              decWorm + "|180|138");
        const bool oldBoard = !decWorm.isEmpty();
        QCOMPARE(p.page->box(NumberSetting::DecWormRatio)->isVisibleTo(p.page), oldBoard);
        QCOMPARE(p.find<QRadioButton>("Option1_0")->text(), QStringLiteral("1.67X"));
        // The readback's reception disables the four Save buttons it enabled.
        QVERIFY(!p.page->saveButton(NumberSetting::WormRatio)->isEnabled());
        QVERIFY(!p.page->saveButton(NumberSetting::RaBacklash)->isEnabled());
        QCOMPARE(p.page->saveButton(NumberSetting::DecWormRatio)->isEnabled(), oldBoard);
        // The goto speed read back feeds the slew time estimate.
        QCOMPARE(p.page->gotoSpeedText(), QStringLiteral("27X"));
        // A speed list awaits the character the board may send back, and
        // keeps the awaited kind.
        p.pick(SettingList::SixteenX, QStringLiteral("27X"));
        QCOMPARE(p.window->channel().awaitedCount(), 1);
        QCOMPARE(p.window->channel().awaitedKind(), ReplyKind::SettingsDump);
        p.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(p.all(), QString(12, '|') + decWorm + "||");
        QVERIFY(!p.page->saveButton(NumberSetting::WormRatio)->isEnabled());
    }

    void aCustomGearRatioIsListedOnce() {
        Page p;
        p.port->board().working().gearRatio = 400;
        p.press("cmdGetSettings");
        p.press("cmdGetSettings");
        p.received();
        QComboBox* gear = p.page->list(SettingList::GearRatio);
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

    // Read back, change, store; save a file; load it onto another board and
    // replay it there: that board then holds the file's configuration.
    void aSavedConfigurationReachesAnotherBoard() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mount.mdf"));
        sim::DriveSettings saved;
        {
            Page first;
            first.press("cmdGetSettings");
            first.received();
            first.pick(SettingList::GotoSpeed, QStringLiteral("40X"));
            first.save(NumberSetting::DecBacklash, QStringLiteral("250"));
            first.press("cmdSaveSettings");
            QCOMPARE(first.received(), QStringList({"#5:Ss2#", "#250B", "Y"}));
            QCOMPARE(first.port->board().stored().gotoSpeed, quint8(0x0C));
            first.press("cmdGetSettings");
            QCOMPARE(first.page->gotoSpeedText(), QStringLiteral("40X"));
            first.prompts.fileNames.enqueue(file);
            first.trigger(QStringLiteral("mnuSave"));
            saved = first.port->board().stored();
        }
        Page second;
        sim::DriveSettings& before = second.port->board().working();
        before.gotoSpeed = 0x07;
        before.decBacklash = 5;
        before.guideRate = 0x03;
        second.prompts.fileNames.enqueue(file);
        second.trigger(QStringLiteral("mnuload"));
        QCOMPARE(second.saveCaption(), QStringLiteral("Save All Settings"));
        QVERIFY(second.received().isEmpty()); // loading sends nothing
        QCOMPARE(second.page->gotoSpeedText(), QStringLiteral("40X"));
        // A box that holds no number refuses the whole replay, naming it.
        QLineEdit* worm = second.page->box(NumberSetting::WormRatio);
        worm->setText(QStringLiteral("18O"));
        second.press("cmdSaveSettings");
        QVERIFY(second.received().isEmpty());
        QCOMPARE(second.prompts.shown.last().text, QStringLiteral("Invalid Entry: Worm Ratio"));
        QCOMPARE(second.saveCaption(), QStringLiteral("Save All Settings"));
        worm->setText(QStringLiteral("180"));
        const int shownBefore = second.prompts.shown.size();
        second.press("cmdSaveSettings");
        QCOMPARE(second.received(),
                 QStringList({"#<-G", "#1:Ss0#", "#2:Ss1#", "#5:Ss2#", "#0T#", "#>X", "#<x",
                              "#132g", "#180W", "#138w", "#250B", "#-1M", "#32b", "#1m", "Y"}));
        QCOMPARE(second.prompts.shown.size(), shownBefore + 1); // one notice for all
        QCOMPARE(second.saveCaption(), QStringLiteral("Save Settings"));
        QVERIFY(!second.window->shared().fileSettingsPending);
        QVERIFY(second.port->board().stored() == saved);
        second.press("cmdSaveSettings"); // a second press only stores
        QCOMPARE(second.received(), QStringList{"Y"});
    }

    void unreadableOrUnwritableFilesSaySoAndChangeNothing() {
        Page p;
        p.press("cmdGetSettings");
        p.prompts.fileNames.enqueue(QStringLiteral("/no/such/folder/x.mdf"));
        p.trigger(QStringLiteral("mnuSave"));
        QCOMPARE(p.prompts.shown.size(), 1);
        p.prompts.fileNames.enqueue(QStringLiteral("/no/such/file.mdf"));
        p.trigger(QStringLiteral("mnuload"));
        QCOMPARE(p.prompts.shown.size(), 2);
        QCOMPARE(p.saveCaption(), QStringLiteral("Save Settings"));
        QCOMPARE(p.page->gotoSpeedText(), QStringLiteral("27X"));
    }
};

QTEST_MAIN(TestSettingsPage)
#include "test_settings_page.moc"
