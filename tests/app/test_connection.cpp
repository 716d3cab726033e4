// Ports, connection and the raw terminal, seen from the main window.
#include "motion/MountPosition.h"

#include "common/WindowFixture.h"

#include "link/Channel.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void probingLeavesOnlyOpenablePorts() {
        WindowFixture f({3, 5});
        // Before any port is chosen the panel shows the default in lower case.
        QCOMPARE(f.panel(2), QStringLiteral("com1"));
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QVERIFY(f.window->startUp());
        for (int n = 1; n <= 16; ++n) {
            QAction* a = f.action(QStringLiteral("mnucom_%1").arg(n));
            QCOMPARE(a->isVisible(), n == 3 || n == 5);
            QCOMPARE(a->isEnabled(), n == 3 || n == 5);
        }
        QCOMPARE(f.port->portNumber(), 1);
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.port->openCalls, 16);
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
    }

    void choosingPortsChecksOnlyTheLastOne() {
        WindowFixture f({2, 14});
        f.window->startUp();
        f.action("mnucom_14")->trigger();
        f.action("mnucom_2")->trigger();
        QCOMPARE(f.checkedPorts(), QVector<int>{2});
        QCOMPARE(f.port->portNumber(), 2);
        QCOMPARE(f.panel(2), QStringLiteral("COM2"));
        QVERIFY(!f.port->isOpen());
    }

    // A port that will not open says why, whether connecting or changing
    // the port of a live connection; the number in use stays.
    void aBusyPortShowsTheMessage() {
        WindowFixture f({1, 4, 6});
        f.window->startUp();
        f.action("mnucom_4")->trigger();
        f.port->openable = {1};
        f.port->busyError[4] = QStringLiteral("Device or resource busy");
        f.action("mnuConnect")->trigger();
        QCOMPARE(f.prompts.shown.size(), 1);
        QCOMPARE(f.prompts.shown[0].text,
                 QStringLiteral("Com4 is not available.\r\nDevice or resource busy"));
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QVERIFY(f.port->writes.isEmpty());

        f.action("mnucom_1")->trigger();
        f.action("mnuConnect")->trigger();
        f.reply("3.60 CORV#");
        f.action("mnucom_6")->trigger();
        QCOMPARE(f.prompts.shown.size(), 2);
        QVERIFY(f.prompts.shown[1].text.startsWith(QStringLiteral("Com6 is not available.\r\n")));
        QCOMPARE(f.port->portNumber(), 1);
        QCOMPARE(f.checkedPorts(), QVector<int>{1});
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
    }

    // Old firmware, then an update.
    void connectAsksForTheVersionAndShowsTheAnswer() {
        for (const auto& [reply, state] :
             {std::pair("1.9#      ", "No Corvane update"), std::pair("3.2#      ", "Connected"),
              std::pair("05:3405:34", "No Corvane update")}) {
            WindowFixture f;
            f.connectWithoutReply();
            QCOMPARE(f.port->writtenCommands(), QStringList{"#:GV#"});
            QCOMPARE(f.clock.pauses, (QVector<int>{100, 20}));
            QCOMPARE(f.panel(1), QStringLiteral("No Corvane update"));
            QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("Dis&connect"));
            QVERIFY(f.button("btnSend_1")->isEnabled());
            f.reply(reply);
            QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QLatin1String(state), 1000);
            QCOMPARE(f.button("cmdGetVersion")->text(),
                     QStringLiteral("Corvane Update Ver. ") + QLatin1String(reply));
            QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QLatin1String(reply));
        }
    }

    void disconnectResetsCaptionAndSendButtons() {
        WindowFixture f;
        f.startAndConnect();
        QSignalSpy cleared(&f.session(), &MountSession::disconnected);
        f.window->setWindowTitle(QStringLiteral("something else"));
        f.action("mnuConnect")->trigger();
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.window->windowTitle(), MainWindow::mainCaption());
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QCOMPARE(cleared.count(), 1);
    }

    // The raw terminal shows what comes back but never lets it pass for the
    // answer to one of the program's own queries.
    void rawTerminalReplyIsShownButNotInterpreted() {
        WindowFixture f;
        f.startAndConnect();
        QCOMPARE(f.panel(1), QStringLiteral("Connected"));
        auto* out = f.find<QLineEdit>("txtTextOut");
        auto* response = f.find<QLineEdit>("txtResponse");
        f.port->clearWrites();
        out->setText(QStringLiteral("#:GR##:GD#"));
        f.button("btnSend_1")->click();
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GR##:GD#"});
        f.reply("12:34.5#+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(response->text(), QStringLiteral("12:34.5#+45*30#"), 1000);
        QCOMPARE(f.find<QLineEdit>("ScopeRAtxt")->text(), QString());

        f.window->session().channel().request(positionQuery());
        f.reply("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("ScopeRAtxt")->text(),
                                  QStringLiteral("01h02.3m"), 1000);
    }

    // Each Clear button empties its own box only.
    void clearButtonsEmptyTheirBoxes() {
        WindowFixture f;
        QLineEdit* boxes[] = {f.find<QLineEdit>("txtHEX_3"), f.find<QLineEdit>("txtTextOut"),
                              f.find<QLineEdit>("txtResponse")};
        for (int i : {1, 2, 0}) {
            for (QLineEdit* box : boxes)
                box->setText(QStringLiteral("x"));
            f.button(QStringLiteral("btnClear_%1").arg(i))->click();
            for (int j = 0; j < 3; ++j)
                QCOMPARE(boxes[j]->text(), j == i ? QString() : QStringLiteral("x"));
        }
    }

    void unpluggedAdapterShowsDisconnectedAtOnce() {
        WindowFixture f;
        f.startAndConnect();
        QCOMPARE(f.panel(1), QStringLiteral("Connected"));
        f.port->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QStringLiteral("Disconnected"), 1000);
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QCOMPARE(f.prompts.shown.size(), 0);
        // Sending afterwards is harmless and writes nothing.
        f.port->clearWrites();
        f.window->session().channel().request(positionQuery());
        QVERIFY(f.port->writes.isEmpty());
        // Connecting again works once the adapter is back.
        f.action("mnuConnect")->trigger();
        QVERIFY(f.port->isOpen());
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GV#"});
    }
};

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
