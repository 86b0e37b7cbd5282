#pragma once
// The message texts of session (start-up, settings, the field names list), and the list of
// every block below ui/ for the language tools. Session owns the identifiers 1001, 1008, 1403
// and 1501-1999. The lookup, and the ranges of every module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::session {

enum Message : int {
    // Start-up and settings
    rsDatabaseInUse = 1001, // second copy of the program
    rsSettingsNotSaved = 1008,
    // Reference lists
    rsFieldNamesNotRead = 1403, // followed by the file and the reason
    // The command line (velmora-cli): usage
    rsCliUsage = 1601,          // the commands; %1: the program's name
    rsCliUnknownCommand = 1602, // %1: the command
    rsCliUnknownOption = 1603,  // %1: the option
    rsCliMissingValue = 1604,   // %1: the option
    rsCliWrongArguments = 1605, // %1: the command
    rsCliBadValue = 1606,       // %1: the option, %2: the value
    rsCliOneOutput = 1607,      // %1 and %2: the two options of which exactly one is needed
    rsCliSeeHelp = 1608,        // %1: the command
    rsCliRequired = 1609,       // %1: the option that must be given
    rsCliTwice = 1610,          // %1: the option given more than once
    rsCliOnlyWith = 1611,       // %1: the option, %2: the option it needs
    // Results and refusals
    rsCliDatabaseNotFound = 1620, // %1: the database name
    rsCliRowsWritten = 1621,      // %1: rows, %2: the file
    rsCliNamesNormalised = 1622,  // %1: how many samples
    rsCliTaxaListImported = 1623, // %1: records, %2: the list file, %3: the backup
    rsCliSamplesWritten = 1624,   // %1: samples, %2: the file
    rsCliDatabaseCount = 1625,    // %1: how many databases
    rsCliNothingSelected = 1627,  // no event passes the filter
    rsCliImported = 1629,         // %1: the database
    rsCliNoFolder = 1630,         // %1: the program folder that does not exist
    rsCliFileNotFound = 1631,     // %1: the file
    rsCliUnknownEvents = 1632,    // %1: the IDs no event has
    rsCliOutputFailed = 1633,     // the standard output could not be written
    // The help of each command
    rsCliHelpExport = 1640,
    rsCliHelpImport = 1641,
    rsCliHelpNatureValue = 1642,
    rsCliHelpSpeciesList = 1643,
    rsCliHelpNatureTable = 1644,
    rsCliHelpCheckNames = 1645,
    rsCliHelpGis = 1646,
    rsCliHelpDatabases = 1647,
    rsCliHelpTaxaList = 1648,
};

// The text of one of session's messages, translated when the interface language has it.
QString ResStr(Message id);

// session's block, in source order.
const std::vector<core::ResourceString>& Messages();

// One module's block of messages.
struct MessageBlock {
    const char* module; // the module's folder
    const std::vector<core::ResourceString>* texts;
};

// Every block below ui/, lowest module first (ui::Messages() is the one block above).
std::vector<MessageBlock> MessageBlocks();

// The texts of every block below ui/, in the order of MessageBlocks().
std::vector<core::ResourceString> AllMessages();

} // namespace velmora::session
