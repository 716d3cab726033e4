// What the controller's replies are taken to say, and which are refused.
#include "link/Channel.h"
#include "link/Dispatcher.h"
#include "link/Replies.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace corvane;

class TestReplies : public QObject {
    Q_OBJECT
private slots:
    void versionReply_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<float>("version");
        QTest::addColumn<bool>("split");
        QTest::addColumn<bool>("touchUp");
        QTest::addColumn<bool>("decRow");
        QTest::addColumn<bool>("tarvix");
        QTest::newRow("3.3") << "3.3#" << 3.3f << false << false << false << false;
        QTest::newRow("3.31") << "3.31#" << 3.31f << false << false << true << false;
        QTest::newRow("3.49") << "3.49#" << 3.49f << false << false << true << false;
        QTest::newRow("3.5") << "3.5#" << 3.5f << false << false << true << true;
        QTest::newRow("3.56") << "3.56#" << 3.56f << false << false << true << true;
        QTest::newRow("3.57") << "3.57#" << 3.57f << true << false << false << true;
        QTest::newRow("3.58") << "3.58#" << 3.58f << true << false << false << true;
        QTest::newRow("3.59") << "3.59 CORV#" << 3.59f << true << true << false << true;
        QTest::newRow("1.9") << "1.9#" << 1.9f << false << false << false << false;
        // Whatever is not a finite version number reads as no version at all.
        QTest::newRow("no number") << "Vx#" << 0.0f << false << false << false << false;
        QTest::newRow("empty") << "" << 0.0f << false << false << false << false;
        QTest::newRow("inf") << "inf#" << 0.0f << false << false << false << false;
        QTest::newRow("nan") << "nan#" << 0.0f << false << false << false << false;
        QTest::newRow("40 digits")
            << QString(40, QLatin1Char('9')) << 0.0f << false << false << false << false;
        QTest::newRow("too long") << "3.6000000001#" << 0.0f << false << false << false << false;
        QTest::newRow("out of proportion") << "360#" << 0.0f << false << false << false << false;
        QTest::newRow("negative") << "-3.6#" << 0.0f << false << false << false << false;
    }
    void versionReply() {
        QFETCH(QString, reply);
        QFETCH(float, version);
        const VersionInfo info = parseVersionReply(reply);
        QCOMPARE(info.version, version);
        QTEST(info.splitSettingsDump, "split");
        QTEST(info.pecTouchUp, "touchUp");
        QTEST(info.decWormRowShown, "decRow");
        QTEST(info.tarvixEnabled, "tarvix");
    }

    // Position, target and single-axis replies are shown only in their form.
    void coordinateReplies_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("ra");
        QTest::addColumn<QString>("dec");
        const QString deg = QString(QChar(0xB0));
        QTest::newRow("north") << "12:34.5#+45*30#"
                               << "12h34.5m"
                               << "+45" + deg + "30\"";
        QTest::newRow("south") << "01:02.3#-05*07#"
                               << "01h02.3m"
                               << "-05" + deg + "07\"";
        QTest::newRow("pole") << "23:59.9#+90*00#"
                              << "23h59.9m"
                              << "+90" + deg + "00\"";
    }
    void coordinateReplies() {
        QFETCH(QString, reply);
        const auto position = positionFromReply(reply, QString(QChar(0xB0)), QStringLiteral("\""));
        const auto target = targetFromReply(reply);
        QVERIFY(position && target);
        QTEST(position->ra, "ra");
        QTEST(position->dec, "dec");
        QCOMPARE(target->hours + ":" + target->minutes, reply.left(7));
        QCOMPARE(target->degrees + "*" + target->decMinutes, reply.mid(8, 6));
        QCOMPARE(*rawRightAscension(reply.left(8)), reply.left(7));
        QCOMPARE(*rawDeclination(reply.mid(8)), reply.mid(8, 6));
    }

    void repliesOutOfFormAreRefused_data() {
        QTest::addColumn<QString>("reply");
        QTest::newRow("empty") << QString();
        QTest::newRow("short") << QStringLiteral("12:34.5#+45*3");
        QTest::newRow("long") << QStringLiteral("12:34.5#+45*30##");
        QTest::newRow("high byte") << QString::fromLatin1("q\x17h\x94\xD6I<m+45*30#");
        QTest::newRow("NUL") << QString::fromLatin1("12:3\0.5#+45*30#", 15);
        QTest::newRow("hash inside") << QStringLiteral("12:34#5#+45*30#");
        QTest::newRow("no sign") << QStringLiteral("12:34.5#045*30#");
        QTest::newRow("late meets next") << QStringLiteral("06#00:0.0#+45*30");
        QTest::newRow("hour 24") << QStringLiteral("24:00.0#+45*30#");
        QTest::newRow("minute 60") << QStringLiteral("12:60.0#+45*30#");
        QTest::newRow("degree 91") << QStringLiteral("12:34.5#+91*30#");
        QTest::newRow("signed minutes") << QStringLiteral("12:34.5#+45*-2#");
        QTest::newRow("sync answer") << QStringLiteral("Synced#");
    }
    void repliesOutOfFormAreRefused() {
        QFETCH(QString, reply);
        QVERIFY(!positionFromReply(reply, QString(QChar(0xB0)), QStringLiteral("\"")));
        QVERIFY(!targetFromReply(reply));
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
            const auto p = positionFromReply(reply, QStringLiteral("d"), QStringLiteral("m"));
            if (p)
                QVERIFY2(
                    QRegularExpression("^([01]\\d|2[0-3])h[0-5]\\d\\.\\dm$")
                            .match(p->ra)
                            .hasMatch() &&
                        QRegularExpression("^[+-](\\d\\d)d[0-5]\\dm$").match(p->dec).hasMatch(),
                    qPrintable(reply));
        }
    }

    void dispatcherHandsEachKindToItsSubscribers() {
        ReplyDispatcher dispatcher;
        QStringList got;
        QObject owner;
        auto* shortLived = new QObject;
        dispatcher.subscribe(ReplyKind::Position, &owner,
                             [&](const QString& r) { got << "a" + r; });
        dispatcher.subscribe(ReplyKind::Position, shortLived,
                             [&](const QString& r) { got << "b" + r; });
        dispatcher.subscribe(ReplyKind::Version, &owner, [&](const QString& r) { got << "v" + r; });
        dispatcher.dispatch(ReplyKind::Position, QStringLiteral("1"));
        dispatcher.dispatch(ReplyKind::SetTarget, QStringLiteral("2"));
        delete shortLived;
        dispatcher.dispatch(ReplyKind::Position, QStringLiteral("3"));
        QCOMPARE(got, QStringList({"a1", "b1", "a3"}));
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "test_replies.moc"
