#pragma once
// Every message text of the program lives in this one table: a fixed numeric identifier and
// the built-in Dutch text. Interface language files translate by identifier, so an
// identifier, once given out, never changes meaning. New texts take the next free number in
// their block.
//
// Lookups go through a translator hook that the language engine installs; without one (or
// when it has no entry) the built-in text is returned.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::core {

enum ResId : int {
    // Start-up and configuration
    rsDatabaseInUse = 1001,     // second copy of the program
    rsFileNameHasBlanks = 1002, // program file name with a blank
    rsClickOkToEnd = 1003,
    rsDocumentsNotFound = 1004,
    rsProgressBusy = 1005,
    rsProgressDone = 1006,
    rsVersion = 1007,
    rsSettingsNotSaved = 1008,
    rsManualMissing = 1009,
    rsAboutText = 1010,
    rsNotANumber = 1011, // %1: the text
    rsAboutTitle = 1012,
    rsSplashTitle = 1013,
    rsDiskFull = 1014, // the reasons of failed file operations, in plain words
    rsNoPermission = 1015,
    rsReadOnlyDisk = 1016,
    rsFolderMissing = 1017,
    rsFileInUse = 1018,
    rsNotEnoughMemory = 1019,
    rsNotSavedOnClose = 1020, // followed by the reason
    rsInvalidSetting = 1021,  // %1: section and key, %2: the file, %3: the value
    // Tables and datasets
    rsDbfNotOpen = 1101,    // a table operation on a closed dataset
    rsDbfWrongState = 1102, // %1: the operation, %2: the state it needs
    rsDbfNoField = 1103,    // %1: the field name
    rsDbfNoTag = 1104,      // %1: the index tag name
    rsDbfNoRecord = 1105,   // %1: the record number
    rsDbfRequired = 1106,   // %1: the field name
    rsDbfNotInteger = 1107, // %1: the field name, %2: the text
    rsDbfNoCurrent = 1108,  // the table is empty or has no current record
    // Grids, image files and spreadsheet files
    rsOverwriteFile = 1201,      // %1: the path
    rsExcelNotCreated = 1202,    // writing a spreadsheet file failed
    rsExcelNotOpened = 1203,     // reading a spreadsheet file failed
    rsExcelNotInstalled = 1204,  // no spreadsheet support
    rsSheetNotAPackage = 1205,   // .xlsx that is not a zip package
    rsSheetMissing = 1206,       // workbook without a first worksheet
    rsSheetDamaged = 1207,       // %1: the part, %2: the parser's reason
    rsSheetTooManyCells = 1208,  // %1: the limit
    rsSheetTooLarge = 1209,      // %1: the limit in bytes
    rsXlsUnreadable = 1210,      // %1: the library's reason
    rsGridTooLargeForXls = 1211, // %1: rows, %2: columns
    rsImageNotRead = 1214,       // %1: the reader's reason
    // Database store
    rsDbOpening = 1301,
    rsDbLabelNone = 1302,
    rsDbLabel = 1303,
    rsDbLabelFailed = 1304,
    rsDbFileError = 1305, // followed by the path, then rsDbFileNotFound
    rsDbFileNotFound = 1306,
    rsDefaultDbNotFound = 1307,
    rsSelectOrCreate = 1308,
    rsInvalidDbName = 1309,    // %1: the name
    rsCorruptRecord = 1310,    // %1: the physical record number
    rsSamplesUpgraded = 1311,  // %1: the database name
    rsRecordsRecovered = 1312, // %1: how many, %2: the table file
    rsIndexRebuilt = 1313,     // %1: the index file, then a line break and the reason
    rsDbNotOpened = 1314,      // %1: the database name, then a line break and the reason
    // Preferences window and the reference lists it loads
    rsTaxaListNotRead = 1401,       // followed by the file and the reason
    rsAdditionalListNotRead = 1402, // followed by the file and the reason
    rsFieldNamesNotRead = 1403,     // followed by the file and the reason
    rsLocationOrderNotSet = 1404,   // followed by the reason
    rsSelectDirectory = 1405,       // title of the folder chooser
    // Main window
    rsSaveEditsFirst = 2001,
    rsDeleteRecordQuestion = 2002,
    rsDeleteCascadeNote = 2003,
    rsDatabaseEmpty = 2004,
    rsLocationNameRequired = 2005,
    rsValidDateRequired = 2006,
    rsDateError = 2007,
    rsEmptyField = 2008,
    rsDesmidNameEmpty = 2009,
    rsFillNameFirst = 2010,
    rsCopyQuestion = 2011,
    rsNoMapSense = 2012,
    rsNoDataInDb = 2013,
    rsNotForLatLon = 2014,
    rsNoMapFound = 2015,
    rsOpenMapFirst = 2016,
    rsCoordLabelX = 2017,
    rsCoordLabelY = 2018,
    rsLongitudeLabel = 2019,
    rsLatitudeLabel = 2020,
    rsSampleNotOfLocation = 2021, // a post or delete of a sample of another location
    rsNumberFieldInvalid = 2022,  // %1: the field's caption, %2: the text
    rsCoordinateInvalid = 2023,   // %1: the coordinate's caption, %2: the text
    rsYearQuestion = 2024,        // %1: the year, %2: next year
    rsOnlyDiversity = 2025,       // the taxa list holds no rarity or signal values
    rsFieldConductivity = 2026,
    rsFieldWaterTemp = 2027,
    rsDiversityOnlyShort = 2028, // the same as rsOnlyDiversity in a few words
    rsHintFirst = 2030,          // the record navigators' button hints, in button order
    rsHintPrior = 2031,
    rsHintNext = 2032,
    rsHintLast = 2033,
    rsHintNew = 2034,
    rsHintDelete = 2035,
    rsHintEdit = 2036,
    rsHintPost = 2037,
    rsHintCancel = 2038,
    // Ecology: taxa list, search list, nature value
    rsNoDesmids = 3001,    // the sample name of an event without desmids
    rsNotAnInteger = 3002, // %1: the text
    rsRedListLabel = 3003,
    rsNatureValueLabel = 3004,
    rsSpZuur = 3010, // the twelve spectrum class captions, in window order
    rsSpZwakZuur = 3011,
    rsSpNeutraal = 3012,
    rsSpNeutraalAlkalisch = 3013,
    rsSpAlkalisch = 3014,
    rsSpZuurIndifferent = 3015,
    rsSpOligotroof = 3016,
    rsSpOligoMesotroof = 3017,
    rsSpMesotroof = 3018,
    rsSpMesoEutroof = 3019,
    rsSpEutroof = 3020,
    rsSpTrofieIndifferent = 3021,
    rsAlreadyListed = 3030,
    rsAddToSearchList = 3031,
    rsNotPrefix = 3032,    // before a name the nature value did not count
    rsPartlyPrefix = 3033, // before a name it counted in part
    // Boxplots, plots and phenology
    rsArrayIsEmpty = 5001,  // statistics of an empty list
    rsInvalidDateNL = 5002, // %1: location, %2-%3-%4: day, month, year
    rsInvalidDateEN = 5003, // the same under the non-Dutch coordinate rules
};

struct ResourceString {
    int id;
    const char* name; // the identifier's name, as it is written in language files
    const char* text; // built-in Dutch text, UTF-8
};

// The whole table, in source order (grouped by block).
const std::vector<ResourceString>& ResourceStrings();

// The text for an identifier: translated when the installed translator has it, otherwise the
// built-in text. Unknown identifiers give an empty text.
QString ResStr(int id);

// The language engine's hook: returns the translation of an identifier, or nothing.
using ResourceTranslator = std::function<std::optional<QString>(int id)>;
void SetResourceTranslator(ResourceTranslator translator);

} // namespace velmora::core
