#pragma once
// The export of the current database as one flat table: one row per sample, carrying the
// fields of its location, the sample's taxon fields, its info split in two, and, on request,
// the taxon information of the annotated taxa list. Written as tab-separated text or as a
// spreadsheet. The rows are sorted on year, month, day, location ID, location name, X
// coordinate and taxon name.
//
// The samples are gathered by location in one pass over the samples table, so the export
// takes time in proportion to the size of the database. Nothing is written until the whole
// table is built: a cancel or a failure leaves a file of the chosen name as it was.

#include "core/grid/grid.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::ecology {
class TaxaList;
}

namespace velmora::recording {

// The flat table of the store's open database: row 0 the headers, then one row per sample
// of a location, sorted. taxonInfo: the list whose information fills the seven extra columns
// (nullptr: no extra columns). progress(percent) is told after each location; true cancels,
// and nothing is returned.
std::optional<core::Grid> BuildFlatTable(core::DatabaseStore& store,
                                         const ecology::TaxaList* taxonInfo,
                                         const std::function<bool(int)>& progress = {});

enum class ExportFormat { Text, Spreadsheet };

// Builds the flat table (with the progress dialog) and writes it to the path: text as
// tab-separated lines; a spreadsheet as ".xlsx" through the spreadsheet library, or as the
// minimal ".xls" file when the library is not available. A spreadsheet file in use by another
// program is refused with a message. Messages through core::UserPrompts(). Returns true when
// the file was written.
bool ExportDatabase(core::DatabaseStore& store, const ecology::TaxaList* taxonInfo,
                    const QString& path, ExportFormat format);

} // namespace velmora::recording
