// libFuzzer target for the settings files: IniFile (the program's VLX.ini and every
// database's .ini) and the settings record read from such a file.
//
// Input: the bytes of a settings file. Besides "no crash, no hang", two promises are checked:
// - a file that was read and written once is read back into the same sections, keys and
//   values (so loading and saving a database's settings keeps what a user wrote by hand);
// - a settings record written by the program is read back unchanged.

#include "core/settings.h"
#include "core/text/inifile.h"
#include "core/text/textfile.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

namespace core = velmora::core;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::fuzz::InstallQuietPrompts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = velmora::fuzz::WriteScratchFile("input.ini", data, size);

    // IniFile: the file as read, and what one save and load of it gives.
    const core::IniFile ini = core::IniFile::Load(path);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const core::IniFile fromText = core::IniFile::FromText(core::DecodeText(bytes));
    const QString text = ini.ToText();
    VELMORA_FUZZ_CHECK(fromText.ToText() == text);
    const core::IniFile again = core::IniFile::FromText(text);
    VELMORA_FUZZ_CHECK(again.ToText() == text);
    for (const QString& section : ini.Sections()) {
        VELMORA_FUZZ_CHECK(again.HasSection(section));
        for (const QString& key : ini.Keys(section)) {
            VELMORA_FUZZ_CHECK(again.Value(section, key) == ini.Value(section, key));
            (void)ini.IntValue(section, key, -1);
            (void)ini.BoolValue(section, key, false);
        }
    }

    // The settings record: read, written in the program's form, read back.
    const core::Settings settings = core::ReadSettingsFile(path);
    const QString written = core::SettingsToText(settings);
    const QString copy = velmora::fuzz::WriteScratchFile("settings.ini", written.toUtf8());
    VELMORA_FUZZ_CHECK(core::ReadSettingsFile(copy) == settings);
    return 0;
}
