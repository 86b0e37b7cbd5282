// The table engine below the dataset: file layout byte by byte, text encoding, tags kept
// current, locking, bad files and interrupted packs.

#include "core/dbf/dbftable.h"
#include "core/dbf/mdxfile.h"
#include "tests/core/dbf_testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::testing;
namespace dbf = velmora::core::dbf;

namespace {

class DbfTableTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return m_dir.path().toStdString() + "/" + name;
    }

    // A samples table with a few records and the four sample tags.
    std::string MakeSamples(const std::string& name = "Ven2.dbf") {
        const std::string path = Path(name);
        dbf::DbfTable::Create(path, SampleFields());
        dbf::DbfTable t;
        t.Open(path);
        AddSampleTags(t);
        t.AppendValues({"3", "2003-05-07", "161-399", "A5-13", "Closterium acerosum"});
        t.AppendValues({"1", "1999-11-12", "161-400", "A5-14", "closterium lunula", "", "", "", "",
                        "", "Crème"});
        t.AppendValues({"10", "2010-01-01", "", "", "Euastrum ansatum"});
        t.AppendValues({"-2", "2003-06-30", "001-002", "B1-01", "Cosmarium"});
        t.Close();
        return path;
    }

    static std::vector<std::string> Column(dbf::DbfTable& t, int tag, const std::string& field) {
        std::vector<std::string> out;
        const int f = t.FieldIndex(field);
        for (std::uint32_t r : t.TagOrder(tag))
            if (!t.IsDeleted(r))
                out.push_back(t.Text(t.Record(r), f));
        return out;
    }

    QTemporaryDir m_dir;
};

TEST_F(DbfTableTest, Level7HeaderIsLaidOutAsDBaseWritesIt) {
    const std::string path = Path("Ven2.dbf");
    dbf::DbfTable::Create(path, SampleFields());
    const std::string b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 68u + 12 * 48 + 1 + 1);
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b.substr(4, 4), std::string(4, '\0')); // no records
    EXPECT_EQ(static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8), 645);
    EXPECT_EQ(static_cast<unsigned char>(b[10]) | (static_cast<unsigned char>(b[11]) << 8), 339);
    EXPECT_EQ(b.substr(32, 9), std::string("DBWINWE0\0", 9));
    EXPECT_EQ(b.substr(68, 3), std::string("ID\0", 3));
    EXPECT_EQ(b[68 + 32], 'I');
    EXPECT_EQ(b[68 + 33], 4);
    EXPECT_EQ(b.substr(68 + 4 * 48, 7), std::string("DESMID\0", 7));
    EXPECT_EQ(b[68 + 4 * 48 + 32], 'C');
    EXPECT_EQ(static_cast<unsigned char>(b[68 + 4 * 48 + 33]), 80);
    EXPECT_EQ(b[644], 0x0D);
    EXPECT_EQ(b[645], 0x1A);
}

TEST_F(DbfTableTest, RecordsAreWrittenThroughAndReadBackInUtf8) {
    const std::string path = MakeSamples();
    const std::string b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 645u + 4 * 339 + 1);
    // Second record: ID 1 as a level-7 integer, the remark in Windows-1252.
    const std::string rec = b.substr(645 + 339, 339);
    EXPECT_EQ(rec.substr(0, 5), std::string("\x20\x80\x00\x00\x01", 5));
    EXPECT_NE(rec.find("Cr\xE8me"), std::string::npos);
    EXPECT_EQ(b.back(), 0x1A);

    dbf::DbfTable t;
    t.Open(path);
    ASSERT_EQ(t.PhysicalCount(), 4u);
    EXPECT_EQ(t.Text(t.Record(2), t.FieldIndex("opmdesmid")), "Crème");
    EXPECT_EQ(t.Integer(t.Record(4), 0), -2);
    EXPECT_TRUE(t.IsNull(t.Record(3), t.FieldIndex("KXY")));
    EXPECT_FALSE(t.IsNull(t.Record(3), t.FieldIndex("ID")));
}

