// The settings page on the simulated board, as its traffic log shows it.
#include "common/WindowFixture.h"
#include "config/ui/CustomGearDialog.h"
#include "config/ui/SettingsPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Page : SimWindow<> {
    SettingsPage* page = window->findChild<SettingsPage*>();
    explicit Page(const QStringList& options = {}) : SimWindow(options) {
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
        clock.advance(1000); // a board that does not answer lets the acknowledgement go
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
    // Typed into a list and entered.
    void enter(SettingList l, const QString& text) {
        page->list(l)->lineEdit()->clear();
        QTest::keyClicks(page->list(l)->lineEdit(), text);
        QTest::keyClick(page->list(l)->lineEdit(), Qt::Key_Return);
        settle();
    }
    // Every list's and box's text.
    QString all() const {
        QStringList texts;
        for (SettingList l : allSettingLists())
            texts << page->list(l)->currentText();
        for (NumberSetting n : allNumberSettings())
            texts << page->box(n)->text();
        return texts.join('|');
    }
    // The goto speed shown and the store button's caption.
    QString gotoAndStore() const {
        return page->list(SettingList::GotoSpeed)->currentText() + ' ' +
               page->cmdSaveSettings->text();
    }
    int notices() const {
        return std::count_if(prompts.shown.begin(), prompts.shown.end(), [](const auto& s) {
            return s.text.startsWith(QStringLiteral("To enable this change you must"));
        });
    }
    void file(const char* menu, const QString& path) {
        prompts.fileNames.enqueue(path);
        trigger(QLatin1String(menu));
        settle();
    }
};

} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    // The gear and worm notice, refusals, Save left offered after one. Typed and
    // entered, only exactly an entry or a ratio is sent, adding no entry. A ratio
    // read back is listed once; the custom gear dialog adds only a new one.
    void controlsSendTheirCommands() {
        // A list or (-1) a box, the text, what is sent, the notices shown.
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
        p.enter(SettingList::EightX, QStringLiteral("8x"));
        QVERIFY(p.received().isEmpty());
        QComboBox* gear = p.page->list(SettingList::GearRatio);
        p.enter(SettingList::GearRatio, QStringLiteral("144"));
        p.enter(SettingList::GearRatio, QStringLiteral("MT-1"));
        QCOMPARE(p.received(), QStringList({"#144g", "#120g"}));
        QCOMPARE(gear->count(), 3);

        p.port->board().working().gearRatio = 400;
        p.press("cmdGetSettings");
        p.press("cmdGetSettings");
        p.received();
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

    // Both dump layouts fill the page (the DEC worm ratio only from boards that have
    // one); a disconnect empties it and withdraws that Save. A speed or tracking
    // answer is let go, never decoded as a dump (which would put "Left" and
    // "Original" on the page and from there into a saved file).
    void readbackFillsThePage_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("decWorm");
        QTest::newRow("18-byte dump")
            << QStringList{"--firmware", "3.60"} << QString("#<:VX##>:VX#") << QString();
        QTest::newRow("16-byte dump, acknowledged settings")
            << QStringList{"--firmware", "3.50", "--ack-settings"} << QString("#:VX#")
            << QString("80");
    }
    void readbackFillsThePage() {
        QFETCH(QStringList, options);
        QFETCH(QString, query);
        QFETCH(QString, decWorm);
        Page p(options);
        p.port->board().working().gearRatio = 120;
        p.port->board().working().raBacklash = -1;
        p.press("cmdGetSettings");
        QCOMPARE(p.received().join(' '), query);
        QCOMPARE(p.all(), "1.67X|8X|16X|27X|SideReal|Right|Original|MT-1|Neg|Pos|272|-1|" +
                              decWorm + "|180|138");
        const bool oldBoard = !decWorm.isEmpty();
        QCOMPARE(p.page->box(NumberSetting::DecWormRatio)->isVisibleTo(p.page), oldBoard);
        // The guiding page's rate button, and the goto speed for the time estimate.
        QCOMPARE(p.find<QRadioButton>("Option1_0")->text() + ' ' + p.gotoAndStore(),
                 "1.67X 27X Save Settings");
        QCOMPARE(p.session().configuration().gotoSpeed(), 27.0);
        // The readback's reception withdraws the four Save buttons it offered.
        const auto offered = [&p](NumberSetting n) { return p.page->saveButton(n)->isEnabled(); };
        QVERIFY(!offered(NumberSetting::WormRatio) && !offered(NumberSetting::RaBacklash));
        QCOMPARE(offered(NumberSetting::DecWormRatio), oldBoard);

        const QString before = p.all();
        p.pick(SettingList::SixteenX, QStringLiteral("27X"));
        QCOMPARE(p.channel().awaitedKind() * 10 + p.channel().awaitedCount(),
                 AwaitedKind::Acknowledgement * 10 + 1);
        p.pick(SettingList::TrackSpeed, QStringLiteral("Solar"));
        QCOMPARE(p.received(), QStringList({"#4:Ss1#", "#1T#"}));
        QCOMPARE(p.all(), QString(before).replace("|16X|27X|SideReal|", "|27X|27X|Solar|"));
        p.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(p.all(), QString(12, '|') + decWorm + "||");
        QVERIFY(!offered(NumberSetting::WormRatio) && !offered(NumberSetting::DecWormRatio));
    }

    // Read back (values from 0x8000 up show negative), change, store, save a file;
    // loaded onto another board (sending nothing) and replayed, it leaves that board
    // holding the same. A box that holds no number refuses the replay first.
    void aSavedConfigurationReachesAnotherBoard() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mount.mdf"));
        sim::DriveSettings saved;
        {
            Page first;
            first.port->board().working().raBacklash = -1;
            first.port->board().working().wormRatio = -1;
            first.press("cmdGetSettings");
            QCOMPARE(first.page->box(NumberSetting::RaBacklash)->text() + ' ' +
                         first.page->box(NumberSetting::WormRatio)->text(),
                     "-1 -1");
            first.received();
            first.pick(SettingList::GotoSpeed, QStringLiteral("40X"));
            first.save(NumberSetting::DecBacklash, QStringLiteral("250"));
            first.press("cmdSaveSettings");
            QCOMPARE(first.received(), QStringList({"#5:Ss2#", "#250B", "Y"}));
            first.file("mnuSave", file);
            saved = first.port->board().stored();
        }
        Page second;
        second.port->board().working().guideRate = 0x03; // the file's differs too
        QVERIFY(!(second.port->board().stored() == saved));
        second.file("mnuload", file);
        QCOMPARE(second.gotoAndStore() + second.received().join(' '), "40X Save All Settings");
        QLineEdit* worm = second.page->box(NumberSetting::WormRatio);
        worm->setText(QStringLiteral("18O"));
        second.press("cmdSaveSettings");
        QCOMPARE(second.prompts.shown.last().text + ", " + second.gotoAndStore() +
                     second.received().join(' '),
                 "Invalid Entry: Worm Ratio, 40X Save All Settings");
        worm->setText(QStringLiteral("-1"));
        const int shownBefore = second.prompts.shown.size();
        second.press("cmdSaveSettings");
        QCOMPARE(second.received(),
                 QStringList({"#<-G", "#1:Ss0#", "#2:Ss1#", "#5:Ss2#", "#0T#", "#>X", "#<x",
                              "#132g", "#-1W", "#138w", "#250B", "#-1M", "#-1b", "#1m", "Y"}));
        QCOMPARE(second.prompts.shown.size(), shownBefore + 1);
        QCOMPARE(second.gotoAndStore(), QStringLiteral("40X Save Settings"));
        QVERIFY(second.port->board().stored() == saved);
        second.press("cmdSaveSettings"); // a second press only stores
        QCOMPARE(second.received(), QStringList{"Y"});
    }

    // A file's value that is no entry replaces the one read back and stays as the
    // file has it: a custom gear ratio is replayed in its place (and the board
    // reads back holding it), an odd speed is shown but not sent.
    void aLoadedValueThatIsNoEntryIsKept() {
        Page p;
        const QString file = p.dir.filePath(QStringLiteral("mount.mdf"));
        p.press("cmdGetSettings");
        p.file("mnuSave", file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll().replace("GearRatio=Original", "GearRatio=144");
        f.close();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                f.write(QByteArray(text).replace("Paddle8x=8X", "paddle8x = 12X")) > 0);
        f.close();
        p.file("mnuload", file);
        QComboBox* gear = p.page->list(SettingList::GearRatio);
        QCOMPARE(gear->currentText() + ' ' + p.page->list(SettingList::EightX)->currentText() +
                     ' ' + QString::number(gear->count()),
                 "144 12X 3");
        p.received();
        p.press("cmdSaveSettings");
        const QStringList sent = p.received();
        QCOMPARE(sent.mid(0, 7),
                 QStringList({"#<-G", "#2:Ss1#", "#4:Ss2#", "#0T#", "#>X", "#<x", "#144g"}));
        QCOMPARE(sent.last(), "Y");
        p.press("cmdGetSettings");
        QCOMPARE(gear->currentText() + ' ' + p.page->cmdSaveSettings->text(), "144 Save Settings");
        QCOMPARE(p.port->board().stored().gearRatio, qint16(144));
    }

    // A loaded file waits until stored: showing the tab does not read the board over
    // it, Save All with the port closed says so, "Get Settings Status" gives it up.
    // Files that cannot be written or read say so and change nothing.
    void aLoadedFileWaitsUntilStored() {
        Page p;
        const QString file = p.dir.filePath(QStringLiteral("mount.mdf"));
        p.press("cmdGetSettings");
        p.page->list(SettingList::GotoSpeed)->setEditText(QStringLiteral("40X"));
        p.file("mnuSave", file);
        p.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        p.file("mnuload", file);
        p.received();
        p.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(0);
        p.settle();
        QCOMPARE(p.received(), QStringList{"#:GS#"});
        QCOMPARE(p.gotoAndStore(), "40X Save All Settings");

        p.trigger(QStringLiteral("mnuConnect")); // disconnected: the page empties
        p.file("mnuload", file);
        p.press("cmdSaveSettings");
        QVERIFY(p.prompts.shown.last().text.startsWith("The port is not open"));
        QCOMPARE(p.gotoAndStore(), "40X Save All Settings");
        p.trigger(QStringLiteral("mnuConnect"));
        p.settle();
        p.received();
        p.press("cmdSaveSettings");
        QVERIFY(p.received().contains("#5:Ss2#"));
        QCOMPARE(p.port->board().stored().gotoSpeed, quint8(0x0C));

        p.port->board().working().gotoSpeed = 0x0B;
        p.file("mnuload", file);
        p.press("cmdGetSettings");
        QCOMPARE(p.gotoAndStore(), "27X Save Settings");
        const int shown = p.prompts.shown.size();
        p.file("mnuSave", QStringLiteral("/no/such/folder/x.mdf"));
        p.file("mnuload", QStringLiteral("/no/such/file.mdf"));
        QCOMPARE(p.prompts.shown.size(), shown + 2);
        QCOMPARE(p.gotoAndStore(), "27X Save Settings");
    }
};

QTEST_MAIN(TestSettingsPage)
#include "test_settings_page.moc"
