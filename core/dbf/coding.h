#pragma once
// The integers of the dBase files as bytes. Counts, lengths and page numbers of the table
// header and the index file are little-endian; the binary field values (integer, double) are
// big-endian, with the sign bit flipped so that their bytes sort like their values.
//
// The pointers may be to char or unsigned char; nothing is aligned.

#include <cstdint>
#include <cstdio>
#include <string>

namespace velmora::core::dbf {

inline std::uint16_t DecodeLe16(const void* at) {
    const auto* p = static_cast<const unsigned char*>(at);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t DecodeLe32(const void* at) {
    const auto* p = static_cast<const unsigned char*>(at);
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void EncodeLe16(void* at, std::uint16_t value) {
    auto* p = static_cast<unsigned char*>(at);
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

inline void EncodeLe32(void* at, std::uint32_t value) {
    auto* p = static_cast<unsigned char*>(at);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::uint32_t DecodeBe32(const void* at) {
    const auto* p = static_cast<const unsigned char*>(at);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

inline void EncodeBe32(void* at, std::uint32_t value) {
    auto* p = static_cast<unsigned char*>(at);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

inline std::uint64_t DecodeBe64(const void* at) {
    const auto* p = static_cast<const unsigned char*>(at);
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | p[i];
    return value;
}

// A byte as "0x1F", for messages about bytes the program does not know.
inline std::string HexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

} // namespace velmora::core::dbf
