// The dataset (cursor) over a table: states, navigation in tag order, locate, filter,
// notifications and the preconditions of each operation.

#include "core/dataset.h"
#include "core/error.h"
#include "tests/core/dbf_testutil.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora::testing;
using velmora::core::Dataset;
using velmora::core::DatasetEvent;
using velmora::core::DatasetState;
using velmora::core::Error;

namespace {

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.filePath(QStringLiteral("Ven2.dbf"));
        Dataset::CreateTable(m_path, SampleFields());
        m_ds.Open(m_path);
        m_ds.AddIndex("DESMID", "DESMID", {true, false});
        m_ds.AddIndex("ID", "ID", {true, false});
        m_ds.AddIndex("KXY", "KXY", {true, false});
        const QList<QVariantList> rows = {
            {3, "2003-05-07", "161-399", "A5-13", "Closterium acerosum"},
            {1, "1999-11-12", "161-400", "A5-14", "cosmarium botrytis"},
            {10, "2010-01-01", "", "", "Euastrum ansatum"},
            {3, "2003-05-07", "161-399", "A5-13", "Äpfelalge"},
            {1, "1999-11-12", "161-400", "A5-14", "Closterium lunula"},
        };
        for (const auto& row : rows)
            m_ds.AppendRecord(row);
    }

    QStringList Walk(const QString& field) {
        QStringList out;
        for (m_ds.First(); !m_ds.Eof(); m_ds.Next())
            out << m_ds.FieldByName(field).AsString();
        return out;
    }

    QTemporaryDir m_dir;
    QString m_path;
    Dataset m_ds;
};

TEST_F(DatasetTest, WalksEachOrderForwardAndBackward) {
    m_ds.SetIndexName("desmid");
    EXPECT_EQ(m_ds.IndexName(), "DESMID");
    EXPECT_EQ(Walk("DESMID"), (QStringList{"Äpfelalge", "cosmarium botrytis", "Closterium acerosum",
                                           "Closterium lunula", "Euastrum ansatum"}));
    m_ds.SetIndexName("");
    EXPECT_EQ(Walk("ID"), (QStringList{"3", "1", "10", "3", "1"}));
    m_ds.SetIndexName("ID");
    QStringList back;
    for (m_ds.Last(); !m_ds.Bof(); m_ds.Prior())
        back << QString::number(m_ds.RecNo());
    EXPECT_EQ(back, (QStringList{"3", "4", "1", "5", "2"}));
    EXPECT_THROW(m_ds.SetIndexName("Nope"), Error);
}

TEST_F(DatasetTest, BofAndEofAtTheEndsKeepTheRecord) {
    m_ds.SetIndexName("ID");
    m_ds.First();
    EXPECT_TRUE(m_ds.Bof());
    EXPECT_FALSE(m_ds.Eof());
    m_ds.Prior();
    EXPECT_TRUE(m_ds.Bof());
    EXPECT_EQ(m_ds.RecNo(), 2);
    m_ds.Last();
    m_ds.Next();
    EXPECT_TRUE(m_ds.Eof());
    EXPECT_EQ(m_ds.RecNo(), 3);
    EXPECT_EQ(m_ds.RecordCount(), 5);
    EXPECT_FALSE(m_ds.IsEmpty());
}

TEST_F(DatasetTest, DeletedRecordsAreHiddenUntilPacked) {
    m_ds.SetIndexName("DESMID");
    ASSERT_TRUE(m_ds.Locate("DESMID", "Closterium acerosum"));
    m_ds.Delete();
    EXPECT_EQ(m_ds.FieldByName("DESMID").AsString(), "Closterium lunula"); // moved on
    EXPECT_EQ(m_ds.RecordCount(), 4);
    EXPECT_FALSE(m_ds.Locate("DESMID", "Closterium acerosum"));
    EXPECT_EQ(m_ds.Table().PhysicalCount(), 5u);
    EXPECT_THROW(m_ds.SetRecNo(1), Error);
    m_ds.Pack();
    EXPECT_EQ(m_ds.Table().PhysicalCount(), 4u);
    EXPECT_EQ(Walk("DESMID").size(), 4);
}

