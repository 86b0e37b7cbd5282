#pragma once
// Conversions between UTF-8 and the single-byte code pages that dBase tables carry.
// Plain C++: the table engine below Qt uses them for character fields.

#include <string>
#include <string_view>

namespace velmora::core::dbf {

enum class CodePage {
    Windows1252, // ANSI Western European: what this program writes
    Cp437,       // DOS USA
    Cp850,       // DOS multilingual
};

// Decodes single-byte text to UTF-8. Bytes the code page leaves undefined map to U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage page);

// Encodes UTF-8 text to the code page. Characters it cannot hold become '?'; invalid UTF-8
// sequences are taken byte by byte as Windows-1252 (text typed on old systems).
std::string FromUtf8(std::string_view utf8, CodePage page);

// True when the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

} // namespace velmora::core::dbf
