// Programs sharing the mount: LX200 clients (how their bytes are cut into
// requests, read, turned into the board's own commands or answered without
// asking the board, for a pinned time and site) and Stellarium's binary
// protocol (framing, the goto a client sends, the position it is sent).
#include "SharedWindow.h"
#include "share/Lx200Answers.h"
#include "share/Lx200Board.h"
#include "share/Lx200Framer.h"
#include "share/StellariumProtocol.h"
#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

using namespace corvane;
using corvane::test::kClientBoardCommands;

namespace {

QList<QByteArray> frame(const QList<QByteArray>& chunks, bool* overflow = nullptr) {
    Lx200Framer framer;
    QList<QByteArray> out;
    Lx200Framer::Output last;
    for (const QByteArray& chunk : chunks) {
        last = framer.feed(chunk);
        out += last.requests;
        if (framer.heldBytes() > Lx200Framer::kLongestRequest)
            return {"held too much"};
    }
    if (overflow)
        *overflow = last.overflow;
    return out;
}

// The board command a client's text ends in, "" when the board sees nothing,
// "refused" for a coordinate answered "0".
QString sent(const QByteArray& request) {
    const Lx200Request r = parseLx200Request(request);
    return r.kind == Lx200Kind::BadCoordinate ? QStringLiteral("refused") : boardCommand(r);
}

// 2024-03-05 21:07:09 UTC, in a zone one hour east of Greenwich.
QDateTime pinnedNow(int offsetSeconds = 3600) {
    return QDateTime(QDate(2024, 3, 5), QTime(21, 7, 9), Qt::UTC).toOffsetFromUtc(offsetSeconds);
}

QByteArray answer(const QByteArray& request, const SiteSettings& site = {},
                  const QDateTime& now = pinnedNow()) {
    return localAnswer(parseLx200Request(request), site, now, QStringLiteral("3.60"));
}

QByteArray gotoMessage(quint32 ra, qint32 dec, quint16 length = 20, quint16 type = 0) {
    QByteArray m(20, '\0');
    qToLittleEndian<quint16>(length, m.data());
    qToLittleEndian<quint16>(type, m.data() + 2);
    qToLittleEndian<qint64>(1700000000000000, m.data() + 4);
    qToLittleEndian<quint32>(ra, m.data() + 12);
    qToLittleEndian<qint32>(dec, m.data() + 16);
    return m;
}

QString boardTexts(const SkyPosition& p) {
    const auto target = boardTargetFrom(p);
    if (!target)
        return QStringLiteral("refused");
    return target->ra.hoursText() + ':' + target->ra.minutesText() + ' ' +
           target->dec.degreesText() + '*' + target->dec.minutesText();
}

} // namespace

class TestShare : public QObject {
    Q_OBJECT
private slots:
    // Requests come out the same however the stream is cut; one of 256 bytes
    // passes, one byte more cuts the client off, nothing after it taken.
    void framing() {
        const QByteArray stream("#:GR##:GD#\x06junk:Sr 05:34:27#::Mn#:Sd+45*30#:CM");
        const QList<QByteArray> whole{":GR#",          ":GD#",  "\x06",
                                      ":Sr 05:34:27#", "::Mn#", ":Sd+45*30#"};
        QList<QByteArray> bytes;
        for (int cut = 0; cut <= stream.size(); ++cut) {
            QCOMPARE(frame({stream.left(cut), stream.mid(cut)}), whole);
            bytes.append(stream.mid(cut, 1));
        }
        QCOMPARE(frame(bytes), whole);
        QCOMPARE(frame({stream, "#"}).last(), QByteArray(":CM#"));

        const QByteArray longest = ':' + QByteArray(254, 'x') + '#';
        QCOMPARE(frame({longest, longest}), QList<QByteArray>({longest, longest}));
        bool overflow = false;
        QCOMPARE(frame({":GR#" + QByteArray(300, 'x') + ":GD#"}, &overflow),
                 QList<QByteArray>{":GR#"});
        QVERIFY(overflow);
        QCOMPARE(frame({":" + QByteArray(255, 'x'), "#"}, &overflow), QList<QByteArray>{});
        QVERIFY(overflow);
        Lx200Framer framer;
        framer.feed(QByteArray(100000, ':'));
        QVERIFY(framer.hasOverflowed() && framer.heldBytes() == 0);
        QVERIFY(framer.feed(":GR#").requests.isEmpty());
    }

