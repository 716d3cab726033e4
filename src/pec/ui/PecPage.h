#pragma once

#include "link/PanelContext.h"
#include "pec/PecTable.h"
#include "pec/ui/PecChartWindow.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace corvane {

// The PEC page: the board's PEC state in words, switching PEC replay,
// choosing its factor, training; reading the table out (as columns, as CSV
// and as a chart), saving it and writing a saved table back.
class PecPage : public QWidget {
    Q_OBJECT
public:
    PecPage(PanelContext ctx, QWidget* parent = nullptr);

    // Start-up: the factors "1" to "9".
    void fillFactorList();
    // Asks for the state and shows its label (the button, or the page shown).
    void queryState();
    void pressGetPECState();
    void pressEnable();
    void pressFactor();
    void chooseFactor();
    void pressStartTraining();
    void pressGetData();
    void pressSave();
    void pressRestore();
    void pressChart();
    // Shutdown.
    void closeChart();
    PecChartWindow* chartWindow() const { return m_chart; }
    const PecTable& table() const { return m_table; }

    QPushButton* cmdGetPECState = nullptr;
    QLineEdit* PECStatetxt = nullptr;
    QLabel* pecstatelbl = nullptr;
    QPushButton* PECEnable = nullptr;
    QPushButton* cmdPECFactor = nullptr;
    QComboBox* cbPECFactor = nullptr;
    QPushButton* cmdStartPEC = nullptr;
    QPushButton* GetPECData = nullptr;
    QPlainTextEdit* PECDatatxt = nullptr;
    QPlainTextEdit* pecdata2txt = nullptr;
    QProgressBar* PECProgress = nullptr;
    QPushButton* cmdSavePEC = nullptr;
    QPushButton* cmdRestorePEC = nullptr;
    QPushButton* cmdChartPEC = nullptr;

private:
    void buildControls();
    void layOut();
    void decodeState(const QString& reply);
    void decodeTable(const QString& reply);
    void readoutEnded(SequenceResult result);
    void restoreEnded(SequenceResult result);
    void offerTable(bool complete);
    void tell(const QString& text);
    void busy(bool on);

    PanelContext m_ctx;
    QStringList m_stateFields;
    PecTable m_table;
    // Characters of the read-out that arrived, for its progress and its
    // message when it stops short.
    int m_arrived = 0;
    bool m_readingOut = false;
    bool m_restoring = false;
    QPointer<PecChartWindow> m_chart;
};

} // namespace corvane
