#include "core/dbf/mdxfile.h"

#include "core/dbf/coding.h"
#include "core/dbf/dbferror.h"
#include "core/dbf/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace velmora::core::dbf {

namespace {

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
    if (size < kMdxHeaderSize)
        throw DbfError(path, "index file is truncated (" + std::to_string(size) + " bytes)");
    unsigned char header[kMdxHeaderSize];
    file.ReadAt(0, header, kMdxHeaderSize);
    const int version = header[kMdxVersionAt];
    if (version != kMdxVersionLevel4 && version != kMdxVersionLevel7)
        throw DbfError(path, "not a production index file (version byte " +
                                 std::to_string(version) + ")");
    const int tagsUsed = DecodeLe16(header + kMdxTagsUsedAt);
    const int tagStep = header[kMdxTagStepAt];
    if (tagsUsed > kMdxMaxTags)
        throw DbfError(path, "index file names " + std::to_string(tagsUsed) + " tags (at most " +
                                 std::to_string(kMdxMaxTags) + ")");
    if (tagStep < kMdxTagStep)
        throw DbfError(path, "index file has a tag size of " + std::to_string(tagStep));
    const int blocksPerPage = DecodeLe16(header + kMdxBlocksPerPageAt);
    if (blocksPerPage < 1 || blocksPerPage > 64)
        throw DbfError(path, "index file has a block size of " + std::to_string(blocksPerPage));
    const MdxTagEntryLayout& layout = MdxTagEntryOf(version == kMdxVersionLevel7);
    // A wider step than ours moves the entries by its extra bytes, as TDbf reads them.
    const int tagTable = kMdxTagTableAt + tagStep - kMdxTagStep;
    std::vector<MdxTagInfo> tags;
    for (int i = 0; i < tagsUsed; ++i) {
        const int at = tagTable + i * tagStep;
        if (at + layout.size > kMdxHeaderSize)
            throw DbfError(path, "index file tag table overruns its header");
        const unsigned char* tag = header + at;
        bool ok = false;
        std::string name = Terminated(
            tag + kMdxTagNameAt,
            static_cast<std::size_t>(std::min(layout.nameSize, tagStep - kMdxTagNameAt)), ok);
        if (name.empty())
            throw DbfError(path, "index tag " + std::to_string(i + 1) + " has no name");
        const std::uint32_t page = DecodeLe32(tag + kMdxTagHeaderPageAt);
        if (page < kMdxFirstPageBlock || std::uint64_t(page) * kMdxBlockSize + kMdxPageSize > size)
            throw DbfError(path, "index tag " + name + " points outside the file");
        unsigned char tagHeader[kTagHeaderReadSize];
        file.ReadAt(std::uint64_t(page) * kMdxBlockSize, tagHeader, sizeof tagHeader);
        const char keyType = static_cast<char>(tagHeader[kTagKeyTypeAt]);
        if (keyType != 'C' && keyType != 'N' && keyType != 'D' && keyType != 'F')
            throw DbfError(path, "index tag " + name + " has an unknown key type");
        const int keyLength = DecodeLe16(tagHeader + kTagKeyLengthAt);
        if (keyLength < 1 || keyLength > kMdxMaxKeyLength)
            throw DbfError(path, "index tag " + name + " has a key length of " +
                                     std::to_string(keyLength));
        std::string expression = Terminated(tagHeader + kTagExpressionAt, kTagExpressionSize, ok);
        if (!ok || expression.empty())
            throw DbfError(path, "index tag " + name + " has no valid key expression");
        MdxTagInfo info;
        info.def.name = name;
        info.def.expression = expression;
        info.def.descending = (tagHeader[kTagKeyFormatAt] & kKeyFormatDescending) != 0;
        info.numeric = keyType != 'C';
        tags.push_back(std::move(info));
    }
    return tags;
}

