#pragma once
// The column layout of an import: which column of the data holds which field, which columns
// together tell one location from the next, where the data begins and how dates are written.
// A layout can be kept in a ".vlf" file (INI text):
//   [Box]    Nr1 .. Nr31  the column of every chooser, by its key (-1: no choice)
//   [Loc]    Nr1 .. Nr8   the unique-location columns
//   [Date]   Value1       dates in three columns (day, month, year)
//            Value2       the date as one text
//   [Format] Value        the format of a date text
// Missing keys read as 0, Value1 as true, Value2 as false and Value as "yyyy-mm-dd".

#include <QString>
#include <array>

namespace velmora::recording {

// The choosers of the import window by their key number in a layout file.
enum ImportKey : int {
    kImportLocation = 1,
    kImportDateText = 2,
    kImportComment = 3,
    kImportCoordX = 4,
    kImportCoordY = 5,
    kImportAcidity = 6,
    kImportSampleKind = 7,
    kImportAnalyst = 8,
    kImportOwner = 9,
    kImportLocationCode = 10,
    kImportPH = 11,
    kImportConductivity = 12,
    kImportWaterTemp = 13,
    kImportWaterType = 14,
    kImportHerbarium = 15,
    kImportAbundanceMeasure = 16,
    kImportDay = 17,
    kImportMonth = 18,
    kImportYear = 19,
    kImportDesmid = 20,
    kImportAbundance = 21,
    kImportDL = 22,
    kImportZygospore = 23,
    kImportPhoto = 24,
    kImportCertainty = 25,
    kImportSampleComment = 26,
    kImportInfo = 27,
    kImportInfo2 = 28,
    kImportLocation2 = 29,
    kImportComment2 = 30,
    kImportStartRow = 31,
};
inline constexpr int kImportKeyCount = 31;
inline constexpr int kUniqueLocationColumns = 8;

inline const QString kYearFirstFormat = QStringLiteral("yyyy-mm-dd");
inline const QString kDayFirstFormat = QStringLiteral("dd-mm-yyyy");

struct ColumnLayout {
    // box[k]: the column of chooser k (1..31); 0 not imported, -1 no choice. box[0] unused.
    std::array<int, kImportKeyCount + 1> box{};
    // unique[i]: the column of unique-location chooser i + 1; 0 (or less) not used.
    std::array<int, kUniqueLocationColumns> unique{};
    bool columnMode = true; // day, month and year in three columns
    bool textMode = false;  // the date as one text
    QString dateFormat = kYearFirstFormat;

    bool operator==(const ColumnLayout&) const = default;
};

// Whether the file holds at least one section of a layout file.
bool IsColumnLayoutFile(const QString& path);
// Reads a layout file; a missing or unreadable file gives the defaults.
ColumnLayout ReadColumnLayout(const QString& path);
// The layout as the text of a layout file.
QString ColumnLayoutText(const ColumnLayout& layout);
// Writes a layout file holding exactly the layout's keys (an existing file is replaced).
// Throws core::Error when it cannot be written.
void WriteColumnLayout(const ColumnLayout& layout, const QString& path);

} // namespace velmora::recording
