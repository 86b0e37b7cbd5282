#include "core/dbf/mdxfile.h"

#include "core/dbf/dbferror.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace velmora::core::dbf {

namespace {

constexpr int kHeaderSize = 2048;
constexpr int kBlock = 512;
constexpr int kPage = 1024;
constexpr int kTagTable = 544;
constexpr int kTagSize = 32;
constexpr int kMaxTags = 47;

std::uint32_t Get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
std::uint16_t Get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
void Put32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
void Put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

std::string Terminated(const unsigned char* p, std::size_t max, bool& ok) {
    const auto* end = static_cast<const unsigned char*>(std::memchr(p, 0, max));
    ok = end != nullptr;
    return std::string(reinterpret_cast<const char*>(p),
                       end ? static_cast<std::size_t>(end - p) : max);
}

void Today(unsigned char* p) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    p[0] = static_cast<unsigned char>(tm.tm_year);
    p[1] = static_cast<unsigned char>(tm.tm_mon + 1);
    p[2] = static_cast<unsigned char>(tm.tm_mday);
}

} // namespace

std::vector<MdxTagInfo> ReadMdxTags(File& file) {
    const std::string& path = file.Path();
    const std::uint64_t size = file.Size();
    if (size < kHeaderSize)
        throw DbfError(path, "index file is truncated (" + std::to_string(size) + " bytes)");
    unsigned char header[kHeaderSize];
    file.ReadAt(0, header, kHeaderSize);
    const int version = header[0];
    if (version != 2 && version != 3)
        throw DbfError(path, "not a production index file (version byte " +
                                 std::to_string(version) + ")");
    const int tagsUsed = Get16(header + 28);
    const int tagSize = header[26];
    if (tagsUsed > kMaxTags)
        throw DbfError(path, "index file names " + std::to_string(tagsUsed) + " tags (at most 47)");
    if (tagSize < kTagSize)
        throw DbfError(path, "index file has a tag size of " + std::to_string(tagSize));
    const int blockSize = Get16(header + 20);
    if (blockSize < 1 || blockSize > 64)
        throw DbfError(path, "index file has a block size of " + std::to_string(blockSize));
    const bool level7 = version == 3;
    const int nameLength = level7 ? 33 : 11;
    const int tagRecord = level7 ? 43 : 21;
    const int tagOffset = kTagTable + tagSize - kTagSize;
    std::vector<MdxTagInfo> tags;
    for (int i = 0; i < tagsUsed; ++i) {
        const int at = tagOffset + i * tagSize;
        if (at + tagRecord > kHeaderSize)
            throw DbfError(path, "index file tag table overruns its header");
        const unsigned char* tag = header + at;
        bool ok = false;
        std::string name =
            Terminated(tag + 4, static_cast<std::size_t>(std::min(nameLength, tagSize - 4)), ok);
        if (name.empty())
            throw DbfError(path, "index tag " + std::to_string(i + 1) + " has no name");
        const std::uint32_t page = Get32(tag);
        if (page < 4 || std::uint64_t(page) * kBlock + kPage > size)
            throw DbfError(path, "index tag " + name + " points outside the file");
        unsigned char tagHeader[256];
        file.ReadAt(std::uint64_t(page) * kBlock, tagHeader, sizeof tagHeader);
        const char keyType = static_cast<char>(tagHeader[9]);
        if (keyType != 'C' && keyType != 'N' && keyType != 'D' && keyType != 'F')
            throw DbfError(path, "index tag " + name + " has an unknown key type");
        const int keyLength = Get16(tagHeader + 12);
        if (keyLength < 1 || keyLength > 100)
            throw DbfError(path, "index tag " + name + " has a key length of " +
                                     std::to_string(keyLength));
        std::string expression = Terminated(tagHeader + 24, 220, ok);
        if (!ok || expression.empty())
            throw DbfError(path, "index tag " + name + " has no valid key expression");
        MdxTagInfo info;
        info.def.name = name;
        info.def.expression = expression;
        info.def.descending = (tagHeader[8] & 0x08) != 0;
        info.numeric = keyType != 'C';
        tags.push_back(std::move(info));
    }
    return tags;
}

