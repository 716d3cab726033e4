// A flaky line (replies garbled, cut short, dropped, late): the displays only
// ever hold what the board really said, in its form, and no command built
// from a reply is malformed. When clean replies come back, so does the session.
#include "common/SimWindow.h"
#include "motion/TargetFields.h"
#include "motion/ui/PositionPanel.h"
#include "motion/ui/TargetPanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using namespace corvane;
using namespace corvane::test;

namespace {

const QRegularExpression kRaShown(QStringLiteral("^([01]\\d|2[0-3])h[0-5]\\d\\.\\dm$"));
const QRegularExpression kDecShown(QStringLiteral("^[+-]([0-8]\\d|90)\u00B0[0-5]\\d\"$"));
const QRegularExpression kSetCommand(
    QStringLiteral("^#:Sr ([01]\\d|2[0-3]):[0-5]\\d\\.\\d#$|^#:Sd [+-]\\d\\d\\*[0-5]\\d#$"));

struct FaultyLine : SimWindow<SystemClock> {
    QStringList shownBadly; // every display that was ever not in form
    QStringList badCommands;

    explicit FaultyLine(const QStringList& faults) : SimWindow(faults) {
        port->line().setLog([this](qint64 us, char direction, const QByteArray& bytes) {
            const QString text = QString::fromLatin1(bytes);
            if (qEnvironmentVariableIsSet("LINE_TRACE"))
                qDebug() << us / 1000 << direction << bytes;
            if (direction == '>' && text.startsWith(QStringLiteral("#:S")) &&
                !kSetCommand.match(text).hasMatch())
                badCommands << text;
        });
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
};

} // namespace

class TestFaultyLine : public QObject {
    Q_OBJECT
private slots:
    // Garbled, cut short, dropped, late 300 ms and 1.5 s, all at once: the
    // faults, the rounds, and how late the last replies may still come.
    void displaysHoldOnlyWhatTheBoardSaid_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("lateMs");
        const std::tuple<const char*, int, int> cases[] = {
            {"--garble-every 2", 12, 0},
            {"--truncate-every 3", 4, 0},
            {"--drop-every 4", 3, 0},
            {"--delay-ms 300", 4, 300},
            {"--delay-ms 1500", 2, 1500},
            {"--garble-every 3 --truncate-every 5 --delay-ms 200", 3, 200}};
        for (const auto& [faults, rounds, lateMs] : cases)
            QTest::newRow(faults) << QString::fromLatin1(faults).split(' ') << rounds << lateMs;
    }
    void displaysHoldOnlyWhatTheBoardSaid() {
        QFETCH(QStringList, faults);
        QFETCH(int, rounds);
        QFETCH(int, lateMs);
        FaultyLine line(faults + QStringList{"--speedup", "2000"});
        QVERIFY(line.window->startUp());
        line.trigger(QStringLiteral("mnuConnect"));
        line.window->tabstrip1->setCurrentIndex(1);
        line.settle();
        line.port->board().mount().setPosition(5.575, -45.5);
        // Polls, reading back the target and setting it again from the fields.
        for (int i = 0; i < rounds; ++i) {
            line.window->session().polling().tick();
            line.settle();
            line.window->target->cmdGetObj->click();
            line.settle();
            line.window->target->cmdSetObj->click();
            line.settle();
        }
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(QLatin1String(" | "))));
        QVERIFY2(line.badCommands.isEmpty(),
                 qPrintable(line.badCommands.join(QLatin1String(" | "))));
        QVERIFY(line.port->isOpen());

        // The line heals: once what was late is in, the queries are answered
        // and shown again.
        line.port->line().faults().setOptions({});
        QTest::qWait(lateMs + 100);
        line.click(QStringLiteral("cmdGetVersion"));
        line.settle();
        line.window->session().polling().tick();
        line.settle();
        line.window->session().polling().tick();
        line.settle();
        QCOMPARE(line.window->position->ScopeRAtxt->text(), QStringLiteral("05h34.5m"));
        QCOMPARE(line.window->position->ScopeDECtxt->text(), QStringLiteral("-45\u00B030\""));
        QCOMPARE(line.status(1), QStringLiteral("Connected"));
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(QLatin1String(" | "))));
    }
};

QTEST_MAIN(TestFaultyLine)
#include "test_faulty_line.moc"
