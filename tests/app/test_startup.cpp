// The window's life: the settings file read at start-up and written at
// exit, and the stop command sent before the port closes.
#include "common/WindowFixture.h"

#include "app/SettingsFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const QByteArray kEdgeCaseFile = "[Main]\r\n\r\nCom Port= 4\r\nMain Top= 1200\r\n"
                                 "Main Left= 2400\r\nPin 7 Label=Dew heater\r\n"
                                 "Pin 14 Label=Camera\r\n";

void writeSettings(const QByteArray& bytes) {
    QFile f(settingsFileName());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray settingsBytes() {
    QFile f(settingsFileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pixels(double twips) {
    return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInch() / 1440.0);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_home;

private slots:
    void init() {
        m_home = QDir::currentPath();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void cleanup() {
        QDir::setCurrent(m_home);
        m_dir.reset();
    }

    // Applied at start-up (automatic reconnection off held by the session, the
    // menu showing it), written back unchanged at exit.
    void settingsFileIsAppliedAndWrittenBackUnchanged() {
        for (const QByteArray& file :
             {kEdgeCaseFile, kEdgeCaseFile + "Reconnect Automatically=0\r\n"}) {
            writeSettings(file);
            {
                WindowFixture f({1, 4});
                QVERIFY(f.window->startUp());
                QCOMPARE(f.checkedPorts(), QVector<int>({4}));
                QCOMPARE(f.window->pos(), QPoint(pixels(2400), pixels(1200)));
                QCOMPARE(f.action("mnuPin7")->text() + '|' + f.action("mnuPin14")->text(),
                         QStringLiteral("Dew heater|Camera"));
                const bool reconnect = file == kEdgeCaseFile;
                QCOMPARE(f.window->session().isReconnecting(), reconnect);
                QCOMPARE(f.action("mnuReconnect")->isChecked(), reconnect);
                QFile::remove(settingsFileName());
                f.window->close();
            }
            QCOMPARE(settingsBytes(), file);
        }
    }

    // A value that is no port leaves port 1 unchecked; the last line wins; a place on
    // no screen puts the window on the primary one.
    void oddFiles() {
        for (const auto& [file, port, pin7] :
             {std::tuple{"[Main]\r\nCom Port= 17\r\nPin 7 Label=Heater\r\n", 0, "Heater"},
              {"Com Port= 2\r\nCom Port= 3\r\n", 3, "Pin 7"},
              {"Main Top= 1e300\r\nMain Left=-1e300\r\nCom Port= 2\r\n", 2, "Pin 7"}}) {
            writeSettings(file);
            WindowFixture f({1, 2, 3});
            QVERIFY(f.window->startUp());
            QCOMPARE(f.checkedPorts(), port ? QVector<int>{port} : QVector<int>());
            QCOMPARE(f.action("mnuPin7")->text(), QLatin1String(pin7));
            QVERIFY(
                QGuiApplication::primaryScreen()->availableGeometry().contains(f.window->pos()));
        }
    }

    // Without Save On Exit, or read-only, the file stays; else it keeps its permissions.
    void theFileIsLeftAloneUnlessItMayBeWritten() {
        const auto mode = [] {
            struct stat s {};
            return ::stat(QFile::encodeName(settingsFileName()).constData(), &s) == 0
                       ? int(s.st_mode & 07777)
                       : -1;
        };
        for (const int fileMode : {0640, 0444, -1}) { // -1: Save On Exit unchecked
            writeSettings(kEdgeCaseFile + "extra line\r\n");
            ::chmod(QFile::encodeName(settingsFileName()).constData(),
                    fileMode < 0 ? 0644 : fileMode);
            {
                WindowFixture f({1, 4});
                QVERIFY(f.window->startUp());
                if (fileMode < 0)
                    f.trigger("SaveOnExit"); // unchecks it
                f.trigger("mnucom_1");
                f.window->close();
            }
            QCOMPARE(settingsBytes().endsWith("extra line\r\n"), fileMode != 0640);
            QCOMPARE(mode(), fileMode < 0 ? 0644 : fileMode);
            QFile::setPermissions(settingsFileName(), QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    // Without a usable port start-up says so and the window works: an adapter
    // plugged in later is listed as the Port menu opens, Connect names the port
    // that is not there. Start-up opens no port; closing while connected stops the
    // mount.
    void startAndClose() {
        {
            WindowFixture f(QSet<int>{});
            QVERIFY(!f.window->startUp());
            QCOMPARE(f.prompts.shown.value(0).text + '|' + f.prompts.shown.value(0).title,
                     QStringLiteral("There are no available comm ports on this computer.|Commx"));
            f.trigger("mnuConnect");
            QVERIFY(f.prompts.shown.value(1).text.startsWith("Com1 is not available.\r\n"));
            f.port->openable = {2};
            QVERIFY(!f.action("mnucom_2")->isVisible());
            emit f.window->findChild<QMenu*>(QStringLiteral("mnuPort"))->aboutToShow();
            QVERIFY(f.action("mnucom_2")->isVisible() && f.action("mnuNetwork")->isVisible());
            QVERIFY(f.window->session().usablePorts().usable[2]);
            f.trigger("mnucom_2");
            f.trigger("mnuConnect");
            QVERIFY(f.port->isOpen() && f.prompts.shown.size() == 2);
            f.window->close();
        }
        QVERIFY(QFile::remove(settingsFileName()));
        WindowFixture idle;
        idle.session().polling().setChecked(true);
        QVERIFY(idle.window->startUp());
        QVERIFY(!idle.session().polling().autoUpdate() && !idle.port->isOpen());
        idle.window->close();
        QVERIFY(idle.port->writes.isEmpty());
        WindowFixture f;
        f.startAndConnect();
        f.port->clearWrites();
        f.window->close();
        QCOMPARE(f.sent(), QStringList({"#:Q#"}));
        QVERIFY(!f.port->isOpen());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
