#pragma once
// The record filter of the dot-map window: a small postfix program the user writes in a grid
// of three columns (field, operator, value) that decides which locations a map run takes.
//
// Comparison rows push a truth value on a stack, the rows "not", "or" and "and" pop their
// operands and push the result; the value on top at the end decides. A filter is compiled
// once before a run (field names looked up, values read as numbers where an operator needs
// one) and then evaluated for every candidate location without further lookups.
//
// The grid is a core::Grid of three columns whose row 0 is the header ("Veld", "Op.",
// "Value") and whose rows 1 and up are the rule rows. Filters are kept in tab-separated text
// files (.tsv) in the folder "Filters" of the program folder.

#include "core/grid/grid.h"
#include "core/text/fieldnametable.h"
#include "maps/maprun.h"
#include "maps/runsource.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace velmora::maps {

// Rule rows; the grid has one row more (the header).
inline constexpr int kMaxFilterRows = 20;
inline constexpr int kFilterGridColumns = 3;

// The operators by their codes. Begins ("=") and Differs ("<>") are not each other's
// negation: both hold for the field text "jansen" and the value "jan".
enum class FilterOperator {
    None = 0,
    Begins = 1, // "=": the field text begins with the value
    Differs,    // "<>": the whole texts differ
    AtMost,     // "<=", numbers
    Less,       // "<"
    AtLeast,    // ">="
    More,       // ">"
    Like,       // "like": the value occurs in the field text
    NotLike,    // "notlike"
    Not = 10,   // pops one value, pushes its negation
    Or,         // pops two
    And,        // pops two
};

// The operator of an "Op." cell after trimming ("=", "<>", "<=", "<", ">=", ">" exactly, the
// words in any letter case); None when the text names none.
FilterOperator ParseFilterOperator(QStringView text);
bool IsTextOperator(FilterOperator op);   // codes 1, 2, 7, 8
bool IsNumberOperator(FilterOperator op); // codes 3 to 6
bool IsLogicOperator(FilterOperator op);  // codes 10 to 12

// Reads a number as filters do: leading blanks, an optional sign, digits with at most one
// decimal point, an optional exponent ("e", a sign, digits), and nothing else. When the text
// does not read, the character where reading stopped is replaced by "." and the text is read
// once more (so "6,5" reads as 6.5); nothing when that fails too. A number beyond the range
// of a double reads as an infinity (or 0 when it is too small).
std::optional<double> ReadFilterNumber(QStringView text);

// The Locations fields by their position in the table (core::LocationFields(): ID, LOCATIE,
// DAG, ... AMAAT); -1 for a name that is no Locations field. Trimmed, any letter case.
int LocationFieldIndex(QStringView fieldName);
// The text of a field of a location as the filter reads it (ID as its decimal number); empty
// for an index outside the fields.
QString LocationFieldText(const LocationRow& location, int field);
// The Locations field a user field name stands for: the first row of the field-name table
// whose first cell equals the name (both trimmed, any letter case) gives the field in its
// second cell. -1 when no row names it, or its field is no Locations field.
int ResolveFilterField(QStringView userName, const std::vector<core::FieldNameRow>& fieldNames);

struct CompiledFilterRow {
    int field = -1; // LocationFieldIndex; -1 when the field cell was empty
    FilterOperator op = FilterOperator::None;
    QString value; // lower case, trimmed; a number operator's value as read after repair
    double number = 0;
    bool operator==(const CompiledFilterRow&) const = default;
};

class RecordFilter {
public:
    // Checks the rule rows (rows 1 and up of the grid) against the field-name table and builds
    // the compiled filter. Each problem is shown through core::UserPrompts(): an unknown field
    // or operator ends the check at once; a value a number operator cannot use is reported
    // and the rows after it are still checked for their fields and operators. More than
    // kMaxFilterRows rule rows are refused with "Teveel filterregels". True when no message
    // was shown; after false the filter holds no rows.
    bool Compile(const core::Grid& grid, const std::vector<core::FieldNameRow>& fieldNames);

    // Runs the compiled rows for one location. A pop from the empty stack shows its message
    // (with the rule row; after the last row, the number of rows plus one) and makes the
    // outcome Error, as does a comparison row without a field; evaluation goes on to the end,
    // so one call shows at most the messages of this location. Otherwise Pass when the value
    // on top is true, Fail when it is false. A field text that is no number after the one
    // repair fails its number comparison; an empty (or all-blank) field text reads as 0.
    FilterOutcome Evaluate(const LocationRow& location) const;

    // Evaluate as a run filter (RunOptions::filter). The filter must outlive the run.
    LocationFilter AsRunFilter() const {
        return [this](const LocationRow& location) { return Evaluate(location); };
    }

    const std::vector<CompiledFilterRow>& Rows() const { return m_rows; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }

private:
    std::vector<CompiledFilterRow> m_rows;
};

// ---- The grid

// The header row and one empty rule row: the grid after "Wis Filter".
core::Grid NewFilterGrid();
// "+ Filter": appends an empty rule row; with kMaxFilterRows rule rows already, shows
// "Teveel filterregels" and returns false.
bool AddFilterRow(core::Grid& grid);
// "- Filter": with one rule row its cells are emptied, otherwise the rule row is taken out
// (the rows below move up). A row outside the rule rows changes nothing.
void DeleteFilterRow(core::Grid& grid, int row);

// ---- Filter files

// Writes the grid: the file's own name, the number of grid rows (header included) and one
// line per grid row, each of its three cells followed by a tab; CR LF line ends, UTF-8,
// through a temporary file renamed into place. A tab, line break or other control character
// inside a cell is written as a blank, so that the file reads back as the same rows. Throws
// core::Error when the file cannot be written or the grid holds more than kMaxFilterRows rule
// rows.
void SaveFilterFile(const QString& path, const core::Grid& grid);

// Reads a filter file into a grid of three columns with the row count of line 2 (2 to 21),
// header row included; each row is split at its tabs (the trailing tab adds no cell). Throws
// core::Error, naming the line, for a row count that is missing or out of range, missing
// lines, rows beyond the count, a row of more than three cells, a field name the field-name
// table does not hold, or a control character; also for an unreadable or oversized file.
core::Grid OpenFilterFile(const QString& path, const std::vector<core::FieldNameRow>& fieldNames);

} // namespace velmora::maps