TEST_F(DatasetTest, LocateFindsTheFirstMatchInTheActiveOrder) {
    struct Case {
        QString tag;
        QString field;
        QVariant value;
        bool caseInsensitive;
        int recNo; // 0: not found
    };
    const std::vector<Case> cases = {
        {"", "ID", 1, false, 2},
        {"", "ID", 10, false, 3},
        {"", "ID", 99, false, 0},
        {"DESMID", "ID", 3, false, 4},
        {"ID", "ID", 3, false, 1},
        {"", "KXY", "161-400", false, 2},
        {"", "DESMID", "closterium lunula", false, 0},
        {"", "DESMID", "closterium lunula", true, 5},
        {"ID", "DESMID", "CLOSTERIUM LUNULA", true, 5},
        {"", "DESMID", "Äpfelalge", false, 4},
        {"", "DESMID", "äpfelalge", true, 4},
        {"", "UXY", "", false, 3},
        {"", "ABUND", "", false, 1},
        {"", "DESMID", QString(81, 'x'), false, 0},
    };
    for (const Case& c : cases) {
        m_ds.SetIndexName(c.tag);
        m_ds.First();
        const int before = m_ds.RecNo();
        const bool found = m_ds.Locate(c.field, c.value, {c.caseInsensitive});
        EXPECT_EQ(found, c.recNo != 0)
            << c.field.toStdString() << "=" << c.value.toString().toStdString();
        EXPECT_EQ(m_ds.RecNo(), found ? c.recNo : before)
            << c.field.toStdString() << "=" << c.value.toString().toStdString();
    }
    EXPECT_THROW(m_ds.Locate("NOFIELD", 1), Error);
}

TEST_F(DatasetTest, FindKeyPrefixSeeksTheFirstKeyBeginningWithTheText) {
    // DESMID order: Äpfelalge (4), cosmarium botrytis (2), Closterium acerosum (1),
    // Closterium lunula (5), Euastrum ansatum (3).
    m_ds.AddIndex("DesmidDesc", "DESMID", {true, true});
    m_ds.AddIndex("DesmidUp", "UPPER(DESMID)", {true, false});
    struct Case {
        QString tag;
        QString prefix;
        int recNo; // 0: not found
    };
    const std::vector<Case> cases = {
        {"DESMID", "Closterium", 1},
        {"DESMID", "Closterium l", 5},
        {"DESMID", "cosmarium", 2},
        {"DESMID", "closterium", 0}, // each letter case has its own weight
        {"DESMID", "Cosmarium", 0},
        {"DESMID", "", 4},
        {"DESMID", "Äpf", 4},
        {"DESMID", "Ast", 0},                                 // the lower bound holds another key
        {"DESMID", "Closterium acerosum ", 1},                // the key is blank-padded
        {"DESMID", "Closteriu ", 0},                          // but a blank is no letter
        {"DESMID", "Zygnema", 0},                             // past the last key
        {"DESMID", "Euastrum ansatum" + QString(70, ' '), 3}, // longer than the key: blanks
        {"DESMID", QString(81, 'E'), 0},
        {"DesmidDesc", "", 3},
        {"DesmidDesc", "Closterium", 5},
        {"DesmidDesc", "Closterium a", 1},
        {"DesmidDesc", "B", 0},
        {"DesmidUp", "COSM", 2},
        {"DesmidUp", "cosm", 0},
        {"KXY", "161-4", 2},
        {"KXY", "", 3}, // the blank key first
    };
    int scrolls = 0;
    m_ds.Connect(DatasetEvent::AfterScroll, [&](Dataset&) { ++scrolls; });
    for (const Case& c : cases) {
        m_ds.SetIndexName(c.tag);
        m_ds.Last();
        const int before = m_ds.RecNo();
        scrolls = 0;
        const bool found = m_ds.FindKeyPrefix(c.prefix);
        const std::string what = c.tag.toStdString() + ": \"" + c.prefix.toStdString() + "\"";
        EXPECT_EQ(found, c.recNo != 0) << what;
        EXPECT_EQ(m_ds.RecNo(), found ? c.recNo : before) << what;
        EXPECT_EQ(scrolls, found ? 1 : 0) << what;
        EXPECT_FALSE(m_ds.Bof()) << what;
        EXPECT_EQ(m_ds.Eof(), !found) << what; // Last() set Eof; a hit clears it
    }
    // The walk goes on from the hit.
    m_ds.SetIndexName("DESMID");
    ASSERT_TRUE(m_ds.FindKeyPrefix("cosm"));
    m_ds.Next();
    EXPECT_EQ(m_ds.RecNo(), 1);
}

