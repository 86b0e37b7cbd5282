#include "common/printers.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "recording/locationsampleeditor.h"
#include "recording/messages.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using core::Dataset;

namespace {

struct Editor : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    recording::LocationSampleEditor editor{store};
    void SetUp() override {
        QDir(dir.path()).mkdir("Data");
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        store.CreateDatabase("T");
        ASSERT_TRUE(store.OpenDatabase("T"));
        store.SetCoordinateSystem("km-based");
    }
    void TearDown() override {
        store.CloseDatabase();
        core::SetProgramDir({});
    }
    // Fixture rows are written as an import writes them, past the rules of single entries
    // (a location with unreadable coordinates, samples of any location).
    void AddLocation(int id, const QString& x, const QString& y) {
        const core::DatabaseStore::BulkChange bulk(store);
        store.Locations().AppendRecord(
            {id, QString("Loc %1").arg(id), "05", "06", "2001", "", "", x, y});
        store.maxLocationID = QString::number(std::max(store.maxLocationID.toInt(), id));
    }
    void AddSample(int id, const QString& name) {
        const core::DatabaseStore::BulkChange bulk(store);
        store.Samples().AppendRecord({id, "2001-06-05", "162-458", "160-455", name, "1"});
    }
    int SamplesOf(int id) {
        int n = 0;
        Dataset& s = store.Samples();
        for (s.First(); !s.Eof(); s.Next())
            n += s.FieldByName("ID").AsInteger() == id ? 1 : 0;
        return n;
    }
    void GoToLocation(int id) {
        store.Locations().SetIndexName("ID");
        ASSERT_TRUE(store.Locations().Locate("ID", id));
    }
};

TEST(DateRules, PaddingCheckingAndTheDecimalComma) {
    EXPECT_EQ(recording::PadDayOrMonth("5"), "05");
    EXPECT_EQ(recording::PadDayOrMonth("15"), "15");
    EXPECT_EQ(recording::PadDayOrMonth(""), "");
    struct Case {
        const char *d, *m, *y;
        bool valid;
    };
    const Case cases[] = {{"05", "06", "2001", true},  {"0", "0", "2001", true},
                          {"31", "04", "2001", false}, {"29", "02", "2000", true},
                          {"29", "02", "2001", false}, {"x", "06", "2001", false},
                          {"05", "06", "", false},     {"05", "13", "2001", false}};
    for (const Case& c : cases)
        EXPECT_EQ(recording::IsValidDate(c.d, c.m, c.y), c.valid)
            << c.d << "-" << c.m << "-" << c.y;
    EXPECT_EQ(recording::DecimalCommaRepair("162.4"), "162,4");
    EXPECT_EQ(recording::DecimalCommaRepair("1.2.3"), "1,2.3");
    EXPECT_EQ(recording::DecimalCommaRepair("162"), "162");
}

TEST_F(Editor, ApplyFillsTheLinkFieldsOrRefusesBadCoordinates) {
    AddLocation(4, "162,4", "458,9");
    GoToLocation(4);
    store.Samples().Append();
    store.Samples().FieldByName("DESMID").SetAsString("Cosmarium a");
    editor.Apply();
    EXPECT_EQ(store.Samples().FieldByName("ID").AsInteger(), 4);
    EXPECT_EQ(store.Samples().FieldByName("DATUM").AsString(), "2001-06-05");
    EXPECT_EQ(store.Samples().FieldByName("KXY").AsString(), "162-458");
    EXPECT_EQ(store.Samples().FieldByName("UXY").AsString(), "160-455");
    store.Samples().Post();

    AddLocation(5, "abc", "458");
    GoToLocation(5);
    store.Samples().Append();
    EXPECT_THROW(editor.Apply(), core::Error);
    EXPECT_TRUE(store.Samples().FieldByName("ID").IsNull()); // nothing half-written
    store.Samples().Cancel();
}

TEST_F(Editor, ChangedCoordinatesAreWrittenIntoEverySample) {
    AddLocation(1, "162", "458");
    AddLocation(2, "100", "400");
    for (const char* n : {"A a", "B b", "C c"})
        AddSample(1, n);
    AddSample(2, "D d");
    GoToLocation(1);
    store.Locations().Edit();
    store.Locations().FieldByName("COORDX").SetAsString("201,5");
    store.Locations().FieldByName("JAAR").SetAsString("1999");
    store.Locations().Post();
    editor.PropagateLocationToSamples();
    Dataset& s = store.Samples();
    int rewritten = 0;
    for (s.First(); !s.Eof(); s.Next()) {
        if (s.FieldByName("ID").AsInteger() == 1) {
            EXPECT_EQ(s.FieldByName("KXY").AsString(), "201-458");
            EXPECT_EQ(s.FieldByName("UXY").AsString(), "200-455");
            EXPECT_EQ(s.FieldByName("DATUM").AsString(), "1999-06-05");
            ++rewritten;
        } else {
            EXPECT_EQ(s.FieldByName("KXY").AsString(), "162-458");
        }
    }
    EXPECT_EQ(rewritten, 3);
}

