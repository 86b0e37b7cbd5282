#pragma once
// A dBase table file (level 7, and levels 3/4 for the reference tables) with its production
// index (.mdx). Plain C++; text crosses this interface as UTF-8 and is stored in the
// table's code page.
//
// The records are mapped from the file for as long as the table is open (records appended
// since are kept in memory beside them), so walking and sorting a million records needs
// no reads and no copy. Every change is written through at once: when WriteRecord,
// AppendRecord or SetDeleted returns, the record and the header with the record count are
// in the file (the operating system's cache; a crash of the program loses nothing). At every
// moment the file is header, records and the end-of-file mark, nothing after: another reader
// (one that counts records by the file's size, too) sees exactly the posted records. Pack
// and Restructure write a new file, flush it to disk and rename it over the old one: an
// interruption leaves the old or the new table whole. The index file is derived data: its
// tag definitions are read at open, the orders are always built from the records, and it is
// written anew at Close() (or FlushIndex()). A damaged or missing index file never touches
// the table.
//
// Contract: all members except Create, Open and IsOpen REQUIRE IsOpen(); those that change
// the table also REQUIRE !ReadOnly(). Violations throw DbfError. Record numbers are physical
// and start at 1.

#include "core/dbf/codepage.h"
#include "core/dbf/collation.h"
#include "core/dbf/dbferror.h"
#include "core/dbf/fielddef.h"
#include "core/dbf/fileio.h"
#include "core/dbf/indextag.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::core::dbf {

enum class TableLevel { Level4 = 4, Level7 = 7 };

class DbfTable {
public:
    explicit DbfTable(FileSystem& fs = DefaultFileSystem());
    ~DbfTable(); // closes without reporting errors; call Close() to hear about them
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // Writes an empty table (no index file). Level 7 tables carry the language driver
    // "DBWINWE0", level 4 tables the driver byte 0x58: both Windows-1252. Throws on an empty
    // or duplicate field name, a name too long for the level, or a bad width.
    static void Create(const std::string& path, const FieldDefs& fields,
                       TableLevel level = TableLevel::Level7, FileSystem& fs = DefaultFileSystem());

    // Opens exclusively (readOnly false: a second exclusive open, in this process or
    // another, fails) or read-only. Reads the tag definitions of the production index when
    // the header says there is one and the file exists, and builds every tag.
    void Open(const std::string& path, bool readOnly = false);
    // Writes the index file when tags changed, releases the lock; reports I/O errors.
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    bool ReadOnly() const { return m_readOnly; }
    const std::string& Path() const { return m_path; }
    std::string IndexPath() const;
    int Level() const { return m_level; }
    CodePage Codepage() const { return m_codePage; }
    Collation TableCollation() const { return m_collation; }
    const std::string& LanguageDriver() const { return m_languageDriver; }

    const FieldDefs& Fields() const { return m_fields; }
    int FieldIndex(std::string_view name) const; // letter case ignored; -1 when absent
    int RecordLength() const { return m_recordLength; }
    std::uint32_t PhysicalCount() const { return m_count; }
    std::uint32_t DeletedCount() const { return m_deleted; }
    // Whole records found after the ones the header counted when the table was opened (left
    // by a program that stopped between writing a record and its count); they are part of the
    // table now.
    std::uint32_t RecoveredCount() const { return m_recovered; }
    // Why the index file could not be read at open ("" when it could, or there is none); its
    // tags are then missing and are written anew at Close().
    const std::string& IndexDamage() const { return m_indexDamaged; }

    // ---- records
    const char* Record(std::uint32_t recNo) const;
    bool IsDeleted(std::uint32_t recNo) const { return Record(recNo)[0] == '*'; }
    std::string BlankRecord() const;
    void WriteRecord(std::uint32_t recNo, const char* buffer);
    std::uint32_t AppendRecord(const char* buffer);
    // Values in field order as text (UTF-8; integers as digits; empty for blank). Fewer
    // values than fields leave the rest blank.
    std::uint32_t AppendValues(const std::vector<std::string>& values);
    // Many records at once (count * RecordLength() bytes): one write, one header update.
    void AppendRecords(const char* buffers, std::size_t count);
    void SetDeleted(std::uint32_t recNo, bool deleted);

