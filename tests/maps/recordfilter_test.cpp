// The record filter: checking the rule rows, reading numbers with the one-character repair,
// evaluating locations (text and number comparisons, the stack and its messages), the grid's
// editing and filter files.

#include "common/tempdir.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/scriptedprompts.h"
#include "maps/recordfilter.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

using Rule = std::array<const char*, 3>;

// User names as the shipped table has them; "Hok" stands for a field that Locations lacks.
const std::vector<core::FieldNameRow> kFieldNames = {
    {"Locatie", "LOCATIE", "tekst"}, {"pH", "PH", "getal"},      {"EGV", "GELEIDING", "getal"},
    {"Analist", "ANALIST", "tekst"}, {"Hok", "KXY", ""},         {"ID", "ID", "getal"},
    {"Jaar", "JAAR", "getal"},       {"Year", "JAAR", "number"},
};

core::Grid Filter(std::initializer_list<Rule> rules) {
    core::Grid grid = NewFilterGrid();
    grid.SetRowCount(1 + int(rules.size()));
    int r = 1;
    for (const Rule& rule : rules) {
        for (int c = 0; c < 3; ++c)
            grid.SetCell(c, r, QString::fromUtf8(rule[std::size_t(c)]));
        ++r;
    }
    return grid;
}

QString StackEmpty(int row) {
    return QStringLiteral("Fout in Filter. Stack is leeg bij regel: %1").arg(row);
}

LocationRow Location(const char* ph, const char* analist = "", int id = 1) {
    LocationRow l;
    l.id = id;
    l.ph = QString::fromUtf8(ph);
    l.analist = QString::fromUtf8(analist);
    return l;
}

// The outcome of a filter compiled from the rules for one location; compiling must succeed.
FilterOutcome Outcome(std::initializer_list<Rule> rules, const LocationRow& location) {
    RecordFilter filter;
    EXPECT_TRUE(filter.Compile(Filter(rules), kFieldNames));
    return filter.Evaluate(location);
}

// ---- Compiling

TEST(RecordFilterCompile, MessagesAndWhereTheCheckStops) {
    const struct {
        std::initializer_list<Rule> rules;
        QStringList messages;
    } cases[] = {
        {{{"", "", ""}}, {"Regel 1:  Onbekende filter-operator"}},
        {{{"pH", ">=", "6"}, {" Bogus ", ">=", "6"}, {"", "", ""}},
         {"Regel 2:  Onbekend LocationDatabase-Field 'Bogus'"}},
        // The table names it, but Locations has no such field.
        {{{"Hok", "=", "12"}}, {"Regel 1:  Onbekend LocationDatabase-Field 'Hok'"}},
        {{{"pH", "=>", "6"}, {"Bogus", "=", ""}}, {"Regel 1:  Onbekende filter-operator"}},
        {{{"pH", "==", "6"}}, {"Regel 1:  Onbekende filter-operator"}},
        {{{"pH", "not like", "6"}}, {"Regel 1:  Onbekende filter-operator"}},
        // A value error lets the rows after it be checked, up to a field or operator error.
        {{{"pH", ">=", "abc"},
          {"pH", "<", ""},
          {"Analist", "like", "jan"},
          {"EGV", ">", "6,5,1"},
          {"Bogus", "=", "x"},
          {"pH", "<", "x"}},
         {"Regel 1:  Filteroperator kan niet toegepast worden op deze waarde",
          "Regel 2:  Filteroperator kan niet toegepast worden op deze waarde",
          "Regel 4:  Filteroperator kan niet toegepast worden op deze waarde",
          "Regel 5:  Onbekend LocationDatabase-Field 'Bogus'"}},
        {{{"pH", "<", "   "}},
         {"Regel 1:  Filteroperator kan niet toegepast worden op deze waarde"}},
        // Text operators take any value, logic operators ignore theirs.
        {{{"Locatie", "=", ""}, {"Analist", "notlike", "x y"}, {"", "or", "7x"}}, {}},
        {{{"  ph ", " LIKE ", "6"}, {"year", "NotLike", ""}, {"", "Not", ""}}, {}},
    };
    for (const auto& c : cases) {
        core::ScriptedPrompts prompts;
        RecordFilter filter;
        EXPECT_EQ(filter.Compile(Filter(c.rules), kFieldNames), c.messages.isEmpty())
            << c.messages.join('|').toStdString();
        EXPECT_EQ(prompts.shown, c.messages);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(filter.RowCount(), 0);
        }
    }
}

