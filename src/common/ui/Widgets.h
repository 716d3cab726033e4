#pragma once

#include <QString>
#include <functional>

class QComboBox;
class QCompleter;
class QPushButton;
class QWidget;

namespace corvane {

// A button with its object name, caption and tool tip, as every panel makes them.
QPushButton* makeButton(const QString& name, const QString& caption, const QString& toolTip,
                        QWidget* parent);

// An editable list without a completer: typed text picks an entry only when
// it is exactly that entry ("8x" is not "8X"). Qt gives every editable list a
// case-blind completer of its own, whose popup costs more to build than the
// list; `placeholder`, one completer shared by a page's lists, stands in
// while the list is made and is taken away again.
QComboBox* makeEditableList(const QString& name, QCompleter* placeholder, QWidget* parent);

// Lays out a page that is not shown at first only when it first comes into
// view: its controls exist (and are found by name) from the start, but their
// sizes are worked out when they are seen. A tab strip asks every page for its
// size when it is shown, which for pages full of controls is most of the time
// it takes to bring up a window.
void layOutWhenFirstShown(QWidget* page, std::function<void()> layOut);

} // namespace corvane
