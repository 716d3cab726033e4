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

const TargetFieldTexts kTarget{QStringLiteral("05"), QStringLiteral("34.5"), QStringLiteral("+45"),
                               QStringLiteral("30")};

} // namespace

class TestTargetCommands : public QObject {
    Q_OBJECT
private slots:
    void commandTexts_data() {
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QString>("ra");
        QTest::addColumn<QString>("dec");
        QTest::newRow("north") << "+45"
                               << "#:Sr 05:34.5#"
                               << "#:Sd +45*30#";
        QTest::newRow("south") << "-23"
                               << "#:Sr 05:34.5#"
                               << "#:Sd -23*30#";
        QTest::newRow("just south of the equator") << "-00"
                                                   << "#:Sr 05:34.5#"
                                                   << "#:Sd -00*30#";
    }
    void commandTexts() {
        QFETCH(QString, degrees);
        QFETCH(QString, ra);
        QFETCH(QString, dec);
        TargetFieldTexts t = kTarget;
        t.degrees = degrees;
        QCOMPARE(setRACommand(t), ra);
        QCOMPARE(setDECCommand(t), dec);
    }

    void setObjectSendsRaThenDec() {
        Wire w;
        w.channel.expect(ReplyFormat::Hex, ReplyKind::Position, 15);
        setObject(w.channel, kTarget);
        QCOMPARE(w.timeline(), QStringList({"0: #:Sr 05:34.5#", "100: #:Sd +45*30#"}));
        QCOMPARE(w.channel.awaitedKind(), ReplyKind::SetTarget);
        QCOMPARE(w.channel.awaitedCount(), 1);
        QCOMPARE(w.channel.replyFormat(), ReplyFormat::Text);
    }

    void gotoSendsOnlyTheSlew() {
        Wire w;
        w.channel.expect(ReplyFormat::Hex, ReplyKind::Position, 15); // polling was on
        gotoObject(w.channel);
        QCOMPARE(w.timeline(), QStringList({"0: #:MS#"}));
        QVERIFY(w.clock.pauses.isEmpty());
        QCOMPARE(w.channel.replyFormat(), ReplyFormat::Text);
        QCOMPARE(w.channel.awaitedCount(), 1);
        // Its answer must not be read as a position.
        QCOMPARE(w.channel.awaitedKind(), ReplyKind::SetTarget);
    }

    void syncSpacesItsCommandsThenAsksForThePosition() {
        Wire w;
        syncObject(w.channel, kTarget);
        QCOMPARE(w.timeline(), QStringList({"0: #:Sr 05:34.5#", "100: #:Sd +45*30#", "200: #:CM#",
                                            "300: #:GR##:GD#"}));
        QCOMPARE(w.clock.pauses, QVector<int>({100, 100, 100}));
        QCOMPARE(w.channel.awaitedKind(), ReplyKind::Position);
        QCOMPARE(w.channel.awaitedCount(), 15);
    }

    void getObjectAsksForTheControllersTarget() {
        Wire w;
        getObject(w.channel);
        QCOMPARE(w.timeline(), QStringList({"0: #:Gr##:Gd#"}));
        QCOMPARE(w.channel.awaitedKind(), ReplyKind::ControllerTarget);
        QCOMPARE(w.channel.awaitedCount(), 14);
        QCOMPARE(w.channel.replyFormat(), ReplyFormat::Text);
    }
};

QTEST_GUILESS_MAIN(TestTargetCommands)
#include "test_target_commands.moc"
