#include "core/dbf/dbftable.h"

#include "core/dbf/coding.h"
#include "core/dbf/format.h"
#include "core/dbf/keyexpression.h"
#include "core/dbf/mdxfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <functional>
#include <thread>

namespace velmora::core::dbf {

namespace {

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void StampDate(unsigned char* header) {
    // The date of the last change; local time is looked up once a minute, not per post.
    thread_local std::time_t cachedAt = -1;
    thread_local std::tm tm{};
    const std::time_t now = std::time(nullptr);
    if (cachedAt < 0 || now - cachedAt >= 60 || now < cachedAt) {
        localtime_r(&now, &tm);
        cachedAt = now;
    }
    unsigned char* date = header + kChangeDateAt;
    date[0] = static_cast<unsigned char>(tm.tm_year % 256);
    date[1] = static_cast<unsigned char>(tm.tm_mon + 1);
    date[2] = static_cast<unsigned char>(tm.tm_mday);
}

// Lays the fields out and checks them; returns the record length.
int LayOut(FieldDefs& fields, bool level7, const std::string& file) {
    const std::size_t maxName = static_cast<std::size_t>(LayoutOf(level7).maxNameLength);
    int offset = kFirstFieldAt;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        FieldDef& f = fields[i];
        f.name = UpperAscii(f.name);
        if (f.name.empty() || f.name.size() > maxName)
            throw DbfError(file, "field name \"" + f.name + "\" must have 1 to " +
                                     std::to_string(maxName) + " characters");
        for (char c : f.name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                throw DbfError(file,
                               "field name \"" + f.name + "\" may hold only letters, digits and _");
        for (std::size_t j = 0; j < i; ++j)
            if (fields[j].name == f.name)
                throw DbfError(file, "field " + f.name + " is defined twice");
        switch (f.type) {
        case FieldType::Integer:
            if (!level7) {
                f.type = FieldType::Numeric; // level 4 has no binary integers
                f.length = 11;
                f.decimals = 0;
            } else {
                f.length = 4;
            }
            break;
        case FieldType::Character:
            if (f.length < 1 || f.length > 254)
                throw DbfError(file, "field " + f.name + " needs a width of 1 to 254");
            break;
        case FieldType::Numeric:
        case FieldType::Float:
            if (f.length < 1 || f.length > 20 || f.decimals < 0 || f.decimals >= f.length)
                throw DbfError(file, "field " + f.name + " has a bad width");
            break;
        case FieldType::Date:
            f.length = 8;
            break;
        case FieldType::Logical:
            f.length = 1;
            break;
        default:
            throw DbfError(file, "field " + f.name + ": this type cannot be created");
        }
        f.offset = offset;
        offset += f.length;
    }
    if (fields.empty())
        throw DbfError(file, "a table needs at least one field");
    if (offset > 65535)
        throw DbfError(file, "records are longer than 65535 bytes");
    return offset;
}

std::vector<unsigned char> MakeHeader(const FieldDefs& fields, bool level7, int recordLength,
                                      std::uint8_t languageId, const std::string& driver) {
    const TableLayout& layout = LayoutOf(level7);
    const auto fixed = static_cast<std::size_t>(layout.fixedHeaderSize);
    const auto desc = static_cast<std::size_t>(layout.descriptorSize);
    std::vector<unsigned char> h(fixed + desc * fields.size() + 1, 0);
    h[kVersionAt] = level7 ? kVersionLevel7 : kVersionLevel3;
    StampDate(h.data());
    EncodeLe16(&h[kHeaderLengthAt], static_cast<std::uint16_t>(h.size()));
    EncodeLe16(&h[kRecordLengthAt], static_cast<std::uint16_t>(recordLength));
    if (level7) {
        std::memcpy(&h[kDriverNameAt], driver.data(),
                    std::min<std::size_t>(driver.size(), kDriverNameSize - 1));
    } else {
        h[kLanguageIdAt] = languageId;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        unsigned char* d = &h[fixed + i * desc];
        const FieldDef& f = fields[i];
        std::memcpy(d, f.name.data(), f.name.size());
        d[layout.typeAt] = static_cast<unsigned char>(f.type);
        d[layout.lengthAt] = static_cast<unsigned char>(f.length);
        d[layout.decimalsAt] = static_cast<unsigned char>(f.decimals);
    }
    h.back() = kDescriptorTerminator;
    return h;
}

} // namespace

DbfTable::DbfTable(FileSystem& fs) : m_fs(fs) {}

DbfTable::~DbfTable() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; Close() is where errors are heard.
    }
}

