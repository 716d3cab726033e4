#pragma once

#include "common/Prompts.h"

class QWidget;

namespace corvane {

// Real message boxes and file dialogs, parented to the main window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override;
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter) override;

private:
    QWidget* m_parent;
};

} // namespace corvane
