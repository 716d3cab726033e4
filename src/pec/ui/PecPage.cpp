#include "pec/ui/PecPage.h"

#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "link/Channel.h"
#include "link/ControllerInfo.h"
#include "pec/PecFile.h"
#include "pec/PecState.h"
#include "pec/ui/PecChartWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace corvane {

namespace {

const QString kStartTraining = QStringLiteral("Start PEC Training");
const QString kStopTraining = QStringLiteral("Stop PEC Training");
const QString kEnable = QStringLiteral("Enable PEC");
const QString kDisable = QStringLiteral("Disable PEC");

// The table texts in a fixed-width font with a tab every ten characters, so
// the columns stand under their headings.
QPlainTextEdit* makeText(const QString& name, QWidget* parent) {
    auto* t = new QPlainTextEdit(parent);
    t->setObjectName(name);
    t->setReadOnly(true);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    t->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    t->setTabStopDistance(QFontMetricsF(t->font()).horizontalAdvance(QLatin1Char('0')) * 10);
    return t;
}

} // namespace

PecPage::PecPage(PanelContext ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("PecPage"));
    buildControls();
    layOut();
    ReplyDispatcher& replies = m_ctx.channel.dispatcher();
    replies.subscribe(ReplyKind::PecState, this, [this](const QString& r) { decodeState(r); });
    replies.subscribe(ReplyKind::PecTable, this, [this](const QString& r) { decodeTable(r); });
    // The read-out's answers take the line's time after the queries left:
    // its progress follows them as they arrive.
    connect(&m_ctx.channel, &Channel::arriving, this, [this](int waiting, int) {
        if (!m_readingOut)
            return;
        m_arrived = qMax(m_arrived, waiting);
        PECProgress->setValue(qBound(0, waiting - 1, kPecSteps - 1));
    });
    connect(&m_ctx.channel.runner(), &SequenceRunner::progress, this, [this](int value, int) {
        if (m_restoring)
            PECProgress->setValue(value);
    });
}

void PecPage::buildControls() {
    cmdGetPECState = makeButton(QStringLiteral("cmdGetPECState"), QStringLiteral("Get PEC State"),
                                QStringLiteral("Retrieves PEC State Status"), this);
    PECStatetxt = new QLineEdit(this);
    PECStatetxt->setObjectName(QStringLiteral("PECStatetxt"));
    PECStatetxt->setReadOnly(true);
    pecstatelbl = new QLabel(this);
    pecstatelbl->setObjectName(QStringLiteral("pecstatelbl"));
    pecstatelbl->setToolTip(QStringLiteral("Displays PEC Statues"));
    pecstatelbl->hide();
    PECEnable = makeButton(QStringLiteral("PECEnable"), kEnable, QString(), this);
    cmdPECFactor =
        makeButton(QStringLiteral("cmdPECFactor"), QStringLiteral("PEC Factor"), QString(), this);
    cbPECFactor = new QComboBox(this);
    cbPECFactor->setObjectName(QStringLiteral("cbPECFactor"));
    cbPECFactor->hide();
    cmdStartPEC = makeButton(QStringLiteral("cmdStartPEC"), kStartTraining,
                             QStringLiteral("Starts/Stops PEC training"), this);
    GetPECData = makeButton(QStringLiteral("GetPECData"), QStringLiteral("Get PEC Data"),
                            QStringLiteral("Retrieves PEC data from the mount"), this);
    PECDatatxt = makeText(QStringLiteral("PECDatatxt"), this);
    PECDatatxt->setToolTip(QStringLiteral("Display PEC data retrieved from the Mount"));
    pecdata2txt = makeText(QStringLiteral("pecdata2txt"), this);
    PECProgress = new QProgressBar(this);
    PECProgress->setObjectName(QStringLiteral("PECProgress"));
    PECProgress->setRange(0, kPecSteps - 1);
    PECProgress->setValue(0);
    PECProgress->setToolTip(QStringLiteral("Show progress status while retrieving PEC data"));
    cmdSavePEC = makeButton(QStringLiteral("cmdSavePEC"), QStringLiteral("Save PEC Data to File"),
                            QStringLiteral("Save PEC data to a file"), this);
    cmdRestorePEC = makeButton(QStringLiteral("cmdRestorePEC"),
                               QStringLiteral("Restore PEC Data to Mount"), QString(), this);
    cmdChartPEC = makeButton(QStringLiteral("cmdChartPEC"), QStringLiteral("Chart PEC"),
                             QStringLiteral("Displays a chart of PEC data"), this);
    // Saving and charting are offered for a complete table only.
    offerTable(false);

    connect(cmdGetPECState, &QPushButton::clicked, this, &PecPage::pressGetPECState);
    connect(PECEnable, &QPushButton::clicked, this, &PecPage::pressEnable);
    connect(cmdPECFactor, &QPushButton::clicked, this, &PecPage::pressFactor);
    connect(cbPECFactor, &QComboBox::activated, this, &PecPage::chooseFactor);
    connect(cmdStartPEC, &QPushButton::clicked, this, &PecPage::pressStartTraining);
    connect(GetPECData, &QPushButton::clicked, this, &PecPage::pressGetData);
    connect(cmdSavePEC, &QPushButton::clicked, this, &PecPage::pressSave);
    connect(cmdRestorePEC, &QPushButton::clicked, this, &PecPage::pressRestore);
    connect(cmdChartPEC, &QPushButton::clicked, this, &PecPage::pressChart);
}

