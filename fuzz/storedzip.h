#pragma once
// A zip package of stored (uncompressed) members, in memory: how the spreadsheet fuzz target
// and its seed writer turn a set of XML parts into an .xlsx package whose parts the fuzzer
// can change byte by byte.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::fuzz {

inline std::uint32_t Crc32(const std::string& bytes) {
    static const std::vector<std::uint32_t> table = [] {
        std::vector<std::uint32_t> t(256);
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// members: (name, contents) in package order.
inline std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out;
    std::string directory;
    auto put16 = [](std::string& s, unsigned v) {
        s += char(v & 0xFF);
        s += char((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::string& s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    for (const auto& [name, data] : members) {
        const std::uint32_t offset = std::uint32_t(out.size());
        const std::uint32_t crc = Crc32(data);
        out += "PK\x03\x04";
        put16(out, 10);   // version needed
        put16(out, 0);    // flags
        put16(out, 0);    // stored
        put16(out, 0);    // time
        put16(out, 0x21); // date 1980-01-01
        put32(out, crc);
        put32(out, std::uint32_t(data.size()));
        put32(out, std::uint32_t(data.size()));
        put16(out, unsigned(name.size()));
        put16(out, 0);
        out += name;
        out += data;

        directory += "PK\x01\x02";
        put16(directory, 20);
        put16(directory, 10);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0x21);
        put32(directory, crc);
        put32(directory, std::uint32_t(data.size()));
        put32(directory, std::uint32_t(data.size()));
        put16(directory, unsigned(name.size()));
        put16(directory, 0); // extra
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += name;
    }
    const std::uint32_t directoryOffset = std::uint32_t(out.size());
    out += directory;
    out += "PK\x05\x06";
    put16(out, 0);
    put16(out, 0);
    put16(out, unsigned(members.size()));
    put16(out, unsigned(members.size()));
    put32(out, std::uint32_t(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

// The parts of a workbook in the order the fuzz input lists them, divided by kPartDivider.
inline const std::vector<std::string>& WorkbookPartNames() {
    static const std::vector<std::string> names = {"xl/workbook.xml",
                                                   "xl/_rels/workbook.xml.rels",
                                                   "xl/worksheets/sheet1.xml",
                                                   "xl/sharedStrings.xml",
                                                   "xl/styles.xml",
                                                   "_rels/.rels"};
    return names;
}
inline constexpr char kPartDivider[] = "\n=====\n";

} // namespace velmora::fuzz
