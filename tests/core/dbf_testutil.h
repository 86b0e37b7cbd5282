#pragma once
// Shared pieces of the table engine tests: the two user table layouts, a file system that
// fails on request, and file helpers.

#include "core/dbf/dbftable.h"
#include "core/dbf/fileio.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace velmora::testing {

namespace dbf = velmora::core::dbf;

inline dbf::FieldDefs LocationFields() {
    return {dbf::IntegerField("ID"),           dbf::TextField("LOCATIE", 100),
            dbf::TextField("DAG", 2),          dbf::TextField("MAAND", 2),
            dbf::TextField("JAAR", 4),         dbf::TextField("ZUURGRAAD", 50),
            dbf::TextField("OPMLOCATIE", 100), dbf::TextField("COORDX", 12),
            dbf::TextField("COORDY", 12),      dbf::TextField("MONSTERSRT", 50),
            dbf::TextField("ANALIST", 25),     dbf::TextField("OWNER", 25),
            dbf::TextField("LOCCODE", 20),     dbf::TextField("PH", 20),
            dbf::TextField("GELEIDING", 20),   dbf::TextField("WATERTEMP", 20),
            dbf::TextField("WTYPE", 25),       dbf::TextField("HERBARIUM", 25),
            dbf::TextField("AMAAT", 25)};
}

inline dbf::FieldDefs SampleFields(bool withInfo = true) {
    dbf::FieldDefs f = {
        dbf::IntegerField("ID"),    dbf::TextField("DATUM", 10),     dbf::TextField("KXY", 7),
        dbf::TextField("UXY", 7),   dbf::TextField("DESMID", 80),    dbf::TextField("ABUND", 6),
        dbf::TextField("DL", 6),    dbf::TextField("ZYGO", 6),       dbf::TextField("FOTO", 6),
        dbf::TextField("ZEKER", 6), dbf::TextField("OPMDESMID", 100)};
    if (withInfo)
        f.push_back(dbf::TextField("DESMIDINFO", 100));
    return f;
}

inline void AddLocationTags(dbf::DbfTable& t) {
    t.AddTag({"ID", "ID", false, true});
    t.AddTag({"Locatie", "SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG", false, true});
    t.AddTag({"Datum", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", false, true});
    t.AddTag({"DatumDesc", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", true, true});
}

inline void AddSampleTags(dbf::DbfTable& t) {
    t.AddTag({"DESMID", "DESMID", false, true});
    t.AddTag({"ID", "ID", false, true});
    t.AddTag({"KXY", "KXY", false, true});
    t.AddTag({"UXY", "UXY", false, true});
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// Passes everything to the real file system, but the write number `failAt` (counted over
// files whose path contains `pattern`) fails: by default as a full disk would, after writing
// half. With `realistic`, a full disk writes what lies within the file (overwriting needs no
// new room) and fails for the rest; `refuse` fails the write as a refused permission does,
// writing nothing.
class FaultyFileSystem : public dbf::FileSystem {
public:
    enum class Fault { HalfThenFull, FullBeyondEnd, Refused };
    std::string pattern;
    int failAt = -1;
    int writes = 0;
    Fault fault = Fault::HalfThenFull;

    std::unique_ptr<dbf::File> Open(const std::string& path, dbf::OpenMode mode) override {
        return std::make_unique<FaultyFile>(*this, dbf::DefaultFileSystem().Open(path, mode));
    }
    void Rename(const std::string& from, const std::string& to) override {
        dbf::DefaultFileSystem().Rename(from, to);
    }
    void Remove(const std::string& path) override { dbf::DefaultFileSystem().Remove(path); }
    bool Exists(const std::string& path) override { return dbf::DefaultFileSystem().Exists(path); }

private:
    class FaultyFile : public dbf::File {
    public:
        FaultyFile(FaultyFileSystem& fs, std::unique_ptr<dbf::File> inner)
            : m_fs(fs), m_inner(std::move(inner)) {}
        const std::string& Path() const override { return m_inner->Path(); }
        void SetPath(const std::string& path) override { m_inner->SetPath(path); }
        void ReadAt(std::uint64_t o, void* b, std::size_t n) override { m_inner->ReadAt(o, b, n); }
        void WriteAt(std::uint64_t o, const void* b, std::size_t n) override {
            if (Path().find(m_fs.pattern) != std::string::npos && m_fs.writes++ == m_fs.failAt) {
                switch (m_fs.fault) {
                case Fault::HalfThenFull:
                    m_inner->WriteAt(o, b, n / 2);
                    break;
                case Fault::FullBeyondEnd: {
                    const std::uint64_t size = m_inner->Size();
                    if (o < size)
                        m_inner->WriteAt(
                            o, b, static_cast<std::size_t>(std::min<std::uint64_t>(n, size - o)));
                    break;
                }
                case Fault::Refused:
                    throw dbf::DbfError(Path(), "write failed: Permission denied", EACCES);
                }
                throw dbf::DbfError(Path(), "write failed: No space left on device", ENOSPC);
            }
            m_inner->WriteAt(o, b, n);
        }
        std::uint64_t Size() override { return m_inner->Size(); }
        void Truncate(std::uint64_t s) override { m_inner->Truncate(s); }
        void Sync() override { m_inner->Sync(); }
        void Close() override { m_inner->Close(); }
        const char* Map(std::uint64_t offset, std::size_t size) override {
            return m_inner->Map(offset, size);
        }
        char* MapHead(std::size_t size) override { return m_inner->MapHead(size); }

    private:
        FaultyFileSystem& m_fs;
        std::unique_ptr<dbf::File> m_inner;
    };
};

} // namespace velmora::testing
