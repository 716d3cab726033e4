#pragma once

#include "app/AppContext.h"

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
    TerminalPanel(AppContext ctx, QWidget* parent = nullptr);

    void showResponse(const QString& text);
    QString response() const;
    void setSendEnabled(bool enabled);
    void setVersionCaption(const QString& caption);

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
    AppContext m_ctx;
};

} // namespace corvane
