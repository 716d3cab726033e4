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
    void readBack() {
        click(QStringLiteral("cmdGetSettings"));
        settle();
    }
};

} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    // A control sends its command and nothing more (every command is in the
    // widget-free table); here what the page adds: the power-cycle notice for
    // the gear and worm settings, one refusal for a value that cannot go out,
    // and the Save button's state.
    void controlsSendTheirCommands_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<int>("notices");
        const auto row = [](const char* tag, const char* control, const char* value,
                            const QStringList& sent, int notices) {
            QTest::newRow(tag) << QString(control) << QString(value) << sent << notices;
        };
        row("16X paddle", "cbSixteenX", "27X", {"#4:Ss1#"}, 0);
        row("gear preset", "cbGearRatio", "Quenta", {"#100g"}, 1);
        row("typed gear", "cbGearRatio", "144", {"#144g"}, 1);
        row("typed gear, no number", "cbGearRatio", "", {}, 0);
        row("DEC backlash", "DecBLtxt", "250", {"#250B"}, 0);
        row("worm wheel", "WormWheeltxt", "180", {"#180w"}, 1);
        row("backlash, no number", "RABLtxt", "12a", {}, 0);
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

    // Typed and entered, a ratio or an entry's name is sent once.
    void aGearRatioTypedAndEnteredIsSent() {
        Page p;
        auto* gear = p.find<QComboBox>("cbGearRatio");
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
        p.readBack();
        QTEST(p.received().join(' '), "query");
        QCOMPARE(p.all(), "1.67X|8X|16X|27X|SideReal|Right|Original|MT-1|Neg|Pos|272|-1|" +
                              decWorm + "|180|138");
        const bool oldBoard = !decWorm.isEmpty();
        QCOMPARE(p.find<QLineEdit>("DECWormRatiotxt")->isVisibleTo(p.page), oldBoard);
        QCOMPARE(p.find<QRadioButton>("Option1_0")->text(), QStringLiteral("1.67X"));
        // The readback's reception disables the four Save buttons it enabled.
        QVERIFY(!p.find<QPushButton>("cmdWormRatio")->isEnabled());
        QVERIFY(!p.find<QPushButton>("cmdRABL")->isEnabled());
        QCOMPARE(p.find<QPushButton>("cmdDECWormRatio")->isEnabled(), oldBoard);
        // The goto speed read back feeds the slew time estimate.
        QCOMPARE(p.window->settings->gotoSpeedText(), QStringLiteral("27X"));
        // A speed list awaits the character the board may send back, and
        // keeps the awaited kind.
        p.pick("cbSixteenX", QStringLiteral("27X"));
        QCOMPARE(p.window->channel().awaitedCount(), 1);
        QCOMPARE(p.window->channel().awaitedKind(), ReplyKind::SettingsDump);
        p.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(p.all(), QString(12, '|') + decWorm + "||");
        QVERIFY(!p.find<QPushButton>("cmdWormRatio")->isEnabled());
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

    // Read back, change, store; save a file; load it onto another board and
    // replay it there: that board then holds the file's configuration.
    void aSavedConfigurationReachesAnotherBoard() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mount.mdf"));
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
        second.find<QLineEdit>("WormRatiotxt")->setText(QStringLiteral("18O"));
        second.click(QStringLiteral("cmdSaveSettings"));
        second.settle();
        QVERIFY(second.received().isEmpty());
        QCOMPARE(second.prompts.shown.last().text, QStringLiteral("Invalid Entry: Worm Ratio"));
        QCOMPARE(second.saveCaption(), QStringLiteral("Save All Settings"));
        second.find<QLineEdit>("WormRatiotxt")->setText(QStringLiteral("180"));
        const int shownBefore = second.prompts.shown.size();
        second.click(QStringLiteral("cmdSaveSettings"));
        second.settle();
        QCOMPARE(second.received(),
                 QStringList({"#<-G", "#1:Ss0#", "#2:Ss1#", "#5:Ss2#", "#0T#", "#>X", "#<x",
                              "#132g", "#180W", "#138w", "#250B", "#-1M", "#32b", "#1m", "Y"}));
        QCOMPARE(second.prompts.shown.size(), shownBefore + 1); // one notice for all
        QCOMPARE(second.saveCaption(), QStringLiteral("Save Settings"));
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
        QCOMPARE(p.saveCaption(), QStringLiteral("Save Settings"));
        QCOMPARE(p.page->gotoSpeedText(), QStringLiteral("27X"));
    }
};

QTEST_MAIN(TestSettingsPage)
#include "test_settings_page.moc"
