#include "common/tempdir.h"
#include "core/error.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/printers.h"

using namespace velmora::ecology;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

TEST(TaxonNames, CollapseSpeciesAndInfoKey) {
    struct Case {
        const char* in;
        const char* collapsed;
        const char* species;
        const char* infoKey;
    };
    const Case cases[] = {
        {"Cosmarium botrytis var. tumidum", "Cosmarium botrytis var. tumidum", "Cosmarium botrytis",
         "Cosmarium botrytis"},
        {"Cosmarium  botrytis", "Cosmarium botrytis", "Cosmarium botrytis", "Cosmarium "},
        {"Cosmarium   botrytis", "Cosmarium  botrytis", "Cosmarium", "Cosmarium "},
        {"Cosmarium    botrytis", "Cosmarium  botrytis", "Cosmarium", "Cosmarium "},
        {"Cosmarium", "Cosmarium", "Cosmarium", "Cosmarium"},
        {" Cosmarium botrytis", " Cosmarium botrytis", "Cosmarium", " Cosmarium"},
        {"Closterium\t", "Closterium\t", "Closterium", "Closterium\t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CollapseDoubleBlanks(c.in), c.collapsed) << c.in;
        EXPECT_EQ(SpeciesName(c.in), c.species) << c.in;
        EXPECT_EQ(TaxonInfoKey(c.in), c.infoKey) << c.in;
    }
}

TEST(TaxonNames, UncertainNames) {
    for (const char* name :
         {"Cosmarium ?botrytis", "Cosmarium sp ", "Cosmarium sp.", "Staurastrum spec. 2"})
        EXPECT_TRUE(IsUncertainName(name)) << name;
    for (const char* name : {"Cosmarium speciosum", "Cosmarium sphagnicolum", "Cosmarium"})
        EXPECT_FALSE(IsUncertainName(name)) << name;
}

std::vector<TaxonRecord> SmallList() {
    // In case-insensitive name order, as the "TaxonName" tag delivers them.
    return {
        {"Closterium  acutum", "Closterium acutum", "Brébisson", "meso", "neutr", "", "1", "2", "",
         ""},
        {"Cosmarium botrytis", "Cosmarium botrytis", "Meneghini", "eu", "alk", "", "0", "1", "",
         ""},
        {"Cosmarium margaritiferum var. minor", "Cosmarium margaritiferum", "Boldt", "oligo",
         "acido", "", "3", "4", "", "T"},
        {"Staurastrum hirsutum", "Staurastrum hirsutum", "Brébisson", "oligo", "acido", "", "2",
         "3", "RL", ""},
        {"Staurastrum hirsutum var. muricatum", "Staurastrum hirsutum", "(Bréb.) Kurt", "", "", "",
         "2", "3", "", ""},
        {"Xanthidium old", "Xanthidium antilopaeum", "", "", "", "", "", "", "", ""},
    };
}

TEST(TaxaList, LookupsFollowTheNameRules) {
    TaxaList list;
    SearchList search;
    list.Assign(SmallList(), &search);
    EXPECT_EQ(list.Taxa().name[0], "Closterium acutum"); // collapsed on load
    EXPECT_TRUE(search.Contains("closterium acutum"));
    EXPECT_EQ(list.FindTaxon("cosmarium BOTRYTIS"), 1);
    EXPECT_EQ(list.FindTaxon("Cosmarium"), -1);

    // A variety takes the info of its species; a case difference gives empty columns.
    EXPECT_EQ(list.AddTaxonInfo("Staurastrum hirsutum var. muricatum", "x\t"),
              "x\tBrébisson\toligo\tacido\t\t2\t3\tRL\t");
    EXPECT_EQ(list.AddTaxonInfo("staurastrum hirsutum", ""), "\t\t\t\t\t\t\t");
    // The list holds the variety but not its species: seven tabs.
    EXPECT_EQ(list.AddTaxonInfo("Cosmarium margaritiferum var. minor", ""), "\t\t\t\t\t\t\t");
    EXPECT_EQ(list.AddTaxonTitles("A\t"),
              "A\tAUTHOR_NAM\tTROPHIC_ST\tACIDITY\tLIFE_FORM\tR\tS\tR_L\t");

    EXPECT_TRUE(list.IsRedListTaxon("Staurastrum hirsutum var. muricatum"));
    EXPECT_FALSE(list.IsRedListTaxon("Cosmarium botrytis"));
    EXPECT_EQ(list.CurrentName("Xanthidium old"), "Xanthidium antilopaeum");
    EXPECT_EQ(list.CurrentName("xanthidium old"), "xanthidium old"); // exact match only
    EXPECT_EQ(list.Author("Cosmarium botrytis"), "Meneghini");
    EXPECT_FALSE(list.Author("Cosmarium").has_value());
}

TEST(SearchList, FilterNames) {
    SearchList list;
    for (const char* n : {"Cosmarium botrytis", "Cosmarium subcostatum", "Closterium costatum",
                          "Staurastrum botrophilum", "Cosmarium obtusatum"})
        list.Add(n);
    EXPECT_FALSE(list.Add("COSMARIUM BOTRYTIS")); // unique without regard to case
    EXPECT_EQ(list.FilterNames(""), list.Names());
    EXPECT_EQ(list.FilterNames("cos bot"), QStringList{"Cosmarium botrytis"});
    EXPECT_EQ(list.FilterNames("bot"),
              (QStringList{"Cosmarium botrytis", "Staurastrum botrophilum"}));
    EXPECT_EQ(list.FilterNames("cos"),
              (QStringList{"Closterium costatum", "Cosmarium botrytis", "Cosmarium obtusatum",
                           "Cosmarium subcostatum"}));
    EXPECT_TRUE(list.FilterNames(" bot").isEmpty());
    EXPECT_EQ(list.FilterNames("COS B"), QStringList{"Cosmarium botrytis"});
}

TEST(SearchList, ContainsExactlyHonoursLetterCase) {
    SearchList list;
    list.Add("Cosmarium botrytis");
    EXPECT_TRUE(list.Contains("cosmarium BOTRYTIS"));
    EXPECT_FALSE(list.ContainsExactly("cosmarium BOTRYTIS"));
    EXPECT_TRUE(list.ContainsExactly("Cosmarium botrytis"));
    EXPECT_FALSE(list.ContainsExactly("Cosmarium"));
    EXPECT_FALSE(list.ContainsExactly(""));
}

TEST(SearchList, AdditionalListKeepsHashesAndSortsOnAdd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("AdditionalTaxalistNL.csv");
    WriteAll(path, "Geen sieralgen\r\n#Zygnema sp.\r\nCosmarium extra\r\n");
    SearchList list;
    list.ExtendSearchList(path);
    EXPECT_TRUE(list.Contains("Zygnema sp."));
    EXPECT_FALSE(list.Contains("#Zygnema sp."));
    list.AddToAdditionalList("  Actinotaenium nieuw ", path);
    EXPECT_TRUE(list.Contains("Actinotaenium nieuw"));
    EXPECT_EQ(ReadAll(path), QByteArray("#Zygnema sp.\r\nActinotaenium nieuw\r\nCosmarium extra\r\n"
                                        "Geen sieralgen\r\n"));
    EXPECT_THROW(list.ExtendSearchList(dir.filePath("missing.csv")), velmora::core::Error);
}

TEST(SearchList, UnwritableFileKeepsTheNameForTheRun) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub"); // a folder: cannot be written as a file
    QDir(dir.path()).mkdir("sub");
    SearchList list;
    EXPECT_THROW(list.AddToAdditionalList("Cosmarium novum", path), velmora::core::Error);
    EXPECT_TRUE(list.Contains("Cosmarium novum"));
}

} // namespace
