// libFuzzer target for the readers of the table engine: the table header and records, and
// the production index file. Built with the other fuzz targets (VELMORA_FUZZ, see
// scripts/fuzz.sh).
//
// Input: the first byte chooses what the rest is and how it is opened. Bit 0 clear: a whole
// table file; set: an index file beside a small valid table that says it has one. Bit 1
// clear: opened read-only; set: opened for writing as the program opens a database, then a
// record is appended, one is marked deleted and the table is closed (which writes the index
// anew). Files live in memory.

#include "core/dbf/dbftable.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace dbf = velmora::core::dbf;

namespace {

class MemoryFileSystem : public dbf::FileSystem {
public:
    std::map<std::string, std::string> files;

    std::unique_ptr<dbf::File> Open(const std::string& path, dbf::OpenMode mode) override {
        if (mode == dbf::OpenMode::CreateTruncate)
            files[path].clear();
        else if (!files.count(path))
            throw dbf::DbfError(path, "cannot open: No such file");
        return std::make_unique<MemoryFile>(*this, path);
    }
    void Rename(const std::string& from, const std::string& to) override {
        files[to] = files[from];
        files.erase(from);
    }
    void Remove(const std::string& path) override { files.erase(path); }
    bool Exists(const std::string& path) override { return files.count(path) > 0; }

private:
    class MemoryFile : public dbf::File {
    public:
        MemoryFile(MemoryFileSystem& fs, std::string path) : m_fs(fs), m_path(std::move(path)) {}
        const std::string& Path() const override { return m_path; }
        void SetPath(const std::string& path) override { m_path = path; }
        void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
            const std::string& data = m_fs.files[m_path];
            if (offset > data.size() || size > data.size() - offset)
                throw dbf::DbfError(m_path, "unexpected end of file");
            std::memcpy(buffer, data.data() + offset, size);
        }
        void WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
            std::string& data = m_fs.files[m_path];
            if (data.size() < offset + size)
                data.resize(offset + size);
            std::memcpy(data.data() + offset, buffer, size);
        }
        std::uint64_t Size() override { return m_fs.files[m_path].size(); }
        void Truncate(std::uint64_t size) override { m_fs.files[m_path].resize(size); }
        void Sync() override {}
        void Close() override {}

    private:
        MemoryFileSystem& m_fs;
        std::string m_path;
    };
};

// The table an index input sits beside: the fields of the table the index seeds were
// written for (fuzz/make_seeds.cpp), so that their tags find their fields.
const std::string& ValidTable() {
    static const std::string bytes = [] {
        MemoryFileSystem fs;
        dbf::DbfTable::Create(
            "t.dbf",
            {dbf::IntegerField("ID"), dbf::TextField("DESMID", 80), dbf::TextField("KXY", 7)},
            dbf::TableLevel::Level7, fs);
        dbf::DbfTable t(fs);
        t.Open("t.dbf");
        t.AppendValues({"1", "Closterium", "12-34"});
        t.AppendValues({"2", "cosmarium", ""});
        t.AppendValues({"-3", "Staurastrum", "ab"});
        t.AddTag({"ID", "ID"});
        t.Close();
        return fs.files["t.dbf"];
    }();
    return bytes;
}

void Exercise(dbf::DbfTable& t) {
    for (std::uint32_t r = 1; r <= t.PhysicalCount() && r <= 64; ++r) {
        const char* rec = t.Record(r);
        for (int f = 0; f < static_cast<int>(t.Fields().size()); ++f) {
            (void)t.Text(rec, f);
            (void)t.IsNull(rec, f);
            try {
                (void)t.Integer(rec, f);
            } catch (const dbf::DbfError&) {
            }
        }
    }
    for (int i = 0; i < t.TagCount(); ++i)
        (void)t.TagOrder(i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    MemoryFileSystem fs;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 2 == 0) {
        fs.files["t.dbf"] = rest;
    } else {
        fs.files["t.dbf"] = ValidTable();
        fs.files["t.mdx"] = rest;
    }
    const bool writable = (data[0] & 2) != 0;
    dbf::DbfTable t(fs);
    try {
        t.Open("t.dbf", !writable);
        if (velmora::fuzz::Verbose())
            std::fprintf(
                stderr, "level %d, %zu fields, %u records, %d tags%s%s\n", t.Level(),
                t.Fields().size(), t.PhysicalCount(), t.TagCount(),
                t.IndexDamage().empty() ? "" : ", index damage: ", t.IndexDamage().c_str());
        Exercise(t);
        if (writable) {
            const std::uint32_t added = t.AppendRecord(t.BlankRecord().c_str());
            t.SetDeleted(added, true);
            if (t.PhysicalCount() > 1)
                t.SetDeleted(1, !t.IsDeleted(1));
            Exercise(t);
        }
        const std::uint32_t count = t.PhysicalCount();
        const bool indexWhole = t.IndexDamage().empty();
        t.Close();
        if (writable) {
            // What the engine wrote itself reads back: the same records, and an index that
            // was whole stays whole.
            dbf::DbfTable again(fs);
            try {
                again.Open("t.dbf", true);
            } catch (const dbf::DbfError& e) {
                std::fprintf(stderr, "reopen: %s\n", e.what());
                VELMORA_FUZZ_CHECK(!"a table written by the engine opens again");
            }
            VELMORA_FUZZ_CHECK(again.PhysicalCount() == count);
            VELMORA_FUZZ_CHECK(!indexWhole || again.IndexDamage().empty());
            Exercise(again);
        }
    } catch (const dbf::DbfError& e) {
        if (velmora::fuzz::Verbose())
            std::fprintf(stderr, "refused: %s\n", e.what());
        // A clear error is the expected answer to a bad file.
    }
    return 0;
}
