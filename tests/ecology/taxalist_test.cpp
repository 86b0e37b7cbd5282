// The in-memory taxa list: its current-name column, its orders by name and by current name,
// and the look-ups in either order.

#include "ecology/taxalist.h"

#include <gtest/gtest.h>

#include "common/printers.h"

using namespace velmora::ecology;

namespace {

TaxonRecord Taxon(const char* name, const char* curName) {
    return {name, curName, "", "", "", "", "", "", "", ""};
}

std::vector<qsizetype> Positions(std::span<const qsizetype> run) {
    return {run.begin(), run.end()};
}

// A list as the file gives it, in "TaxonName" tag order, with synonyms.
struct TaxaListOrders : ::testing::Test {
    TaxaList list;
    void SetUp() override {
        list.Assign({Taxon("Actinotaenium cucurbita", "Staurastrum cucurbita"),
                     Taxon("Closterium acutum", "Closterium acutum"),
                     Taxon("Closterium  subulatum ", " Closterium  acutum "),
                     Taxon("Cosmarium botrytis", "Cosmarium botrytis"),
                     Taxon("Cosmarium pseudobotrytis", "COSMARIUM BOTRYTIS"),
                     Taxon("Euastrum ansatum", ""),
                     Taxon("Staurastrum cucurbita", "Staurastrum cucurbita")},
                    nullptr);
    }
};

TEST_F(TaxaListOrders, KeepsTheCurrentNameOfEveryEntryInBothOrders) {
    EXPECT_EQ(
        list.Taxa().curName,
        (QStringList{"Staurastrum cucurbita", "Closterium acutum", "Closterium acutum",
                     "Cosmarium botrytis", "COSMARIUM BOTRYTIS", "", "Staurastrum cucurbita"}));
    EXPECT_EQ(list.Order(TaxaOrder::TaxonName), (std::vector<qsizetype>{0, 1, 2, 3, 4, 5, 6}));
    // Blank first; letter case ignored; synonyms of one current name in list order.
    EXPECT_EQ(list.Order(TaxaOrder::CurName), (std::vector<qsizetype>{5, 1, 2, 3, 4, 0, 6}));
}

TEST_F(TaxaListOrders, LooksUpByNameAndByCurrentName) {
    struct Case {
        TaxaOrder order;
        QString name;
        std::vector<qsizetype> run;
    };
    const std::vector<Case> cases = {
        {TaxaOrder::CurName, "staurastrum CUCURBITA", {0, 6}},
        {TaxaOrder::CurName, "Cosmarium botrytis", {3, 4}},
        {TaxaOrder::CurName, "Closterium acutum", {1, 2}},
        {TaxaOrder::CurName, "Closterium", {}}, // whole names only
        {TaxaOrder::CurName, "Euastrum ansatum", {}},
        {TaxaOrder::CurName, "Zygnema", {}}, // past the last name
        {TaxaOrder::TaxonName, "CLOSTERIUM SUBULATUM", {2}},
        {TaxaOrder::TaxonName, "Actinotaenium cucurbita", {0}},
        {TaxaOrder::TaxonName, "Staurastrum cucurbita", {6}},
        {TaxaOrder::TaxonName, "Aaa", {}}, // before the first name
    };
    for (const Case& c : cases) {
        const std::string what = c.name.toStdString();
        EXPECT_EQ(Positions(list.EqualRange(c.order, c.name)), c.run) << what;
        const qsizetype first = c.run.empty() ? -1 : c.run.front();
        const qsizetype found =
            c.order == TaxaOrder::CurName ? list.FindCurName(c.name) : list.FindTaxon(c.name);
        EXPECT_EQ(found, first) << what;
    }
    // A blank current name is not the taxon's own name here; CurrentName still falls back.
    EXPECT_EQ(list.CurrentName("Euastrum ansatum"), "Euastrum ansatum");
}

TEST(TaxaListNameOrder, NamesDifferingInCaseOnlyAreNeighbours) {
    // The tag's collation puts "cosmarium a" before "Closterium b".
    TaxaList list;
    list.Assign({Taxon("cosmarium a", "Cosmarium a"), Taxon("Closterium b", "Closterium b"),
                 Taxon("Cosmarium a", "Cosmarium a"), Taxon("Cosmarium c", "Cosmarium c")},
                nullptr);
    EXPECT_EQ(list.Order(TaxaOrder::TaxonName), (std::vector<qsizetype>{1, 0, 2, 3}));
    EXPECT_EQ(Positions(list.EqualRange(TaxaOrder::TaxonName, "COSMARIUM A")),
              (std::vector<qsizetype>{0, 2}));
    EXPECT_EQ(list.FindTaxon("COSMARIUM A"), 0);

    // A new list replaces both orders; Clear empties them.
    list.Assign({Taxon("Penium", "Penium")}, nullptr);
    EXPECT_EQ(list.Order(TaxaOrder::TaxonName), (std::vector<qsizetype>{0}));
    EXPECT_EQ(list.Order(TaxaOrder::CurName), (std::vector<qsizetype>{0}));
    EXPECT_EQ(list.FindCurName("Cosmarium a"), -1);
    list.Clear();
    EXPECT_TRUE(list.Order(TaxaOrder::CurName).empty());
    EXPECT_TRUE(list.EqualRange(TaxaOrder::TaxonName, "Penium").empty());
}

} // namespace