    // Coordinates in every precision and separator, rounded to the board's forms.
    void coordinatesRoundToTheBoardsForms() {
        QStringList got;
        for (const char* request :
             {":Sr 05:34:27#", ":Sr05:34.5#", ":Sr 05:59.96#", ":Sr 23:59:58#", ":Sr 00:00:02.999#",
              ":Sr 12:00:03#", ":Sd +45*30#", ":Sd45:30:29#", ":Sd -00*00:40#", ":Sd -00*30#",
              ":Sd -00*00:20#", ":Sd +89*59:30#", ":Sd -89*59'59#", ":Sd -90*00:00#",
              ":Sd +12'34:56#"})
            got << sent(request).mid(5).chopped(1);
        QCOMPARE(got.join(' '), QStringLiteral("05:34.5 05:34.5 06:00.0 00:00.0 00:00.0 12:00.1 "
                                               "+45*30 +45*30 -00*01 -00*30 +00*00 +90*00 -90*00 "
                                               "-90*00 +12*35"));
        // Every degree mark clients use, the degree sign in UTF-8 too.
        for (const char* mark : {"*", ":", "'", "\xB0", "\xDF", "\xC2\xB0"})
            QCOMPARE(sent(":Sd +12" + QByteArray(mark) + "34#"), QStringLiteral("#:Sd +12*34#"));
    }

    // Bad values are refused whole: "0" to the client, nothing to the board.
    void badCoordinatesAreRefused() {
        const QList<QByteArray> refused{
            ":Sr 24:00.0#",  ":Sr 05:60.0#",   ":Sr 05:34:60#", ":Sr 5:34.5 #", ":Sr 05:345#",
            ":Sr -05:34#",   ":Sr 05:34.#",    ":Sr 05.34.5#",  ":Sr#",         ":Sr 05:3",
            ":Sd +90*01#",   ":Sd +90*00:01#", ":Sd +91*00#",   ":Sd +45*60#",  ":Sd ++45*30#",
            ":Sd +45*30:5#", ":Sd +45;30#",    ":Sd 045*30#",   ":Sd +45*30x#", ":Sd#"};
        for (const QByteArray& request : refused)
            QCOMPARE(sent(request + (request.endsWith('#') ? "" : "#")), QStringLiteral("refused"));
        QCOMPARE(frame({":Sr 05:3#4.5#:GR#"}), QList<QByteArray>({":Sr 05:3#", ":GR#"}));
    }

    // Motion, rates and pulses rebuilt from their values; near misses reach nothing.
    void motionCommands() {
        QStringList commands;
        for (const char* request : {":Mn#", ":Mw#", ":Qe#", ":Q#", ":RC#", ":RM#", ":RS#", ":RG#",
                                    ":Mgn250#", ":Mge0#", ":Mgw65535#", ":MS#", ":CM#", ":Gr#"})
            commands << sent(request);
        QCOMPARE(commands.join(' '), QStringLiteral("#:Qs##:Mn# #:Qe##:Mw# #:Qe# #:Q# #:RM# #:RM# "
                                                    "#:RS# #:RG# #:Mgn250# #:Mge0# #:Mgw65535# "
                                                    "#:MS# #:CM# #:Gr#"));
        for (const char* unknown :
             {":Mgn65536#", ":Mgn-1#", ":Mgn#", ":Mgx10#", ":Mgn 10#", ":Mgn123456#", ":Mx#",
              ":Q #", ":gr#", ":U#", ":GVP#", ":St+52*30#", ":SC 01/02/24#", "\x06"})
            QCOMPARE(sent(unknown), QString());
        QCOMPARE(parseLx200Request(":U#").kind, Lx200Kind::PrecisionToggle);
        QCOMPARE(parseLx200Request(":Mgn10").kind, Lx200Kind::Unknown);
    }

    // What the board is asked to answer, and what of its answer reaches the client.
    void boardRepliesAndWhatClientsHear() {
        QStringList forms;
        for (const char* r : {":Sr 05:34.5#", ":Sd +00*00#", ":MS#", ":GR#", ":GD#", ":Gr#", ":Gd#",
                              ":CM#", ":Mn#", ":Mgs5#", ":RS#", ":Q#"}) {
            const BoardReplyForm f = boardReplyForm(parseLx200Request(r));
            forms << (f.upToHash ? QStringLiteral("#") : QString::number(f.length));
        }
        QCOMPARE(forms.join(' '), QStringLiteral("1 1 1 8 7 8 7 # 0 0 0 0"));
        QList<QByteArray> heard; // request|reply ("~" none)
        for (const QString row : {":Sr 05:34.5#|1", ":Sr 05:34.5#|x", ":Sd +00*00#|~", ":MS#|0",
                                  ":MS#|~", ":CM#|Synced#", ":CM#|Syn", ":GR#|05:34.5#",
                                  ":GR#|05:34.5", ":Gd#|-00*30#", ":GD#|+90*30#"}) {
            const QByteArray reply = row.section('|', 1).toLatin1();
            heard << clientAnswerFromBoard(parseLx200Request(row.section('|', 0, 0).toLatin1()),
                                           reply == "~" ? std::nullopt : std::optional(reply))
                         .value_or("(nothing)");
        }
        QCOMPARE(heard, QList<QByteArray>({"1", "0", "0", "0", "1Goto refused by the mount#",
                                           "Synced#", "Sync failed#", "05:34.5#", "(nothing)",
                                           "-00*30#", "(nothing)"}));
    }

