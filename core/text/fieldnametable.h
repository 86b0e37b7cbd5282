#pragma once
// The field-name table Lib/FieldNames.csv: the names a user writes in a map filter, each with
// the Locations field it stands for. One row of three cells per line.

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace velmora::core {

using FieldNameRow = std::array<QString, 3>;

// Splits a line at every comma and at every unquoted run of blanks. A cell holding a comma
// or a blank is enclosed in double quotes, a doubled quote inside standing for one quote;
// blanks around a comma are ignored.
QStringList SplitFieldNameLine(const QString& line);

// Reads the file; each line gives its first three cells (missing cells empty). Empty lines
// give no row. Throws Error when the file cannot be read.
std::vector<FieldNameRow> ReadFieldNameTable(const QString& path);

} // namespace velmora::core
