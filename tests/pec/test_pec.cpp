// PEC: the state in words, the speeds rebuilt from the table codes, the CSV
// file and its checks, and the exchanges on the wire.
#include "common/Wire.h"
#include "pec/PecFile.h"
#include "pec/PecState.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// 256 codes of every kind, the speed running past both limits.
const QString kCodes =
    QString(20, '1') + QString(40, '2') + QString("0123456789").repeated(20).left(196);

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
    // The status byte in words ("=" leaves the label: a mode it does not know, a cut);
    // the factor byte read as the table view reads it.
    void state() {
        QStringList labels;
        for (const QString status : {"80", "81", "03", "91", "85", "8A", "8"}) {
            const QString reply =
                "10 20 30 40 50 " + status + (status.size() == 2 ? " 70 80 90 07 " : "");
            const PecState state = decodePecState(QByteArray::fromHex(reply.toLatin1()));
            labels << pecStateLabel(state).value_or("=");
            QCOMPARE(state.factor(), reply.size() == 30 ? 7 : 0);
        }
        QCOMPARE(labels,
                 QStringList({"PEC State OK, PEC Off ", "PEC State OK, PEC Enabled By Paddle",
                              "PEC State Not OK, PEC Enabled By Paddle and Serial Port",
                              "PEC State Not OK, PEC Enabled By Paddle", "PEC Training in Progress",
                              "=", "="}));
        QStringList factors;
        for (const char* byte : {"05", "12", "1A", "0A", "A5", "99"})
            factors << QString::number(
                decodePecState(QByteArray::fromHex(QByteArray("000000000000000000") + byte))
                    .factor());
        QCOMPARE(factors.join(' '), QString("5 12 1 0 0 99"));
    }

    // The commands, then the state query (read even after the terminal).
    void commandsOnTheWire() {
        const std::tuple<const char*, std::function<void(BoardLine&)>, QString> cases[] = {
            {"enable", [](BoardLine& c) { switchPec(c, true, {}); }, "0: #1P|0: #:VS#"},
            {"disable", [](BoardLine& c) { switchPec(c, false, {}); }, "0: #0P|0: #:VS#"},
            {"factor 7", [](BoardLine& c) { setPecFactor(c, "7", {}); }, "0: #7p|0: #:VS#"},
            {"factor 10", [](BoardLine& c) { setPecFactor(c, "10", {}); }, "0: #:VS#"},
            {"stop training", [](BoardLine& c) { stopPecTraining(c, {}); },
             "0: #-0P|0: #:XYR|0: #:VS#"},
            {"clear", [](BoardLine& c) { startPecTraining(c, PromptAnswer::Yes); }, "0: #-1P"},
            {"clear, old firmware", [](BoardLine& c) { startPecTraining(c, PromptAnswer::Ok); },
             "0: #-1P"}};
        for (const auto& [name, act, sent] : cases) {
            Wire w;
            w.channel.expectManualCommand(); // what the terminal left behind
            act(w.line);
            QCOMPARE(w.port.timeline().join('|'), sent);
            QVERIFY2((w.channel.awaitedKind() == kPecStateKind) == sent.endsWith("#:VS#"), name);
        }
    }

    // Each step's requested speed (">" the real one where it differs); a whole table
    // as saved and as the column view shows it.
    void tables() {
        QStringList got;
        const std::pair<const char*, int> cases[] = {
            {"110231", 5}, {"1456789", 2}, {"11111111112", 5}, {"222222222222", 5}, {"11x1", 5}};
        for (const auto& [reply, factor] : cases) {
            const PecTable t = decodePecTable(reply, factor);
            QStringList speeds;
            for (const PecRow& r : t.rows)
                speeds << QString::number(r.requested) +
                              (r.actual == r.requested ? "" : ">" + QString::number(r.actual));
            got << speeds.join(' ');
            QCOMPARE(pecChartPoints(t).last(), QPointF(t.rows.size() - 1, t.rows.last().actual));
        }
        QCOMPARE(got, QStringList({"5 10 10 5 0 5", "2 2 2 2 2 2 2", // sum and reset, other codes
                                   "5 10 15 20 25 30 35 40 45 50>47 45",
                                   "-5 -10 -15 -20 -25 -30 -35 -40 -45 -50>-47 -55>-47 -60>-47",
                                   "5 10"})); // a non-digit ends the table
        const PecTable t = decodePecTable(QString(300, '0'), 3);
        QCOMPARE(pecCsvText(t).split("\r\n").mid(1), QStringList(256, "3, 0, 0, 0, 47, -47") << "");
        QStringList view;
        for (int step = 0; step < 256; ++step)
            view << QString::asprintf("%03d\t3\t0\t0\t0\t47\t-47", step);
        QCOMPARE(pecColumnView(t).split("\r\n").mid(1), view << "");
    }

    // A saved table's file ends each line with CR LF and restores its factor and
    // codes; ".csv" is added to a name without an extension.
    void savedTableRestoresItsFactorAndCodes() {
        QString error;
        QVERIFY(writePecCsv(path("round.csv"), pecCsvText(decodePecTable(kCodes, 7)), &error));
        QFile saved(path("round.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes.count('\n') * 1000 + bytes.count("\r\n"), 258 * 1001);
        const auto plan = readRestoreFile(path("round.csv"), &error);
        QVERIFY2(plan, qPrintable(error));
        QString codes = QString::number(plan->factor) + ':';
        for (const int code : plan->codes)
            codes += QString::number(code);
        QCOMPARE(codes, "7:" + kCodes);
        QCOMPARE(plan->echoText, "7" + kCodes.split("").join("\r\n")); // "7" CR LF "1" CR LF ...
        QStringList names;
        for (const char* name : {"/d/pec", "/d/pec.txt", "pec.cs", "a.b", ".ab", ""})
            names << withCsvExtension(name);
        QCOMPARE(names.join('|'), "/d/pec.csv|/d/pec.txt|pec.cs.csv|a.b.csv|.ab|");
    }

    // The whole file is checked before anything is sent; files not regular are left alone.
    void restoreChecksTheWholeFile() {
        QStringList got;
        for (const QByteArray& content :
             {pecFile(), pecFile().replace("\r\n", "\n"), pecFile(57, "5,1").append("extra"),
              pecFile().chopped(21), pecFile(2, "0, 1, 0, 0, 47, -47"),
              pecFile(2, "12, 1, 12, 12, 47, -47"), pecFile(57, "5, x, 5"), pecFile(57, "5, 12, 5"),
              pecFile(57, "5,  1, 5"), pecFile(57, "5,")}) {
            QFile f(path("check.csv"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) >= 0 && f.flush());
            QString message;
            got << (readRestoreFile(path("check.csv"), &message) ? "restored" + message : message);
        }
        QCOMPARE(got, QStringList({"restored", "restored", "restored",
                                   "The PEC file ends at line 256; a PEC table takes 257 lines: a "
                                   "header and one for each of the 256 steps."}) +
                          QStringList(2, "Line 2 of the PEC file does not begin with a PEC factor "
                                         "from 1 to 9.") +
                          QStringList(4, "Line 57 of the PEC file holds no table code."));
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.csv")).constData(), 0600) == 0);
        QString error;
        QVERIFY(!readRestoreFile(path("fifo.csv"), &error) && error.contains("not a regular"));
        QVERIFY(!writePecCsv(path("fifo.csv"), "x", &error) && error.contains("not a regular"));
        QVERIFY(!readRestoreFile(path("none.csv"), &error) && error.contains("does not exist"));
        QVERIFY(!writePecCsv(path("no/dir/p.csv"), "x", &error) && error.startsWith("Could not"));
    }

    // The factor, 256 codes 20 ms apart, the store and the state query, even through
    // STOP; a closed port or half a table writes nothing.
    void restoreWritesTheWholeTableEvenThroughStop() {
        Wire w;
        RestorePlan plan{7, QVector<int>(256, 1), {}};
        plan.codes[255] = 3;
        QVector<int> progress;
        connect(&w.line, &BoardLine::progress, this,
                [&](int value, int total) { progress << value * 1000 + total; });
        w.clock.onPause = [&](int) {
            if (w.clock.pauses.size() == 100)
                w.channel.runner().cancel();
        };
        QVERIFY(w.channel.run(pecRestoreSequence(w.line, plan, {})));
        QStringList expected{"0: #7p#"};
        QVector<int> expectedProgress;
        for (int n = 0; n < 256; ++n) {
            expected << QStringLiteral("%1: #%2:XR%3#").arg(n * 20).arg(n).arg(n < 255 ? 1 : 3);
            expectedProgress << n * 1000 + 256;
        }
        expected << "5120: #:XYR#"
                 << "5140: Y"
                 << "5160: #:VS#";
        QCOMPARE(w.port.timeline(), expected);
        QCOMPARE(progress, expectedProgress);

        Wire closed;
        closed.port.close();
        QCOMPARE(*closed.run(pecRestoreSequence(closed.line, plan, {})), SequenceResult::Cancelled);
        w.port.feed(QByteArray(10, '\x81')); // the state query that ended the restore
        QTRY_VERIFY_WITH_TIMEOUT(!w.channel.isLineBusy(), 1000);
        const RestorePlan half{7, QVector<int>(100, 1), {}};
        QCOMPARE(*w.run(pecRestoreSequence(w.line, half, {})), SequenceResult::Cancelled);
        QCOMPARE(w.port.writes.size() + closed.port.writes.size(), 260);
    }

    // 256 queries, the answers collected as one reply; 44 missing time out.
    void readout() {
        for (const int answers : {256, 212}) {
            Wire w;
            w.port.responder = [&](const QByteArray& cmd) {
                const int step = cmd.mid(1, cmd.indexOf(':') - 1).toInt();
                return step < answers ? QByteArray(1, kCodes.at(step).toLatin1()) : QByteArray();
            };
            w.port.feed("stale"); // flushed once, before the first query
            const auto result = w.run(pecReadoutSequence(w.line, w.keep()));
            QCOMPARE(w.port.writes.size(), 256);
            QCOMPARE(w.port.writtenCommands().last(), "#255:VR#");
            QVERIFY(!w.channel.run(pecReadoutSequence(w.line, w.keep())));
            QTest::qWait(30);
            w.clock.advance(10000);
            QCOMPARE(w.replies,
                     answers == 256 ? QList<QByteArray>{kCodes.toLatin1()} : QList<QByteArray>());
            QCOMPARE(*result, answers == 256 ? SequenceResult::Done : SequenceResult::TimedOut);
        }
    }
};

QTEST_GUILESS_MAIN(TestPec)
#include "test_pec.moc"
