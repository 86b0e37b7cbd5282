// The tables a map run fills: the locations, the pH, conductivity and biotope classes with
// their shares, the earliest and latest day, the square keys, the sorts of the location table,
// the samples of one location and the information line of a taxon.

#include "charts/tplotpanel.h"
#include "core/coordinates.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "core/text/textutils.h"
#include "maps/runtables.h"

#include <QHash>
#include <gtest/gtest.h>
#include <iterator>

using namespace velmora;
using maps::LocationRow;
using maps::SampleRow;

namespace {

LocationRow Location(int id, const char* dag = "15", const char* maand = "06") {
    LocationRow row;
    row.id = id;
    row.locatie = QStringLiteral("Ven %1").arg(id);
    row.dag = dag;
    row.maand = maand;
    row.jaar = "2001";
    row.coordX = "150.5";
    row.coordY = "450.2";
    row.analist = "PC";
    row.herbarium = "H12";
    return row;
}

SampleRow Sample(int id, const char* abund = "1", const char* kxy = "150-450",
                 const char* uxy = "150-450") {
    SampleRow row;
    row.id = id;
    row.desmid = "Closterium lunula";
    row.abund = abund;
    row.zygo = "z";
    row.foto = "f";
    row.zeker = "?";
    row.opmDesmid = "veel";
    row.kxy = kxy;
    row.uxy = uxy;
    return row;
}

// The data rows of a table, each as its cells joined with "|".
QStringList Rows(const core::Grid& grid, int columns = -1) {
    QStringList rows;
    for (int row = 1; row < grid.RowCount(); ++row)
        rows << grid.Row(row).mid(0, columns).join(QLatin1Char('|'));
    return rows;
}

QStringList Column(const core::Grid& grid, int column) {
    QStringList cells;
    for (int row = 1; row < grid.RowCount(); ++row)
        cells << grid.Cell(column, row);
    return cells;
}

struct RunTables : ::testing::Test {
    core::ScriptedPrompts prompts;
    charts::BoxplotData boxplots;
    charts::EnvironmentRun environment{boxplots};
    charts::TPlotPanel scatter;
    maps::RunTables tables{environment};
    maps::AbundanceSizes sizes;
    maps::RunTablesSettings settings;
    QChar separator;

    void SetUp() override {
        separator = core::DecimalSeparator();
        core::SetDecimalSeparator(QLatin1Char('.'));
        environment.AddScatterPlot(scatter);
        settings.coordinateSystem = core::kKmBased;
        settings.biotopeName = [](const QString& code) {
            static const QHash<QString, QString> names = {{"120", "Ven"}, {"12A", "Sloot"}};
            return names.value(code);
        };
        tables.Reset(true, false, settings);
    }
    void TearDown() override { core::SetDecimalSeparator(separator); }

