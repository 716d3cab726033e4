#pragma once

#include "link/PanelContext.h"
#include "motion/Motion.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace corvane {

// The guiding panel: manual motion in four directions, STOP, the guide rate,
// timed guide pulses, the controller's object search and its tracking
// correction. The board does all timing of motion and pulses; the panel sends
// commands and keeps the captions in step, since a caption is the only record
// of what was started.
class GuidePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit GuidePanel(PanelContext ctx, QWidget* parent = nullptr);

    // Start-up state: rate 2X selected (its command goes out when connected),
    // pulse-guide mode off, the unswapped direction letters.
    void startUp();

    // Settings readback names the rates the board is set to.
    void setRateCaption(int index, const QString& caption);
    // Only boards whose firmware knows tracking correction enable it.
    void setTarvixEnabled(bool enabled);

    bool pulseGuideMode() const { return m_pulseGuideMode; }
    const DirectionLetters& letters() const { return m_letters; }

    void pressMove(Direction d);
    void pressStop();
    void pressPulse();
    void selectRate(int index);
    void pressFind();
    void pressTarvix();

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
    QTimer* Timer2 = nullptr;
    QPushButton* cmdFindIt = nullptr;
    QPushButton* cmdtarvix = nullptr;
    QPushButton* cmdPark = nullptr;

private:
    void buildMoveButtons();
    void buildRates();
    void buildPulse();
    void buildFunctions();
    void layOut();

    QPushButton* moveButton(Direction d) const;
    void startMoving(Direction d);
    void stopMoving(Direction d);
    void showIdle(Direction d);
    void showIdleAll();
    void showLetters();
    void sendPulseFor(Direction d);
    void pulseSent(bool sent, int ms);
    void pulseEnded();
    void startFind();
    void stopFind();
    void setMotionEnabled(bool enabled);

    // The version reply decides whether tracking correction is offered.
    void showControllerFeatures();

    PanelContext m_ctx;
    DirectionLetters m_letters;
    bool m_pulseGuideMode = false;
};

} // namespace corvane
