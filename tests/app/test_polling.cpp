// Position polling with Timer1, its interval, and what each tab asks for.
#include "common/WindowFixture.h"

#include "config/DriveConfiguration.h"
#include "link/Channel.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Polling : WindowFixture {
    QCheckBox* check1;
    QScrollBar* interval;
    ClockTimer* timer;
    QTabWidget* tabs;

    explicit Polling(QSet<int> openable = {1}) : WindowFixture(std::move(openable)) {
        check1 = find<QCheckBox>(QStringLiteral("Check1"));
        interval = find<QScrollBar>(QStringLiteral("scrlUDTime"));
        timer = find<ClockTimer>(QStringLiteral("Timer1"));
        tabs = find<QTabWidget>(QStringLiteral("tabstrip1"));
    }
};

} // namespace

class TestPolling : public QObject {
    Q_OBJECT

private slots:
    // The interval box sets the caption and the timer, running or not.
    void intervalSetsCaptionAndTimer() {
        const std::tuple<int, const char*, bool> cases[] = {
            {2500, "2.5", false}, {500, "0.5", false}, {1500, "1.5", true}, {1000, "1", true}};
        for (const auto& [ms, seconds, polling] : cases) {
            Polling f;
            QVERIFY(f.window->startUp());
            if (polling) {
                f.tabs->setCurrentIndex(1);
                f.check1->click();
            }
            f.interval->setValue(ms);
            QCOMPARE(
                f.check1->text(),
                QStringLiteral("Auto Update Position     Update Interval %1 Sec").arg(seconds));
            QCOMPARE(f.timer->interval(), ms);
            QCOMPARE(f.timer->isActive(), polling);
        }
    }

    // Checked away from the guiding page, polling waits for it.
    void checkBoxSwitchesPolling() {
        Polling f;
        QVERIFY(f.window->startUp());
        f.check1->setChecked(true);
        QVERIFY(f.window->session().polling().autoUpdate());
        QVERIFY(!f.timer->isActive());
        f.tabs->setCurrentIndex(1);
        QVERIFY(f.timer->isActive());
        f.check1->click();
        QVERIFY(!f.window->session().polling().autoUpdate());
        QVERIFY(!f.timer->isActive());
    }

    void pollingRunsOnlyOnTheGuidingTab() {
        Polling f;
        f.startAndConnect("3.20 CORV#");
        f.tabs->setCurrentIndex(1);
        f.reply("05:34.5#+45*30#");
        f.check1->setChecked(true);
        QVERIFY(f.timer->isActive());

        f.port->clearWrites();
        f.clock.pauses.clear();
        f.tabs->setCurrentIndex(2);
        QVERIFY(!f.timer->isActive());
        QVERIFY(f.window->session().polling().autoUpdate());
        QCOMPARE(f.port->timeline(), QStringList({"0: #:GS#", "100: #:VS#"}));
        f.reply(QByteArray(10, '\x81'));

        f.port->clearWrites();
        f.tabs->setCurrentIndex(1);
        QVERIFY(f.timer->isActive());
        QCOMPARE(f.port->timeline(), QStringList({"0: #:GS#", "100: #:GR##:GD#"}));
        f.reply("05:34.5#+45*30#");

        f.port->clearWrites();
        f.tabs->setCurrentIndex(0);
        QVERIFY(!f.timer->isActive());
        QCOMPARE(f.port->timeline(), QStringList({"0: #:GS#", "100: #:VX#"}));
    }

    void tabChangeAwaitsTheRightReplies() {
        Polling f;
        f.startAndConnect();
        Channel& ch = f.window->session().channel();
        QVector<int> countsDuringPause;
        f.clock.onPause = [&](int) { countsDuringPause << ch.awaitedCount(); };
        ch.expectManualCommand();
        f.tabs->setCurrentIndex(2);
        QCOMPARE(countsDuringPause, QVector<int>({9}));
        QVERIFY(ch.isDispatchArmed());
        QCOMPARE(ch.awaitedKind(), kPecStateKind);
        QCOMPARE(ch.awaitedCount(), 10);
    }

    void guidingTabWithoutAutoUpdateOnlyAsksOnce() {
        Polling f;
        f.startAndConnect();
        f.port->clearWrites();
        // The sidereal time arrives during the pause and is dropped by the
        // position query's flush.
        f.clock.onPause = [&](int) { f.port->feed("12:00:00#"); };
        f.tabs->setCurrentIndex(1);
        f.clock.onPause = nullptr;
        QVERIFY(!f.timer->isActive());
        QCOMPARE(f.port->writtenCommands(), QStringList({"#:GS#", "#:GR##:GD#"}));
        QCoreApplication::processEvents();
        QVERIFY(f.find<QLineEdit>("ScopeRAtxt")->text().isEmpty());
        f.reply("05:34.5#+45*30#");
        QCOMPARE(f.find<QLineEdit>("ScopeRAtxt")->text(), QStringLiteral("05h34.5m"));
    }

    // A tick shows the estimate, waits 50 ms and asks for the position.
    void oneTick() {
        Polling f;
        f.startAndConnect();
        f.session().configuration().setText(SettingList::GotoSpeed, QStringLiteral("1X"));
        f.channel().request(positionQuery());
        f.reply("23:00.0#+00*00#");
        f.session().target().write({"01", "00.0", "+00", "00"});
        f.port->clearWrites();
        f.clock.pauses.clear();
        const qint64 start = f.clock.now;
        f.window->session().polling().tick();
        QCOMPARE(f.panel(4), QStringLiteral("Time to target 120:00"));
        QCOMPARE(f.clock.pauses, QVector<int>({50}));
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GR##:GD#"});
        QCOMPARE(f.port->writes[0].atMs, start + 50);
        f.reply("05:34.5#+45*30#");
        QCOMPARE(f.find<QLineEdit>("ScopeRAtxt")->text(), QStringLiteral("05h34.5m"));
        QCOMPARE(f.find<QLineEdit>("ScopeDECtxt")->text(), QStringLiteral("+45\u00B030\""));
    }
};

QTEST_MAIN(TestPolling)
#include "test_polling.moc"
