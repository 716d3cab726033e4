// The simulated board's replies and settings, command by command.
#include "SimTestHelpers.h"

#include "link/Replies.h"
#include "sim/WireText.h"

#include <QtTest>

using namespace corvane;
using namespace corvane::sim;
using namespace corvane::sim::test;

namespace {

// A board fresh from setup, in both dump layouts.
const QByteArray kWorkedExample16 = QByteArray::fromHex("500F2000F010010208090BF00084B48A");
const QByteArray kDefault18 = QByteArray::fromHex("0F2000F010010208090BF0008400B4008A00");

} // namespace

class TestSimBoard : public QObject {
    Q_OBJECT
private slots:
    // A new board at 2000-01-01 12:00 UT, parked at the pole on the meridian.
    void repliesAsTheProgramAwaitsThem_data() {
        QTest::addColumn<double>("firmware");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("whole dump, 3.57 on") << 3.60 << QByteArray("#:VX#") << kDefault18;
        QTest::newRow("16-byte dump to 3.56") << 3.56 << QByteArray("#:VX#") << kWorkedExample16;
        QTest::newRow("no halves to 3.56") << 3.56 << QByteArray("#<:VX##>:VX#") << QByteArray();
        QTest::newRow("target") << 3.60 << QByteArray("#:Sr 05:34.5##:Sd -45*30##:Gr##:Gd#")
                                << QByteArray("1105:34.5#-45*30#");
        QTest::newRow("target refused") << 3.60 << QByteArray("#:Sr 24:00.0##:Sd +91*00##:Gr##:Gd#")
                                        << QByteArray("0018:41.8#+90*00#");
        QTest::newRow("sync") << 3.60 << QByteArray("#:Sr 05:34.5##:Sd -45*30##:CM##:GR##:GD#")
                              << QByteArray("11Synced#05:34.5#-45*30#");
        QTest::newRow("PEC steps outside the table")
            << 3.60 << QByteArray("#300:VR##-1:VR#") << QByteArray("00");
        QTest::newRow("LX200 position, precision silent")
            << 3.60 << QByteArray(":GR#:U#:GD#") << QByteArray("18:41.8#+90*00#");
        QTest::newRow("LX200 target, no blank")
            << 3.60 << QByteArray(":Sr10:30.0#:Sd+20*00#:Gr#:Gd#")
            << QByteArray("1110:30.0#+20*00#");
        QTest::newRow("alignment") << 3.60 << QByteArray("\x06") << QByteArray("P");
        QTest::newRow("LX200 clock and site")
            << 3.60 << QByteArray(":GL#:GC#:Gt#:Gg#:GG#")
            << QByteArray("12:00:00#01/01/00#+00*00#+000*00#+00#");
        QTest::newRow("no reply to settings and motion")
            << 3.60
            << QByteArray("#4:Ss1##>G#-1T##<X#132g#250B#1m#:Mn##:Qn##:Q#F#:Mn:Q##:RS#"
                          "#:F+##:FQ##:f+##>1R#<R#>I#1p#1P#0P#:XYR#Y#0:XR1#")
            << QByteArray();
        // PEC state: step 0 with its code 3, no correction, nothing trained,
        // table sound, limits +47 and -47; then tracking correction, factor 3.
        const QByteArray state = QByteArray::fromHex("0003000000802FD1");
        QTest::newRow("tracking correction")
            << 3.50 << QByteArray("#>I#:VS#") << state + QByteArray::fromHex("0103");
        QTest::newRow("tracking correction off")
            << 3.50 << QByteArray("#>I#<I#:VS#") << state + QByteArray::fromHex("0003");
        QTest::newRow("no tracking correction before 3.5")
            << 3.49 << QByteArray("#>I#:VS#") << state + QByteArray::fromHex("0003");
        // Values a field cannot hold leave the whole dump as it was.
        const auto refused = [](const char* name, double firmware, const QByteArray& command) {
            QTest::newRow(name) << firmware << command + "#:VX#"
                                << (firmware > 3.56 ? kDefault18 : kWorkedExample16);
        };
        refused("speed entry 6", 3.60, "#6:Ss0#");
        refused("setting 3", 3.60, "#2:Ss3#");
        refused("tracking 3", 3.60, "#3T#");
        refused("empty number", 3.60, "#W");
        refused("backlash beyond two bytes", 3.60, "#-32769B");
        refused("fraction", 3.60, "#12.5w");
        refused("gear 0", 3.60, "#0g");
        refused("finish 2", 3.60, "#2M");
        refused("beyond two bytes", 3.60, "#65536g");
        refused("256 in one byte", 3.56, "#256W");
    }
    void repliesAsTheProgramAwaitsThem() {
        QFETCH(double, firmware);
        QFETCH(QByteArray, stream);
        CorvaneBoard board(boardAt(firmware));
        QTEST(run(board, stream), "reply");
    }

