#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace corvane {

// A button with its object name, caption and tool tip, as every panel makes them.
QPushButton* makeButton(const QString& name, const QString& caption, const QString& toolTip,
                        QWidget* parent);

} // namespace corvane
