// How the simulated board cuts its input stream into commands.
#include "sim/CommandTokenizer.h"

#include <QtTest>

using namespace corvane::sim;

class TestSimTokenizer : public QObject {
    Q_OBJECT
private slots:
    // The commands as they were recognised, joined by "|".
    void cutsTheStreamIntoCommands_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("commands");
        // As the program sends them: joined, some closed by "#", some not.
        QTest::newRow("position poll") << QByteArray("#:GR##:GD#") << "#:GR#|#:GD#";
        QTest::newRow("split dump") << QByteArray("#<:VX##>:VX#") << "#<:VX#|#>:VX#";
        QTest::newRow("set target")
            << QByteArray("#:Sr 05:34.5##:Sd +45*30#") << "#:Sr 05:34.5#|#:Sd +45*30#";
        QTest::newRow("stop find") << QByteArray("#:Mn:Q#") << "#:Mn:Q#";
        QTest::newRow("find after stop") << QByteArray("#:Q#F") << "#:Q#|F";
        QTest::newRow("store alone") << QByteArray("Y") << "Y";
        QTest::newRow("no closing marks")
            << QByteArray("#>I#<I#>G#<-G#<G#<X#>X#<x#>x#>1R#<1R#>R#<R")
            << "#>I|#<I|#>G|#<-G|#<G|#<X|#>X|#<x|#>x|#>1R|#<1R|#>R|#<R";
        QTest::newRow("numbers and letters") << QByteArray("#120g#1M#0M#-1M#1m#0m#-1m#250B#32bY")
                                             << "#120g|#1M|#0M|#-1M|#1m|#0m|#-1m|#250B|#32b|Y";
        QTest::newRow("empty numbers") << QByteArray("#g#W#w#B#b#d") << "#g|#W|#w|#B|#b|#d";
        QTest::newRow("speeds and tracking")
            << QByteArray("#4:Ss1##-1T##2T#") << "#4:Ss1#|#-1T|#2T";
        QTest::newRow("factor then state") << QByteArray("#7p#:VS#") << "#7p|#:VS#";
        QTest::newRow("factor with mark") << QByteArray("#7p##0:XR1#") << "#7p|#0:XR1#";
        QTest::newRow("training stop") << QByteArray("#-0P#:XYR#:VS#") << "#-0P|#:XYR|#:VS#";
        QTest::newRow("restore end")
            << QByteArray("#255:XR3##:XYR#Y#:VS#") << "#255:XR3#|#:XYR|Y|#:VS#";
        // Plain LX200.
        QTest::newRow("LX200 queries") << QByteArray(":GR#:GD#:Q#") << ":GR#|:GD#|:Q#";
        QTest::newRow("LX200 set without blank")
            << QByteArray(":Sr10:30.0#:Sd+20*00#") << ":Sr10:30.0#|:Sd+20*00#";
        QTest::newRow("LX200 precision") << QByteArray(":U#:GR#") << ":U#|:GR#";
        QTest::newRow("LX200 alignment query") << QByteArray("\x06:GR#") << "\x06|:GR#";
        // Noise is skipped, the commands around it kept.
        QTest::newRow("bytes between") << QByteArray("\x00#:GR#\xff\r\n#:GD#", 14) << "#:GR#|#:GD#";
        QTest::newRow("stray hash") << QByteArray("##:GV#") << "#:GV#";
        QTest::newRow("broken number") << QByteArray("#12\x01#:GR#") << "#:GR#";
        QTest::newRow("stray colon") << QByteArray(":#:GR#") << ":#|:GR#";
        QTest::newRow("garbage letter") << QByteArray("#12a5W#:GD#") << "#12a|#:GD#";
        QTest::newRow("overlong number") << QByteArray("#12345678901234W#:GR#") << "#:GR#";
    }
    void cutsTheStreamIntoCommands() {
        QFETCH(QByteArray, stream);
        CommandTokenizer t;
        QStringList out;
        for (const BoardCommand& c : t.feed(stream))
            out << QString::fromLatin1(c.raw);
        QTEST(out.join(QLatin1Char('|')), "commands");
    }
};

QTEST_GUILESS_MAIN(TestSimTokenizer)
#include "test_sim_tokenizer.moc"
