#pragma once
// The styles of the dots a map run draws.
//
// Each layer of the map (a tab of the dot-map window) draws in a style slot: colour, size,
// shape and line width. Sizes and line widths are kept as the texts of the window's lists,
// as the settings files store them, and read as numbers only when a dot is drawn; the shape
// is the position 0 to 8 of its name in the shape list (-1: a text that names no shape,
// which draws nothing).
//
// The styles are kept in ini-style files: a dot settings file (.dbd) the user saves and
// opens, and the sections of the database's settings file (DatabaseDotStyles keeps them
// with the database).

#include "core/colors.h"
#include "core/databasestore.h"
#include "core/grid/grid.h"
#include "core/text/inifile.h"

#include <QString>
#include <array>
#include <optional>

namespace velmora::maps {

// The symbol shapes, numbered as the drawing knows them: the shape list position plus 1.
enum class Shape {
    None = 0,
    FilledCircle = 1, // "Cirkel gevuld"
    OpenCircle,       // "Cirkel open"
    FilledSquare,     // "Vierkant gevuld"
    OpenSquare,       // "Vierkant open"
    TriangleUp,       // "Driehoek open top omhoog"
    TriangleDown,     // "Driehoek open top omlaag"
    Diamond,          // "Ruit open"
    Cross,            // "Kruis"
    Plus,             // "Plus"
};
inline constexpr int kShapeCount = 9;

// The shape at a list position; Shape::None for a position outside 0 to 8.
Shape ShapeAt(int listPosition);

inline constexpr core::TColor kDefaultDotColor = 0x000000FF; // clRed

struct DotStyle {
    core::TColor color = kDefaultDotColor;
    QString size = QStringLiteral("16");
    int shape = 0; // list position, -1 for none
    QString lineWidth = QStringLiteral("1");
    bool operator==(const DotStyle&) const = default;
};

// The slots, in the order of the settings files.
enum class StyleSlot {
    Primary,      // "Primair"
    Secondary1,   // "Sec1"
    Secondary2,   // "Sec2"
    Secondary3,   // "Sec3"
    Secondary4,   // "Sec4"
    Abundance,    // "Abund"
    Before,       // "Speciaal Voor": locations whose year sorts before the separation year
    From,         // "Speciaal Na": the other locations of the special tab
    AllLocations, // "Alle locaties"
};
inline constexpr int kStyleSlotCount = 9;

// The settings-file section of a slot.
QString SlotSection(StyleSlot slot);

struct DotStyles {
    std::array<DotStyle, kStyleSlotCount> entries;
    QString fontName = QStringLiteral("Verdana"); // the legend font
    QString fontSize = QStringLiteral("9");

    DotStyle& operator[](StyleSlot slot) { return entries[static_cast<std::size_t>(slot)]; }
    const DotStyle& operator[](StyleSlot slot) const {
        return entries[static_cast<std::size_t>(slot)];
    }
    bool operator==(const DotStyles&) const = default;
};

// Writes the sections "Primair" ... "Alle locaties" (keys "Kleur", "Size", "Shape",
// "Lijnbreedte") and "Font" ("Style", "Size"). Keys already in the file are replaced in
// place; other sections and keys are kept.
void WriteDotSettings(const DotStyles& styles, core::IniFile& ini);
// Reads the same keys; a missing key takes the default (red, "16", position 0, "1"; font
// "Verdana" "9"), as does a colour that cannot be read. A shape position outside 0 to 8
// becomes -1 (no shape).
DotStyles ReadDotSettings(const core::IniFile& ini);

// A dot settings file: the map name in section "Kaart" key "Kaart", then the styles.
struct DotSettingsFile {
    QString mapName; // empty when the file has none
    DotStyles styles;
};
// Writes the file (through a temporary file renamed over the old one). Throws core::Error.
void SaveDotSettingsFile(const QString& path, const DotSettingsFile& file);
// Reads the file; a missing file gives the defaults and no map name. Throws core::Error for a
// file with none of the sections (no dot settings file).
DotSettingsFile OpenDotSettingsFile(const QString& path);
// The save dialog's default extension: ".dbd", the extension the open dialog lists, is
// appended to a name without one.
QString WithDefaultDotExtension(const QString& path);

// The legend font size of the styles for the legend's size slider (4 to 100): the font
// size text as a whole number, clamped to that range; 9 when it is no number.
int LegendFontSize(const DotStyles& styles);

// The largest dot size and line width the drawing accepts: far beyond any list entry, and
// small enough that a symbol stays a few thousand pixels.
inline constexpr int kMaxDotSize = 2000;
inline constexpr int kMaxLineWidth = 100;

// The size and line-width texts as numbers. Throws core::Error with a message for a text
// that is not a whole number from 0 to the largest.
int DotSize(const QString& text);
int LineWidth(const QString& text);

// ---- Sizes by abundance

// The abundance table of the tab "Abund.": one row per distinct ABUND text met in the last
// run on that tab, with a size the user types. Row 0 holds the headers "Abund." and
// "Stipmaat"; the window shows and edits the grid itself.
class AbundanceSizes {
public:
    AbundanceSizes();
    // Back to the header row alone.
    void Clear();
    // Adds a row for an abundance text not yet in the table (size empty).
    void Note(const QString& abundance);
    // Orders the rows by abundance text (the program's text order).
    void Sort();
    // The size of the row whose abundance text equals the text exactly, when that row's size
    // is not blank. Throws core::Error when the size is not a valid dot size.
    std::optional<int> SizeFor(const QString& abundance) const;

