// Programs sharing the mount, end to end: clients over TCP in this process,
// the window on the simulated board, the board's traffic log.
#include "SharedWindow.h"

#include <QElapsedTimer>
#include <QLineEdit>

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
        QVERIFY(w.channel().runner().isRunningExclusive());
        const QString ra = w.session().position().ra();
        QCOMPARE(ask(*c, ":MS#:Gr#:GR#", 20), "1Mount busy#" + ra.toLatin1() + '#');
        QVERIFY(w.channel().runner().isRunningExclusive());
        QVERIFY(w.settle());
        for (const QString& line : w.received())
            QVERIFY2(line.endsWith(QLatin1String(":VR#")), qPrintable(line));
        QVERIFY(!mount.isSlewing());
    }
};

QTEST_MAIN(TestShareOnSim)
#include "test_share_on_sim.moc"