TEST(RecordFilterCompile, StoresFieldCodeAndValue) {
    core::ScriptedPrompts prompts;
    RecordFilter filter;
    ASSERT_TRUE(filter.Compile(Filter({{"PH", ">=", " 6,5 "},
                                       {"analist", "Like", " JAN "},
                                       {"", "AND", "ignored"},
                                       {"ID", "<", "1E3"}}),
                               kFieldNames));
    EXPECT_EQ(filter.Rows(), (std::vector<CompiledFilterRow>{
                                 {LocationFieldIndex(u"PH"), FilterOperator::AtLeast, "6.5", 6.5},
                                 {LocationFieldIndex(u"ANALIST"), FilterOperator::Like, "jan", 0},
                                 {-1, FilterOperator::And, "ignored", 0},
                                 {LocationFieldIndex(u"ID"), FilterOperator::Less, "1e3", 1000},
                             }));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(RecordFilterCompile, TwentyRuleRowsAtMost) {
    core::ScriptedPrompts prompts;
    core::Grid grid = NewFilterGrid();
    grid.SetRowCount(1 + kMaxFilterRows);
    for (int r = 1; r <= kMaxFilterRows; ++r) {
        grid.SetCell(0, r, "pH");
        grid.SetCell(1, r, ">");
        grid.SetCell(2, r, QString::number(r));
    }
    RecordFilter filter;
    EXPECT_TRUE(filter.Compile(grid, kFieldNames));
    EXPECT_EQ(filter.RowCount(), kMaxFilterRows);
    grid.SetRowCount(2 + kMaxFilterRows);
    EXPECT_FALSE(filter.Compile(grid, kFieldNames));
    EXPECT_EQ(prompts.shown, QStringList{"Teveel filterregels"});
}

TEST(RecordFilterNumbers, ReadingAndTheOneRepair) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"6", 6},
        {"  -6.5", -6.5},
        {"+1e3", 1000},
        {"1.5E-2", 0.015},
        {"5.", 5},
        {".5", 0.5},
        {"6,5", 6.5},          // the repair
        {",5", 0.5},           // the repair at the first character
        {"6 ", 6},             // a trailing blank is where reading stops: "6." reads
        {"6  ", std::nullopt}, // ... but only one character is repaired
        {"6,5,1", std::nullopt},
        {"1.2.3", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"0x10", 0.1}, // the repair takes any character for the separator
        {"0x1x", std::nullopt},
        {"1e999", inf},
        {"-1e999", -inf},
        {"1e-999", 0},
        {"0.000000001e-320", 0},
        {"12345678901234567890123456789e300", inf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFilterNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

// ---- Evaluating

TEST(RecordFilterEvaluate, OneComparison) {
    const struct {
        const char* field;
        const char* op;
        const char* value;
        const char* text; // the field's text in the location
        FilterOutcome outcome;
    } cases[] = {
        // "=" begins with, "<>" differs: both hold for jansen and jan.
        {"Analist", "=", "jan", "Jansen", FilterOutcome::Pass},
        {"Analist", "<>", "jan", "Jansen", FilterOutcome::Pass},
        {"Analist", "<>", "JANSEN", "jansen", FilterOutcome::Fail},
        {"Analist", "=", "sen", "Jansen", FilterOutcome::Fail},
        {"Analist", "=", "jansen b", "Jansen", FilterOutcome::Fail},
        {"Analist", "like", "SEN", "Jansen", FilterOutcome::Pass},
        {"Analist", "notlike", "sen", "Jansen", FilterOutcome::Fail},
        {"Analist", "notlike", "piet", "Jansen", FilterOutcome::Pass},
        // Empty values.
        {"Analist", "=", "", "Jansen", FilterOutcome::Pass},
        {"Analist", "=", "", "", FilterOutcome::Pass},
        {"Analist", "like", "", "Jansen", FilterOutcome::Pass},
        {"Analist", "notlike", "", "Jansen", FilterOutcome::Fail},
        {"Analist", "notlike", "", "", FilterOutcome::Fail},
        {"Analist", "<>", "", "", FilterOutcome::Fail},
        // Letters beyond ASCII are lowered as well.
        {"Analist", "=", "één", "ÉÉN ven", FilterOutcome::Pass},
        {"Analist", "like", "şa", "ŞAHIN", FilterOutcome::Pass},
        {"Analist", "<>", "şahin", "ŞAHIN", FilterOutcome::Fail},
        // Numbers; the field text gets the same repair, an empty text is 0.
        {"pH", ">=", "6,5", "6,8", FilterOutcome::Pass},
        {"pH", ">=", "6,5", "", FilterOutcome::Fail},
        {"pH", ">=", "6,5", "6.5", FilterOutcome::Pass},
        {"pH", "<", "6,5", "", FilterOutcome::Pass},
        {"pH", "<", "1", "   ", FilterOutcome::Pass}, // blanks only: empty
        {"pH", ">", "-1", "", FilterOutcome::Pass},
        {"pH", "<=", "7", "7", FilterOutcome::Pass},
        {"pH", "<", "7", "7", FilterOutcome::Fail},
        {"pH", ">", "7", " 7.01", FilterOutcome::Pass},
        {"pH", "<", "7", "6.99", FilterOutcome::Pass},
        {"pH", ">", "1", "1E1", FilterOutcome::Pass},
        // Still no number after the repair: no comparison holds.
        {"pH", ">=", "0", "6,5,1", FilterOutcome::Fail},
        {"pH", "<", "100", "zuur", FilterOutcome::Fail},
        {"pH", ">", "-100", "n.b.", FilterOutcome::Fail},
    };
    for (const auto& c : cases) {
        core::ScriptedPrompts prompts;
        LocationRow location = Location("");
        (QString(c.field) == "pH" ? location.ph : location.analist) = QString::fromUtf8(c.text);
        EXPECT_EQ(Outcome({{c.field, c.op, c.value}}, location), c.outcome)
            << c.field << ' ' << c.op << ' ' << c.value << " / " << c.text;
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST(RecordFilterEvaluate, TheIdIsReadAsItsNumber) {
    core::ScriptedPrompts prompts;
    EXPECT_EQ(Outcome({{"ID", "=", "1"}}, Location("", "", 12)), FilterOutcome::Pass);
    EXPECT_EQ(Outcome({{"ID", "=", "2"}}, Location("", "", 12)), FilterOutcome::Fail);
    EXPECT_EQ(Outcome({{"ID", "<>", "12"}}, Location("", "", 12)), FilterOutcome::Fail);
    EXPECT_EQ(Outcome({{"ID", "like", "-3"}}, Location("", "", -35)), FilterOutcome::Pass);
    EXPECT_EQ(Outcome({{"ID", ">", "10"}}, Location("", "", 12)), FilterOutcome::Pass);
    EXPECT_EQ(Outcome({{"ID", "<=", "11,5"}}, Location("", "", 12)), FilterOutcome::Fail);
}

TEST(RecordFilterEvaluate, TheExampleOfFiveRows) {
    core::ScriptedPrompts prompts;
    RecordFilter filter;
    ASSERT_TRUE(filter.Compile(Filter({{"pH", ">=", "6"},
                                       {"pH", "<", "7"},
                                       {"", "and", ""},
                                       {"Analist", "like", "jan"},
                                       {"", "or", ""}}),
                               kFieldNames));
    const struct {
        const char* ph;
        const char* analist;
        FilterOutcome outcome;
    } cases[] = {
        {"6", "", FilterOutcome::Pass},       {"6,9", "Piet", FilterOutcome::Pass},
        {"7", "Piet", FilterOutcome::Fail},   {"5.9", "", FilterOutcome::Fail},
        {"8", "Jansen", FilterOutcome::Pass}, {"", "M. de Jan", FilterOutcome::Pass},
        {"", "", FilterOutcome::Fail},        {"zuur", "Jan", FilterOutcome::Pass},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filter.Evaluate(Location(c.ph, c.analist)), c.outcome) << c.ph << c.analist;
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(RecordFilterEvaluate, TheStack) {
    const struct {
        std::initializer_list<Rule> rules;
        const char* ph;
        FilterOutcome outcome;
        QStringList messages;
    } cases[] = {
        // Every failed pop has its message; the last pop counts as the row after the last.
        {{{"", "and", ""}},
         "6",
         FilterOutcome::Error,
         {StackEmpty(1), StackEmpty(1), StackEmpty(2)}},
        {{{"", "not", ""}}, "6", FilterOutcome::Error, {StackEmpty(1), StackEmpty(2)}},
        {{{"pH", ">", "5"}, {"", "or", ""}},
         "6",
         FilterOutcome::Error,
         {StackEmpty(2), StackEmpty(3)}},
        {{{"pH", ">", "5"}, {"", "not", ""}, {"", "not", ""}, {"", "not", ""}},
         "6",
         FilterOutcome::Fail,
         {}},
        // Without an operator row the top value decides; values below it are ignored.
        {{{"pH", ">", "5"}, {"pH", "<", "5"}}, "6", FilterOutcome::Fail, {}},
        {{{"pH", "<", "5"}, {"pH", ">", "5"}}, "6", FilterOutcome::Pass, {}},
        // A comparison without a field: an error, reported once.
        {{{"", ">", "5"}, {"pH", ">", "5"}, {"", "and", ""}},
         "6",
         FilterOutcome::Error,
         {"Regel 1:  Een vergelijking zonder veld kan niet uitgevoerd worden"}},
    };
    for (const auto& c : cases) {
        core::ScriptedPrompts prompts;
        EXPECT_EQ(Outcome(c.rules, Location(c.ph)), c.outcome)
            << c.messages.join('|').toStdString();
        EXPECT_EQ(prompts.shown, c.messages);
    }

    // No rule rows at all.
    core::ScriptedPrompts prompts;
    core::Grid headerOnly = NewFilterGrid();
    headerOnly.SetRowCount(1);
    RecordFilter filter;
    ASSERT_TRUE(filter.Compile(headerOnly, kFieldNames));
    EXPECT_EQ(filter.Evaluate(Location("6")), FilterOutcome::Error);
    EXPECT_EQ(prompts.shown, QStringList{StackEmpty(1)});
}

TEST(RecordFilterEvaluate, AFailingFilterEndsTheRunAtItsFirstLocation) {
    core::ScriptedPrompts prompts;
    RecordFilter filter;
    ASSERT_TRUE(filter.Compile(Filter({{"", "and", ""}}), kFieldNames));
    std::vector<LocationRow> locations;
    for (int id = 1; id <= 1000; ++id)
        locations.push_back(Location("6", "", id));
    RunSource source;
    source.Assign(std::move(locations), {});
    RunOptions options;
    options.filter = filter.AsRunFilter();
    const RunWalk walk = WalkAllLocations(source, options);
    EXPECT_TRUE(walk.brokenOff);
    EXPECT_TRUE(walk.steps.empty());
    EXPECT_EQ(prompts.shown, (QStringList{StackEmpty(1), StackEmpty(1), StackEmpty(2)}));
}

TEST(RecordFilterEvaluate, FiltersTheRun) {
    core::ScriptedPrompts prompts;
    RecordFilter filter;
    ASSERT_TRUE(filter.Compile(
        Filter({{"pH", ">=", "6"}, {"Analist", "<>", "piet"}, {"", "and", ""}}), kFieldNames));
    RunSource source;
    source.Assign({Location("5", "jan", 1), Location("6", "Piet", 2), Location("6,2", "jan", 3),
                   Location("7", "", 4)},
                  {});
    RunOptions options;
    options.filter = filter.AsRunFilter();
    const RunWalk walk = WalkAllLocations(source, options);
    EXPECT_FALSE(walk.brokenOff);
    ASSERT_EQ(walk.steps.size(), 2u);
    EXPECT_EQ(walk.steps[0].location->id, 3);
    EXPECT_EQ(walk.steps[1].location->id, 4);
}

TEST(RecordFilterFields, EveryLocationsFieldIsReadFromItsOwnMember) {
    LocationRow l;
    l.id = 42;
    l.locatie = "LOCATIE";
    l.dag = "DAG";
    l.maand = "MAAND";
    l.jaar = "JAAR";
    l.coordX = "COORDX";
    l.coordY = "COORDY";
    l.ph = "PH";
    l.geleiding = "GELEIDING";
    l.analist = "ANALIST";
    l.herbarium = "HERBARIUM";
    l.wtype = "WTYPE";
    l.opmLocatie = "OPMLOCATIE";
    l.zuurgraad = "ZUURGRAAD";
    l.monstersrt = "MONSTERSRT";
    l.owner = "OWNER";
    l.locCode = "LOCCODE";
    l.waterTemp = "WATERTEMP";
    l.amaat = "AMAAT";
    for (const core::dbf::FieldDef& field : core::LocationFields()) {
        const QString name = QString::fromStdString(field.name);
        const int index = LocationFieldIndex(name.toLower());
        ASSERT_GE(index, 0) << field.name;
        EXPECT_EQ(LocationFieldText(l, index), name == "ID" ? "42" : name);
    }
    EXPECT_EQ(LocationFieldIndex(u"KXY"), -1);
    EXPECT_EQ(LocationFieldText(l, 99), QString());
}

// ---- The grid

TEST(RecordFilterGrid, AddDeleteAndClear) {
    core::ScriptedPrompts prompts;
    core::Grid grid = NewFilterGrid();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Row(0), (QStringList{"Veld", "Op.", "Value"}));
    EXPECT_EQ(grid.Row(1), (QStringList{"", "", ""}));

    grid.SetRow(1, {"pH", ">", "6"});
    DeleteFilterRow(grid, 1); // the only rule row is emptied
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Row(1), (QStringList{"", "", ""}));

    while (grid.RowCount() < 1 + kMaxFilterRows)
        ASSERT_TRUE(AddFilterRow(grid));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(AddFilterRow(grid));
    EXPECT_EQ(grid.RowCount(), 1 + kMaxFilterRows);
    EXPECT_EQ(prompts.shown, QStringList{"Teveel filterregels"});

    for (int r = 1; r < grid.RowCount(); ++r)
        grid.SetCell(2, r, QString::number(r));
    DeleteFilterRow(grid, 2);
    EXPECT_EQ(grid.RowCount(), kMaxFilterRows);
    EXPECT_EQ(grid.Cell(2, 1), "1");
    EXPECT_EQ(grid.Cell(2, 2), "3");
    EXPECT_EQ(grid.Cell(2, kMaxFilterRows - 1), QString::number(kMaxFilterRows));
    DeleteFilterRow(grid, 0); // the header stays
    DeleteFilterRow(grid, grid.RowCount());
    EXPECT_EQ(grid.RowCount(), kMaxFilterRows);
    EXPECT_EQ(grid.Cell(0, 0), "Veld");
}

// ---- Filter files

TEST(RecordFilterFile, SaveWritesNameCountAndRowsThenOpensTheSame) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ph.tsv");
    const core::Grid grid =
        Filter({{"pH", ">=", "6,5"}, {"Analist", "like", "Jansen "}, {"", "and", ""}});
    SaveFilterFile(path, grid);
    EXPECT_EQ(velmora::testing::ReadAll(path),
              "ph.tsv\r\n4\r\nVeld\tOp.\tValue\t\r\npH\t>=\t6,5\t\r\n"
              "Analist\tlike\tJansen \t\r\n\tand\t\t\r\n");
    EXPECT_EQ(OpenFilterFile(path, kFieldNames), grid);

    // The next save replaces the file.
    const core::Grid one = Filter({{"Locatie", "=", "Ven"}});
    SaveFilterFile(path, one);
    EXPECT_EQ(velmora::testing::ReadAll(path),
              "ph.tsv\r\n2\r\nVeld\tOp.\tValue\t\r\nLocatie\t=\tVen\t\r\n");
    EXPECT_EQ(OpenFilterFile(path, kFieldNames), one);
}

TEST(RecordFilterFile, SaveKeepsTheLayoutReadable) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tab.tsv");
    SaveFilterFile(path, Filter({{"Analist", "like", "a\tb\r\nc"}}));
    EXPECT_EQ(OpenFilterFile(path, kFieldNames), Filter({{"Analist", "like", "a b  c"}}));

    core::Grid tooLong = NewFilterGrid();
    tooLong.SetRowCount(2 + kMaxFilterRows);
    EXPECT_THROW(SaveFilterFile(path, tooLong), core::Error);
    EXPECT_THROW(SaveFilterFile(dir.filePath("no/such/folder/f.tsv"), Filter({{"pH", ">", "6"}})),
                 core::Error);
}

