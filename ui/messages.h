#pragma once
// The message texts of the windows: start-up, the main window and its panels, the
// preferences and progress windows, the record navigators' hints. Ui owns the identifiers
// 1002-1007, 1009-1010, 1012-1013, 1404-1499, 2001-2004, 2008, 2011-2016, 2025, 2028-2499 and
// 3030-3031. The lookup, and the ranges of every module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::ui {

enum Message : int {
    // Start-up, the program window, the progress window
    rsFileNameHasBlanks = 1002, // program file name with a blank
    rsClickOkToEnd = 1003,
    rsDocumentsNotFound = 1004,
    rsProgressBusy = 1005,
    rsProgressDone = 1006,
    rsVersion = 1007,
    rsManualMissing = 1009,
    rsAboutText = 1010,
    rsAboutTitle = 1012,
    rsSplashTitle = 1013,
    // Preferences window
    rsLocationOrderNotSet = 1404, // followed by the reason
    rsSelectDirectory = 1405,     // title of the folder chooser
    // Main window
    rsSaveEditsFirst = 2001,
    rsDeleteRecordQuestion = 2002,
    rsDeleteCascadeNote = 2003,
    rsDatabaseEmpty = 2004,
    rsCopyQuestion = 2011,
    rsNoMapSense = 2012,
    rsNoDataInDb = 2013,
    rsNotForLatLon = 2014,
    rsNoMapFound = 2015,
    rsOpenMapFirst = 2016,
    rsOnlyDiversity = 2025,      // the taxa list holds no rarity or signal values
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
    // Database selection window
    rsNewDatabaseTitle = 2039, // the input box of a new database
    rsNewDatabasePrompt = 2040,
    // Tables window: the captions of its back button
    rsClearSelection = 2041,
    rsBackToLocationTable = 2042,
    // Importing an annotated taxa list (preferences)
    rsImportTaxaListCaption = 2043,
    rsImportTaxaListQuestion = 2045, // %1: the list (Nederland/Europa), %2: the file
    // Name entry: adding a name to the search list
    rsAlreadyListed = 3030,
    rsAddToSearchList = 3031,
};

// The text of one of ui's messages, translated when the interface language has it.
QString ResStr(Message id);

// ui's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::ui
