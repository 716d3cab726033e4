#pragma once

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace corvane {

class Focuser;
class MountSession;

// The focus panel: in, out and stop, fast or slow speed, and an optional
// pulse that stops the focuser again once its time has passed.
class FocusPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit FocusPanel(MountSession& session, QWidget* parent = nullptr);

    QCheckBox* FastFocus = nullptr;
    QCheckBox* PulseFocus = nullptr;
    QLineEdit* FocusPulsetxt = nullptr;
    QPushButton* cmdFocusIn = nullptr;
    QPushButton* cmdFocusOut = nullptr;
    QPushButton* cmdFocusStop = nullptr;

private:
    void refresh();

    Focuser& m_focuser;
};

} // namespace corvane