TEST_F(DbfTableTest, PostedRecordIsOnDiskBeforeClose) {
    const std::string path = MakeSamples();
    dbf::DbfTable t;
    t.Open(path);
    std::string rec(t.Record(1), static_cast<std::size_t>(t.RecordLength()));
    t.SetText(rec.data(), t.FieldIndex("DESMID"), "Staurastrum");
    t.WriteRecord(1, rec.data());
    t.AppendValues({"5", "2001-05-07"});
    t.SetDeleted(2, true);
    // A record appended since the open is written another way than the ones read at open.
    std::string added(t.Record(5), static_cast<std::size_t>(t.RecordLength()));
    t.SetText(added.data(), t.FieldIndex("DESMID"), "Xanthidium");
    t.WriteRecord(5, added.data());
    // Read the file while the table is still open.
    const std::string b = ReadFileBytes(path);
    EXPECT_EQ(b[4], 5);
    EXPECT_NE(b.substr(645, 339).find("Staurastrum"), std::string::npos);
    EXPECT_EQ(b[645 + 339], '*');
    EXPECT_NE(b.substr(645 + 4 * 339, 339).find("Xanthidium"), std::string::npos);
    EXPECT_EQ(b[645 + 5 * 339], '\x1a');
    // The file may hold room for more appends while open; Close() cuts it back.
    EXPECT_GE(b.size(), 645u + 5 * 339 + 1);
    t.Close();
    EXPECT_EQ(ReadFileBytes(path).size(), 645u + 5 * 339 + 1);

    // The file as a crash would leave it, room included, opens with its records and
    // takes more.
    const std::string crashed = Path("Crashed2.dbf");
    WriteFileBytes(crashed, b);
    dbf::DbfTable c;
    c.Open(crashed);
    ASSERT_EQ(c.PhysicalCount(), 5u);
    EXPECT_EQ(c.Text(c.Record(5), c.FieldIndex("DESMID")), "Xanthidium");
    c.AppendValues({"6", "2001-05-08"});
    c.Close();
    const std::string after = ReadFileBytes(crashed);
    ASSERT_EQ(after.size(), 645u + 6 * 339 + 1);
    EXPECT_EQ(after.substr(0, 645 + 5 * 339).substr(645), b.substr(645, 5 * 339));
}

TEST_F(DbfTableTest, Level4ReferenceTablesRoundTrip) {
    const std::string path = Path("Biotoopcodes.dbf");
    dbf::DbfTable::Create(
        path, {dbf::TextField("CODE", 10), dbf::TextField("BIOTOOP", 80), dbf::IntegerField("NR")},
        dbf::TableLevel::Level4);
    {
        dbf::DbfTable t;
        t.Open(path);
        EXPECT_EQ(t.Level(), 4);
        t.AppendValues({"Ä3", "Hoogveen – één", "-17"});
        t.Close();
    }
    const std::string b = ReadFileBytes(path);
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(static_cast<unsigned char>(b[29]), 0x58);
    EXPECT_EQ(b[32 + 2 * 32 + 11], 'N'); // integers are numeric text at level 4
    dbf::DbfTable t;
    t.Open(path, true);
    EXPECT_EQ(t.Text(t.Record(1), 0), "Ä3");
    EXPECT_EQ(t.Text(t.Record(1), 1), "Hoogveen – één");
    EXPECT_EQ(t.Integer(t.Record(1), 2), -17);
    EXPECT_THROW(t.AppendValues({"X"}), dbf::DbfError); // read-only
}