    core::Grid& Grid() { return m_grid; }
    const core::Grid& Grid() const { return m_grid; }

private:
    int RowOf(const QString& abundance) const;
    core::Grid m_grid;
};

// ---- The style of one record

// The tabs of the style page.
enum class StyleTab {
    Primary,
    Secondary1,
    Secondary2,
    Secondary3,
    Secondary4,
    Abundance,
    Special, // "Speciaal ": the before and the from slot
    AllLocations,
};

enum class RunKind {
    Taxon,        // the locations of a taxon
    AllLocations, // every location
};

struct StyleRequest {
    StyleTab tab = StyleTab::Primary;
    RunKind run = RunKind::Taxon;
    bool redraw = false;    // a run of "Teken Opnieuw"
    QString year;           // the location's JAAR
    QString separationYear; // the edit between "Voor" and "Vanaf"
    QString abundance;      // the sample's ABUND
    const AbundanceSizes* abundanceSizes = nullptr;
};

struct ResolvedStyle {
    core::TColor color = kDefaultDotColor;
    int size = 16;
    Shape shape = Shape::FilledCircle;
    int lineWidth = 1;
    bool operator==(const ResolvedStyle&) const = default;
};

// The style a record is drawn in. The slot is the tab's; on the special tab the location's
// year text is compared with the separation year as text, character by character, so
// "990" sorts after "1990": before it the before slot, otherwise the from slot. In a
// taxon run of "Teken Opnieuw" on the tab "Abund." a size in the abundance table for the
// sample's abundance replaces the slot's size. In an all-locations run the colour and line
// width are those of the slot "Alle locaties", shape and size those of the tab's slot.
// Throws core::Error (with a message) for a size or line width that is not a valid number.
ResolvedStyle ResolveStyle(const DotStyles& styles, const StyleRequest& request);

// ---- The styles of the current database

// Keeps the dot styles with the current database: they are read whenever the store reads
// the database's settings file and written into it whenever the store writes it.
class DatabaseDotStyles final : public core::DatabaseListener {
public:
    // Listens to the store from here on.
    explicit DatabaseDotStyles(core::DatabaseStore& store);
    ~DatabaseDotStyles() override;
    DatabaseDotStyles(const DatabaseDotStyles&) = delete;
    DatabaseDotStyles& operator=(const DatabaseDotStyles&) = delete;

    DotStyles styles;

    void DatabaseSettingsRead(const core::IniFile& ini) override { styles = ReadDotSettings(ini); }
    void DatabaseSettingsWriting(core::IniFile& ini) override { WriteDotSettings(styles, ini); }

private:
    core::DatabaseStore& m_store;
};

} // namespace velmora::maps
