#pragma once
// The message texts of support (the photo folder). Support owns the identifiers 6001-6999;
// the lookup, and the ranges of every module, are in core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::support {

enum Message : int {
    // Photo folder
    rsPhotoMonthFolder = 6001,         // "\Maand ": the month's folder, followed by the month
    rsPhotoFolderNotMade = 6002,       // first line of the message when the folder is not there
    rsPhotoFolderBadCharacters = 6003, // its second line
    rsNoLocationForPhotoFolder = 6004,
};

// The text of one of support's messages, translated when the interface language has it.
QString ResStr(Message id);

// support's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::support