TEST_F(DbfTableTest, TagsOrderRecordsAndFollowEveryChange) {
    const std::string path = MakeSamples();
    dbf::DbfTable t;
    t.Open(path);
    ASSERT_EQ(t.TagCount(), 4);
    const int desmid = t.TagIndex("desmid");
    // The table's collation (DBWINWE0) puts each lower-case letter just before its capital.
    EXPECT_EQ(t.Tag(desmid).expression, "DESMID");
    EXPECT_EQ(Column(t, desmid, "DESMID"),
              (std::vector<std::string>{"closterium lunula", "Closterium acerosum", "Cosmarium",
                                        "Euastrum ansatum"}));
    EXPECT_EQ(Column(t, t.TagIndex("ID"), "ID"), (std::vector<std::string>{"-2", "1", "3", "10"}));

    // Edit a key, append, delete: every tag stays current without a regenerate.
    std::string rec(t.Record(3), static_cast<std::size_t>(t.RecordLength()));
    t.SetText(rec.data(), t.FieldIndex("DESMID"), "Actinotaenium");
    t.SetInteger(rec.data(), 0, 0);
    t.WriteRecord(3, rec.data());
    t.AppendValues({"7", "", "", "", "Zygnema"});
    t.SetDeleted(1, true);
    EXPECT_EQ(
        Column(t, desmid, "DESMID"),
        (std::vector<std::string>{"Actinotaenium", "closterium lunula", "Cosmarium", "Zygnema"}));
    EXPECT_EQ(Column(t, t.TagIndex("ID"), "ID"), (std::vector<std::string>{"-2", "0", "1", "7"}));
    t.Close();

    // The index file keeps the definitions; the orders are the same after reopening.
    dbf::DbfTable again;
    again.Open(path);
    ASSERT_EQ(again.TagCount(), 4);
    EXPECT_EQ(
        Column(again, 0, "DESMID"),
        (std::vector<std::string>{"Actinotaenium", "closterium lunula", "Cosmarium", "Zygnema"}));
}

TEST_F(DbfTableTest, LocationKeysAndDescendingTag) {
    const std::string path = Path("Ven1.dbf");
    dbf::DbfTable::Create(path, LocationFields());
    dbf::DbfTable t;
    t.Open(path);
    AddLocationTags(t);
    t.AppendValues({"1", "Ven", "07", "05", "2003"});
    t.AppendValues({"2", "ven", "01", "01", "2003"});
    t.AppendValues({"3", "Achterste plas", "12", "11", "1999"});
    t.AppendValues({"4", "Ven", "07", "05", "2003"}); // same key as record 1
    auto ids = [&](const std::string& tag) {
        std::vector<std::string> out;
        for (std::uint32_t r : t.TagOrder(t.TagIndex(tag)))
            out.push_back(t.Text(t.Record(r), 0));
        return out;
    };
    EXPECT_EQ(ids("Locatie"), (std::vector<std::string>{"3", "2", "1", "4"}));
    EXPECT_EQ(ids("Datum"), (std::vector<std::string>{"3", "2", "1", "4"}));
    // Descending: keys reversed, equal keys still in record order.
    EXPECT_EQ(ids("DatumDesc"), (std::vector<std::string>{"1", "4", "2", "3"}));
    EXPECT_EQ(t.TagIndex("DATUMDESC"), 3);
}

TEST_F(DbfTableTest, KeyExpressionsAreCheckedWhenTheTagIsAdded) {
    const std::string path = MakeSamples();
    dbf::DbfTable t;
    t.Open(path);
    for (const char* bad : {"NOFIELD", "SUBSTR(DESMID,0,3)", "DESMID+ID", "UPPER(ID)",
                            "DESMID+DESMID", "SUBSTR(DESMID,1", "FOO(DESMID)"})
        EXPECT_THROW(t.AddTag({"T", bad}), dbf::DbfError) << bad;
    EXPECT_THROW(t.AddTag({"desmid", "KXY"}), dbf::DbfError); // duplicate name
    t.AddTag({"MIX", "lower(SUBSTR(DESMID,1,4))+UXY"});
    const int mix = t.TagIndex("MIX");
    EXPECT_EQ(t.TagObject(mix).Key().Length(), 11);
    EXPECT_EQ(t.TagObject(mix).CharKeyOf(t.Record(1)), "closA5-13  ");
}

TEST_F(DbfTableTest, MdxNumbersAreBcdAsTDbfWritesThem) {
    unsigned char key[12];
    struct Case {
        double value;
        std::string bytes;
    };
    for (const Case& c :
         {Case{-2, std::string("\x35\x89\x20", 3)}, Case{3, std::string("\x35\x09\x30", 3)},
          Case{10, std::string("\x36\x09\x10", 3)}, Case{123, std::string("\x37\x11\x12\x30", 4)},
          Case{0, std::string("\x34\x01", 2)}}) {
        dbf::EncodeMdxNumber(c.value, key);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(key), c.bytes.size()), c.bytes) << c.value;
    }
}