    // The program reads the board's abilities from its version reply.
    void versionReplyAgreesWithWhatTheBoardCanDo() {
        for (const double firmware : {3.20, 3.49, 3.50, 3.56, 3.57, 3.58, 3.59, 3.60}) {
            CorvaneBoard board(boardAt(firmware));
            const QByteArray reply = run(board, "#:GV#");
            QCOMPARE(reply.size(), 10);
            const VersionInfo info = parseVersionReply(QString::fromLatin1(reply));
            QCOMPARE(info.version, static_cast<float>(firmware));
            QCOMPARE(board.splitDump(), info.splitSettingsDump);
            QCOMPARE(board.touchUp(), info.pecTouchUp);
            QCOMPARE(board.hasTrackingCorrection(), info.tarvixEnabled);
            QCOMPARE(dump(board).size(), info.splitSettingsDump ? 18 : 16);
        }
    }

    void sixteenByteDumpRebuiltFromSettingsCommands() {
        CorvaneBoard board(boardAt(3.50));
        QCOMPARE(hex(dump(board)), hex(kWorkedExample16));
        // Every field to another value, then the example's own settings sent
        // as the program sends them: the dump comes back byte for byte.
        run(board, "#100d#0m#261b#1M#7B#>G#0:Ss0##0:Ss1##0:Ss2##<X#>x#-1T##100g#90W#99w");
        QCOMPARE(hex(dump(board)),
                 QStringLiteral("64 00 05 01 0F 07 00 01 07 07 07 0F FF 64 5A 63"));
        run(board, "#80d#1m#32b#-1M#272B#<-G#1:Ss0##2:Ss1##4:Ss2##>X#<x#0T##132g#180W#138w");
        QCOMPARE(hex(dump(board)), hex(kWorkedExample16));
    }

    void eighteenByteDumpInTwoHalves() {
        CorvaneBoard board(boardAt(3.60));
        QCOMPARE(hex(run(board, "#<:VX#")), hex(kDefault18.left(9)));
        QCOMPARE(hex(run(board, "#>:VX#")), hex(kDefault18.mid(9)));
        // Every field changed, last field first so that a command touching a
        // later field would show; two-byte fields low byte first.
        run(board, "#500w#360W#400g#>x#<X#2T#1:Ss2##3:Ss1##5:Ss0##<G#1000B#0M#300b#-1m");
        QCOMPARE(hex(dump(board)),
                 QStringLiteral("F0 2C 01 00 E8 03 03 0C 0A 08 0F 02 90 01 68 01 F4 01"));
    }

    void storeKeepsWhatPowerUpRestores() {
        CorvaneBoard board(boardAt(3.60));
        run(board, "#<G#-1T##144g");
        board.powerCycle(); // never stored
        QCOMPARE(hex(dump(board)), hex(kDefault18));
        run(board, "#<G#-1T##144gY");
        QVERIFY(board.stored() == board.working());
        run(board, "#>G"); // working only
        board.powerCycle();
        QCOMPARE(hex(dump(board)),
                 QStringLiteral("0F 20 00 F0 10 01 03 08 09 0B F0 FF 90 00 B4 00 8A 00"));
    }

    // Status byte 6 of the state reply, hex, after these commands.
    void pecStatusByteFollowsTheMode() {
        const std::tuple<double, bool, const char*> cases[] = {{3.60, false, ""},
                                                               {3.60, true, ""},
                                                               {3.60, false, "#1P"},
                                                               {3.60, true, "#1P"},
                                                               {3.60, false, "#1P#0P"},
                                                               {3.60, false, "#-1P"},
                                                               {3.60, true, "#1P#-1P"},
                                                               {3.60, false, "#-2P"},
                                                               {3.58, false, "#-2P"},
                                                               {3.60, false, "#-1P#-0P"},
                                                               {3.60, false, "#-1P#-0P#:XYR"}};
        QStringList got;
        for (const auto& [firmware, paddle, commands] : cases) {
            CorvaneBoard board(boardAt(firmware));
            board.pec().setPaddleEnabled(paddle);
            run(board, commands);
            const QByteArray state = run(board, "#:VS#");
            QCOMPARE(state.size(), 10);
            got << hex(state.mid(5, 1));
        }
        // Off, paddle, serial, both, serial off again; training clears the
        // table (with replay too); touch up keeps it, not on 3.58; stopped,
        // then stored.
        QCOMPARE(got.join(' '), QStringLiteral("80 81 82 83 80 04 07 84 80 00 80"));
    }

