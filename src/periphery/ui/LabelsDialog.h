#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class AuxiliaryOutputs;

// "Change User Defined Pin Labels": renames the two user pins (the entries
// of the Options menu show their labels). Modeless; OK takes both texts as typed, Cancel changes
// nothing. Either closes the dialog, which then deletes itself.
class LabelsDialog : public QDialog {
    Q_OBJECT
public:
    LabelsDialog(AuxiliaryOutputs& outputs, QWidget* parent = nullptr);

    // Where the dialog opens: 315 twips below and 90 twips right of the
    // owner's top-left corner (a twip is 1/1440 inch).
    static QPoint placeBelow(const QWidget& owner);
    static int twipsToPixels(int twips, int dotsPerInch);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    void takeLabels();

    QPointer<AuxiliaryOutputs> m_outputs;
};

} // namespace corvane
