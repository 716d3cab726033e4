#pragma once

#include "link/Replies.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QCheckBox;
class QScrollBar;

namespace corvane {

// The mount's position as the controller last reported it.
class PositionPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PositionPanel(QWidget* parent = nullptr);

    void showPosition(const PositionText& position);
    QString degreeMark() const;
    QString minuteMark() const;

    QLabel* TeleRAlbl = nullptr;
    QLabel* TeleDEClbl = nullptr;
    QLineEdit* ScopeRAtxt = nullptr;
    QLineEdit* ScopeDECtxt = nullptr;
    // Hidden one-character fields holding the declination display's marks.
    QLineEdit* deg = nullptr;
    QLineEdit* mins = nullptr;
    // Automatic position update and its interval (milliseconds).
    QCheckBox* Check1 = nullptr;
    QScrollBar* scrlUDTime = nullptr;
};

} // namespace corvane
