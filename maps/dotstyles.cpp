#include "maps/dotstyles.h"

#include "core/error.h"
#include "core/grid/gridsort.h"
#include "core/text/textutils.h"
#include "maps/messages.h"

#include <QFileInfo>
#include <algorithm>

namespace velmora::maps {

namespace {
const QString kColorKey = QStringLiteral("Kleur");
const QString kSizeKey = QStringLiteral("Size");
const QString kShapeKey = QStringLiteral("Shape");
const QString kLineWidthKey = QStringLiteral("Lijnbreedte");
const QString kFontSection = QStringLiteral("Font");
const QString kFontNameKey = QStringLiteral("Style");
const QString kMapSection = QStringLiteral("Kaart");
const QString kMapKey = QStringLiteral("Kaart");

int WholeNumber(const QString& text, int largest, Message message) {
    const QString t = text.trimmed();
    bool ok = core::IsInteger(t);
    int value = ok ? t.toInt(&ok) : 0;
    if (!ok || value < 0 || value > largest)
        throw core::Error(ResStr(message).arg(text).arg(largest));
    return value;
}

StyleSlot SlotOf(StyleTab tab, const QString& year, const QString& separationYear) {
    switch (tab) {
    case StyleTab::Primary:
        return StyleSlot::Primary;
    case StyleTab::Secondary1:
        return StyleSlot::Secondary1;
    case StyleTab::Secondary2:
        return StyleSlot::Secondary2;
    case StyleTab::Secondary3:
        return StyleSlot::Secondary3;
    case StyleTab::Secondary4:
        return StyleSlot::Secondary4;
    case StyleTab::Abundance:
        return StyleSlot::Abundance;
    case StyleTab::Special:
        // As texts, not as numbers: a year typed with three digits sorts by its first digit.
        return QString::compare(year, separationYear, Qt::CaseSensitive) < 0 ? StyleSlot::Before
                                                                             : StyleSlot::From;
    case StyleTab::AllLocations:
        return StyleSlot::AllLocations;
    }
    return StyleSlot::Primary;
}
} // namespace

Shape ShapeAt(int listPosition) {
    if (listPosition < 0 || listPosition >= kShapeCount)
        return Shape::None;
    return static_cast<Shape>(listPosition + 1);
}

QString SlotSection(StyleSlot slot) {
    static const std::array<QString, kStyleSlotCount> sections = {
        QStringLiteral("Primair"),       QStringLiteral("Sec1"),
        QStringLiteral("Sec2"),          QStringLiteral("Sec3"),
        QStringLiteral("Sec4"),          QStringLiteral("Abund"),
        QStringLiteral("Speciaal Voor"), QStringLiteral("Speciaal Na"),
        QStringLiteral("Alle locaties")};
    return sections[static_cast<std::size_t>(slot)];
}

void WriteDotSettings(const DotStyles& styles, core::IniFile& ini) {
    for (int i = 0; i < kStyleSlotCount; ++i) {
        const QString section = SlotSection(static_cast<StyleSlot>(i));
        const DotStyle& style = styles.entries[static_cast<std::size_t>(i)];
        ini.SetValue(section, kColorKey, core::ColorToString(style.color));
        ini.SetValue(section, kSizeKey, style.size);
        ini.SetInt(section, kShapeKey, ShapeAt(style.shape) == Shape::None ? -1 : style.shape);
        ini.SetValue(section, kLineWidthKey, style.lineWidth);
    }
    ini.SetValue(kFontSection, kFontNameKey, styles.fontName);
    ini.SetValue(kFontSection, kSizeKey, styles.fontSize);
}

DotStyles ReadDotSettings(const core::IniFile& ini) {
    DotStyles styles;
    const DotStyle defaults;
    for (int i = 0; i < kStyleSlotCount; ++i) {
        const QString section = SlotSection(static_cast<StyleSlot>(i));
        DotStyle& style = styles.entries[static_cast<std::size_t>(i)];
        style.color = core::StringToColor(ini.Value(section, kColorKey)).value_or(defaults.color);
        style.size = ini.Value(section, kSizeKey, defaults.size);
        const int shape = ini.IntValue(section, kShapeKey, defaults.shape);
        style.shape = ShapeAt(shape) == Shape::None ? -1 : shape;
        style.lineWidth = ini.Value(section, kLineWidthKey, defaults.lineWidth);
    }
    const DotStyles fallback;
    styles.fontName = ini.Value(kFontSection, kFontNameKey, fallback.fontName);
    styles.fontSize = ini.Value(kFontSection, kSizeKey, fallback.fontSize);
    return styles;
}

void SaveDotSettingsFile(const QString& path, const DotSettingsFile& file) {
    core::IniFile ini;
    ini.SetValue(kMapSection, kMapKey, file.mapName);
    WriteDotSettings(file.styles, ini);
    ini.Save(path);
}

DotSettingsFile OpenDotSettingsFile(const QString& path) {
    const core::IniFile ini = core::IniFile::Load(path);
    // A file with none of the sections is no dot settings file (a picture chosen by mistake):
    // refused, so that it does not put the defaults in place of every style.
    bool known = ini.HasSection(kMapSection) || ini.HasSection(QStringLiteral("Font"));
    for (int slot = 0; slot < kStyleSlotCount && !known; ++slot)
        known = ini.HasSection(SlotSection(StyleSlot(slot)));
    if (!known && QFileInfo::exists(path))
        throw core::Error(ResStr(rsNotDotSettings).arg(QFileInfo(path).fileName()));
    DotSettingsFile file;
    file.mapName = ini.Value(kMapSection, kMapKey);
    file.styles = ReadDotSettings(ini);
    return file;
}

QString WithDefaultDotExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".dbd") : path;
}

