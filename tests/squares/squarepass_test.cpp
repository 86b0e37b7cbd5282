// The pass over the samples of one square under the window's options.

#include "ecology/searchlist.h"
#include "ecology/taxalist.h"
#include "squares/squarepass.h"

#include "common/printers.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::squares;

namespace {

maps::SampleRow Sample(int id, const QString& datum, const QString& kxy, const QString& uxy,
                       const QString& desmid) {
    maps::SampleRow s;
    s.id = id;
    s.datum = datum;
    s.kxy = kxy;
    s.uxy = uxy;
    s.desmid = desmid;
    return s;
}

const QHash<int, QString> kLocations = {{1, "Ven A"}, {2, "Ven A"}, {3, "Ven B"}, {4, "Plas"}};

TEST(CutAfterTwoWords, Names) {
    EXPECT_EQ(CutAfterTwoWords("Cosmarium"), "Cosmarium");
    EXPECT_EQ(CutAfterTwoWords("Cosmarium botrytis"), "Cosmarium botrytis");
    EXPECT_EQ(CutAfterTwoWords("Cosmarium botrytis var. tumidum"), "Cosmarium botrytis");
    EXPECT_EQ(CutAfterTwoWords("Cosmarium botrytis "), "Cosmarium botrytis");
    EXPECT_EQ(CutAfterTwoWords(" Cosmarium botrytis"), " Cosmarium");
}

TEST(IsNoDesmidsName, ExactNames) {
    EXPECT_TRUE(IsNoDesmidsName("Geen sieralgen"));
    EXPECT_TRUE(IsNoDesmidsName("No Desmids"));
    EXPECT_FALSE(IsNoDesmidsName("geen sieralgen"));
    EXPECT_FALSE(IsNoDesmidsName("Geen sieralgen "));
}

TEST(AddVisit, OneVisitPerNameAndDateKeepingTheFirstId) {
    std::vector<Visit> visits;
    AddVisit(visits, Sample(1, "2001-05-01", "", "", "x"), kLocations);
    AddVisit(visits, Sample(2, "2001-05-01", "", "", "x"), kLocations); // same name and date
    AddVisit(visits, Sample(2, "2001-06-01", "", "", "x"), kLocations);
    AddVisit(visits, Sample(3, "2001-05-01", "", "", "x"), kLocations);
    ASSERT_EQ(visits.size(), 3u);
    EXPECT_EQ(visits[0].id, 1);
    EXPECT_EQ(visits[1].location, "Ven A");
    EXPECT_EQ(visits[1].date, "2001-06-01");
    EXPECT_EQ(visits[2].location, "Ven B");
}

// Samples sorted by UXY: two hour-squares, the first with samples in two km-squares.
std::vector<maps::SampleRow> Block() {
    return {
        Sample(1, "2001-05-01", "230-555", "230-555", "Cosmarium botrytis"),
        Sample(2, "2001-05-01", "230-555", "230-555", "Closterium lunula var. major"),
        Sample(3, "1985-07-02", "231-556", "230-555", "Geen sieralgen"),
        Sample(3, "1985-07-02", "231-556", "230-555", "Euastrum ansatum"),
        Sample(4, "2003-01-01", "240-560", "240-560", "Staurastrum sp."),
    };
}

TEST(CollectSquare, CountsTaxaVisitsAndKmSquares) {
    const auto samples = Block();
    SquarePass pass;
    const std::size_t next =
        CollectSquare(pass, samples, 0, SquareKind::Hour, "230-555", {}, kLocations);
    EXPECT_EQ(next, 4u);
    EXPECT_EQ(pass.species, (QStringList{"Closterium lunula var. major", "Cosmarium botrytis",
                                         "Euastrum ansatum"}));
    // "Geen sieralgen" is a visit and a km-square, not a taxon.
    ASSERT_EQ(pass.visits.size(), 2u);
    EXPECT_EQ(pass.visits[1].location, "Ven B");
    EXPECT_EQ(pass.kmSquares, (QStringList{"230-555", "231-556"}));

    // A square that holds only a "no desmids" sample has no taxa but a visit.
    const std::vector<maps::SampleRow> empty = {
        Sample(4, "2001-01-01", "100-400", "100-400", "No Desmids")};
    CollectSquare(pass, empty, 0, SquareKind::Km, "100-400", {}, kLocations);
    EXPECT_TRUE(pass.species.isEmpty());
    EXPECT_EQ(pass.visits.size(), 1u);
    EXPECT_EQ(pass.kmSquares.size(), 1);
}

TEST(CollectSquare, PassEndsAtTheNextCodeAndStartsAtAnyCase) {
    auto samples = Block();
    samples[0].uxy = samples[1].uxy = "230-555x";
    EXPECT_EQ(FindSquare(samples, SquareKind::Hour, "230-555X"), 0u);
    EXPECT_EQ(FindSquare(samples, SquareKind::Hour, "999-999"), samples.size());
    SquarePass pass;
    // The first sample is taken as found; the next must equal the code exactly.
    EXPECT_EQ(CollectSquare(pass, samples, 0, SquareKind::Hour, "230-555X", {}, kLocations), 1u);
    EXPECT_EQ(pass.species.size(), 1);
    EXPECT_EQ(CollectSquare(pass, samples, 4, SquareKind::Hour, "240-560", {}, kLocations), 5u);
}

TEST(CollectSquare, DoubtfulRulesAndHint) {
    const struct {
        const char* desmid;
        const char* zeker;
        const char* dl;
        const char* abund;
        bool excluded;
    } cases[] = {
        {"Cosmarium botrytis", "", "", "1", false},   {"Cosmarium ?botrytis", "", "", "1", true},
        {"Cosmarium botrytis", " cf ", "", "", true}, {"Cosmarium botrytis", "  ", "L", "", false},
        {"Cosmarium botrytis", "", " D", "", true},   {"Cosmarium botrytis", "", "O", "", true},
        {"Cosmarium botrytis", "", "d", "", false},   {"Cosmarium botrytis", "", "", " 0", true},
        {"Cosmarium botrytis", "", "", "10", false},
    };
    SquareOptions options;
    options.ignoreDoubtful = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.desmid) + "|" + c.zeker + "|" + c.dl + "|" + c.abund);
        auto s = Sample(1, "2001-01-01", "100-400", "100-400", c.desmid);
        s.zeker = c.zeker;
        s.dl = c.dl;
        s.abund = c.abund;
        const std::vector<maps::SampleRow> samples = {s};
        SquarePass pass;
        CollectSquare(pass, samples, 0, SquareKind::Km, "100-400", options, kLocations);
        EXPECT_EQ(pass.species.size(), c.excluded ? 0 : 1);
        EXPECT_EQ(pass.visits.size(), c.excluded ? 0u : 1u);
        EXPECT_EQ(pass.doubtfulHint, c.excluded ? QStringList{c.desmid} : QStringList{});
    }
}

