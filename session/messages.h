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
