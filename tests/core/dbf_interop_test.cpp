// Interoperability with TDbf, the dBase library earlier versions of the program used and
// that may open users' databases again. A Pascal oracle (tests/dbf/dbforacle.pas) drives
// TDbf: it writes tables and indexes that this engine must read, and it walks the tables
// and indexes this engine writes. Dumps on both sides have one line per visible record in
// physical order and in the order of every tag, text in the table's code page.

#include "core/dbf/dbftable.h"
#include "tests/core/dbf_testutil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora::testing;
namespace dbf = velmora::core::dbf;

namespace {

#ifdef VELMORA_DBF_ORACLE
const char* const kOracle = VELMORA_DBF_ORACLE;
#else
const char* const kOracle = nullptr;
#endif

struct Dump {
    std::vector<std::string> tags;    // "NAME<TAB>expression<TAB>descending"
    std::vector<std::string> records; // "ORDER<TAB>recno<TAB>fields..."
};

Dump RunOracle(const QStringList& args) {
    QProcess p;
    p.start(QString::fromUtf8(kOracle), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("dbforacle " + args.join(' ').toStdString() +
                                 " failed: " + p.readAllStandardError().toStdString());
    Dump d;
    const QByteArray out = p.readAllStandardOutput();
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        std::string s = line.toStdString();
        if (s.rfind("#tag\t", 0) == 0)
            d.tags.push_back(s.substr(5));
        else if (s[0] != '#')
            d.records.push_back(s);
    }
    return d;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The same dump from our engine.
Dump OurDump(const std::string& path) {
    dbf::DbfTable t;
    t.Open(path, true);
    Dump d;
    auto line = [&](const std::string& order, std::uint32_t r) {
        std::string s = order + "\t" + std::to_string(r);
        for (int f = 0; f < static_cast<int>(t.Fields().size()); ++f) {
            const char* rec = t.Record(r);
            s += "\t" + (t.IsNull(rec, f) ? std::string("<null>")
                                          : dbf::FromUtf8(t.Text(rec, f), t.Codepage()));
        }
        return s;
    };
    for (int i = 0; i < t.TagCount(); ++i)
        d.tags.push_back(Upper(t.Tag(i).name) + "\t" + t.Tag(i).expression + "\t" +
                         (t.Tag(i).descending ? "1" : "0"));
    for (std::uint32_t r = 1; r <= t.PhysicalCount(); ++r)
        if (!t.IsDeleted(r))
            d.records.push_back(line("-", r));
    for (int i = 0; i < t.TagCount(); ++i)
        for (std::uint32_t r : t.TagOrder(i))
            if (!t.IsDeleted(r))
                d.records.push_back(line(Upper(t.Tag(i).name), r));
    return d;
}

bool IsAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::vector<std::string> AsciiOnly(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(out), IsAscii);
    return out;
}

class DbfInteropTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kOracle)
            GTEST_SKIP() << "fpc was not found: the TDbf oracle is not built";
    }
    std::string Path(const std::string& name) const {
        return m_dir.path().toStdString() + "/" + name;
    }
    QTemporaryDir m_dir;
};

TEST_F(DbfInteropTest, TablesAndTagsWrittenByTDbfReadTheSame) {
    RunOracle({"create", m_dir.path()});
    for (const char* name : {"Oracle1.dbf", "Oracle2.dbf", "Biotoopcodes.dbf", "Hokken.dbf"}) {
        SCOPED_TRACE(name);
        const Dump theirs = RunOracle({"dump", QString::fromStdString(Path(name))});
        const Dump ours = OurDump(Path(name));
        EXPECT_EQ(ours.tags, theirs.tags);
        EXPECT_EQ(ours.records, theirs.records);
    }
    // Spot checks in UTF-8 on our side.
    dbf::DbfTable t;
    t.Open(Path("Oracle1.dbf"));
    EXPECT_EQ(t.Level(), 7);
    EXPECT_EQ(t.TagCount(), 4);
    EXPECT_EQ(t.Text(t.Record(2), 1), "Ätsch meer");
    EXPECT_EQ(t.Text(t.Record(5), 6), "ëïöü ÀÉ ß");
    EXPECT_EQ(t.Integer(t.Record(4), 0), -2);
    t.Close();
    t.Open(Path("Biotoopcodes.dbf"), true);
    EXPECT_EQ(t.Level(), 4);
    EXPECT_EQ(t.Text(t.Record(3), 1), "Hoogveen, ongestoord; één");
}

