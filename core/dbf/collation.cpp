#include "core/dbf/collation.h"

namespace velmora::core::dbf {

namespace {

// dBase language driver DBWINWE0: weight of each Windows-1252 byte.
constexpr std::array<std::uint8_t, 256> kWinWe0 = {
    0,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  //
    17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  //
    1,   41,  55,  77,  71,  78,  76,  54,  58,  59,  74,  79,  38,  37,  46,  45,  //
    111, 115, 117, 119, 121, 122, 123, 124, 125, 126, 40,  39,  83,  84,  85,  43,  //
    68,  128, 145, 147, 151, 155, 165, 167, 169, 171, 181, 183, 185, 187, 189, 193, //
    210, 212, 214, 216, 221, 225, 235, 237, 239, 241, 247, 60,  75,  61,  49,  34,  //
    48,  127, 144, 146, 150, 154, 164, 166, 168, 170, 180, 182, 184, 186, 188, 192, //
    209, 211, 213, 215, 220, 224, 234, 236, 238, 240, 246, 62,  87,  63,  51,  91,  //
    248, 249, 92,  93,  94,  95,  96,  97,  98,  99,  218, 100, 208, 250, 251, 252, //
    253, 101, 102, 103, 104, 105, 106, 107, 108, 109, 217, 110, 207, 254, 255, 245, //
    33,  42,  70,  72,  69,  73,  88,  64,  50,  66,  129, 56,  86,  36,  67,  35,  //
    89,  80,  118, 120, 47,  90,  65,  52,  53,  116, 194, 57,  112, 113, 114, 44,  //
    133, 131, 135, 141, 139, 137, 143, 149, 159, 157, 161, 163, 175, 173, 177, 179, //
    153, 191, 198, 196, 200, 204, 202, 82,  206, 229, 227, 231, 233, 243, 223, 219, //
    132, 130, 134, 140, 138, 136, 142, 148, 158, 156, 160, 162, 174, 172, 176, 178, //
    152, 190, 197, 195, 199, 203, 201, 81,  205, 228, 226, 230, 232, 242, 222, 244, //
};

constexpr std::array<std::uint8_t, 256> MakeIdentity() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return table;
}
constexpr std::array<std::uint8_t, 256> kBinary = MakeIdentity();

} // namespace

const std::array<std::uint8_t, 256>& CollationWeights(Collation collation) {
    return collation == Collation::WesternEurope1252 ? kWinWe0 : kBinary;
}

char UpperCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 0x20);
    switch (u) {
    case 0x9A:
        return static_cast<char>(0x8A); // š
    case 0x9C:
        return static_cast<char>(0x8C); // œ
    case 0x9E:
        return static_cast<char>(0x8E); // ž
    case 0xFF:
        return static_cast<char>(0x9F); // ÿ
    default:
        return c;
    }
}

char LowerCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 0x20);
    switch (u) {
    case 0x8A:
        return static_cast<char>(0x9A);
    case 0x8C:
        return static_cast<char>(0x9C);
    case 0x8E:
        return static_cast<char>(0x9E);
    case 0x9F:
        return static_cast<char>(0xFF);
    default:
        return c;
    }
}

void UpperInPlace(std::string& bytes) {
    for (char& c : bytes)
        c = UpperCp1252(c);
}

} // namespace velmora::core::dbf
