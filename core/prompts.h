#pragma once
// Every question or message to the user from below the windows goes through this one
// interface. The windows install a Qt implementation with real dialogs; tests install
// ScriptedPrompts, which records what was shown and answers from a script.

#include "core/colors.h"

#include <QFont>
#include <QString>
#include <optional>

namespace velmora::core {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class Answer { Yes, No, Cancel, Ok, Abort };

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual void Message(const QString& text, MessageKind kind = MessageKind::Information) = 0;
    // Yes/No question: true for Yes.
    virtual bool YesNo(const QString& text) = 0;
    // The same question with No as the answer Enter gives: questions that destroy data.
    virtual bool YesNoDefaultNo(const QString& text) { return YesNo(text); }
    // Yes/No/Cancel question: Answer::Yes, Answer::No or Answer::Cancel.
    virtual Answer YesNoCancel(const QString& text) = 0;
    // OK/Abort question: true for OK.
    virtual bool OkAbort(const QString& text) = 0;
    // Input box; nothing when the user cancels.
    virtual std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // File choosers: the chosen path, empty when cancelled. filter as "Text (*.txt)".
    virtual QString ChooseOpenFile(const QString& caption, const QString& startDir,
                                   const QString& filter) = 0;
    virtual QString ChooseSaveFile(const QString& caption, const QString& startPath,
                                   const QString& filter) = 0;
    // Folder chooser: the chosen folder, empty when cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& startDir,
                                 bool allowNewFolder) = 0;
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;

    // The progress dialog. The caller sets the range, starts, steps and finishes.
    // StartProgress shows the dialog with the text "Data wordt verwerkt....." and clears the
    // cancel request. StepProgress sets the bar and returns true when "Cancel" was pressed
    // (the dialog is then hidden). FinishProgress hides the dialog after showing "Klaar".
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    virtual void StartProgress() = 0;
    virtual bool StepProgress(int position) = 0;
    virtual void FinishProgress() = 0;
};

// The run-wide implementation. Before one is installed, a silent one answers No/Cancel to
// every question and reports messages on standard error.
Prompts& UserPrompts();
// Installs an implementation (not owned); nullptr restores the silent one.
void SetUserPrompts(Prompts* prompts);

} // namespace velmora::core
