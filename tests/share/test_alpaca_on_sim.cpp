// ASCOM programs driving the mount over HTTP, end to end: the window on the
// simulated board sharing over Alpaca, requests written as a client writes
// them, the board's traffic log checked.
#include "AlpacaHttp.h"
#include "SharedWindow.h"
#include "app/CommandLine.h"
#include "share/AlpacaServer.h"
#include "share/ui/ShareDialog.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTcpServer>
#include <QUuid>

using namespace corvane;
using namespace corvane::test;

namespace {

// The board's focus commands beside the mount's.
QStringList notAlpacaCommands(const QStringList& lines) {
    static const QRegularExpression focus(QStringLiteral("^#:F[-+QSF]#$"));
    QStringList out;
    for (const QString& line : notClientCommands(lines))
        if (!focus.match(line).hasMatch())
            out << line;
    return out;
}

template <typename ClockType = FakeClock> struct AlpacaWindow : SharedWindow<ClockType> {
    using SharedWindow<ClockType>::SharedWindow;
    quint16 httpPort = 0;

    bool shareAlpaca() {
        ShareSettings settings;
        settings.alpaca = true;
        settings.alpacaPort = 0;
        const bool ok = this->server().start(settings, nullptr);
        httpPort = this->server().alpacaPort();
        return ok;
    }
    // "telescope/0/slewing": the JSON answer (empty on an HTTP fault).
    QJsonObject get(const QByteArray& member, const QByteArray& query = "ClientID=3") const {
        return askAlpaca(httpPort, test::get("/api/v1/" + member + '?' + query)).json();
    }
    QJsonObject put(const QByteArray& member, const QByteArray& form = "ClientID=3") const {
        return askAlpaca(httpPort, test::put("/api/v1/" + member, form)).json();
    }
    // Reads `member` until it is `want`, the clock moved on between reads.
    bool readsUntil(const QByteArray& member, bool want) {
        for (int i = 0; i < 200; ++i) {
            if (get(member).value("Value") == want)
                return true;
            this->clock.advance(500);
        }
        return false;
    }
};

int error(const QJsonObject& answer) {
    return answer.isEmpty() ? -1 : answer.value("ErrorNumber").toInt();
}

} // namespace

