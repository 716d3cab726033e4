#include "common/ui/Widgets.h"

#include <QComboBox>
#include <QCompleter>
#include <QEvent>
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

namespace {

class FirstShow : public QObject {
public:
    FirstShow(QWidget* page, std::function<void()> layOut)
        : QObject(page), m_layOut(std::move(layOut)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && m_layOut) {
            const auto layOut = std::move(m_layOut);
            m_layOut = nullptr;
            watched->removeEventFilter(this);
            layOut();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_layOut;
};

} // namespace

void layOutWhenFirstShown(QWidget* page, std::function<void()> layOut) {
    if (page->isVisible()) {
        layOut();
        return;
    }
    page->installEventFilter(new FirstShow(page, std::move(layOut)));
}

} // namespace corvane
