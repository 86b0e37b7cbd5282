// The tables of a selection: the location table and its filter, selection and location
// numbers; the species list and the nature value table built from the selection; saving and
// the export of the selected samples.

#include "common/smallfs.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/grid/gridfiles.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/textfile.h"
#include "core/text/textutils.h"
#include "ecology/messages.h"
#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/selectiontables.h"
#include "ecology/taxalist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/printers.h"

using namespace velmora;
using namespace velmora::ecology;
using core::Grid;

namespace {

struct Event {
    int id;
    const char* name;
    const char* date; // "yyyy-mm-dd"
    const char* zuurgraad = "";
    const char* analyst = "";
    const char* owner = "";
    const char* ph = "";
    const char* ec = "";
    const char* x = "";
};

struct Sample {
    int id;
    const char* name;
    const char* abund = "";
    const char* dl = "";
    const char* zygo = "";
    const char* zeker = "";
    const char* info = "";
};

QStringList RowOf(const Grid& grid, int row) {
    return grid.Row(row);
}

QStringList Column(const Grid& grid, int col) {
    QStringList cells;
    for (int row = 0; row < grid.RowCount(); ++row)
        cells << grid.Cell(col, row);
    return cells;
}

struct Tables : ::testing::Test {
    QTemporaryDir dir;
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    TaxaList taxa;
    SearchList search;
    NatureValueTally tally{taxa, search};
    SelectionOptions options;

    void SetUp() override {
        QDir(dir.path()).mkdir("Data");
        QDir(dir.path()).mkdir("Lib");
        core::SetProgramDir(dir.path());
        core::CurrentSettings() = core::DefaultSettings();
        core::SetDecimalSeparator('.');
        store.CreateDatabase("Test");
        ASSERT_TRUE(store.OpenDatabase("Test"));
        // TAXON_NAME, CUR_NAME, AUTHOR_NAM, TROPHIC, ACIDITY, LIFEFORM, R, S, R_L, NEG_VAR
        taxa.Assign({{"Closterium acerosum", "", "Ehrenberg", "", "", "", "0", "1", "", ""},
                     {"Cosmarium botrytis", "", "Meneghini", "", "", "", "1", "2", "", ""},
                     {"Cosmarium botrytis var. tumidum", "", "Wolle", "", "", "", "2", "2", "", ""},
                     {"Cosmarium oud", "Cosmarium nieuw", "", "", "", "", "1", "1", "", ""},
                     {"Cosmarium nieuw", "", "", "", "", "", "1", "1", "", ""},
                     {"Euastrum ansatum", "", "Ralfs", "", "", "", "3", "3", "RL", ""},
                     {"Staurastrum", "", "", "", "", "", "", "", "", ""}},
                    &search);
    }
    void TearDown() override {
        store.CloseDatabase();
        core::CurrentSettings() = core::DefaultSettings();
        core::SetProgramDir({});
    }

    void Add(const std::vector<Event>& events, const std::vector<Sample>& samples) {
        for (const Event& e : events) {
            const QStringList date = QString::fromUtf8(e.date).split('-');
            // ID, LOCATIE, DAG, MAAND, JAAR, ZUURGRAAD, OPMLOCATIE, COORDX, COORDY,
            // MONSTERSRT, ANALIST, OWNER, LOCCODE, PH, GELEIDING
            store.Locations().AppendRecord({e.id, e.name, date.value(2), date.value(1),
                                            date.value(0), e.zuurgraad, "", e.x, "", "", e.analyst,
                                            e.owner, "", e.ph, e.ec});
        }
        // ID, DATUM, KXY, UXY, DESMID, ABUND, DL, ZYGO, FOTO, ZEKER, OPMDESMID, DESMIDINFO
        for (const Sample& s : samples)
            store.Samples().AppendRecord(
                {s.id, "", "", "", s.name, s.abund, s.dl, s.zygo, "", s.zeker, "", s.info});
    }

