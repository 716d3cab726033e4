#pragma once

#include "link/Replies.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QCheckBox;
class QScrollBar;

namespace corvane {

class ReplyDispatcher;

// The mount's position as the controller last reported it: the position
// replies and the single-axis replies. A reply that is not in the
// controller's form leaves the boxes as they were.
class PositionPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PositionPanel(ReplyDispatcher& dispatcher, QWidget* parent = nullptr);

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

signals:
    // A reply did not have its form (said once, until a good one comes).
    void badReply(const QString& message);

private:
    void readPosition(qint16 kind, const QString& reply);
    void readAxis(QLineEdit* box, qint16 kind, const std::optional<QString>& text);
    void noteReply(qint16 kind, bool good);

    bool m_lastWasBad = false;
};

} // namespace corvane
