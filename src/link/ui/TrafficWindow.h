#pragma once

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace corvane {

class Prompts;
class TrafficLog;

// traffic ("Serial Traffic"): every write to the board and every reception,
// with its time, direction and cause, as they happen; the last 10,000 lines.
// It can be paused, cleared, shown in hex, and saved as a text file.
class TrafficWindow : public QWidget {
    Q_OBJECT
public:
    TrafficWindow(TrafficLog& log, Prompts& prompts, QWidget* owner);

    QPlainTextEdit* txtTraffic = nullptr;
    QCheckBox* chkPause = nullptr;
    QCheckBox* chkHex = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdSave = nullptr;

    void save();

private:
    void showAll();

    TrafficLog& m_log;
    Prompts& m_prompts;
};

} // namespace corvane