    Grid Table(TableFilter filter = {}) {
        return FillLocationTable(store.Locations(), store.Samples(), filter);
    }
    // The table with the rows of these events selected, numbered as given ("" for none).
    Grid Selected(const std::vector<std::pair<int, const char*>>& events) {
        Grid table = Table();
        for (const auto& [id, number] : events) {
            for (int row = 1; row < table.RowCount(); ++row) {
                if (table.Cell(LcId, row) == QString::number(id)) {
                    SetRowSelected(table, row, true);
                    table.SetCell(LcMerge, row, number);
                }
            }
        }
        return table;
    }
    SelectionSource Source() { return {store.Locations(), store.Samples(), taxa, search, {}}; }
    SpeciesListResult Species(Grid& table) {
        return BuildSpeciesList(Source(), table, options, tally);
    }
    NatureValueTableResult NatureValues(Grid& table) {
        return BuildNatureValueTable(Source(), table, options, tally);
    }
    // The species list's row of a taxon (column 1 starts with the name); -1 when absent.
    static int TaxonRow(const Grid& list, const QString& name) {
        for (int row = 6; row < list.RowCount(); ++row)
            if (list.Cell(1, row).startsWith(name))
                return row;
        return -1;
    }
};

QStringList Names(const Grid& table) {
    QStringList names;
    for (int row = 1; row < table.RowCount(); ++row)
        names << table.Cell(LcLocatie, row);
    return names;
}

TEST_F(Tables, TheFilterKeepsTheEventsThatPassEveryField) {
    Add({{1, "Ven", "2018-05-01", "", "Jan Jansen", "natuurmonumenten"},
         {2, "Plas", "2019-06-01", "", "Piet", "Gemeente"},
         {3, "Ven", "2020-07-01", "", "jan de vries", "NATUURMONUMENTEN"},
         {4, "Meer", "2021-08-01"}},
        {{1, "Cosmarium botrytis"}, {2, "Staurastrum"}, {3, "COSMARIUM nieuw"}});
    struct Case {
        const char* what;
        TableFilter filter; // year, owner, location, analyst, taxon, letter case
        QStringList names;  // sorted on name, then date
    } cases[] = {
        {"no filter", {}, {"Meer", "Plas", "Ven", "Ven"}},
        {"one year", {"2019", "", "", "", "", false}, {"Plas"}},
        {"a range keeps both end years", {"2019-2020", "", "", "", "", false}, {"Plas", "Ven"}},
        {"five characters restrict nothing",
         {"20190", "", "", "", "", false},
         {"Meer", "Plas", "Ven", "Ven"}},
        {"owner without letter case", {"", "NATUUR", "", "", "", false}, {"Ven", "Ven"}},
        {"owner with letter case", {"", "natuur", "", "", "", true}, {"Ven"}},
        {"location", {"", "", "ven", "", "", false}, {"Ven", "Ven"}},
        {"analyst ignores letter case even when asked",
         {"", "", "", "JAN", "", true},
         {"Ven", "Ven"}},
        {"taxon in small letters; events without samples drop out",
         {"", "", "", "", "cosmarium", false},
         {"Ven", "Ven"}},
        {"all at once", {"2018", "natuur", "", "", "botrytis", false}, {"Ven"}},
    };
    for (const Case& c : cases) {
        const Grid table = Table(c.filter);
        EXPECT_EQ(Names(table), c.names) << c.what;
        EXPECT_EQ(table.ColCount(), LocationColumnCount);
        EXPECT_EQ(table.Cell(LcDatum, 0), "Datum");
    }
    // The rows of one name are in date order; the cells as stored.
    const Grid all = Table();
    EXPECT_EQ(RowOf(all, 3),
              (QStringList{"1", "Ven", "2018-05-01", "", "", "", "", "Jan Jansen", ""}));
    EXPECT_EQ(all.Cell(LcDatum, 4), "2020-07-01");

    TableFilter typed{" 2019 ", " Gem ", " Plas ", " Piet", " Stau ", false};
    typed.Trim();
    EXPECT_EQ(typed.year, "2019");
    EXPECT_EQ(typed.taxon, "Stau");
    EXPECT_EQ(typed.analyst, " Piet"); // used as typed
    EXPECT_TRUE(Names(Table(typed)).isEmpty());
}

TEST_F(Tables, SelectionMarksAndLocationNumbers) {
    Add({{1, "A", "2020-01-01"},
         {2, "B", "2020-01-01"},
         {3, "C", "2020-01-01"},
         {4, "D", "2020-01-01"}},
        {});
    Grid table = Table();
    ASSERT_FALSE(HasSelectedRow(table));
    ChangeSelection(table, SelectionChange::All);
    EXPECT_EQ(Column(table, LcId), (QStringList{"", "S1", "S2", "S3", "S4"}));
    SetRowSelected(table, 4, false);
    ChangeSelection(table, SelectionChange::Invert);
    EXPECT_EQ(Column(table, LcId), (QStringList{"", "1", "2", "3", "S4"}));
    ChangeSelection(table, SelectionChange::None);
    EXPECT_FALSE(HasSelectedRow(table));

    // Three rows selected, 1 typed in the first: the others get 2 and 3; the unselected row
    // comes first.
    for (int row : {1, 2, 3})
        SetRowSelected(table, row, true);
    table.SetCell(LcMerge, 1, "1");
    SortLocationTable(table, LcMerge, false);
    EXPECT_EQ(Column(table, LcLocatie), (QStringList{"Locatie", "D", "A", "B", "C"}));
    EXPECT_EQ(Column(table, LcMerge), (QStringList{"Merge", "", "1", "2", "3"}));

    // Numbers typed by the user: the same number twice merges; the next ones follow the highest.
    ChangeSelection(table, SelectionChange::All);
    for (int row = 1; row < table.RowCount(); ++row)
        table.SetCell(LcMerge, row, "");
    table.SetCell(LcMerge, 2, "5");
    table.SetCell(LcMerge, 4, "5");
    AssignLocationNumbers(table);
    EXPECT_EQ(Column(table, LcMerge), (QStringList{"Merge", "5", "5", "6", "7"}));
}

TEST_F(Tables, HeaderSortsOfTheLocationTable) {
    Add({{1, "b", "2020-01-01", "", "", "", "7.5", "200"},
         {2, "A", "2019-01-01", "", "", "", "10", ""},
         {3, "c", "2018-01-01", "", "", "", "6,25", "30"}},
        {});
    Grid table = Table();
    SortLocationTable(table, LcLocatie, true);
    EXPECT_EQ(Names(table), (QStringList{"c", "b", "A"}));
    SortLocationTable(table, LcDatum, false);
    EXPECT_EQ(Names(table), (QStringList{"c", "A", "b"}));
    SortLocationTable(table, LcPh, false);
    EXPECT_EQ(Names(table), (QStringList{"c", "b", "A"}));
    SortLocationTable(table, LcEc, false); // empty as 0
    EXPECT_EQ(Names(table), (QStringList{"A", "c", "b"}));
    SortLocationTable(table, LcEc, true);
    EXPECT_EQ(Names(table), (QStringList{"b", "c", "A"}));

    table.SetCell(LcPh, 1, "zuur");
    const Grid before = table;
    EXPECT_THROW(SortLocationTable(table, LcPh, false), core::Error);
    EXPECT_EQ(table, before);
}

TEST_F(Tables, SpeciesListCellsAndRows) {
    Add({{1, "A", "2020-01-01", "", "", "", "6.5", "100", "155.2"},
         {2, "B", "2020-02-01", "", "", "", "7.0", "", "160.0"},
         {3, "C", "2020-03-01"},
         {4, "D", "2020-04-01"}},
        {
            {1, "Cosmarium botrytis", "3"},
            {2, "Cosmarium botrytis", "1"},
            // Two samples of one event with one name: one cell, each mark once.
            {3, "Closterium acerosum", "2", "D"},
            {3, "Closterium acerosum", "", "D", "+", "N"},
            {3, "Euastrum ansatum", "2", "", "+", "N"},
            // Abundances other than 2 and 3 are written 1.
            {4, "Staurastrum", "+"},
            {4, "Cosmarium botrytis var. tumidum", "0"},
            {4, "Cosmarium nieuw", " "},
            {4, "Cosmarium sp.?"},
        });
    // A and B one location (1), C 2, D 3.
    Grid table = Selected({{1, "1"}, {2, "1"}, {3, ""}, {4, ""}});
    SpeciesListResult result = Species(table);
    const Grid& list = result.table;
    ASSERT_EQ(list.ColCount(), 5 + 3);
    EXPECT_EQ(Column(list, 1).mid(0, 6), (QStringList{"Locatienummer", "X-coord", "Y-coord", "pH",
                                                      "Geleidingsvermogen (uS/cm)", ""}));
    EXPECT_EQ(RowOf(list, 5).mid(2, 3), (QStringList{"r", "s", "RL"}));
    // The location's X, pH and EC from its first event, where that has them.
    EXPECT_EQ(Column(list, 5).mid(0, 5), (QStringList{"1", "155.2", "", "6.5", "100"}));
    EXPECT_EQ(Column(list, 6).mid(0, 1), (QStringList{"2"}));

    struct Expect {
        const char* name;
        QStringList cells; // r, s, RL, then the three locations
    } expected[] = {
        {"Closterium acerosum", {"", "1", "", "", "2\\1 N D sp", ""}},
        {"Cosmarium botrytis", {"1", "2", "", "3\\1", "", ""}},
        {"Cosmarium botrytis var. tumidum", {"2", "2", "", "", "", "1"}},
        {"Cosmarium nieuw", {"1", "1", "", "", "", "1"}},
        {"Cosmarium sp.?", {"", "", "", "", "", "1 ?"}},
        {"Euastrum ansatum", {"3", "3", "RL", "", "2 N sp", ""}},
        {"Staurastrum", {"", "", "", "", "", "1"}},
    };
    ASSERT_EQ(list.RowCount(), 6 + 7) << "no set-aside lines, no legend";
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(RowOf(list, 6 + i),
                  QStringList({QString::number(i + 1), expected[i].name}) + expected[i].cells)
            << expected[i].name;
    }
    // The location list: one row per event, then the red-list block.
    const Grid& lgrid = result.lists.list;
    EXPECT_EQ(RowOf(lgrid, 0),
              (QStringList{"MNr", "Nr", "Locaties", "Datum", "X", "Y", "Zuurgraad", "pH", "EC"}));
    EXPECT_EQ(Column(lgrid, 0).mid(1, 4), (QStringList{"1", "1", "2", "3"}));
    EXPECT_EQ(Column(lgrid, 2).mid(5), (QStringList{"", "Rode Lijst soorten (Locatienummers)",
                                                    "Euastrum ansatum ( 2 )", ""}));
    EXPECT_EQ(result.lists.full.Cell(2, result.lists.full.RowCount() - 2),
              "Euastrum ansatum ( 2 )");
    EXPECT_EQ(result.lists.full.Cell(1, 1), "A");

