#pragma once
// The message texts of the square window's logic: the calibration of its map. Squares owns
// the identifiers 7001-7099. The lookup, and the ranges of every module, are in
// core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::squares {

enum Message : int {
    // Map files
    rsSquareMapNoCoordinates = 7001, // first line of the message for a file name without edges
    rsSquareMapOpenAnother = 7002,   // its second line
};

// The text of one of squares's messages, translated when the interface language has it.
QString ResStr(Message id);

// squares's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::squares
