#pragma once

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

class MountSession;
class PecChartWindow;
class PecModel;

// The PEC page: the board's PEC state in words, switching PEC replay,
// choosing its factor, training; reading the table out (as columns, as CSV
// and as a chart), saving it and writing a saved table back. It shows the PEC
// model and forwards the user's presses to it.
class PecPage : public QWidget {
    Q_OBJECT
public:
    explicit PecPage(MountSession& session, QWidget* parent = nullptr);

    // Shutdown.
    void closeChart();
    PecChartWindow* chartWindow() const { return m_chart; }

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void layOut();
    void refresh();
    void showTable();
    void showChart();

    PecModel& m_pec;
    QPointer<PecChartWindow> m_chart;
    bool m_busyShown = false;
    bool m_fixedFont = false;
};

} // namespace corvane
