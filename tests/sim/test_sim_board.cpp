// The simulated board's replies and settings, command by command.
#include "SimTestHelpers.h"

#include "link/Replies.h"
#include "sim/WireText.h"

#include <QRegularExpression>
#include <QtTest>

using namespace corvane;
using namespace corvane::sim;
using namespace corvane::sim::test;

namespace {

const QByteArray kWorkedExample16 = QByteArray::fromHex("500F2000F01001020809"
                                                        "0BF00084B48A");
const QByteArray kDefault18 = QByteArray::fromHex("0F2000F01001020809"
                                                  "0BF0008400B4008A00");

} // namespace

class TestSimBoard : public QObject {
    Q_OBJECT
private slots:
    void answersEachQueryWithTheAwaitedLength_data() {
        QTest::addColumn<double>("firmware");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("pattern");
        const QString ra = QStringLiteral("\\d\\d:[0-5]\\d\\.\\d#");
        const QString dec = QStringLiteral("[+-]\\d\\d\\*[0-5]\\d#");
        QTest::newRow("version") << 3.60 << QByteArray("#:GV#") << 10 << "3\\.60.{5}#";
        QTest::newRow("RA") << 3.60 << QByteArray("#:GR#") << 8 << ra;
        QTest::newRow("DEC") << 3.60 << QByteArray("#:GD#") << 7 << dec;
        QTest::newRow("position") << 3.60 << QByteArray("#:GR##:GD#") << 15 << ra + dec;
        QTest::newRow("target") << 3.60 << QByteArray("#:Gr##:Gd#") << 15 << ra + dec;
        QTest::newRow("sidereal") << 3.60 << QByteArray("#:GS#") << 9
                                  << "\\d\\d:[0-5]\\d:[0-5]\\d#";
        QTest::newRow("split dump") << 3.60 << QByteArray("#<:VX##>:VX#") << 18 << "";
        QTest::newRow("first half") << 3.60 << QByteArray("#<:VX#") << 9 << "";
        QTest::newRow("second half") << 3.60 << QByteArray("#>:VX#") << 9 << "";
        QTest::newRow("whole dump, new board") << 3.60 << QByteArray("#:VX#") << 18 << "";
        QTest::newRow("dump 3.56") << 3.56 << QByteArray("#:VX#") << 16 << "";
        QTest::newRow("dump 3.20") << 3.20 << QByteArray("#:VX#") << 16 << "";
        QTest::newRow("old board, split query") << 3.50 << QByteArray("#<:VX##>:VX#") << 0 << "";
        QTest::newRow("PEC state") << 3.60 << QByteArray("#:VS#") << 10 << "";
        QTest::newRow("PEC step") << 3.60 << QByteArray("#17:VR#") << 1 << "\\d";
        QTest::newRow("set RA") << 3.60 << QByteArray("#:Sr 05:34.5#") << 1 << "1";
        QTest::newRow("set DEC") << 3.60 << QByteArray("#:Sd +45*30#") << 1 << "1";
        QTest::newRow("goto") << 3.60 << QByteArray("#:MS#") << 1 << "0";
        QTest::newRow("sync") << 3.60 << QByteArray("#:CM#") << 7 << "[^#]+#";
        QTest::newRow("LX200 RA") << 3.60 << QByteArray(":GR#") << 8 << ra;
        QTest::newRow("LX200 set, no blank")
            << 3.60 << QByteArray(":Sr10:30.0#:Sd+20*00#") << 2 << "11";
        QTest::newRow("LX200 precision is silent") << 3.60 << QByteArray(":U#:GD#") << 7 << dec;
        QTest::newRow("alignment") << 3.60 << QByteArray("\x06") << 1 << "P";
        QTest::newRow("LX200 clock")
            << 3.60 << QByteArray(":GL#:GC#") << 18 << "12:00:00#01/01/00#";
        QTest::newRow("LX200 site")
            << 3.60 << QByteArray(":Gt#:Gg#:GG#") << 19 << "\\+00\\*00#\\+000\\*00#\\+00#";
        QTest::newRow("no reply to settings and motion")
            << 3.60
            << QByteArray("#4:Ss1##>G#-1T##<X#132g#250B#1m#:Mn##:Qn##:Q#F#:Mn:Q##:RS#"
                          "#:F+##:FQ##:f+##>1R#<R#>I#1p#1P#0P#:XYR#Y#0:XR1#")
            << 0 << "";
    }
    void answersEachQueryWithTheAwaitedLength() {
        QFETCH(double, firmware);
        QFETCH(QByteArray, stream);
        QFETCH(int, length);
        QFETCH(QString, pattern);
        CorvaneBoard board(boardAt(firmware));
        const QByteArray reply = run(board, stream);
        QCOMPARE(reply.size(), length);
        if (!pattern.isEmpty()) {
            const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
            QVERIFY2(re.match(QString::fromLatin1(reply)).hasMatch(), reply.constData());
        }
    }