TEST_F(DbfTableTest, SecondExclusiveOpenFailsInThisAndAnotherProcess) {
    const std::string path = MakeSamples();
    dbf::DbfTable first;
    first.Open(path);
    dbf::DbfTable second;
    try {
        second.Open(path);
        FAIL() << "second exclusive open succeeded";
    } catch (const dbf::DbfError& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_NE(e.Reason().find("in use"), std::string::npos);
    }
    EXPECT_THROW(second.Open(path, true), dbf::DbfError); // not even read-only while held
    const pid_t child = fork();
    if (child == 0) {
        int code = 0;
        try {
            dbf::DbfTable t;
            t.Open(path);
        } catch (const dbf::DbfError&) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    first.Close();
    second.Open(path);
}

TEST_F(DbfTableTest, DamagedTablesGiveClearErrorsAndAreNotWritten) {
    const std::string good = ReadFileBytes(MakeSamples());
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    std::string unterminated = good.substr(0, 645 + 4 * 339);
    unterminated[644] = 'X';
    const std::vector<Case> cases = {
        {"empty", std::string(), "too short"},
        {"short header", good.substr(0, 20), "too short"},
        {"truncated records", good.substr(0, 645 + 2 * 339), "truncated"},
        {"count too high", patched(4, std::string("\x40\x00\x00\x00", 4)), "truncated"},
        {"header length beyond file", patched(8, std::string("\xFF\xFF", 2)), "header length"},
        {"header length too small", patched(8, std::string("\x10\x00", 2)), "header length"},
        {"record length wrong", patched(10, std::string("\x52\x01", 2)), "record length"},
        {"zero width field", patched(68 + 48 + 33, std::string("\x00", 1)), "zero width"},
        {"unknown field type", patched(68 + 48 + 32, "Q"), "unknown type"},
        {"integer of width 3", patched(68 + 33, "\x03"), "width"},
        {"no field name", patched(68, std::string("\0", 1)), "no name"},
        {"unterminated descriptors", unterminated, "not terminated"},
        {"not a table", patched(0, "\x44"), "version"},
    };
    for (const Case& c : cases) {
        const std::string path = Path(std::string("bad.dbf"));
        WriteFileBytes(path, c.bytes);
        dbf::DbfTable t;
        try {
            t.Open(path);
            ADD_FAILURE() << c.name << ": opened";
        } catch (const dbf::DbfError& e) {
            EXPECT_EQ(e.File(), path) << c.name;
            EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << c.name << ": " << e.Reason();
        }
        EXPECT_FALSE(t.IsOpen());
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
    }
    // Level 4: overlapping fields are refused too.
    const std::string l4 = Path("l4.dbf");
    dbf::DbfTable::Create(l4, {dbf::TextField("A", 5), dbf::TextField("B", 5)},
                          dbf::TableLevel::Level4);
    std::string b = ReadFileBytes(l4);
    b[32 + 32 + 12] = 3; // B claims to start inside A
    WriteFileBytes(l4, b);
    dbf::DbfTable t;
    EXPECT_THROW(t.Open(l4), dbf::DbfError);
}

TEST_F(DbfTableTest, DamagedOrMissingIndexNeverTouchesTheTable) {
    const std::string path = MakeSamples();
    const std::string table = ReadFileBytes(path);
    const std::string mdx = Path("Ven2.mdx");
    const std::string index = ReadFileBytes(mdx);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"garbage", std::string(3000, '\x5A')},
        {"truncated", index.substr(0, 1000)},
        {"tag page outside",
         [&] {
             std::string b = index;
             b[544] = '\x7F';
             b[545] = '\x7F';
             return b;
         }()},
        {"bad expression",
         [&] {
             std::string b = index;
             b.replace(4 * 512 + 24, 6, "NOPE()");
             return b;
         }()},
    };
    for (const auto& [name, bytes] : cases) {
        WriteFileBytes(mdx, bytes);
        // The index is derived data: the table opens without its tags and says why, so
        // that they are made anew from the records.
        dbf::DbfTable t;
        t.Open(path);
        EXPECT_EQ(t.TagCount(), 0) << name;
        EXPECT_NE(t.IndexDamage().find(mdx), std::string::npos) << name << t.IndexDamage();
        t.Close();
        EXPECT_EQ(ReadFileBytes(path), table) << name;
        EXPECT_EQ(ReadFileBytes(mdx), bytes) << name;
    }
    // Without the index file the table opens with no tags, and they can be made anew.
    dbf::DefaultFileSystem().Remove(mdx);
    dbf::DbfTable t;
    t.Open(path);
    EXPECT_EQ(t.TagCount(), 0);
    EXPECT_EQ(t.PhysicalCount(), 4u);
    AddSampleTags(t);
    t.Close();
    t.Open(path);
    EXPECT_EQ(t.TagCount(), 4);
}

