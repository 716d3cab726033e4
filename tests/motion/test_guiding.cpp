// The mount's motion on the session without a window: moves, guide pulses, the
// search, the focuser, polling and what each page asks; what is sent, in which
// order and with which pauses, and what the buttons say. (Each control's command
// reaches the simulated board in test_panels_on_sim.)
#include "common/ClockTimer.h"
#include "common/SessionAccess.h"
#include "common/Wire.h"
#include "config/DriveConfiguration.h"
#include "motion/Focuser.h"
#include "motion/Guiding.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"
#include "pec/PecState.h"

#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr Direction N = Direction::North, S = Direction::South, W = Direction::West,
                    E = Direction::East;

// The move buttons N, S, W, E as they read; one that moves is marked "*".
QString moves(const Guiding& g) {
    QStringList looks;
    for (Direction d : {N, S, W, E})
        looks << g.moveCaption(d) + (g.isMoving(d) ? "*" : "");
    return looks.join(QLatin1String(", "));
}

} // namespace

class TestGuiding : public QObject {
    Q_OBJECT
private slots:
    // A move starts, then stops, stopping the opposite first ("MovingW" stops too);
    // STOP idles all. Swapped letters change captions, not commands.
    void movesAndSwaps() {
        Session s;
        Guiding& g = s.session.guiding();
        QStringList looks;
        for (Direction d : {N, N, W, E, W, W}) {
            g.pressMove(d);
            looks << moves(g);
        }
        QCOMPARE(looks, QStringList({"Moving N*, S, W, E", "N, S, W, E", "N, S, MovingW*, E",
                                     "N, S, W, Moving E*", "N, S, MovingW*, E", "N, S, W, E"}));
        QCOMPARE(g.moveToolTip(N), QStringLiteral("Move N"));
        QCOMPARE(s.sent(), QStringList({"#:Qs#", "#:Mn#", "#:Qn#", "#:Qe#", "#:Mw#", "#:Qw#",
                                        "#:Me#", "#:Qe#", "#:Mw#", "#:Qw#"}));
        g.pressMove(N);
        g.pressMove(E);
        QCOMPARE(g.moveToolTip(E), QStringLiteral("Stop Moving E"));
        s.port->clearWrites();
        g.stop();
        QCOMPARE(s.sent(), QStringList({"#:Q#"}));
        QCOMPARE(moves(g) + ' ' + g.moveToolTip(E), QStringLiteral("N, S, W, E Move E"));

        s.port->clearWrites();
        g.swapNorthSouth(true);
        g.pressMove(N);
        QCOMPARE(moves(g), QStringLiteral("Moving S*, N, W, E"));
        g.swapNorthSouth(false);
        QCOMPARE(moves(g), QStringLiteral("Moving N*, S, W, E"));
        g.pressMove(N);
        g.swapEastWest(true);
        QCOMPARE(moves(g), QStringLiteral("N, S, E, W"));
        QCOMPARE(s.sent(), QStringList({"#:Qs#", "#:Mn#", "#:Qn#"}));
    }

    // A pulse stops all, waits 100 ms and moves; Timer2 ends it. Leaving pulse mode
    // during one forgets it; the move buttons then move continuously again.
    void aPulseStopsAllThenMovesForItsTime() {
        Session s;
        Guiding& g = s.session.guiding();
        g.togglePulseMode();
        QCOMPARE(g.pulseCaption(), QStringLiteral("Pulse Guide On"));
        g.setPulseLength(QStringLiteral("0250"));
        g.pressMove(E);
        QCOMPARE(s.port->timeline(), QStringList({"0: #:Q#", "100: #:Mge250#"}));
        QCOMPARE(g.pulseCaption() + ' ' + moves(g), QStringLiteral("Guiding E N, S, W, E"));
        s.clock.advance(249);
        QCOMPARE(g.pulseCaption(), QStringLiteral("Guiding E"));
        s.clock.advance(1);
        QCOMPARE(g.pulseCaption(), QStringLiteral("Pulse Guide On"));
        QVERIFY(!g.pulseTimer()->isActive());

        g.setPulseLength(QStringLiteral("50"));
        g.pressMove(N);
        QCOMPARE(g.pulseCaption(), QStringLiteral("Guiding N"));
        g.togglePulseMode();
        QCOMPARE(g.pulseCaption(), QStringLiteral("Pulse Guide Off"));
        QVERIFY(!g.pulseTimer()->isActive());
        s.clock.advance(120);
        QCOMPARE(g.pulseCaption(), QStringLiteral("Pulse Guide Off"));
        s.port->clearWrites();
        g.pressMove(N);
        QCOMPARE(s.sent(), QStringList({"#:Qs#", "#:Mn#"}));
    }

