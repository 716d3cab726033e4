// Reply dispatch: what each awaited kind makes of a reply.
#include "common/FakeClock.h"
#include "link/Channel.h"
#include "link/Dispatcher.h"

#include <QtTest>

using namespace corvane;

namespace {

struct RecordingSink : ReplySink {
    QStringList calls;
    VersionInfo version;
    PositionText position;
    TargetText target;
    QString text;

    void showVersion(const QString& r, const VersionInfo& info) override {
        calls << "version";
        text = r;
        version = info;
    }
    void showScopeRA(const QString& t) override {
        calls << "ra";
        text = t;
    }
    void showScopeDEC(const QString& t) override {
        calls << "dec";
        text = t;
    }
    void showScopePosition(const PositionText& p) override {
        calls << "position";
        position = p;
    }
    void showControllerTarget(const TargetText& t) override {
        calls << "target";
        target = t;
    }
    void decodeSettingsDump(const QString&) override { calls << "settings"; }
    void decodePECState(const QString&) override { calls << "pecstate"; }
    void decodePECTable(const QString&) override { calls << "pectable"; }
    QString degreeMark() const override { return QString(QChar(0xB0)); }
    QString minuteMark() const override { return QStringLiteral("\""); }
};

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT

    test::FakeClock clock;

    RecordingSink dispatch(qint16 kind, const QString& reply, bool armed = true) {
        Channel channel(clock);
        channel.awaitedKind = kind;
        channel.dispatchArmed = armed;
        RecordingSink sink;
        dispatchReply(channel, reply, sink);
        if (!channel.dispatchArmed)
            sink.calls << "not re-armed";
        return sink;
    }

private slots:
    void versionThresholds_data() {
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
        QTest::newRow("3.59") << "3.59#" << 3.59f << true << true << false << true;
        QTest::newRow("1.9") << "1.9#" << 1.9f << false << false << false << false;
        QTest::newRow("no number") << "Vx#" << 0.0f << false << false << false << false;
        QTest::newRow("empty") << "" << 0.0f << false << false << false << false;
    }
    void versionThresholds() {
        QFETCH(QString, reply);
        QFETCH(float, version);
        QFETCH(bool, split);
        QFETCH(bool, touchUp);
        QFETCH(bool, decRow);
        QFETCH(bool, tarvix);
        const RecordingSink sink = dispatch(ReplyKind::Version, reply);
        QCOMPARE(sink.calls, QStringList{"version"});
        QCOMPARE(sink.version.version, version);
        QCOMPARE(sink.version.splitSettingsDump, split);
        QCOMPARE(sink.version.pecTouchUp, touchUp);
        QCOMPARE(sink.version.decWormRowShown, decRow);
        QCOMPARE(sink.version.tarvixEnabled, tarvix);
        QCOMPARE(versionCaption(reply), QStringLiteral("Corvane Update Ver. ") + reply);
    }

    void positionReplies() {
        const QString r = QStringLiteral("12:34.5#+45*30#");
        for (qint16 kind : {ReplyKind::Position, ReplyKind::Position2}) {
            const RecordingSink sink = dispatch(kind, r);
            QCOMPARE(sink.calls, QStringList{"position"});
            QCOMPARE(sink.position.ra, QStringLiteral("12h34.5m"));
            QCOMPARE(sink.position.dec, QString("+45") + QChar(0xB0) + "30\"");
        }
        const RecordingSink south = dispatch(ReplyKind::Position, "01:02.3#-05*07#");
        QCOMPARE(south.position.dec, QString("-05") + QChar(0xB0) + "07\"");
    }

    void controllerTargetFillsTheFourFields() {
        const RecordingSink sink = dispatch(ReplyKind::ControllerTarget, "12:34.5#+45*30#");
        QCOMPARE(sink.calls, QStringList{"target"});
        QCOMPARE(sink.target.hours, QStringLiteral("12"));
        QCOMPARE(sink.target.minutes, QStringLiteral("34.5"));
        QCOMPARE(sink.target.degrees, QStringLiteral("+45"));
        QCOMPARE(sink.target.decMinutes, QStringLiteral("30"));
        // Leading noise is cut off: only the last 15 characters count.
        const RecordingSink noisy = dispatch(ReplyKind::ControllerTarget, "1#12:34.5#+45*30#");
        QCOMPARE(noisy.target.response, QStringLiteral("12:34.5#+45*30#"));
        QCOMPARE(noisy.target.hours, QStringLiteral("12"));
    }

    void singleAxisRepliesAreShownRaw() {
        QCOMPARE(dispatch(ReplyKind::RightAscension, "12:34.5#").text, QStringLiteral("12:34.5"));
        QCOMPARE(dispatch(ReplyKind::Declination, "+45*30#").text, QStringLiteral("+45*30"));
    }

    void emptyAndShortReplies() {
        QCOMPARE(dispatch(ReplyKind::Position, "").calls, QStringList{});
        const RecordingSink shortOne = dispatch(ReplyKind::Position, "1");
        QCOMPARE(shortOne.position.ra, QStringLiteral("1h1m"));
        QCOMPARE(dispatch(ReplyKind::RightAscension, "").text, QString());
    }

    void decodersAndUnknownKinds() {
        QCOMPARE(dispatch(ReplyKind::SettingsDump, "50 ").calls, QStringList{"settings"});
        QCOMPARE(dispatch(ReplyKind::PecState, "00 ").calls, QStringList{"pecstate"});
        QCOMPARE(dispatch(ReplyKind::PecTable, "0").calls, QStringList{"pectable"});
        QCOMPARE(dispatch(ReplyKind::SetTarget, "1").calls, QStringList{});
        QCOMPARE(dispatch(ReplyKind::RawTerminal, "1").calls, QStringList{});
        QCOMPARE(dispatch(77, "1").calls, QStringList{});
    }

    void disarmedReceptionIsNotInterpretedButRearms() {
        const RecordingSink sink = dispatch(ReplyKind::Position, "12:34.5#+45*30#", false);
        QCOMPARE(sink.calls, QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestDispatch)
#include "test_dispatch.moc"
