// Programs sharing the mount, end to end: clients over TCP in this process,
// the window on the simulated board, the board's traffic log.
#include "SharedWindow.h"
#include "app/CommandLine.h"
#include "link/TrafficLog.h"
#include "share/ShareClient.h"
#include "share/ui/ShareDialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTcpServer>

using namespace corvane;
using namespace corvane::test;

namespace {

QString targetFields(const SimWindow<>& w) {
    QStringList out;
    for (const char* name : {"objhrstxt", "objmintxt", "objDECDegtxt", "ObjDECMintxt"})
        out << w.find<QLineEdit>(QLatin1String(name))->text();
    return out.join(' ');
}

} // namespace

class TestShareOnSim : public QObject {
    Q_OBJECT
private slots:
    // An LX200 client sets targets in both precisions, slews, syncs, moves
    // and guides; the window's STOP stops its move, disconnecting leaves it
    // without positions and closing the window closes it. The board hears
    // only the commands rebuilt for it.
    void anLx200ClientDrivesTheMount() {
        SharedWindow<> w;
        QVERIFY(w.share());
        const auto c = w.client();
        const sim::MountMotion& mount = w.port->board().mount();
        w.received();

        QCOMPARE(ask(*c, ":Sr 05:34.5#:Sd -00*30#", 2), QByteArray("11"));
        QCOMPARE(targetFields(w), QStringLiteral("05 34.5 -00 30"));
        QCOMPARE(ask(*c, ":Sr 05:34:27#:Sd +45*30:29#:Gr#:Gd#", 17),
                 QByteArray("1105:34.5#+45*30#"));
        QCOMPARE(targetFields(w), QStringLiteral("05 34.5 +45 30"));
        QCOMPARE(ask(*c, ":Sd +91*00#", 1), QByteArray("0"));

        // A goto, its distance bar while under way and none on arrival.
        QCOMPARE(ask(*c, ":MS#:D#", 3), QByteArray("0\x7F#"));
        QVERIFY(mount.isSlewing());
        w.clock.advance(60000);
        QCOMPARE(ask(*c, ":D#:GR#:GD#", 16), QByteArray("#05:34.5#+45*30#"));

        // A sync: the next position is the board's, not the one read before.
        QCOMPARE(ask(*c, ":Sr 06:00.0#:Sd +10*00#:CM#:GR#:GD#", 24),
                 QByteArray("11Synced#06:00.0#+10*00#"));

        // Moves, a stop, a pulse; nothing answered (the product name shows
        // that no answer came before it).
        QCOMPARE(ask(*c, ":RS#:Mn#:GVP#", 8), QByteArray("Corvane#"));
        QVERIFY(mount.isMoving(sim::Direction::North));
        w.clock.advance(1000);
        QCOMPARE(ask(*c, ":Q#:GVP#", 8), QByteArray("Corvane#"));
        QVERIFY(!mount.isBusy());
        QVERIFY(mount.dec() > 13.0);
        const QByteArray moved = ask(*c, ":GD#", 7);
        QCOMPARE(ask(*c, ":Mgs500#:GVP#", 8), QByteArray("Corvane#"));
        w.clock.advance(1000);
        const QByteArray guided = ask(*c, ":GD#", 7);
        QVERIFY2(guided < moved, guided + ' ' + moved);

        // The window's STOP stops what a client started.
        QCOMPARE(ask(*c, ":Mw#:GVP#", 8), QByteArray("Corvane#"));
        QVERIFY(mount.isMoving(sim::Direction::West));
        w.click(QStringLiteral("cmdMoveStop"));
        QVERIFY(!mount.isBusy());

        QCOMPARE(w.received(),
                 QStringList({"#:Sr 05:34.5#", "#:Sd -00*30#",  "#:Sr 05:34.5#", "#:Sd +45*30#",
                              "#:Gr#",         "#:Gd#",         "#:MS#",         "#:GR##:GD#",
                              "#:GR##:GD#",    "#:Sr 06:00.0#", "#:Sd +10*00#",  "#:CM#",
                              "#:GR##:GD#",    "#:RS#",         "#:Qs##:Mn#",    "#:Q#",
                              "#:GR##:GD#",    "#:Mgs500#",     "#:GR##:GD#",    "#:Qe##:Mw#",
                              "#:Q#"}));

        // Without the board no position is given, not even the last one.
        w.trigger(QStringLiteral("mnuConnect"));
        QCOMPARE(ask(*c, ":GR#:GVP#", 8), QByteArray("Corvane#"));

        w.window->close();
        QTRY_COMPARE(c->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!w.server().isSharing());
    }