    // Pulses take whole milliseconds, 0 to 65535; anything else leaves no length, so
    // the pulse is refused with a message and nothing goes out. 0 is over at once.
    void pulseLengthIsAWholeNumberOfMilliseconds() {
        const std::pair<const char*, int> cases[] = {
            {"0000", 0},         {"0500", 500}, {" 250 ", 250}, {"65535", 65535}, {"65536", -1},
            {"99999999999", -1}, {"-5", -1},    {"+5", -1},     {"12.5", -1},     {"250ms", -1},
            {"slow", -1},        {"", -1},      {"   ", -1}};
        for (const auto& [text, ms] : cases) {
            Session s;
            Guiding& g = s.session.guiding();
            Focuser& focuser = s.session.focuser();
            g.togglePulseMode();
            focuser.setPulseMode(true);
            for (const QString& typed : {QStringLiteral("7"), QString::fromLatin1(text)}) {
                g.setPulseLength(typed); // what was typed last counts, even when refused
                focuser.setPulseLength(typed);
            }
            QVERIFY(g.pulseLength().value_or(-1) == ms && focuser.pulseLength().value_or(-1) == ms);
            g.pressMove(N);
            focuser.move(FocusMove::Out);
            const QStringList sent =
                ms < 0 ? QStringList()
                       : QStringList({"#:Q#", QStringLiteral("#:Mgn%1#").arg(ms), "#:F-#"});
            QCOMPARE(s.sent(), sent);
            QCOMPARE(g.pulseCaption(), ms > 0 ? "Guiding N" : "Pulse Guide On");
            QCOMPARE(g.pulseTimer()->isActive() ? g.pulseTimer()->interval() : -1,
                     ms > 0 ? ms : -1);
            QCOMPARE(focuser.pulseTimer()->isActive() ? focuser.pulseTimer()->interval() : -1, ms);
            QCOMPARE(s.prompts.shown.size(), ms < 0 ? 2 : 0);
            for (const auto& shown : s.prompts.shown)
                QVERIFY(shown.text == "Invalid Entry" && shown.buttons == PromptButtons::Ok);
        }
    }

    // The focuser starts slow, without pulses or a length. A focus pulse ends its
    // move, a continuous move meanwhile or not; STOP ends it.
    void aFocusPulseEndsItsMove() {
        Session s;
        Focuser& focuser = s.session.focuser();
        QVERIFY(!focuser.fast() && !focuser.pulseMode() && !focuser.pulseLength());
        focuser.setPulseMode(true);
        focuser.setPulseLength(QStringLiteral("0040"));
        focuser.move(FocusMove::In);
        focuser.setPulseMode(false);
        focuser.move(FocusMove::Out);
        QVERIFY(focuser.pulseTimer()->isActive());
        s.clock.advance(40);
        focuser.setFast(true);
        QCOMPARE(s.sent(), QStringList({"#:F+#", "#:F-#", "#:FQ#", "#:FF#"}));
        QVERIFY(!focuser.pulseTimer()->isActive() && focuser.fast());
        focuser.setPulseMode(true);
        focuser.move(FocusMove::In);
        focuser.stop();
        QVERIFY(!focuser.pulseTimer()->isActive());
    }

    // The search stops all, waits 100 ms and starts; polling pauses meanwhile (and
    // resumes as it was), the buttons idle and STOP rests.
    void findPausesPolling() {
        Session s;
        Guiding& g = s.session.guiding();
        PositionPolling& polling = s.session.polling();
        g.toggleFind();
        g.toggleFind();
        QVERIFY(!polling.autoUpdate() && !polling.timer()->isActive());
        s.session.showPage(MountSession::Page::Guiding);
        s.reply("05:34.5#+45*30#");
        polling.setChecked(true);
        g.swapEastWest(true);
        g.pressMove(W);
        s.port->clearWrites();
        g.toggleFind();
        QCOMPARE(s.port->timeline(), QStringList({"0: #:Q#", "100: F"}));
        QCOMPARE(g.findCaption() + ' ' + moves(g), QStringLiteral("Stop Find N, S, E, W"));
        QVERIFY(!polling.timer()->isActive() && !polling.autoUpdate() && !polling.isCheckEnabled());
        QVERIFY(!g.canStop());
        s.port->clearWrites();
        g.toggleFind();
        QCOMPARE(s.sent(), QStringList({"#:Mn:Q#"}));
        QVERIFY(g.findCaption() == QLatin1String("Find") && g.canStop());
        QVERIFY(polling.timer()->isActive() && polling.autoUpdate() && polling.isCheckEnabled());
        polling.timer()->stop();
    }

