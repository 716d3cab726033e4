// A flaky line (replies garbled, cut short, dropped, late): the displays only
// ever hold what the board really said, in its form, and no command built
// from a reply is malformed. When clean replies come back, so does the session.
#include "common/WindowFixture.h"
#include "motion/TargetFields.h"
#include "motion/ui/PositionPanel.h"
#include "motion/ui/TargetPanel.h"

#include <QLineEdit>
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
        port->line().setLog([this](qint64, char direction, const QByteArray& bytes) {
            const QString text = QString::fromLatin1(bytes);
            if (direction == '>' && text.startsWith(QStringLiteral("#:S")) &&
                !kSetCommand.match(text).hasMatch())
                badCommands << text;
        });
        watch(window->findChild<PositionPanel*>()->ScopeRAtxt,
              [](const QString& s) { return kRaShown.match(s).hasMatch(); });
        watch(window->findChild<PositionPanel*>()->ScopeDECtxt,
              [](const QString& s) { return kDecShown.match(s).hasMatch(); });
        TargetPanel* t = window->findChild<TargetPanel*>();
        const std::pair<QLineEdit*, TargetField> fields[] = {
            {t->objhrstxt, TargetField::Hours},
            {t->objmintxt, TargetField::Minutes},
            {t->objDECDegtxt, TargetField::DecDegrees},
            {t->ObjDECMintxt, TargetField::DecMinutes}};
        for (const auto& [box, field] : fields)
            watch(box, [field = field](const QString& s) { return isFieldForm(field, s); });
    }
    void watch(QLineEdit* box, std::function<bool(const QString&)> inForm) {
        QObject::connect(box, &QLineEdit::textChanged, [this, inForm](const QString& s) {
            if (!inForm(s))
                shownBadly << s;
        });
    }
    void step(const std::function<void()>& act) {
        act();
        settle();
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
        line.window->findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
        line.settle();
        line.port->board().mount().setPosition(5.575, -45.5);
        // Polls, reading back the target and setting it again from the fields.
        PositionPolling& polling = line.session().polling();
        for (int i = 0; i < rounds; ++i) {
            line.step([&] { polling.tick(); });
            line.step([&] { line.window->findChild<TargetPanel*>()->cmdGetObj->click(); });
            line.step([&] { line.window->findChild<TargetPanel*>()->cmdSetObj->click(); });
        }
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(" | ")));
        QVERIFY2(line.badCommands.isEmpty(), qPrintable(line.badCommands.join(" | ")));
        QVERIFY(line.port->isOpen());

        // The line heals: once what was late is in, the queries are answered
        // and shown again.
        line.port->line().faults().setOptions({});
        QTest::qWait(lateMs + 100);
        line.step([&] { line.click(QStringLiteral("cmdGetVersion")); });
        line.step([&] { polling.tick(); });
        line.step([&] { polling.tick(); });
        QCOMPARE(line.window->findChild<PositionPanel*>()->ScopeRAtxt->text() + ' ' +
                     line.window->findChild<PositionPanel*>()->ScopeDECtxt->text() + ' ' +
                     line.panel(1),
                 QStringLiteral("05h34.5m -45\u00B030\" Connected"));
        QVERIFY2(line.shownBadly.isEmpty(), qPrintable(line.shownBadly.join(" | ")));
    }
};

QTEST_MAIN(TestFaultyLine)
#include "test_faulty_line.moc"
