#pragma once

#include "motion/TargetFields.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class MountSession;
class Prompts;
class Target;

// The target ("object"): four fields in their text forms, checked and
// re-formatted when the user leaves them, and the buttons that set, go to,
// sync on and read back the board's target. The fields show the target
// model; a field the user left writes it.
class TargetPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TargetPanel(MountSession& session, QWidget* parent = nullptr);

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildButtons();
    void showTarget();
    void writeField(int index, const QString& text);
    int fieldIndex(QObject* object) const;
    void fieldEntered(int index);
    void fieldLeft(int index);
    void reportInvalidEntry();
    // Checks an edit still in progress; false while a rejection is unreported.
    bool readyToAct();
    void onMinutesChanged(const QString& text);

    Target& m_target;
    Prompts& m_prompts;
    QLineEdit* m_fields[4] = {};
    // The text each field held when it last received the focus.
    QString m_remembered[4];
    // The field the user is in, if any.
    int m_editing = -1;
    // "Invalid Entry" messages waiting to be shown.
    int m_pendingRejections = 0;
};

} // namespace corvane
