// Hundreds of paced exchanges over a real pseudo-terminal, through the
// program's real serial port: a live board is never taken for an unplugged
// one, idle or with the machine busy.
#include "app/MainWindow.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionParts.h"
#include "common/SimProcess.h"
#include "link/QtSerialPort.h"
#include "motion/ui/GuidePanel.h"
#include "motion/ui/TargetPanel.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <atomic>
#include <thread>

using namespace corvane;
using namespace corvane::test;

namespace {

// Keeps one core busy until destroyed.
struct BusyCore {
    std::atomic<bool> stop{false};
    std::thread spinner;
    explicit BusyCore(bool on) {
        if (on)
            spinner = std::thread([this] {
                volatile unsigned long n = 0;
                while (!stop.load(std::memory_order_relaxed))
                    n = n + 1;
            });
    }
    ~BusyCore() {
        stop = true;
        if (spinner.joinable())
            spinner.join();
    }
};

} // namespace

class TestLineEndurance : public QObject {
    Q_OBJECT
private slots:
    void exchangesKeepTheConnection_data() {
        QTest::addColumn<bool>("busy");
        QTest::newRow("idle") << false;
        QTest::newRow("busy machine") << true;
    }
    void exchangesKeepTheConnection() {
        QFETCH(bool, busy);
        SimProcess sim;
        QVERIFY2(sim.device.startsWith(QStringLiteral("/dev/")), qPrintable(sim.device));
        SystemClock clock;
        ScriptedPrompts prompts;
        MainWindow window(new QtSerialPort(sim.directory()), clock, prompts);
        QVERIFY(window.startUp());
        auto* status = window.findChild<QLabel*>(QStringLiteral("StatusBar1_1"));
        Channel& channel = window.session().channel();
        QSignalSpy lost(&channel, &Channel::lost);
        QSignalSpy timedOut(&channel, &Channel::timedOut);
        window.findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Connected"), 5000);
        window.tabstrip1->setCurrentIndex(1);
        QPushButton* pulse = window.guide->cmdPulse;
        pulse->click(); // pulse mode, 0 ms pulses
        QSignalSpy received(&channel, &Channel::received);

        BusyCore load(busy);
        // Each press follows the end of the one before, as fast as a user can
        // click: set, get, a pulse, sync (each a few exchanges) and a poll.
        const std::function<void()> press[] = {
            [&] { window.target->cmdSetObj->click(); }, [&] { window.target->cmdGetObj->click(); },
            [&] { window.guide->cmdMoveN->click(); },   [&] { window.target->cmdSyncObj->click(); },
            [&] { window.session().polling().tick(); },
        };
        constexpr int kPresses = 100;
        for (int i = 0; i < kPresses; ++i) {
            press[i % 5]();
            QDeadlineTimer giveUp(3000);
            do
                QTest::qWait(5);
            while ((channel.runner().isBusy() || channel.isAwaitingReply()) &&
                   !giveUp.hasExpired());
            QVERIFY2(window.session().port().isOpen(),
                     qPrintable(QStringLiteral("closed at press %1").arg(i)));
        }
        QCOMPARE(lost.count(), 0);
        QCOMPARE(timedOut.count(), 0);
        QCOMPARE(status->text(), QStringLiteral("Connected"));
        // Every set, get and sync was answered.
        QVERIFY2(received.count() >= kPresses, qPrintable(QString::number(received.count())));
        window.close();
    }
};

QTEST_MAIN(TestLineEndurance)
#include "test_line_endurance.moc"
