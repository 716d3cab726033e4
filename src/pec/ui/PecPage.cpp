#include "pec/ui/PecPage.h"

#include "common/ui/Widgets.h"
#include "link/Replies.h"
#include "pec/PecModel.h"
#include "pec/ui/PecChartWindow.h"
#include "session/MountSession.h"

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

QPlainTextEdit* makeText(const QString& name, QWidget* parent) {
    auto* t = new QPlainTextEdit(parent);
    t->setObjectName(name);
    t->setReadOnly(true);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    return t;
}

// The table texts in a fixed-width font with a tab every ten characters, so
// the columns stand under their headings.
void useFixedFont(QPlainTextEdit* t) {
    t->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    t->setTabStopDistance(QFontMetricsF(t->font()).horizontalAdvance(QLatin1Char('0')) * 10);
}

} // namespace

PecPage::PecPage(MountSession& session, QWidget* parent) : QWidget(parent), m_pec(session.pec()) {
    setObjectName(QStringLiteral("PecPage"));
    buildControls();
    layOut();
    connect(&m_pec, &PecModel::changed, this, &PecPage::refresh);
    connect(&m_pec, &PecModel::tableChanged, this, &PecPage::showTable);
    connect(&m_pec, &PecModel::progressChanged, PECProgress, &QProgressBar::setValue);
    refresh();
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
    PECEnable = makeButton(QStringLiteral("PECEnable"), QString(), QString(), this);
    cmdPECFactor =
        makeButton(QStringLiteral("cmdPECFactor"), QStringLiteral("PEC Factor"), QString(), this);
    cbPECFactor = new QComboBox(this);
    cbPECFactor->setObjectName(QStringLiteral("cbPECFactor"));
    for (int f = 1; f <= 9; ++f)
        cbPECFactor->addItem(QString::number(f));
    cmdStartPEC = makeButton(QStringLiteral("cmdStartPEC"), QString(),
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
    // A state query runs as a sequence, behind any exchange under way.
    connect(cmdGetPECState, &QPushButton::clicked, &m_pec, &PecModel::queryStateInTurn);
    connect(PECEnable, &QPushButton::clicked, &m_pec, &PecModel::toggleEnable);
    connect(cmdPECFactor, &QPushButton::clicked, &m_pec, &PecModel::showFactorList);
    connect(cbPECFactor, &QComboBox::activated, this,
            [this] { m_pec.chooseFactor(cbPECFactor->currentText()); });
    connect(cmdStartPEC, &QPushButton::clicked, &m_pec, &PecModel::toggleTraining);
    connect(GetPECData, &QPushButton::clicked, &m_pec, &PecModel::readOut);
    connect(cmdSavePEC, &QPushButton::clicked, &m_pec, &PecModel::saveTable);
    connect(cmdRestorePEC, &QPushButton::clicked, &m_pec, &PecModel::restore);
    connect(cmdChartPEC, &QPushButton::clicked, this, &PecPage::showChart);
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

// Finding the fixed-width font takes a while: it is done when the page is
// first shown, not while the program starts.
void PecPage::showEvent(QShowEvent* event) {
    if (!m_fixedFont) {
        m_fixedFont = true;
        useFixedFont(PECDatatxt);
        useFixedFont(pecdata2txt);
    }
    QWidget::showEvent(event);
}

void PecPage::refresh() {
    PECStatetxt->setText(hexPairs(m_pec.state().bytes));
    pecstatelbl->setText(m_pec.stateLabel());
    pecstatelbl->setVisible(m_pec.isLabelShown());
    PECEnable->setText(m_pec.serialEnabled() ? QStringLiteral("Disable PEC")
                                             : QStringLiteral("Enable PEC"));
    cmdStartPEC->setText(m_pec.isTraining() ? QStringLiteral("Stop PEC Training")
                                            : QStringLiteral("Start PEC Training"));
    cbPECFactor->setVisible(m_pec.isFactorListShown());
    // Saving and charting are offered for a complete table only.
    cmdSavePEC->setEnabled(m_pec.isTableOffered());
    cmdChartPEC->setEnabled(m_pec.isTableOffered());
    // The hourglass while a table is read out or written.
    if (m_pec.isBusy() != m_busyShown) {
        m_busyShown = m_pec.isBusy();
        if (m_busyShown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
}

// The column view and the CSV text of the table read out, or after a
// restore the factor and codes written.
void PecPage::showTable() {
    const PecTable& table = m_pec.table();
    PECDatatxt->setPlainText(table.rows.isEmpty() ? QString() : pecColumnView(table));
    pecdata2txt->setPlainText(table.rows.isEmpty() ? m_pec.restoredText() : pecCsvText(table));
    if (m_chart && table.isComplete())
        m_chart->setPoints(pecChartPoints(table));
}

void PecPage::showChart() {
    if (!m_chart)
        m_chart = new PecChartWindow(window());
    m_chart->setPoints(pecChartPoints(m_pec.table()));
    m_chart->show();
    m_chart->raise();
}

void PecPage::closeChart() {
    if (m_chart)
        m_chart->close();
}

} // namespace corvane