    // Merged abundances: the smaller one.
    options.mergeAbundances = true;
    table = Selected({{1, "1"}, {2, "1"}, {3, ""}, {4, ""}});
    const Grid merged = Species(table).table;
    EXPECT_EQ(merged.Cell(5, TaxonRow(merged, "Cosmarium botrytis")), "1");
    EXPECT_EQ(merged.Cell(6, TaxonRow(merged, "Closterium acerosum")), "1 N D sp");

    // Varieties with their species; authors in capitals; current names.
    options = {};
    options.ignoreVarieties = options.currentNames = options.authors = true;
    Add({{5, "E", "2020-05-01"}}, {{5, "Cosmarium oud", "2"}});
    table = Selected({{4, ""}, {5, ""}});
    const Grid named = Species(table).table;
    EXPECT_EQ(named.Cell(1, TaxonRow(named, "Cosmarium botrytis")), "Cosmarium botrytis MENEGHINI");
    EXPECT_EQ(RowOf(named, TaxonRow(named, "Cosmarium botrytis")).mid(5), (QStringList{"1", ""}));
    EXPECT_EQ(RowOf(named, TaxonRow(named, "Cosmarium nieuw")).mid(5), (QStringList{"1", "2"}));
    EXPECT_EQ(TaxonRow(named, "Cosmarium oud"), -1);
}