TEST_F(DbfTableTest, PackRemovesDeletedRecordsAndRebuildsTags) {
    const std::string path = MakeSamples();
    dbf::DbfTable t;
    t.Open(path);
    t.SetDeleted(1, true);
    t.SetDeleted(3, true);
    t.Pack();
    ASSERT_EQ(t.PhysicalCount(), 2u);
    EXPECT_EQ(t.DeletedCount(), 0u);
    EXPECT_EQ(t.Text(t.Record(1), t.FieldIndex("DESMID")), "closterium lunula");
    EXPECT_EQ(t.TagOrder(t.TagIndex("ID")), (std::vector<std::uint32_t>{2, 1}));
    EXPECT_EQ(ReadFileBytes(path).size(), 645u + 2 * 339 + 1);
    // Still exclusively ours after the file was replaced.
    dbf::DbfTable other;
    EXPECT_THROW(other.Open(path), dbf::DbfError);
    t.Close();
    EXPECT_FALSE(dbf::DefaultFileSystem().Exists(path + ".tmp"));
}

// Large tables take shortcuts when the index file is written (keys taken from the runs of
// equal keys of a fresh build, orders renumbered after a pack instead of rebuilt); the file
// must be the same byte for byte as the one written from the records themselves.
TEST_F(DbfTableTest, IndexFileOfALargeTableIsTheSameWhicheverWayTheKeysAreFound) {
    const char* names[] = {
        "Closterium acerosum", "closterium acerosum", "Cosmarium", "Crème", "Euastrum ansatum", "",
        "Staurastrum"};
    auto fill = [&](dbf::DbfTable& t, int i) {
        std::string rec = t.BlankRecord();
        t.SetInteger(rec.data(), 0, i % 50 - 20);
        t.SetText(rec.data(), 2, i % 11 ? "161-" + std::to_string(400 + i % 13) : "");
        t.SetText(rec.data(), 3, "A5-" + std::to_string(10 + i % 17));
        t.SetText(rec.data(), 4, names[i % 7]);
        return rec;
    };
    auto make = [&](const std::string& folder, const std::function<bool(int)>& keep) {
        QDir().mkpath(QString::fromStdString(Path(folder)));
        const std::string path = Path(folder + "/Ven2.dbf");
        dbf::DbfTable::Create(path, SampleFields());
        dbf::DbfTable t;
        t.Open(path);
        AddSampleTags(t);
        t.AddTag({"DESC", "DESMID+KXY", true, false});
        std::string all;
        for (int i = 0; i < 9000; ++i)
            if (keep(i))
                all += fill(t, i);
        t.AppendRecords(all.data(), all.size() / static_cast<std::size_t>(t.RecordLength()));
        return path;
    };
    auto all = [](int) { return true; };
    auto kept = [](int i) { return i % 7 != 3; };
    auto mdx = [](const std::string& table) {
        return ReadFileBytes(table.substr(0, table.size() - 4) + ".mdx");
    };

    // Written from the records: a key changed and changed back after the orders were
    // built, so each order was merged, not built anew.
    const std::string fromRecords = [&] {
        const std::string path = make("records", all);
        dbf::DbfTable t;
        t.Open(path);
        for (int k = 0; k < t.TagCount(); ++k)
            t.TagOrder(k);
        const std::string original(t.Record(5), static_cast<std::size_t>(t.RecordLength()));
        t.WriteRecord(5, fill(t, 6).data());
        for (int k = 0; k < t.TagCount(); ++k)
            t.TagOrder(k);
        t.WriteRecord(5, original.data());
        t.Close();
        return mdx(path);
    }();
    // Written from the fresh build of the close.
    const std::string fresh = make("fresh", all);
    {
        dbf::DbfTable t;
        t.Open(fresh);
        t.RegenerateTags();
        t.Close();
    }
    EXPECT_TRUE(mdx(fresh) == fromRecords);

    // A pack renumbers the orders; the index must be the one of a table that only ever held
    // the kept records.
    const std::string packed = make("packed", all);
    {
        dbf::DbfTable t;
        t.Open(packed);
        for (std::uint32_t r = 1; r <= t.PhysicalCount(); ++r)
            if (!kept(static_cast<int>(r - 1)))
                t.SetDeleted(r, true);
        t.Pack();
        t.Close();
    }
    const std::string only = make("only", kept);
    {
        dbf::DbfTable t;
        t.Open(only);
        t.RegenerateTags();
        t.Close();
    }
    EXPECT_TRUE(mdx(packed) == mdx(only));
    EXPECT_TRUE(ReadFileBytes(packed) == ReadFileBytes(only));
}

