// The PEC page on the simulated board, as its traffic log shows it.
#include "common/WindowFixture.h"
#include "link/ui/TerminalPanel.h"
#include "motion/ui/GuidePanel.h"
#include "pec/PecModel.h"
#include "pec/ui/PecChartWindow.h"
#include "pec/ui/PecPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

using namespace corvane;
using namespace corvane::test;

namespace {

template <typename ClockType = FakeClock> struct Pec : SimWindow<ClockType> {
    PecPage* page = this->window->template findChild<PecPage*>();
    explicit Pec(QStringList args = {}) : SimWindow<ClockType>(args) {
        QVERIFY(this->connect());
        this->window->template findChild<QTabWidget*>(QStringLiteral("tabstrip1"))
            ->setCurrentIndex(2);
        this->settle();
        this->received();
    }
    void press(QPushButton* button) {
        button->click();
        this->settle();
    }
    QString readOut() {
        page->GetPECData->click();
        this->settle(8000);
        return page->pecdata2txt->toPlainText();
    }
    QString lastMessage() const {
        return this->prompts.shown.value(this->prompts.shown.size() - 1).text;
    }
};

} // namespace

class TestPecPage : public QObject {
    Q_OBJECT
private slots:
    // The state shown; switch and factor, each followed by the state query; training
    // asked about as the firmware can (touch up: Yes/No/Cancel, else OK/Cancel).
    void stateSwitchesAndTraining() {
        Pec<> p;
        QCOMPARE(p.page->pecstatelbl->text(), QStringLiteral("PEC State OK, PEC Off "));
        p.press(p.page->PECEnable);
        QCOMPARE(p.page->PECEnable->text() + ", " + p.page->pecstatelbl->text(),
                 "Disable PEC, PEC State OK, PEC Enabled By Serial Port");
        p.page->cmdPECFactor->click();
        QVERIFY(!p.page->cbPECFactor->isHidden());
        p.page->cbPECFactor->setCurrentIndex(6);
        emit p.page->cbPECFactor->activated(6);
        p.settle();
        QVERIFY(p.page->cbPECFactor->isHidden());
        QCOMPARE(p.port->board().pec().factor(), 7);
        QCOMPARE(p.window->session().pec().factor(), 7);
        QCOMPARE(p.received(), QStringList({"#1P", "#:VS#", "#7p", "#:VS#"}));
        for (const QString firmware : {"3.59", "3.58"}) {
            Pec<> t({QStringLiteral("--firmware"), firmware});
            const bool touchUp = firmware == QLatin1String("3.59"); // answered No, else Cancel
            t.prompts.answers.enqueue(touchUp ? PromptAnswer::No : PromptAnswer::Cancel);
            t.press(t.page->cmdStartPEC);
            QCOMPARE(t.prompts.shown.last().buttons,
                     touchUp ? PromptButtons::YesNoCancel : PromptButtons::OkCancel);
            QCOMPARE(t.received().join(' ') + ", " + t.page->cmdStartPEC->text(),
                     touchUp ? "#-2P, Stop PEC Training" : ", Start PEC Training");
        }
    }

    // On the line's real time the progress bar follows the answers (about 2 s).
    void readOutShowsItsProgressAsTheAnswersArrive() {
        Pec<SystemClock> p;
        QVector<int> progress;
        QObject::connect(p.page->PECProgress, &QProgressBar::valueChanged,
                         [&](int v) { progress << v; });
        const qint64 started = p.clock.nowMs();
        QCOMPARE(p.readOut().count(QLatin1Char('\n')), 257);
        QVERIFY(p.clock.nowMs() - started > 1800);
        QVERIFY(progress.size() > 20 && std::is_sorted(progress.begin(), progress.end()) &&
                progress.last() == 255);
        QVERIFY(p.page->cmdSavePEC->isEnabled() && p.page->cmdChartPEC->isEnabled());
    }

