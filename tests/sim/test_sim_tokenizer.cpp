// How the simulated board cuts its input stream into commands.
#include "sim/CommandTokenizer.h"

#include <QtTest>

using namespace corvane::sim;

namespace {

// The commands as they were recognised, joined by "|".
QString cut(const QByteArray& stream) {
    CommandTokenizer t;
    QStringList out;
    for (const BoardCommand& c : t.feed(stream))
        out << QString::fromLatin1(c.raw);
    return out.join(QLatin1Char('|'));
}

} // namespace

class TestSimTokenizer : public QObject {
    Q_OBJECT
private slots:
    void cutsTheProgramsCommands_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("commands");
        QTest::newRow("position poll") << QByteArray("#:GR##:GD#") << "#:GR#|#:GD#";
        QTest::newRow("split dump") << QByteArray("#<:VX##>:VX#") << "#<:VX#|#>:VX#";
        QTest::newRow("set target")
            << QByteArray("#:Sr 05:34.5##:Sd +45*30#") << "#:Sr 05:34.5#|#:Sd +45*30#";
        QTest::newRow("stop find") << QByteArray("#:Mn:Q#") << "#:Mn:Q#";
        QTest::newRow("pulse") << QByteArray("#:Q##:Mgn500#") << "#:Q#|#:Mgn500#";
        QTest::newRow("find after stop") << QByteArray("#:Q#F") << "#:Q#|F";
        QTest::newRow("store alone") << QByteArray("Y") << "Y";
        QTest::newRow("no closing marks")
            << QByteArray("#>I#<I#>G#<-G#<G#<X#>X#<x#>x#>1R#<1R#>R#<R")
            << "#>I|#<I|#>G|#<-G|#<G|#<X|#>X|#<x|#>x|#>1R|#<1R|#>R|#<R";
        QTest::newRow("numbers and letters") << QByteArray("#120g#1M#0M#-1M#1m#0m#-1m#250B#32b")
                                             << "#120g|#1M|#0M|#-1M|#1m|#0m|#-1m|#250B|#32b";
        QTest::newRow("empty numbers") << QByteArray("#g#W#w#B#b#d") << "#g|#W|#w|#B|#b|#d";
        QTest::newRow("speeds and tracking")
            << QByteArray("#4:Ss1##-1T##2T#") << "#4:Ss1#|#-1T|#2T";
        QTest::newRow("factor then state") << QByteArray("#7p#:VS#") << "#7p|#:VS#";
        QTest::newRow("factor with mark") << QByteArray("#7p##0:XR1#") << "#7p|#0:XR1#";
        QTest::newRow("training stop") << QByteArray("#-0P#:XYR#:VS#") << "#-0P|#:XYR|#:VS#";
        QTest::newRow("restore end")
            << QByteArray("#255:XR3##:XYR#Y#:VS#") << "#255:XR3#|#:XYR|Y|#:VS#";
        QTest::newRow("table reads")
            << QByteArray("#0:VR##1:VR##255:VR#") << "#0:VR#|#1:VR#|#255:VR#";
        QTest::newRow("train and touch up") << QByteArray("#-1P#-2P#1P#0P") << "#-1P|#-2P|#1P|#0P";
        QTest::newRow("focus and fan")
            << QByteArray("#:F+##:FQ##:FF##:f+##:f-#") << "#:F+#|#:FQ#|#:FF#|#:f+#|#:f-#";
        QTest::newRow("settings replay")
            << QByteArray("#<-G#1:Ss0##2:Ss1##4:Ss2##0T##>X#<x#132g#80d#180W#138w#272B#-1M#32b#1mY")
            << "#<-G|#1:Ss0#|#2:Ss1#|#4:Ss2#|#0T|#>X|#<x|#132g|#80d|#180W|#138w|#272B|#-1M|"
               "#32b|#1m|Y";
    }
    void cutsTheProgramsCommands() {
        QFETCH(QByteArray, stream);
        QFETCH(QString, commands);
        QCOMPARE(cut(stream), commands);
    }

    void readsPlainLx200_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("commands");
        QTest::newRow("queries") << QByteArray(":GR#:GD#:Q#") << ":GR#|:GD#|:Q#";
        QTest::newRow("set without blank")
            << QByteArray(":Sr10:30.0#:Sd+20*00#") << ":Sr10:30.0#|:Sd+20*00#";
        QTest::newRow("precision") << QByteArray(":U#:GR#") << ":U#|:GR#";
        QTest::newRow("alignment query") << QByteArray("\x06:GR#") << "\x06|:GR#";
    }
    void readsPlainLx200() {
        QFETCH(QByteArray, stream);
        QFETCH(QString, commands);
        QCOMPARE(cut(stream), commands);
    }

    void skipsNoiseAndKeepsTheCommandsAroundIt_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("commands");
        QTest::newRow("bytes between") << QByteArray("\x00#:GR#\xff\r\n#:GD#", 14) << "#:GR#|#:GD#";
        QTest::newRow("stray hash") << QByteArray("##:GV#") << "#:GV#";
        QTest::newRow("broken number") << QByteArray("#12\x01#:GR#") << "#:GR#";
        QTest::newRow("hash before store") << QByteArray("#:XYR#Y") << "#:XYR|Y";
        QTest::newRow("stray colon") << QByteArray(":#:GR#") << ":#|:GR#";
        QTest::newRow("garbage letter") << QByteArray("#12a5W#:GD#") << "#12a|#:GD#";
        QTest::newRow("overlong number") << QByteArray("#12345678901234W#:GR#") << "#:GR#";
    }
    void skipsNoiseAndKeepsTheCommandsAroundIt() {
        QFETCH(QByteArray, stream);
        QFETCH(QString, commands);
        QCOMPARE(cut(stream), commands);
    }

    void fieldsOfEachForm() {
        CommandTokenizer t;
        const QVector<BoardCommand> c = t.feed("#<-G#0:XR7##>:VX#:Sr 01:02.3#F");
        QCOMPARE(c.size(), 5);
        QCOMPARE(c[0].form, BoardCommand::Form::Letter);
        QCOMPARE(c[0].angle, '<');
        QCOMPARE(c[0].number, QByteArray("-"));
        QCOMPARE(c[0].letter, 'G');
        QCOMPARE(c[1].form, BoardCommand::Form::Colon);
        QCOMPARE(c[1].number, QByteArray("0"));
        QCOMPARE(c[1].body, QByteArray("XR7"));
        QCOMPARE(c[2].angle, '>');
        QCOMPARE(c[2].body, QByteArray("VX"));
        QVERIFY(!c[3].hashed);
        QCOMPARE(c[3].body, QByteArray("Sr 01:02.3"));
        QCOMPARE(c[4].form, BoardCommand::Form::Single);
        QCOMPARE(c[4].letter, 'F');
    }

    void completesEachCommandOnItsLastByte() {
        // Byte by byte, as a paced line delivers them: the command is there
        // the moment its last byte is, not when the next one starts.
        CommandTokenizer t;
        const QByteArray stream("#7p#:XYR#:GR#");
        QStringList doneAt;
        for (int i = 0; i < stream.size(); ++i) {
            if (auto c = t.feed(stream.at(i)))
                doneAt << QStringLiteral("%1:%2").arg(i).arg(QString::fromLatin1(c->raw));
        }
        QCOMPARE(doneAt, QStringList({"2:#7p", "7:#:XYR", "12:#:GR#"}));
    }

    void countsSkippedBytes() {
        CommandTokenizer t;
        t.feed(QByteArray("ab#:GR#c"));
        QCOMPARE(t.skippedBytes(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSimTokenizer)
#include "test_sim_tokenizer.moc"