TEST_F(DbfTableTest, InterruptedPackOrRestructureLeavesTheOldTableWhole) {
    const std::string path = MakeSamples();
    const std::string before = ReadFileBytes(path);
    for (int failAt = 0; failAt < 3; ++failAt) {
        FaultyFileSystem fs;
        fs.pattern = ".tmp";
        fs.failAt = failAt;
        dbf::DbfTable t(fs);
        t.Open(path);
        t.SetDeleted(2, true);
        const std::string marked = ReadFileBytes(path);
        EXPECT_THROW(t.Pack(), dbf::DbfError) << failAt;
        EXPECT_EQ(ReadFileBytes(path), marked) << failAt;
        EXPECT_FALSE(fs.Exists(path + ".tmp"));
        fs.writes = 0;
        EXPECT_THROW(t.Restructure(SampleFields(false)), dbf::DbfError) << failAt;
        EXPECT_EQ(ReadFileBytes(path), marked) << failAt;
        // The table is still usable and whole.
        EXPECT_EQ(t.PhysicalCount(), 4u);
        EXPECT_EQ(t.Text(t.Record(4), t.FieldIndex("DESMID")), "Cosmarium");
        t.SetDeleted(2, false);
        fs.failAt = -1;
        t.Close();
    }
    EXPECT_EQ(ReadFileBytes(path).substr(32), before.substr(32));
}

TEST_F(DbfTableTest, RestructureAddsAFieldAndKeepsValuesByName) {
    const std::string path = Path("Old2.dbf");
    dbf::DbfTable::Create(path, SampleFields(false));
    dbf::DbfTable t;
    t.Open(path);
    AddSampleTags(t);
    t.AppendValues({"4", "2004-01-02", "1-2", "A1", "Penium", "", "", "", "", "", "één"});
    t.AppendValues({"5", "", "", "", "Gone"});
    t.SetDeleted(2, true);
    dbf::FieldDefs fields = SampleFields(false);
    fields.push_back(dbf::TextField("DESMIDINFO", 100));
    t.Restructure(fields);
    ASSERT_EQ(t.Fields().size(), 12u);
    ASSERT_EQ(t.PhysicalCount(), 1u);
    EXPECT_EQ(t.Text(t.Record(1), t.FieldIndex("OPMDESMID")), "één");
    EXPECT_TRUE(t.IsNull(t.Record(1), t.FieldIndex("DESMIDINFO")));
    EXPECT_EQ(t.TagCount(), 4);
    // A restructure that would break a tag is refused before anything is written.
    dbf::FieldDefs noDesmid = fields;
    noDesmid.erase(noDesmid.begin() + 4);
    EXPECT_THROW(t.Restructure(noDesmid), dbf::DbfError);
    t.Close();
    t.Open(path);
    EXPECT_EQ(t.RecordLength(), 339);
}

