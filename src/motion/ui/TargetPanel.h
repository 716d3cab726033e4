#pragma once

#include "link/PanelContext.h"
#include "motion/TargetCommands.h"
#include "motion/TargetFields.h"

#include <QGroupBox>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The target ("object"): four fields in their text forms, checked and
// re-formatted when the user leaves them, and the buttons that set, go to,
// sync on and read back the controller's target. Also keeps the last slew
// time estimate.
class TargetPanel : public QGroupBox {
    Q_OBJECT
public:
    TargetPanel(PanelContext ctx, QWidget* parent = nullptr);

    // The four field texts as they stand.
    TargetFieldTexts fieldTexts() const;
    // Writes a target into the fields as given (the controller's reply, a
    // catalogue pick, a planet). Nothing is checked until the user next leaves
    // a field.
    void writeTarget(const TargetFieldTexts& target);
    // The controller's target reply; one not in the controller's form is
    // never written into the fields (the set command would carry it).
    void readControllerTarget(const QString& reply);

    // Where the goto speed is read from ("16X"); empty until a list supplies it.
    void setGotoSpeedSource(std::function<QString()> source);
    void estimateTimeToTarget(const QString& scopeRA, const QString& scopeDEC);
    QString timeToTargetText() const { return m_timeToTargetText; }
    float timeToTargetHours() const { return m_timeToTargetHours; }

    void pressSetObj();
    void pressGotoObj();
    void pressSyncObj();
    void pressGetObj();

    QLabel* ObjRAhhLbl = nullptr;
    QLabel* ObjRAmmLbl = nullptr;
    QLabel* ObjDECddLbl = nullptr;
    QLabel* ObjDECmmLbl = nullptr;
    QLineEdit* objhrstxt = nullptr;
    QLineEdit* objmintxt = nullptr;
    QLineEdit* objDECDegtxt = nullptr;
    QLineEdit* ObjDECMintxt = nullptr;
    QPushButton* cmdSetObj = nullptr;
    QPushButton* cmdGotoObj = nullptr;
    QPushButton* cmdSyncObj = nullptr;
    QPushButton* cmdGetObj = nullptr;

signals:
    // The controller's target as the response box shows it (its last 15
    // characters).
    void controllerTargetRead(const QString& response);
    void badReply(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons();
    int fieldIndex(QObject* object) const;
    void fieldEntered(int index);
    void fieldLeft(int index);
    void reportInvalidEntry();
    // Checks an edit still in progress; false while a rejection is unreported.
    bool readyToAct();
    void onMinutesChanged(const QString& text);

    PanelContext m_ctx;
    QLineEdit* m_fields[4] = {};
    // The text each field held when it last received the focus.
    QString m_remembered[4];
    // The field the user is in, if any.
    int m_editing = -1;
    // "Invalid Entry" messages waiting to be shown.
    int m_pendingRejections = 0;
    std::function<QString()> m_gotoSpeed;
    QString m_timeToTargetText;
    float m_timeToTargetHours = 0.0f;
};

} // namespace corvane