int LegendFontSize(const DotStyles& styles) {
    bool ok = false;
    const int size = styles.fontSize.trimmed().toInt(&ok);
    return ok ? std::clamp(size, 4, 100) : 9;
}

int DotSize(const QString& text) {
    return WholeNumber(text, kMaxDotSize, rsBadDotSize);
}

int LineWidth(const QString& text) {
    return WholeNumber(text, kMaxLineWidth, rsBadLineWidth);
}

// ---- AbundanceSizes

AbundanceSizes::AbundanceSizes() {
    Clear();
}

void AbundanceSizes::Clear() {
    m_grid.Reset(2, 1);
    m_grid.SetCell(0, 0, ResStr(rsAbundanceHeader));
    m_grid.SetCell(1, 0, ResStr(rsDotSizeHeader));
}

int AbundanceSizes::RowOf(const QString& abundance) const {
    for (int row = 1; row < m_grid.RowCount(); ++row) {
        if (m_grid.Cell(0, row) == abundance)
            return row;
    }
    return -1;
}

void AbundanceSizes::Note(const QString& abundance) {
    if (RowOf(abundance) >= 0)
        return;
    const int row = m_grid.RowCount();
    m_grid.SetRowCount(row + 1);
    m_grid.SetCell(0, row, abundance);
}

void AbundanceSizes::Sort() {
    core::SortGridByText(m_grid, 0, false);
}

std::optional<int> AbundanceSizes::SizeFor(const QString& abundance) const {
    const int row = RowOf(abundance);
    if (row < 0 || m_grid.ColCount() < 2 || m_grid.Cell(1, row).trimmed().isEmpty())
        return std::nullopt;
    return DotSize(m_grid.Cell(1, row));
}

// ---- ResolveStyle

ResolvedStyle ResolveStyle(const DotStyles& styles, const StyleRequest& request) {
    const DotStyle& slot = styles[SlotOf(request.tab, request.year, request.separationYear)];
    const DotStyle& colours =
        request.run == RunKind::AllLocations ? styles[StyleSlot::AllLocations] : slot;
    ResolvedStyle resolved;
    resolved.color = colours.color;
    resolved.lineWidth = LineWidth(colours.lineWidth);
    resolved.shape = ShapeAt(slot.shape);
    std::optional<int> size;
    if (request.run == RunKind::Taxon && request.redraw && request.tab == StyleTab::Abundance &&
        request.abundanceSizes)
        size = request.abundanceSizes->SizeFor(request.abundance);
    resolved.size = size ? *size : DotSize(slot.size);
    return resolved;
}

// ---- DatabaseDotStyles

DatabaseDotStyles::DatabaseDotStyles(core::DatabaseStore& store) : m_store(store) {
    m_store.AddListener(this);
}

DatabaseDotStyles::~DatabaseDotStyles() {
    m_store.RemoveListener(this);
}

} // namespace velmora::maps
