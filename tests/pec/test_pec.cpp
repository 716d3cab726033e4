// PEC: the state in words, the speeds rebuilt from the table codes, the CSV
// file and its checks, and the exchanges on the wire.
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "link/Channel.h"
#include "pec/PecFile.h"
#include "pec/PecState.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Wire {
    FakeClock clock;
    FakeSerialPort port{&clock};
    Channel channel{clock};
    QStringList replies; // table receptions dispatched
    Wire() {
        channel.setPort(&port);
        port.open(nullptr);
        channel.armDispatch();
        channel.dispatcher().subscribe(ReplyKind::PecTable, &channel,
                                       [this](const QString& r) { replies << r; });
    }
    QStringList timeline() const { // "ms: command"
        QStringList out;
        for (const auto& w : port.writes)
            out << QStringLiteral("%1: %2").arg(w.atMs).arg(QString::fromLatin1(w.bytes));
        return out;
    }
};

QString stateReply(uchar status) {
    return Channel::hexText(QByteArray::fromHex("1020304050") + char(status) + "\x70\x80\x90\x07");
}

// 256 codes of every kind, the speed running past both limits.
const QString kCodes = [] {
    QString s;
    for (int i = 0; i < kPecSteps; ++i)
        s += QChar('0' + (i < 20 ? 1 : i < 60 ? 2 : (i * 7) % 10));
    return s;
}();

// The header and 256 lines as saved, one of them replaced.
QByteArray pecFile(int line = 0, const QByteArray& text = {}) {
    QByteArray out = "Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r\n";
    for (int n = 2; n <= 257; ++n)
        out += (n == line ? text : QByteArray("5, 1, 5, 5, 47, -47")) + "\r\n";
    return out;
}

} // namespace

