#pragma once
// Importing an annotated taxa list that a user keeps in a spreadsheet or a text file: the
// file is read and every value checked against what the list table can hold and what the
// nature value interprets; only a file without any problem replaces the list in use
// (Lib/TaxaListAnnotatedNL.dbf or ...EU.dbf), and the list it replaces is kept beside it as a
// dated backup.
//
// Files: ".csv" (comma-separated; semicolon-separated when the header has more semicolons
// than commas), ".tsv" and ".txt" (tab-separated), ".xlsx" and ".xls" (the first worksheet). Text
// is read as UTF-8 when it is valid UTF-8, else as Windows-1252. In both text forms a cell that
// begins with a double quote runs to the next lone double quote: it may hold the separator and line
// breaks, and a doubled quote inside stands for one (what spreadsheet programs write). Reading is
// bounded by ImportLimits, so no file can exhaust memory.
//
// The first non-empty row is the header; columns are found by their header (see
// TaxaListHeaderWords), in any order; columns for the eight fields after TAXON_NAME and
// CUR_NAME may be left out. Empty rows are skipped and values trimmed.

#include "ecology/taxalist.h"
#include "recording/importgrid.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::recording {

// One problem of a file: the file line where its record starts (the header's line for a
// problem of the columns; the sheet row for a spreadsheet) and what is wrong, in the
// interface language.
struct TaxaListProblem {
    int line = 0;
    QString text;
};

struct TaxaListFile {
    // The records of the rows, in file order, with the values as they will be stored: trimmed,
    // class words in the list's spelling ("oligo-meso"), R and S as plain whole numbers,
    // NEG_VAR "T" or "F". Only worth installing when problems is empty.
    std::vector<ecology::TaxonRecord> records;
    // In line order. At most kMaxTaxaListProblems; problemsLeftOut counts the rest.
    std::vector<TaxaListProblem> problems;
    qsizetype problemsLeftOut = 0;
};

// More problems than this are counted, not kept: a file that is wrong throughout (a list of
// something else) needs no list of a hundred thousand lines.
inline constexpr qsizetype kMaxTaxaListProblems = 1000;

// The bounds of a read: a taxa list is a few thousand rows of ten columns.
ImportLimits TaxaListLimits();

// The header words each field's column is known by, in field order of
// ecology::TaxaListFieldDefs(): the field name first, then Dutch and English words. A header
// matches when it equals one of them ignoring letter case, accents, blanks, "_" and "-".
const std::vector<QStringList>& TaxaListHeaderWords();

// Reads and checks the file. Every problem is collected (not only the first), each with its
// line. Throws core::Error (file and reason) when the file cannot be read at all: missing,
// of another kind (by its extension), damaged as a workbook, or beyond the limits.
TaxaListFile ReadTaxaListFile(const QString& path, const ImportLimits& limits = TaxaListLimits());

// The problems of records about to be installed, as ReadTaxaListFile checks them (values
// blank or fitting, names unique, class words and numbers as the list holds them), with
// record i given line i + 1. Empty for the records of a file read without problems.
std::vector<TaxaListProblem>
TaxaListRecordProblems(const std::vector<ecology::TaxonRecord>& records);

// One line per problem, "Regel 12: ...", then "en nog 5 problemen" when some were left out.
QString TaxaListProblemsText(const std::vector<TaxaListProblem>& problems,
                             qsizetype problemsLeftOut = 0);

struct TaxaListInstalled {
    int records = 0;
    QString backupPath; // the previous list's backup; empty when there was no list
};

// Replaces the list of the setting (0 the Dutch list, any other value the European one) by
// the records. The new table (level 4, the layout of TaxaListFieldDefs) and its index with the
// case-insensitive tags "TaxonName" and "CurName" are written by the table engine into a
// temporary folder inside Lib/ and flushed to disk; the old table is kept as
// Lib/TaxaListAnnotated<NL|EU>-<yyyyMMdd-HHmmss>.dbf (a further "-2", "-3" when that name is
// taken); then the new index and the new table are renamed into place, the table last, so
// the rename of the table is the one step that changes the list. Throws core::Error (file and
// reason) when the records have a problem, are empty, or anything cannot be written; the list
// in use is then whole and unchanged. The caller reloads the reference lists.
TaxaListInstalled InstallTaxaList(const std::vector<ecology::TaxonRecord>& records, int number);

// ReadTaxaListFile, then InstallTaxaList when the file has no problem. A file with problems
// throws core::Error with the file and a reason that lists every problem (TaxaListProblemsText
// after a first line saying that nothing changed).
TaxaListInstalled ImportTaxaList(const QString& path, int number);

} // namespace velmora::recording