void PecPage::layOut() {
    auto* state = new QGroupBox(QStringLiteral("PEC State and Control"), this);
    state->setObjectName(QStringLiteral("PecStateFrame"));
    auto* top = new QGridLayout(state);
    top->addWidget(cmdGetPECState, 0, 0);
    top->addWidget(PECStatetxt, 0, 1, 1, 3);
    top->addWidget(pecstatelbl, 1, 0, 1, 4);
    top->addWidget(PECEnable, 2, 0);
    top->addWidget(cmdPECFactor, 2, 1);
    top->addWidget(cbPECFactor, 2, 2);
    top->addWidget(cmdStartPEC, 2, 3);
    auto* table = new QGroupBox(QStringLiteral("PEC Table"), this);
    table->setObjectName(QStringLiteral("PecTableFrame"));
    auto* grid = new QGridLayout(table);
    grid->addWidget(GetPECData, 0, 0);
    grid->addWidget(PECProgress, 0, 1, 1, 3);
    grid->addWidget(PECDatatxt, 1, 0, 1, 3);
    grid->addWidget(pecdata2txt, 1, 3);
    grid->addWidget(cmdSavePEC, 2, 0);
    grid->addWidget(cmdRestorePEC, 2, 1);
    grid->addWidget(cmdChartPEC, 2, 2);
    // The column view is the wider of the two texts.
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(state);
    page->addWidget(table, 1);
}

void PecPage::fillFactorList() {
    for (int f = 1; f <= 9; ++f)
        cbPECFactor->addItem(QString::number(f));
}