TEST_F(DbfTableTest, ValuesThatDoNotFitAreRefused) {
    const std::string path = MakeSamples();
    dbf::DbfTable t;
    t.Open(path);
    std::string rec = t.BlankRecord();
    EXPECT_THROW(t.SetText(rec.data(), 0, "12a"), dbf::DbfError);
    EXPECT_THROW(t.SetInteger(rec.data(), 0, 3000000000LL), dbf::DbfError);
    t.SetText(rec.data(), 0, " 42 ");
    EXPECT_EQ(t.Integer(rec.data(), 0), 42);
    t.SetText(rec.data(), t.FieldIndex("DATUM"), "2003-05-07 and more");
    EXPECT_EQ(t.Text(rec.data(), t.FieldIndex("DATUM")), "2003-05-07"); // cut to the width
    t.SetText(rec.data(), t.FieldIndex("ABUND"), "x");
    EXPECT_THROW(t.Integer(rec.data(), t.FieldIndex("ABUND")), dbf::DbfError);
    EXPECT_THROW(t.AppendValues(std::vector<std::string>(13, "")), dbf::DbfError);
}

} // namespace

namespace {

// The header's record count, as stored in bytes 4..7.
std::uint32_t HeaderCount(const std::string& bytes) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | static_cast<unsigned char>(bytes[4 + static_cast<std::size_t>(i)]);
    return n;
}

