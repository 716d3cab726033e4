// The settings page on the simulated board, as its traffic log shows it: what the page adds to
// the commands, the readback of both dump layouts, custom gear ratios, and a configuration
// stored, saved to a file, loaded onto another board and replayed there.
#include "common/SimWindow.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"
#include "sim/SimTestHelpers.h"

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
    explicit Page(const QString& firmware = QStringLiteral("3.60"), const QStringList& more = {})
        : SimWindow(QStringList{QStringLiteral("--firmware"), firmware} + more) {
        QVERIFY(connect());
        received();
    }
    // An entry is picked from its list; any other text is typed and picked.
    void pick(SettingList l, const QString& text) {
        QComboBox* combo = page->list(l);
        combo->setEditText(text);
        if (combo->findText(text) >= 0)
            emit combo->activated(combo->findText(text));
        else
            session().configuration().pick(l);
        // A board that does not answer lets the awaited acknowledgement go.
        clock.advance(1000);
        settle();
    }
    void save(NumberSetting n, const QString& t) {
        page->box(n)->setText(t);
        page->saveButton(n)->click();
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
        return std::count_if(prompts.shown.begin(), prompts.shown.end(), [](const auto& s) {
            return s.text.startsWith(QStringLiteral("To enable this change you must"));
        });
    }
    QString saveCaption() const { return page->cmdSaveSettings->text(); }
    void showTab(int index) {
        window->tabstrip1->setCurrentIndex(index);
        settle();
    }
    void load(const QString& file) {
        prompts.fileNames.enqueue(file);
        trigger(QStringLiteral("mnuload"));
    }
};

} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    // The commands are in the widget-free table; here what the page adds: the gear and worm
    // notice, one refusal for a value that cannot go out, and Save left enabled after it.
    void controlsSendTheirCommands() {
        // A list or (list -1) a box, the text, what is sent, the notices shown.
        const std::tuple<int, int, const char*, const char*, int> cases[] = {
            {int(SettingList::SixteenX), -1, "27X", "#4:Ss1#", 0},
            {int(SettingList::GearRatio), -1, "Quenta", "#100g", 1},
            {int(SettingList::GearRatio), -1, "144", "#144g", 1},
            {int(SettingList::GearRatio), -1, "", "", 0},
            {-1, int(NumberSetting::DecBacklash), "250", "#250B", 0},
            {-1, int(NumberSetting::WormWheel), "180", "#180w", 1},
            {-1, int(NumberSetting::RaBacklash), "12a", "", 0}};
        Page p;
        for (const auto& [list, box, value, sent, notices] : cases) {
            const int shownBefore = p.prompts.shown.size(), noticesBefore = p.notices();
            list >= 0 ? p.pick(SettingList(list), value) : p.save(NumberSetting(box), value);
            QCOMPARE(p.received().join(' '), QString(sent));
            QCOMPARE(p.notices() - noticesBefore, notices);
            QCOMPARE(p.prompts.shown.size() - shownBefore - notices, *sent ? 0 : 1);
            if (box >= 0)
                QCOMPARE(p.page->saveButton(NumberSetting(box))->isEnabled(), !*sent);
        }
        // Typed and entered, a text that is not exactly an entry sends nothing.
        QComboBox* speed = p.page->list(SettingList::EightX);
        speed->lineEdit()->clear();
        QTest::keyClicks(speed->lineEdit(), QStringLiteral("8x"));
        QTest::keyClick(speed->lineEdit(), Qt::Key_Return);
        p.settle();
        QVERIFY(p.received().isEmpty());
        // Typed and entered, a ratio or an entry's name is sent once, adding no entry.
        QComboBox* gear = p.page->list(SettingList::GearRatio);
        for (const auto& [typed, sent] : {std::pair{"144", "#144g"}, std::pair{"MT-1", "#120g"}}) {
            gear->lineEdit()->clear();
            QTest::keyClicks(gear->lineEdit(), QLatin1String(typed));
            QTest::keyClick(gear->lineEdit(), Qt::Key_Return);
            p.settle();
            QCOMPARE(p.received(), QStringList{sent});
            QCOMPARE(gear->count(), 3);
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
        // The guiding page's rate button, and the goto speed for the slew time estimate.
        QCOMPARE(p.find<QRadioButton>("Option1_0")->text() + ' ' +
                     p.page->list(SettingList::GotoSpeed)->currentText(),
                 "1.67X 27X");
        // The readback's reception disables the four Save buttons it enabled.
        const auto enabled = [&p](NumberSetting n) { return p.page->saveButton(n)->isEnabled(); };
        QVERIFY(!enabled(NumberSetting::WormRatio) && !enabled(NumberSetting::RaBacklash));
        QCOMPARE(enabled(NumberSetting::DecWormRatio), oldBoard);
        // A speed list awaits the character the board may send back under a kind that
        // nothing decodes (see aOneCharacterAnswerIsNeverReadAsADump).
        p.pick(SettingList::SixteenX, QStringLiteral("27X"));
        QCOMPARE(p.window->session().channel().awaitedCount(), 1);
        QCOMPARE(p.window->session().channel().awaitedKind(), AwaitedKind::Acknowledgement);
        p.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(p.all(), QString(12, '|') + decWorm + "||");
        QVERIFY(!enabled(NumberSetting::WormRatio) && !enabled(NumberSetting::DecWormRatio));
    }

    // A ratio read back is listed once; the dialog adds only a new ratio it accepts.
    void aCustomGearRatioIsListedOnce() {
        Page p;
        p.port->board().working().gearRatio = 400;
        p.press("cmdGetSettings");
        p.press("cmdGetSettings");
        p.received();
        QComboBox* gear = p.page->list(SettingList::GearRatio);
        QCOMPARE(gear->currentText() + ' ' + QString::number(gear->count()), "400 4");
        for (const char* typed : {"400", "144", "500", "0", "x"}) {
            QTimer::singleShot(0, [&p, typed] {
                p.page->customGear()->Text1->setText(QLatin1String(typed));
                p.page->customGear()->Command2->click();
            });
            p.click(QStringLiteral("cmdcustomgear"));
        }
        QCOMPARE(gear->itemText(4) + ' ' + QString::number(gear->count()), "144 5");
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
            first.prompts.fileNames.enqueue(file);
            first.trigger(QStringLiteral("mnuSave"));
            saved = first.port->board().stored();
        }
        Page second;
        second.port->board().working().guideRate = 0x03; // the file's differs too
        second.prompts.fileNames.enqueue(file);
        second.trigger(QStringLiteral("mnuload"));
        // Loading sends nothing.
        QCOMPARE(second.saveCaption() + ' ' +
                     second.page->list(SettingList::GotoSpeed)->currentText() +
                     second.received().join(' '),
                 "Save All Settings 40X");
        // A box that holds no number refuses the whole replay, naming it.
        QLineEdit* worm = second.page->box(NumberSetting::WormRatio);
        worm->setText(QStringLiteral("18O"));
        second.press("cmdSaveSettings");
        QCOMPARE(second.prompts.shown.last().text + ", " + second.saveCaption() +
                     second.received().join(' '),
                 "Invalid Entry: Worm Ratio, Save All Settings");
        worm->setText(QStringLiteral("180"));
        const int shownBefore = second.prompts.shown.size();
        second.press("cmdSaveSettings");
        QCOMPARE(second.received(),
                 QStringList({"#<-G", "#1:Ss0#", "#2:Ss1#", "#5:Ss2#", "#0T#", "#>X", "#<x",
                              "#132g", "#180W", "#138w", "#250B", "#-1M", "#32b", "#1m", "Y"}));
        QCOMPARE(second.prompts.shown.size(), shownBefore + 1); // one notice for all
        QCOMPARE(second.saveCaption(), QStringLiteral("Save Settings"));
        QVERIFY(!second.window->session().configuration().fileSettingsPending());
        QVERIFY(second.port->board().stored() == saved);
        second.press("cmdSaveSettings"); // a second press only stores
        QCOMPARE(second.received(), QStringList{"Y"});
    }

    // A board that answers a speed or tracking command with one character: the answer is
    // let go, never decoded as a settings dump (which would turn orientation and rotation
    // to "Left" and "Original" on the page, and from there into a saved file).
    void aOneCharacterAnswerIsNeverReadAsADump() {
        Page p(QStringLiteral("3.50"), {QStringLiteral("--ack-settings")});
        p.press("cmdGetSettings");
        const QString before = p.all();
        p.pick(SettingList::SixteenX, QStringLiteral("27X"));
        p.pick(SettingList::TrackSpeed, QStringLiteral("Solar"));
        p.clock.advance(1000);
        p.settle();
        QCOMPARE(p.all(), QString(before).replace("|16X|27X|SideReal|", "|27X|27X|Solar|"));
        QCOMPARE(p.received(), QStringList({"#:VX#", "#4:Ss1#", "#1T#"}));
    }

    // A value read back from 0x8000 up shows negative ("-1" for FF FF) and goes back to a
    // board as it was read: through a file and Save All, the second board's dump equals
    // the first's.
    void aNegativeReadbackIsWrittenBackAsRead() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mount.mdf"));
        QByteArray firstDump;
        {
            Page first;
            first.port->board().working().raBacklash = -1;
            first.port->board().working().wormRatio = -1;
            first.press("cmdGetSettings");
            QCOMPARE(first.page->box(NumberSetting::RaBacklash)->text() + ' ' +
                         first.page->box(NumberSetting::WormRatio)->text(),
                     "-1 -1");
            first.prompts.fileNames.enqueue(file);
            first.trigger(QStringLiteral("mnuSave"));
            firstDump = sim::test::dump(first.port->board());
        }
        Page second;
        QVERIFY(sim::test::dump(second.port->board()) != firstDump);
        second.load(file);
        second.press("cmdSaveSettings");
        QCOMPARE(second.received().filter(QRegularExpression("^#-")),
                 QStringList({"#-1W", "#-1M", "#-1b"}));
        QCOMPARE(sim::test::dump(second.port->board()), firstDump);
    }

    // A loaded file waits on the page until it is stored: showing the tab does not read
    // the board's settings over it; Save All with the port closed says so and keeps it
    // waiting; "Get Settings Status" is the user's choice to give it up.
    void aLoadedFileWaitsUntilStored() {
        Page p;
        const QString file = p.dir.filePath(QStringLiteral("mount.mdf"));
        p.press("cmdGetSettings");
        p.page->list(SettingList::GotoSpeed)->setEditText(QStringLiteral("40X"));
        p.prompts.fileNames.enqueue(file);
        p.trigger(QStringLiteral("mnuSave"));
        p.showTab(1);
        p.load(file);
        p.received();
        p.showTab(0);
        QCOMPARE(p.received(), QStringList{"#:GS#"});
        QCOMPARE(p.page->list(SettingList::GotoSpeed)->currentText() + ' ' + p.saveCaption(),
                 "40X Save All Settings");

        p.trigger(QStringLiteral("mnuConnect")); // disconnected: the page empties
        p.load(file);
        const int shown = p.prompts.shown.size();
        p.press("cmdSaveSettings");
        QCOMPARE(p.prompts.shown.size(), shown + 1);
        QVERIFY(p.prompts.shown.last().text.startsWith("The port is not open"));
        QCOMPARE(p.page->list(SettingList::GotoSpeed)->currentText() + ' ' + p.saveCaption(),
                 "40X Save All Settings");
        QVERIFY(p.window->session().configuration().fileSettingsPending());

        p.trigger(QStringLiteral("mnuConnect"));
        p.settle();
        p.received();
        p.press("cmdSaveSettings");
        QVERIFY(p.received().contains("#5:Ss2#"));
        QCOMPARE(p.port->board().stored().gotoSpeed, quint8(0x0C));

        p.port->board().working().gotoSpeed = 0x0B;
        p.load(file);
        p.press("cmdGetSettings");
        QCOMPARE(p.page->list(SettingList::GotoSpeed)->currentText() + ' ' + p.saveCaption(),
                 "27X Save Settings");
        QVERIFY(!p.window->session().configuration().fileSettingsPending());
    }

    void unreadableOrUnwritableFilesSaySoAndChangeNothing() {
        Page p;
        p.press("cmdGetSettings");
        p.prompts.fileNames << "/no/such/folder/x.mdf"
                            << "/no/such/file.mdf";
        p.trigger(QStringLiteral("mnuSave"));
        QCOMPARE(p.prompts.shown.size(), 1);
        p.trigger(QStringLiteral("mnuload"));
        QCOMPARE(p.prompts.shown.size(), 2);
        QCOMPARE(p.saveCaption() + ' ' + p.page->list(SettingList::GotoSpeed)->currentText(),
                 "Save Settings 27X");
    }
};

QTEST_MAIN(TestSettingsPage)
#include "test_settings_page.moc"