TEST_F(Tables, SetAsideLinesAndTheRedListBlock) {
    Add({{1, "A", "2020-01-01"},
         {2, "B", "2020-01-02"},
         {3, "C", "2020-01-03"},
         {4, "D", "2020-01-04"},
         {5, "E", "2020-01-05"}},
        {{1, "Onbekendia rara", "1"},
         {1, "Euastrum ansatum", "2"},
         {2, "Cosmarium botrytis", "1", "", "", "N"},
         {2, "Closterium acerosum", "0"},
         {3, "onbekendia RARA", "1"},
         {3, "Staurastrum", "", "D"},
         {4, "Geen sieralgen"},
         {5, "Euastrum ansatum", "1"}});
    options.ignoreNotInList = options.ignoreUncertain = options.ignoreDead = true;
    Grid table = Selected({{1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}});
    SpeciesListResult result = Species(table);
    const Grid& list = result.table;
    const int legend = 6 + 1 + 1; // one taxon row (Euastrum), an empty row, the legend
    ASSERT_EQ(list.Cell(1, 6), "Euastrum ansatum");
    EXPECT_EQ(list.Cell(1, 7), "");
    EXPECT_EQ(list.Cell(1, legend), "(NIT:) Niet in TaxaLijst, (N:) Onzekere determinatie (D:) "
                                    "Alleen dode cellen (Locatienummers)");
    EXPECT_EQ(Column(list, 1).mid(legend + 1),
              (QStringList{"D: Closterium acerosum ( 2 )", "D: Staurastrum ( 3 )",
                           "N: Cosmarium botrytis ( 2 )", "NIT: Geen sieralgen ( 4 )",
                           "NIT: Onbekendia rara ( 1, 3 )"}));
    EXPECT_EQ(
        Column(result.lists.list, 2).mid(6),
        (QStringList{"", "Rode Lijst soorten (Locatienummers)", "Euastrum ansatum ( 1, 5 )", ""}));

    // An uncertain name that is not in the list is listed twice; a sample named after an
    // event without desmids, when the list knows the name, is set aside without a line.
    search.Add("Geen sieralgen");
    Add({{6, "F", "2020-01-06"}}, {{6, "Onbekendia rara", "1", "", "", "?"}});
    table = Selected({{4, ""}, {6, ""}});
    const Grid twice = Species(table).table;
    EXPECT_EQ(Column(twice, 1).mid(8),
              (QStringList{"N: Onbekendia rara ( 2 )", "NIT: Onbekendia rara ( 2 )"}));

    // Without the options: nothing set aside, and the event without desmids adds nothing.
    options = {};
    table = Selected({{4, ""}});
    const Grid empty = Species(table).table;
    EXPECT_EQ(empty.RowCount(), 6);
    EXPECT_EQ(empty.ColCount(), 6);
    EXPECT_EQ(empty.Cell(1, 0), "Locatienummer");
}