    // The interval sets caption and timer; the timer runs only while polling is on
    // and the guiding page shown.
    void intervalAndSwitch() {
        Session s;
        PositionPolling& p = s.session.polling();
        QStringList captions;
        for (int ms : {2500, 500, 1000}) {
            p.setInterval(ms);
            captions << p.caption().section(QLatin1Char(' '), -2, -2);
            QCOMPARE(p.timer()->interval(), ms);
        }
        QCOMPARE(captions.join(' '), QStringLiteral("2.5 0.5 1"));
        p.setChecked(true);
        QVERIFY(p.autoUpdate() && !p.timer()->isActive());
        s.session.showPage(MountSession::Page::Guiding);
        QVERIFY(p.timer()->isActive());
        s.session.showPage(MountSession::Page::Pec);
        QVERIFY(p.autoUpdate() && !p.timer()->isActive());
        s.session.showPage(MountSession::Page::Guiding);
        p.setChecked(false);
        QVERIFY(!p.autoUpdate() && !p.timer()->isActive());
    }

    // A page change asks the sidereal time (let go: arriving in the pause it is
    // flushed, never shown), waits 100 ms and asks the page's own; dispatch is armed
    // again even after a manual command.
    void eachPageAsksForItsOwn() {
        Session s("3.20 CORV#");
        Channel& ch = SessionAccess::channel(s.session);
        QVector<int> awaitedDuringPause;
        ch.expectManualCommand();
        QStringList timelines;
        for (auto [page, reply] :
             {std::pair(MountSession::Page::Pec, QByteArray(10, '\x81')),
              std::pair(MountSession::Page::Guiding, QByteArray("05:34.5#+45*30#")),
              std::pair(MountSession::Page::Settings, QByteArray(16, '\0'))}) {
            s.port->clearWrites();
            s.clock.onPause = [&](int) {
                awaitedDuringPause << ch.awaitedCount();
                s.port->feed("12:00:00#");
            };
            s.session.showPage(page);
            s.clock.onPause = nullptr;
            timelines << s.port->timeline().join(' ');
            if (page == MountSession::Page::Pec)
                QCOMPARE(ch.awaitedKind() * 100 + ch.awaitedCount(), kPecStateKind * 100 + 10);
            QVERIFY(page != MountSession::Page::Guiding || !s.session.position().ra());
            s.reply(reply);
        }
        QCOMPARE(timelines, QStringList({"0: #:GS# 100: #:VS#", "0: #:GS# 100: #:GR##:GD#",
                                         "0: #:GS# 100: #:VX#"}));
        QCOMPARE(awaitedDuringPause, QVector<int>(3, 9));
        QCOMPARE(s.session.position().raText() + s.session.position().decText(), "05:34.5+45*30");
    }

    // A tick estimates the time to the target, waits 50 ms and asks the position;
    // one that finds a reply on its way sends nothing, then or later.
    void aTickNeverStacksRequests() {
        Session s;
        s.session.configuration().setText(SettingList::GotoSpeed, QStringLiteral("1X"));
        s.session.line().request(positionQuery(), s.session.position().positionReply());
        s.reply("23:00.0#+00*00#");
        s.session.target().setRa(BoardRa{600});
        s.port->clearWrites();
        s.clock.pauses.clear();
        const qint64 start = s.clock.now;
        s.session.polling().tick();
        QCOMPARE(s.session.polling().estimate().text, QStringLiteral("Time to target 120:00"));
        QCOMPARE(s.clock.pauses, QVector<int>({50}));
        QCOMPARE(s.port->timeline(), QStringList{"0: #:GR##:GD#"});
        QCOMPARE(s.port->writes[0].atMs, start + 50);
        s.session.polling().tick(); // the reply is on its way
        s.reply("05:34.5#+45*30#");
        QCOMPARE(s.sent(), QStringList{"#:GR##:GD#"}); // nothing stacked behind it
        QCOMPARE(s.session.position().ra()->tenths, 5 * 600 + 345);
    }
};

QTEST_GUILESS_MAIN(TestGuiding)
#include "test_guiding.moc"
