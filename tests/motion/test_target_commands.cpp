// The target commands on the wire: exact bytes, order, spacing and the reply
// each one awaits.
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"
#include "motion/MountPosition.h"
#include "motion/Target.h"
#include "motion/TargetCommands.h"

#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Wire {
    FakeClock clock;
    FakeSerialPort port{&clock};
    Channel channel{clock};
    Wire() {
        channel.setPort(&port);
        QString error;
        port.open(&error);
        clock.now = 1000;
    }
};

} // namespace

class TestTargetCommands : public QObject {
    Q_OBJECT
private slots:
    // Every pause is 100 ms; the target degrees keep their sign, even at -00.
    // The goto's answer must not be read as a position; the sync ends with one.
    void eachCommandOnTheWire() {
        const TargetFieldTexts target{QStringLiteral("05"), QStringLiteral("34.5"),
                                      QStringLiteral("-00"), QStringLiteral("30")};
        const std::tuple<std::function<void(Channel&)>, QStringList, qint16, int> cases[] = {
            {[&](Channel& c) { setObject(c, target); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#"},
             AwaitedKind::Acknowledgement,
             1},
            {gotoObject, {"0: #:MS#"}, AwaitedKind::Acknowledgement, 1},
            {[&](Channel& c) { syncObject(c, target); },
             {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#", "200: #:CM#", "300: #:GR##:GD#"},
             PositionKind::Position,
             15},
            {getObject, {"0: #:Gr##:Gd#"}, kControllerTargetKind, 14}};
        for (const auto& [press, timeline, awaited, count] : cases) {
            Wire w;
            Query raw = positionQuery(); // a raw reply was awaited last
            raw.form = ReplyForm::Raw;
            w.channel.expect(raw);
            press(w.channel);
            QCOMPARE(w.port.timeline(), timeline);
            QCOMPARE(w.clock.pauses, QVector<int>(timeline.size() - 1, 100));
            QCOMPARE(w.channel.awaitedKind(), awaited);
            QCOMPARE(w.channel.awaitedCount(), count);
            QCOMPARE(w.channel.replyForm(), ReplyForm::Text);
        }
    }
};

QTEST_GUILESS_MAIN(TestTargetCommands)
#include "test_target_commands.moc"
