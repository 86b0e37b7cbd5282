#pragma once
// Order of character keys. dBase orders index keys by the collation of the table's
// language driver: for "DBWINWE0" (Windows-1252, Western Europe: the driver this program
// writes) every byte has a weight that puts letters in dictionary order with the lower case
// just before its upper case and accented letters beside their base letter. Other drivers
// order by byte value. The weights are those of the dBase driver, so that our tags order
// records as TDbf and dBase do.

#include <array>
#include <cstdint>
#include <string>

namespace velmora::core::dbf {

enum class Collation {
    Binary,
    WesternEurope1252, // DBWINWE0
};

// Weight of each byte under a collation; Binary is the identity.
const std::array<std::uint8_t, 256>& CollationWeights(Collation collation);

// Letter case in Windows-1252 (ASCII letters plus the accented Latin letters). Used for the
// UPPER() and LOWER() of key expressions and for case-insensitive comparisons.
char UpperCp1252(char c);
char LowerCp1252(char c);
void UpperInPlace(std::string& bytes);

} // namespace velmora::core::dbf