    void Collect(const LocationRow& location, const SampleRow* sample = nullptr,
                 maps::StyleTab tab = maps::StyleTab::Primary) {
        tables.Collect(location, sample, tab, sizes);
    }
    void CollectWithSample(const LocationRow& location) {
        const SampleRow sample = Sample(location.id);
        Collect(location, &sample);
    }
    // One location with the given measurements on a new map, finished.
    void RunOne(const char* ph, const char* ec, const char* wtype) {
        tables.Reset(true, false, settings);
        LocationRow location = Location(1);
        location.ph = ph;
        location.geleiding = ec;
        location.wtype = wtype;
        CollectWithSample(location);
        tables.Finish(sizes);
    }
    int PhenologyTotal() const {
        int total = 0;
        for (int i = 0; i < charts::Phenology::kPeriods; ++i)
            total += environment.PhenologyCounts().Counter(i);
        return total;
    }
};

TEST_F(RunTables, MeasurementsAreClassed) {
    const struct {
        const char* ph;
        const char* ec;
        const char* wtype;
        QStringList phRows, ecRows, biotopeRows;
    } cases[] = {
        {"6,58",
         "75",
         "1203b",
         {"6.4|6.4 - 6.6|1|100.0"},
         {"70|070 - 080|1|100.0"},
         {"120|Ven|01|100.0"}},
        {"7",
         "5",
         "12A",
         {"7.0|7.0 - 7.2|1|100.0"},
         {"0|000 - 010|1|100.0"},
         {"12A|Sloot|01|100.0"}},
        // Cut to 6.9 and 1234.9; a class bound belongs to the class above it.
        {"6.9x",
         "1234,9 ca.",
         "12a",
         {"6.8|6.8 - 7.0|1|100.0"},
         {"1230|1230 - 1240|1|100.0"},
         {"12a||01|100.0"}},
        {"6.6",
         "80",
         "3_x",
         {"6.6|6.6 - 6.8|1|100.0"},
         {"80|080 - 090|1|100.0"},
         {"3_x||01|100.0"}},
        // Not counted when empty, or nothing is left after cutting.
        {"", "", "", {}, {}, {}},
        {"ca. 6", "?", "  ", {}, {}, {}},
        {"", "", "1\\", {}, {}, {"1\\||01|100.0"}},
    };
    for (const auto& c : cases) {
        RunOne(c.ph, c.ec, c.wtype);
        EXPECT_EQ(Rows(tables.PhTable()), c.phRows) << c.ph;
        EXPECT_EQ(Rows(tables.EcTable()), c.ecRows) << c.ec;
        EXPECT_EQ(Rows(tables.BiotopeTable()), c.biotopeRows) << c.wtype;
    }
}

TEST_F(RunTables, SharesLabelsAndTheOrderOfTheClassTables) {
    const struct {
        const char* ph;
        const char* ec;
        const char* wtype;
    } locations[] = {{"6.5", "150", "120"},
                     {"10.1", "75", "120b"},
                     {"6,4", "12", "12A"},
                     {"", "150", "120"},
                     {"7.1", "", ""}};
    int id = 0;
    for (const auto& l : locations) {
        LocationRow location = Location(++id);
        location.ph = l.ph;
        location.geleiding = l.ec;
        location.wtype = l.wtype;
        CollectWithSample(location);
    }
    tables.Finish(sizes);
    // As numbers, not as text: 10.0 after 7.0, 150 after 70.
    EXPECT_EQ(Rows(tables.PhTable()), (QStringList{"6.4|6.4 - 6.6|2|50.0", "7.0|7.0 - 7.2|1|25.0",
                                                   "10.0|10.0 - 10.2|1|25.0"}));
    EXPECT_EQ(Rows(tables.EcTable()),
              (QStringList{"10|010 - 020|1|25.0", "70|070 - 080|1|25.0", "150|150 - 160|2|50.0"}));
    // The most frequent biotope first.
    EXPECT_EQ(Rows(tables.BiotopeTable()), (QStringList{"120|Ven|03|75.0", "12A|Sloot|01|25.0"}));
    EXPECT_EQ(tables.PhLabel(), "pH + EGV Meldingen: 4");
    EXPECT_EQ(tables.BiotopeLabel(), "Biotoop        Meldingen: 4");
    EXPECT_EQ(tables.CountText(), "Totaal aantal meldingen: 5");
    EXPECT_EQ(tables.PhTable().Row(0), (QStringList{"pH", "Range", "N", "%"}));
    EXPECT_EQ(tables.EcTable().Row(0), (QStringList{"EC", "Range", "N", "%"}));
    EXPECT_EQ(tables.BiotopeTable().Row(0), (QStringList{"Code", "Biotoop", "N", "%"}));

    // Shares are rounded half away from zero: 1 of 8 is 12.5, 1 of 16 6.3.
    tables.Reset(true, false, settings);
    for (int i = 1; i <= 16; ++i) {
        LocationRow location = Location(i);
        location.ph = i == 1 ? "5" : "6";
        location.wtype = i <= 2 ? "120" : "12A";
        Collect(location);
    }
    tables.Finish(sizes);
    EXPECT_EQ(Column(tables.PhTable(), 3), (QStringList{"6.3", "93.8"}));
    EXPECT_EQ(Column(tables.BiotopeTable(), 3), (QStringList{"87.5", "12.5"}));
}

TEST_F(RunTables, ClassesAndSharesTakeTheProgramsDecimalSeparator) {
    core::SetDecimalSeparator(QLatin1Char(','));
    for (int id : {1, 2, 3}) {
        LocationRow location = Location(id);
        location.ph = id == 3 ? "10" : "6.58";
        Collect(location);
    }
    tables.Finish(sizes);
    EXPECT_EQ(Rows(tables.PhTable()),
              (QStringList{"6,4|6,4 - 6,6|2|66,7", "10,0|10,0 - 10,2|1|33,3"}));
}

TEST_F(RunTables, ALocationCollectedTwiceCountsOnce) {
    LocationRow location = Location(7);
    location.ph = "6.5";
    location.geleiding = "75";
    location.wtype = "120";
    const SampleRow species = Sample(7, "1");
    SampleRow variety = Sample(7, "3", "151-451", "150-450");
    variety.desmid = "Closterium lunula var. minor";
    Collect(location, &species, maps::StyleTab::Abundance);
    Collect(location, &variety, maps::StyleTab::Abundance);
    tables.Finish(sizes);

    EXPECT_EQ(tables.LocationTable().RowCount(), 2);
    EXPECT_EQ(Column(tables.PhTable(), 2), QStringList{"1"});
    EXPECT_EQ(Column(tables.EcTable(), 2), QStringList{"1"});
    EXPECT_EQ(Column(tables.BiotopeTable(), 2), QStringList{"01"});
    EXPECT_EQ(boxplots.PhValues().size(), 1u);
    EXPECT_EQ(boxplots.EcValues().size(), 1u);
    EXPECT_EQ(scatter.LayerPoints(0).size(), 2u); // the red point and its abundance-1 copy
    EXPECT_EQ(PhenologyTotal(), 1);
    EXPECT_EQ(tables.KmSquareKeys(), QStringList{"150-450"});
    EXPECT_EQ(Column(sizes.Grid(), 0), QStringList{"1"});
    EXPECT_EQ(tables.CountText(), "Totaal aantal meldingen: 1");
}

TEST_F(RunTables, ARunWithoutRecordsShowsTheStartingDays) {
    tables.Finish(sizes);
    EXPECT_EQ(tables.EarliestText(), "Vroegste :31 Dec");
    EXPECT_EQ(tables.LatestText(), "Laatste :1 Jan");
    EXPECT_EQ(tables.CountText(), "Totaal aantal meldingen: 0");
    EXPECT_EQ(tables.PhLabel(), "pH + EGV Meldingen: 0");
    EXPECT_EQ(tables.BiotopeLabel(), "Biotoop        Meldingen: 0");
    EXPECT_TRUE(tables.KmSquareKeys().isEmpty());
}

TEST_F(RunTables, EarliestAndLatestDay) {
    const struct {
        const char* dag;
        const char* maand;
    } dates[] = {{"15", "06"}, {"01", "03"},
                 {"30", "11"}, {"5", "12"}, // 5 December, although "125" would be 25 January
                 {"", ""},                  // no date: left out
                 {"07", ""},                // incomplete: left out
                 {"01", "13"},              // no month: the date message, left out
                 {"32", "01"}};
    int id = 0;
    for (const auto& d : dates)
        Collect(Location(++id, d.dag, d.maand));
    tables.Finish(sizes);
    EXPECT_EQ(tables.EarliestText(), "Vroegste :1 Mrt");
    EXPECT_EQ(tables.LatestText(), "Laatste :5 Dec");
    EXPECT_EQ(tables.Earliest(), 301);
    EXPECT_EQ(tables.Latest(), 1205);
    EXPECT_EQ(prompts.shown.size(), 1) << "the date message of month 13";
    EXPECT_EQ(tables.LocationTable().RowCount(), 1 + int(std::size(dates)));

    // New Year's Day counts as the earliest day.
    Collect(Location(++id, "1", "1"));
    EXPECT_EQ(tables.EarliestText(), "Vroegste :1 Jan");
}

TEST_F(RunTables, AnUnreadableLocationThrowsBeforeAnythingIsAdded) {
    const struct {
        const char* dag;
        const char* maand;
        const char* ph;
        const char* ec;
        const char* shows;
    } cases[] = {{"01", "5a", "6", "70", "maand '5a' en dag '01'"},
                 {"x", "06", "6", "70", "maand '06' en dag 'x'"},
                 {"01", "mei", "6", "70", "Ven 2 (ID 2)"},
                 {"01", "06", "6.5.3", "70", "6.5.3"},
                 {"01", "06", "6", ",", "','"},
                 {"01", "06", "6", "12345678901234567890", "12345678901234567890"}};
    for (const auto& c : cases) {
        tables.Reset(true, false, settings);
        CollectWithSample(Location(1));
        LocationRow bad = Location(2, c.dag, c.maand);
        bad.ph = c.ph;
        bad.geleiding = c.ec;
        bad.wtype = "120";
        try {
            CollectWithSample(bad);
            ADD_FAILURE() << "no error for " << c.shows;
        } catch (const core::Error& e) {
            EXPECT_TRUE(e.Message().contains(c.shows)) << e.Message().toStdString();
        }
        EXPECT_EQ(tables.LocationTable().RowCount(), 2) << c.shows;
        EXPECT_TRUE(boxplots.PhValues().empty()) << c.shows;
        EXPECT_TRUE(tables.BiotopeTable().RowCount() == 1) << c.shows;
        EXPECT_EQ(PhenologyTotal(), 1) << c.shows;
        tables.Finish(sizes);
        EXPECT_EQ(tables.KmSquareKeys().size(), 1) << c.shows;
    }
}

TEST_F(RunTables, TheRowsOfTheLocationTable) {
    LocationRow location = Location(12, "05", "07");
    location.ph = "6,5";
    location.geleiding = "75";
    const SampleRow sample = Sample(12, "3");
    Collect(location, &sample);
    const core::Grid& table = tables.LocationTable();
    EXPECT_EQ(table.Row(0),
              (QStringList{"ID", "Location", "Date", "X", "Y", "pH", "EC", "Analist", "Abund",
                           "Zygo", "Afb.", "Zeker", "Herbarium", "Opm. bij de soort"}));
    EXPECT_EQ(Rows(table),
              QStringList{"12|Ven 12|2001-07-05|150.5|450.2|6,5|75|PC|3|z|f|?|H12|veel"});

    // An all-locations run: eight columns, no sample, no square keys, the plain red point.
    tables.Reset(true, true, settings);
    Collect(location, nullptr, maps::StyleTab::AllLocations);
    tables.Finish(sizes);
    EXPECT_EQ(tables.LocationTable().ColCount(), maps::kAllLocationsColumns);
    EXPECT_EQ(Rows(tables.LocationTable()),
              QStringList{"12|Ven 12|2001-07-05|150.5|450.2|6,5|75|PC"});
    EXPECT_TRUE(tables.KmSquareKeys().isEmpty());
    EXPECT_TRUE(tables.HourSquareKeys().isEmpty());
    EXPECT_EQ(scatter.LayerPoints(0).size(), 2u);

    // A taxon drawn over it widens the table.
    tables.Reset(false, false, settings);
    const SampleRow other = Sample(13, "2");
    Collect(Location(13), &other, maps::StyleTab::Secondary1);
    EXPECT_EQ(tables.LocationTable().ColCount(), maps::kLocationColumns);
    EXPECT_EQ(tables.LocationTable().Cell(maps::lcRemark, 0), "Opm. bij de soort");
    EXPECT_EQ(Rows(tables.LocationTable(), 10),
              (QStringList{"12|Ven 12|2001-07-05|150.5|450.2|6,5|75|PC||",
                           "13|Ven 13|2001-06-15|150.5|450.2|||PC|2|z"}));
}

TEST_F(RunTables, TheAbundanceTabNotesTheAbundances) {
    int id = 0;
    for (const char* abund : {"3", "1", "3", "2"}) {
        const SampleRow sample = Sample(++id, abund);
        Collect(Location(id), &sample, maps::StyleTab::Abundance);
    }
    const SampleRow other = Sample(++id, "9");
    Collect(Location(id), &other, maps::StyleTab::Primary);
    tables.Finish(sizes);
    EXPECT_EQ(Column(sizes.Grid(), 0), (QStringList{"1", "2", "3"}));
}

TEST_F(RunTables, SquareKeys) {
    const struct {
        const QString& system;
        QStringList km, hour;
    } cases[] = {
        {core::kKmBased, {"150-450", "151-450", "151-451"}, {"150-450", "155-450"}},
        {core::kLatLon,
         {"  5:33 52:047", "  5:33 52:048", "  5:38 52:047"},
         {core::LatLonBlockCode("  5:33", " 52:047"), core::LatLonBlockCode("  5:38", " 52:047")}},
    };
    const std::pair<const char*, const char*> km[] = {{"151-451", "150-450"},
                                                      {"150-450", "150-450"},
                                                      {"151-450", "155-450"},
                                                      {"150-450", "150-450"}};
    const std::pair<const char*, const char*> latLon[] = {
        {"  5:33", " 52:047"}, {"  5:38", " 52:047"}, {"  5:33", " 52:048"}, {"  5:33", " 52:047"}};
    for (const auto& c : cases) {
        settings.coordinateSystem = c.system;
        tables.Reset(true, false, settings);
        const bool isLatLon = c.system == core::kLatLon;
        for (int i = 0; i < 4; ++i) {
            const auto& [kxy, uxy] = isLatLon ? latLon[i] : km[i];
            const SampleRow sample = Sample(i + 1, "1", kxy, uxy);
            Collect(Location(i + 1), &sample);
        }
        tables.Finish(sizes);
        EXPECT_EQ(tables.KmSquareKeys(), c.km) << c.system.toStdString();
        EXPECT_EQ(tables.HourSquareKeys(), c.hour) << c.system.toStdString();
    }
}

TEST_F(RunTables, SortingTheLocationTable) {
    const struct {
        int id;
        const char* name;
        const char* jaar;
        const char* x;
        const char* ph;
        const char* ec;
    } locations[] = {{10, "Beek", "2003", "90", "10", "100"},
                     {9, "aven", "1999", "150", "6,5", "75"},
                     {100, "Poel", "2001", "120", "7.2", "8"}};
    for (const auto& l : locations) {
        LocationRow location = Location(l.id);
        location.locatie = l.name;
        location.jaar = l.jaar;
        location.coordX = l.x;
        location.ph = l.ph;
        location.geleiding = l.ec;
        CollectWithSample(location);
    }
    tables.Finish(sizes);
    auto ids = [&] { return Column(tables.LocationTable(), maps::lcID); };
    EXPECT_EQ(ids(), (QStringList{"9", "100", "10"})) << "on the date after a run";

    const struct {
        int column;
        bool descending;
        maps::SortMark mark;
        QStringList ids;
    } cases[] = {
        {maps::lcID, true, maps::SortMark::None, {"9", "10", "100"}}, // always ascending
        {maps::lcLocation, false, maps::SortMark::Location, {"9", "10", "100"}},
        {maps::lcLocation, true, maps::SortMark::Location, {"100", "10", "9"}},
        {maps::lcDate, true, maps::SortMark::Date, {"10", "100", "9"}},
        {maps::lcX, false, maps::SortMark::Square, {"100", "9", "10"}}, // as text
        {maps::lcPH, false, maps::SortMark::None, {"9", "100", "10"}},
        {maps::lcEC, false, maps::SortMark::None, {"100", "9", "10"}},
        {maps::lcEC, true, maps::SortMark::None, {"10", "9", "100"}},
        {maps::lcAbund, false, maps::SortMark::None, {"10", "100", "9"}},      // equal: by row text
        {maps::lcRemark + 1, false, maps::SortMark::None, {"10", "100", "9"}}, // no such column
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tables.SortLocations(c.column, c.descending), c.mark) << c.column;
        EXPECT_EQ(ids(), c.ids) << c.column << " " << c.descending;
    }

