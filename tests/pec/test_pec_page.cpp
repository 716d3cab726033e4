// The PEC page on the simulated board: state, switching and training as its traffic log shows
// them; a table read out with its progress, saved, charted and written back into another
// board; files that must send nothing.
#include "common/SimWindow.h"
#include "link/ui/TerminalPanel.h"
#include "motion/ui/GuidePanel.h"
#include "pec/ui/PecChartWindow.h"
#include "pec/ui/PecPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace corvane;
using namespace corvane::test;

namespace {

template <typename ClockType = FakeClock> struct Pec : SimWindow<ClockType> {
    PecPage* page = this->window->pec;
    explicit Pec(QStringList args = {}) : SimWindow<ClockType>(args) {
        QVERIFY(this->connect());
        this->window->tabstrip1->setCurrentIndex(2);
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
};

} // namespace

class TestPecPage : public QObject {
    Q_OBJECT
private slots:
    void theTabShowsTheStateAndControlsSendTheirCommands() {
        Pec<> p;
        QVERIFY(!p.page->pecstatelbl->isHidden());
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
        QCOMPARE(p.received(), QStringList({"#1P", "#:VS#", "#7p", "#:VS#"}));
    }

    // Firmware that can touch the table up asks Yes/No/Cancel, older firmware OK/Cancel.
    void trainingAsksAsTheFirmwareCan() {
        for (const QString firmware : {"3.59", "3.58"}) {
            Pec<> p({QStringLiteral("--firmware"), firmware});
            const bool touchUp = firmware == QLatin1String("3.59"); // answered No, else Cancel
            p.prompts.answers.enqueue(touchUp ? PromptAnswer::No : PromptAnswer::Cancel);
            p.press(p.page->cmdStartPEC);
            QCOMPARE(p.prompts.shown.last().buttons,
                     touchUp ? PromptButtons::YesNoCancel : PromptButtons::OkCancel);
            QCOMPARE(p.received().join(' ') + ", " + p.page->cmdStartPEC->text(),
                     touchUp ? "#-2P, Stop PEC Training" : ", Start PEC Training");
            if (touchUp) {
                p.press(p.page->cmdStartPEC);
                QCOMPARE(p.received(), QStringList({"#-0P", "#:XYR", "#:VS#"}));
            }
        }
    }

    // On the line's real time: the answers take about 2 s to come in, and
    // the progress bar follows them while the window goes on.
    void readOutShowsItsProgressAsTheAnswersArrive() {
        Pec<SystemClock> p;
        QVector<int> progress;
        QObject::connect(p.page->PECProgress, &QProgressBar::valueChanged,
                         [&](int v) { progress << v; });
        const qint64 started = p.clock.nowMs();
        const QString csv = p.readOut();
        QVERIFY(p.clock.nowMs() - started > 1800);
        QVERIFY(progress.size() > 20 && std::is_sorted(progress.begin(), progress.end()) &&
                progress.last() == 255);
        QCOMPARE(csv.count(QLatin1Char('\n')), 257);
        QVERIFY(p.page->cmdSavePEC->isEnabled() && p.page->cmdChartPEC->isEnabled());
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
            a.page->cmdChartPEC->click();
            QVERIFY(a.page->chartWindow()->isVisible() &&
                    a.page->chartWindow()->MSChart1->points().size() == 256);
            a.prompts.fileNames.enqueue(path); // ".csv" is added
            a.page->cmdSavePEC->click();
            // The file's bytes: the header and 256 lines, each ended by CR LF, then the
            // empty line the save's last CR LF makes.
            QFile saved(path + QStringLiteral(".csv"));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            const QByteArray bytes = saved.readAll();
            const QList<QByteArray> lines = bytes.split('\n');
            QCOMPARE(lines.size(), 259);
            QVERIFY(std::all_of(lines.begin(), lines.end() - 1,
                                [](const QByteArray& l) { return l.endsWith('\r'); }));
            const QByteArray factor = QByteArray::number(a.port->board().pec().factor());
            QCOMPARE(lines.first() + '|' + lines.at(1) + '|' + lines.at(257),
                     "Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r|" + factor +
                         ", 0, 0, 0, 47, -47\r|\r");
            QVERIFY(lines.at(256).startsWith(factor + ", 1, ") &&
                    lines.at(256).endsWith(", 47, -47\r"));
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
    }

    // STOP and closing the window halfway through a restore both wait: the
    // board never keeps half a table.
    void aRestoreIsNeverCutShort() {
        Pec<> p;
        const QString path = p.dir.filePath(QStringLiteral("own.csv"));
        p.readOut();
        p.prompts.fileNames << path << path;
        p.page->cmdSavePEC->click();
        p.received();
        p.clock.onPause = [&](int) {
            if (p.clock.pauses.size() == 100) {
                p.window->guide->cmdMoveStop->click();
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

    // Every refusal is checked without the window; here that a bad file sends nothing, saying why.
    void aBadFileSendsNothing() {
        const QByteArray good = "Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r\n" +
                                QByteArray("5, 1, 5, 5, 47, -47\r\n").repeated(256);
        const QByteArray code = QByteArray(good).replace(good.indexOf("5, 1", 4000) + 3, 1, "?");
        Pec<> p;
        const QString path = p.dir.filePath(QStringLiteral("bad.csv"));
        for (const auto& [content, says] :
             {std::pair{good.left(good.size() / 2), "lines"}, std::pair{code, "Line 190 "}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) > 0 && f.flush());
            p.prompts.fileNames.enqueue(path);
            p.press(p.page->cmdRestorePEC);
            QVERIFY(p.received().isEmpty());
            QVERIFY2(p.prompts.shown.last().text.contains(QLatin1String(says)),
                     qPrintable(p.prompts.shown.last().text));
        }
    }

    // A manual command the board does not answer leaves the next reply read: its
    // reception ends with its deadline, and the read-out after it is whole.
    void aManualCommandWithoutAnswerBlindsNoReply() {
        Pec<> p;
        TerminalPanel* terminal = p.window->terminal;
        terminal->txtTextOut->setText(QStringLiteral("#:XX#"));
        terminal->btnSend[1]->click();
        p.clock.advance(2000);
        p.settle();
        QVERIFY(p.window->session().channel().isDispatchArmed());
        QCOMPARE(p.readOut().count(QLatin1Char('\n')), 257);
        // An answer that holds no step at all is said to be no table.
        Pec<> garbled({QStringLiteral("--garble-every"), QStringLiteral("1")});
        garbled.readOut();
        QVERIFY(garbled.prompts.shown.last().text.contains(QStringLiteral("decoded no step")));
    }

    void aReadOutThatStopsShortSaysHowFarItGot() {
        Pec<> p({QStringLiteral("--drop-every"), QStringLiteral("100")});
        p.page->GetPECData->click();
        p.clock.advance(5000);
        p.settle();
        QVERIFY2(p.prompts.shown.last().text.contains(QStringLiteral("254 of 256 steps")),
                 qPrintable(p.prompts.shown.last().text));
        QVERIFY(p.page->pecdata2txt->toPlainText().isEmpty());
        QVERIFY(!p.page->cmdSavePEC->isEnabled() && !p.page->cmdChartPEC->isEnabled());
    }
};

QTEST_MAIN(TestPecPage)
#include "test_pec_page.moc"