    // A session on the simulated board: each reply the length declared for it.
    void aSessionOnTheSimulatedBoard() {
        sim::CorvaneBoard board;
        sim::CommandTokenizer tokenizer;
        Lx200Framer framer;
        QList<QByteArray> heard;
        const QByteArray client(":Sr 05:34:27#:Sd -00*00:40#:Gr#:Gd#:CM#:GR#:GD#:Sd +91*00#"
                                ":RC#:Mw#:Qw#:Mgn250#:Q#:MS#");
        for (const QByteArray& request : framer.feed(client).requests) {
            const Lx200Request r = parseLx200Request(request);
            QByteArray reply;
            for (const auto& command : tokenizer.feed(boardCommand(r).toLatin1()))
                reply += board.execute(command, 0);
            const BoardReplyForm form = boardReplyForm(r);
            QCOMPARE(reply.size(), form.upToHash ? reply.indexOf('#') + 1 : form.length);
            if (form.awaited())
                heard.append(clientAnswerFromBoard(r, reply).value_or("(nothing)"));
        }
        QCOMPARE(heard.join(' '), QByteArray("1 1 05:34.5# -00*01# Synced# 05:34.5# -00*01# 0"));
        QCOMPARE(board.manualRate(), sim::CorvaneBoard::ManualRate::Paddle8X);
    }

    // Random streams through framer and parser reach the board only in its forms.
    void randomStreamsOnlyReachTheBoardInItsForms() {
        QRandomGenerator random(4030);
        const QByteArray alphabet(":#\x06 +-*.'\xDF\xB0/0123456789GRDrdSQMCgnsewUVPNTtLcRM");
        int sentCount = 0;
        for (int round = 0; round < 10000; ++round) {
            QByteArray stream;
            const int length = random.bounded(1, 120);
            for (int i = 0; i < length; ++i) {
                stream += random.bounded(8) == 0 ? char(random.bounded(256))
                                                 : alphabet.at(random.bounded(alphabet.size()));
            }
            Lx200Framer framer;
            for (int at = 0; at < stream.size();) {
                const int chunk = random.bounded(1, 16);
                for (const QByteArray& request : framer.feed(stream.mid(at, chunk)).requests) {
                    const QString command = boardCommand(parseLx200Request(request));
                    if (command.isEmpty())
                        continue;
                    ++sentCount;
                    QVERIFY2(kClientBoardCommands.match(command).hasMatch(), qPrintable(command));
                }
                QVERIFY(framer.heldBytes() <= Lx200Framer::kLongestRequest);
                at += chunk;
            }
        }
        QVERIFY(sentCount > 0);
        const auto b = [&random](int n) { return int(random.bounded(n)); };
        for (int i = 0; i < 2000; ++i) {
            for (const QByteArray& r :
                 {QString::asprintf(":Sr %d:%02d:%02d#", b(30), b(70), b(70)).toLatin1(),
                  QString::asprintf(":Sd %c%02d*%02d#", b(2) ? '-' : '+', b(95), b(70))
                      .toLatin1()}) {
                const QString command = sent(r);
                QVERIFY2(command == "refused" || kClientBoardCommands.match(command).hasMatch(),
                         r.constData());
            }
        }
    }