    // The buttons.
    tables.SortLocationsBy(maps::SortMark::Date, false);
    EXPECT_EQ(ids(), (QStringList{"9", "100", "10"}));
    tables.SortLocationsBy(maps::SortMark::Square, true);
    EXPECT_EQ(ids(), (QStringList{"10", "9", "100"}));
    tables.SortLocationsBy(maps::SortMark::Location, false);
    EXPECT_EQ(ids(), (QStringList{"9", "10", "100"}));

    // A conductivity with decimals sorts as a number; a pH that is no number is refused.
    LocationRow decimal = Location(11);
    decimal.geleiding = "75,5";
    decimal.ph = "zuur";
    CollectWithSample(decimal);
    tables.SortLocations(maps::lcEC, false);
    EXPECT_EQ(ids(), (QStringList{"100", "9", "11", "10"}));
    EXPECT_THROW(tables.SortLocations(maps::lcPH, false), core::Error);
    EXPECT_EQ(ids(), (QStringList{"100", "9", "11", "10"}));
}

TEST_F(RunTables, ANewRunOnTheSameMapAddsToEverything) {
    LocationRow first = Location(1, "10", "05");
    first.ph = "6.5";
    first.wtype = "120";
    CollectWithSample(first);
    tables.Finish(sizes);

    tables.Reset(false, false, settings);
    LocationRow second = Location(2, "20", "08");
    second.ph = "6.4";
    second.wtype = "120";
    const SampleRow sample = Sample(2, "1", "170-470", "170-470");
    Collect(first, &sample); // already on the map
    Collect(second, &sample);
    tables.Finish(sizes);

    EXPECT_EQ(Column(tables.LocationTable(), maps::lcID), (QStringList{"1", "2"}));
    EXPECT_EQ(Rows(tables.PhTable()), QStringList{"6.4|6.4 - 6.6|2|100.0"});
    EXPECT_EQ(Rows(tables.BiotopeTable()), QStringList{"120|Ven|02|100.0"});
    EXPECT_EQ(boxplots.PhValues().size(), 2u);
    EXPECT_EQ(PhenologyTotal(), 2);
    EXPECT_EQ(tables.EarliestText(), "Vroegste :10 Mei");
    EXPECT_EQ(tables.LatestText(), "Laatste :20 Aug");
    EXPECT_EQ(tables.KmSquareKeys(), (QStringList{"150-450", "170-470"}));

    // A new map starts again.
    tables.Reset(true, false, settings);
    EXPECT_EQ(tables.LocationTable().RowCount(), 1);
    EXPECT_EQ(tables.PhTable().RowCount(), 1);
    EXPECT_EQ(tables.BiotopeTable().RowCount(), 1);
    EXPECT_TRUE(boxplots.PhValues().empty());
    EXPECT_EQ(PhenologyTotal(), 0);
    EXPECT_TRUE(scatter.LayerPoints(0).empty());
    EXPECT_EQ(tables.Earliest(), 1231);
    EXPECT_EQ(tables.Latest(), 101);
    EXPECT_TRUE(tables.KmSquareKeys().isEmpty());
    CollectWithSample(first); // no longer on the map
    EXPECT_EQ(tables.LocationTable().RowCount(), 2);
}

