// Name correction below the window: the distance and similarity of names, the suggestions
// and their order, the doubtful names of a database, the normalising rules, deleting nameless
// samples and renaming everywhere.

#include "common/programfolder.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/searchlist.h"
#include "recording/messages.h"
#include "recording/namecorrection.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::recording;

TEST(NameDistance, AdjacentTranspositionsSubstitutionsAndEmptyTexts) {
    struct Case {
        const char* a;
        const char* b;
        int distance;
    };
    for (const Case& c :
         {Case{"Cosmarium", "Cosmarium", 0}, Case{"Cosmarium", "Cosmraium", 1},
          Case{"Cosmarium", "Cosmarium", 0}, Case{"Cosmarium", "Cosmerium", 1},
          Case{"Cosmarium", "", 9}, Case{"", "abc", 3}, Case{"", "", 0}, Case{"ab", "ba", 1},
          // the restricted form: no edit of a transposed pair
          Case{"abc", "ca", 3}, Case{"kitten", "sitting", 3}}) {
        EXPECT_EQ(NameDistance(c.a, c.b), c.distance) << c.a << " / " << c.b;
        EXPECT_EQ(NameDistance(c.b, c.a), c.distance) << c.b << " / " << c.a;
    }
    EXPECT_DOUBLE_EQ(NameSimilarity("", "", false), 1.0);
    EXPECT_DOUBLE_EQ(NameSimilarity("ABCD", "abce", true), 0.75);
    EXPECT_DOUBLE_EQ(NameSimilarity("ABCD", "abcd", false), 0.0);
}

TEST(NameSuggestions, TheEchoLineThenTheFiveMostSimilarTiesInReverseOrder) {
    core::ScriptedPrompts prompts;
    const QStringList known = {"Cosmarium botrytis",
                               "Cosmarium botrytys",
                               "Cosmarium bioculatum",
                               "Closterium lunula",
                               "Xanthidium",
                               "Cosmarium botrytiz",
                               "Zygnema"};
    const QStringList lines = Suggestions("cosmarium botrytis", known);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "cosmarium botrytis   <-- twijfelachtige naam");
    EXPECT_EQ(lines[1], "");
    // The listed spelling first (100), then the two at 94 in reverse alphabetical order.
    EXPECT_EQ(lines.mid(2, 3),
              QStringList({"Cosmarium botrytis", "Cosmarium botrytys", "Cosmarium botrytiz"}));
    EXPECT_EQ(lines.size(), 7); // at most five suggestions
    // Nothing similar: only the echo and the empty line.
    EXPECT_EQ(Suggestions("qqqqqqqqqqqqqqqqqq", {"Cosmarium"}).size(), 2);
}

TEST(NameNormalising, TheFourRules) {
    struct Case {
        const char* name;
        const char* normal;
    };
    for (const Case& c : {Case{"Geen sieralgen", "Geen sieralgen"},
                          Case{"  COSMARIUM  BOTRYTIS ", "Cosmarium botrytis"},
                          Case{"Cosmarium botrytis (var. 2)?", "Cosmarium botrytis var. "},
                          Case{"Cosmarium sp.", "Cosmarium sp. "},
                          Case{"Cosmarium sp.1", "Cosmarium sp. "}, Case{"1cosmarium", "cosmarium"},
                          Case{"Staurastrum  pseudo-tetracerum", "Staurastrum pseudo-tetracerum"},
                          Case{"Cosmarium   x", "Cosmarium  x"}}) {
        EXPECT_EQ(NormalisedName(c.name), c.normal) << c.name;
    }
}

namespace {

struct Names : ::testing::Test {
    velmora::testing::ProgramFolder dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    ecology::SearchList list;

    void SetUp() override {
        store.CreateDatabase("Ven");
        ASSERT_TRUE(store.OpenDatabase("Ven"));
        store.Locations().AppendRecord({1, "Ven", "05", "06", "2019"});
        store.Locations().AppendRecord({2, "Poel", "05", "06", "2019"});
        for (const auto& [id, name] :
             std::vector<std::pair<int, QString>>{{1, "Cosmarium botrytis"},
                                                  {1, "cosmarium botrytis"},
                                                  {1, ""},
                                                  {1, "  "},
                                                  {2, ""},
                                                  {2, "Cosmarium botrytys"},
                                                  {2, "Cosmarium botrytys"},
                                                  {2, "Closterium lunula"}})
            store.Samples().AppendRecord({id, "", "", "", name});
        list.Add("Cosmarium botrytis");
        list.Add("Closterium lunula");
    }
    void TearDown() override { store.CloseDatabase(); }
    QStringList AllNames() {
        QStringList names;
        core::Dataset& s = store.Samples();
        for (s.First(); !s.Eof(); s.Next())
            names << s.FieldByName("DESMID").AsString();
        return names;
    }
};

} // namespace

TEST_F(Names, DoubtfulNamesAreUnknownOrInAnotherLetterCase) {
    const core::DatabaseStore::BulkChange bulk(store);
    store.Samples().SetIndexName({});
    const std::vector<DoubtfulEntry> doubtful = FindDoubtfulNames(store.Samples(), list);
    QStringList shown;
    for (const DoubtfulEntry& e : doubtful)
        shown << e.Shown() + "#" + QString::number(e.recNo);
    // A name of blanks only is stored blank.
    EXPECT_EQ(shown,
              QStringList({" Geen naam#3", " Geen naam#4", " Geen naam#5", "cosmarium botrytis#2",
                           "Cosmarium botrytys#6", "Cosmarium botrytys#7"}));
}

TEST_F(Names, NamelessSamplesAreDeletedAndNamesRenamedEverywhere) {
    const core::DatabaseStore::BulkChange bulk(store);
    store.Samples().SetIndexName({});
    EXPECT_EQ(DeleteNamelessSamples(store.Samples()), 3);
    EXPECT_EQ(AllNames(),
              QStringList({"Cosmarium botrytis", "cosmarium botrytis", "Cosmarium botrytys",
                           "Cosmarium botrytys", "Closterium lunula"}));
    EXPECT_EQ(RenameEverywhere(store.Samples(), " Cosmarium botrytys ", "Cosmarium botrytis "), 2);
    EXPECT_EQ(NormaliseAllNames(store.Samples()), 1);
    EXPECT_EQ(AllNames(),
              QStringList({"Cosmarium botrytis", "Cosmarium botrytis", "Cosmarium botrytis",
                           "Cosmarium botrytis", "Closterium lunula"}));
    EXPECT_TRUE(FindDoubtfulNames(store.Samples(), list).empty());
}

TEST_F(Names, ARenameThatFailsPartWayLeavesEveryNameAsItWas) {
    const core::DatabaseStore::BulkChange bulk(store);
    store.Samples().SetIndexName({});
    const QStringList before = AllNames();
    int posts = 0;
    const int id = store.Samples().Connect(core::DatasetEvent::BeforePost, [&](core::Dataset&) {
        if (++posts == 2)
            throw core::Error("disk full");
    });
    EXPECT_THROW(RenameEverywhere(store.Samples(), "Cosmarium botrytys", "Cosmarium botrytis"),
                 core::Error);
    store.Samples().Disconnect(id);
    EXPECT_EQ(AllNames(), before);
}