    void tableReadOutIsOneDigitPerStep() {
        CorvaneBoard board(boardAt(3.60));
        QByteArray stream;
        for (int n = 0; n < 256; ++n)
            stream += "#" + QByteArray::number(n) + ":VR#";
        const QByteArray reply = run(board, stream);
        QCOMPARE(reply.size(), 256);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{256}$"))
                    .match(QString::fromLatin1(reply))
                    .hasMatch());
        QCOMPARE(run(board, "#300:VR##-1:VR#"), QByteArray("00"));
    }

    void versionReplyReadsAsTheProgramReadsIt_data() {
        QTest::addColumn<double>("firmware");
        QTest::addColumn<bool>("split");
        QTest::addColumn<bool>("touchUp");
        QTest::addColumn<bool>("decWormRow");
        QTest::addColumn<bool>("tarvix");
        QTest::newRow("3.20") << 3.20 << false << false << false << false;
        QTest::newRow("3.50") << 3.50 << false << false << true << true;
        QTest::newRow("3.56") << 3.56 << false << false << true << true;
        QTest::newRow("3.57") << 3.57 << true << false << false << true;
        QTest::newRow("3.60") << 3.60 << true << true << false << true;
    }
    void versionReplyReadsAsTheProgramReadsIt() {
        QFETCH(double, firmware);
        QFETCH(bool, split);
        QFETCH(bool, touchUp);
        QFETCH(bool, decWormRow);
        QFETCH(bool, tarvix);
        CorvaneBoard board(boardAt(firmware));
        const QByteArray reply = run(board, "#:GV#");
        QCOMPARE(reply.size(), 10);
        const VersionInfo info = parseVersionReply(QString::fromLatin1(reply));
        QCOMPARE(info.version, static_cast<float>(firmware));
        QCOMPARE(info.splitSettingsDump, split);
        QCOMPARE(info.pecTouchUp, touchUp);
        QCOMPARE(info.decWormRowShown, decWormRow);
        QCOMPARE(info.tarvixEnabled, tarvix);
        QCOMPARE(board.splitDump(), split);
        QCOMPARE(board.touchUp(), touchUp);
        QCOMPARE(board.hasTrackingCorrection(), tarvix);
    }

    void sixteenByteDumpOfTheWorkedExample() {
        CorvaneBoard board(boardAt(3.50));
        QCOMPARE(hex(run(board, "#:VX#")), hex(kWorkedExample16));
        // Every field elsewhere first, then the example's own settings sent
        // as the program sends them: the dump comes back byte for byte.
        run(board, "#100d#0m#261b#1M#7B#>G#0:Ss0##0:Ss1##0:Ss2##<X#>x#-1T##100g#90W#99w");
        const QByteArray other = run(board, "#:VX#");
        for (int i = 0; i < 16; ++i)
            QVERIFY2(other.at(i) != kWorkedExample16.at(i), qPrintable(QString::number(i)));
        run(board, "#80d#1m#32b#-1M#272B#<-G#1:Ss0##2:Ss1##4:Ss2##>X#<x#0T##132g#180W#138w");
        QCOMPARE(hex(run(board, "#:VX#")), hex(kWorkedExample16));
    }

    void eighteenByteDumpInTwoHalves() {
        CorvaneBoard board(boardAt(3.60));
        QCOMPARE(hex(run(board, "#<:VX##>:VX#")), hex(kDefault18));
        QCOMPARE(hex(run(board, "#<:VX#")), hex(kDefault18.left(9)));
        QCOMPARE(hex(run(board, "#>:VX#")), hex(kDefault18.mid(9)));
        // Two-byte fields, low byte first.
        run(board, "#400g#360W#360w#1000B");
        const QByteArray d = run(board, "#<:VX##>:VX#");
        QCOMPARE(hex(d.mid(12, 6)), QStringLiteral("90 01 68 01 68 01"));
        QCOMPARE(hex(d.mid(4, 2)), QStringLiteral("E8 03"));
    }

    void settingCommandsChangeTheirField_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("value");
        QTest::newRow("guide 1.33X") << QByteArray("#>G") << 6 << 0x01;
        QTest::newRow("guide 1.67X") << QByteArray("#>G#<-G") << 6 << 0x02;
        QTest::newRow("guide 2X") << QByteArray("#<G") << 6 << 0x03;
        QTest::newRow("8X paddle 4X") << QByteArray("#0:Ss0#") << 7 << 0x07;
        QTest::newRow("8X paddle 40X") << QByteArray("#5:Ss0#") << 7 << 0x0C;
        QTest::newRow("16X paddle 20X") << QByteArray("#3:Ss1#") << 8 << 0x0A;
        QTest::newRow("goto 4X") << QByteArray("#0:Ss2#") << 9 << 0x07;
        QTest::newRow("orientation Left") << QByteArray("#<X") << 10 << 0x00;
        QTest::newRow("rotation Reverse") << QByteArray("#>x") << 10 << 0xFF;
        QTest::newRow("tracking off") << QByteArray("#-1T#") << 11 << 0xFF;
        QTest::newRow("tracking lunar") << QByteArray("#2T#") << 11 << 0x02;
        QTest::newRow("DEC finish Pos") << QByteArray("#1M") << 3 << 0x0F;
        QTest::newRow("DEC finish None") << QByteArray("#0M") << 3 << 0x00;
        QTest::newRow("RA finish Neg") << QByteArray("#-1m") << 0 << 0xF0;
        QTest::newRow("DEC backlash") << QByteArray("#250B") << 4 << 250;
        QTest::newRow("RA backlash") << QByteArray("#300b") << 1 << (300 & 0xFF);
        QTest::newRow("gear MT-1") << QByteArray("#120g") << 12 << 120;
        QTest::newRow("worm ratio") << QByteArray("#200W") << 14 << 200;
        QTest::newRow("worm wheel") << QByteArray("#150w") << 16 << 150;
    }
    void settingCommandsChangeTheirField() {
        QFETCH(QByteArray, command);
        QFETCH(int, byte);
        QFETCH(int, value);
        CorvaneBoard board(boardAt(3.60));
        run(board, command);
        const QByteArray d = run(board, "#<:VX##>:VX#");
        QCOMPARE(static_cast<int>(static_cast<uchar>(d.at(byte))), value);
        // Only that field moved (both bytes of a two-byte one).
        const bool twoBytes = byte == 1 || byte == 4 || byte >= 12;
        for (int i = 0; i < 18; ++i) {
            if (i != byte && !(twoBytes && i == byte + 1))
                QCOMPARE(d.at(i), kDefault18.at(i));
        }
        QVERIFY(board.stored() == DriveSettings());
    }

    void valuesTheFieldCannotHoldAreRefused_data() {
        QTest::addColumn<double>("firmware");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("speed entry 6") << 3.60 << QByteArray("#6:Ss0#");
        QTest::newRow("setting 3") << 3.60 << QByteArray("#2:Ss3#");
        QTest::newRow("tracking 3") << 3.60 << QByteArray("#3T#");
        QTest::newRow("empty worm ratio") << 3.60 << QByteArray("#W");
        QTest::newRow("empty gear") << 3.60 << QByteArray("#g");
        QTest::newRow("negative backlash") << 3.60 << QByteArray("#-5B");
        QTest::newRow("fraction") << 3.60 << QByteArray("#12.5w");
        QTest::newRow("gear 0") << 3.60 << QByteArray("#0g");
        QTest::newRow("finish 2") << 3.60 << QByteArray("#2M");
        QTest::newRow("beyond two bytes") << 3.60 << QByteArray("#40000g");
        QTest::newRow("text") << 3.60 << QByteArray("#abcW");
        QTest::newRow("gear 400 in one byte") << 3.50 << QByteArray("#400g");
        QTest::newRow("worm 256 in one byte") << 3.20 << QByteArray("#256W");
    }
    void valuesTheFieldCannotHoldAreRefused() {
        QFETCH(double, firmware);
        QFETCH(QByteArray, command);
        CorvaneBoard board(boardAt(firmware));
        const QByteArray query = board.splitDump() ? "#<:VX##>:VX#" : "#:VX#";
        const QByteArray before = run(board, query);
        QCOMPARE(run(board, command), QByteArray());
        QCOMPARE(hex(run(board, query)), hex(before));
    }

    void storeKeepsWhatPowerUpRestores() {
        CorvaneBoard board(boardAt(3.60));
        run(board, "#<G#-1T##144g");
        board.powerCycle();
        QCOMPARE(hex(run(board, "#<:VX##>:VX#")), hex(kDefault18));
        run(board, "#<G#-1T##144g");
        run(board, "Y");
        QVERIFY(board.stored() == board.working());
        run(board, "#>G"); // working only
        board.powerCycle();
        const QByteArray d = run(board, "#<:VX##>:VX#");
        QCOMPARE(static_cast<uchar>(d.at(6)), uchar(0x03));
        QCOMPARE(static_cast<uchar>(d.at(11)), uchar(0xFF));
        QCOMPARE(static_cast<uchar>(d.at(12)), uchar(144));
    }

    void pecStatusByteFollowsTheMode_data() {
        QTest::addColumn<double>("firmware");
        QTest::addColumn<bool>("paddle");
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<int>("status");
        QTest::newRow("off") << 3.60 << false << QByteArray() << 0x80;
        QTest::newRow("paddle") << 3.60 << true << QByteArray() << 0x81;
        QTest::newRow("serial") << 3.60 << false << QByteArray("#1P") << 0x82;
        QTest::newRow("both") << 3.60 << true << QByteArray("#1P") << 0x83;
        QTest::newRow("serial off again") << 3.60 << false << QByteArray("#1P#0P") << 0x80;
        QTest::newRow("training, table cleared") << 3.60 << false << QByteArray("#-1P") << 0x04;
        QTest::newRow("training with replay") << 3.60 << true << QByteArray("#1P#-1P") << 0x07;
        QTest::newRow("touch up keeps the table") << 3.60 << false << QByteArray("#-2P") << 0x84;
        QTest::newRow("no touch up on 3.58") << 3.58 << false << QByteArray("#-2P") << 0x80;
        QTest::newRow("stopped, not stored") << 3.60 << false << QByteArray("#-1P#-0P") << 0x00;
        QTest::newRow("stopped and stored") << 3.60 << false << QByteArray("#-1P#-0P#:XYR") << 0x80;
        QTest::newRow("stored with mark") << 3.60 << false << QByteArray("#-1P#:XYR#") << 0x80;
    }
    void pecStatusByteFollowsTheMode() {
        QFETCH(double, firmware);
        QFETCH(bool, paddle);
        QFETCH(QByteArray, commands);
        QFETCH(int, status);
        CorvaneBoard board(boardAt(firmware));
        board.pec().setPaddleEnabled(paddle);
        run(board, commands);
        const QByteArray state = run(board, "#:VS#");
        QCOMPARE(state.size(), 10);
        QCOMPARE(static_cast<int>(static_cast<uchar>(state.at(5))), status);
    }

    void pecFactorIsTheLastStateByte_data() {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<int>("factor");
        QTest::newRow("factory") << QByteArray() << 3;
        QTest::newRow("7") << QByteArray("#7p") << 7;
        QTest::newRow("restore form") << QByteArray("#9p#") << 9;
        QTest::newRow("0 refused") << QByteArray("#0p#") << 3;
        QTest::newRow("10 refused") << QByteArray("#10p") << 3;
    }
    void pecFactorIsTheLastStateByte() {
        QFETCH(QByteArray, commands);
        QFETCH(int, factor);
        CorvaneBoard board(boardAt(3.60));
        run(board, commands);
        QCOMPARE(static_cast<int>(run(board, "#:VS#").at(9)), factor);
    }

    void pecTableWritesReadBackAndAreStoredByTheEndCommand() {
        CorvaneBoard board(boardAt(3.60));
        const QByteArray reads("#0:VR##1:VR##255:VR#");
        const QByteArray factory = run(board, reads);
        run(board, "#0:XR1##1:XR2##255:XR3#");
        QCOMPARE(run(board, reads), QByteArray("123"));
        run(board, "#256:XR1##0:XR12##-1:XR1#"); // outside the table: ignored
        QCOMPARE(run(board, reads), QByteArray("123"));
        board.powerCycle(); // written but never stored
        QCOMPARE(run(board, reads), factory);
        run(board, "#7p##0:XR1##1:XR2##255:XR3##:XYR#Y");
        board.powerCycle();
        QCOMPARE(run(board, reads), QByteArray("123"));
        QCOMPARE(static_cast<int>(run(board, "#:VS#").at(9)), 7);
    }

    void trainingRecordsTheGuidingOfEachWormStep() {
        // Worm ratio 180: a turn of 478.7 s, a step of 1.87 s.
        CorvaneBoard board(boardAt(3.60));
        run(board, "#-1P#:Mge1000#", 0);
        board.advanceTo(10000);
        run(board, "#-0P#:XYR");
        QCOMPARE(run(board, "#0:VR##1:VR##2:VR##3:VR##4:VR#"), QByteArray("10000"));
        QCOMPARE(static_cast<int>(run(board, "#:VS#").at(4)), 5); // steps recorded
        // Touch up: only the step guided again changes.
        run(board, "#-2P");
        const double turnMs = 86164090.5 / 180;
        board.advanceTo(static_cast<qint64>(turnMs) + 10); // just into step 0 again
        run(board, "#:Mgw500#");
        board.advanceTo(board.nowMs() + static_cast<qint64>(3 * turnMs / 256));
        run(board, "#-0P#:XYR");
        QCOMPARE(run(board, "#255:VR##0:VR##1:VR##2:VR#"), QByteArray("0200"));
    }

    void targetSyncAndGoto() {
        CorvaneBoard board(boardAt(3.60));
        QCOMPARE(run(board, "#:Sr 05:34.5##:Sd -45*30#"), QByteArray("11"));
        QCOMPARE(run(board, "#:Gr##:Gd#"), QByteArray("05:34.5#-45*30#"));
        QCOMPARE(run(board, "#:Sr 24:00.0##:Sd +91*00#"), QByteArray("00"));
        QCOMPARE(run(board, "#:Gr##:Gd#"), QByteArray("05:34.5#-45*30#"));
        run(board, "#:CM#");
        QCOMPARE(run(board, "#:GR##:GD#"), QByteArray("05:34.5#-45*30#"));
    }

    void trackingCorrectionNeedsFirmware3_5() {
        CorvaneBoard old(boardAt(3.49));
        run(old, "#>I");
        QVERIFY(!old.trackingCorrection());
        CorvaneBoard board(boardAt(3.50));
        run(board, "#>I");
        QVERIFY(board.trackingCorrection());
        QCOMPARE(static_cast<int>(run(board, "#:VS#").at(8)), 1);
        run(board, "#<I");
        QVERIFY(!board.trackingCorrection());
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

    void wireTextForms_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("RA tenths") << QByteArray("ra 05:34.5") << 5 + 34.5 / 60;
        QTest::newRow("RA seconds") << QByteArray("ra 05:34:30") << 5 + 34.5 / 60;
        QTest::newRow("RA leading blank") << QByteArray("ra  23:59.9") << 23 + 59.9 / 60;
        QTest::newRow("RA hour 24") << QByteArray("ra 24:00.0") << -1.0;
        QTest::newRow("RA minute 60") << QByteArray("ra 10:60.0") << -1.0;
        QTest::newRow("RA letters") << QByteArray("ra 1a:00.0") << -1.0;
        QTest::newRow("DEC south") << QByteArray("dec -45*30") << -45.5;
        QTest::newRow("DEC no sign") << QByteArray("dec 20*15") << 20.25;
        QTest::newRow("DEC seconds") << QByteArray("dec +10*00:36") << 10.01;
        QTest::newRow("DEC LX200 mark") << QByteArray("dec +10\xDF"
                                                      "30")
                                        << 10.5;
        QTest::newRow("DEC pole") << QByteArray("dec +90*00") << 90.0;
        QTest::newRow("DEC past pole") << QByteArray("dec +90*01") << -999.0;
        QTest::newRow("DEC minute 60") << QByteArray("dec +10*60") << -999.0;
        QTest::newRow("DEC one digit") << QByteArray("dec +5*00") << -999.0;
    }
    void wireTextForms() {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const bool isRa = text.startsWith("ra ");
        const QByteArray arg = text.mid(isRa ? 2 : 3);
        const auto v = isRa ? parseRa(arg) : parseDec(arg);
        const bool valid = isRa ? expected >= 0 : expected > -900;
        QCOMPARE(v.has_value(), valid);
        if (valid)
            QVERIFY(qAbs(*v - expected) < 1e-9);
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
