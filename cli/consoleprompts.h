#pragma once
// The prompts of a command-line run: messages go to the error stream, and the questions the
// windows would ask are answered by the command line itself (naming an output file, or giving
// --replace, is the user's yes). Nothing waits for input, so a script never hangs.

#include "core/prompts.h"

#include <QTextStream>

namespace velmora::cli {

class ConsolePrompts : public core::Prompts {
public:
    explicit ConsolePrompts(QTextStream& err) : m_err(err) {}

    void Message(const QString& text, core::MessageKind kind) override;
    bool YesNo(const QString& text) override;
    core::Answer YesNoCancel(const QString& text) override;
    bool OkAbort(const QString& text) override;
    std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&, bool) override { return {}; }
    std::optional<core::TColor> ChooseColor(core::TColor) override { return std::nullopt; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    void SetProgressRange(int, int) override {}
    void StartProgress() override {}
    bool StepProgress(int) override { return false; }
    void FinishProgress() override {}

    // How many error messages were shown: a command that met one ends with exit code 1.
    int Errors() const { return m_errors; }

private:
    void Write(const QString& text);

    QTextStream& m_err;
    int m_errors = 0;
};

} // namespace velmora::cli