TEST_F(DatasetTest, FindKeyPrefixSkipsHiddenRecordsAndChecksItsTag) {
    m_ds.SetIndexName("DESMID");
    m_ds.SetFilter([](Dataset& d) { return d.FieldByName("ID").AsInteger() != 3; });
    m_ds.SetFiltered(true); // hides Closterium acerosum (1) and Äpfelalge (4)
    ASSERT_TRUE(m_ds.FindKeyPrefix("Closterium"));
    EXPECT_EQ(m_ds.RecNo(), 5);
    ASSERT_TRUE(m_ds.FindKeyPrefix(""));
    EXPECT_EQ(m_ds.RecNo(), 2);
    m_ds.SetFiltered(false);
    m_ds.SetRecNo(1);
    m_ds.Delete();
    ASSERT_TRUE(m_ds.FindKeyPrefix("Closterium"));
    EXPECT_EQ(m_ds.RecNo(), 5);
    m_ds.Delete();
    m_ds.SetRecNo(3);
    EXPECT_FALSE(m_ds.FindKeyPrefix("Closterium"));
    EXPECT_EQ(m_ds.RecNo(), 3);

    // A pending edit is posted first, and the tag's order follows it.
    m_ds.SetRecNo(2);
    m_ds.Edit();
    m_ds.FieldByName("DESMID").SetAsString("Zygnema");
    ASSERT_TRUE(m_ds.FindKeyPrefix("Zyg"));
    EXPECT_EQ(m_ds.State(), DatasetState::Browse);
    EXPECT_EQ(m_ds.RecNo(), 2);

    // A character Windows-1252 cannot hold would be stored as '?': it matches no '?'.
    m_ds.AppendRecord({7, "", "", "", "Cosmarium ?"});
    EXPECT_TRUE(m_ds.FindKeyPrefix("Cosmarium ?"));
    EXPECT_FALSE(m_ds.FindKeyPrefix("Cosmarium \u03b1"));

    m_ds.SetIndexName("ID");
    EXPECT_THROW(m_ds.FindKeyPrefix("1"), Error); // numeric key
    m_ds.SetIndexName("");
    EXPECT_THROW(m_ds.FindKeyPrefix("C"), Error); // no tag
    m_ds.Close();
    EXPECT_THROW(m_ds.FindKeyPrefix("C"), Error);
}

TEST_F(DatasetTest, EditPostAndCancelFollowTheStates) {
    EXPECT_EQ(m_ds.State(), DatasetState::Browse);
    EXPECT_THROW(m_ds.FieldByName("DESMID").SetAsString("x"), Error); // REQUIRES Edit/Insert
    EXPECT_THROW(m_ds.Post(), Error);
    m_ds.SetRecNo(3);
    m_ds.Edit();
    EXPECT_EQ(m_ds.State(), DatasetState::Edit);
    m_ds.FieldByName("DESMID").SetAsString("Zygnema");
    EXPECT_EQ(m_ds.FieldByName("DESMID").AsString(), "Zygnema");
    m_ds.Cancel();
    EXPECT_EQ(m_ds.FieldByName("DESMID").AsString(), "Euastrum ansatum");
    m_ds.Edit();
    EXPECT_THROW(m_ds.Edit(), Error); // REQUIRES Browse
    m_ds.FieldByName("ID").SetAsInteger(11);
    m_ds.Post();
    EXPECT_EQ(m_ds.FieldByName("ID").AsInteger(), 11);
    // Insert: a new record at the end; cancel returns to where the cursor was.
    m_ds.Insert();
    EXPECT_EQ(m_ds.State(), DatasetState::Insert);
    EXPECT_TRUE(m_ds.FieldByName("ID").IsNull());
    EXPECT_THROW(m_ds.FieldByName("ID").AsInteger(), Error); // blank is not 0
    m_ds.Cancel();
    EXPECT_EQ(m_ds.RecNo(), 3);
    m_ds.Append();
    m_ds.FieldByName("DESMID").SetAsString("Penium");
    m_ds.SetIndexName("DESMID"); // navigation posts the pending record
    EXPECT_EQ(m_ds.State(), DatasetState::Browse);
    EXPECT_EQ(m_ds.RecNo(), 6);
    EXPECT_THROW(m_ds.FieldByName("ID").SetAsString("drie"), Error);
}

TEST_F(DatasetTest, ReopenedTableHoldsWhatWasPosted) {
    m_ds.SetRecNo(2);
    m_ds.Edit();
    m_ds.FieldByName("OPMDESMID").SetAsString("Crème brûlée");
    m_ds.Post();
    m_ds.Close();
    EXPECT_FALSE(m_ds.Active());
    EXPECT_THROW(m_ds.First(), Error);
    m_ds.Open(m_path, true);
    m_ds.SetRecNo(2);
    EXPECT_EQ(m_ds.FieldByName("opmdesmid").AsString(), "Crème brûlée");
    EXPECT_EQ(m_ds.FieldByName("ID").AsVariant(), QVariant::fromValue<qlonglong>(1));
    EXPECT_TRUE(m_ds.FieldByName("ZYGO").AsVariant().isNull());
    EXPECT_THROW(m_ds.Edit(), Error); // read-only
    const auto defs = m_ds.FieldDefs();
    ASSERT_EQ(defs.size(), 12u);
    EXPECT_EQ(defs[4].name, "DESMID");
    EXPECT_EQ(defs[4].size, 80);
    EXPECT_EQ(m_ds.IndexNames(), (QStringList{"DESMID", "ID", "KXY"}));
}