    void pecTableAndFactorLastOnlyOnceStored() {
        CorvaneBoard board(boardAt(3.60));
        const auto factor = [&board] { return byteAt(run(board, "#:VS#"), 9); };
        const QByteArray reads("#0:VR##1:VR##255:VR#");
        const QByteArray factory = run(board, reads);
        QCOMPARE(factor(), 3);
        run(board, "#0p##10p"); // outside 1..9
        QCOMPARE(factor(), 3);
        run(board, "#9p##0:XR1##1:XR2##255:XR3#");
        QCOMPARE(factor(), 9);
        QCOMPARE(run(board, reads), QByteArray("123"));
        run(board, "#256:XR1##0:XR12##-1:XR1#"); // outside the table or the codes
        QCOMPARE(run(board, reads), QByteArray("123"));
        board.powerCycle(); // written but never stored
        QCOMPARE(run(board, reads), factory);
        QCOMPARE(factor(), 3);
        run(board, "#7p##0:XR1##1:XR2##255:XR3##:XYR#Y");
        board.powerCycle();
        QCOMPARE(run(board, reads), QByteArray("123"));
        QCOMPARE(factor(), 7);
    }

    void trainingRecordsTheGuidingOfEachWormStep() {
        // Worm ratio 180: a turn of 478.7 s, a step of 1.87 s.
        CorvaneBoard board(boardAt(3.60));
        run(board, "#-1P#:Mge1000#", 0);
        board.advanceTo(10000);
        run(board, "#-0P#:XYR");
        QCOMPARE(run(board, "#0:VR##1:VR##2:VR##3:VR##4:VR#"), QByteArray("10000"));
        QCOMPARE(byteAt(run(board, "#:VS#"), 4), 5); // steps recorded
        // Touch up: only the step guided again changes.
        run(board, "#-2P");
        const double turnMs = 86164090.5 / 180;
        board.advanceTo(static_cast<qint64>(turnMs) + 10); // just into step 0 again
        run(board, "#:Mgw500#");
        board.advanceTo(board.nowMs() + static_cast<qint64>(3 * turnMs / 256));
        run(board, "#-0P#:XYR");
        QCOMPARE(run(board, "#255:VR##0:VR##1:VR##2:VR#"), QByteArray("0200"));
    }

    void outputsAndFocuser() {
        CorvaneBoard board(boardAt(3.60));
        run(board, "#:f+##>1R#>R", 0);
        QVERIFY(board.outputs().fan && board.outputs().pin7 && board.outputs().pin14);
        run(board, "#<1R#:f-#");
        QVERIFY(!board.outputs().fan && !board.outputs().pin7 && board.outputs().pin14);
        run(board, "#<R");
        QVERIFY(!board.outputs().pin14);

        run(board, "#:FF##:F+#", 0);
        board.advanceTo(1000);
        QCOMPARE(board.focuser().position, 200.0);
        run(board, "#:FQ#");
        board.advanceTo(5000);
        QCOMPARE(board.focuser().position, 200.0);
        run(board, "#:FS##:F-#");
        board.advanceTo(6000);
        QCOMPARE(board.focuser().position, 180.0);
    }

    // Set-target arguments as the board reads them, in hours and degrees;
    // "-" for a refused one.
    void wireTextForms() {
        QStringList got;
        const auto show = [&got](std::optional<double> v) {
            got << (v ? QString::number(*v, 'f', 4) : QStringLiteral("-"));
        };
        for (const char* ra : {" 05:34.5", " 05:34:30", " 24:00.0", " 10:60.0", " 1a:00.0"})
            show(parseRa(ra));
        for (const char* dec : {" -45*30", " 20*15", " +10*00:36",
                                " +10\xDF"
                                "30",
                                " +90*00", " +90*01", " +10*60", " +5*00"})
            show(parseDec(dec));
        QCOMPARE(got.join(' '), QStringLiteral("5.5750 5.5750 - - - -45.5000 20.2500 10.0100 "
                                               "10.5000 90.0000 - - -"));
    }

    void replyFormsRoundAndWrap() {
        QCOMPARE(raReply(23.99999), QByteArray("00:00.0#"));
        QCOMPARE(raReply(5.575), QByteArray("05:34.5#"));
        QCOMPARE(raReply(-1.0), QByteArray("23:00.0#"));
        QCOMPARE(decReply(-45.5), QByteArray("-45*30#"));
        QCOMPARE(decReply(-0.001), QByteArray("+00*00#"));
        QCOMPARE(decReply(89.9999), QByteArray("+90*00#"));
        QCOMPARE(siderealReply(18.697374558), QByteArray("18:41:51#"));
    }
};

QTEST_GUILESS_MAIN(TestSimBoard)
#include "test_sim_board.moc"