TEST_F(Tables, NatureValueTableRowsPerLocationAndTheTotal) {
    Add({{1, "Ven", "2020-01-01", "Zuur"},
         {2, "Ven", "2020-06-01", "Zuur"},
         {3, "Plas", "2020-03-01", "Zuur"}},
        {{1, "Cosmarium botrytis"},
         {1, "Euastrum ansatum"},
         {2, "Cosmarium botrytis"},
         {2, "Closterium acerosum"},
         {3, "Staurastrum"},
         {3, "Euastrum ansatum"}});
    Grid table = Selected({{1, "1"}, {2, "1"}, {3, "2"}});
    NatureValueTableResult result = NatureValues(table);
    const Grid& nv = result.table;
    ASSERT_EQ(nv.ColCount(), 23);
    ASSERT_EQ(nv.RowCount(), 1 + 2 + 2);
    EXPECT_EQ(
        RowOf(nv, 0).mid(0, 11),
        (QStringList{"", "Locatie", "Datum", "Natuurwaarde", "Rode Lijstsoorten", "d (Aantal)",
                     "r (Zeldzaamheid)", "s (Signaalwaarde)", "D (0-3)", "R (0-3)", "S (0-4)"}));
    EXPECT_EQ(nv.Cell(11, 0), "Zuur");
    EXPECT_EQ(nv.Cell(22, 0), "Indifferent/Onbekend");
    // The first location: the distinct taxa of both its events, the name and date of the last.
    EXPECT_EQ(RowOf(nv, 1).mid(0, 8),
              (QStringList{"1", "Ven", "2020-06-01", nv.Cell(3, 1), "1", "3", "4", "6"}));
    EXPECT_EQ(RowOf(nv, 2).mid(0, 6),
              (QStringList{"2", "Plas", "2020-03-01", nv.Cell(3, 2), "1", "2"}));
    EXPECT_EQ(RowOf(nv, 3), QStringList(23));
    // The total: distinct taxa of all events, not the sum of the rows.
    EXPECT_EQ(RowOf(nv, 4).mid(0, 6), (QStringList{"", "Natuurwaarde van alle locaties samen", "",
                                                   nv.Cell(3, 4), "1", "4"}));
    EXPECT_EQ(tally.D(), 4);
    EXPECT_EQ(tally.CurrentMilieu(), MilieuZuur);
    EXPECT_EQ(Column(result.lists.list, 0), (QStringList{"MNr", "1", "1", "2"}));

    // Sorting keeps the empty row and the total last.
    Grid sorted = nv;
    SortNatureValueTable(sorted, 5);
    EXPECT_EQ(Column(sorted, 0), (QStringList{"", "2", "1", "", ""}));
    EXPECT_EQ(sorted.Cell(1, 4), "Natuurwaarde van alle locaties samen");
    SortNatureValueTable(sorted, 1);
    EXPECT_EQ(Column(sorted, 1).mid(1, 2), (QStringList{"Plas", "Ven"}));

    // Transposed once: the first column lists the headers, the first row the locations.
    Grid transposed = nv;
    TransposeTable(transposed);
    EXPECT_EQ(transposed.ColCount(), 5);
    EXPECT_EQ(transposed.RowCount(), 22);
    EXPECT_EQ(Column(transposed, 0).mid(0, 4),
              (QStringList{"Locatie", "Datum", "Natuurwaarde", "Rode Lijstsoorten"}));
    EXPECT_EQ(RowOf(transposed, 0),
              (QStringList{"Locatie", "Ven", "Plas", "", "Natuurwaarde van alle locaties samen"}));
    EXPECT_EQ(transposed.Cell(1, 3), "1");
}

