// The PEC page on the simulated board: state, switching and training as the
// board's traffic log shows them; a table read out with its progress, saved,
// charted and written back into another board; files that must send nothing.
#include "common/SimWindow.h"
#include "motion/ui/GuidePanel.h"
#include "pec/ui/PecChartWindow.h"
#include "pec/ui/PecPage.h"

#include <QComboBox>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace corvane;
using namespace corvane::test;

namespace {

template <typename ClockType = FakeClock> struct Pec : SimWindow<ClockType> {
    PecPage* page = nullptr;
    explicit Pec(QStringList args = {}) : SimWindow<ClockType>(args) {
        page = this->window->pec;
        QVERIFY(this->connect());
        this->window->tabstrip1->setCurrentIndex(2);
        this->settle();
        this->received();
    }
    QString readOut() {
        page->GetPECData->click();
        this->settle(8000);
        return page->pecdata2txt->toPlainText();
    }
};

} // namespace

class TestPecPage : public QObject {
    Q_OBJECT
private slots:
    void theTabShowsTheStateAndControlsSendTheirCommands() {
        Pec<> p;
        QVERIFY(!p.page->pecstatelbl->isHidden());
        QCOMPARE(p.page->pecstatelbl->text(), QStringLiteral("PEC State OK, PEC Off "));
        p.page->PECEnable->click();
        p.settle();
        QCOMPARE(p.page->PECEnable->text(), QStringLiteral("Disable PEC"));
        QCOMPARE(p.page->pecstatelbl->text(),
                 QStringLiteral("PEC State OK, PEC Enabled By Serial Port"));
        p.page->cmdPECFactor->click();
        QVERIFY(!p.page->cbPECFactor->isHidden());
        p.page->cbPECFactor->setCurrentIndex(6);
        emit p.page->cbPECFactor->activated(6);
        p.settle();
        QVERIFY(p.page->cbPECFactor->isHidden());
        QCOMPARE(p.port->board().pec().factor(), 7);
        QCOMPARE(p.received(), QStringList({"#1P", "#:VS#", "#7p", "#:VS#"}));
    }

    // Firmware that can touch the table up asks Yes/No/Cancel, older firmware
    // OK/Cancel; the command for each answer is checked without the window.
    void trainingAsksAsTheFirmwareCan_data() {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("3.59, touch up") << "3.59" << int(PromptAnswer::No) << QStringList{"#-2P"};
        QTest::newRow("3.58, cancel") << "3.58" << int(PromptAnswer::Cancel) << QStringList{};
    }
    void trainingAsksAsTheFirmwareCan() {
        QFETCH(QString, firmware);
        QFETCH(int, answer);
        QFETCH(QStringList, sent);
        Pec<> p({QStringLiteral("--firmware"), firmware});
        p.prompts.answers.enqueue(PromptAnswer(answer));
        p.page->cmdStartPEC->click();
        p.settle();
        QCOMPARE(p.received(), sent);
        QCOMPARE(p.prompts.shown.last().buttons, firmware == QLatin1String("3.59")
                                                     ? PromptButtons::YesNoCancel
                                                     : PromptButtons::OkCancel);
        if (sent.isEmpty()) {
            QCOMPARE(p.page->cmdStartPEC->text(), QStringLiteral("Start PEC Training"));
            return;
        }
        QCOMPARE(p.page->cmdStartPEC->text(), QStringLiteral("Stop PEC Training"));
        p.page->cmdStartPEC->click();
        p.settle();
        QCOMPARE(p.received(), QStringList({"#-0P", "#:XYR", "#:VS#"}));
    }

    // On the line's real time: the answers take about 2 s to come in, and
    // the progress bar follows them while the window goes on.
    void readOutShowsItsProgressAsTheAnswersArrive() {
        Pec<SystemClock> p;
        QVector<int> progress;
        QObject::connect(p.page->PECProgress, &QProgressBar::valueChanged,
                         [&](int v) { progress << v; });
        QElapsedTimer took;
        took.start();
        const QString csv = p.readOut();
        QVERIFY(took.elapsed() > 1800);
        QVERIFY(progress.size() > 20);
        QCOMPARE(progress.last(), 255);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(csv.count(QLatin1Char('\n')), 257);
        QVERIFY(p.page->cmdSavePEC->isEnabled());
        QVERIFY(p.page->cmdChartPEC->isEnabled());
    }

