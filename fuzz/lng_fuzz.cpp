// libFuzzer target for the interface language files (.lng): TFreeLocalizer reading a file,
// translating a window made of its own sections and serving the message table.
//
// Input: the bytes of a language file. Besides "no crash, no hang", the load promises are
// checked: every section holds as many values as property paths, a load that stopped early
// names the line, and a message served through the lookup has its line breaks as "\n".

#include "core/resourcestrings.h"
#include "fuzz/fuzz_support.h"
#include "support/tfreelocalizer.h"

#include <cstdint>

namespace support = velmora::support;

namespace {

// A window whose class chain is a few of the file's own section names, with one frame;
// every property path exists except those that start with "X".
class FakeForm final : public support::FormAccess {
public:
    FakeForm(QStringList chain, int frames) : m_chain(std::move(chain)), m_frames(frames) {}
    QStringList ClassChain() const override { return m_chain; }
    std::vector<std::unique_ptr<support::FormAccess>> Frames() const override {
        std::vector<std::unique_ptr<support::FormAccess>> frames;
        if (m_frames > 0 && !m_chain.isEmpty())
            frames.push_back(std::make_unique<FakeForm>(QStringList{m_chain.back()}, m_frames - 1));
        return frames;
    }
    bool Apply(const QString& path, const QString& value) override {
        m_applied += value.size();
        return !path.startsWith(QLatin1Char('X'));
    }

private:
    QStringList m_chain;
    int m_frames;
    qsizetype m_applied = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = velmora::fuzz::WriteScratchFile("input.lng", data, size);

    support::TFreeLocalizer localizer;
    localizer.LoadLanguageFile(path);
    const bool complete = localizer.LanguageFile() == path;
    if (velmora::fuzz::Verbose()) {
        std::fprintf(stderr, "%s: %zu sections, %zu messages, %zu problems\n",
                     complete ? "complete" : "stopped", localizer.Sections().size(),
                     localizer.ResStringer().Entries().size(), localizer.Errors().size());
        for (const support::LocalizerError& error : localizer.Errors())
            std::fprintf(stderr, "  line %d kind %d: %s\n", error.line, int(error.kind),
                         error.detail.left(60).toUtf8().constData());
    }

    for (const support::FormSection& section : localizer.Sections())
        VELMORA_FUZZ_CHECK(section.paths.size() == section.values.size());
    for (const support::LocalizerError& error : localizer.Errors()) {
        VELMORA_FUZZ_CHECK(error.line >= 0);
        if (error.kind == support::LocalizerErrorKind::DeletedWindow ||
            error.kind == support::LocalizerErrorKind::BadValue)
            VELMORA_FUZZ_CHECK(!complete && error.line > 1);
    }

    QStringList chain;
    for (const support::FormSection& section : localizer.Sections()) {
        if (chain.size() == 3)
            break;
        chain.prepend(section.name);
    }
    FakeForm form(chain, 2);
    localizer.TranslateForm(form);

    localizer.InstallResourceTranslator();
    int asked = 0;
    for (const support::TResStringer::Entry& entry : localizer.ResStringer().Entries()) {
        if (++asked > 200)
            break;
        // Any identifier of the file, whichever module owns it: the translator answers first.
        const QString text = velmora::core::LookUpText(velmora::core::Messages(), entry.id);
        if (localizer.ResStringer().Lookup(entry.id))
            VELMORA_FUZZ_CHECK(!text.contains(QLatin1Char('\r')));
    }
    (void)velmora::core::ResStr(velmora::core::rsSheetDamaged);
    return 0;
}
