// The Alpaca telescope and focuser driven directly (no HTTP) on the
// simulated board, the board's traffic log checked.
#include "SharedWindow.h"
#include "share/AlpacaFocuser.h"
#include "share/AlpacaTelescope.h"
#include "share/SharedMount.h"
#include "share/SkyTime.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>

using namespace corvane;
using namespace corvane::test;

namespace {

using Params = QMap<QString, QString>;
// What a PUT that went through gives: no value.
const QJsonValue kDone(QJsonValue::Undefined);

AlpacaReply call(AlpacaDevice& device, AlpacaRequest::Verb verb, const QString& member,
                 const Params& parameters) {
    AlpacaRequest r;
    r.verb = verb;
    r.member = member;
    r.parameters = parameters;
    r.clientId = 7;
    std::optional<AlpacaReply> got;
    int answers = 0;
    device.handle(r, [&](AlpacaReply reply) {
        got = reply;
        ++answers;
    });
    (void)QTest::qWaitFor([&] { return got.has_value(); }, 5000);
    if (answers > 1)
        return AlpacaReply::bad(QStringLiteral("answered twice"));
    return got.value_or(AlpacaReply::bad(QStringLiteral("no answer")));
}

AlpacaReply get(AlpacaDevice& d, const QString& member, const Params& p = {}) {
    return call(d, AlpacaRequest::Verb::Get, member, p);
}
AlpacaReply put(AlpacaDevice& d, const QString& member, const Params& p = {}) {
    return call(d, AlpacaRequest::Verb::Put, member, p);
}
// The value of a read that must succeed (NaN, an error's number as text, when it does not).
QJsonValue value(const AlpacaReply& r) {
    if (!r.badRequest.isEmpty() || r.errorNumber != kAlpacaOk)
        return QStringLiteral("%1 %2%3").arg(r.errorNumber).arg(r.errorMessage, r.badRequest);
    return r.value;
}

// The window on the simulated board with both devices on its shared mount.
struct Devices : SharedWindow<> {
    ShareSettings settings;
    AlpacaTelescope telescope{server().mount(), settings, QStringLiteral("t-id")};
    AlpacaFocuser focuser{server().mount(), QStringLiteral("f-id")};
    sim::MountMotion& board() { return port->board().mount(); }
    // Reads `member` until it is `want`, the clock moved on between reads.
    bool readsUntil(const QString& member, bool want, int stepMs = 500, int tries = 200) {
        for (int i = 0; i < tries; ++i) {
            if (value(get(telescope, member)) == want)
                return true;
            clock.advance(stepMs);
        }
        return false;
    }
};

} // namespace

class TestAlpacaDevices : public QObject {
    Q_OBJECT
private slots:
    // The sky helper against an almanac's figures: 1987 April 10, 0h and
    // 19:21 UT (mean sidereal 13:10:46.3668 and 8:34:57.0896, apparent
    // 13:10:46.1351), and the horizon at the pole and on the meridian.
    void siderealTimeAndHorizon() {
        const QDateTime midnight(QDate(1987, 4, 10), QTime(0, 0), Qt::UTC);
        QVERIFY(qAbs(greenwichMeanSiderealHours(midnight) * 3600 - 47446.3668) < 0.01);
        QVERIFY(qAbs(greenwichMeanSiderealHours(midnight.addSecs(69660)) * 3600 - 30897.0896) <
                0.01);
        QVERIFY(qAbs(localApparentSiderealHours(midnight, 0.0) * 3600 - 47446.1351) < 0.05);
        QVERIFY(qAbs(localApparentSiderealHours(midnight, -15.0) * 3600 - 43846.1351) < 0.05);
        const Horizontal pole = horizontalOf(3.0, 90.0, 48.0, 17.0);
        QVERIFY(qAbs(pole.altitude - 48.0) < 1e-9 && qMin(pole.azimuth, 360 - pole.azimuth) < 1e-6);
        for (int hour = 0; hour < 24; ++hour) // the azimuth stays below 360
            for (double latitude : {0.0, 48.0, -30.0})
                QVERIFY(horizontalOf(3.0, 90.0, latitude, hour + 0.5).azimuth < 360.0);
        const Horizontal south = horizontalOf(6.0, 0.0, 48.0, 6.0);
        QVERIFY(qAbs(south.altitude - 42.0) < 1e-9 && qAbs(south.azimuth - 180.0) < 1e-9);
        const Horizontal east = horizontalOf(12.0, 0.0, 0.0, 6.0);
        QVERIFY(qAbs(east.altitude) < 1e-9 && qAbs(east.azimuth - 90.0) < 1e-9);
    }

