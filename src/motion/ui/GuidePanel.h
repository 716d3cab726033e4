#pragma once

#include "motion/Motion.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace corvane {

class Guiding;
class MountSession;

// The guiding panel: manual motion in four directions, STOP, the guide rate,
// timed guide pulses, the board's object search and its tracking correction.
// It shows the guiding model (captions, tool tips, what is enabled) and
// forwards the user's presses to it.
//
// At the eyepiece the keyboard does the same while the panel is shown: an
// arrow key held moves the mount as the button of that direction (the one
// showing N for the up arrow, S down, W left, E right, so the swaps apply)
// and letting it go stops; Escape is STOP; 1, 2, 3 choose the rate. Keys go
// to a text field that has the focus, as typing there needs them.
class GuidePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit GuidePanel(MountSession& session, QWidget* parent = nullptr);

    QPushButton* cmdMoveN = nullptr;
    QPushButton* cmdMoveS = nullptr;
    QPushButton* cmdMoveW = nullptr;
    QPushButton* cmdMoveE = nullptr;
    QPushButton* cmdMoveStop = nullptr;
    QCheckBox* chkSwpNS = nullptr;
    QCheckBox* chkSwpEW = nullptr;
    QGroupBox* GuideRateFrame = nullptr;
    QRadioButton* Option1[3] = {};
    QPushButton* cmdPulse = nullptr;
    QLineEdit* Pulsetxt = nullptr;
    QLabel* pulseLbl = nullptr;
    QPushButton* cmdFindIt = nullptr;
    QPushButton* cmdtarvix = nullptr;
    QPushButton* cmdPark = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool takeKey(QKeyEvent* event, bool pressed);
    std::optional<Direction> directionOfKey(int key) const;
    void buildMoveButtons();
    void buildRates();
    void buildFunctions();
    void layOut();
    QPushButton* moveButton(Direction d) const;
    void refresh();

    Guiding& m_guiding;
};

} // namespace corvane
