#pragma once
// The message texts of charts: boxplot statistics, plots and phenology. Charts owns the
// identifiers 5001-5999. The lookup, and the ranges of every module, are in
// core/resourcestrings.h.

#include "core/resourcestrings.h"

#include <QString>
#include <vector>

namespace velmora::charts {

enum Message : int {
    // Boxplots, plots and phenology
    rsArrayIsEmpty = 5001,  // statistics of an empty list
    rsInvalidDateNL = 5002, // %1: location, %2-%3-%4: day, month, year
    rsInvalidDateEN = 5003, // the same under the non-Dutch coordinate rules
};

// The text of one of charts's messages, translated when the interface language has it.
QString ResStr(Message id);

// charts's block, in source order.
const std::vector<core::ResourceString>& Messages();

} // namespace velmora::charts
