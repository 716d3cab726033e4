// Ports, connection and the raw terminal, seen from the main window.
#include "common/WindowFixture.h"

#include <QLineEdit>
#include <QSignalSpy>

using namespace corvane;
using namespace corvane::test;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    // Only the ports that open are offered; choosing one checks it alone.
    void probingAndChoosingPorts() {
        WindowFixture f({3, 5});
        QVERIFY(f.window->startUp());
        QVector<int> offered;
        for (int n = 1; n <= 16; ++n)
            if (f.action(QStringLiteral("mnucom_%1").arg(n))->isVisible())
                offered << n;
        QCOMPARE(offered, QVector<int>({3, 5}));
        QCOMPARE(f.port->openCalls, 16);
        f.trigger("mnucom_5");
        f.trigger("mnucom_3");
        QCOMPARE(f.checkedPorts(), QVector<int>{3});
        QCOMPARE(f.port->portNumber() * 1000 + f.port->isOpen(), 3000);
        QCOMPARE(f.panel(1) + ' ' + f.panel(2), QStringLiteral("Disconnected COM3"));
    }

    // A port that will not open says why, connecting or moving a connection.
    void aBusyPortShowsTheMessage() {
        WindowFixture f({1, 4, 6});
        f.window->startUp();
        f.trigger("mnucom_4");
        f.port->openable = {1};
        f.port->busyError[4] = QStringLiteral("Device or resource busy");
        f.trigger("mnuConnect");
        QCOMPARE(f.prompts.shown.value(0).text,
                 QStringLiteral("Com4 is not available.\r\nDevice or resource busy"));
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QVERIFY(f.port->writes.isEmpty());
        f.trigger("mnucom_1");
        f.trigger("mnuConnect");
        f.reply("3.60 CORV#");
        f.trigger("mnucom_6");
        QVERIFY(f.prompts.shown.value(1).text.startsWith(QStringLiteral("Com6 is not available.")));
        QCOMPARE(f.port->portNumber(), 1);
        QCOMPARE(f.checkedPorts(), QVector<int>{1});
    }

    // Connect asks the version after a pause; Disconnect resets the window.
    void connectAsksForTheVersionAndShowsTheAnswer() {
        for (const auto& [reply, state] :
             {std::pair("1.9#      ", "No Corvane update"), std::pair("3.2#      ", "Connected"),
              std::pair("05:3405:34", "No Corvane update")}) {
            WindowFixture f;
            f.connectWithoutReply();
            QCOMPARE(f.sent(), QStringList{"#:GV#"});
            QCOMPARE(f.clock.pauses, (QVector<int>{100, 20}));
            QCOMPARE(f.panel(1) + ' ' + f.action("mnuConnect")->text(),
                     QStringLiteral("No Corvane update Dis&connect"));
            QVERIFY(f.button("btnSend_1")->isEnabled());
            f.reply(reply);
            QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QLatin1String(state), 1000);
            QCOMPARE(f.button("cmdGetVersion")->text(),
                     QStringLiteral("Corvane Update Ver. ") + QLatin1String(reply));
            QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QLatin1String(reply));

            QSignalSpy cleared(&f.session(), &MountSession::disconnected);
            f.window->setWindowTitle(QStringLiteral("something else"));
            f.trigger("mnuConnect");
            QVERIFY(!f.port->isOpen() && !f.button("btnSend_1")->isEnabled());
            QCOMPARE(f.window->windowTitle(), MainWindow::mainCaption());
            QCOMPARE(f.panel(1) + ' ' + f.action("mnuConnect")->text(),
                     QStringLiteral("Disconnected &Connect"));
            QCOMPARE(cleared.count(), 1);
        }
    }

    // The raw terminal's reply is shown, never taken for the program's own.
    void rawTerminalReplyIsShownButNotInterpreted() {
        WindowFixture f;
        f.startAndConnect();
        f.port->clearWrites();
        f.find<QLineEdit>("txtTextOut")->setText(QStringLiteral("#:GR##:GD#"));
        f.click("btnSend_1");
        QCOMPARE(f.sent(), QStringList{"#:GR##:GD#"});
        f.reply("12:34.5#+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("txtResponse")->text(),
                                  QStringLiteral("12:34.5#+45*30#"), 1000);
        QCOMPARE(f.find<QLineEdit>("ScopeRAtxt")->text(), QString());
        f.line().request(positionQuery(), f.session().position().positionReply());
        f.reply("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("ScopeRAtxt")->text(),
                                  QStringLiteral("01h02.3m"), 1000);
    }

    // Unplugged: shown at once, no message, nothing written; Connect works again.
    void unpluggedAdapterShowsDisconnectedAtOnce() {
        WindowFixture f;
        f.startAndConnect();
        f.port->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QStringLiteral("Disconnected"), 1000);
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QVERIFY(!f.button("btnSend_1")->isEnabled() && f.prompts.shown.isEmpty());
        f.port->clearWrites();
        f.line().request(positionQuery());
        QVERIFY(f.port->writes.isEmpty());
        f.trigger("mnuConnect");
        QCOMPARE(f.sent(), QStringList{"#:GV#"});
    }
};

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