TEST_F(RunTables, TheSamplesOfOneLocation) {
    auto sample = [](int recNo, int id, const char* desmid, const char* abund) {
        SampleRow row;
        row.recNo = recNo;
        row.id = id;
        row.desmid = desmid;
        row.abund = abund;
        row.dl = "L";
        row.foto = recNo == 3 ? "f" : "";
        row.opmDesmid = "opm";
        return row;
    };
    maps::RunSource source;
    source.Assign({Location(4), Location(5)},
                  {sample(3, 4, "Closterium lunula", "2"), sample(1, 4, "Staurastrum", "1"),
                   sample(2, 5, "Cosmarium", "1"), sample(4, 4, "Cosmarium botrytis", "3")});
    const core::Grid grid = maps::LocationSamples(source, 4);
    EXPECT_EQ(grid.Row(0),
              (QStringList{"Nr", "Sieralg", "Abun.", "DLO", "Zygo", "Afb.", "Opmerking"}));
    EXPECT_EQ(Rows(grid),
              (QStringList{"1|Closterium lunula|2|L||f|opm", "2|Cosmarium botrytis|3|L|||opm",
                           "3|Staurastrum|1|L|||opm"}));
    EXPECT_EQ(maps::LocationSamples(source, 6).RowCount(), 1);
}

TEST_F(RunTables, TheInformationLineOfATaxon) {
    ecology::TaxaList taxa;
    taxa.Assign({{"Closterium lunula", "", "(O.F.Müller) Ralfs", "oligotroof", "zuur", "plankton",
                  "", "", "", ""},
                 {"Cosmarium botrytis", "", "Meneghini", "eutroof", "neutraal", "benthos", "", "",
                  "GE", ""}},
                nullptr);
    EXPECT_EQ(maps::SpeciesInfoLine(taxa, "Closterium lunula"),
              "Auteur: (O.F.Müller) Ralfs,  Trofiegraad: oligotroof,  Zuurgraad: zuur,  "
              "Levensvorm: plankton");
    EXPECT_EQ(maps::SpeciesInfoLine(taxa, "Cosmarium botrytis"),
              "Auteur: Meneghini,  Trofiegraad: eutroof,  Zuurgraad: neutraal,  Levensvorm: "
              "benthos,  RL-soort");
    EXPECT_EQ(maps::SpeciesInfoLine(taxa, "Cosmarium"),
              "Soort niet in de taxalijst of onbekende soort");
}

} // namespace
