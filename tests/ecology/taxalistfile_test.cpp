#include "common/printers.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

void WriteList(const QString& path, const std::vector<QVariantList>& rows) {
    std::vector<core::dbf::FieldDef> fields;
    for (const QString& name : ecology::TaxaListFieldNames())
        fields.push_back(core::dbf::TextField(name.toStdString(), name == "AUTHOR_NAM" ? 60 : 50));
    core::Dataset::CreateTable(path, fields, core::dbf::TableLevel::Level4);
    core::Dataset table;
    table.Open(path);
    for (const QVariantList& row : rows)
        table.AppendRecord(row);
    table.Close();
}

struct TaxaListFile : ::testing::Test {
    QTemporaryDir dir;
    void SetUp() override {
        QDir(dir.path()).mkdir("Lib");
        core::SetProgramDir(dir.path());
    }
    void TearDown() override { core::SetProgramDir({}); }
};

TEST_F(TaxaListFile, LoadsInNameOrderAndBuildsTheIndexOnce) {
    WriteList(ecology::TaxaListPath(0),
              {{"Staurastrum hirsutum", "Staurastrum hirsutum", "Bréb.", "oligo", "acido", "", "2",
                "3", "RL", ""},
               {"  cosmarium  botrytis ", "Cosmarium botrytis", "Menegh.", "eu", "alk", "", "", "1",
                "", ""},
               {"Closterium acutum", "Closterium acutum", "", "", "", "", "1", "", "", "T"}});
    ecology::EcologyData eco;
    ecology::LoadTaxaList(eco, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("Lib/TaxaListAnnotatedNL.mdx")));
    const auto& taxa = eco.taxaList.Taxa();
    ASSERT_EQ(taxa.Size(), 3);
    // Tag order compares the stored values: the leading blanks sort first.
    EXPECT_EQ(taxa.name[0], "cosmarium botrytis"); // trimmed and collapsed in the copy
    EXPECT_EQ(taxa.name[1], "Closterium acutum");
    EXPECT_EQ(taxa.name[2], "Staurastrum hirsutum");
    EXPECT_EQ(taxa.author[2], "Bréb.");
    EXPECT_EQ(taxa.negVar[1], "T");
    EXPECT_TRUE(eco.searchList.Contains("COSMARIUM BOTRYTIS"));
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium Botrytis"), 0);
    EXPECT_EQ(eco.taxaList.CurrentName("Staurastrum hirsutum"), "Staurastrum hirsutum");
    EXPECT_EQ(taxa.curName,
              (QStringList{"Cosmarium botrytis", "Closterium acutum", "Staurastrum hirsutum"}));
    EXPECT_EQ(eco.taxaList.FindCurName("cosmarium BOTRYTIS"), 0);

    ecology::LoadTaxaList(eco, 0); // the index file exists now
    EXPECT_EQ(eco.taxaList.Taxa().Size(), 3);
    ecology::RemoveTaxaListIndexes();
    EXPECT_FALSE(QFile::exists(dir.filePath("Lib/TaxaListAnnotatedNL.mdx")));
}

TEST_F(TaxaListFile, SwitchingListsKeepsSearchNamesOfBoth) {
    WriteList(ecology::TaxaListPath(0),
              {{"Cosmarium nl", "Cosmarium nl", "", "", "", "", "", "", "", ""}});
    WriteList(ecology::TaxaListPath(1),
              {{"Cosmarium eu", "Cosmarium eu", "", "", "", "", "", "", "", ""}});
    ecology::EcologyData eco;
    ecology::LoadTaxaList(eco, 0);
    ecology::LoadTaxaList(eco, 1);
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium nl"), -1);
    EXPECT_EQ(eco.taxaList.FindTaxon("Cosmarium eu"), 0);
    EXPECT_TRUE(eco.searchList.Contains("Cosmarium nl"));
    EXPECT_TRUE(eco.searchList.Contains("Cosmarium eu"));
}

TEST_F(TaxaListFile, MissingFileLeavesAnEmptyList) {
    ecology::EcologyData eco;
    eco.taxaList.Assign({{"A a", "A a", "", "", "", "", "", "", "", ""}}, nullptr);
    EXPECT_THROW(ecology::LoadTaxaList(eco, 1), core::Error);
    EXPECT_EQ(eco.taxaList.Taxa().Size(), 0);
    eco.tally.AddTaxon("A a", false); // calculations still work
    eco.tally.ComputeNatureValue();
    EXPECT_EQ(eco.tally.Result().nw, "0");
}

} // namespace