TEST_F(Tables, MilieuOfTheTotalRowAndDecimalsOfTheAlternativeMethod) {
    struct Case {
        const char* first;
        const char* second;
        Milieu total;
    } cases[] = {
        {"Zuur", "Zuur", MilieuZuur},
        {"Zuur", "", MilieuZwakZuur},
        {"Zuur", "Alkalisch", MilieuZwakZuur},
        {"Alkalisch", "Neutraal", MilieuNeutraalAlkalisch},
    };
    int id = 0;
    for (const Case& c : cases) {
        Add({{id + 1, "A", "2020-01-01", c.first}, {id + 2, "B", "2020-01-02", c.second}},
            {{id + 1, "Cosmarium botrytis"}, {id + 2, "Euastrum ansatum"}});
        Grid table = Selected({{id + 1, ""}, {id + 2, ""}});
        const Grid nv = NatureValues(table).table;
        EXPECT_EQ(nv.RowCount(), 5) << c.first << "+" << c.second;
        EXPECT_EQ(tally.CurrentMilieu(), c.total) << c.first << "+" << c.second;
        id += 2;
    }
    tally.SetAlternativeMethod(true);
    Grid table = Selected({{1, ""}, {2, ""}});
    Grid nv = NatureValues(table).table;
    EXPECT_TRUE(nv.Cell(3, 1).contains('.')) << nv.Cell(3, 1).toStdString();
    SortNatureValueTable(nv, 3);
    SortNatureValueTable(nv, 8);
    EXPECT_EQ(nv.Cell(1, 4), "Natuurwaarde van alle locaties samen");

    // Nothing selected: a message and no table.
    Grid none = Table();
    prompts.shown.clear();
    EXPECT_EQ(NatureValues(none).table.RowCount(), 0);
    EXPECT_EQ(prompts.shown, QStringList{ResStr(rsNoSelection)});
}