class TestAlpacaOnSim : public QObject {
    Q_OBJECT
private slots:
    // Connect from a closed port, reads, site, target, slew and arrival,
    // abort, sync, both axes both ways, a pulse, the focuser, invalid
    // values, and Disconnect leaving the line open. The board hears only
    // commands rebuilt for clients.
    void anAscomProgramDrivesTheMount() {
        AlpacaWindow<> w;
        QVERIFY(w.window->startUp());
        QVERIFY(w.shareAlpaca());
        const sim::MountMotion& mount = w.port->board().mount();
        QCOMPARE(w.get("telescope/0/connected").value("Value"), QJsonValue(false));
        QCOMPARE(error(w.get("telescope/0/rightascension")), int(kAlpacaNotConnected));
        QCOMPARE(error(w.put("telescope/0/connect")), 0);
        QVERIFY(w.readsUntil("telescope/0/connected", true));
        QCOMPARE(w.panel(1), QStringLiteral("Connected"));
        QVERIFY(w.settle());
        w.received();

        QVERIFY(qAbs(w.get("telescope/0/declination").value("Value").toDouble() - mount.dec()) <
                0.02);
        QCOMPARE(error(w.put("telescope/0/sitelatitude", "SiteLatitude=48.15")), 0);
        QCOMPARE(w.server().settings().site.latitude, 48.15);
        QCOMPARE(error(w.put("telescope/0/sitelatitude", "SiteLatitude=91")),
                 int(kAlpacaInvalidValue));
        QCOMPARE(error(w.get("telescope/0/targetrightascension")), int(kAlpacaValueNotSet));
        QCOMPARE(error(w.put("telescope/0/targetrightascension", "TargetRightAscension=24")),
                 int(kAlpacaInvalidValue));

        // A goto to the target, its arrival; another stopped half way; a sync.
        QCOMPARE(error(w.put("telescope/0/targetrightascension", "TargetRightAscension=5.575")), 0);
        QCOMPARE(error(w.put("telescope/0/targetdeclination", "TargetDeclination=45.5")), 0);
        QCOMPARE(error(w.put("telescope/0/slewtotargetasync")), 0);
        QCOMPARE(w.get("telescope/0/slewing").value("Value"), QJsonValue(true));
        QVERIFY(w.readsUntil("telescope/0/slewing", false));
        QVERIFY(qAbs(mount.dec() - 45.5) < 0.02);
        QCOMPARE(error(w.put("telescope/0/slewtocoordinatesasync",
                             "RightAscension=5.575&Declination=-20")),
                 0);
        QVERIFY(mount.isSlewing());
        QCOMPARE(error(w.put("telescope/0/abortslew")), 0);
        QVERIFY(!mount.isSlewing());
        QCOMPARE(w.get("telescope/0/slewing").value("Value"), QJsonValue(false));
        QCOMPARE(error(w.put("telescope/0/synctocoordinates", "RightAscension=6&Declination=10")),
                 0);

        // Both axes both ways at the board's rates; another rate is refused.
        const QJsonArray rates = w.get("telescope/0/axisrates", "Axis=0").value("Value").toArray();
        QCOMPARE(rates.size(), 3);
        const QByteArray rate =
            QByteArray::number(rates[2].toObject().value("Maximum").toDouble(), 'g', 17);
        QCOMPARE(error(w.put("telescope/0/moveaxis", "Axis=0&Rate=" + rate)), 0);
        QCOMPARE(error(w.put("telescope/0/moveaxis", "Axis=0&Rate=0")), 0);
        QCOMPARE(error(w.put("telescope/0/moveaxis", "Axis=1&Rate=-" + rate)), 0);
        QVERIFY(mount.isBusy());
        QCOMPARE(error(w.put("telescope/0/moveaxis", "Axis=1&Rate=0")), 0);
        QVERIFY(!mount.isBusy());
        QCOMPARE(error(w.put("telescope/0/moveaxis", "Axis=0&Rate=0.5")), int(kAlpacaInvalidValue));
        QCOMPARE(error(w.put("telescope/0/pulseguide", "Direction=0&Duration=500")), 0);
        QCOMPARE(w.get("telescope/0/ispulseguiding").value("Value"), QJsonValue(true));
        QCOMPARE(error(w.put("telescope/0/pulseguide", "Direction=7&Duration=500")),
                 int(kAlpacaInvalidValue));

        // The focuser: a move that ends by itself, one halted.
        QCOMPARE(error(w.put("focuser/0/move", "Position=-300")), 0);
        QVERIFY(w.readsUntil("focuser/0/ismoving", false));
        QCOMPARE(error(w.put("focuser/0/move", "Position=20000")), 0);
        QCOMPARE(error(w.put("focuser/0/halt")), 0);
        QCOMPARE(w.get("focuser/0/ismoving").value("Value"), QJsonValue(false));
        QCOMPARE(error(w.put("focuser/0/move", "Position=30001")), int(kAlpacaInvalidValue));

        QVERIFY(w.settle());
        const QStringList sent = w.received();
        QStringList commands = sent;
        commands.removeAll(QStringLiteral("#:GR##:GD#"));
        QCOMPARE(commands,
                 QStringList({"#:Sr 05:34.5#", "#:Sd +45*30#", "#:MS#",      "#:Sr 05:34.5#",
                              "#:Sd -20*00#",  "#:MS#",        "#:Q#",       "#:Sr 06:00.0#",
                              "#:Sd +10*00#",  "#:CM#",        "#:RS#",      "#:Qw##:Me#",
                              "#:Qe#",         "#:RS#",        "#:Qn##:Ms#", "#:Qs#",
                              "#:Mgn500#",     "#:FS#",        "#:F+#",      "#:FQ#",
                              "#:FS#",         "#:F-#",        "#:FQ#"}));
        QCOMPARE(notAlpacaCommands(sent), QStringList());

        // Disconnect marks the device only: the line stays open.
        QCOMPARE(error(w.put("telescope/0/disconnect")), 0);
        QCOMPARE(error(w.get("telescope/0/rightascension")), int(kAlpacaNotConnected));
        QVERIFY(w.session().isOpen());
    }

