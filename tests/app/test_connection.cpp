// Ports, connection and the raw terminal, seen from the main window.
#include "common/WindowFixture.h"

#include "link/Channel.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void windowFrameHasItsNamesAndCaptions() {
        WindowFixture f;
        QCOMPARE(f.window->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(f.window->windowTitle(),
                 QStringLiteral("Corvane Update Control and Configuration"));
        QCOMPARE(f.action("mnucom_1")->text(), QStringLiteral("Com &1"));
        QCOMPARE(f.action("mnucom_9")->text(), QStringLiteral("Com &9"));
        QCOMPARE(f.action("mnucom_10")->text(), QStringLiteral("Com 10"));
        QCOMPARE(f.action("mnucom_16")->text(), QStringLiteral("Com 16"));
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QCOMPARE(f.panel(2), QStringLiteral("com1"));
        QCOMPARE(f.panel(3), QStringLiteral("9600 8N1"));
        QCOMPARE(f.panel(4), QString());
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QCOMPARE(f.button("cmdGetVersion")->text(), QStringLiteral("Get Firmware Version"));
        QCOMPARE(f.find<QLineEdit>("txtHEX_11")->isHidden(), true);
        QVERIFY(f.button("btnSend_0")->isHidden());
        QVERIFY(f.button("btnClear_0")->isHidden());
        QVERIFY(f.button("cmdGetDEC")->isHidden());
    }

    void probingLeavesOnlyOpenablePorts() {
        WindowFixture f({3, 5});
        QVERIFY(f.window->startUp());
        for (int n = 1; n <= 16; ++n) {
            QAction* a = f.action(QStringLiteral("mnucom_%1").arg(n));
            const bool usable = (n == 3 || n == 5);
            QCOMPARE(a->isVisible(), usable);
            QCOMPARE(a->isEnabled(), usable);
        }
        QCOMPARE(f.port->portNumber(), 1);
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.port->openCalls, 16);
    }

    void noUsablePortEndsStartUp() {
        WindowFixture f(QSet<int>{});
        QVERIFY(!f.window->startUp());
        QCOMPARE(f.prompts.shown.size(), 1);
        QCOMPARE(f.prompts.shown[0].text,
                 QStringLiteral("There are no available comm ports on this computer."));
        QCOMPARE(f.prompts.shown[0].title, QStringLiteral("Commx"));
        QCOMPARE(f.prompts.shown[0].buttons, PromptButtons::Ok);
    }

    void choosingPortsChecksOnlyTheLastOne() {
        WindowFixture f({2, 14});
        f.window->startUp();
        f.action("mnucom_14")->trigger();
        f.action("mnucom_2")->trigger();
        for (int n = 1; n <= 16; ++n)
            QCOMPARE(f.action(QStringLiteral("mnucom_%1").arg(n))->isChecked(), n == 2);
        QCOMPARE(f.port->portNumber(), 2);
        QCOMPARE(f.panel(2), QStringLiteral("COM2"));
        QVERIFY(!f.port->isOpen());
    }

    void connectingToABusyPortShowsTheMessage() {
        WindowFixture f({1, 4});
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
    }

    void failedPortChangeWhileConnectedRestoresTheNumber() {
        WindowFixture f({1, 6});
        f.startAndConnect();
        f.port->openable = {1};
        f.action("mnucom_6")->trigger();
        QCOMPARE(f.prompts.shown.size(), 1);
        QVERIFY(f.prompts.shown[0].text.startsWith(QStringLiteral("Com6 is not available.\r\n")));
        QCOMPARE(f.port->portNumber(), 1);
        QVERIFY(!f.action("mnucom_6")->isChecked());
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
    }

    void connectAsksForTheVersionAndShowsTheAnswer_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("state");
        QTest::newRow("old firmware") << QByteArray("1.9#      ") << "No Corvane update";
        QTest::newRow("update") << QByteArray("3.2#      ") << "Connected";
    }
    void connectAsksForTheVersionAndShowsTheAnswer() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, state);
        WindowFixture f;
        f.connectWithoutReply();
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GV#"});
        QCOMPARE(f.clock.pauses, (QVector<int>{100, 20}));
        QCOMPARE(f.panel(1), QStringLiteral("No Corvane update"));
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("Dis&connect"));
        QVERIFY(f.button("btnSend_1")->isEnabled());
        f.reply(reply);
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), state, 1000);
        QCOMPARE(f.button("cmdGetVersion")->text(),
                 QStringLiteral("Corvane Update Ver. ") + QString::fromLatin1(reply));
        QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QString::fromLatin1(reply));
    }

    void disconnectResetsCaptionAndSendButtons() {
        WindowFixture f;
        f.startAndConnect();
        QSignalSpy cleared(f.window.get(), &MainWindow::settingsCleared);
        f.window->setWindowTitle(QStringLiteral("something else"));
        f.action("mnuConnect")->trigger();
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.window->windowTitle(),
                 QStringLiteral("Corvane Update Control and Configuration"));
        QVERIFY(!f.button("btnSend_0")->isEnabled());
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QCOMPARE(cleared.count(), 1);
    }

    void rawTerminalReplyIsShownButNotInterpreted() {
        WindowFixture f;
        f.startAndConnect();
        f.reply("3.60#     ");
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QStringLiteral("Connected"), 1000);
        f.port->clearWrites();

        f.find<QLineEdit>("txtTextOut")->setText(QStringLiteral("#:GR##:GD#"));
        f.button("btnSend_1")->click();
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GR##:GD#"});
        f.reply("12:34.5#+45*30#");
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("txtResponse")->text(),
                                  QStringLiteral("12:34.5#+45*30#"), 1000);
        // The raw terminal's reply looked like a position but was not used.
        QCOMPARE(f.find<QLineEdit>("ScopeRAtxt")->text(), QString());

        f.window->channel().getPos();
        f.reply("01:02.3#-05*07#");
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("ScopeRAtxt")->text(),
                                  QStringLiteral("01h02.3m"), 1000);
    }

    void rawTerminalShowsBinaryRepliesAsHex() {
        WindowFixture f;
        f.startAndConnect();
        f.find<QLineEdit>("txtTextOut")->setText(QStringLiteral("#:VS#"));
        f.button("btnSend_1")->click();
        QCOMPARE(f.port->writtenCommands().last(), QStringLiteral("#:VS#"));
        f.reply(QByteArray("\x05\x00\xFF", 3));
        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLineEdit>("txtResponse")->text(),
                                  QStringLiteral("05 00 FF "), 1000);
    }

    void clearButtonsEmptyTheirBoxes() {
        WindowFixture f;
        f.find<QLineEdit>("txtTextOut")->setText(QStringLiteral("#:GV#"));
        f.find<QLineEdit>("txtResponse")->setText(QStringLiteral("x"));
        f.find<QLineEdit>("txtHEX_3")->setText(QStringLiteral("7F"));
        f.button("btnClear_1")->click();
        QCOMPARE(f.find<QLineEdit>("txtTextOut")->text(), QString());
        QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QStringLiteral("x"));
        f.button("btnClear_2")->click();
        QCOMPARE(f.find<QLineEdit>("txtResponse")->text(), QString());
        f.button("btnClear_0")->click();
        QCOMPARE(f.find<QLineEdit>("txtHEX_3")->text(), QString());
    }

    void unpluggedAdapterShowsDisconnectedAtOnce() {
        WindowFixture f;
        f.startAndConnect();
        f.reply("3.60#     ");
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QStringLiteral("Connected"), 1000);
        f.port->unplug();
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(1), QStringLiteral("Disconnected"), 1000);
        QCOMPARE(f.action("mnuConnect")->text(), QStringLiteral("&Connect"));
        QVERIFY(!f.button("btnSend_1")->isEnabled());
        QCOMPARE(f.prompts.shown.size(), 0);
        // Sending afterwards is harmless and writes nothing.
        f.port->clearWrites();
        f.window->channel().getPos();
        QVERIFY(f.port->writes.isEmpty());
        // Connecting again works once the adapter is back.
        f.action("mnuConnect")->trigger();
        QVERIFY(f.port->isOpen());
        QCOMPARE(f.port->writtenCommands(), QStringList{"#:GV#"});
    }
};

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
