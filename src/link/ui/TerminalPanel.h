#pragma once

#include "link/Query.h"

#include <QGroupBox>
#include <QVector>

class QLineEdit;
class QPushButton;

namespace corvane {

class BoardLine;
class ControllerInfo;
class MountSession;

// The raw command terminal: type a command, send it, see the last response.
// Also holds the version button and the hidden controls kept for the board's
// hex entry and single-axis queries.
class TerminalPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TerminalPanel(MountSession& session, QWidget* parent = nullptr);

    // Start-up presses the three Clear buttons.
    void pressClear(int index);

    QLineEdit* txtTextOut = nullptr;
    QLineEdit* txtResponse = nullptr;
    QPushButton* btnSend[2] = {nullptr, nullptr};
    QPushButton* btnClear[3] = {nullptr, nullptr, nullptr};
    QVector<QLineEdit*> txtHEX;
    QPushButton* cmdGetVersion = nullptr;
    QPushButton* cmdGetDEC = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showReceived(const QByteArray& bytes, ReplyForm form);
    void showConnection();
    // The version button names the controller that answered, and goes back
    // to its own caption when a port is opened.
    void showVersion();
    void send(int index);

    MountSession& m_session;
    ControllerInfo& m_controller;
};

} // namespace corvane
