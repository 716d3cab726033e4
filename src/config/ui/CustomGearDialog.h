#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace corvane {

// CustomGear: asks for a gear ratio that is none of the presets. Hidden, not
// destroyed, when closed, so it keeps the last text typed.
class CustomGearDialog : public QDialog {
    Q_OBJECT
public:
    explicit CustomGearDialog(QWidget* parent = nullptr);

    QLineEdit* Text1 = nullptr;
    QPushButton* Command2 = nullptr; // Apply
    QPushButton* Command1 = nullptr; // Cancel

signals:
    // "Apply" with a ratio the gear list can take.
    void applied(const QString& ratio);
};

} // namespace corvane