    // Queries answered at once, in the forms clients parse, texts kept in bounds.
    void queriesForAPinnedSiteAndTime() {
        SiteSettings site;
        site.latitude = 48.1375; // 48*08.25' north
        site.longitude = 11.5;   // east: LX200 counts it 348*30 west
        site.name = QStringLiteral("Munich");
        QList<QByteArray> answers;
        for (const char* r : {"\x06", ":GVP#", ":GVN#", ":GVD#", ":GVT#", ":Gt#", ":Gg#", ":GG#",
                              ":GL#", ":GC#", ":Gc#", ":GM#", ":GT#", ":Sr 99:00#"})
            answers.append(answer(r, site));
        QCOMPARE(answers, QList<QByteArray>({"P", "Corvane#", "3.60#", "Mar 05 2024#", "22:07:09#",
                                             "+48*08#", "348*30#", "-01#", "22:07:09#", "03/05/24#",
                                             "24#", "Munich#", "60.1#", "0"}));
        for (const char* r : {":GR#", ":MS#", ":U#", ":Mn#", ":XX#"}) // the board's, or none
            QCOMPARE(answer(r, site), QByteArray());
        site.name = QString::fromUtf8("Obs#1\r\n\xC3\xA9t\xC3\xA9 and a very long name indeed");
        QCOMPARE(answer(":GM#", site), QByteArray("Obs1t and a very#"));
        QCOMPARE(localAnswer(parseLx200Request(":GVN#"), site, pinnedNow(), "3.6#0"),
                 QByteArray("3.60#"));
    }

    // Signs and carries of site and zone, the local date a day off UTC.
    void signsAndCarries() {
        SiteSettings site;
        site.latitude = -33.99999;
        site.longitude = -0.2;
        QByteArray got = answer(":Gt#", site) + answer(":Gg#", site);
        site.longitude = 179.9999;
        site.latitude = -0.004;
        got += answer(":Gg#", site) + answer(":Gt#", site);
        site.longitude = 0.0001;
        got += answer(":Gg#", site);
        for (int offset : {-5 * 3600, -11 * 3600, 5 * 3600, 5 * 3600 + 1800, 0})
            got +=
                answer(":GG#", site, pinnedNow(offset)) + answer(":GC#", site, pinnedNow(offset));
        got += answer(":GL#", site, pinnedNow(-5 * 3600));
        QCOMPARE(got, QByteArray("-34*00#000*12#180*00#+00*00#000*00#+05#03/05/24#+11#03/05/24#"
                                 "-05#03/06/24#-05.5#03/06/24#+00#03/05/24#16:07:09#"));
    }

    // Setters answered "1" or "0"; latitude and longitude change the site.
    void settersCheckAndUpdateTheSite() {
        QByteArray got;
        for (const char* request :
             {":St+52*30#",    ":St -33*52:30#", ":St +90*00#",   ":St +90*01#",   ":St 52.5#",
              ":Sg 348*30#",   ":Sg011*30#",     ":Sg 360*00#",   ":Sg 360*01#",   ":Sg 34*30x#",
              ":SG -05.5#",    ":SG+01#",        ":SG +15#",      ":SG 1.25#",     ":SL 23:59:59#",
              ":SL 24:00:00#", ":SL 12:60:00#",  ":SC 02/29/24#", ":SC 02/29/23#", ":SC 13/01/24#",
              ":SC 1/1/24#"})
            got += answer(request).left(1);
        QCOMPARE(got, QByteArray("111001110011001001000"));
        QCOMPARE(answer(":SC 03/05/24#").split('#'),
                 QList<QByteArray>({"1Updating Planetary Data         ", QByteArray(32, ' '), ""}));

        SiteSettings site;
        QVERIFY(applyToSite(parseLx200Request(":St -33*52:30#"), site));
        QVERIFY(applyToSite(parseLx200Request(":Sg 348*30#"), site));
        QCOMPARE(QString::number(site.latitude) + ' ' + QString::number(site.longitude),
                 QStringLiteral("-33.875 11.5"));
        QCOMPARE(answer(":Gg#", site), QByteArray("348*30#"));
        QVERIFY(applyToSite(parseLx200Request(":Sg 011*30#"), site));
        for (const char* unchanged : {":St +91*00#", ":SG -05#", ":SL 10:00:00#", ":GR#"})
            QVERIFY(!applyToSite(parseLx200Request(unchanged), site));
        QCOMPARE(QString::number(site.latitude) + ' ' + QString::number(site.longitude),
                 QStringLiteral("-33.875 -11.5"));
    }

