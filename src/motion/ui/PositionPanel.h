#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace corvane {

class MountSession;
class MountPosition;
class PositionPolling;

// The mount's position as the board last reported it, and the automatic
// position updates (Check1, with their interval on scrlUDTime).
class PositionPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PositionPanel(MountSession& session, QWidget* parent = nullptr);

    QLabel* TeleRAlbl = nullptr;
    QLabel* TeleDEClbl = nullptr;
    QLineEdit* ScopeRAtxt = nullptr;
    QLineEdit* ScopeDECtxt = nullptr;
    QCheckBox* Check1 = nullptr;
    QScrollBar* scrlUDTime = nullptr;

private:
    void showPosition();
    void showPolling();

    const MountPosition& m_position;
    PositionPolling& m_polling;
};

} // namespace corvane