TEST(RecordFilterFile, OpenAcceptsWhatEditorsMakeOfIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f.tsv");
    const struct {
        QByteArray bytes;
        core::Grid grid;
    } cases[] = {
        // LF line ends, no trailing tabs, fewer cells, blank lines after the rows.
        {"f.tsv\n3\nVeld\tOp.\tValue\npH\t>\nAnalist\tlike\tjan\n\n  \n",
         Filter({{"pH", ">", ""}, {"Analist", "like", "jan"}})},
        // A count with blanks around it; a Windows-1252 file; a header of another language.
        {"oud\r\n 2 \r\nField\tOp.\tValue\t\r\nAnalist\t=\tJos\xe9\t\r\n",
         [] {
             core::Grid g = Filter({{"Analist", "=", "José"}});
             g.SetRow(0, {"Field", "Op.", "Value"});
             return g;
         }()},
        // Just the header.
        {"f\r\n1\r\nVeld\tOp.\tValue\t\r\n",
         [] {
             core::Grid g = NewFilterGrid();
             g.SetRowCount(1);
             return g;
         }()},
    };
    for (const auto& c : cases) {
        velmora::testing::WriteAll(path, c.bytes);
        EXPECT_EQ(OpenFilterFile(path, kFieldNames), c.grid) << c.bytes.toStdString();
    }
}

