#pragma once

#include <QString>

namespace corvane {

enum class PromptButtons { Ok, OkCancel, YesNoCancel };
enum class PromptIcon { None, Information, Warning, Error };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Everything that asks the user something: message boxes and file dialogs.
// The window uses real dialogs; tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box; returns the button pressed.
    virtual PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                                 PromptButtons buttons) = 0;

    // File dialogs. The filter has the form "description|pattern".
    // An empty result means the dialog was cancelled.
    virtual QString openFileName(const QString& filter) = 0;
    virtual QString saveFileName(const QString& filter) = 0;
};

// Title used for message boxes that carry the application's own title.
QString applicationTitle();

// A filter "description|pattern" as Qt's file dialogs take it: "Mount Data
// file (*.mdf)|*.mdf" gives "Mount Data file (*.mdf)". The pattern is what the
// dialog matches, so a description that does not already name it in
// parentheses gets it added: "PEC data|*.csv" gives "PEC data (*.csv)".
QString qtFileFilter(const QString& filter);

} // namespace corvane