TEST_F(DatasetTest, FilterHidesRejectedRecords) {
    m_ds.SetIndexName("DESMID");
    m_ds.SetFilter([](Dataset& d) {
        return d.FieldByName("DESMID").AsString().startsWith(QStringLiteral("closterium"),
                                                             Qt::CaseInsensitive);
    });
    m_ds.SetFiltered(true);
    EXPECT_EQ(Walk("DESMID"), (QStringList{"Closterium acerosum", "Closterium lunula"}));
    EXPECT_EQ(m_ds.RecordCount(), 2);
    EXPECT_FALSE(m_ds.Locate("DESMID", "Euastrum ansatum"));
    m_ds.SetFiltered(false);
    EXPECT_EQ(m_ds.RecordCount(), 5);
    EXPECT_TRUE(m_ds.Locate("DESMID", "Euastrum ansatum"));
}

TEST_F(DatasetTest, NotificationsAndSuspendedControls) {
    QStringList log;
    m_ds.Connect(DatasetEvent::BeforePost, [&](Dataset&) { log << "beforePost"; });
    m_ds.Connect(DatasetEvent::AfterPost,
                 [&](Dataset& d) { log << "afterPost " + QString::number(d.RecNo()); });
    m_ds.Connect(DatasetEvent::AfterDelete, [&](Dataset&) { log << "afterDelete"; });
    const int scroll = m_ds.Connect(DatasetEvent::AfterScroll, [&](Dataset&) { log << "scroll"; });
    int controls = 0;
    m_ds.Connect(DatasetEvent::DataChanged, [&](Dataset&) { ++controls; });

    m_ds.First();
    m_ds.Edit();
    m_ds.FieldByName("ABUND").SetAsString("2");
    m_ds.Post();
    m_ds.Delete();
    EXPECT_EQ(log, (QStringList{"scroll", "beforePost", "afterPost 1", "afterDelete", "scroll"}));
    EXPECT_GT(controls, 0);

    m_ds.Disconnect(scroll);
    controls = 0;
    m_ds.DisableControls();
    for (m_ds.First(); !m_ds.Eof(); m_ds.Next()) {
    }
    EXPECT_EQ(controls, 0);
    m_ds.EnableControls();
    EXPECT_EQ(controls, 1);

    // A before-post handler refuses by throwing: nothing is written, the edit stays open.
    m_ds.Connect(DatasetEvent::BeforePost, [](Dataset&) { throw Error("refused"); });
    m_ds.Edit();
    m_ds.FieldByName("ABUND").SetAsString("9");
    EXPECT_THROW(m_ds.Post(), Error);
    EXPECT_EQ(m_ds.State(), DatasetState::Edit);
    m_ds.Cancel();
    EXPECT_NE(m_ds.FieldByName("ABUND").AsString(), "9");
}

TEST_F(DatasetTest, RequiredFieldsAndRestructure) {
    auto fields = SampleFields();
    fields.push_back(velmora::core::dbf::TextField("EXTRA", 10, true));
    m_ds.Restructure(fields);
    EXPECT_EQ(m_ds.FieldDefs().size(), 13u);
    EXPECT_EQ(m_ds.RecordCount(), 5);
    m_ds.Append();
    m_ds.FieldByName("DESMID").SetAsString("Penium");
    EXPECT_THROW(m_ds.Post(), Error);
    m_ds.FieldByName("EXTRA").SetAsString("ja");
    m_ds.Post();
    EXPECT_EQ(m_ds.RecordCount(), 6);
}

TEST_F(DatasetTest, EmptyTableAndSecondOpen) {
    const QString path = m_dir.filePath(QStringLiteral("Leeg1.dbf"));
    Dataset::CreateTable(path, LocationFields());
    Dataset empty;
    empty.Open(path);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.Bof());
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(empty.RecNo(), 0);
    EXPECT_THROW(empty.Edit(), Error);
    EXPECT_THROW(empty.Delete(), Error);
    EXPECT_FALSE(empty.Locate("ID", 1));
    Dataset second;
    try {
        second.Open(path);
        FAIL() << "opened twice";
    } catch (const Error& e) {
        EXPECT_EQ(e.File(), path);
    }
}

} // namespace
