#include "core/prompts.h"

#include <cstdio>

namespace velmora::core {

namespace {
class SilentPrompts final : public Prompts {
public:
    void Message(const QString& text, MessageKind) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    bool YesNo(const QString&) override { return false; }
    Answer YesNoCancel(const QString&) override { return Answer::Cancel; }
    bool OkAbort(const QString&) override { return false; }
    std::optional<QString> InputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&, bool) override { return {}; }
    std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    void SetProgressRange(int, int) override {}
    void StartProgress() override {}
    bool StepProgress(int) override { return false; }
    void FinishProgress() override {}
};

Prompts*& Installed() {
    static Prompts* prompts = nullptr;
    return prompts;
}
} // namespace

Prompts& UserPrompts() {
    static SilentPrompts silent;
    return Installed() ? *Installed() : silent;
}

void SetUserPrompts(Prompts* prompts) {
    Installed() = prompts;
}

} // namespace velmora::core
