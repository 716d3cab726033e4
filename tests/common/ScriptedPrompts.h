#pragma once

#include "common/Prompts.h"

#include <QQueue>
#include <QStringList>
#include <QVector>
#include <functional>

namespace corvane::test {

// Prompts answered from a script; every message shown is recorded.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        QString title;
        PromptIcon icon;
        PromptButtons buttons;
    };

    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override {
        shown.append({text, title, icon, buttons});
        if (onMessage)
            onMessage();
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    QString openFileName(const QString& filter) override {
        filters.append(filter);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const QString& filter) override {
        filters.append(filter);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    QVector<Shown> shown;
    QQueue<PromptAnswer> answers;
    QQueue<QString> fileNames;
    QStringList filters;
    std::function<void()> onMessage;
};

} // namespace corvane::test
