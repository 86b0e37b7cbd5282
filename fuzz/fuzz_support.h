#pragma once
// What the fuzz targets share: a scratch folder of their own for readers that take a path,
// prompts that answer every question with No and show nothing, and a check that stops the
// run with a message when a reader breaks one of its promises.

#include "core/prompts.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace velmora::fuzz {

// Messages are dropped: a file that is refused with a message is an expected outcome and
// printing every one would drown the fuzzer's own output.
class QuietPrompts final : public core::Prompts {
public:
    void Message(const QString&, core::MessageKind) override {}
    bool YesNo(const QString&) override { return false; }
    core::Answer YesNoCancel(const QString&) override { return core::Answer::Cancel; }
    bool OkAbort(const QString&) override { return false; }
    std::optional<QString> InputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&, bool) override { return {}; }
    std::optional<core::TColor> ChooseColor(core::TColor) override { return std::nullopt; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    void SetProgressRange(int, int) override {}
    void StartProgress() override {}
    bool StepProgress(int) override { return false; }
    void FinishProgress() override {}
};

inline void InstallQuietPrompts() {
    static QuietPrompts prompts;
    core::SetUserPrompts(&prompts);
}

// The scratch folder of this process: below $VELMORA_FUZZ_TMP when set, else /dev/shm (a
// file there never reaches a disk), else the system's temporary folder. Made at the first
// call and removed when the process exits normally.
inline const std::string& ScratchDir() {
    // Never destroyed: the exit handler below needs it after static destructors have run.
    static const std::string* const dir = [] {
        namespace fs = std::filesystem;
        fs::path base;
        if (const char* env = std::getenv("VELMORA_FUZZ_TMP"); env && *env)
            base = env;
        else if (fs::is_directory("/dev/shm"))
            base = "/dev/shm";
        else
            base = fs::temp_directory_path();
        const fs::path path = base / ("velmora-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchDir(), ignored);
        });
        return new std::string(path.string());
    }();
    return *dir;
}

// Writes the bytes to the named file in the scratch folder (replacing it) and returns its
// path for the Qt readers.
inline QString WriteScratchFile(const std::string& name, const void* data, std::size_t size) {
    const std::string path = ScratchDir() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return QString::fromStdString(path);
}

inline QString WriteScratchFile(const std::string& name, const QByteArray& bytes) {
    return WriteScratchFile(name, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Set VELMORA_FUZZ_VERBOSE=1 to hear what the reader made of each input (when checking
// that the seeds reach the reader, or when looking at a reproducer).
inline bool Verbose() {
    static const bool verbose = std::getenv("VELMORA_FUZZ_VERBOSE") != nullptr;
    return verbose;
}

// A broken promise of a reader: reported like a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "fuzz: broken promise at %s:%d: %s\n", file, line, what);
    std::abort();
}

#define VELMORA_FUZZ_CHECK(condition)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::velmora::fuzz::Broken(#condition, __FILE__, __LINE__);                               \
    } while (false)

} // namespace velmora::fuzz
