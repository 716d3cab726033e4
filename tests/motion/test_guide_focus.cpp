// The focus panel on the guiding page, and the pulse length both it and the
// guide pulses take.
#include "common/WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

// Connected, with the connection's own traffic forgotten.
struct Connected : WindowFixture {
    Connected() {
        startAndConnect();
        port->clearWrites();
    }
    QStringList sent() const { return port->writtenCommands(); }
    QTimer* timer(const char* name) const { return find<QTimer>(QLatin1String(name)); }
    void pulseFocus(const QString& ms) const {
        find<QCheckBox>(QStringLiteral("PulseFocus"))->click();
        find<QLineEdit>(QStringLiteral("FocusPulsetxt"))->setText(ms);
    }
};

} // namespace

class TestGuideFocus : public QObject {
    Q_OBJECT
private slots:
    // Speeds, moves and STOP are checked on the simulated board; here the
    // timed moves.
    void aPulseEndsItsMoveAndOnlyStopEndsItEarly() {
        Connected f;
        f.pulseFocus(QStringLiteral("0040"));
        f.button("cmdFocusIn")->click();
        QVERIFY(f.timer("Timer3")->isActive());
        QCOMPARE(f.timer("Timer3")->interval(), 40);
        // A continuous move meanwhile leaves the running pulse alone.
        f.find<QCheckBox>("PulseFocus")->click();
        f.button("cmdFocusOut")->click();
        QCOMPARE(f.sent(), QStringList({"#:F+#", "#:F-#"}));
        QVERIFY(f.timer("Timer3")->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(f.sent(), QStringList({"#:F+#", "#:F-#", "#:FQ#"}), 5000);
        QVERIFY(!f.timer("Timer3")->isActive());
        // STOP ends a pulse too, so it cannot stop a later move.
        f.pulseFocus(QStringLiteral("60000"));
        f.button("cmdFocusIn")->click();
        QVERIFY(f.timer("Timer3")->isActive());
        f.button("cmdFocusStop")->click();
        QVERIFY(!f.timer("Timer3")->isActive());
    }

    // Guide and focus pulses take whole milliseconds from 0 to 65535, digits
    // with blanks around; anything else is refused with a message and
    // nothing goes out.
    void pulseLengthIsAWholeNumberOfMilliseconds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms"); // -1: refused
        QTest::newRow("start text") << "0000" << 0;
        QTest::newRow("leading zeros") << "0500" << 500;
        QTest::newRow("blanks around") << " 250 " << 250;
        QTest::newRow("longest") << "65535" << 65535;
        QTest::newRow("one too long") << "65536" << -1;
        QTest::newRow("far too long") << "99999999999" << -1;
        QTest::newRow("negative") << "-5" << -1;
        QTest::newRow("plus sign") << "+5" << -1;
        QTest::newRow("fraction") << "12.5" << -1;
        QTest::newRow("unit after") << "250ms" << -1;
        QTest::newRow("words") << "slow" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "   " << -1;
    }
    void pulseLengthIsAWholeNumberOfMilliseconds() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        const bool refused = ms < 0;
        Connected f;
        f.button("cmdPulse")->click();
        f.find<QLineEdit>("Pulsetxt")->setText(text);
        f.button("cmdMoveN")->click();
        QCOMPARE(f.sent(), refused ? QStringList()
                                   : QStringList({"#:Q#", QStringLiteral("#:Mgn%1#").arg(ms)}));
        // A pulse of no time is over at once; a refused one leaves the mode waiting.
        QCOMPARE(f.button("cmdPulse")->text(),
                 ms > 0 ? QStringLiteral("Guiding N") : QStringLiteral("Pulse Guide On"));
        QCOMPARE(f.timer("Timer2")->isActive(), ms > 0);
        if (ms > 0)
            QCOMPARE(f.timer("Timer2")->interval(), ms);
        QCOMPARE(f.prompts.shown.size(), refused ? 1 : 0);

        f.port->clearWrites();
        f.pulseFocus(text);
        f.button("cmdFocusOut")->click();
        QCOMPARE(f.sent(), refused ? QStringList() : QStringList({"#:F-#"}));
        QCOMPARE(f.timer("Timer3")->isActive(), !refused);
        if (!refused)
            QCOMPARE(f.timer("Timer3")->interval(), ms);
        QCOMPARE(f.prompts.shown.size(), refused ? 2 : 0);
        for (const auto& shown : f.prompts.shown) {
            QCOMPARE(shown.text, QStringLiteral("Invalid Entry"));
            QCOMPARE(shown.buttons, PromptButtons::Ok);
        }
    }
};

QTEST_MAIN(TestGuideFocus)
#include "test_guide_focus.moc"