TEST_F(DbfInteropTest, TablesAndIndexesWeWriteAreWalkedAndRegeneratedByTDbf) {
    const std::string locations = Path("Ven1.dbf");
    const std::string samples = Path("Ven2.dbf");
    dbf::DbfTable::Create(locations, LocationFields());
    dbf::DbfTable::Create(samples, SampleFields());
    {
        dbf::DbfTable l;
        l.Open(locations);
        AddLocationTags(l);
        const char* places[] = {"Ven bij Oisterwijk", "achterste plas", "Zwarte ven",
                                "Groot Huisven", "ven"};
        for (int i = 0; i < 120; ++i) {
            const std::string day = std::to_string(10 + i % 18);
            const std::string month = (i % 12 < 9 ? "0" : "") + std::to_string(1 + i % 12);
            l.AppendValues({std::to_string(i * 7 % 131), places[i % 5], day, month,
                            std::to_string(1980 + i % 37)});
        }
        l.AppendValues({"500", "Éénhoorn", "01", "02", "2003"});
        l.AppendValues({"501", "éénhoorn", "01", "02", "2003"});
        l.SetDeleted(5, true);
        l.Close();

        dbf::DbfTable s;
        s.Open(samples);
        AddSampleTags(s);
        const char* genera[] = {"Closterium", "closterium",  "Cosmarium",
                                "Euastrum",   "Staurastrum", "Micrasterias"};
        const char* species[] = {"acerosum", "lunula",      "botrytis",      "ansatum",
                                 "rotata",   "punctulatum", "margaritiferum"};
        for (int i = 0; i < 700; ++i) {
            const std::string name = std::string(genera[i % 6]) + " " + species[(i / 6) % 7];
            const std::string kxy =
                i % 9 == 0 ? "" : std::to_string(100 + i % 50) + "-" + std::to_string(300 + i % 7);
            s.AppendValues({std::to_string(i % 120), "2003-05-07", kxy,
                            "A" + std::to_string(i % 4) + "-1" + std::to_string(i % 10), name,
                            std::to_string(i % 5)});
        }
        s.AppendValues({"7", "", "", "", "Äpfelalge", "", "", "", "", "", "Crème"});
        s.AppendValues({"8", "", "", "", "äpfelalge"});
        s.AppendValues({"9", "", "", "", "Zygnema"});
        for (std::uint32_t r = 3; r <= 700; r += 97)
            s.SetDeleted(r, true);
        std::string rec(s.Record(10), static_cast<std::size_t>(s.RecordLength()));
        s.SetText(rec.data(), s.FieldIndex("DESMID"), "Actinotaenium");
        s.WriteRecord(10, rec.data());
        s.Close();
    }
    for (const std::string& path : {locations, samples}) {
        SCOPED_TRACE(path);
        const Dump ours = OurDump(path);
        // TDbf walks the B-trees we wrote, without regenerating: the same records in the
        // same order, accented letters included.
        const Dump walked = RunOracle({"dump", QString::fromStdString(path)});
        EXPECT_EQ(walked.tags, ours.tags);
        EXPECT_EQ(walked.records, ours.records);
        // TDbf regenerates the tags from our tables: the same order again. Both sides order
        // character keys by the DBWINWE0 weights of the raw Windows-1252 bytes, so accented
        // letters agree too; the plain-ASCII check is kept apart to show where a future
        // difference would lie.
        const Dump regenerated = RunOracle({"dump", QString::fromStdString(path), "regen"});
        EXPECT_EQ(regenerated.tags, ours.tags);
        EXPECT_EQ(AsciiOnly(regenerated.records), AsciiOnly(ours.records));
        EXPECT_EQ(regenerated.records, ours.records);
        // The files are still ours to open after TDbf rewrote the index.
        dbf::DbfTable again;
        again.Open(path);
        EXPECT_EQ(again.TagCount(), 4);
    }
}

} // namespace