TEST_F(Tables, EventsWithoutDesmidsGiveEmptyTablesWithHeaders) {
    Add({{1, "A", "2020-01-01"}, {2, "B", "2020-01-02"}},
        {{1, "Geen sieralgen"}, {2, "Geen sieralgen"}});
    Grid table = Selected({{1, ""}, {2, ""}});
    const Grid list = Species(table).table;
    EXPECT_EQ(list.RowCount(), 6);
    EXPECT_EQ(list.Cell(1, 0), "Locatienummer");
    table = Selected({{1, ""}, {2, ""}});
    const Grid nv = NatureValues(table).table;
    ASSERT_EQ(nv.RowCount(), 5);
    EXPECT_EQ(RowOf(nv, 1).mid(3, 3), (QStringList{"0", "0", "0"}));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Tables, FileNamesOfTheSavedTables) {
    EXPECT_EQ(DefaultTableFileName({}, TableView::LocationTable), "Locatietabel");
    EXPECT_EQ(
        DefaultTableFileName({"2019", "Ede", "", "", "Cosmarium", false}, TableView::SpeciesList),
        "Cosmarium-Ede-2019-Soortenlijst");
    EXPECT_EQ(
        DefaultTableFileName({"2019/2020", "", "", "Jan", "", false}, TableView::NatureValueTable),
        "Jan-2019_2020-Natuurwaardetabel");
    EXPECT_EQ(LocationListFileName("/a/b/lijst.tsv"), "/a/b/lijst-LocatieLijst.tsv");
    EXPECT_EQ(LocationListFileName("/a/b.c/lijst"), "/a/b.c/lijst-LocatieLijst");
    EXPECT_EQ(LocationListFileName("/a/lijst.v2.xlsx"), "/a/lijst.v2-LocatieLijst.xlsx");
}

TEST_F(Tables, SavingWritesTheTableAndTheLocationListBesideIt) {
    Add({{1, "A", "2020-01-01"}}, {{1, "Cosmarium botrytis", "2"}});
    Grid table = Selected({{1, ""}});
    const SpeciesListResult result = Species(table);
    const QString folder = dir.path() + "/out";
    QDir().mkpath(folder);

    const QString tsv = folder + "/Soortenlijst.tsv";
    ASSERT_TRUE(SaveSelectionTable(result.table, &result.lists.list, tsv, TableFileFormat::Text,
                                   "Soortenlijst"));
    EXPECT_EQ(core::ReadTextLines(tsv).value(6), "1\tCosmarium botrytis\t1\t2\t\t2");
    EXPECT_EQ(core::ReadTextLines(folder + "/Soortenlijst-LocatieLijst.tsv").value(1),
              "1\t1\tA\t2020-01-01\t\t\t\t\t");

    // A spreadsheet, and without the spreadsheet libraries the minimal file as ".xls".
    const QString xlsx = folder + "/Soortenlijst.xlsx";
    ASSERT_TRUE(SaveSelectionTable(result.table, &result.lists.full, xlsx,
                                   TableFileFormat::Spreadsheet, "Soortenlijst"));
    EXPECT_EQ(core::ReadSpreadsheetFile(xlsx).Cell(2, 7), "Cosmarium botrytis");
    EXPECT_EQ(core::ReadSpreadsheetFile(folder + "/Soortenlijst-LocatieLijst.xlsx").Cell(1, 1),
              "ID");
    core::SetExcelVersion(0);
    EXPECT_EQ(TableSpreadsheetExtension(), ".xls");
    const bool saved = SaveSelectionTable(table, nullptr, folder + "/Locaties.xlsx",
                                          TableFileFormat::Spreadsheet, "Locatietabel");
    core::SetExcelVersion(core::kSpreadsheetLibraryVersion);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(QFile::exists(folder + "/Locaties.xls"));
    EXPECT_FALSE(QFile::exists(folder + "/Locaties-LocatieLijst.xls"));
}