class TestPec : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void stateLabel_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("label"); // "=": left as it was
        QTest::newRow("80") << stateReply(0x80) << "PEC State OK, PEC Off ";
        QTest::newRow("81") << stateReply(0x81) << "PEC State OK, PEC Enabled By Paddle";
        QTest::newRow("03") << stateReply(0x03)
                            << "PEC State Not OK, PEC Enabled By Paddle and Serial Port";
        QTest::newRow("91") << stateReply(0x91) << "PEC State Not OK, PEC Enabled By Paddle";
        QTest::newRow("85") << stateReply(0x85) << "PEC Training in Progress";
        QTest::newRow("8A") << stateReply(0x8A) << "=";
        QTest::newRow("cut in byte 6") << stateReply(0x81).left(16) << "=";
    }
    void stateLabel() {
        QFETCH(QString, reply);
        QFETCH(QString, label);
        const PecState state = decodePecState(reply);
        QCOMPARE(state.label.value_or("="), label);
        QCOMPARE(state.fields.size(), 10);
        QCOMPARE(state.fields.last(), reply.size() == 30 ? "07" : "");
    }

    void factorField() {
        const std::pair<const char*, int> cases[] = {{"05", 5}, {"12", 12}, {"0A", 0},
                                                     {"A5", 0}, {"9", 9},   {"", 0}};
        for (const auto& [field, factor] : cases)
            QCOMPARE(pecFactorFromField(field), factor);
    }

    void commandsOnTheWire() {
        const auto train = [](PromptAnswer a) {
            return [a](Channel& c) { startPecTraining(c, a); };
        };
        const auto factor = [](const char* t) { return [t](Channel& c) { setPecFactor(c, t); }; };
        const std::tuple<const char*, std::function<void(Channel&)>, QStringList> cases[] = {
            {"enable", [](Channel& c) { switchPec(c, true); }, {"#1P", "#:VS#"}},
            {"disable", [](Channel& c) { switchPec(c, false); }, {"#0P", "#:VS#"}},
            {"factor 7", factor("7"), {"#7p", "#:VS#"}},
            {"factor 10", factor("10"), {"#:VS#"}},
            {"stop training", stopPecTraining, {"#-0P", "#:XYR", "#:VS#"}},
            {"clear", train(PromptAnswer::Yes), {"#-1P"}},
            {"clear, old firmware", train(PromptAnswer::Ok), {"#-1P"}},
            {"touch up", train(PromptAnswer::No), {"#-2P"}},
            {"cancel", train(PromptAnswer::Cancel), {}},
        };
        for (const auto& [name, act, sent] : cases) {
            Wire w;
            w.channel.expectTerminalReply(); // dispatch disarmed by the terminal
            act(w.channel);
            QStringList atOnce; // nothing waits between the commands
            for (const QString& c : sent)
                atOnce << "0: " + c;
            QVERIFY2(w.timeline() == atOnce, name);
            const bool asksState = sent.endsWith("#:VS#");
            QVERIFY2((w.channel.awaitedKind() == ReplyKind::PecState) == asksState, name);
            if (QByteArray(name).endsWith("able")) // the state is decoded after the terminal
                QVERIFY2(w.channel.isDispatchArmed(), name);
        }
    }

    void speeds_data() { // requested speeds, then the real ones where they differ
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("actual");
        QTest::newRow("sum and reset") << "110231" << 5 << "5 10 10 5 0 5" << QString();
        QTest::newRow("other codes") << "1456789" << 2 << "2 2 2 2 2 2 2" << QString();
        QTest::newRow("above 47") << "11111111112" << 5 << "5 10 15 20 25 30 35 40 45 50 45"
                                  << "5 10 15 20 25 30 35 40 45 47 45";
        QTest::newRow("below -47")
            << "222222222222" << 5 << "-5 -10 -15 -20 -25 -30 -35 -40 -45 -50 -55 -60"
            << "-5 -10 -15 -20 -25 -30 -35 -40 -45 -47 -47 -47";
        QTest::newRow("non-digit") << "11x1" << 5 << "5 10" << QString();
    }
    void speeds() {
        QFETCH(QString, reply);
        QFETCH(int, factor);
        QFETCH(QString, requested);
        QFETCH(QString, actual);
        const PecTable t = decodePecTable(reply, factor);
        const auto text = [&t](int PecRow::*field) {
            QStringList out;
            for (const PecRow& r : t.rows)
                out << QString::number(r.*field);
            return out.join(' ');
        };
        QCOMPARE(text(&PecRow::requested), requested);
        QCOMPARE(text(&PecRow::actual), actual.isEmpty() ? requested : actual);
        QCOMPARE(pecChartPoints(t).last(), QPointF(t.rows.size() - 1, t.rows.last().actual));
    }

    void viewsOfAWholeTable() {
        const PecTable t = decodePecTable(QString(300, '0'), 3);
        QVERIFY(t.isComplete());
        const QStringList csv = pecCsvText(t).split("\r\n");
        QCOMPARE(csv.mid(1), QStringList(256, "3, 0, 0, 0, 47, -47") << "");
        const QStringList view = pecColumnView(t).split("\r\n"); // a header, 256 steps, ""
        QCOMPARE(view.size(), 258);
        for (int step = 0; step < 256; ++step)
            QCOMPARE(view.at(step + 1), QString::asprintf("%03d\t3\t0\t0\t0\t47\t-47", step));
    }

    void csvExtension() {
        const std::pair<const char*, const char*> cases[] = {
            {"/d/pec", "/d/pec.csv"}, {"/d/pec.txt", "/d/pec.txt"},
            {"pec.cs", "pec.cs.csv"}, {"a.b", "a.b.csv"},
            {".ab", ".ab"},           {"", ""}};
        for (const auto& [name, saved] : cases)
            QCOMPARE(withCsvExtension(name), saved);
    }

    void savedTableRestoresItsFactorAndCodes() {
        QString error;
        QVERIFY(writePecCsv(path("round.csv"), pecCsvText(decodePecTable(kCodes, 7)), &error));
        const auto plan = readRestoreFile(path("round.csv"), &error);
        QVERIFY2(plan, qPrintable(error));
        QCOMPARE(plan->factor, 7);
        QString codes;
        for (const int code : plan->codes)
            codes += QString::number(code);
        QCOMPARE(codes, kCodes);
        QCOMPARE(plan->echoText, "7" + kCodes.split("").join("\r\n")); // "7" CR LF "1" CR LF ...
    }

    void restoreChecksTheWholeFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error"); // empty: restored
        const QString factor =
            "Line 2 of the PEC file does not begin with a PEC factor from 1 to 9.";
        const QString line57 = "Line 57 of the PEC file holds no table code.";
        QTest::newRow("as saved") << pecFile() << "";
        QTest::newRow("LF only") << pecFile().replace("\r\n", "\n") << "";
        QTest::newRow("no blanks, code alone") << pecFile(57, "5,1").append("extra") << "";
        QTest::newRow("short") << pecFile().chopped(21) // the last line
                               << "The PEC file ends at line 256; a PEC table takes 257 lines: a "
                                  "header and one for each of the 256 steps.";
        QTest::newRow("factor 0") << pecFile(2, "0, 1, 0, 0, 47, -47") << factor;
        QTest::newRow("factor 12") << pecFile(2, "12, 1, 12, 12, 47, -47") << factor;
        QTest::newRow("letter") << pecFile(57, "5, x, 5") << line57;
        QTest::newRow("two digits") << pecFile(57, "5, 12, 5") << line57;
        QTest::newRow("two blanks") << pecFile(57, "5,  1, 5") << line57;
        QTest::newRow("cut") << pecFile(57, "5,") << line57;
    }
    void restoreChecksTheWholeFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QFile f(path("check.csv"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) >= 0);
        f.close();
        QString message;
        const auto plan = readRestoreFile(path("check.csv"), &message);
        QCOMPARE(message, error);
        QCOMPARE(plan.has_value(), error.isEmpty());
    }

    void filesThatAreNotRegularAreLeftAlone() {
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.csv")).constData(), 0600) == 0);
        QString error;
        QVERIFY(!readRestoreFile(path("fifo.csv"), &error) && error.contains("not a regular"));
        QVERIFY(!writePecCsv(path("fifo.csv"), "x", &error) && error.contains("not a regular"));
        QVERIFY(!readRestoreFile(path("none.csv"), &error) && error.contains("does not exist"));
        QVERIFY(!writePecCsv(path("no/dir/p.csv"), "x", &error) && error.startsWith("Could not"));
    }

    void restoreWritesTheWholeTableEvenThroughStop() {
        Wire w;
        RestorePlan plan{7, QVector<int>(256, 1), {}};
        plan.codes[255] = 3;
        QVector<int> progress;
        connect(&w.channel.runner(), &SequenceRunner::progress, this,
                [&](int value, int total) { progress << value * 1000 + total; });
        w.clock.onPause = [&](int) { // STOP pressed during a pause
            if (w.clock.pauses.size() == 100)
                w.channel.runner().cancel();
        };
        QVERIFY(w.channel.run(pecRestoreSequence(w.channel, plan)));
        QStringList expected{"0: #7p#"};
        QVector<int> expectedProgress;
        for (int n = 0; n < 256; ++n) {
            expected << QStringLiteral("%1: #%2:XR%3#").arg(n * 20).arg(n).arg(n < 255 ? 1 : 3);
            expectedProgress << n * 1000 + 256;
        }
        QCOMPARE(w.timeline(), expected << "5120: #:XYR#"
                                        << "5140: Y"
                                        << "5160: #:VS#");
        QCOMPARE(progress, expectedProgress);

        Wire closed; // a closed port or half a table: nothing written, not done
        closed.port.close();
        SequenceResult result = SequenceResult::Done;
        closed.channel.run(
            pecRestoreSequence(closed.channel, plan).onEnd([&](SequenceResult r) { result = r; }));
        QCOMPARE(result, SequenceResult::Cancelled);
        result = SequenceResult::Done;
        w.port.feed(QByteArray(10, '\x81')); // the state query that ended the restore
        QTRY_VERIFY_WITH_TIMEOUT(!w.channel.isLineBusy(), 1000);
        w.channel.run(pecRestoreSequence(w.channel, {7, QVector<int>(100, 1), {}})
                          .onEnd([&](SequenceResult r) { result = r; }));
        QCOMPARE(result, SequenceResult::Cancelled);
        QCOMPARE(w.port.writes.size(), 260);
    }

    void readout_data() {
        QTest::addColumn<int>("answers");
        QTest::newRow("all answered") << 256;
        QTest::newRow("44 missing") << 212;
    }
    void readout() {
        QFETCH(int, answers);
        Wire w;
        w.port.responder = [&](const QByteArray& cmd) {
            const int step = cmd.mid(1, cmd.indexOf(':') - 1).toInt();
            return step < answers ? QByteArray(1, kCodes.at(step).toLatin1()) : QByteArray();
        };
        SequenceResult result = SequenceResult::Cancelled;
        w.port.feed("stale"); // flushed once, before the first query
        w.channel.run(pecReadoutSequence(w.channel).onEnd([&](SequenceResult r) { result = r; }));
        QCOMPARE(w.port.writes.size(), 256);
        QCOMPARE(w.port.writtenCommands().last(), "#255:VR#");
        QVERIFY(!w.channel.run(pecReadoutSequence(w.channel))); // one at a time
        QTest::qWait(30);
        w.clock.advance(10000);
        // A flush between the queries would have lost the answers before it.
        QCOMPARE(w.replies, answers == 256 ? QStringList{kCodes} : QStringList());
        QCOMPARE(result, answers == 256 ? SequenceResult::Done : SequenceResult::TimedOut);
    }
};

QTEST_GUILESS_MAIN(TestPec)
#include "test_pec.moc"
