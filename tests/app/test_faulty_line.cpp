// A flaky line (replies garbled, cut short, dropped, late): the displays only
// ever hold what the board really said, in its form, and no command built
// from a reply is malformed. When clean replies come back, so does the session.
#include "app/MainWindow.h"
#include "common/ScriptedPrompts.h"
#include "motion/TargetFields.h"
#include "motion/ui/PositionPanel.h"
#include "motion/ui/TargetPanel.h"
#include "sim/SimSerialPort.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

using namespace corvane;
using namespace corvane::sim;
using corvane::test::ScriptedPrompts;

namespace {

const QRegularExpression kRaShown(QStringLiteral("^([01]\\d|2[0-3])h[0-5]\\d\\.\\dm$"));
const QRegularExpression kDecShown(QStringLiteral("^[+-]([0-8]\\d|90)\u00B0[0-5]\\d\"$"));
const QRegularExpression kSetCommand(
    QStringLiteral("^#:Sr ([01]\\d|2[0-3]):[0-5]\\d\\.\\d#$|^#:Sd [+-]\\d\\d\\*[0-5]\\d#$"));

struct FaultyLine {
    SystemClock clock;
    ScriptedPrompts prompts;
    SimSerialPort* port = nullptr;
    std::unique_ptr<MainWindow> window;
    QStringList shownBadly; // every display that was ever not in form
    QStringList badCommands;

    explicit FaultyLine(const QStringList& faults) {
        QString error;
        port = SimSerialPort::create(clock, faults, &error);
        QVERIFY2(port, qPrintable(error));
        port->line().setLog([this](qint64 us, char direction, const QByteArray& bytes) {
            const QString text = QString::fromLatin1(bytes);
            if (qEnvironmentVariableIsSet("LINE_TRACE"))
                qDebug() << us / 1000 << direction << bytes;
            if (direction == '>' && text.startsWith(QStringLiteral("#:S")) &&
                !kSetCommand.match(text).hasMatch())
                badCommands << text;
        });
        window = std::make_unique<MainWindow>(port, clock, prompts);
        watch(window->position->ScopeRAtxt, kRaShown);
        watch(window->position->ScopeDECtxt, kDecShown);
        TargetPanel* t = window->target;
        const std::pair<QLineEdit*, TargetField> fields[] = {
            {t->objhrstxt, TargetField::Hours},
            {t->objmintxt, TargetField::Minutes},
            {t->objDECDegtxt, TargetField::DecDegrees},
            {t->ObjDECMintxt, TargetField::DecMinutes}};
        for (const auto& [box, field] : fields)
            QObject::connect(box, &QLineEdit::textChanged, [this, field = field](const QString& s) {
                if (!isFieldForm(field, s))
                    shownBadly << s;
            });
    }
    void watch(QLineEdit* box, const QRegularExpression& form) {
        QObject::connect(box, &QLineEdit::textChanged, [this, form](const QString& s) {
            if (!form.match(s).hasMatch())
                shownBadly << s;
        });
    }
    void waitUntilIdle() {
        QDeadlineTimer giveUp(5000);
        do
            QTest::qWait(5);
        while ((window->channel().runner().isBusy() || window->channel().isLineBusy()) &&
               !giveUp.hasExpired());
    }
    QString status(int n) const {
        return window->findChild<QLabel*>(QStringLiteral("StatusBar1_%1").arg(n))->text();
    }
};

} // namespace

class TestFaultyLine : public QObject {
    Q_OBJECT
private slots:
    void displaysHoldOnlyWhatTheBoardSaid_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("lateMs"); // how late the last replies may still come
        QTest::newRow("garbled") << QStringList{"--garble-every", "2"} << 12 << 0;
        QTest::newRow("cut short") << QStringList{"--truncate-every", "3"} << 4 << 0;
        QTest::newRow("dropped") << QStringList{"--drop-every", "4"} << 3 << 0;
        QTest::newRow("late 300 ms") << QStringList{"--delay-ms", "300"} << 4 << 300;
        QTest::newRow("late 1.5 s") << QStringList{"--delay-ms", "1500"} << 2 << 1500;
        QTest::newRow("all at once")
            << QStringList{"--garble-every", "3", "--truncate-every", "5", "--delay-ms", "200"} << 3
            << 200;
    }
    void displaysHoldOnlyWhatTheBoardSaid() {
        QFETCH(QStringList, faults);
        QFETCH(int, rounds);
        QFETCH(int, lateMs);
        FaultyLine line(faults + QStringList{"--speedup", "2000"});
        QVERIFY(line.window->startUp());
        line.window->findChild<QAction*>(QStringLiteral("mnuConnect"))->trigger();
        line.window->tabstrip1->setCurrentIndex(1);
        line.waitUntilIdle();
        line.port->board().mount().setPosition(5.575, -45.5);
        // Polls, reading back the target and setting it again from the fields.
        for (int i = 0; i < rounds; ++i) {
            line.window->pollPosition();
            line.waitUntilIdle();
            line.window->target->cmdGetObj->click();
            line.waitUntilIdle();
            line.window->target->cmdSetObj->click();
            line.waitUntilIdle();
        }
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(QLatin1String(" | "))));
        QVERIFY2(line.badCommands.isEmpty(),
                 qPrintable(line.badCommands.join(QLatin1String(" | "))));
        QVERIFY(line.port->isOpen());

        // The line heals: once what was late is in, the queries are answered
        // and shown again.
        line.port->line().faults().setOptions({});
        QTest::qWait(lateMs + 100);
        line.window->findChild<QPushButton*>(QStringLiteral("cmdGetVersion"))->click();
        line.waitUntilIdle();
        line.window->pollPosition();
        line.waitUntilIdle();
        line.window->pollPosition();
        line.waitUntilIdle();
        QCOMPARE(line.window->position->ScopeRAtxt->text(), QStringLiteral("05h34.5m"));
        QCOMPARE(line.window->position->ScopeDECtxt->text(), QStringLiteral("-45\u00B030\""));
        QCOMPARE(line.status(1), QStringLiteral("Connected"));
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(QLatin1String(" | "))));
    }
};

QTEST_MAIN(TestFaultyLine)
#include "test_faulty_line.moc"
