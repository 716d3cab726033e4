#include "config/ui/CustomGearDialog.h"

#include "config/SettingLists.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

CustomGearDialog::CustomGearDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CustomGear"));
    setWindowTitle(QStringLiteral("Custom Gear Ratio"));
    auto* label = new QLabel(QStringLiteral("Enter Custom Gear Ratio"), this);
    label->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    label->setBuddy(Text1);
    Command2 = new QPushButton(QStringLiteral("Apply"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(Text1, 1, 0, 1, 2);
    grid->addWidget(Command2, 2, 0);
    grid->addWidget(Command1, 2, 1);

    // Either button closes the dialog; only a ratio from 1 to 499 is added.
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (acceptsCustomGear(Text1->text()))
            emit applied(Text1->text());
        hide();
    });
    connect(Command1, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace corvane