void EncodeMdxNumber(double value, unsigned char out[kMdxNumberSize]) {
    std::memset(out, 0, kMdxNumberSize);
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
            // d.ddd...e[+-]xx with every significant digit a key can hold
            std::snprintf(text, sizeof text, "%.*e", kMdxNumberMaxDigits - 1, magnitude);
            digits = std::string(1, text[0]) + std::string(text + 2, kMdxNumberMaxDigits - 1);
            exponent = std::atoi(std::strchr(text, 'e') + 1) + 1;
        }
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (digits.size() > std::size_t(kMdxNumberMaxDigits))
            digits.resize(kMdxNumberMaxDigits);
    }
    const int count = static_cast<int>(digits.size());
    out[kMdxNumberExponentAt] = static_cast<unsigned char>(kMdxNumberExponentBias + exponent);
    out[kMdxNumberLengthAt] = static_cast<unsigned char>(((count + 1) / 2) * 8 + 1);
    if (negative)
        out[kMdxNumberLengthAt] |= kMdxNumberNegative;
    for (int i = 0; i < count; i += 2) {
        const int high = digits[static_cast<std::size_t>(i)] - '0';
        const int low = i + 1 < count ? digits[static_cast<std::size_t>(i + 1)] - '0' : 0;
        out[kMdxNumberDigitsAt + i / 2] = static_cast<unsigned char>((high << 4) | low);
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
    if (tags.size() > kMdxMaxTags)
        throw DbfError(file.Path(), "more than " + std::to_string(kMdxMaxTags) + " index tags");
    std::vector<unsigned char> header(kMdxHeaderSize, 0);
    unsigned char* const h = header.data();
    h[kMdxVersionAt] = level7 ? kMdxVersionLevel7 : kMdxVersionLevel4;
    Today(h + kMdxCreationDateAt);
    const std::string name = tableName.substr(0, kMdxTableNameSize - 1);
    std::memcpy(h + kMdxTableNameAt, name.data(), name.size());
    EncodeLe16(h + kMdxBlocksPerPageAt, kMdxBlocksPerPage);
    EncodeLe16(h + kMdxPageSizeAt, kMdxPageSize);
    h[kMdxProductionAt] = 1;
    h[kMdxTagSlotsAt] = kMdxTagSlots;
    h[kMdxTagStepAt] = kMdxTagStep;
    EncodeLe16(h + kMdxTagsUsedAt, static_cast<std::uint16_t>(tags.size()));
    h[kMdxLanguageIdAt] = languageId;
    Today(h + kMdxUpdateDateAt);
    h[kMdxTagFlagAt] = 1;

    std::uint32_t nextBlock = kMdxFirstPageBlock;
    std::vector<unsigned char> page(kMdxPageSize);
    RunWriter writer(file);
    auto writePage = [&](std::uint32_t block) {
        writer.Write(std::uint64_t(block) * kMdxBlockSize, page.data(), kMdxPageSize);
    };
    auto entryAt = [&page](std::size_t k, int entrySize) {
        return page.data() + kPageEntriesAt + k * static_cast<std::size_t>(entrySize);
    };

    const MdxTagEntryLayout& layout = MdxTagEntryOf(level7);
    for (std::size_t t = 0; t < tags.size(); ++t) {
        const MdxTagOut& tag = tags[t];
        const int keyLength = tag.numeric ? kMdxNumberSize : tag.keyLength;
        const int entrySize =
            (kEntryKeyAt + keyLength + kEntryAlignment - 1) & ~(kEntryAlignment - 1);
        const int maxKeys = (kMdxPageSize - kPageEntriesAt) / entrySize;
        const std::uint32_t headerBlock = nextBlock;
        nextBlock += kMdxBlocksPerPage;

        // Tag table entry: TDbf's layout for this version, written in order so that a later
        // entry overlays the tail of the one before, exactly as TDbf leaves it.
        unsigned char record[kMdxLevel7Tag.size] = {};
        EncodeLe32(record + kMdxTagHeaderPageAt, headerBlock);
        std::string upper = tag.name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        std::memcpy(record + kMdxTagNameAt, upper.data(),
                    std::min<std::size_t>(upper.size(), std::size_t(layout.nameSize - 1)));
        record[layout.keyFormatAt] = kMdxKeyFromField;
        record[layout.reservedAt] = kMdxTagReserved;
        record[layout.keyTypeAt] = tag.numeric ? 'N' : 'C';
        std::memcpy(h + kMdxTagTableAt + t * kMdxTagStep, record,
                    static_cast<std::size_t>(layout.size));

        // Leaves: at most maxKeys - 1 entries each, so the slot after the last entry stays
        // zero (that is how a reader tells a leaf from an inner page).
        struct Child {
            std::uint32_t block;
            std::vector<char> lastKey;
        };
        std::vector<Child> level;
        const std::size_t perLeaf = static_cast<std::size_t>(std::max(1, maxKeys - 1));
        std::vector<char> key(static_cast<std::size_t>(keyLength));
        unsigned char encoded[kMdxNumberSize];
        double encodedNumber = 0;
        bool haveEncoded = false;
        std::size_t i = 0;
        do {
            std::fill(page.begin(), page.end(), 0);
            const std::size_t n = std::min(perLeaf, tag.count - i);
            EncodeLe32(page.data() + kPageCountAt, static_cast<std::uint32_t>(n));
            for (std::size_t k = 0; k < n; ++k, ++i) {
                unsigned char* e = entryAt(k, entrySize);
                double number = 0;
                std::fill(key.begin(), key.end(), ' ');
                const std::uint32_t recNo = tag.entry(i, key.data(), number);
                EncodeLe32(e + kEntryPointerAt, recNo);
                if (tag.numeric) {
                    // Neighbouring entries mostly share their key: encode each value once.
                    if (!haveEncoded || std::memcmp(&number, &encodedNumber, sizeof number) != 0) {
                        EncodeMdxNumber(number, encoded);
                        encodedNumber = number;
                        haveEncoded = true;
                    }
                    std::memcpy(e + kEntryKeyAt, encoded, sizeof encoded);
                } else
                    std::memcpy(e + kEntryKeyAt, key.data(), static_cast<std::size_t>(keyLength));
            }
            Child child{nextBlock, {}};
            if (n > 0) {
                const unsigned char* last = entryAt(n - 1, entrySize) + kEntryKeyAt;
                child.lastKey.assign(last, last + keyLength);
            } else {
                child.lastKey.assign(static_cast<std::size_t>(keyLength), 0);
            }
            writePage(nextBlock);
            nextBlock += kMdxBlocksPerPage;
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
                EncodeLe32(page.data() + kPageCountAt, static_cast<std::uint32_t>(take - 1));
                for (std::size_t k = 0; k < take; ++k) {
                    unsigned char* e = entryAt(k, entrySize);
                    EncodeLe32(e + kEntryPointerAt, level[c + k].block);
                    std::memcpy(e + kEntryKeyAt, level[c + k].lastKey.data(),
                                static_cast<std::size_t>(keyLength));
                }
                upperLevel.push_back(Child{nextBlock, level[c + take - 1].lastKey});
                writePage(nextBlock);
                nextBlock += kMdxBlocksPerPage;
                c += take;
            }
            level = std::move(upperLevel);
        }

        std::fill(page.begin(), page.end(), 0);
        unsigned char* const p = page.data();
        EncodeLe32(p + kTagRootPageAt, level.front().block);
        EncodeLe32(p + kTagBlockCountAt, nextBlock - headerBlock);
        p[kTagKeyFormatAt] = static_cast<unsigned char>(
            (tag.descending ? kKeyFormatDescending : 0) | (tag.numeric ? 0 : kKeyFormatCharacter));
        p[kTagKeyTypeAt] = tag.numeric ? 'N' : 'C';
        EncodeLe16(p + kTagKeyLengthAt, static_cast<std::uint16_t>(keyLength));
        EncodeLe16(p + kTagMaxKeysAt, static_cast<std::uint16_t>(maxKeys));
        EncodeLe16(p + kTagEntrySizeAt, static_cast<std::uint16_t>(entrySize));
        EncodeLe16(p + kTagVersionAt, kTagVersion);
        const std::string expression = tag.expression.substr(0, kTagExpressionSize - 1);
        std::memcpy(p + kTagExpressionAt, expression.data(), expression.size());
        p[kTagKeyExistsAt] = 1;
        writePage(headerBlock);
    }
    writer.Flush();
    EncodeLe32(h + kMdxBlockCountAt, nextBlock);
    file.WriteAt(0, header.data(), header.size());
    file.Truncate(std::uint64_t(nextBlock) * kMdxBlockSize);
}

} // namespace velmora::core::dbf
