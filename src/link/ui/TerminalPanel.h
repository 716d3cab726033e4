#pragma once

#include "link/PanelContext.h"

#include <QGroupBox>
#include <QVector>

class QLineEdit;
class QPushButton;

namespace corvane {

// The raw command terminal: type a command, send it, see the last response.
// Also holds the version button and the hidden controls kept for the board's
// hex entry and single-axis queries.
class TerminalPanel : public QGroupBox {
    Q_OBJECT
public:
    TerminalPanel(PanelContext ctx, QWidget* parent = nullptr);

    void showResponse(const QString& text);
    QString response() const;
    void setSendEnabled(bool enabled);

    void pressSend(int index);
    void pressClear(int index);
    void pressGetVersion();

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
    // The version button names the controller that answered, and goes back
    // to its own caption when a port is opened.
    void showVersion();

    PanelContext m_ctx;
};

} // namespace corvane
