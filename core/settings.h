#pragma once
// The user's settings, kept in Data/VLX.ini. One record for the whole run: loaded before any
// window exists, changed by the windows, saved whole. Saving writes every key in a fixed
// section and key order; sections a user added by hand are not kept.

#include "core/colors.h"

#include <QString>
#include <array>

namespace velmora::core {

struct Settings {
    // [Database]
    QString defaultDatabase;
    // [Common]
    QString analist;
    QString photoFolder; // default: DefaultPhotoFolder()
    QString backupFolder;
    QString lastUsedMapDir;
    QString language = QStringLiteral("EN");
    int boxplotOrientation = 0; // 0 vertical, 1 horizontal
    // [Abundance]
    QString conversion = QStringLiteral("4"); // kept and written back unchanged
    // [Sort]
    int order = 0; // 0 "Locatie", 1 "Datum", 2 "DatumDesc"
    // [TaxaList]
    int number = 0; // 0 the Dutch list, 1 the European list
    // [Taxon]
    bool addInfo = false;
    // [Distribution Map]
    int distMapTop = 0;
    int distMapLeft = 0;
    // [Period]
    QString beginJaar = QStringLiteral("1900");
    QString eindJaar = QStringLiteral("2011");
    QString separatieJaar = QStringLiteral("1990");
    // [Forms]
    int mainTop = 237;
    int mainLeft = 457;
    int mainWidth = 738;
    int mainHeight = 566;
    int distTop = 212;
    int distLeft = 365;
    int distWidth = 1024;
    int distHeight = 566;
    int distState = 0;
    // [Density colors]: Klasse0..Klasse5, Raster
    std::array<TColor, 6> densityClass{0x000000FF, 0x0080FFFF, 0x0060CFDF,
                                       0x00409FBF, 0x002070A0, 0x00004080};
    TColor densityRaster = 0x00C0C0C0;

    bool operator==(const Settings&) const = default;
};

// The photo folder used when none is stored: a "Desmids" folder in the user's home folder
// (the place a desktop user on this platform owns, as the program's drive root is not).
QString DefaultPhotoFolder();

// A record with every default.
Settings DefaultSettings();

// Reads the file; every key that is missing or unreadable takes its default. A missing or
// unreadable file gives all defaults. Never throws.
Settings ReadSettingsFile(const QString& path);
// Writes every key in the fixed order, through a temporary file renamed over the old one.
// Throws Error when the file cannot be written; the old file then stays whole.
void WriteSettingsFile(const Settings& settings, const QString& path);
QString SettingsToText(const Settings& settings);

// The run-wide record and its file DataDir() + "VLX.ini".
Settings& CurrentSettings();
void LoadSettings();
void SaveSettings();

} // namespace velmora::core
