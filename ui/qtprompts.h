#pragma once
// The real dialogs behind the program's prompts interface.

#include "core/prompts.h"

class QWidget;

namespace velmora::ui {

class TProgress;

class QtPrompts final : public core::Prompts {
public:
    // parent owns the dialogs (the main window once it exists); progress may be null until
    // the progress dialog is created.
    explicit QtPrompts(QWidget* parent = nullptr);
    void SetParent(QWidget* parent) { m_parent = parent; }
    void SetProgressDialog(TProgress* progress) { m_progress = progress; }

    void Message(const QString& text, core::MessageKind kind) override;
    bool YesNo(const QString& text) override;
    bool YesNoDefaultNo(const QString& text) override;
    core::Answer YesNoCancel(const QString& text) override;
    bool OkAbort(const QString& text) override;
    std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    QString ChooseOpenFile(const QString& caption, const QString& startDir,
                           const QString& filter) override;
    QString ChooseSaveFile(const QString& caption, const QString& startPath,
                           const QString& filter) override;
    QString ChooseFolder(const QString& title, const QString& startDir,
                         bool allowNewFolder) override;
    std::optional<core::TColor> ChooseColor(core::TColor initial) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    void SetProgressRange(int minimum, int maximum) override;
    void StartProgress() override;
    bool StepProgress(int position) override;
    void FinishProgress() override;

private:
    QWidget* m_parent;
    TProgress* m_progress = nullptr;
};

} // namespace velmora::ui