void EncodeMdxNumber(double value, unsigned char out[12]) {
    std::memset(out, 0, 12);
    std::string digits;
    int exponent = 0;
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    if (magnitude != 0) {
        char text[64];
        if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
            std::snprintf(text, sizeof text, "%.0f", magnitude);
            digits = text;
            exponent = static_cast<int>(digits.size());
        } else {
            std::snprintf(text, sizeof text, "%.15e", magnitude); // d.ddddde[+-]xx
            digits = std::string(1, text[0]) + std::string(text + 2, 15);
            exponent = std::atoi(std::strchr(text, 'e') + 1) + 1;
        }
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (digits.size() > 16)
            digits.resize(16);
    }
    const int count = static_cast<int>(digits.size());
    out[0] = static_cast<unsigned char>(0x34 + exponent);
    out[1] = static_cast<unsigned char>(((count + 1) / 2) * 8 + 1);
    if (negative)
        out[1] |= 0x80;
    for (int i = 0; i < count; i += 2) {
        const int high = digits[static_cast<std::size_t>(i)] - '0';
        const int low = i + 1 < count ? digits[static_cast<std::size_t>(i + 1)] - '0' : 0;
        out[2 + i / 2] = static_cast<unsigned char>((high << 4) | low);
    }
}

namespace {
// Collects pages written one after the other and writes them in large blocks: an index of a
// million records is then a few hundred writes instead of a hundred thousand.
class RunWriter {
public:
    explicit RunWriter(File& file) : m_file(file) { m_run.reserve(kLimit); }
    void Write(std::uint64_t offset, const unsigned char* data, std::size_t size) {
        if (!m_run.empty() && (offset != m_start + m_run.size() || m_run.size() + size > kLimit))
            Flush();
        if (m_run.empty())
            m_start = offset;
        m_run.insert(m_run.end(), data, data + size);
    }
    void Flush() {
        if (!m_run.empty())
            m_file.WriteAt(m_start, m_run.data(), m_run.size());
        m_run.clear();
    }

private:
    static constexpr std::size_t kLimit = 4u << 20;
    File& m_file;
    std::uint64_t m_start = 0;
    std::vector<unsigned char> m_run;
};
} // namespace