    // On the system clock at 9600 baud. Stellarium's goto sets the board's
    // target and slews; its position comes about every 500 ms and follows
    // the slew. During a PEC read-out a client's goto is refused, its target
    // query goes unanswered and its position query is answered from the
    // model: none reaches the board, then or later.
    void stellariumAndAReadOut() {
        SharedWindow<SystemClock> w;
        QVERIFY(w.share());
        const sim::MountMotion& mount = w.port->board().mount();
        const auto stellarium = w.client(true);
        stellarium->write(stellariumGoto(mount.ra(), 75.0));
        QTRY_VERIFY(mount.isSlewing());
        QCOMPARE(mount.targetDec(), 75.0);

        QList<qint64> times;
        QList<double> decs;
        QElapsedTimer clock;
        clock.start();
        QByteArray in;
        while (clock.elapsed() < 4000 && (decs.isEmpty() || decs.last() > 75.001)) {
            QTest::qWait(5);
            in += stellarium->readAll();
            for (; in.size() >= 24; in.remove(0, 24)) {
                QCOMPARE(qFromLittleEndian<quint16>(in.constData()), quint16(24));
                times << clock.elapsed();
                decs << qFromLittleEndian<qint32>(in.constData() + 16) * 90.0 / 0x40000000;
            }
        }
        QVERIFY2(decs.size() >= 4 && qAbs(decs.last() - 75.0) < 0.01,
                 qPrintable(QString::number(decs.size())));
        for (int i = 1; i < decs.size(); ++i) {
            QVERIFY(decs[i] <= decs[i - 1]);
            QVERIFY2(qAbs(times[i] - times[i - 1] - 500) < 150,
                     qPrintable(QString::number(times[i] - times[i - 1])));
        }

        stellarium->close();
        QTRY_VERIFY(w.server().clients().isEmpty());
        const auto c = w.client();
        QVERIFY(w.settle());
        w.received();
        w.click(QStringLiteral("GetPECData"));
        QVERIFY(w.line().isRunningExclusive());
        const QString ra = w.session().position().raText();
        QCOMPARE(ask(*c, ":MS#:Gr#:GR#", 20), "1Mount busy#" + ra.toLatin1() + '#');
        QVERIFY(w.line().isRunningExclusive());
        QVERIFY(w.settle());
        for (const QString& line : w.received())
            QVERIFY2(line.endsWith(QLatin1String(":VR#")), qPrintable(line));
        QVERIFY(!mount.isSlewing());
    }

    // On the system clock. A burst of Stellarium gotos sets off only the
    // newest once the one under way is over, and an LX200 client is answered
    // meanwhile; a client that leaves takes its waiting goto with it.
    void stellariumGotosDoNotPileUp() {
        SharedWindow<SystemClock> w;
        QVERIFY(w.share());
        const sim::MountMotion& mount = w.port->board().mount();
        const auto lx200 = w.client();
        const auto stellarium = w.client(true);
        QTRY_COMPARE(w.server().clients().size(), 2);
        w.received();
        const auto burst = [](double sign) {
            QByteArray out;
            for (int i = 1; i <= 500; ++i)
                out += stellariumGoto(1.0, sign * i / 10.0);
            return out;
        };
        stellarium->write(burst(1));
        QCOMPARE(ask(*lx200, ":Gr#", 8).size(), 8);
        QTRY_COMPARE(mount.targetDec(), 50.0);
        QVERIFY(w.settle());
        const int slews = static_cast<int>(w.received().count(QStringLiteral("#:MS#")));
        QVERIFY2(slews >= 1 && slews < 10, qPrintable(QString::number(slews)));

        stellarium->write(burst(-1));
        stellarium->disconnectFromHost();
        QTRY_COMPARE(w.server().clients().size(), 1);
        QVERIFY(w.settle());
        QVERIFY(w.received().count(QStringLiteral("#:MS#")) <= 2);
        QVERIFY(mount.targetDec() > -50.0);
    }

    // The window's STOP drops what clients asked and the board has not yet
    // been sent (an LX200 client's target and goto, a Stellarium client's
    // next goto), then stops.
    void stopDropsWhatClientsAsked() {
        WindowFixture w;
        w.startAndConnect();
        QVERIFY(shareBoth(w.window->share()));
        const auto lx200 = clientOf(w.window->share());
        const auto stellarium = clientOf(w.window->share(), true);
        QTRY_COMPARE(w.window->share().clients().size(), 2);
        w.port->clearWrites();
        lx200->write(":Sr 05:00.0#:Sd +30*00#:MS#");
        QTRY_COMPARE(w.sent(), QStringList{"#:Sr 05:00.0#"});
        stellarium->write(stellariumGoto(6.0, 10.0) + stellariumGoto(7.0, 20.0));
        const auto gotoRead = [&w] {
            for (const ShareClient* c : w.window->share().clients())
                if (c->lastCommand() == QLatin1String("goto"))
                    return true;
            return false;
        };
        QTRY_VERIFY(gotoRead());
        w.click(QStringLiteral("cmdMoveStop"));
        w.reply("1"); // the set target's answer, late
        QCOMPARE(ask(*lx200, ":GVP#", 9), QByteArray("0Corvane#"));
        QVERIFY(!w.line().isBusy());
        QCOMPARE(w.sent(), QStringList({"#:Sr 05:00.0#", "#:Q#"}));
    }

