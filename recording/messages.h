#pragma once
// The message texts of recording: the refusals of the location and sample rules and the field
// captions they quote (the main window shows the captions too), and the questions and
// messages of the catalogue of databases and its backups. Recording owns the
// identifiers 2005-2007, 2009-2010, 2017-2024, 2026-2027 and 2501-2999. The lookup, and the
// ranges of every module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::recording {

enum Message : int {
    // The location and sample rules, and the captions they quote
    rsLocationNameRequired = 2005,
    rsValidDateRequired = 2006,
    rsDateError = 2007,
    rsDesmidNameEmpty = 2009,
    rsFillNameFirst = 2010,
    rsCoordLabelX = 2017,
    rsCoordLabelY = 2018,
    rsLongitudeLabel = 2019,
    rsLatitudeLabel = 2020,
    rsSampleNotOfLocation = 2021, // a post or delete of a sample of another location
    rsNumberFieldInvalid = 2022,  // %1: the field's caption, %2: the text
    rsCoordinateInvalid = 2023,   // %1: the coordinate's caption, %2: the text
    rsYearQuestion = 2024,        // %1: the year, %2: next year
    rsFieldConductivity = 2026,
    rsFieldWaterTemp = 2027,
    // The catalogue of databases: creating, deleting, square codes, backups
    rsNotAValidName = 2501,
    rsDatabaseExists = 2502, // then a line break and rsReplaceQuestion
    rsReplaceQuestion = 2503,
    rsDeleteDatabaseQuestion = 2504, // %1: the database name
    rsOpenDatabaseNotDeleted = 2505, // %1: the database name
    rsDatabaseHeldElsewhere = 2506,  // %1: the database name
    rsDatabaseNotDeleted = 2507,     // %1: the database name, %2: the file and the reason
    rsDatabaseNotCreated = 2508,     // %1: the database name, %2: the file and the reason
    rsSquareCodesNotUpdated = 2509,  // then a line break and the reason
    rsNoCurrentDatabase = 2510,
    rsBackupInDataDir = 2511,
    rsBackupMade = 2512,             // followed by the backup's folder
    rsBackupNotMade = 2513,          // a file of the backup existed already
    rsBackupFailed = 2514,           // then a line break, the file and the reason
    rsTableShorterThanHeader = 2515, // the reason of a failed copy of a table
    // The import of data files
    rsImportWrongFileType = 2516,
    rsImportNoSpreadsheetSupport = 2517,
    rsImportSpreadsheetFailed = 2518, // then a line break and the reason
    rsImportChooseLocationColumns = 2519,
    rsImportChooseUniqueColumn = 2520,
    rsImportChooseStartRow = 2521,
    rsImportChooseCoordinateSystem = 2522,
    rsImportReplaceQuestion = 2523,
    rsImportAddQuestion = 2524,
    rsImportNothingDone = 2525,
    rsImportCoordinateErrorInRow = 2526, // %1: the row
    rsImportChooseCoordinateColumns = 2527,
    rsImportNoErrorsFound = 2528,
    rsImportChooseDesmidColumn = 2529,
    rsImportFailed = 2530,
    rsImportCheckRow = 2531,          // %1: the row
    rsImportDatabaseUnchanged = 2532, // after a failed or cancelled import
    rsImportCancelled = 2533,
    rsImportValuesCut = 2534,      // %1: how many values
    rsImportFileTooLarge = 2535,   // %1: the limit in MB
    rsImportTooManyColumns = 2536, // %1: the fields of the widest line, %2: the limit
    rsImportTooManyCells = 2537,   // %1: the cells, %2: the limit
    rsImportWait = 2538,
    rsImportRemoveRowQuestion = 2539,
    rsImportDatabaseInUse = 2540,  // %1: the database name
    rsImportLayoutNotSaved = 2541, // then a line break and the reason
    rsImportFileNotRead = 2542,    // then a line break and the reason
    rsImportMoreRows = 2543,       // %1: how many more rows
    rsImportNotALayout = 2544,     // %1: the file name
    rsImportDataFilter = 2545,     // the file chooser's name for data files
    rsImportAllFiles = 2546,
    // The export of a database
    rsExportFileInUse = 2547,
    rsExportFailed = 2548, // then a line break, the file and the reason
    // Name correction
    rsDoubtfulName = 2549,
    // The import of an annotated taxa list
    rsTaxaListWrongFileType = 2550,
    rsTaxaListNotImported = 2551,  // %1: how many problems; then one line per problem
    rsTaxaListLine = 2552,         // %1: the line, %2: the problem
    rsTaxaListMoreProblems = 2553, // %1: how many more
    rsTaxaListNoHeader = 2554,
    rsTaxaListNoRecords = 2555,
    rsTaxaListUnknownColumn = 2556,  // %1: the header, %2: the field names
    rsTaxaListColumnTwice = 2557,    // %1, %2: the two headers, %3: the field name
    rsTaxaListColumnMissing = 2558,  // %1: the field name, %2: the headers it is known by
    rsTaxaListNoColumnHeader = 2559, // %1: the column number, %2: the value
    rsTaxaListUnclosedQuote = 2560,
    rsTaxaListValueRequired = 2561,   // %1: the column
    rsTaxaListDuplicateName = 2562,   // %1: the name, %2: the other line
    rsTaxaListNotAWord = 2563,        // %1: the column, %2: the value, %3: the words allowed
    rsTaxaListNotAWholeNumber = 2564, // %1: the column, %2: the value
    rsTaxaListTooLong = 2565,        // %1: the column, %2: the value, %3: its length, %4: the width
    rsTaxaListNotWindows1252 = 2566, // %1: the column, %2: the character
    rsTaxaListControlCharacter = 2567, // %1: the column
    rsTaxaListImported = 2568,         // %1: how many taxa, %2: the backup of the old list
    rsTaxaListImportedNoBackup = 2569, // %1: how many taxa
    rsTaxaListFileFilter = 2570,       // the file chooser's name for list files
    rsTaxaListNoRecordsToInstall = 2571,
    // The export for GIS programs
    rsGisExtension = 2580,
    rsGisLibraryFailed = 2581, // %1: what the GIS library reports
    // An import without data rows
    rsImportNoRows = 2582, // %1: the start row
};

// The text of one of recording's messages, translated when the interface language has it.
QString ResStr(Message id);

// recording's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::recording
