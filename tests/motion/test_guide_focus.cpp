#include "common/WindowFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Focusing : WindowFixture {
    Focusing() {
        startAndConnect();
        port->clearWrites();
    }
    QCheckBox* box(const char* name) const { return find<QCheckBox>(QLatin1String(name)); }
    QTimer* timer3() const { return find<QTimer>(QStringLiteral("Timer3")); }
    QStringList sent() const { return port->writtenCommands(); }
};

} // namespace

class TestGuideFocus : public QObject {
    Q_OBJECT
private slots:
    void startsUncheckedAndSendsNothing() {
        Focusing f;
        QCOMPARE(f.find<QGroupBox>("FocusFrame")->title(), QStringLiteral("Focus"));
        QCOMPARE(f.button("cmdFocusStop")->text(), QStringLiteral("STOP Focus"));
        QVERIFY(!f.box("FastFocus")->isChecked());
        QVERIFY(!f.box("PulseFocus")->isChecked());
        QVERIFY(!f.timer3()->isActive());
        QVERIFY(f.port->writes.isEmpty());
    }

    void speedInOutAndStop() {
        Focusing f;
        f.box("FastFocus")->click();
        f.box("FastFocus")->click();
        f.button("cmdFocusIn")->click();
        f.button("cmdFocusOut")->click();
        f.button("cmdFocusStop")->click();
        QCOMPARE(f.sent(), QStringList({"#:FF#", "#:FS#", "#:F+#", "#:F-#", "#:FQ#"}));
        QVERIFY(!f.timer3()->isActive());
    }

    void aPulseEndsTheMoveWhenItsTimeHasPassed_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("move");
        QTest::newRow("in") << "cmdFocusIn"
                            << "#:F+#";
        QTest::newRow("out") << "cmdFocusOut"
                             << "#:F-#";
    }
    void aPulseEndsTheMoveWhenItsTimeHasPassed() {
        QFETCH(QString, button);
        QFETCH(QString, move);
        Focusing f;
        f.box("PulseFocus")->click();
        f.find<QLineEdit>("FocusPulsetxt")->setText(QStringLiteral("0040"));
        f.button(button)->click();
        QCOMPARE(f.sent(), QStringList({move}));
        QVERIFY(f.timer3()->isActive());
        QCOMPARE(f.timer3()->interval(), 40);
        QTRY_COMPARE_WITH_TIMEOUT(f.sent(), QStringList({move, "#:FQ#"}), 5000);
        QVERIFY(!f.timer3()->isActive());
    }

    void aContinuousMoveLeavesARunningPulseAlone() {
        Focusing f;
        f.box("PulseFocus")->click();
        f.find<QLineEdit>("FocusPulsetxt")->setText(QStringLiteral("60000"));
        f.button("cmdFocusIn")->click();
        f.box("PulseFocus")->click();
        f.button("cmdFocusOut")->click();
        QCOMPARE(f.sent(), QStringList({"#:F+#", "#:F-#"}));
        QVERIFY(f.timer3()->isActive());
        // STOP ends the pulse too, so it cannot stop a later move.
        f.button("cmdFocusStop")->click();
        QVERIFY(!f.timer3()->isActive());
    }

    void aPulseLengthOutsideTheTimersRangeIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("too long") << "65536";
        QTest::newRow("negative") << "-1";
        QTest::newRow("words") << "slow";
    }
    void aPulseLengthOutsideTheTimersRangeIsRefused() {
        QFETCH(QString, text);
        Focusing f;
        f.box("PulseFocus")->click();
        f.find<QLineEdit>("FocusPulsetxt")->setText(text);
        f.button("cmdFocusOut")->click();
        QVERIFY(f.port->writes.isEmpty());
        QCOMPARE(f.prompts.shown.size(), 1);
        QCOMPARE(f.prompts.shown[0].text, QStringLiteral("Invalid Entry"));
        QVERIFY(!f.timer3()->isActive());
    }
};

QTEST_MAIN(TestGuideFocus)
#include "test_guide_focus.moc"