TEST(CollectSquare, BlockWithEverySampleExcluded) {
    auto samples = Block();
    samples[0].abund = "0";
    samples[1].zeker = "?";
    samples[3].dl = "D";
    SquareOptions options;
    options.ignoreDoubtful = true;
    options.ignoreNoDesmids = true;
    SquarePass pass;
    CollectSquare(pass, samples, 0, SquareKind::Hour, "230-555", options, kLocations);
    EXPECT_TRUE(pass.species.isEmpty());
    EXPECT_TRUE(pass.visits.empty());
    EXPECT_TRUE(pass.kmSquares.isEmpty());
    // The "no desmids" sample, excluded by its own option, goes to the same hint.
    EXPECT_EQ(pass.doubtfulHint, (QStringList{"Cosmarium botrytis", "Closterium lunula var. major",
                                              "Geen sieralgen", "Euastrum ansatum"}));
}

TEST(CollectSquare, PeriodVarietiesCurrentNamesAndKnownNames) {
    ecology::SearchList known;
    ecology::TaxaList taxa;
    ecology::TaxonRecord old;
    old.taxonName = "Euastrum ansatum";
    old.curName = "Euastrum ansatum var. ansatum";
    taxa.Assign({old}, &known);
    known.Add("Cosmarium botrytis");

    auto samples = Block();
    samples.insert(samples.begin() + 1, Sample(1, "2001-05-01", "230-555", "230-555", "Zygnema x"));
    samples.insert(samples.begin() + 1,
                   Sample(1, "2001-05-01", "230-555", "230-555", "Actinotaenium y"));
    SquareOptions options;
    options.currentNames = &taxa;
    options.knownNames = &known;
    options.ignoreVarieties = true;
    options.periodOn = true;
    options.beginYear = 1990;
    options.endYear = 2010;
    SquarePass pass;
    CollectSquare(pass, samples, 0, SquareKind::Hour, "230-555", options, kLocations);
    // The 1985 visit lies before the period; names cut after two words; names not spelled
    // so in the known names left out, the hint from the last to the first.
    EXPECT_EQ(pass.species, QStringList{"Cosmarium botrytis"});
    EXPECT_EQ(pass.notInListHint,
              (QStringList{"Zygnema x", "Closterium lunula", "Actinotaenium y"}));
    EXPECT_EQ(pass.visits.size(), 1u);
    EXPECT_EQ(pass.kmSquares, QStringList{"230-555"});
    // With current names on, a name changed by the variety cut is listed in that hint too.
    EXPECT_EQ(pass.currentNamesHint,
              QStringList{"Closterium lunula var. major  -->  Closterium lunula"});

    options.periodOn = false;
    options.ignoreVarieties = false;
    options.knownNames = nullptr;
    CollectSquare(pass, samples, 0, SquareKind::Hour, "230-555", options, kLocations);
    EXPECT_TRUE(pass.species.contains("Euastrum ansatum var. ansatum"));
    EXPECT_EQ(pass.currentNamesHint,
              QStringList{"Euastrum ansatum  -->  Euastrum ansatum var. ansatum"});
}

} // namespace
