#pragma once

#include "common/Prompts.h"

#include <QQueue>
#include <QStringList>
#include <QVector>

namespace corvane::test {

// Prompts answered from a script (Yes or OK when it runs out); every message
// shown is recorded.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        QString title;
        PromptButtons buttons;
    };

    PromptAnswer message(const QString& text, const QString& title, PromptIcon,
                         PromptButtons buttons) override {
        shown.append({text, title, buttons});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    QString openFileName(const QString&) override { return nextFileName(); }
    QString saveFileName(const QString&) override { return nextFileName(); }

    QVector<Shown> shown;
    QQueue<PromptAnswer> answers;
    QQueue<QString> fileNames;

private:
    QString nextFileName() { return fileNames.isEmpty() ? QString() : fileNames.dequeue(); }
};

} // namespace corvane::test
