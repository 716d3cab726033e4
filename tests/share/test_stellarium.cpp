// Stellarium's binary telescope protocol: framing, the goto a client sends
// and the position it is sent.
#include "share/StellariumProtocol.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

using namespace corvane;

namespace {

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

class TestStellarium : public QObject {
    Q_OBJECT
private slots:
    // Messages come out whole whatever the chunks; a length or type that is
    // not the protocol's stops the client, and nothing is held beyond one
    // message.
    void framing() {
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
            QCOMPARE(out.messages, QList<QByteArray>{gotoMessage(7, 8)});
            QVERIFY(out.error);
            QVERIFY(framer.feed(gotoMessage(1, 1)).messages.isEmpty());
            QCOMPARE(framer.heldBytes(), 0);
        }
        // A message of the longest length passes and is no goto.
        QByteArray longest(64, '\0');
        longest[0] = 64;
        StellariumFramer framer;
        QCOMPARE(framer.feed(longest).messages, QList<QByteArray>{longest});
        QVERIFY(!decodeStellariumGoto(longest));
    }

    // The goto's scales, the poles and beyond, and the same rounding to the
    // board's forms as LX200's (carries and the "-00" sign included).
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

    // The position message: its layout, and a round trip through the goto
    // decoder that lands within the board's resolution; the board's own
    // position reply read into hours and degrees.
    void positionRoundTrip() {
        const QByteArray m = encodeStellariumPosition({5.575, -0.5}, 1700000000123456, 0);
        QCOMPARE(m.size(), 24);
        QCOMPARE(qFromLittleEndian<quint16>(m.constData()), quint16(24));
        QCOMPARE(qFromLittleEndian<qint64>(m.constData() + 4), qint64(1700000000123456));
        QCOMPARE(qFromLittleEndian<qint32>(m.constData() + 20), 0);

        QRandomGenerator random(10001);
        for (int i = 0; i < 5000; ++i) {
            const BoardRa ra{static_cast<int>(random.bounded(kRaTenthsPerDay))};
            const BoardDec dec{random.bounded(2) == 1, static_cast<int>(random.bounded(5401))};
            const BoardDec sound{dec.south && dec.minutes > 0, dec.minutes};
            const QByteArray position = encodeStellariumPosition({ra.hours(), sound.degrees()}, 0);
            // The client reads our position and sends it back as a goto.
            const auto back = decodeStellariumGoto(position.left(20).replace(0, 1, "\x14"));
            QVERIFY(back);
            const auto target = boardTargetFrom(*back);
            QVERIFY(target);
            QCOMPARE(target->ra, ra);
            QCOMPARE(target->dec, sound);
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

QTEST_GUILESS_MAIN(TestStellarium)
#include "test_stellarium.moc"
