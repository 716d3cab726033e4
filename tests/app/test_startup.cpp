// The window's life: start-up order, the settings file read at start-up and
// written at exit, and the stop command sent before the port closes.
#include "common/WindowFixture.h"

#include "app/SettingsFile.h"
#include "link/Channel.h"
#include "motion/PositionPolling.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const QByteArray kEdgeCaseFile = "[Main]\r\n\r\nCom Port= 4\r\nMain Top= 1200\r\n"
                                 "Main Left= 2400\r\nPin 7 Label=Dew heater\r\n"
                                 "Pin 14 Label=Camera\r\n";

void writeSettings(const QByteArray& bytes) {
    QFile f(settingsFileName());
    QVERIFY(f.open(QIODevice::WriteOnly));
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
    // Every test runs in an empty current directory of its own.
    void init() {
        m_home = QDir::currentPath();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void cleanup() {
        QDir::setCurrent(m_home);
        m_dir.reset();
    }

    void settingsFileIsAppliedAndWrittenBackUnchanged() {
        writeSettings(kEdgeCaseFile);
        {
            WindowFixture f({1, 4});
            QVERIFY(f.window->startUp());
            QCOMPARE(f.port->portNumber(), 4);
            QCOMPARE(f.checkedPorts(), QVector<int>({4}));
            QCOMPARE(f.panel(2), QStringLiteral("COM4"));
            QCOMPARE(f.window->pos(), QPoint(pixels(2400), pixels(1200)));
            QCOMPARE(f.action("mnuPin7")->text(), QStringLiteral("Dew heater"));
            QCOMPARE(f.action("mnuPin14")->text(), QStringLiteral("Camera"));
            QFile::remove(settingsFileName());
            f.window->close();
        }
        QCOMPARE(settingsBytes(), kEdgeCaseFile);
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden),
                 QStringList(settingsFileName()));
    }

    // A port value that is missing or no port leaves port 1 unchecked, and
    // the rest of the file still applies; of two lines the last one wins.
    void portFromTheFile() {
        const std::tuple<QByteArray, int, QVector<int>, const char*, const char*> cases[] = {
            {QByteArray(), 1, {}, "com1", "Pin 7"},
            {"[Main]\r\nCom Port= 17\r\nPin 7 Label=Heater\r\n", 1, {}, "com1", "Heater"},
            {"Com Port= 2\r\nCom Port= 3\r\n", 3, {3}, "COM3", "Pin 7"}};
        for (const auto& [file, port, checked, panel, pin7] : cases) {
            QFile::remove(settingsFileName());
            if (!file.isEmpty())
                writeSettings(file);
            WindowFixture f({1, 2, 3});
            const QPoint before = f.window->pos();
            QVERIFY(f.window->startUp());
            QCOMPARE(f.port->portNumber(), port);
            QCOMPARE(f.checkedPorts(), checked);
            QCOMPARE(f.panel(2), QLatin1String(panel));
            QCOMPARE(f.action("mnuPin7")->text(), QLatin1String(pin7));
            QCOMPARE(f.window->pos(), before);
        }
    }

    void positionOnNoScreenGoesToThePrimaryScreen() {
        for (const QByteArray& file : {QByteArray("Main Top= 9000000\r\nMain Left= 9000000\r\n"),
                                       QByteArray("Main Top= 1e300\r\nMain Left=-1e300\r\n")}) {
            writeSettings(file);
            WindowFixture f;
            QVERIFY(f.window->startUp());
            const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
            QVERIFY2(area.contains(f.window->pos()),
                     qPrintable(QStringLiteral("%1,%2").arg(f.window->x()).arg(f.window->y())));
        }
    }

    // Without Save On Exit, or with a file the user made read-only, the file stays as it is;
    // a file the program may write keeps its permissions when replaced.
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
                    f.action("SaveOnExit")->trigger(); // unchecks it
                f.action("mnucom_1")->trigger();
                f.window->close();
            }
            QCOMPARE(settingsBytes().endsWith("extra line\r\n"), fileMode != 0640);
            QCOMPARE(mode(), fileMode < 0 ? 0644 : fileMode);
            QFile::setPermissions(settingsFileName(), QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    // Without a usable port the program says so and ends, skipping the
    // shutdown steps (no settings file is written).
    void noUsablePortEndsStartUp() {
        {
            WindowFixture f(QSet<int>{});
            QVERIFY(!f.window->startUp());
            QCOMPARE(f.prompts.shown.size(), 1);
            QCOMPARE(f.prompts.shown[0].text,
                     QStringLiteral("There are no available comm ports on this computer."));
            QCOMPARE(f.prompts.shown[0].title, QStringLiteral("Commx"));
            f.window->close();
        }
        QVERIFY(!QFile::exists(settingsFileName()));
    }

    void startUpPreparesTheWindow() {
        WindowFixture f({1});
        f.window->session().polling().setChecked(true);
        f.window->session().channel().expectManualCommand();
        f.find<QLineEdit>("txtTextOut")->setText(QStringLiteral("#:GV#"));
        f.find<QLineEdit>("txtResponse")->setText(QStringLiteral("old"));
        QVERIFY(f.find<QLabel>("StatusBar1_4")->isHidden());
        QVERIFY(f.window->startUp());
        QVERIFY(!f.find<QLabel>("StatusBar1_4")->isHidden());
        QVERIFY(!f.window->session().polling().autoUpdate());
        QVERIFY(f.window->session().channel().isDispatchArmed());
        QVERIFY(!f.port->isOpen());
        QVERIFY(f.find<QLineEdit>("txtTextOut")->text().isEmpty());
        QVERIFY(f.find<QLineEdit>("txtResponse")->text().isEmpty());
        // Start-up never opens the port, so nothing went out.
        QVERIFY(f.port->writes.isEmpty());
    }

    void closingWhileConnectedStopsTheMountFirst() {
        WindowFixture f;
        f.startAndConnect();
        f.port->clearWrites();
        f.window->close();
        // A write is only recorded while the port is open.
        QCOMPARE(f.port->writtenCommands(), QStringList({"#:Q#"}));
        QVERIFY(!f.port->isOpen());

        WindowFixture idle;
        QVERIFY(idle.window->startUp());
        idle.window->close();
        QVERIFY(idle.port->writes.isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