    // On the system clock at 9600 baud: while a PEC read-out runs a slew is
    // refused with the reason, and the stop still goes out.
    void busyDuringAReadOut() {
        AlpacaWindow<SystemClock> w;
        QVERIFY(w.connect() && w.shareAlpaca());
        QCOMPARE(error(w.put("telescope/0/connect")), 0);
        QVERIFY(w.settle());
        w.received();
        w.click(QStringLiteral("GetPECData"));
        QVERIFY(w.line().isRunningExclusive());
        const QJsonObject refused =
            w.put("telescope/0/slewtocoordinatesasync", "RightAscension=1&Declination=2");
        QCOMPARE(error(refused), int(kAlpacaInvalidOperation));
        QVERIFY2(refused.value("ErrorMessage").toString().contains("busy"),
                 qPrintable(refused.value("ErrorMessage").toString()));
        QCOMPARE(error(w.put("telescope/0/abortslew")), 0);
        QVERIFY(w.settle());
        const QStringList sent = w.received();
        QVERIFY(sent.contains(QStringLiteral("#:Q#")));
        QVERIFY(sent.filter(QStringLiteral(":MS#")).isEmpty());
    }

    // The Share dialog's Alpaca row starts it (the devices' IDs made and
    // kept), lists its clients, and warns before an outside address;
    // --alpaca shares it from the command line.
    void theShareDialogAndCommandLine() {
        SharedWindow<> w;
        QVERIFY(w.connect());
        w.server().stop();
        w.server().setSettings(ShareSettings());
        w.trigger(QStringLiteral("mnuShare"));
        auto* dialog = w.find<ShareDialog>(QStringLiteral("Share"));
        dialog->chkAlpaca->setChecked(true);
        dialog->txtAlpacaAddress->setText(QStringLiteral("127.0.0.l"));
        dialog->toggleSharing();
        QVERIFY(!w.server().isSharing());
        QVERIFY(w.prompts.shown.last().text.contains(QLatin1String("Alpaca address")));
        dialog->txtAlpacaAddress->setText(QStringLiteral("127.0.0.1"));
        QTcpServer probe; // a port free for the test
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        dialog->spnAlpacaPort->setValue(port);
        dialog->toggleSharing();
        QCOMPARE(w.server().alpacaPort(), port);
        const QString id = w.server().settings().alpacaTelescopeId;
        QVERIFY(!QUuid::fromString(id).isNull());
        QVERIFY(
            dialog->lblAddress->text().contains(QStringLiteral("127.0.0.1:%1 (Alpaca)").arg(port)));
        askAlpaca(port, get("/api/v1/telescope/0/connected?ClientID=77"));
        w.clock.advance(AlpacaServer::kShownEveryMs);
        QTRY_COMPARE(dialog->gridClients->rowCount(), 1);
        QCOMPARE(dialog->gridClients->item(0, 1)->text(), QStringLiteral("Alpaca, ClientID 77"));
        QCOMPARE(dialog->gridClients->item(0, 2)->text(), QStringLiteral("connected"));
        QCOMPARE(w.panel(5), QStringLiteral("Shared: 1 clients"));
        dialog->toggleSharing(); // off; on again keeps the IDs
        dialog->toggleSharing();
        QCOMPARE(w.server().settings().alpacaTelescopeId, id);
        QVERIFY(
            askAlpaca(port, get("/management/v1/configureddevices")).body.contains(id.toUtf8()));

        dialog->toggleSharing();
        dialog->txtAlpacaAddress->setText(QStringLiteral("0.0.0.0"));
        w.prompts.answers << PromptAnswer::Cancel;
        dialog->toggleSharing();
        QVERIFY(!w.server().isSharing());
        QVERIFY(w.prompts.shown.last().text.contains(QLatin1String("Anyone on the network")));

        CommandLine options;
        options.alpacaAddress = QStringLiteral("0.0.0.0");
        options.alpacaPort = port;
        w.window->startFromCommandLine(options);
        QCOMPARE(w.server().alpacaPort(), port);
        QVERIFY2(w.panel(4).contains(QStringLiteral("0.0.0.0:%1 (Alpaca)").arg(port)),
                 qPrintable(w.panel(4)));
    }
};

QTEST_MAIN(TestAlpacaOnSim)
#include "test_alpaca_on_sim.moc"