    // On the system clock. A client's stop reaches the board during a mount
    // backup, which goes on and is written whole; its move stays refused.
    void aClientsStopPassesDuringABackup() {
        SharedWindow<SystemClock> w;
        QVERIFY(w.share());
        const sim::MountMotion& mount = w.port->board().mount();
        const auto c = w.client();
        QCOMPARE(ask(*c, ":RG#:Mn#:GVP#", 8), QByteArray("Corvane#"));
        QTRY_VERIFY(mount.isMoving(sim::Direction::North));
        const QString file = w.dir.filePath(QStringLiteral("mount.cmb"));
        w.prompts.fileNames << file;
        w.trigger(QStringLiteral("mnuBackup"));
        QVERIFY(w.line().isRunningExclusive());
        QCOMPARE(ask(*c, ":Q#:Ms#:GVP#", 8), QByteArray("Corvane#"));
        QTRY_VERIFY(!mount.isBusy());
        QVERIFY(w.settle());
        QTRY_COMPARE(w.panel(4), "Mount backed up to " + file);
        QVERIFY(!mount.isBusy());
    }

    // On the system clock. Each write names whom it is for (a client by its
    // protocol and address), and each reply is labelled as the request it
    // answers, also when it comes after its exchange has ended.
    void trafficNamesWhoAsked() {
        SharedWindow<SystemClock> w;
        QVERIFY(w.share());
        const auto lx200 = w.client();
        const auto stellarium = w.client(true);
        QCOMPARE(ask(*lx200, ":Sr 05:34.5#:Sd +10*00#:MS#", 3), QByteArray("110"));
        stellarium->write(stellariumGoto(6.0, 20.0));
        QTRY_COMPARE(w.port->board().mount().targetDec(), 20.0);
        w.click(QStringLiteral("cmdGotoObj"));
        QVERIFY(w.settle());
        QString request;
        QSet<QString> causes;
        for (const TrafficLog::Entry& e : w.session().traffic().entries()) {
            if (e.written)
                request = e.cause;
            QVERIFY2(e.cause == request, qPrintable(e.cause + " after " + request));
            causes << e.cause;
        }
        for (const auto& [program, port] : {std::pair("LX200 client", lx200->localPort()),
                                            std::pair("Stellarium", stellarium->localPort())})
            QVERIFY(causes.contains(
                QStringLiteral("%1 127.0.0.1:%2's command").arg(QLatin1String(program)).arg(port)));
    }

    // A share address that does not read is refused, by the dialog (which
    // names the field) and by the server, rather than listened on
    // everywhere; sharing from the command line where other computers reach
    // the mount is said in the status bar.
    void badAndOutsideAddresses() {
        SharedWindow<> w;
        QVERIFY(w.connect());
        w.server().stop(); // as a test before may have left it
        w.server().setSettings(ShareSettings());
        w.trigger(QStringLiteral("mnuShare"));
        auto* dialog = w.find<ShareDialog>(QStringLiteral("Share"));
        dialog->chkLx200->setChecked(true);
        for (const char* typed : {"127.0.0.l", "locahost", ""}) {
            dialog->txtLx200Address->setText(QLatin1String(typed));
            dialog->toggleSharing();
            QVERIFY(!w.server().isSharing());
            QVERIFY(w.prompts.shown.last().text.contains(QLatin1String("LX200 address")));
        }
        QTcpServer probe; // a port free for the test
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        CommandLine options;
        options.shareAddress = QStringLiteral("0.0.0.0");
        options.sharePort = probe.serverPort();
        probe.close();
        w.window->startFromCommandLine(options);
        QVERIFY(w.server().isSharing());
        QVERIFY2(w.panel(4).contains(QStringLiteral("0.0.0.0:%1 (LX200)").arg(options.sharePort)),
                 qPrintable(w.panel(4)));
        ShareSettings settings;
        settings.stellarium = true;
        settings.stellariumAddress = QStringLiteral("127.0.0.l");
        QVERIFY(!w.server().start(settings, nullptr) && !w.server().isSharing());
    }
};

QTEST_MAIN(TestShareOnSim)
#include "test_share_on_sim.moc"