std::string WithHeaderCount(std::string bytes, std::uint32_t count) {
    for (int i = 0; i < 4; ++i)
        bytes[4 + static_cast<std::size_t>(i)] = static_cast<char>((count >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

TEST_F(DbfTableTest, RecordsAfterTheCountedOnesAreTakenBackNeverDropped) {
    // Four records on file, as another program that stopped between writing records and the
    // header's count leaves them. Whole records after the counted ones are part of the table;
    // room reserved for appends (zeros, or anything after the end-of-file mark) is not.
    const std::string path = MakeSamples();
    const std::string whole = ReadFileBytes(path);
    ASSERT_EQ(HeaderCount(whole), 4u);
    const std::size_t recordsEnd = whole.size() - 1; // before the end-of-file mark
    const std::size_t recordLength = 339;
    std::string deletedFourth = whole;
    deletedFourth[recordsEnd - recordLength] = '*';
    std::string tornFourth =
        whole.substr(0, recordsEnd - recordLength + 40) + std::string(recordLength - 40, '\0');
    struct Case {
        const char* name;
        std::string bytes;
        std::uint32_t recovered;
        std::uint32_t deleted;
    };
    const Case cases[] = {
        {"two past the count", WithHeaderCount(whole, 2), 2, 0},
        {"two past the count and reserved zeros",
         WithHeaderCount(whole, 2) + std::string(4096, '\0'), 2, 0},
        {"a deleted one past the count", WithHeaderCount(deletedFourth, 3), 1, 1},
        {"a torn one past the count", WithHeaderCount(tornFourth, 3), 0, 0},
        {"the count right, zeros after the mark", whole + std::string(4096, '\0'), 0, 0},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path, c.bytes);
        const std::uint32_t counted = HeaderCount(c.bytes);
        {
            dbf::DbfTable t;
            t.Open(path, true); // a reader only looks
            EXPECT_EQ(t.PhysicalCount(), counted + c.recovered) << c.name;
            EXPECT_EQ(t.RecoveredCount(), c.recovered) << c.name;
            EXPECT_EQ(t.DeletedCount(), c.deleted) << c.name;
        }
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
        {
            // Opened for writing, the header counts them from then on, and a pack keeps every
            // live one.
            dbf::DbfTable t;
            t.Open(path);
            EXPECT_EQ(HeaderCount(ReadFileBytes(path)), counted + c.recovered) << c.name;
            const int desmid = t.FieldIndex("DESMID");
            if (c.recovered > 0 && c.deleted == 0) {
                EXPECT_EQ(t.Text(t.Record(4), desmid), "Cosmarium") << c.name;
            }
            t.Pack();
            EXPECT_EQ(t.PhysicalCount(), counted + c.recovered - c.deleted) << c.name;
            t.Close();
        }
        dbf::DbfTable again;
        again.Open(path);
        EXPECT_EQ(again.RecoveredCount(), 0u) << c.name;
        again.Close();
    }
}

namespace {

// Every live record of a table as text, in physical order (a reader's view of the table).
std::vector<std::string> LiveRecords(const std::string& path) {
    dbf::DbfTable t;
    t.Open(path, true);
    std::vector<std::string> out;
    for (std::uint32_t r = 1; r <= t.PhysicalCount(); ++r) {
        if (t.IsDeleted(r))
            continue;
        std::string line;
        for (int f = 0; f < static_cast<int>(t.Fields().size()); ++f)
            line += t.Text(t.Record(r), f) + "|";
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST_F(DbfTableTest, AFailedWriteAtAnyPointIsReportedAndLeavesTheTableWhole) {
    using Fault = FaultyFileSystem::Fault;
    struct Op {
        const char* name;
        std::function<void(dbf::DbfTable&)> prepare; // before the faults start
        std::function<void(dbf::DbfTable&)> run;
    };
    const Op ops[] = {
        {"append",
         {},
         [](dbf::DbfTable& t) {
             t.AppendValues({"7", "2007-01-01", "", "", "Staurastrum"});
         }},
        {"edit",
         {},
         [](dbf::DbfTable& t) {
             std::string rec(t.Record(2), static_cast<std::size_t>(t.RecordLength()));
             t.SetText(rec.data(), t.FieldIndex("DESMID"), "Closterium edited");
             t.WriteRecord(2, rec.data());
         }},
        {"delete", {}, [](dbf::DbfTable& t) { t.SetDeleted(3, true); }},
        {"pack", [](dbf::DbfTable& t) { t.SetDeleted(2, true); },
         [](dbf::DbfTable& t) { t.Pack(); }},
        {"restructure", {}, [](dbf::DbfTable& t) { t.Restructure(SampleFields(false)); }},
        {"append and close",
         {},
         [](dbf::DbfTable& t) {
             t.AppendValues({"8", "2008-01-01", "", "", "Penium"});
             t.Close(); // the index file is written
         }},
    };
    const std::string path = MakeSamples();
    const std::string original = ReadFileBytes(path);
    const std::string originalIndex = ReadFileBytes(Path("Ven2.mdx"));
    auto restore = [&] {
        WriteFileBytes(path, original);
        WriteFileBytes(Path("Ven2.mdx"), originalIndex);
    };
    int runs = 0;
    for (const Op& op : ops) {
        // The writes the operation makes, and the tables before and after it.
        auto prepared = [&] {
            restore();
            if (op.prepare) {
                dbf::DbfTable t;
                t.Open(path);
                op.prepare(t);
                t.Close();
            }
        };
        prepared();
        const std::vector<std::string> before = LiveRecords(path);
        FaultyFileSystem counter;
        std::vector<std::string> after;
        {
            dbf::DbfTable t(counter);
            t.Open(path);
            counter.writes = 0;
            op.run(t);
            const int writes = counter.writes;
            if (t.IsOpen())
                t.Close();
            after = LiveRecords(path);
            ASSERT_GT(writes, 0) << op.name;
            counter.writes = writes;
        }
        const int writes = counter.writes;
        for (const Fault fault : {Fault::FullBeyondEnd, Fault::Refused}) {
            for (int failAt = 0; failAt < writes; ++failAt, ++runs) {
                prepared();
                FaultyFileSystem fs;
                fs.fault = fault;
                bool threw = false;
                int error = 0;
                {
                    dbf::DbfTable t(fs);
                    t.Open(path);
                    fs.writes = 0;
                    fs.failAt = failAt;
                    try {
                        op.run(t);
                    } catch (const dbf::DbfError& e) {
                        threw = true;
                        error = e.SystemError();
                    }
                    fs.failAt = -1;
                    try {
                        if (t.IsOpen())
                            t.Close();
                    } catch (const dbf::DbfError&) {
                    }
                }
                const std::string where = std::string(op.name) + " write " +
                                          std::to_string(failAt) +
                                          (fault == Fault::Refused ? " refused" : " disk full");
                EXPECT_TRUE(threw) << where;
                EXPECT_EQ(error, fault == Fault::Refused ? EACCES : ENOSPC) << where;
                // Whole: the table as it was or as the operation leaves it, nothing between,
                // and it opens for writing again.
                const std::vector<std::string> now = LiveRecords(path);
                EXPECT_TRUE(now == before || now == after) << where;
                dbf::DbfTable again;
                EXPECT_NO_THROW(again.Open(path)) << where;
            }
        }
    }
    EXPECT_GT(runs, 20);
}
