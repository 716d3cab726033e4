#include "common/ui/Widgets.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

QPushButton* makeButton(const QString& name, const QString& caption, const QString& toolTip,
                        QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(toolTip);
    return b;
}

QComboBox* makeEditableList(const QString& name, QCompleter* placeholder, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    auto* edit = new QLineEdit(combo);
    // The list makes no completer for a line edit that has one.
    edit->setCompleter(placeholder);
    combo->setLineEdit(edit);
    edit->setCompleter(nullptr);
    // Typing adds no entry.
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

} // namespace corvane