    // From a closed port: Connect opens it as Port > Connect does and the
    // device is connected once the board answered. Disconnect marks only the
    // device that was disconnected and leaves the line open. Raw commands,
    // actions, unknown members and wrong verbs never reach the board.
    void connectingAndTheCommonMembers() {
        Devices w;
        QVERIFY(w.window->startUp());
        QCOMPARE(value(get(w.telescope, QStringLiteral("connected"))), QJsonValue(false));
        QCOMPARE(get(w.telescope, QStringLiteral("rightascension")).errorNumber,
                 int(kAlpacaNotConnected));
        QCOMPARE(get(w.focuser, QStringLiteral("ismoving")).errorNumber, int(kAlpacaNotConnected));
        QCOMPARE(value(put(w.telescope, QStringLiteral("connect"))), kDone);
        QTRY_COMPARE(value(get(w.telescope, QStringLiteral("connected"))), QJsonValue(true));
        QCOMPARE(value(get(w.telescope, QStringLiteral("connecting"))), QJsonValue(false));
        QCOMPARE(w.panel(1), QStringLiteral("Connected"));
        QCOMPARE(value(get(w.focuser, QStringLiteral("connected"))), QJsonValue(true));
        w.received();

        QCOMPARE(value(get(w.telescope, QStringLiteral("interfaceversion"))), QJsonValue(4));
        QCOMPARE(value(get(w.focuser, QStringLiteral("supportedactions"))),
                 QJsonValue(QJsonArray()));
        QCOMPARE(put(w.telescope, QStringLiteral("action"), {{"action", "x"}, {"parameters", ""}})
                     .errorNumber,
                 int(kAlpacaActionNotImplemented));
        for (const char* raw : {"commandblind", "commandbool", "commandstring"})
            QCOMPARE(put(w.telescope, QLatin1String(raw), {{"command", ":Q#"}, {"raw", "true"}})
                         .errorNumber,
                     int(kAlpacaNotImplemented));
        QVERIFY(!get(w.telescope, QStringLiteral("park")).badRequest.isEmpty());
        QVERIFY(!put(w.telescope, QStringLiteral("rightascension")).badRequest.isEmpty());
        QVERIFY(!get(w.focuser, QStringLiteral("slewing")).badRequest.isEmpty());
        QVERIFY(!put(w.telescope, QStringLiteral("connected"), {{"connected", "yes"}})
                     .badRequest.isEmpty());
        QVERIFY(w.settle());
        QCOMPARE(w.received(), QStringList());

        QCOMPARE(value(put(w.telescope, QStringLiteral("disconnect"))), kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("connected"))), QJsonValue(false));
        QCOMPARE(get(w.telescope, QStringLiteral("declination")).errorNumber,
                 int(kAlpacaNotConnected));
        QVERIFY(w.session().isOpen());
        QCOMPARE(value(get(w.focuser, QStringLiteral("connected"))), QJsonValue(true));
        QCOMPARE(value(put(w.telescope, QStringLiteral("connected"), {{"connected", "True"}})),
                 kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("connected"))), QJsonValue(true));
        QVERIFY(w.settle());
        QCOMPARE(w.received(), QStringList());
    }

    // Positions, the horizon and sidereal time from the site; the site and
    // target read and written, out of range refused.
    void readsSiteAndTarget() {
        Devices w;
        QVERIFY(w.connect());
        w.board().setPosition(5.575, 90.0);
        QSignalSpy siteChanged(&w.telescope, &AlpacaTelescope::siteChanged);
        QCOMPARE(
            value(put(w.telescope, QStringLiteral("sitelatitude"), {{"sitelatitude", "48.5"}})),
            kDone);
        QCOMPARE(put(w.telescope, QStringLiteral("sitelongitude"), {{"sitelongitude", "180.5"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QCOMPARE(put(w.telescope, QStringLiteral("siteelevation"), {{"siteelevation", "1e5"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QVERIFY(!put(w.telescope, QStringLiteral("sitelatitude"), {{"sitelatitude", "north"}})
                     .badRequest.isEmpty());
        QVERIFY(!put(w.telescope, QStringLiteral("sitelatitude")).badRequest.isEmpty());
        QCOMPARE(siteChanged.count(), 1);
        QCOMPARE(w.settings.site.latitude, 48.5);

        QCOMPARE(value(get(w.telescope, QStringLiteral("declination"))), QJsonValue(90.0));
        QVERIFY(qAbs(value(get(w.telescope, QStringLiteral("rightascension"))).toDouble() - 5.575) <
                0.002);
        QVERIFY(qAbs(value(get(w.telescope, QStringLiteral("altitude"))).toDouble() - 48.5) < 1e-6);
        const double lst = value(get(w.telescope, QStringLiteral("siderealtime"))).toDouble();
        QCOMPARE(
            value(put(w.telescope, QStringLiteral("sitelongitude"), {{"sitelongitude", "-15"}})),
            kDone);
        const double west = value(get(w.telescope, QStringLiteral("siderealtime"))).toDouble();
        QVERIFY2(qAbs(std::fmod(lst - west + 24.0, 24.0) - 1.0) < 1e-6,
                 qPrintable(QString::number(west)));
        QCOMPARE(value(get(w.telescope, QStringLiteral("utcdate"))),
                 QJsonValue(w.clock.utcNow().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"))));
        QJsonObject state;
        for (const QJsonValue& v : value(get(w.telescope, QStringLiteral("devicestate"))).toArray())
            state.insert(v[QStringLiteral("Name")].toString(), v[QStringLiteral("Value")]);
        QCOMPARE(state.value(QStringLiteral("Declination")), QJsonValue(90.0));
        QCOMPARE(state.value(QStringLiteral("Slewing")), QJsonValue(false));
        QVERIFY(qAbs(state.value(QStringLiteral("Altitude")).toDouble() - 48.5) < 1e-6);
        QCOMPARE(value(get(w.telescope, QStringLiteral("equatorialsystem"))), QJsonValue(2));
        w.settings.syncedJNow = true;
        QCOMPARE(value(get(w.telescope, QStringLiteral("equatorialsystem"))), QJsonValue(1));

        QCOMPARE(get(w.telescope, QStringLiteral("targetrightascension")).errorNumber,
                 int(kAlpacaValueNotSet));
        QCOMPARE(put(w.telescope, QStringLiteral("targetrightascension"),
                     {{"targetrightascension", "24"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QCOMPARE(
            put(w.telescope, QStringLiteral("targetdeclination"), {{"targetdeclination", "-90.01"}})
                .errorNumber,
            int(kAlpacaInvalidValue));
        QCOMPARE(value(put(w.telescope, QStringLiteral("targetrightascension"),
                           {{"targetrightascension", "23.99"}})),
                 kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("targetrightascension"))),
                 QJsonValue(23.99));
        QCOMPARE(put(w.telescope, QStringLiteral("slewtotargetasync")).errorNumber,
                 int(kAlpacaInvalidOperation));
    }

    // A goto: the board's target then its goto, Slewing until the mount
    // stands at the target; the stop; a sync, after which the position is
    // the board's.
    void slewAbortAndSync() {
        Devices w;
        QVERIFY(w.connect());
        w.received();
        const Params at = {{"rightascension", "5.575"}, {"declination", "45.5"}};
        QCOMPARE(value(put(w.telescope, QStringLiteral("slewtocoordinatesasync"), at)), kDone);
        QVERIFY(w.board().isSlewing());
        QCOMPARE(value(get(w.telescope, QStringLiteral("slewing"))), QJsonValue(true));
        QVERIFY(w.readsUntil(QStringLiteral("slewing"), false));
        QVERIFY(!w.board().isSlewing());
        QCOMPARE(value(get(w.telescope, QStringLiteral("declination"))), QJsonValue(45.5));
        QCOMPARE(value(get(w.telescope, QStringLiteral("targetdeclination"))), QJsonValue(45.5));

        QCOMPARE(value(put(w.telescope, QStringLiteral("targetdeclination"),
                           {{"targetdeclination", "-20"}})),
                 kDone);
        QCOMPARE(value(put(w.telescope, QStringLiteral("slewtotargetasync"))), kDone);
        w.clock.advance(500);
        QCOMPARE(value(put(w.telescope, QStringLiteral("abortslew"))), kDone);
        QVERIFY(!w.board().isBusy());
        QCOMPARE(value(get(w.telescope, QStringLiteral("slewing"))), QJsonValue(false));

        QCOMPARE(value(put(w.telescope, QStringLiteral("synctocoordinates"),
                           {{"rightascension", "6"}, {"declination", "10"}})),
                 kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("declination"))), QJsonValue(10.0));
        QCOMPARE(put(w.telescope, QStringLiteral("slewtocoordinatesasync"),
                     {{"rightascension", "-1"}, {"declination", "0"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QVERIFY(w.settle());
        const QStringList sent = w.received();
        QCOMPARE(
            sent.filter(QRegularExpression(QStringLiteral("^#:(S|MS|Q#|CM)"))),
            QStringList({"#:Sr 05:34.5#", "#:Sd +45*30#", "#:MS#", "#:Sr 05:34.5#", "#:Sd -20*00#",
                         "#:MS#", "#:Q#", "#:Sr 06:00.0#", "#:Sd +10*00#", "#:CM#"}));
        QCOMPARE(notClientCommands(sent), QStringList());
    }

    // Both axes both ways at the board's rates and their stops (the window's
    // too), the one rate the board has for both, guide pulses for their time.
    void movesAndPulses() {
        Devices w;
        QVERIFY(w.connect());
        w.received();
        const QJsonArray rates =
            value(get(w.telescope, QStringLiteral("axisrates"), {{"axis", "1"}})).toArray();
        QCOMPARE(rates.size(), 3);
        const auto rate = [&rates](int i, double sign) {
            return QString::number(sign * rates[i].toObject()[QStringLiteral("Maximum")].toDouble(),
                                   'g', 17);
        };
        QCOMPARE(rate(0, 1), QString::number(2 * 15.041 / 3600, 'g', 17));
        QCOMPARE(value(put(w.telescope, QStringLiteral("moveaxis"),
                           {{"axis", "0"}, {"rate", rate(2, 1)}})),
                 kDone);
        QVERIFY(w.board().isMoving(sim::Direction::East));
        QCOMPARE(value(get(w.telescope, QStringLiteral("slewing"))), QJsonValue(true));
        QCOMPARE(put(w.telescope, QStringLiteral("moveaxis"), {{"axis", "1"}, {"rate", rate(1, 1)}})
                     .errorNumber,
                 int(kAlpacaInvalidOperation));
        QCOMPARE(value(put(w.telescope, QStringLiteral("moveaxis"),
                           {{"axis", "1"}, {"rate", rate(2, -1)}})),
                 kDone);
        QVERIFY(w.board().isMoving(sim::Direction::South));
        const auto move = [&w](const char* axis, const QString& rate) {
            return value(
                put(w.telescope, QStringLiteral("moveaxis"), {{"axis", axis}, {"rate", rate}}));
        };
        QCOMPARE(move("1", "0"), kDone);
        QCOMPARE(move("0", rate(0, -1)), kDone);
        QCOMPARE(move("1", rate(0, 1)), kDone);
        QVERIFY(w.board().isMoving(sim::Direction::West) &&
                w.board().isMoving(sim::Direction::North));
        QCOMPARE(put(w.telescope, QStringLiteral("moveaxis"), {{"axis", "0"}, {"rate", "0.5"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QCOMPARE(put(w.telescope, QStringLiteral("moveaxis"), {{"axis", "2"}, {"rate", "0"}})
                     .errorNumber,
                 int(kAlpacaInvalidValue));
        QCOMPARE(move("0", "0"), kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("slewing"))), QJsonValue(true));
        w.click(QStringLiteral("cmdMoveStop")); // the window's STOP ends the client's move
        QVERIFY(!w.board().isBusy());
        QCOMPARE(value(get(w.telescope, QStringLiteral("slewing"))), QJsonValue(false));

        QCOMPARE(value(put(w.telescope, QStringLiteral("pulseguide"),
                           {{"direction", "2"}, {"duration", "500"}})),
                 kDone);
        QCOMPARE(value(get(w.telescope, QStringLiteral("ispulseguiding"))), QJsonValue(true));
        w.clock.advance(499);
        QCOMPARE(value(get(w.telescope, QStringLiteral("ispulseguiding"))), QJsonValue(true));
        w.clock.advance(1);
        QCOMPARE(value(get(w.telescope, QStringLiteral("ispulseguiding"))), QJsonValue(false));
        for (const Params& bad : {Params{{"direction", "4"}, {"duration", "10"}},
                                  Params{{"direction", "0"}, {"duration", "65536"}}})
            QCOMPARE(put(w.telescope, QStringLiteral("pulseguide"), bad).errorNumber,
                     int(kAlpacaInvalidValue));
        QVERIFY(w.settle());
        QCOMPARE(w.received(),
                 QStringList({"#:RS#", "#:Qw##:Me#", "#:RS#", "#:Qn##:Ms#", "#:Qs#", "#:RG#",
                              "#:Qe##:Mw#", "#:RG#", "#:Qs##:Mn#", "#:Qw#", "#:Q#", "#:Mge500#"}));
    }

    // A relative move runs its steps' milliseconds, then stops; Halt stops
    // at once.
    void focuserMovesAndHalts() {
        Devices w;
        QVERIFY(w.connect());
        w.received();
        const sim::Focuser& motor = w.port->board().focuser();
        QCOMPARE(value(put(w.focuser, QStringLiteral("move"), {{"position", "1500"}})), kDone);
        QCOMPARE(value(get(w.focuser, QStringLiteral("ismoving"))), QJsonValue(true));
        QCOMPARE(put(w.focuser, QStringLiteral("move"), {{"position", "5"}}).errorNumber,
                 int(kAlpacaInvalidOperation));
        w.clock.advance(1499);
        QCOMPARE(motor.direction, -1);
        w.clock.advance(1);
        QVERIFY(w.settle());
        QCOMPARE(value(get(w.focuser, QStringLiteral("ismoving"))), QJsonValue(false));
        QCOMPARE(motor.direction, 0);
        QCOMPARE(value(put(w.focuser, QStringLiteral("move"), {{"position", "-30000"}})), kDone);
        QCOMPARE(value(put(w.focuser, QStringLiteral("halt"))), kDone);
        QCOMPARE(value(get(w.focuser, QStringLiteral("ismoving"))), QJsonValue(false));
        QCOMPARE(put(w.focuser, QStringLiteral("move"), {{"position", "30001"}}).errorNumber,
                 int(kAlpacaInvalidValue));
        QCOMPARE(get(w.focuser, QStringLiteral("position")).errorNumber,
                 int(kAlpacaNotImplemented));
        QCOMPARE(put(w.focuser, QStringLiteral("tempcomp"), {{"tempcomp", "true"}}).errorNumber,
                 int(kAlpacaNotImplemented));
        QCOMPARE(value(put(w.focuser, QStringLiteral("tempcomp"), {{"tempcomp", "false"}})), kDone);
        QVERIFY(w.settle());
        QCOMPARE(w.received(), QStringList({"#:FS#", "#:F-#", "#:FQ#", "#:FS#", "#:F+#", "#:FQ#"}));
    }

    // While a PEC read-out runs (the test plays the board) motion is refused
    // with the reason and stops still pass; the position read before is
    // given while recent, never once older than five seconds.
    void busyDuringAReadOut() {
        WindowFixture w;
        w.startAndConnect();
        ShareSettings settings;
        AlpacaTelescope telescope(w.window->share().mount(), settings, QStringLiteral("t"));
        AlpacaFocuser focuser(w.window->share().mount(), QStringLiteral("f"));
        AlpacaRequest ra;
        ra.member = QStringLiteral("rightascension");
        std::optional<AlpacaReply> first;
        telescope.handle(ra, [&first](AlpacaReply r) { first = r; });
        w.reply("05:34.5#+45*30#");
        QTRY_COMPARE(value(first.value_or(AlpacaReply())), QJsonValue(5.575));
        w.click(QStringLiteral("GetPECData"));
        QVERIFY(w.line().isRunningExclusive());
        w.port->clearWrites();
        const QList<AlpacaReply> refused = {
            put(telescope, QStringLiteral("slewtocoordinatesasync"),
                {{"rightascension", "1"}, {"declination", "2"}}),
            put(telescope, QStringLiteral("moveaxis"), {{"axis", "0"}, {"rate", "0.00835"}}),
            put(telescope, QStringLiteral("pulseguide"), {{"direction", "0"}, {"duration", "100"}}),
            put(focuser, QStringLiteral("move"), {{"position", "100"}})};
        for (const AlpacaReply& r : refused)
            QVERIFY2(r.errorNumber == kAlpacaInvalidOperation && r.errorMessage.contains("busy"),
                     qPrintable(r.errorMessage));
        QCOMPARE(value(get(telescope, QStringLiteral("rightascension"))), QJsonValue(5.575));
        QCOMPARE(value(put(telescope, QStringLiteral("abortslew"))), kDone);
        QCOMPARE(value(put(focuser, QStringLiteral("halt"))), kDone);
        QTRY_COMPARE(w.sent(), QStringList({"#:Q#", "#:FQ#"}));
        // The read-out ends for want of its table; the board then gives no
        // position either: the one read before is too old to stand in.
        w.clock.advance(AlpacaTelescope::kOldestPositionMs + 1000);
        QVERIFY(!w.line().isRunningExclusive());
        std::optional<AlpacaReply> late;
        telescope.handle(ra, [&late](AlpacaReply r) { late = r; });
        w.clock.advance(2000);
        QTRY_VERIFY(late.has_value());
        QVERIFY2(late->errorNumber == kAlpacaDriverError &&
                     late->errorMessage.contains(QLatin1String("has not given")),
                 qPrintable(late->errorMessage));
    }

    // Connected=true answers once the board has answered the greeting, and
    // Connecting holds meanwhile; a port that does not open is said so.
    void connectingWaitsForTheGreeting() {
        WindowFixture w;
        w.window->startUp();
        ShareSettings settings;
        AlpacaFocuser focuser(w.window->share().mount(), QStringLiteral("f"));
        AlpacaRequest on;
        on.verb = AlpacaRequest::Verb::Put;
        on.member = QStringLiteral("connected");
        on.parameters.insert(QStringLiteral("connected"), QStringLiteral("true"));
        std::optional<AlpacaReply> answer;
        focuser.handle(on, [&answer](AlpacaReply r) { answer = r; });
        QVERIFY(w.session().isOpen());
        QCOMPARE(value(get(focuser, QStringLiteral("connecting"))), QJsonValue(true));
        QCOMPARE(value(get(focuser, QStringLiteral("connected"))), QJsonValue(false));
        QVERIFY(!answer);
        w.reply("3.60 CORV#");
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(value(*answer), kDone);
        QCOMPARE(value(get(focuser, QStringLiteral("connecting"))), QJsonValue(false));
        QCOMPARE(value(get(focuser, QStringLiteral("connected"))), QJsonValue(true));

        WindowFixture closed(QSet<int>{});
        closed.window->startUp();
        AlpacaTelescope unplugged(closed.window->share().mount(), settings, QStringLiteral("u"));
        QCOMPARE(put(unplugged, QStringLiteral("connect")).errorNumber, int(kAlpacaDriverError));
        QCOMPARE(value(get(unplugged, QStringLiteral("connecting"))), QJsonValue(false));
    }
};

QTEST_MAIN(TestAlpacaDevices)
#include "test_alpaca_devices.moc"