void DbfTable::Create(const std::string& path, const FieldDefs& fields, TableLevel level,
                      FileSystem& fs) {
    FieldDefs laid = fields;
    const bool level7 = level == TableLevel::Level7;
    const int recordLength = LayOut(laid, level7, path);
    std::vector<unsigned char> header =
        MakeHeader(laid, level7, recordLength, kLanguageWinWe, kDriverWinWe);
    header.push_back(static_cast<unsigned char>(kEndOfFileMark));
    auto file = fs.Open(path, OpenMode::CreateTruncate);
    file->WriteAt(0, header.data(), header.size());
    file->Sync();
    file->Close();
}

void DbfTable::RequireOpen() const {
    if (!m_file)
        throw DbfError(m_path, "the table is not open");
}

void DbfTable::RequireWritable() const {
    RequireOpen();
    if (m_readOnly)
        throw DbfError(m_path, "the table is open read-only");
}

std::string DbfTable::IndexPath() const {
    const std::size_t slash = m_path.find_last_of('/');
    const std::size_t dot = m_path.find_last_of('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? m_path.substr(0, dot)
                                 : m_path;
    const std::string name = m_path.substr(slash == std::string::npos ? 0 : slash + 1);
    const bool upper = UpperAscii(name) == name && name != std::string(name.size(), '.');
    // An index file already there under another letter case is the table's own.
    return m_fs.ResolveCase(stem + (upper ? ".MDX" : ".mdx"));
}

void DbfTable::Open(const std::string& path, bool readOnly) {
    if (m_file)
        throw DbfError(path, "the table object is already open on " + m_path);
    m_path = path;
    m_readOnly = readOnly;
    try {
        auto file = m_fs.Open(path, readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite);
        const std::uint64_t size = file->Size();
        if (size < kCommonHeaderSize)
            throw DbfError(path, "the file is too short for a table header (" +
                                     std::to_string(size) + " bytes)");
        std::vector<unsigned char> header(kCommonHeaderSize);
        file->ReadAt(0, header.data(), kCommonHeaderSize);
        const std::uint16_t headerLength = DecodeLe16(&header[kHeaderLengthAt]);
        if (headerLength > size)
            throw DbfError(path, "the header length " + std::to_string(headerLength) +
                                     " is beyond the end of the file");
        if (headerLength > kCommonHeaderSize) {
            header.resize(headerLength);
            file->ReadAt(kCommonHeaderSize, header.data() + kCommonHeaderSize,
                         headerLength - std::size_t(kCommonHeaderSize));
        }
        ParseHeader(header, size);
        m_recovered = CountRecordsPastHeader(*file, size);
        m_count += m_recovered;
        const std::size_t bytes = std::size_t(m_count) * std::size_t(m_recordLength);
        m_records.clear();
        m_writableMap = readOnly
                            ? nullptr
                            : file->MapWritable(static_cast<std::uint64_t>(m_headerLength), bytes);
        m_mapped = m_writableMap ? m_writableMap
                                 : file->Map(static_cast<std::uint64_t>(m_headerLength), bytes);
        m_mappedCount = m_mapped ? m_count : 0;
        if (!m_mapped && bytes > 0) {
            m_records.assign(bytes, 0);
            file->ReadAt(m_headerLength, m_records.data(), m_records.size());
        }
        m_file = std::move(file);
        if (!readOnly) {
            // A pack or index write that was interrupted leaves its new file beside the table;
            // the table (or index) itself is whole, and the exclusive lock held now means no
            // other program is writing that file.
            m_fs.Remove(path + ".tmp");
            m_fs.Remove(IndexPath() + ".tmp");
        }
        m_head = readOnly ? nullptr : m_file->MapHead(kPostedPrefixSize);
        if (m_recovered > 0 && !readOnly)
            WriteHeaderCount(); // the recovered records count from now on, for every reader
        m_deleted = 0;
        const RecordView view = Records();
        for (std::uint32_t r = 1; r <= m_count; ++r)
            if (view.Record(r)[0] == '*')
                ++m_deleted;
        m_tags.clear();
        m_indexDirty = false;
        // As TDbf: the index file counts only when the header announces it, so a table
        // created anew over an old one does not pick up stale tags.
        m_indexDamaged.clear();
        if (m_header[kIndexFlagAt] != 0 && m_fs.Exists(IndexPath())) {
            try {
                ReadIndexDefinitions();
                // The orders are built from the records below; the file is written anew at
                // Close() only when it may not match them: older than the table (the table
                // changed after the index was last written, by a crash, say).
                const std::int64_t indexTime = m_fs.ModifiedTime(IndexPath());
                const std::int64_t tableTime = m_fs.ModifiedTime(path);
                if (!readOnly && (indexTime == 0 || indexTime < tableTime))
                    m_indexDirty = true;
            } catch (const DbfError& e) {
                // The index is derived data: a damaged one is rebuilt like a missing one, and
                // the caller is told why.
                m_tags.clear();
                m_indexDamaged = e.what();
                m_indexDirty = true;
            }
        }
        RebuildTags();
    } catch (...) {
        m_file.reset();
        ForgetViews();
        m_mappedCount = 0;
        m_records.clear();
        m_records.shrink_to_fit();
        m_tags.clear();
        m_fields.clear();
        throw;
    }
}

std::uint32_t DbfTable::CountRecordsPastHeader(File& file, std::uint64_t fileSize) const {
    // Another program that crashed between writing a record and the header's count leaves
    // whole records after the counted ones. One counts when it starts with a live or deleted
    // mark and its text fields hold no NUL byte (room reserved for appends is zeros, and the
    // end-of-file mark is no record mark).
    std::uint64_t pos =
        std::uint64_t(m_headerLength) + std::uint64_t(m_count) * std::uint64_t(m_recordLength);
    std::string record(static_cast<std::size_t>(m_recordLength), '\0');
    std::uint32_t found = 0;
    while (pos + std::uint64_t(m_recordLength) <= fileSize &&
           std::uint64_t(m_count) + found < 0x7FFFFFFFu) {
        file.ReadAt(pos, record.data(), record.size());
        if (record[0] != ' ' && record[0] != '*')
            break;
        bool whole = true;
        for (const FieldDef& f : m_fields) {
            if (f.type != FieldType::Character && f.type != FieldType::Numeric &&
                f.type != FieldType::Float && f.type != FieldType::Date &&
                f.type != FieldType::Logical)
                continue;
            const char* begin = record.data() + f.offset;
            if (std::memchr(begin, 0, static_cast<std::size_t>(f.length))) {
                whole = false;
                break;
            }
        }
        if (!whole)
            break;
        ++found;
        pos += std::uint64_t(m_recordLength);
    }
    return found;
}

void DbfTable::ParseHeader(const std::vector<unsigned char>& h, std::uint64_t fileSize) {
    const std::string& path = m_path;
    m_version = h[kVersionAt];
    switch (m_version) {
    case kVersionLevel3:
    case kVersionLevel3Memo:
    case kVersionLevel4Memo:
        m_level = 4;
        break;
    case kVersionLevel7:
    case kVersionLevel7Memo:
        m_level = 7;
        break;
    default:
        throw DbfError(path, "not a dBase table (version byte " + HexByte(m_version) + ")");
    }
    const bool level7 = m_level == 7;
    const TableLayout& layout = LayoutOf(level7);
    const auto fixed = static_cast<std::size_t>(layout.fixedHeaderSize);
    const auto desc = static_cast<std::size_t>(layout.descriptorSize);
    m_count = DecodeLe32(&h[kRecordCountAt]);
    m_headerLength = DecodeLe16(&h[kHeaderLengthAt]);
    m_recordLength = DecodeLe16(&h[kRecordLengthAt]);
    if (std::size_t(m_headerLength) < fixed + 1 || h.size() < std::size_t(m_headerLength))
        throw DbfError(path,
                       "the header length " + std::to_string(m_headerLength) + " is too small");
    m_languageId = h[kLanguageIdAt];
    if (level7) {
        const auto* begin = reinterpret_cast<const char*>(&h[kDriverNameAt]);
        m_languageDriver.assign(begin, strnlen(begin, kDriverNameSize));
        m_codePage = m_languageDriver.find("437") != std::string::npos   ? CodePage::Cp437
                     : m_languageDriver.find("850") != std::string::npos ? CodePage::Cp850
                                                                         : CodePage::Windows1252;
        m_collation =
            m_languageDriver == kDriverWinWe ? Collation::WesternEurope1252 : Collation::Binary;
    } else {
        m_languageDriver.clear();
        m_codePage = m_languageId == kLanguageCp437   ? CodePage::Cp437
                     : m_languageId == kLanguageCp850 ? CodePage::Cp850
                                                      : CodePage::Windows1252;
        m_collation =
            m_languageId == kLanguageWinWe ? Collation::WesternEurope1252 : Collation::Binary;
    }

    FieldDefs fields;
    std::size_t pos = fixed;
    bool terminated = false;
    int offset = kFirstFieldAt;
    while (pos < std::size_t(m_headerLength)) {
        if (h[pos] == kDescriptorTerminator) {
            terminated = true;
            break;
        }
        if (pos + desc > std::size_t(m_headerLength))
            break;
        const unsigned char* d = &h[pos];
        const auto* nameBytes = reinterpret_cast<const char*>(d);
        FieldDef f;
        f.name.assign(nameBytes, strnlen(nameBytes, static_cast<std::size_t>(layout.nameSize)));
        const std::string label = "field " + std::to_string(fields.size() + 1);
        if (f.name.empty())
            throw DbfError(path, label + " has no name");
        for (char c : f.name)
            if (static_cast<unsigned char>(c) < 0x20)
                throw DbfError(path, label + " has a damaged name");
        f.name = UpperAscii(f.name);
        const char type = static_cast<char>(d[layout.typeAt]);
        f.length = d[layout.lengthAt];
        f.decimals = d[layout.decimalsAt];
        f.type = static_cast<FieldType>(type);
        int expected = 0;
        switch (type) {
        case 'C':
        case 'N':
        case 'F':
        case 'M':
            break;
        case 'D':
        case 'O':
        case '@':
            expected = 8;
            break;
        case 'L':
            expected = 1;
            break;
        case 'I':
        case '+':
            expected = 4;
            break;
        default:
            throw DbfError(path, "field " + f.name + " has the unknown type " +
                                     HexByte(static_cast<unsigned char>(type)));
        }
        if (f.length == 0)
            throw DbfError(path, "field " + f.name + " has zero width");
        if (expected != 0 && f.length != expected)
            throw DbfError(path, "field " + f.name + " has the width " + std::to_string(f.length) +
                                     ", expected " + std::to_string(expected));
        if (!level7) {
            const std::uint32_t displacement = DecodeLe32(d + kDisplacementAt);
            if (displacement != 0 && displacement != std::uint32_t(offset))
                throw DbfError(path, "field " + f.name + " overlaps another field");
        }
        for (const FieldDef& other : fields)
            if (other.name == f.name)
                throw DbfError(path, "field " + f.name + " is defined twice");
        f.offset = offset;
        offset += f.length;
        fields.push_back(std::move(f));
        pos += desc;
    }
    if (!terminated)
        throw DbfError(path, "the field descriptor array is not terminated");
    if (fields.empty())
        throw DbfError(path, "the table has no fields");
    if (offset != m_recordLength)
        throw DbfError(path, "the record length " + std::to_string(m_recordLength) +
                                 " does not match the fields (" + std::to_string(offset) + ")");
    const std::uint64_t needed =
        std::uint64_t(m_headerLength) + std::uint64_t(m_count) * std::uint64_t(m_recordLength);
    if (needed > fileSize)
        throw DbfError(path, "the file is truncated: the header counts " + std::to_string(m_count) +
                                 " records, the file holds " +
                                 std::to_string((fileSize - std::uint64_t(m_headerLength)) /
                                                std::uint64_t(m_recordLength)));
    m_fields = std::move(fields);
    m_header = h;
}

void DbfTable::ReadIndexDefinitions() {
    const std::string indexPath = IndexPath();
    auto file = m_fs.Open(indexPath, OpenMode::ReadOnly);
    const std::vector<MdxTagInfo> infos = ReadMdxTags(*file);
    file->Close();
    for (const MdxTagInfo& info : infos) {
        TagDef def = info.def;
        const std::string upper = UpperAscii(def.expression);
        def.caseInsensitive = upper.rfind("UPPER(", 0) == 0 && upper.back() == ')';
        try {
            m_tags.push_back(MakeTag(def));
        } catch (const DbfError& e) {
            throw DbfError(indexPath, "tag " + def.name + ": " + e.Reason());
        }
    }
}

std::unique_ptr<IndexTag> DbfTable::MakeTag(const TagDef& def) const {
    return std::make_unique<IndexTag>(def, KeyExpression::Compile(def.expression, m_fields),
                                      m_collation);
}

RecordView DbfTable::Records() const {
    return RecordView{m_mapped, m_mappedCount, m_records.data(), m_recordLength, m_count};
}

void DbfTable::RebuildTags() {
    const RecordView view = Records();
    ForEachTag([&view](IndexTag& tag) { tag.Build(view); });
}

void DbfTable::ForEachTag(const std::function<void(IndexTag&)>& work) {
    if (m_tags.size() < 2 || m_count < 20000) {
        for (auto& tag : m_tags)
            work(*tag);
        return;
    }
    // Two cores: the tags are shared out by key length (the cost of a build), the longest
    // first, each to the side with less work so far.
    std::vector<IndexTag*> mine;
    std::vector<IndexTag*> theirs;
    std::vector<IndexTag*> byCost;
    for (auto& tag : m_tags)
        byCost.push_back(tag.get());
    std::sort(byCost.begin(), byCost.end(), [](const IndexTag* a, const IndexTag* b) {
        return a->Key().Length() > b->Key().Length();
    });
    int mineCost = 0;
    int theirCost = 0;
    for (IndexTag* tag : byCost) {
        if (mineCost <= theirCost) {
            mine.push_back(tag);
            mineCost += tag->Key().Length();
        } else {
            theirs.push_back(tag);
            theirCost += tag->Key().Length();
        }
    }
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            for (IndexTag* tag : theirs)
                work(*tag);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        for (IndexTag* tag : mine)
            work(*tag);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

void DbfTable::Close() {
    if (!m_file)
        return;
    std::exception_ptr failure;
    if (!m_readOnly && m_indexDirty && !m_tags.empty()) {
        try {
            FlushIndex();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    auto file = std::move(m_file);
    ForgetViews();
    m_mappedCount = 0;
    m_records.clear();
    m_records.shrink_to_fit();
    m_tags.clear();
    m_fields.clear();
    m_count = 0;
    m_deleted = 0;
    m_recovered = 0;
    m_indexDamaged.clear();
    try {
        file->Close();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

int DbfTable::FieldIndex(std::string_view name) const {
    const std::string upper = UpperAscii(name);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name == upper)
            return static_cast<int>(i);
    return -1;
}

const char* DbfTable::Record(std::uint32_t recNo) const {
    RequireOpen();
    if (recNo < 1 || recNo > m_count)
        throw DbfError(m_path, "record " + std::to_string(recNo) + " does not exist (" +
                                   std::to_string(m_count) + " records)");
    return Records().Record(recNo);
}

std::string DbfTable::BlankRecord() const {
    RequireOpen();
    std::string r(static_cast<std::size_t>(m_recordLength), ' ');
    for (const FieldDef& f : m_fields)
        if (f.type == FieldType::Integer || f.type == FieldType::AutoIncrement ||
            f.type == FieldType::Double || f.type == FieldType::Timestamp)
            std::memset(r.data() + f.offset, 0, static_cast<std::size_t>(f.length));
    return r;
}

void DbfTable::WriteHeaderCount() {
    StampDate(m_header.data());
    EncodeLe32(&m_header[kRecordCountAt], m_count);
    if (m_head)
        std::memcpy(m_head, m_header.data(), kPostedPrefixSize); // one system call less per post
    else
        m_file->WriteAt(0, m_header.data(), kPostedPrefixSize);
}

void DbfTable::SetMdxFlag(bool on) {
    const unsigned char flag = on ? 1 : 0;
    if (m_header[kIndexFlagAt] == flag)
        return;
    m_file->WriteAt(kIndexFlagAt, &flag, 1);
    m_header[kIndexFlagAt] = flag;
}

void DbfTable::WriteRecord(std::uint32_t recNo, const char* buffer) {
    RequireWritable();
    // The old bytes first: a mapped record shows the new ones as soon as they are written.
    const std::string before(Record(recNo), static_cast<std::size_t>(m_recordLength));
    const std::uint64_t at =
        std::uint64_t(m_headerLength) + std::uint64_t(recNo - 1) * std::uint64_t(m_recordLength);
    if (m_writableMap && recNo <= m_mappedCount)
        std::memcpy(m_writableMap + (at - std::uint64_t(m_headerLength)), buffer,
                    static_cast<std::size_t>(m_recordLength));
    else
        m_file->WriteAt(at, buffer, static_cast<std::size_t>(m_recordLength));
    WriteHeaderCount();
    const RecordView view = Records();
    std::vector<IndexTag*> moved;
    for (auto& tag : m_tags)
        if (tag->KeyDiffers(before.data(), buffer)) {
            tag->Remove(view, recNo, before.data());
            moved.push_back(tag.get());
        }
    if ((before[0] == '*') != (buffer[0] == '*'))
        m_deleted += buffer[0] == '*' ? 1 : std::uint32_t(-1);
    if (recNo > m_mappedCount)
        std::memcpy(m_records.data() +
                        std::size_t(recNo - 1 - m_mappedCount) * std::size_t(m_recordLength),
                    buffer, static_cast<std::size_t>(m_recordLength));
    for (IndexTag* tag : moved)
        tag->Insert(view, recNo);
    if (!moved.empty())
        m_indexDirty = true;
}

std::uint32_t DbfTable::AppendRecord(const char* buffer) {
    AppendRecords(buffer, 1);
    return m_count;
}

void DbfTable::ForgetViews() {
    m_head = nullptr;
    m_mapped = nullptr;
    m_writableMap = nullptr;
}

void DbfTable::AppendRecords(const char* buffers, std::size_t count) {
    RequireWritable();
    if (count == 0)
        return;
    if (std::uint64_t(m_count) + count > 0x7FFFFFFFu)
        throw DbfError(m_path, "the table cannot hold more records");
    const std::size_t bytes = count * std::size_t(m_recordLength);
    const std::uint64_t at =
        std::uint64_t(m_headerLength) + std::uint64_t(m_count) * std::uint64_t(m_recordLength);
    // Record first, count second: a crash in between leaves the old count and a whole table
    // (the record after it is taken back at the next open, as any reader that counts by the
    // file's size takes it). The file ends with the end-of-file mark at every moment: no
    // bytes after it that another reader could take for records.
    m_writeBuffer.assign(buffers, buffers + bytes);
    m_writeBuffer.push_back(kEndOfFileMark);
    m_file->WriteAt(at, m_writeBuffer.data(), m_writeBuffer.size());
    m_records.insert(m_records.end(), buffers, buffers + bytes);
    const std::uint32_t first = m_count + 1;
    m_count += static_cast<std::uint32_t>(count);
    try {
        WriteHeaderCount();
    } catch (...) {
        m_count -= static_cast<std::uint32_t>(count);
        m_records.resize(std::size_t(m_count - m_mappedCount) * std::size_t(m_recordLength));
        throw;
    }
    for (std::uint32_t r = first; r <= m_count; ++r) {
        if (Record(r)[0] == '*')
            ++m_deleted;
        for (auto& tag : m_tags)
            tag->Appended(r);
    }
    if (!m_tags.empty())
        m_indexDirty = true;
}

std::uint32_t DbfTable::AppendValues(const std::vector<std::string>& values) {
    RequireWritable();
    if (values.size() > m_fields.size())
        throw DbfError(m_path, std::to_string(values.size()) + " values for " +
                                   std::to_string(m_fields.size()) + " fields");
    std::string record = BlankRecord();
    for (std::size_t i = 0; i < values.size(); ++i)
        SetText(record.data(), static_cast<int>(i), values[i]);
    return AppendRecord(record.data());
}

void DbfTable::SetDeleted(std::uint32_t recNo, bool deleted) {
    RequireWritable();
    std::string record(Record(recNo), static_cast<std::size_t>(m_recordLength));
    record[0] = deleted ? '*' : ' ';
    WriteRecord(recNo, record.data());
}

int DbfTable::TagIndex(std::string_view name) const {
    const std::string upper = UpperAscii(name);
    for (std::size_t i = 0; i < m_tags.size(); ++i)
        if (UpperAscii(m_tags[i]->Def().name) == upper)
            return static_cast<int>(i);
    return -1;
}

void DbfTable::AddTag(const TagDef& def) {
    RequireWritable();
    if (def.name.empty() || def.name.size() > std::size_t(kMdxMaxTagNameLength))
        throw DbfError(IndexPath(), "tag name \"" + def.name + "\" must have 1 to " +
                                        std::to_string(kMdxMaxTagNameLength) + " characters");
    if (TagIndex(def.name) >= 0)
        throw DbfError(IndexPath(), "tag " + def.name + " exists already");
    if (m_tags.size() >= std::size_t(kMdxMaxTags))
        throw DbfError(IndexPath(),
                       "a table can have at most " + std::to_string(kMdxMaxTags) + " tags");
    std::unique_ptr<IndexTag> tag;
    try {
        tag = MakeTag(def);
    } catch (const DbfError& e) {
        throw DbfError(IndexPath(), "tag " + def.name + ": " + e.Reason());
    }
    tag->Build(Records());
    m_tags.push_back(std::move(tag));
    SetMdxFlag(true);
    m_indexDirty = true;
}

void DbfTable::RegenerateTags() {
    RequireOpen();
    RebuildTags();
    if (!m_readOnly && !m_tags.empty())
        m_indexDirty = true;
}

const std::vector<std::uint32_t>& DbfTable::TagOrder(int index) {
    RequireOpen();
    return m_tags.at(static_cast<std::size_t>(index))->Order(Records());
}

void DbfTable::FlushIndex() {
    RequireWritable();
    if (m_tags.empty() || !m_indexDirty)
        return;
    const std::string target = IndexPath();
    const std::string temp = target + ".tmp";
    const RecordView view = Records();
    // The orders settle side by side (each tag merges or rebuilds on its own), then the
    // file is written from them.
    ForEachTag([&view](IndexTag& tag) { tag.Order(view); });
    std::vector<MdxTagOut> out;
    // Position of each tag's writer in its runs of equal keys (the writer asks for the
    // entries in order).
    std::vector<std::size_t> runAt(m_tags.size(), 0);
    for (std::size_t k = 0; k < m_tags.size(); ++k) {
        IndexTag* t = m_tags[k].get();
        const std::vector<std::uint32_t>& order = t->Order(view);
        MdxTagOut o;
        o.name = t->Def().name;
        o.expression = t->Def().expression;
        o.descending = t->Def().descending;
        o.numeric = t->Key().Numeric();
        o.keyLength = t->Key().Length();
        o.count = order.size();
        std::size_t* run = &runAt[k];
        if (t->RunCount() > 0) {
            // The keys are known without reading the records again.
            o.entry = [t, &order, run](std::size_t i, char* key, double& number) {
                while (t->RunEnd(*run) <= i)
                    ++*run;
                if (t->Key().Numeric())
                    number = t->RunNumKey(*run);
                else
                    std::memcpy(key, t->RunCharKey(*run),
                                static_cast<std::size_t>(t->Key().Length()));
                return order[i];
            };
        } else {
            o.entry = [t, &order, view](std::size_t i, char* key, double& number) {
                const std::uint32_t recNo = order[i];
                const char* rec = view.Record(recNo);
                if (t->Key().Numeric())
                    number = t->Key().NumericKey(rec);
                else
                    t->Key().CharKey(rec, key);
                return recNo;
            };
        }
        out.push_back(std::move(o));
    }
    const std::size_t slash = m_path.find_last_of('/');
    std::string tableName = m_path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = tableName.find_last_of('.');
    if (dot != std::string::npos)
        tableName.resize(dot);
    const std::uint8_t language = m_collation == Collation::WesternEurope1252
                                      ? kLanguageWinWe
                                      : (m_level == 7 ? 0 : m_languageId);
    try {
        auto file = m_fs.Open(temp, OpenMode::CreateTruncate);
        WriteMdx(*file, tableName, m_level == 7, language, out);
        file->Sync();
        file->Close();
        m_fs.Rename(temp, target);
    } catch (...) {
        try {
            m_fs.Remove(temp);
        } catch (...) {
        }
        throw;
    }
    m_indexDirty = false;
}

void DbfTable::ReplaceFile(const FieldDefs& fields, const std::vector<char>& records,
                           std::uint32_t count) {
    const std::string temp = m_path + ".tmp";
    std::unique_ptr<File> file;
    try {
        file = m_fs.Open(temp, OpenMode::CreateTruncate);
        file->Reserve(m_header.size() + records.size() + 1);
        file->WriteAt(0, m_header.data(), m_header.size());
        file->WriteAt(m_header.size(), records.data(), records.size());
        const char eof = kEndOfFileMark;
        file->WriteAt(m_header.size() + records.size(), &eof, 1);
        file->Sync();
        m_fs.Rename(temp, m_path);
    } catch (...) {
        file.reset();
        try {
            m_fs.Remove(temp);
        } catch (...) {
        }
        throw;
    }
    // The new file is in place and already locked by us; the old one is gone.
    file->SetPath(m_path);
    try {
        m_file->Close();
    } catch (...) {
        // The old file was replaced; an error closing it cannot lose anything.
    }
    ForgetViews(); // the old file's views went with it; the caller sets m_records
    m_mappedCount = 0;
    m_file = std::move(file);
    m_head = m_file->MapHead(kPostedPrefixSize);
    m_fields = fields;
    m_count = count;
    m_deleted = 0;
}

void DbfTable::Pack() {
    RequireWritable();
    // The orders are settled first: the kept records keep their sequence, so each order
    // follows the new numbers without a key being read again.
    const RecordView view = Records();
    ForEachTag([&view](IndexTag& tag) { tag.Order(view); });
    std::vector<char> kept;
    kept.reserve(std::size_t(m_count - m_deleted) * std::size_t(m_recordLength));
    std::vector<std::uint32_t> newNumber(std::size_t(m_count) + 1, 0);
    std::uint32_t count = 0;
    for (std::uint32_t r = 1; r <= m_count; ++r) {
        const char* rec = view.Record(r);
        if (rec[0] == '*')
            continue;
        kept.insert(kept.end(), rec, rec + m_recordLength);
        newNumber[r] = ++count;
    }
    const std::vector<unsigned char> oldHeader = m_header;
    StampDate(m_header.data());
    EncodeLe32(&m_header[kRecordCountAt], count);
    try {
        ReplaceFile(m_fields, kept, count);
    } catch (...) {
        m_header = oldHeader;
        throw;
    }
    m_records = std::move(kept);
    for (auto& tag : m_tags)
        tag->Renumber(newNumber);
    if (!m_tags.empty())
        m_indexDirty = true;
}

void DbfTable::Restructure(const FieldDefs& newFields) {
    RequireWritable();
    FieldDefs fields = newFields;
    const bool level7 = m_level == 7;
    const int recordLength = LayOut(fields, level7, m_path);
    // Every tag must still make sense before anything is written.
    std::vector<KeyExpression> keys;
    for (auto& tag : m_tags) {
        try {
            keys.push_back(KeyExpression::Compile(tag->Def().expression, fields));
        } catch (const DbfError& e) {
            throw DbfError(m_path,
                           "restructure would break tag " + tag->Def().name + ": " + e.Reason());
        }
    }
    std::vector<char> out;
    std::uint32_t count = 0;
    std::string blank(static_cast<std::size_t>(recordLength), ' ');
    for (const FieldDef& f : fields)
        if (f.type == FieldType::Integer)
            std::memset(blank.data() + f.offset, 0, 4);
    for (std::uint32_t r = 1; r <= m_count; ++r) {
        const char* rec = Record(r);
        if (rec[0] == '*')
            continue;
        std::string next = blank;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int old = FieldIndex(fields[i].name);
            if (old < 0)
                continue;
            const FieldDef& from = m_fields[static_cast<std::size_t>(old)];
            const FieldDef& to = fields[i];
            if (from.type == to.type && from.length == to.length && from.decimals == to.decimals) {
                std::memcpy(next.data() + to.offset, rec + from.offset,
                            static_cast<std::size_t>(to.length));
            } else if (!IsNull(rec, old)) {
                Encode(next.data(), to, Text(rec, old));
            }
        }
        out.insert(out.end(), next.begin(), next.end());
        ++count;
    }
    const std::vector<unsigned char> oldHeader = m_header;
    const FieldDefs oldFields = m_fields;
    const int oldLength = m_recordLength;
    const int oldHeaderLength = m_headerLength;
    m_header = MakeHeader(fields, level7, recordLength, m_languageId,
                          m_languageDriver.empty() ? kDriverWinWe : m_languageDriver);
    m_header[kIndexFlagAt] = oldHeader[kIndexFlagAt];
    EncodeLe32(&m_header[kRecordCountAt], count);
    m_headerLength = static_cast<int>(m_header.size());
    m_recordLength = recordLength;
    try {
        ReplaceFile(fields, out, count);
    } catch (...) {
        m_header = oldHeader;
        m_fields = oldFields;
        m_recordLength = oldLength;
        m_headerLength = oldHeaderLength;
        throw;
    }
    m_records = std::move(out);
    std::vector<std::unique_ptr<IndexTag>> tags;
    for (std::size_t i = 0; i < m_tags.size(); ++i)
        tags.push_back(
            std::make_unique<IndexTag>(m_tags[i]->Def(), std::move(keys[i]), m_collation));
    m_tags = std::move(tags);
    RebuildTags();
    if (!m_tags.empty())
        m_indexDirty = true;
}

} // namespace velmora::core::dbf