    // ---- fields of a record buffer (RecordLength() bytes)
    std::string Text(const char* record, int field) const; // trailing blanks dropped
    bool IsNull(const char* record, int field) const;
    // Throws DbfError when the field holds something that is not a whole number.
    std::optional<long long> Integer(const char* record, int field) const;
    void SetText(char* record, int field, std::string_view utf8) const; // numbers parsed
    void SetInteger(char* record, int field, long long value) const;
    void SetNull(char* record, int field) const;

    // ---- index tags
    // Adds a tag and builds it. Throws on a duplicate name (letter case ignored), a bad
    // expression, or more than 47 tags.
    void AddTag(const TagDef& def);
    void RegenerateTags();
    int TagCount() const { return static_cast<int>(m_tags.size()); }
    const TagDef& Tag(int index) const { return m_tags.at(static_cast<std::size_t>(index))->Def(); }
    int TagIndex(std::string_view name) const; // letter case ignored; -1 when absent
    // Record numbers in the tag's order, deleted records included.
    const std::vector<std::uint32_t>& TagOrder(int index);
    IndexTag& TagObject(int index) { return *m_tags.at(static_cast<std::size_t>(index)); }
    RecordView Records() const;
    void FlushIndex();

    // ---- whole-table operations
    void Pack();
    // New field list; fields keep their values by name; deleted records are dropped.
    void Restructure(const FieldDefs& fields);

private:
    void RequireOpen() const;
    void RequireWritable() const;
    void ParseHeader(const std::vector<unsigned char>& header, std::uint64_t fileSize);
    void ReadIndexDefinitions();
    std::uint32_t CountRecordsPastHeader(File& file, std::uint64_t fileSize) const;
    void WriteHeaderCount();
    void SetMdxFlag(bool on);
    void RebuildTags();
    // Runs work on every tag, on two threads for large tables.
    void ForEachTag(const std::function<void(IndexTag&)>& work);
    std::unique_ptr<IndexTag> MakeTag(const TagDef& def) const;
    void ReplaceFile(const FieldDefs& fields, const std::vector<char>& records,
                     std::uint32_t count);
    void CheckField(int field) const;
    void ForgetViews();
    void Encode(char* record, const FieldDef& f, std::string_view utf8) const;
    void EncodeInteger(char* record, const FieldDef& f, long long value) const;

    FileSystem& m_fs;
    std::unique_ptr<File> m_file;
    std::string m_path;
    bool m_readOnly = false;
    int m_level = 7;
    std::uint8_t m_version = 4;
    std::uint8_t m_languageId = 0;
    std::string m_languageDriver;
    CodePage m_codePage = CodePage::Windows1252;
    Collation m_collation = Collation::WesternEurope1252;
    std::vector<unsigned char> m_header; // the header bytes as read or written
    FieldDefs m_fields;
    int m_headerLength = 0;
    int m_recordLength = 0;
    std::uint32_t m_count = 0;
    std::uint32_t m_deleted = 0;
    std::uint32_t m_recovered = 0;
    std::string m_indexDamaged;
    // Records 1..m_mappedCount are read from the mapped file (m_mapped); the others, and all
    // records when the file cannot be mapped, live in m_records.
    char* m_head = nullptr; // the header's first bytes, mapped writable (or nullptr)
    const char* m_mapped = nullptr;
    char* m_writableMap = nullptr; // m_mapped, when the file lets records be written through it
    std::uint32_t m_mappedCount = 0;
    std::vector<char> m_records;
    std::vector<char> m_writeBuffer; // reused by appends
    std::vector<std::unique_ptr<IndexTag>> m_tags;
    bool m_indexDirty = false;
};

} // namespace velmora::core::dbf
