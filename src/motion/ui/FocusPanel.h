#pragma once

#include "link/PanelContext.h"
#include "motion/Focus.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace corvane {

// The focus panel: in, out and stop, fast or slow speed, and an optional
// pulse that stops the focuser again once its time has passed.
class FocusPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit FocusPanel(PanelContext ctx, QWidget* parent = nullptr);

    void pressMove(FocusMove move);
    void pressStop();

    QCheckBox* FastFocus = nullptr;
    QCheckBox* PulseFocus = nullptr;
    QLineEdit* FocusPulsetxt = nullptr;
    QPushButton* cmdFocusIn = nullptr;
    QPushButton* cmdFocusOut = nullptr;
    QPushButton* cmdFocusStop = nullptr;
    QTimer* Timer3 = nullptr;

private:
    void pulseEnded();

    PanelContext m_ctx;
};

} // namespace corvane
