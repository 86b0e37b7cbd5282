#include "core/settings.h"

#include "core/resourcestrings.h"

#include "core/prompts.h"

#include "core/folders.h"
#include "core/text/inifile.h"

#include <QDir>
#include <variant>

namespace velmora::core {

namespace {

// A colour field of the record: the six density classes and the raster colour.
struct ColorRef {
    int index; // 0..5 a density class, 6 the raster
};

using Field = std::variant<QString Settings::*, int Settings::*, bool Settings::*, ColorRef>;

struct Key {
    const char* section;
    const char* key;
    Field field;
};

// The keys in the order in which they are written.
const std::vector<Key>& Keys() {
    static const std::vector<Key> keys = {
        {"Database", "DefaultDatabase", &Settings::defaultDatabase},
        {"Common", "Analist", &Settings::analist},
        {"Common", "Photo Folder", &Settings::photoFolder},
        {"Common", "Backup Folder", &Settings::backupFolder},
        {"Common", "LastUsedMapDir", &Settings::lastUsedMapDir},
        {"Common", "Language", &Settings::language},
        {"Common", "BoxplotOrientation", &Settings::boxplotOrientation},
        {"Abundance", "Conversion", &Settings::conversion},
        {"Sort", "Order", &Settings::order},
        {"TaxaList", "Number", &Settings::number},
        {"Taxon", "AddInfo", &Settings::addInfo},
        {"Distribution Map", "Top", &Settings::distMapTop},
        {"Distribution Map", "Left", &Settings::distMapLeft},
        {"Period", "BeginJaar", &Settings::beginJaar},
        {"Period", "EindJaar", &Settings::eindJaar},
        {"Period", "SeparatieJaar", &Settings::separatieJaar},
        {"Forms", "MainTop", &Settings::mainTop},
        {"Forms", "MainLeft", &Settings::mainLeft},
        {"Forms", "MainWidth", &Settings::mainWidth},
        {"Forms", "MainHeight", &Settings::mainHeight},
        {"Forms", "DistTop", &Settings::distTop},
        {"Forms", "DistLeft", &Settings::distLeft},
        {"Forms", "DistWidth", &Settings::distWidth},
        {"Forms", "DistHeight", &Settings::distHeight},
        {"Forms", "DistState", &Settings::distState},
        {"Density colors", "Klasse0", ColorRef{0}},
        {"Density colors", "Klasse1", ColorRef{1}},
        {"Density colors", "Klasse2", ColorRef{2}},
        {"Density colors", "Klasse3", ColorRef{3}},
        {"Density colors", "Klasse4", ColorRef{4}},
        {"Density colors", "Klasse5", ColorRef{5}},
        {"Density colors", "Raster", ColorRef{6}},
    };
    return keys;
}

TColor& ColorOf(Settings& s, ColorRef ref) {
    return ref.index < 6 ? s.densityClass[static_cast<std::size_t>(ref.index)] : s.densityRaster;
}

IniFile ToIni(const Settings& constSettings) {
    Settings s = constSettings;
    IniFile ini;
    for (const Key& k : Keys()) {
        const QString section = QString::fromLatin1(k.section);
        const QString key = QString::fromLatin1(k.key);
        std::visit(
            [&](auto&& f) {
                using T = std::decay_t<decltype(f)>;
                if constexpr (std::is_same_v<T, QString Settings::*>)
                    ini.SetValue(section, key, s.*f);
                else if constexpr (std::is_same_v<T, int Settings::*>)
                    ini.SetInt(section, key, s.*f);
                else if constexpr (std::is_same_v<T, bool Settings::*>)
                    ini.SetBool(section, key, s.*f);
                else
                    ini.SetValue(section, key, ColorToString(ColorOf(s, f)));
            },
            k.field);
    }
    return ini;
}

} // namespace

QString DefaultPhotoFolder() {
    return QDir::homePath() + QStringLiteral("/Desmids");
}

Settings DefaultSettings() {
    Settings s;
    s.photoFolder = DefaultPhotoFolder();
    return s;
}

Settings ReadSettingsFile(const QString& path) {
    const IniFile ini = IniFile::Load(path);
    Settings s = DefaultSettings();
    for (const Key& k : Keys()) {
        const QString section = QString::fromLatin1(k.section);
        const QString key = QString::fromLatin1(k.key);
        if (!ini.HasKey(section, key))
            continue;
        std::visit(
            [&](auto&& f) {
                using T = std::decay_t<decltype(f)>;
                if constexpr (std::is_same_v<T, QString Settings::*>)
                    s.*f = ini.Value(section, key);
                else if constexpr (std::is_same_v<T, int Settings::*>)
                    s.*f = ini.IntValue(section, key, s.*f);
                else if constexpr (std::is_same_v<T, bool Settings::*>)
                    s.*f = ini.BoolValue(section, key, s.*f);
                else if (auto c = StringToColor(ini.Value(section, key)))
                    ColorOf(s, f) = *c;
            },
            k.field);
    }
    // Names that become parts of paths: a bad one is said and replaced by the default.
    const Settings defaults = DefaultSettings();
    const std::pair<const char*, QString Settings::*> names[] = {
        {"[Database] DefaultDatabase", &Settings::defaultDatabase},
        {"[Common] Language", &Settings::language}};
    for (const auto& [key, field] : names) {
        if (!(s.*field).isEmpty() && !IsPlainFileName(s.*field)) {
            UserPrompts().Message(
                ResStr(rsInvalidSetting).arg(QString::fromLatin1(key), path, s.*field),
                MessageKind::Warning);
            s.*field = defaults.*field;
        }
    }
    return s;
}

QString SettingsToText(const Settings& settings) {
    return ToIni(settings).ToText();
}

void WriteSettingsFile(const Settings& settings, const QString& path) {
    ToIni(settings).Save(path);
}

Settings& CurrentSettings() {
    static Settings settings = DefaultSettings();
    return settings;
}

void LoadSettings() {
    CurrentSettings() = ReadSettingsFile(DataDir() + QStringLiteral("VLX.ini"));
}

void SaveSettings() {
    WriteSettingsFile(CurrentSettings(), DataDir() + QStringLiteral("VLX.ini"));
}

} // namespace velmora::core