TEST_F(Editor, DeleteCascadeRemovesTheSamplesAndResetsTheMaximum) {
    AddLocation(1, "162", "458");
    AddLocation(7, "162", "458");
    AddLocation(3, "162", "458");
    for (const char* n : {"A a", "B b", "C c"})
        AddSample(7, n);
    AddSample(1, "D d");
    AddSample(3, "E e");
    GoToLocation(7);
    store.Locations().Delete();
    editor.SamplesUpdate(7);
    EXPECT_EQ(SamplesOf(7), 0);
    EXPECT_EQ(SamplesOf(1), 1);
    EXPECT_EQ(SamplesOf(3), 1);
    EXPECT_EQ(store.maxLocationID, "3");
    EXPECT_TRUE(store.samplesChanged);
    EXPECT_EQ(store.Samples().RecordCount(), 2);
}

TEST_F(Editor, DeletingTheLastLocationEmptiesEverything) {
    AddLocation(0, "162", "458");
    AddSample(0, "A a");
    AddSample(0, "B b");
    GoToLocation(0);
    store.Locations().Delete();
    editor.SamplesUpdate(0);
    EXPECT_EQ(store.maxLocationID, "-1");
    EXPECT_TRUE(store.Samples().IsEmpty());
}

TEST_F(Editor, NewIdsAndCopies) {
    store.maxLocationID = "";
    EXPECT_EQ(editor.NextLocationId(), 0);
    EXPECT_EQ(store.maxLocationID, "0");
    AddLocation(8, "162", "458");
    store.maxLocationID = "8";
    store.Locations().Edit();
    for (const char* f : {"PH", "GELEIDING", "HERBARIUM", "OWNER"})
        store.Locations().FieldByName(f).SetAsString("7");
    store.Locations().Post();
    AddSample(8, "A a");
    GoToLocation(8);
    editor.CopyRecord("Analist X");
    Dataset& loc = store.Locations();
    EXPECT_EQ(loc.State(), core::DatasetState::Insert); // not stored before it is posted
    EXPECT_EQ(loc.FieldByName("ID").AsInteger(), 9);
    EXPECT_EQ(store.maxLocationID, "9");
    for (const char* f : {"DAG", "MAAND", "JAAR", "HERBARIUM", "PH", "GELEIDING"})
        EXPECT_TRUE(loc.FieldByName(f).IsNull()) << f;
    EXPECT_EQ(loc.FieldByName("OWNER").AsString(), "7");
    EXPECT_EQ(loc.FieldByName("ANALIST").AsString(), "Analist X");
    EXPECT_EQ(loc.FieldByName("COORDX").AsString(), "162");
    EXPECT_THROW(loc.Post(), core::Refusal); // the copy needs its own date
    EXPECT_EQ(prompts.shown.last(), recording::ResStr(recording::rsValidDateRequired));
    loc.FieldByName("JAAR").SetAsString("2002");
    loc.Post();
    EXPECT_EQ(SamplesOf(8), 1);
    EXPECT_EQ(SamplesOf(9), 0);
}

TEST_F(Editor, SampleRowsAreSortedByName) {
    AddLocation(1, "162", "458");
    AddLocation(2, "162", "458");
    AddSample(1, "Staurastrum b");
    AddSample(2, "Other");
    AddSample(1, "cosmarium a");
    AddSample(1, "Closterium c");
    GoToLocation(1);
    const core::Grid grid = editor.SampleRows();
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Row(0), recording::SampleGridHeader());
    EXPECT_EQ(grid.Cell(2, 1), "Closterium c");
    EXPECT_EQ(grid.Cell(2, 2), "cosmarium a");
    EXPECT_EQ(grid.Cell(2, 3), "Staurastrum b");
    EXPECT_EQ(grid.Cell(1, 3), "3");
    EXPECT_EQ(grid.Cell(3, 1), "1");
    store.Samples().SetRecNo(grid.Cell(0, 2).toInt());
    EXPECT_EQ(store.Samples().FieldByName("DESMID").AsString(), "cosmarium a");

    GoToLocation(2);
    EXPECT_EQ(editor.SampleRows().RowCount(), 2);
    AddLocation(3, "162", "458");
    GoToLocation(3);
    const core::Grid empty = editor.SampleRows();
    EXPECT_EQ(empty.RowCount(), 2);
    EXPECT_TRUE(empty.Cell(2, 1).isEmpty());
}

