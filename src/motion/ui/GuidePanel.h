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

private:
    void buildMoveButtons();
    void buildRates();
    void buildFunctions();
    void layOut();
    QPushButton* moveButton(Direction d) const;
    void refresh();

    Guiding& m_guiding;
};

} // namespace corvane