    void aTableSavedIsRestoredIntoAnotherBoardByteForByte() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table"));
        QString first;
        {
            Pec<> a;
            for (int step = 0; step < 256; ++step)
                a.port->board().pec().writeCode(step, (step * 7) % 4);
            first = a.readOut();
            QCOMPARE(first.count(QLatin1Char('\n')), 257);
            a.page->cmdChartPEC->click();
            QCOMPARE(a.page->chartWindow()->series()->count(), 256);
            QVERIFY(a.page->chartWindow()->isVisible());
            a.prompts.fileNames.enqueue(path); // ".csv" is added
            a.page->cmdSavePEC->click();
            QVERIFY(QFile::exists(path + QStringLiteral(".csv")));
            a.window->close();
            QVERIFY(!a.page->chartWindow()->isVisible());
        }
        Pec<> b; // its table is the board's own sine
        QVERIFY(b.readOut() != first);
        b.received();
        b.prompts.fileNames.enqueue(path + QStringLiteral(".csv"));
        b.page->cmdRestorePEC->click();
        b.settle();
        const QStringList sent = b.received();
        QCOMPARE(sent.size(), 260);
        QCOMPARE(sent.first(), QStringLiteral("#%1p#").arg(b.port->board().pec().factor()));
        QCOMPARE(sent.mid(257), QStringList({"#:XYR#", "Y", "#:VS#"}));
        QCOMPARE(b.page->PECProgress->value(), 255);
        QCOMPARE(b.readOut(), first);
    }

    // STOP and closing the window halfway through a restore both wait: the
    // board never keeps half a table.
    void aRestoreIsNeverCutShort() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("own.csv"));
        Pec<> p;
        p.readOut();
        p.prompts.fileNames.enqueue(path);
        p.page->cmdSavePEC->click();
        p.received();
        p.clock.onPause = [&](int) {
            if (p.clock.pauses.size() == 100) {
                p.window->guide->cmdMoveStop->click();
                p.window->close();
            }
        };
        p.prompts.fileNames.enqueue(path);
        p.page->cmdRestorePEC->click();
        p.clock.onPause = nullptr;
        p.settle();
        const QStringList sent = p.received();
        QCOMPARE(sent.count(QStringLiteral("#:Q#")), 2); // STOP at once, and at exit
        QVERIFY(sent.indexOf(QStringLiteral("#255:XR0#")) > 0);
        QCOMPARE(sent.mid(sent.size() - 4), QStringList({"#:XYR#", "Y", "#:VS#", "#:Q#"}));
        QVERIFY(!p.port->isOpen());
    }

    // Every refusal is checked without the window; here that a bad file
    // sends nothing and says why.
    void aBadFileSendsNothing() {
        QByteArray good = "Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r\n";
        for (int i = 0; i < 256; ++i)
            good += "5, 1, 5, 5, 47, -47\r\n";
        QByteArray code = good;
        code.replace(good.indexOf("5, 1", 4000) + 3, 1, "?");
        Pec<> p;
        const QString path = p.dir.filePath(QStringLiteral("bad.csv"));
        for (const auto& [content, says] :
             {std::pair{good.left(good.size() / 2), "lines"}, std::pair{code, "Line 190 "}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) > 0);
            f.close();
            p.prompts.fileNames.enqueue(path);
            p.page->cmdRestorePEC->click();
            p.settle();
            QVERIFY(p.received().isEmpty());
            QVERIFY2(p.prompts.shown.last().text.contains(QLatin1String(says)),
                     qPrintable(p.prompts.shown.last().text));
        }
    }

    void aReadOutThatStopsShortSaysHowFarItGot() {
        Pec<> p({QStringLiteral("--drop-every"), QStringLiteral("100")});
        p.page->GetPECData->click();
        p.clock.advance(5000);
        p.settle();
        QVERIFY2(p.prompts.shown.last().text.contains(QStringLiteral("254 of 256 steps")),
                 qPrintable(p.prompts.shown.last().text));
        QVERIFY(p.page->pecdata2txt->toPlainText().isEmpty());
        QVERIFY(!p.page->cmdSavePEC->isEnabled());
        QVERIFY(!p.page->cmdChartPEC->isEnabled());
    }
};

QTEST_MAIN(TestPecPage)
#include "test_pec_page.moc"
