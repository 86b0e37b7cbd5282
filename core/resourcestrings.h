#pragma once
// The program's message texts: the mechanism, and core's own texts.
//
// Every message has a fixed numeric identifier, the name that language files write beside it
// and its built-in Dutch text. Interface language files translate by identifier, so an
// identifier, once given out, keeps its number, name and meaning for good.
//
// Each module keeps the texts it uses in a block of its own: an enum in the module's
// namespace, a ResStr for it and the block itself (core below, <module>/messages.h above).
// A text belongs to the lowest module that uses it; a module higher up names it through that
// module (recording::ResStr(recording::rsDateError)). ResStr takes only its own module's
// enum, so a text asked of the wrong block does not compile. Identifiers are unique across
// all blocks, and each block keeps to the ranges below. A new text takes a free number in a
// range of its module, beside texts of its kind; a module without texts yet takes a free
// thousand (4001.., 6001..) and adds its line here.
//
// Identifiers by module:
//   core       1011, 1014-1099, 1101-1199, 1201-1299, 1301-1399, 3002
//   ecology    1401-1402, 3001, 3003-3029, 3032-3999
//   recording  2005-2007, 2009-2010, 2017-2024, 2026-2027, 2501-2999
//   maps       2008, 4001-4999
//   charts     5001-5999
//   support    6001-6999
//   squares    7001-7099
//   session    1001, 1008, 1403, 1501-1999
//   ui         1002-1007, 1009-1010, 1012-1013, 1404-1499, 2001-2004, 2011-2016, 2025,
//              2028-2499, 3030-3031
//
// session::MessageBlocks() lists every block below ui/ for the language tools; ui::Messages()
// is the last one.
//
// Lookups go through a translator hook that the language engine installs; without one (or
// when it has no entry) the block's built-in text is returned.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::core {

struct ResourceString {
    int id;
    const char* name; // the identifier's name, as it is written in language files
    const char* text; // built-in Dutch text, UTF-8
};

// The text for an identifier of a block: the installed translator's text when it has one,
// otherwise the block's built-in text; empty when the block does not hold the identifier.
// Each module's ResStr is this over its own block.
QString LookUpText(const std::vector<ResourceString>& block, int id);

// The language engine's hook: returns the translation of an identifier, or nothing.
using ResourceTranslator = std::function<std::optional<QString>(int id)>;
void SetResourceTranslator(ResourceTranslator translator);

// core's own texts.
enum Message : int {
    // Numbers, the reasons of failed file operations, settings
    rsNotANumber = 1011, // %1: the text
    rsDiskFull = 1014,   // the reasons of failed file operations, in plain words
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
    rsImageTooLarge = 1215,      // %1 x %2: the picture's size, %3: the limit in millions
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
    // Whole numbers in text: the identifier lies among ecology's, which used the text first
    rsNotAnInteger = 3002, // %1: the text
};

// The text of one of core's messages, translated when the interface language has it.
QString ResStr(Message id);

// core's block, in source order.
const std::vector<ResourceString>& Messages();

} // namespace velmora::core