void PecPage::tell(const QString& text) {
    m_ctx.prompts.message(text, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

void PecPage::busy(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// --- state and control ---------------------------------------------------------

void PecPage::queryState() {
    m_ctx.channel.getPECState();
    pecstatelbl->show();
}

void PecPage::pressGetPECState() {
    m_ctx.channel.run(Sequence(QStringLiteral("PEC state query")).then([this] { queryState(); }));
}

void PecPage::decodeState(const QString& reply) {
    PECStatetxt->setText(reply);
    const PecState state = decodePecState(reply);
    m_stateFields = state.fields;
    if (state.label)
        pecstatelbl->setText(*state.label);
}

// The caption is the only record of what this program switched.
void PecPage::pressEnable() {
    const bool enable = PECEnable->text() == kEnable;
    PECEnable->setText(enable ? kDisable : kEnable);
    switchPec(m_ctx.channel, enable);
}

void PecPage::pressFactor() {
    cbPECFactor->show();
}

void PecPage::chooseFactor() {
    pecstatelbl->clear();
    setPecFactor(m_ctx.channel, cbPECFactor->currentText());
    cbPECFactor->hide();
}

void PecPage::pressStartTraining() {
    if (cmdStartPEC->text() != kStartTraining) {
        cmdStartPEC->setText(kStartTraining);
        stopPecTraining(m_ctx.channel);
        return;
    }
    const TrainingPrompt prompt = trainingPrompt(m_ctx.controller.version().pecTouchUp);
    const PromptAnswer answer =
        m_ctx.prompts.message(prompt.text, prompt.title, prompt.icon, prompt.buttons);
    if (!startPecTraining(m_ctx.channel, answer))
        return;
    PECDatatxt->clear();
    cmdStartPEC->setText(kStopTraining);
}

// --- the table -------------------------------------------------------------------

void PecPage::offerTable(bool complete) {
    cmdSavePEC->setEnabled(complete);
    cmdChartPEC->setEnabled(complete);
}

void PecPage::pressGetData() {
    Sequence readout = pecReadoutSequence(m_ctx.channel);
    readout.onEnd([this](SequenceResult r) { readoutEnded(r); });
    // Nothing stale stays in view while the table comes in.
    PECDatatxt->clear();
    pecdata2txt->clear();
    m_table = PecTable();
    offerTable(false);
    PECProgress->setValue(0);
    m_arrived = 0;
    m_readingOut = true;
    busy(true);
    if (!m_ctx.channel.run(std::move(readout))) {
        m_readingOut = false;
        busy(false);
        tell(QStringLiteral("Another exchange with the controller is running; "
                            "try again when it has finished."));
    }
}

void PecPage::decodeTable(const QString& reply) {
    const int factor = pecFactorFromField(m_stateFields.value(kPecFactorField - 1));
    m_table = decodePecTable(reply, factor);
    PECDatatxt->setPlainText(pecColumnView(m_table));
    pecdata2txt->setPlainText(pecCsvText(m_table));
    if (m_chart && m_table.isComplete())
        m_chart->setPoints(pecChartPoints(m_table));
}

void PecPage::readoutEnded(SequenceResult result) {
    m_readingOut = false;
    busy(false);
    const bool complete = result == SequenceResult::Done && m_table.isComplete();
    offerTable(complete);
    if (complete) {
        PECProgress->setValue(kPecSteps - 1);
        return;
    }
    if (result == SequenceResult::TimedOut) {
        pecdata2txt->clear();
        tell(QStringLiteral("The PEC table read-out stopped short: %1 of %2 steps arrived.")
                 .arg(m_arrived)
                 .arg(kPecSteps));
    } else if (result == SequenceResult::Done && m_table.rows.isEmpty()) {
        tell(QStringLiteral("The PEC table read-out decoded no step: the board's answer was "
                            "not a table."));
    } else if (result == SequenceResult::Done) {
        tell(QStringLiteral("The PEC table holds no code for step %1; it is shown only as "
                            "far as it could be read.")
                 .arg(m_table.rows.size()));
    }
}

void PecPage::pressSave() {
    QString path = withCsvExtension(m_ctx.prompts.saveFileName(pecFileFilter()));
    if (path.isEmpty())
        return;
    QString error;
    // Written from the table itself: a text box's text has lost its CR LF line ends.
    if (!writePecCsv(path, pecCsvText(m_table), &error))
        tell(error);
}

// The whole file is read and checked before anything goes out: a damaged
// file never leaves half a table in the board.
void PecPage::pressRestore() {
    PECProgress->setValue(0);
    pecdata2txt->clear();
    PECDatatxt->clear();
    offerTable(false);
    const QString path = withCsvExtension(m_ctx.prompts.openFileName(pecFileFilter()));
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<RestorePlan> plan = readRestoreFile(path, &error);
    if (!plan) {
        tell(error);
        return;
    }
    Sequence restore = pecRestoreSequence(m_ctx.channel, *plan);
    restore.onEnd([this, echo = plan->echoText](SequenceResult r) {
        if (r == SequenceResult::Done)
            pecdata2txt->setPlainText(echo);
        restoreEnded(r);
    });
    m_restoring = true;
    busy(true);
    if (!m_ctx.channel.run(std::move(restore))) {
        m_restoring = false;
        busy(false);
        tell(QStringLiteral("Another exchange with the controller is running; "
                            "try again when it has finished."));
    }
}

void PecPage::restoreEnded(SequenceResult result) {
    m_restoring = false;
    busy(false);
    if (result == SequenceResult::PortLost)
        tell(QStringLiteral("The port was lost during the PEC restore: the board may hold "
                            "part of the table. Restore it again once connected."));
    else if (result == SequenceResult::Cancelled && !m_ctx.channel.isOpen())
        tell(QStringLiteral("The port is not open: nothing was written to the board."));
}

void PecPage::pressChart() {
    if (!m_chart)
        m_chart = new PecChartWindow(window());
    m_chart->setPoints(pecChartPoints(m_table));
    m_chart->show();
    m_chart->raise();
}

void PecPage::closeChart() {
    if (m_chart)
        m_chart->close();
}

} // namespace corvane
