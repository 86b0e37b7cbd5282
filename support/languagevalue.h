#pragma once
// The two ways a language file writes a value.
//
// Default mode: a quoted literal, pieces written one after the other, each either
// single-quoted text (a doubled quote inside stands for one quote) or "#" and a decimal
// character code:  'Open '#39'file'#39  ->  Open 'file'
// Any other character outside the quotes ends a line of text; decoding starts again on the
// rest of the value with its blanks trimmed, and the lines are joined with carriage returns:
//   'Sort locations by:' 'Name'  ->  "Sort locations by:\rName"
//
// Humanized mode: the value is the text as written, except for the line-break markers.

#include <QString>
#include <optional>

namespace velmora::support {

// The decoded text, or nothing when the value cannot be decoded: an unterminated quote, a
// "#" followed by anything but digits (up to the next quote, "#" or the end), or a
// character code beyond Unicode.
std::optional<QString> DecodeQuotedValue(QStringView value);

// Where a humanized value is used: the marker means a carriage return in a form section and
// a carriage return plus line feed in the resource strings, when both markers are the same.
enum class ValueContext { Form, ResourceString };

// Replaces the markers: when they differ, every carriage-return marker becomes CR and then
// every CR LF marker becomes CR LF; when they are equal, every marker becomes CR (forms) or
// CR LF (resource strings). An empty marker marks nothing.
QString DecodeHumanizedValue(QString value, const QString& crMarker, const QString& crlfMarker,
                             ValueContext context);

} // namespace velmora::support