TEST_F(Editor, ALocationIsStoredOnlyWhenItsFieldsMakeSense) {
    using recording::ResStr;
    const int nextYear = QDate::currentDate().year() + 1;
    struct Case {
        const char* field;
        QString value;
        QString message;                  // empty: stored
        std::deque<core::Answer> answers; // for the year question
    };
    const Case cases[] = {
        {"LOCATIE", "", ResStr(recording::rsLocationNameRequired), {}},
        {"LOCATIE", "   ", ResStr(recording::rsLocationNameRequired), {}},
        {"JAAR", "", ResStr(recording::rsValidDateRequired), {}},
        {"DAG", "31", ResStr(recording::rsDateError), {}}, // 31-02-2023
        {"MAAND", "13", ResStr(recording::rsDateError), {}},
        {"JAAR", "20x3", ResStr(recording::rsDateError), {}},
        {"PH", "zes", ResStr(recording::rsNumberFieldInvalid).arg("pH", "zes"), {}},
        {"GELEIDING",
         "veel",
         ResStr(recording::rsNumberFieldInvalid)
             .arg(ResStr(recording::rsFieldConductivity), "veel"),
         {}},
        {"WATERTEMP",
         "warm",
         ResStr(recording::rsNumberFieldInvalid).arg(ResStr(recording::rsFieldWaterTemp), "warm"),
         {}},
        {"COORDX",
         "abc",
         ResStr(recording::rsCoordinateInvalid).arg(ResStr(recording::rsCoordLabelX), "abc"),
         {}},
        {"COORDY",
         "4 5 8",
         ResStr(recording::rsCoordinateInvalid).arg(ResStr(recording::rsCoordLabelY), "4 5 8"),
         {}},
        {"JAAR",
         "1700",
         ResStr(recording::rsYearQuestion).arg("1700").arg(nextYear),
         {core::Answer::No}},
        // Stored: either decimal separator, empty numbers, a year asked about and confirmed,
        // an unknown day and month.
        {"PH", "6,5", "", {}},
        {"PH", "6.5", "", {}},
        {"GELEIDING", "", "", {}},
        {"DAG", "", "", {}},
        {"JAAR",
         "1790",
         ResStr(recording::rsYearQuestion).arg("1790").arg(nextYear),
         {core::Answer::Yes}},
    };
    int stored = 0;
    for (const Case& c : cases) {
        Dataset& loc = store.Locations();
        loc.Append();
        for (const auto& [f, v] : {std::pair{"ID", "1"},
                                   {"LOCATIE", "Ven"},
                                   {"DAG", "28"},
                                   {"MAAND", "02"},
                                   {"JAAR", "2023"},
                                   {"COORDX", "162"},
                                   {"COORDY", "458"}})
            loc.FieldByName(f).SetAsString(v);
        loc.FieldByName(c.field).SetAsString(c.value);
        prompts.shown.clear();
        prompts.answers = c.answers;
        const bool refused =
            !c.message.isEmpty() && (c.answers.empty() || c.answers.front() == core::Answer::No);
        if (refused) {
            EXPECT_THROW(loc.Post(), core::Refusal) << c.field << "=" << c.value.toStdString();
            EXPECT_EQ(loc.State(), core::DatasetState::Insert);
            loc.Cancel(); // nothing was written
        } else {
            loc.Post();
            ++stored;
        }
        if (!c.message.isEmpty())
            EXPECT_EQ(prompts.shown, QStringList{c.message}) << c.field;
        else
            EXPECT_TRUE(prompts.shown.isEmpty()) << c.field;
        EXPECT_EQ(loc.RecordCount(), stored) << c.field << "=" << c.value.toStdString();
    }
}

TEST_F(Editor, ASampleOfAnotherLocationIsNeverPostedOrDeleted) {
    AddLocation(1, "162", "458");
    AddLocation(2, "163", "459");
    AddSample(1, "Cosmarium a");
    GoToLocation(2);
    Dataset& samples = store.Samples();
    samples.SetIndexName("ID");
    ASSERT_TRUE(samples.Locate("ID", 1));
    EXPECT_FALSE(editor.CurrentSampleBelongs());

    // Edited and "applied" to the current location: that would move it. Refused.
    samples.Edit();
    samples.FieldByName("ABUND").SetAsString("3");
    editor.Apply();
    prompts.shown.clear();
    EXPECT_THROW(samples.Post(), core::Refusal);
    EXPECT_EQ(prompts.shown, QStringList{recording::ResStr(recording::rsSampleNotOfLocation)});
    samples.Cancel();
    prompts.shown.clear();
    EXPECT_THROW(samples.Delete(), core::Refusal);
    EXPECT_EQ(prompts.shown, QStringList{recording::ResStr(recording::rsSampleNotOfLocation)});
    EXPECT_EQ(SamplesOf(1), 1);
    ASSERT_TRUE(samples.Locate("ID", 1));
    EXPECT_EQ(samples.FieldByName("ABUND").AsString(), "1");

    // A new sample without the link to the current location is refused too; with it, stored.
    samples.Append();
    samples.FieldByName("DESMID").SetAsString("Euastrum b");
    EXPECT_THROW(samples.Post(), core::Refusal);
    editor.Apply();
    samples.Post();
    EXPECT_EQ(SamplesOf(2), 1);
    EXPECT_TRUE(editor.CurrentSampleBelongs());
    // The sample's own location may delete it.
    samples.Delete();
    EXPECT_EQ(SamplesOf(2), 0);
}

} // namespace