    // A table read out, charted (following night vision) and saved (".csv" added,
    // CR LF lines) is written into another board, which then reads out the same. A
    // bad file sends nothing, saying why.
    void aTableSavedIsRestoredIntoAnotherBoardByteForByte() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table"));
        QString first;
        {
            Pec<> a;
            for (int step = 0; step < 256; ++step)
                a.port->board().pec().writeCode(step, (step * 7) % 4);
            first = a.readOut();
            a.page->cmdChartPEC->click();
            QVERIFY(a.page->chartWindow()->isVisible() &&
                    a.page->chartWindow()->MSChart1->points().size() == 256);
            a.prompts.fileNames.enqueue(path); // ".csv" is added
            a.page->cmdSavePEC->click();
            QFile saved(path + QStringLiteral(".csv"));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = saved.readAll().split('\n');
            QCOMPARE(lines.size(), 259);
            QVERIFY(std::all_of(lines.begin(), lines.end() - 1,
                                [](const QByteArray& l) { return l.endsWith('\r'); }));
            const QByteArray factor = QByteArray::number(a.port->board().pec().factor());
            QCOMPARE(lines.first() + '|' + lines.at(1) + '|' + lines.at(257),
                     "Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r|" + factor +
                         ", 0, 0, 0, 47, -47\r|\r");
            a.window->close();
            QVERIFY(!a.page->chartWindow()->isVisible());
        }
        Pec<> b; // its table is the board's own sine
        QVERIFY(b.readOut() != first);
        b.received();
        b.prompts.fileNames.enqueue(path + QStringLiteral(".csv"));
        b.press(b.page->cmdRestorePEC);
        const QStringList sent = b.received();
        QCOMPARE(QString::number(sent.size()) + ' ' + sent.first() + ' ' + sent.mid(257).join(' '),
                 QStringLiteral("260 #%1p# #:XYR# Y #:VS#").arg(b.port->board().pec().factor()));
        QCOMPARE(b.page->PECProgress->value(), 255);
        QCOMPARE(b.readOut(), first);
        b.received();

        QFile bad(dir.filePath(QStringLiteral("bad.csv")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("Factor, Table\r\n5, 1\r\n") > 0);
        bad.close();
        b.prompts.fileNames.enqueue(bad.fileName());
        b.press(b.page->cmdRestorePEC);
        QVERIFY(b.received().isEmpty());
        QVERIFY2(b.lastMessage().contains(QLatin1String("lines")), qPrintable(b.lastMessage()));
    }

    // STOP and closing the window halfway through a restore both wait for its end.
    void aRestoreIsNeverCutShort() {
        Pec<> p;
        const QString path = p.dir.filePath(QStringLiteral("own.csv"));
        p.readOut();
        p.prompts.fileNames << path << path;
        p.page->cmdSavePEC->click();
        p.received();
        p.clock.onPause = [&](int) {
            if (p.clock.pauses.size() == 100) {
                p.window->findChild<GuidePanel*>()->cmdMoveStop->click();
                p.window->close();
            }
        };
        p.press(p.page->cmdRestorePEC);
        const QStringList sent = p.received();
        QCOMPARE(sent.count(QStringLiteral("#:Q#")), 2); // STOP at once, and at exit
        QCOMPARE(sent.mid(sent.indexOf(QStringLiteral("#255:XR0#"))),
                 QStringList({"#255:XR0#", "#:XYR#", "Y", "#:VS#", "#:Q#"}));
        QVERIFY(!p.port->isOpen());
    }

    // An unanswered manual command's reception ends with its deadline: the read-out
    // after it is whole. One stopping short or holding no step says so, offers nothing.
    void readOutsOnAFaultyLine() {
        Pec<> p;
        p.window->findChild<TerminalPanel*>()->txtTextOut->setText(QStringLiteral("#:XX#"));
        p.window->findChild<TerminalPanel*>()->btnSend[1]->click();
        p.clock.advance(2000);
        p.settle();
        QCOMPARE(p.readOut().count(QLatin1Char('\n')), 257);

        Pec<> dropping({QStringLiteral("--drop-every"), QStringLiteral("100")});
        dropping.page->GetPECData->click();
        dropping.clock.advance(5000);
        dropping.settle();
        QVERIFY2(dropping.lastMessage().contains("254 of 256 steps"),
                 qPrintable(dropping.lastMessage()));
        QVERIFY(dropping.page->pecdata2txt->toPlainText().isEmpty());
        QVERIFY(!dropping.page->cmdSavePEC->isEnabled() &&
                !dropping.page->cmdChartPEC->isEnabled());
        Pec<> garbled({QStringLiteral("--garble-every"), QStringLiteral("1")});
        garbled.readOut();
        QVERIFY(garbled.lastMessage().contains(QStringLiteral("decoded no step")));
    }
};

QTEST_MAIN(TestPecPage)
#include "test_pec_page.moc"
