// Which names the taxon list offers and which records a run takes: current names, varieties,
// firm records, zygospores, the search, the period, the filter and samples without a location.

#include "maps/maprun.h"
#include "maps/namelists.h"

#include <gtest/gtest.h>

using namespace velmora;
using maps::LocationRow;
using maps::SampleRow;

namespace {

LocationRow Location(int id, const char* jaar, const char* name = "Ven") {
    LocationRow row;
    row.id = id;
    row.locatie = name;
    row.jaar = jaar;
    row.dag = "01";
    row.maand = "06";
    row.coordX = "150";
    row.coordY = "450";
    return row;
}

SampleRow Sample(int id, const char* desmid, const char* dl = "L", const char* zygo = "") {
    static int recNo = 0;
    SampleRow row;
    row.recNo = ++recNo;
    row.id = id;
    row.desmid = desmid;
    row.abund = "1";
    row.dl = dl;
    row.zygo = zygo;
    return row;
}

struct MapRuns : ::testing::Test {
    ecology::TaxaList taxa;
    maps::RunSource source;
    maps::RunOptions options;

    void SetUp() override {
        // In name order, as the list's tag gives them.
        taxa.Assign(
            {{"Closterium acerosum", "Closterium acerosum", "Ehrenberg", "", "", "", "", "", "",
              ""},
             {"Closterium angustatum", "Closterium angustatum", "", "", "", "", "", "", "", ""},
             {"Closterium lunula", "Closterium lunula", "", "", "", "", "", "", "", ""},
             {"Closterium oxyacerosum", "Closterium acerosum", "", "", "", "", "", "", "", ""},
             {"Cosmarium botrytis", "Cosmarium botrytis", "", "", "", "", "", "", "", ""},
             {"Cosmarium botrytis var. tumidum", "Cosmarium botrytis var. tumidum", "", "", "", "",
              "", "", "", ""}},
            nullptr);
        source.Assign({Location(1, "1989"), Location(2, "1990"), Location(3, "2000"),
                       Location(4, "2001"), Location(5, "19xx", "Poel")},
                      // In DESMID order.
                      {Sample(1, "Closterium acerosum"), Sample(2, "Closterium angustatum", "O"),
                       Sample(3, "Closterium lunula", "L", "z"),
                       Sample(4, "Closterium oxyacerosum"), Sample(1, "Cosmarium botrytis"),
                       Sample(2, "Cosmarium botrytis"), Sample(3, "Cosmarium botrytis"),
                       Sample(4, "Cosmarium botrytis"),
                       Sample(2, "Cosmarium botrytis var. tumidum"),
                       Sample(99, "Cosmarium botrytis var. tumidum")});
    }
    QList<int> Ids(const maps::RunWalk& walk) const {
        QList<int> ids;
        for (const maps::RunStep& step : walk.steps)
            ids << step.location->id;
        return ids;
    }
    QStringList Names() const { return maps::SampleNameList(source, taxa, options.names); }
};

TEST_F(MapRuns, FirmRecords) {
    const struct {
        const char* desmid;
        const char* zeker;
        const char* abund;
        const char* dl;
        bool firm;
    } cases[] = {{"Cosmarium", "", "1", "L", true},   {"Cosmarium ?", "", "1", "L", false},
                 {"Cosmarium", "?", "1", "L", false}, {"Cosmarium", " x", "1", "L", true},
                 {"Cosmarium", "", "0", "L", false},  {"Cosmarium", "", "1", "D", false},
                 {"Cosmarium", "", "1", "O", false},  {"Cosmarium", "", "10", "d", true}};
    for (const auto& c : cases) {
        SampleRow sample;
        sample.desmid = c.desmid;
        sample.zeker = c.zeker;
        sample.abund = c.abund;
        sample.dl = c.dl;
        EXPECT_EQ(maps::IsFirmRecord(sample), c.firm)
            << c.desmid << "|" << c.zeker << "|" << c.abund << "|" << c.dl;
    }
}

TEST_F(MapRuns, TheOptionsShapeTheNameList) {
    EXPECT_TRUE(Names().contains("Closterium angustatum"));
    options.names.ignoreUncertain = true; // its only sample has DL "O"
    EXPECT_FALSE(Names().contains("Closterium angustatum"));
    options.names = {};
    options.names.zygosporesOnly = true;
    EXPECT_EQ(Names(), QStringList{"Closterium lunula"});
    options.names = {};
    // Two sample names with one current name are listed once, under that name.
    options.names.currentNames = true;
    EXPECT_EQ(Names().count("Closterium acerosum"), 1);
    EXPECT_FALSE(Names().contains("Closterium oxyacerosum"));
    // A species and its variety appear once as the species.
    const QStringList species = maps::SpeciesList(
        {"Cosmarium botrytis", "Cosmarium botrytis var. tumidum", "Cosmarium margaritiferum"},
        true);
    EXPECT_EQ(species, (QStringList{"Cosmarium botrytis", "Cosmarium margaritiferum"}));
}

TEST_F(MapRuns, TheSearchText) {
    const QStringList all = {"Closterium lunula", "Closterium angustatum", "Cosmarium angulosum"};
    const struct {
        const char* search;
        QStringList listed;
    } cases[] = {
        {"", {"Closterium angustatum", "Closterium lunula", "Cosmarium angulosum"}},
        {"cl ang", {"Closterium angustatum"}},
        {"LUN", {"Closterium lunula"}},
        {"ang", {"Closterium angustatum", "Cosmarium angulosum"}},
        {" ang", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(maps::SearchTaxa(all, c.search), c.listed) << c.search;
}

TEST_F(MapRuns, ATaxonIsDrawnWithItsCurrentNamesAndVarieties) {
    // Plain: the taxon's own samples; a sample whose location does not exist is passed over.
    EXPECT_EQ(Ids(maps::WalkTaxon(source, taxa, "Cosmarium botrytis", options)),
              (QList<int>{1, 2, 3, 4}));
    // Varieties ignored: the variety's samples too.
    options.names.ignoreVarieties = true;
    const maps::RunWalk varieties = maps::WalkTaxon(source, taxa, "Cosmarium botrytis", options);
    EXPECT_EQ(varieties.names,
              (QStringList{"Cosmarium botrytis", "Cosmarium botrytis var. tumidum"}));
    EXPECT_EQ(Ids(varieties), (QList<int>{1, 2, 3, 4, 2}));
    // Current names: every name whose current name it is.
    options.names = {};
    options.names.currentNames = true;
    const maps::RunWalk current = maps::WalkTaxon(source, taxa, "Closterium acerosum", options);
    EXPECT_EQ(current.names, (QStringList{"Closterium acerosum", "Closterium oxyacerosum"}));
    EXPECT_EQ(Ids(current), (QList<int>{1, 4}));
    // A name the taxa list does not have is drawn on its own.
    EXPECT_EQ(maps::WalkTaxon(source, taxa, "Staurastrum", options).names,
              QStringList{"Staurastrum"});
}

TEST_F(MapRuns, ThePeriodAndTheFilterSkipRecords) {
    options.periodOn = true;
    options.beginYear = 1990;
    options.endYear = 2000;
    EXPECT_EQ(Ids(maps::WalkTaxon(source, taxa, "Cosmarium botrytis", options)),
              (QList<int>{2, 3}));
    // Location 5 has the year "19xx": with the period on the run ends there.
    const maps::RunWalk all = maps::WalkAllLocations(source, options);
    EXPECT_EQ(Ids(all), (QList<int>{2, 3}));
    EXPECT_TRUE(all.brokenOff);
    EXPECT_TRUE(all.error.contains("Poel")) << all.error.toStdString();
    options.periodOn = false;
    EXPECT_EQ(maps::WalkAllLocations(source, options).steps.size(), 5u);

    // The filter: fail skips, an evaluation error ends the run.
    options.filter = [](const LocationRow& location) {
        if (location.id == 4)
            return maps::FilterOutcome::Error;
        return location.id == 2 ? maps::FilterOutcome::Fail : maps::FilterOutcome::Pass;
    };
    const maps::RunWalk filtered = maps::WalkAllLocations(source, options);
    EXPECT_EQ(Ids(filtered), (QList<int>{1, 3}));
    EXPECT_TRUE(filtered.brokenOff);
}

} // namespace
