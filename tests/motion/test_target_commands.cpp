// The target commands on the wire: exact bytes, order, spacing and the reply
// each one awaits.
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"
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
    // Each write as "time: command", time relative to the first write.
    QStringList timeline() const {
        QStringList out;
        for (const auto& w : port.writes)
            out << QStringLiteral("%1: %2")
                       .arg(w.atMs - port.writes.first().atMs)
                       .arg(QString::fromLatin1(w.bytes));
        return out;
    }
};

enum Press { Set, Goto, Sync, Get };

} // namespace

Q_DECLARE_METATYPE(Press)

class TestTargetCommands : public QObject {
    Q_OBJECT
private slots:
    // Every pause is 100 ms; the target degrees keep their sign, even at -00.
    void eachCommandOnTheWire_data() {
        QTest::addColumn<Press>("press");
        QTest::addColumn<QStringList>("timeline");
        QTest::addColumn<qint16>("awaited");
        QTest::addColumn<int>("count");
        QTest::newRow("set: RA then DEC")
            << Set << QStringList({"0: #:Sr 05:34.5#", "100: #:Sd -00*30#"}) << ReplyKind::SetTarget
            << 1;
        // Its answer must not be read as a position.
        QTest::newRow("goto: only the slew")
            << Goto << QStringList({"0: #:MS#"}) << ReplyKind::SetTarget << 1;
        QTest::newRow("sync, then the position")
            << Sync
            << QStringList(
                   {"0: #:Sr 05:34.5#", "100: #:Sd -00*30#", "200: #:CM#", "300: #:GR##:GD#"})
            << ReplyKind::Position << 15;
        QTest::newRow("get: the controller's target")
            << Get << QStringList({"0: #:Gr##:Gd#"}) << ReplyKind::ControllerTarget << 14;
    }
    void eachCommandOnTheWire() {
        QFETCH(Press, press);
        QFETCH(QStringList, timeline);
        QFETCH(qint16, awaited);
        QFETCH(int, count);
        const TargetFieldTexts target{QStringLiteral("05"), QStringLiteral("34.5"),
                                      QStringLiteral("-00"), QStringLiteral("30")};
        Wire w;
        w.channel.expect(ReplyFormat::Hex, ReplyKind::Position, 15); // polling was on
        if (press == Set)
            setObject(w.channel, target);
        else if (press == Goto)
            gotoObject(w.channel);
        else if (press == Sync)
            syncObject(w.channel, target);
        else
            getObject(w.channel);
        QCOMPARE(w.timeline(), timeline);
        QCOMPARE(w.clock.pauses, QVector<int>(timeline.size() - 1, 100));
        QCOMPARE(w.channel.awaitedKind(), awaited);
        QCOMPARE(w.channel.awaitedCount(), count);
        QCOMPARE(w.channel.replyFormat(), ReplyFormat::Text);
    }
};

QTEST_GUILESS_MAIN(TestTargetCommands)
#include "test_target_commands.moc"
