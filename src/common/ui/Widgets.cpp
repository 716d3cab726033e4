#include "common/ui/Widgets.h"

#include <QPushButton>

namespace corvane {

QPushButton* makeButton(const QString& name, const QString& caption, const QString& toolTip,
                        QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(toolTip);
    return b;
}

} // namespace corvane