TEST(RecordFilterFile, OpenRefusesNamingTheLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f.tsv");
    const QByteArray head = "f.tsv\r\n3\r\nVeld\tOp.\tValue\t\r\n";
    const struct {
        QByteArray bytes;
        QString reason;
    } cases[] = {
        {"", "Regel 2: '' is geen geldig aantal rijen; een geheel getal van 1 tot en met 21 is "
             "nodig"},
        {"f.tsv\r\n", "Regel 2: '' is geen geldig aantal rijen; een geheel getal van 1 tot en "
                      "met 21 is nodig"},
        {"f.tsv\r\ndrie\r\n", "Regel 2: 'drie' is geen geldig aantal rijen; een geheel getal "
                              "van 1 tot en met 21 is nodig"},
        {"f.tsv\r\n0\r\n", "Regel 2: '0' is geen geldig aantal rijen; een geheel getal van 1 "
                           "tot en met 21 is nodig"},
        {"f.tsv\r\n22\r\n", "Regel 2: '22' is geen geldig aantal rijen; een geheel getal van 1 "
                            "tot en met 21 is nodig"},
        {"f.tsv\r\n-3\r\n", "Regel 2: '-3' is geen geldig aantal rijen; een geheel getal van 1 "
                            "tot en met 21 is nodig"},
        {"f.tsv\r\n4294967298\r\n", "Regel 2: '4294967298' is geen geldig aantal rijen; een "
                                    "geheel getal van 1 tot en met 21 is nodig"},
        {head + "pH\t>\t6\t\r\n", "Regel 5 ontbreekt: regel 2 kondigt 3 rijen aan"},
        {head + "pH\t>\t6\t\r\n\t\t\t\r\nAnalist\t=\tx\t\r\n",
         "Regel 6: het bestand bevat meer rijen dan de 3 die regel 2 aankondigt"},
        {head + "pH\t>\t6\t\r\n\t\t\t\r\n\r\nx\r\n",
         "Regel 7: het bestand bevat meer rijen dan de 3 die regel 2 aankondigt"},
        {head + "pH\t>\t6\tmeer\t\r\n\t\t\t\r\n", "Regel 4: meer dan drie cellen in een rij"},
        {head + "pH\t>\t6\t\t\r\n\t\t\t\r\n", "Regel 4: meer dan drie cellen in een rij"},
        {head + "pH\t>\t6\t\r\nBogus\t=\tx\t\r\n", "Regel 5: onbekend veld 'Bogus'"},
        {head + "Hok\t=\tx\t\r\n\t\t\t\r\n", "Regel 4: onbekend veld 'Hok'"},
        {head + "pH\t>\t6\x01\t\r\n\t\t\t\r\n",
         "Regel 4 bevat een teken dat in een filterbestand niet thuishoort"},
        {QByteArray("f") + '\0' + ".tsv\r\n2\r\nVeld\tOp.\tValue\t\r\n\t\t\t\r\n",
         "Regel 1 bevat een teken dat in een filterbestand niet thuishoort"},
        {"f.tsv\r\n1\r\n" + QByteArray(70000, 'x'),
         "Het bestand is te groot voor een filterbestand"},
    };
    for (const auto& c : cases) {
        velmora::testing::WriteAll(path, c.bytes);
        try {
            OpenFilterFile(path, kFieldNames);
            ADD_FAILURE() << "accepted: " << c.bytes.left(200).toStdString();
        } catch (const core::Error& e) {
            EXPECT_EQ(e.Reason(), c.reason) << c.bytes.left(200).toStdString();
            EXPECT_EQ(e.File(), path);
        }
    }
    EXPECT_THROW(OpenFilterFile(dir.filePath("missing.tsv"), kFieldNames), core::Error);
}

} // namespace
