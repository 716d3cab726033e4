// LX200 clients on the shared mount: how their bytes are cut into requests,
// read, and turned into the board's own commands.
#include "SharedWindow.h"
#include "share/Lx200Board.h"
#include "share/Lx200Framer.h"
#include "sim/CommandTokenizer.h"
#include "sim/CorvaneBoard.h"

#include <QRandomGenerator>
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

} // namespace

class TestLx200Share : public QObject {
    Q_OBJECT
private slots:
    // Every way of cutting a stream gives the same requests: one split point
    // anywhere, and every byte on its own.
    void framingIgnoresHowBytesArrive() {
        const QByteArray stream("#:GR##:GD#\x06junk:Sr 05:34:27#::Mn#:Sd+45*30#:CM");
        const QList<QByteArray> whole{":GR#",          ":GD#",  "\x06",
                                      ":Sr 05:34:27#", "::Mn#", ":Sd+45*30#"};
        QCOMPARE(frame({stream}), whole);
        for (int cut = 0; cut <= stream.size(); ++cut)
            QCOMPARE(frame({stream.left(cut), stream.mid(cut)}), whole);
        QList<QByteArray> bytes;
        for (const char c : stream)
            bytes.append(QByteArray(1, c));
        QCOMPARE(frame(bytes), whole);
        // The ":CM" still waiting for its "#" was never handed on; it goes
        // when the "#" comes.
        QCOMPARE(frame({stream, "#"}).last(), QByteArray(":CM#"));
    }

    // A request of 256 bytes passes; one byte more without completing a
    // request cuts the client off, requests before it still come out, and
    // nothing after it is taken.
    void aRequestIsAtMost256Bytes() {
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
        QVERIFY(framer.hasOverflowed());
        QCOMPARE(framer.heldBytes(), 0);
        QVERIFY(framer.feed(":GR#").requests.isEmpty());
    }

    // Coordinates in every precision and separator, rounded to the board's
    // tenths of a minute and whole minutes with their carries.
    void coordinatesRoundToTheBoardsForms() {
        const QList<QPair<QByteArray, QString>> cases{
            {":Sr 05:34:27#", "#:Sr 05:34.5#"}, // 34.45 min, exactly a half: up
            {":Sr05:34.5#", "#:Sr 05:34.5#"},   {":Sr 05:59.96#", "#:Sr 06:00.0#"},
            {":Sr 23:59:58#", "#:Sr 00:00.0#"}, {":Sr 00:00:02.999#", "#:Sr 00:00.0#"},
            {":Sr 12:00:03#", "#:Sr 12:00.1#"}, {":Sd +45*30#", "#:Sd +45*30#"},
            {":Sd45:30:29#", "#:Sd +45*30#"},   {":Sd -00*00:40#", "#:Sd -00*01#"},
            {":Sd -00*30#", "#:Sd -00*30#"},    {":Sd -00*00:20#", "#:Sd +00*00#"},
            {":Sd +89*59:30#", "#:Sd +90*00#"}, {":Sd -89*59'59#", "#:Sd -90*00#"},
            {":Sd -90*00:00#", "#:Sd -90*00#"}, {":Sd +12'34:56#", "#:Sd +12*35#"},
        };
        for (const auto& [request, command] : cases)
            QCOMPARE(sent(request), command);
        // Every degree mark clients use, the degree sign in UTF-8 too.
        for (const char* mark : {"*", ":", "'", "\xB0", "\xDF", "\xC2\xB0"})
            QCOMPARE(sent(":Sd +12" + QByteArray(mark) + "34#"), QStringLiteral("#:Sd +12*34#"));
    }

    // Out of range, garbage and half values are refused whole: the client
    // hears "0" and the board nothing. A "#" inside ends the request early,
    // which then fails as a coordinate; what follows is skipped.
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

    // Motion, rates and pulses rebuilt from their values; anything near them
    // that is not one of them reaches nothing.
    void motionCommands() {
        const QStringList commands{
            sent(":Mn#"),       sent(":Mw#"), sent(":Qe#"), sent(":Q#"),      sent(":RC#"),
            sent(":RM#"),       sent(":RS#"), sent(":RG#"), sent(":Mgn250#"), sent(":Mge0#"),
            sent(":Mgw65535#"), sent(":MS#"), sent(":CM#"), sent(":Gr#")};
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

    // What the board is asked to answer, and what of its answer reaches the
    // client: damaged replies are never passed on as positions.
    void boardRepliesAndWhatClientsHear() {
        const auto form = [](const char* r) {
            const BoardReplyForm f = boardReplyForm(parseLx200Request(r));
            return f.upToHash ? QStringLiteral("#") : QString::number(f.length);
        };
        QCOMPARE(QStringList({form(":Sr 05:34.5#"), form(":Sd +00*00#"), form(":MS#"), form(":GR#"),
                              form(":GD#"), form(":Gr#"), form(":Gd#"), form(":CM#"), form(":Mn#"),
                              form(":Mgs5#"), form(":RS#"), form(":Q#")}),
                 QStringList({"1", "1", "1", "8", "7", "8", "7", "#", "0", "0", "0", "0"}));
        const auto answer = [](const char* r, std::optional<QByteArray> reply) {
            return clientAnswerFromBoard(parseLx200Request(r), reply)
                .value_or(QByteArray("(nothing)"));
        };
        QCOMPARE(
            QList<QByteArray>({answer(":Sr 05:34.5#", "1"), answer(":Sr 05:34.5#", "x"),
                               answer(":Sd +00*00#", std::nullopt), answer(":MS#", "0"),
                               answer(":MS#", std::nullopt), answer(":CM#", "Synced#"),
                               answer(":CM#", "Syn"), answer(":GR#", "05:34.5#"),
                               answer(":GR#", "05:34.5"), answer(":Gd#", "-00*30#"),
                               answer(":GD#", "+90*30#")}),
            QList<QByteArray>({"1", "0", "0", "0", "1Goto refused by the mount#", "Synced#",
                               "Sync failed#", "05:34.5#", "(nothing)", "-00*30#", "(nothing)"}));
    }

    // A client's session against the simulated board: the board takes every
    // command as built and answers with the length that was declared for it.
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

    // Random streams, mostly made of the bytes requests are made of, through
    // framer and parser: whatever comes out for the board is one of its
    // command forms, and the framer never holds more than its bound.
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
        // The same check holds the set-target forms to account: every client
        // coordinate that is accepted goes out in the board's form.
        for (int i = 0; i < 2000; ++i) {
            const QByteArray ra = QByteArray::number(random.bounded(30)) + ':' +
                                  QByteArray::number(random.bounded(70)).rightJustified(2, '0') +
                                  ':' +
                                  QByteArray::number(random.bounded(70)).rightJustified(2, '0');
            const QByteArray dec = (random.bounded(2) ? "-" : "+") +
                                   QByteArray::number(random.bounded(95)).rightJustified(2, '0') +
                                   '*' +
                                   QByteArray::number(random.bounded(70)).rightJustified(2, '0');
            for (const QByteArray& r : {":Sr " + ra + '#', ":Sd " + dec + '#'}) {
                const QString command = sent(r);
                QVERIFY2(command == QStringLiteral("refused") ||
                             kClientBoardCommands.match(command).hasMatch(),
                         r.constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLx200Share)
#include "test_lx200_share.moc"
