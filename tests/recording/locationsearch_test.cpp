// The location search: which events each mode and year show, in the order of the chosen
// tag, and the selection run that rates several events with one nature value.

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "recording/locationsampleeditor.h"
#include "recording/locationsearch.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct Search : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    recording::LocationSearch search{store};

    void SetUp() override {
        QDir(dir.path()).mkdir("Data");
        QDir(dir.path()).mkdir("Lib");
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        core::SetDecimalSeparator('.');
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        // ID, LOCATIE, DAG, MAAND, JAAR, ZUURGRAAD, OPMLOCATIE, COORDX, COORDY, MONSTERSRT,
        // ANALIST, OWNER
        core::Dataset& loc = store.Locations();
        loc.AppendRecord(
            {1, "Ven Oost", "05", "06", "2019", "Zuur", "", "1", "2", "", "", "Gemeente Ede"});
        loc.AppendRecord(
            {2, "Plas", "01", "07", "2020", "", "", "1", "2", "", "", "Natuurmonumenten"});
        loc.AppendRecord({3, "Ven West", "10", "08", "2020", "", "", "1", "2", "", "", ""});
        // ID, DATUM, KXY, UXY, DESMID, ABUND, DL, ZYGO, FOTO, ZEKER, OPMDESMID
        core::Dataset& s = store.Samples();
        s.AppendRecord({1, "", "", "", "Cosmarium botrytis"});
        s.AppendRecord({1, "", "", "", "Staurastrum"});
        s.AppendRecord({2, "", "", "", "cosmarium spec.", "", "", "", "", "", "zygoten"});
        s.AppendRecord({2, "", "", "", "Euastrum ansatum"});
        s.AppendRecord({3, "", "", "", "Cosmarium margaritiferum", "", "", "", "", "", "Zygoten"});
        s.AppendRecord({3, "", "", "", "Staurastrum"});
    }
    void TearDown() override {
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }

    // The IDs of the events shown (record number = ID here), in order.
    std::vector<int> Shown(const QString& tag = QStringLiteral("Locatie")) {
        std::vector<int> ids;
        for (const auto& row : search.Rows({"ID"}, tag))
            ids.push_back(row.values[0].toInt());
        return ids;
    }
};

TEST_F(Search, EachModeAndYearShowTheirEvents) {
    struct Case {
        const char* what;
        std::function<void()> set;
        const char* year;
        std::vector<int> shown; // in "Locatie" order: Plas (2), Ven Oost (1), Ven West (3)
    } cases[] = {
        {"all", [&] { search.mode = 0; }, "", {2, 1, 3}},
        {"all of 2019", [&] { search.mode = 0; }, "2019", {1}},
        {"year is compared whole", [&] { search.mode = 0; }, "201", {}},
        // Letter case counts in the samples' names: a genus finds all of its species.
        {"genus", [&] { search.TaxonSearch("Cosmarium"); }, "", {1, 3}},
        {"genus in small letters", [&] { search.TaxonSearch("cosmarium"); }, "", {2}},
        {"genus of 2020", [&] { search.TaxonSearch("Cosmarium"); }, "2020", {3}},
        {"empty taxon", [&] { search.TaxonSearch(""); }, "", {}},
        {"owner, case ignored", [&] { search.mode = 2, search.owner = "natuur"; }, "", {2}},
        {"empty owner", [&] { search.mode = 2, search.owner = ""; }, "", {}},
        {"name", [&] { search.mode = 3, search.name = "VEN"; }, "", {1, 3}},
        {"name of 2020", [&] { search.mode = 3, search.name = "ven"; }, "2020", {3}},
        // The blanks that pad a stored name are not part of it.
        {"genus and a blank", [&] { search.TaxonSearch("Staurastrum "); }, "", {}},
        {"species after a blank", [&] { search.TaxonSearch(" ansatum"); }, "", {2}},
        {"remark, case counts", [&] { search.RemarkSearch("Zygoten"); }, "", {3}},
        {"remark and a blank", [&] { search.RemarkSearch("Zygoten "); }, "", {}},
        {"remark in small letters", [&] { search.RemarkSearch("zygoten"); }, "", {2}},
        {"empty remark", [&] { search.RemarkSearch(""); }, "", {}},
    };
    for (const Case& c : cases) {
        c.set();
        search.year = c.year;
        EXPECT_EQ(Shown(), c.shown) << c.what;
    }
}

TEST_F(Search, TheRowsFollowTheChosenTagAndSkipDeletedEvents) {
    EXPECT_EQ(Shown("Datum"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Shown("DatumDesc"), (std::vector<int>{3, 2, 1}));
    store.Locations().SetRecNo(2);
    store.Locations().Delete();
    const int current = store.Locations().RecNo();
    EXPECT_EQ(Shown("Locatie"), (std::vector<int>{1, 3}));
    const auto rows = search.Rows({"LOCATIE", "JAAR", "NOSUCH"}, "Locatie");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].values, (QStringList{"Ven Oost", "2019", ""}));
    // The search never moved the table's cursor.
    EXPECT_EQ(store.Locations().RecNo(), current);
}

TEST_F(Search, TheColumnChooserProposesTheColumnsFieldButNeverID) {
    EXPECT_EQ(recording::LocationFieldNames().size(), recording::LocationFieldCaptions().size());
    EXPECT_EQ(recording::ProposedFieldIndex("locatie"), 1);
    EXPECT_EQ(recording::ProposedFieldIndex("AMAAT"), 18);
    EXPECT_EQ(recording::ProposedFieldIndex("ID"), -1);
    EXPECT_EQ(recording::ProposedFieldIndex(""), -1);
}

TEST_F(Search, ASelectionRunCountsASharedTaxonOnceAndACancelledRunLeavesNoFlag) {
    ecology::EcologyData eco;
    eco.taxaList.Assign(
        {{"Staurastrum", "Staurastrum", "", "", "", "", "1", "1", "", ""},
         {"Cosmarium botrytis", "Cosmarium botrytis", "", "", "", "", "1", "1", "", ""},
         {"Cosmarium margaritiferum", "Cosmarium margaritiferum", "", "", "", "", "1", "1", "",
          ""}},
        &eco.searchList);
    recording::LocationSampleEditor editor(store);
    auto load = [&] { editor.TallyCurrentEvent(eco.tally, false, false); };

    ASSERT_TRUE(search.RunSelection({1, 3}, eco, load));
    EXPECT_FALSE(eco.selectionRun);
    // Staurastrum in both events, counted once: 3 taxa.
    EXPECT_EQ(eco.tally.D(), 3);
    EXPECT_EQ(prompts.progressLog,
              (QStringList{"range 0 100", "start", "step 50", "step 100", "finish"}));

    prompts.progressLog.clear();
    prompts.cancelAtStep = 50;
    EXPECT_FALSE(search.RunSelection({1, 3}, eco, load));
    EXPECT_FALSE(eco.selectionRun);
    EXPECT_EQ(prompts.progressLog, (QStringList{"range 0 100", "start", "step 50"}));
}

} // namespace