void WriteMdx(File& file, const std::string& tableName, bool level7, std::uint8_t languageId,
              const std::vector<MdxTagOut>& tags) {
    if (tags.size() > kMaxTags)
        throw DbfError(file.Path(), "more than 47 index tags");
    std::vector<unsigned char> header(kHeaderSize, 0);
    header[0] = level7 ? 3 : 2;
    Today(header.data() + 1);
    const std::string name = tableName.substr(0, 15);
    std::memcpy(header.data() + 4, name.data(), name.size());
    Put16(header.data() + 20, 2);
    Put16(header.data() + 22, kPage);
    header[24] = 1;
    header[25] = 48;
    header[26] = kTagSize;
    Put16(header.data() + 28, static_cast<std::uint16_t>(tags.size()));
    header[31] = languageId;
    Today(header.data() + 44);
    header[529] = 1;

    std::uint32_t nextBlock = kHeaderSize / kBlock;
    std::vector<unsigned char> page(kPage);
    RunWriter writer(file);
    auto writePage = [&](std::uint32_t block) {
        writer.Write(std::uint64_t(block) * kBlock, page.data(), kPage);
    };

    for (std::size_t t = 0; t < tags.size(); ++t) {
        const MdxTagOut& tag = tags[t];
        const int keyLength = tag.numeric ? 12 : tag.keyLength;
        const int entrySize = (keyLength + 4 + 3) & ~3;
        const int maxKeys = (kPage - 8) / entrySize;
        const std::uint32_t headerBlock = nextBlock;
        nextBlock += 2;

        // Tag table entry: TDbf's layout for this version, written in order so that a later
        // entry overlays the tail of the one before, exactly as TDbf leaves it.
        unsigned char* entry = header.data() + kTagTable + t * kTagSize;
        const int nameLength = level7 ? 33 : 11;
        const int tail = level7 ? 37 : 15;
        unsigned char record[43] = {};
        Put32(record, headerBlock);
        std::string upper = tag.name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        std::memcpy(record + 4, upper.data(),
                    std::min<std::size_t>(upper.size(), std::size_t(nameLength - 1)));
        record[tail] = 0x10;  // key format: data field
        record[tail + 4] = 2; // reserved, as dBase writes it
        record[tail + 5] = tag.numeric ? 'N' : 'C';
        std::memcpy(entry, record, static_cast<std::size_t>(level7 ? 43 : 21));

        // Leaves: at most maxKeys - 1 entries each, so the slot after the last entry stays
        // zero (that is how a reader tells a leaf from an inner page).
        struct Child {
            std::uint32_t block;
            std::vector<char> lastKey;
        };
        std::vector<Child> level;
        const std::size_t perLeaf = static_cast<std::size_t>(std::max(1, maxKeys - 1));
        std::vector<char> key(static_cast<std::size_t>(keyLength));
        unsigned char encoded[12];
        double encodedNumber = 0;
        bool haveEncoded = false;
        std::size_t i = 0;
        do {
            std::fill(page.begin(), page.end(), 0);
            const std::size_t n = std::min(perLeaf, tag.count - i);
            Put32(page.data(), static_cast<std::uint32_t>(n));
            for (std::size_t k = 0; k < n; ++k, ++i) {
                unsigned char* e = page.data() + 8 + k * static_cast<std::size_t>(entrySize);
                double number = 0;
                std::fill(key.begin(), key.end(), ' ');
                const std::uint32_t recNo = tag.entry(i, key.data(), number);
                Put32(e, recNo);
                if (tag.numeric) {
                    // Neighbouring entries mostly share their key: encode each value once.
                    if (!haveEncoded || std::memcmp(&number, &encodedNumber, sizeof number) != 0) {
                        EncodeMdxNumber(number, encoded);
                        encodedNumber = number;
                        haveEncoded = true;
                    }
                    std::memcpy(e + 4, encoded, sizeof encoded);
                } else
                    std::memcpy(e + 4, key.data(), static_cast<std::size_t>(keyLength));
            }
            Child child{nextBlock, {}};
            if (n > 0) {
                const unsigned char* last =
                    page.data() + 8 + (n - 1) * static_cast<std::size_t>(entrySize) + 4;
                child.lastKey.assign(last, last + keyLength);
            } else {
                child.lastKey.assign(static_cast<std::size_t>(keyLength), 0);
            }
            writePage(nextBlock);
            nextBlock += 2;
            level.push_back(std::move(child));
        } while (i < tag.count);

        // Inner levels until one page is left: the root.
        const std::size_t perInner = static_cast<std::size_t>(maxKeys);
        while (level.size() > 1) {
            std::vector<Child> upperLevel;
            const std::size_t nodes = (level.size() + perInner - 1) / perInner;
            std::size_t c = 0;
            for (std::size_t node = 0; node < nodes; ++node) {
                // Spread the children evenly so that no node is nearly empty.
                const std::size_t take = (level.size() - c) / (nodes - node);
                std::fill(page.begin(), page.end(), 0);
                Put32(page.data(), static_cast<std::uint32_t>(take - 1));
                for (std::size_t k = 0; k < take; ++k) {
                    unsigned char* e = page.data() + 8 + k * static_cast<std::size_t>(entrySize);
                    Put32(e, level[c + k].block);
                    std::memcpy(e + 4, level[c + k].lastKey.data(),
                                static_cast<std::size_t>(keyLength));
                }
                upperLevel.push_back(Child{nextBlock, level[c + take - 1].lastKey});
                writePage(nextBlock);
                nextBlock += 2;
                c += take;
            }
            level = std::move(upperLevel);
        }

        std::fill(page.begin(), page.end(), 0);
        Put32(page.data(), level.front().block);         // root page
        Put32(page.data() + 4, nextBlock - headerBlock); // blocks used by this tag
        page[8] =
            static_cast<unsigned char>((tag.descending ? 0x08 : 0) | (tag.numeric ? 0 : 0x10));
        page[9] = tag.numeric ? 'N' : 'C';
        Put16(page.data() + 12, static_cast<std::uint16_t>(keyLength));
        Put16(page.data() + 14, static_cast<std::uint16_t>(maxKeys));
        Put16(page.data() + 18, static_cast<std::uint16_t>(entrySize));
        Put16(page.data() + 20, 2);
        const std::string expression = tag.expression.substr(0, 219);
        std::memcpy(page.data() + 24, expression.data(), expression.size());
        page[246] = 1; // key exists
        writePage(headerBlock);
    }
    writer.Flush();
    Put32(header.data() + 32, nextBlock);
    file.WriteAt(0, header.data(), header.size());
    file.Truncate(std::uint64_t(nextBlock) * kBlock);
}

} // namespace velmora::core::dbf
