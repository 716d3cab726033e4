#include "periphery/ui/LabelsDialog.h"

#include "periphery/AuxiliaryOutputs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace corvane {

LabelsDialog::LabelsDialog(AuxiliaryOutputs& outputs, QWidget* parent)
    : QDialog(parent), m_outputs(&outputs) {
    setObjectName(QStringLiteral("Labels"));
    setWindowTitle(QStringLiteral("Change User Defined Pin Labels"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    Label1 = new QLabel(QStringLiteral("Pin 7 Label"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(outputs.pin7Label(), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    Label2 = new QLabel(QStringLiteral("Pin 14 Label"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text2 = new QLineEdit(outputs.pin14Label(), this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Label2->setBuddy(Text2);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(Command1, &QPushButton::clicked, this, &LabelsDialog::takeLabels);
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
}

void LabelsDialog::takeLabels() {
    // The outputs may have gone with the window already.
    if (m_outputs)
        m_outputs->setLabels(Text1->text(), Text2->text());
    close();
}

int LabelsDialog::twipsToPixels(int twips, int dotsPerInch) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dotsPerInch) / 1440.0));
}

QPoint LabelsDialog::placeBelow(const QWidget& owner) {
    const QPoint corner = owner.frameGeometry().topLeft();
    return corner +
           QPoint(twipsToPixels(90, owner.logicalDpiX()), twipsToPixels(315, owner.logicalDpiY()));
}

} // namespace corvane
