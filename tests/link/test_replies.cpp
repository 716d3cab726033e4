// What the controller's replies are taken to say, and which are refused.
#include "link/Dispatcher.h"
#include "link/Replies.h"
#include "motion/PositionReplies.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace corvane;

class TestReplies : public QObject {
    Q_OBJECT
private slots:
    // The version read, then what it enables: s(plit dump), t(ouch up),
    // d(EC worm row), x (tracking correction). Whatever is not a finite
    // version number in the reply's form (digits, a point, digits, then the end, a blank
    // or "#") reads as no version at all: a position reply taken for it included.
    void versionReply() {
        QStringList got;
        for (const QString& reply : QStringList{"3.3#",
                                                "3.31#",
                                                "3.49#",
                                                "3.5#",
                                                "3.56#",
                                                "3.57#",
                                                "3.58#",
                                                "3.59 CORV#",
                                                "1.9#",
                                                "  3.6",
                                                "3.60 \x19\x9Dl#",
                                                "Vx#",
                                                "",
                                                "inf#",
                                                "nan#",
                                                QString(40, '9'),
                                                "3.6000000001#",
                                                "360#",
                                                "-3.6#",
                                                "05:3405:34",
                                                "3#",
                                                "3.60x#",
                                                ".5#",
                                                "3.#"}) {
            const VersionInfo v = parseVersionReply(reply);
            got << QString::number(v.version) + ' ' + (v.splitSettingsDump ? "s" : "") +
                       (v.pecTouchUp ? "t" : "") + (v.decWormRowShown ? "d" : "") +
                       (v.tarvixEnabled ? "x" : "");
        }
        QCOMPARE(got, QStringList({"3.3 ", "3.31 d", "3.49 d", "3.5 dx", "3.56 dx", "3.57 sx",
                                   "3.58 sx", "3.59 stx", "1.9 ", "3.6 stx", "3.6 stx"}) +
                          QStringList(13, "0 "));
        // The caption never shows a control or high byte as it came.
        QCOMPARE(versionCaption(QStringLiteral("3.60 \x19\x9Dl\\#")),
                 QStringLiteral("Corvane Update Ver. 3.60 \\x19\\x9Dl\\#"));
    }

    // Position, target and single-axis replies are shown only in their form.
    void coordinateReplies() {
        for (const QString& reply :
             QStringList{"12:34.5#+45*30#", "01:02.3#-05*07#", "23:59.9#+90*00#"}) {
            const auto position = positionFromReply(reply);
            const auto target = targetFromReply(reply);
            QVERIFY(position && target);
            QCOMPARE(position->ra + position->dec, reply.left(7) + reply.mid(8, 6));
            QCOMPARE(target->hours + ":" + target->minutes, reply.left(7));
            QCOMPARE(target->degrees + "*" + target->decMinutes, reply.mid(8, 6));
            QCOMPARE(*rawRightAscension(reply.left(8)), reply.left(7));
            QCOMPARE(*rawDeclination(reply.mid(8)), reply.mid(8, 6));
        }
        // Empty, short, long, high bytes, NUL, a hash inside, no sign, a late
        // reply meeting the next, hour 24, minute 60, degree 91, signed
        // minutes, a sync answer.
        for (const QString& reply : QStringList{
                 QString(), QStringLiteral("12:34.5#+45*3"), QStringLiteral("12:34.5#+45*30##"),
                 QString::fromLatin1("q\x17h\x94\xD6I<m+45*30#"),
                 QString::fromLatin1("12:3\0.5#+45*30#", 15), QStringLiteral("12:34#5#+45*30#"),
                 QStringLiteral("12:34.5#045*30#"), QStringLiteral("06#00:0.0#+45*30"),
                 QStringLiteral("24:00.0#+45*30#"), QStringLiteral("12:60.0#+45*30#"),
                 QStringLiteral("12:34.5#+91*30#"), QStringLiteral("12:34.5#+45*-2#"),
                 QStringLiteral("Synced#")}) {
            QVERIFY2(!positionFromReply(reply), qPrintable(reply));
            QVERIFY2(!targetFromReply(reply), qPrintable(reply));
        }
    }

    void targetReplyKeepsItsLastFifteenCharacters() {
        const auto noisy = targetFromReply(QStringLiteral("1#12:34.5#+45*30#"));
        QVERIFY(noisy);
        QCOMPARE(noisy->response, QStringLiteral("12:34.5#+45*30#"));
        QVERIFY(!rawRightAscension(QStringLiteral("12:3x.5#")));
        QVERIFY(!rawDeclination(QStringLiteral("+45:30#")));
    }

    // Random bytes never pass for a position, and nothing accepted is out of form.
    void randomRepliesNeverPassForPositions() {
        QRandomGenerator random(7);
        const QByteArray alphabet("0123456789:.#*+-\x00\xB0\xFF", 19);
        for (int i = 0; i < 20000; ++i) {
            QByteArray bytes = "12:34.5#+45*30#";
            bytes[random.bounded(15)] = alphabet.at(random.bounded(alphabet.size()));
            const QString reply = QString::fromLatin1(bytes);
            const auto p = positionFromReply(reply);
            if (p)
                QVERIFY2(
                    QRegularExpression("^([01]\\d|2[0-3]):[0-5]\\d\\.\\d$")
                            .match(p->ra)
                            .hasMatch() &&
                        QRegularExpression("^[+-](\\d\\d)\\*[0-5]\\d$").match(p->dec).hasMatch(),
                    qPrintable(reply));
        }
    }

    void dispatcherHandsEachKindToItsSubscribers() {
        ReplyDispatcher dispatcher;
        QStringList got;
        QObject owner;
        auto* shortLived = new QObject;
        dispatcher.subscribe(99, &owner, [&](const QByteArray& r) { got << "a" + r; });
        dispatcher.subscribe(99, shortLived, [&](const QByteArray& r) { got << "b" + r; });
        dispatcher.subscribe(0, &owner, [&](const QByteArray& r) { got << "v" + r; });
        dispatcher.dispatch(99, "1");
        dispatcher.dispatch(999, "2");
        delete shortLived;
        dispatcher.dispatch(99, "3");
        QCOMPARE(got, QStringList({"a1", "b1", "a3"}));
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "test_replies.moc"