    // Messages come out whole whatever the chunks; a bad length or type stops
    // the client; nothing is held beyond one message.
    void stellariumFraming() {
        const QByteArray stream = gotoMessage(1, 2) + gotoMessage(3, 4) + gotoMessage(5, 6);
        for (int cut = 0; cut <= stream.size(); ++cut) {
            for (int second = cut; second <= stream.size(); second += 7) {
                StellariumFramer framer;
                QList<QByteArray> out;
                for (const QByteArray& chunk :
                     {stream.left(cut), stream.mid(cut, second - cut), stream.mid(second)})
                    out += framer.feed(chunk).messages;
                QCOMPARE(out, QList<QByteArray>(
                                  {gotoMessage(1, 2), gotoMessage(3, 4), gotoMessage(5, 6)}));
                QCOMPARE(framer.heldBytes(), 0);
            }
        }
        for (const QByteArray& bad :
             {gotoMessage(0, 0, 3), gotoMessage(0, 0, 11), gotoMessage(0, 0, 65),
              gotoMessage(0, 0, 20, 1), QByteArray("GET / HTTP/1.1\r\n")}) {
            StellariumFramer framer;
            const auto out = framer.feed(gotoMessage(7, 8) + bad + gotoMessage(9, 9));
            QVERIFY(out.error && out.messages == QList<QByteArray>{gotoMessage(7, 8)});
            QVERIFY(framer.feed(gotoMessage(1, 1)).messages.isEmpty() && framer.heldBytes() == 0);
        }
        // A message of the longest length passes and is no goto.
        QByteArray longest(64, '\0');
        longest[0] = 64;
        StellariumFramer framer;
        QCOMPARE(framer.feed(longest).messages, QList<QByteArray>{longest});
        QVERIFY(!decodeStellariumGoto(longest));
    }

    // The goto's scales, the poles and beyond, rounded to the board's forms.
    void gotoDecodesToTheBoardsForms() {
        const auto decoded = [](quint32 ra, qint32 dec) {
            const auto p = decodeStellariumGoto(gotoMessage(ra, dec));
            return p ? boardTexts(*p) : QStringLiteral("no goto");
        };
        const quint32 hour = 0x100000000ULL / 24;
        const qint32 degree = 0x40000000 / 90;
        QCOMPARE(
            QStringList({decoded(0, 0), decoded(hour * 6, 0x40000000),
                         decoded(0xFFFFFFFF, -0x40000000), decoded(0, -degree / 60),
                         decoded(0, -degree / 120 + 1), decoded(hour * 5 + hour / 120, degree * 45),
                         decoded(0, 0x40000001), decoded(0, -0x40000001), decoded(0, INT32_MIN)}),
            QStringList({"00:00.0 +00*00", "06:00.0 +90*00", "00:00.0 -90*00", "00:00.0 -00*01",
                         "00:00.0 +00*00", "05:00.5 +45*00", "no goto", "no goto", "no goto"}));
        QVERIFY(!decodeStellariumGoto(gotoMessage(0, 0).left(19)));
        QCOMPARE(boardTexts({24.0, 0.0}) + boardTexts({-0.1, 0.0}) + boardTexts({qQNaN(), 0.0}),
                 QStringLiteral("refusedrefusedrefused"));
    }

    // The position message, a round trip through the goto decoder, and the
    // board's own position reply read into hours and degrees.
    void positionRoundTrip() {
        const QByteArray m = encodeStellariumPosition({5.575, -0.5}, 1700000000123456, 0);
        QCOMPARE(QList<qint64>({m.size(), qFromLittleEndian<quint16>(m.constData()),
                                qFromLittleEndian<qint64>(m.constData() + 4),
                                qFromLittleEndian<qint32>(m.constData() + 20)}),
                 QList<qint64>({24, 24, 1700000000123456, 0}));
        QRandomGenerator random(10001);
        for (int i = 0; i < 5000; ++i) {
            const BoardRa ra{static_cast<int>(random.bounded(kRaTenthsPerDay))};
            const BoardDec dec{random.bounded(2) == 1, static_cast<int>(random.bounded(5401))};
            const BoardDec sound{dec.south && dec.minutes > 0, dec.minutes};
            const QByteArray position = encodeStellariumPosition({ra.hours(), sound.degrees()}, 0);
            const auto back = decodeStellariumGoto(position.left(20).replace(0, 1, "\x14"));
            const auto target = back ? boardTargetFrom(*back) : std::nullopt;
            QVERIFY(target && target->ra == ra && target->dec == sound);
        }
        QCOMPARE(
            qFromLittleEndian<quint32>(encodeStellariumPosition({24.0, 0}, 0).constData() + 12),
            0u);
        QCOMPARE(qFromLittleEndian<qint32>(encodeStellariumPosition({0, 95.0}, 0).constData() + 16),
                 0x40000000);

        const auto p = positionFromBoardReply(QStringLiteral("05:34.5#-00*30#"));
        QVERIFY(p);
        QCOMPARE(boardTexts(*p), QStringLiteral("05:34.5 -00*30"));
        for (const char* damaged : {"05:34.5#+90*30#", "05:34.5-00*30#", "24:00.0#+00*00#", ""})
            QVERIFY(!positionFromBoardReply(QLatin1String(damaged)));
    }
};

QTEST_GUILESS_MAIN(TestShare)
#include "test_share.moc"