TEST_F(Tables, SavingIntoAReadOnlyFolderGivesAMessageAndNoFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    Add({{1, "A", "2020-01-01"}}, {});
    const Grid table = Table();
    const QString folder = dir.path() + "/ro";
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    for (TableFileFormat format : {TableFileFormat::Text, TableFileFormat::Spreadsheet}) {
        prompts.shown.clear();
        EXPECT_FALSE(SaveSelectionTable(table, nullptr, folder + "/t.tsv", format, "t"));
        EXPECT_EQ(prompts.shown.size(), 1);
    }
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(Tables, SavingOntoAFullDiskGivesAMessageAndNoFileUnderTheChosenName) {
    Grid big(20, 400);
    for (int row = 0; row < big.RowCount(); ++row)
        for (int col = 0; col < big.ColCount(); ++col)
            big.SetCell(col, row, QString("cel %1 %2").arg(col).arg(row));
    QDir(dir.path()).mkdir("mnt");
    const int code = velmora::testing::RunOnSmallFileSystem(dir.filePath("mnt"), 16 * 1024, [&] {
        int step = 0;
        for (TableFileFormat format : {TableFileFormat::Text, TableFileFormat::Spreadsheet}) {
            ++step;
            prompts.shown.clear();
            if (SaveSelectionTable(big, nullptr, dir.filePath("mnt/tabel.tsv"), format, "t"))
                return step * 10 + 1;
            if (prompts.shown.size() != 1)
                return step * 10 + 2;
            if (!QDir(dir.filePath("mnt")).entryList(QDir::Files | QDir::Hidden).isEmpty())
                return step * 10 + 3;
        }
        return 0;
    });
    if (code == velmora::testing::kNoSmallFileSystem)
        GTEST_SKIP() << "no small file system can be made here";
    EXPECT_EQ(code, 0);
}

TEST_F(Tables, ExportOfTheSelectedSamplesWithTheirTaxonInformation) {
    Add({{1, "A", "2020-01-01"}, {2, "B", "2020-01-02"}, {3, "C", "2020-01-03"}},
        {{1, "Cosmarium botrytis", "2", "", "", "", "ex herb. # det. X"},
         {1, "Euastrum ansatum", "1", "", "", "", "#achter"},
         {1, "Onbekendia", "1", "", "", "", "alleen"},
         {3, "Staurastrum"}});
    Grid table = Selected({{1, ""}, {2, ""}});
    const QString path = dir.path() + "/selectie.tsv";
    ASSERT_TRUE(ExportSelection(store.Locations(), store.Samples(), table, nullptr, path));
    const QStringList lines = core::ReadTextLines(path);
    ASSERT_EQ(lines.size(), 1 + 3);
    EXPECT_TRUE(lines[0].startsWith("ID\tLOCATIE\tDAG\t"));
    EXPECT_TRUE(lines[0].endsWith("\tAMAAT\tDESMID\tABUND\tDL\tZYGO\tFOTO\tZEKER\tOPMDESMID\tInfo "
                                  "1\tInfo 2\t"));
    const QStringList first = lines[1].split('\t');
    EXPECT_EQ(first.mid(0, 2), (QStringList{"1", "A"}));
    EXPECT_EQ(first.mid(19), (QStringList{"Cosmarium botrytis", "2", "", "", "", "", "", "ex herb.",
                                          "det. X", ""}));
    EXPECT_EQ(lines[2].split('\t').mid(26, 2), (QStringList{"", "achter"}));
    EXPECT_EQ(lines[3].split('\t').mid(26, 2), (QStringList{"alleen", ""}));

    // With the taxon information: seven more columns, empty for a name the list lacks.
    ASSERT_TRUE(ExportSelection(store.Locations(), store.Samples(), table, &taxa, path));
    const QStringList withInfo = core::ReadTextLines(path);
    EXPECT_TRUE(
        withInfo[0].endsWith("Info 2\tAUTHOR_NAM\tTROPHIC_ST\tACIDITY\tLIFE_FORM\tR\tS\tR_L\t"))
        << withInfo[0].toStdString();
    EXPECT_EQ(withInfo[2].split('\t').mid(28),
              (QStringList{"Ralfs", "", "", "", "3", "3", "RL", ""}));

    // Cancelled: no file; nothing selected: a message.
    QFile::remove(path);
    prompts.cancelAtStep = 50;
    EXPECT_FALSE(ExportSelection(store.Locations(), store.Samples(), table, nullptr, path));
    EXPECT_FALSE(QFile::exists(path));
    prompts.cancelAtStep = -1;
    prompts.shown.clear();
    EXPECT_FALSE(ExportSelection(store.Locations(), store.Samples(), Table(), nullptr, path));
    EXPECT_EQ(prompts.shown, QStringList{ResStr(rsNoSelection)});
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
