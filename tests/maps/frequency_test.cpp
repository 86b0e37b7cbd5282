// Frequency classes of a taxon: the per-mille shares, the class lookup, the percentage texts
// and the labels after a run, with the shipped class table and with small tables of its shape.

#include "core/coordinates.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/text/textutils.h"
#include "maps/frequency.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::maps;

namespace {

const QString kProgram = QStringLiteral(VELMORA_PROGRAM_DIR);

// Classes 0 to 9 with bounds that put 26 and 50 on a class edge.
FrequencyClassTable EdgeTable() {
    const int bounds[] = {0, 1, 26, 50, 100, 200, 300, 400, 600, 900};
    std::vector<FrequencyClassRecord> records;
    for (int c = 0; c < 10; ++c) {
        const QString name = QStringLiteral("klasse %1").arg(c);
        records.push_back({name, c, bounds[c], name, c, bounds[c]});
    }
    return FrequencyClassTable(records);
}

// Runs with "." or "," as the program-wide separator, restored afterwards.
struct Separator {
    QChar saved = core::DecimalSeparator();
    explicit Separator(QChar separator) { core::SetDecimalSeparator(separator); }
    ~Separator() { core::SetDecimalSeparator(saved); }
};

// The class table as the program folder ships it, read from a copy.
FrequencyClassTable ShippedTable() {
    QTemporaryDir dir;
    const QString copy = dir.filePath("Frequentieklassen.dbf");
    if (!QFile::copy(kProgram + "/Lib/Frequentieklassen.dbf", copy))
        throw std::runtime_error("the program folder holds no Frequentieklassen.dbf");
    return FrequencyClassTable::Load(copy);
}

TEST(Frequency, PerMilleShares) {
    const struct {
        int squares;
        int total;
        double km;
        double hour;
    } cases[] = {
        {3, 120, 26, 25},  // 25 + 0.5 goes to the even 26
        {2, 40, 50, 50},   // 50.5 goes to the even 50
        {1, 1000, 2, 1},   // 1.5 goes to 2
        {1, 5000, 1, 0.2}, // a single square of many still counts 1 per mille
        {1, 1200, 1, 1000.0 / 1200},
        {0, 120, 0, 0},
        {120, 120, 1000, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.squares) + " of " + std::to_string(c.total));
        EXPECT_EQ(KmSquarePerMille(c.squares, c.total), c.km);
        EXPECT_DOUBLE_EQ(HourSquarePerMille(c.squares, c.total), c.hour);
    }
    EXPECT_THROW(KmSquarePerMille(1, 0), core::Error);
    EXPECT_THROW(HourSquarePerMille(1, 0), core::Error);
}

TEST(Frequency, ClassLookup) {
    const FrequencyClassTable table = EdgeTable();
    // The last 8 records without class 9 (the search ends at the last one); and a table where
    // a record follows class 9 (class 9 ends the search all the same).
    std::vector<FrequencyClassRecord> records = table.Records();
    const FrequencyClassTable withoutNine(
        std::vector<FrequencyClassRecord>(records.begin(), records.begin() + 8));
    records.push_back({"na negen", 10, 950, "na negen", 10, 950});
    const FrequencyClassTable afterNine(records);

    const struct {
        const FrequencyClassTable* table;
        SquareKind kind;
        double perMille;
        int expected;
    } cases[] = {
        {&table, SquareKind::KmSquares, 0, 0},
        {&table, SquareKind::KmSquares, 1, 1},
        {&table, SquareKind::KmSquares, 25, 1},
        {&table, SquareKind::KmSquares, 26, 2}, // a bound equal to the value includes it
        {&table, SquareKind::HourSquares, 49.99, 2},
        {&table, SquareKind::HourSquares, 50, 3},
        {&table, SquareKind::HourSquares, 1000, 9},
        // A share above 0 below the first bound above 0 is found all the same.
        {&table, SquareKind::HourSquares, 0.2, 1},
        {&table, SquareKind::KmSquares, 0.9, 1},
        {&withoutNine, SquareKind::HourSquares, 1000, 7},
        {&afterNine, SquareKind::KmSquares, 1000, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.perMille) + (c.kind == SquareKind::KmSquares ? " km" : " u"));
        const FrequencyAnswer answer = c.table->FrequencyClass(c.kind, c.perMille, "NL");
        EXPECT_EQ(answer.classNumber, c.expected);
        EXPECT_EQ(answer.description, QStringLiteral("klasse %1").arg(c.expected));
    }
    EXPECT_THROW(FrequencyClassTable().FrequencyClass(SquareKind::KmSquares, 1, "NL"), core::Error);
}

TEST(Frequency, DescriptionsByLanguage) {
    const FrequencyClassTable table = ShippedTable();
    const struct {
        double perMille;
        const char* dutch;
        const char* english;
    } cases[] = {
        {0, "Afwezig", "Absent"},
        {2, "Zeer zeldzaam", "Very rare"},
        {8, "Zeldzaam", "Rare"},
        {30, "Vrij zeldzaam", "Occasional"},
        {60, "Vrij algemeen", "Frequent"},
        {120, "Algemeen", "Common"},
        {240, "Zeer algemeen", "Very common"},
        {1000, "Uiterst algemeen", "Abundant"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.perMille);
        const auto nl = table.FrequencyClass(SquareKind::HourSquares, c.perMille, "NL");
        const auto en = table.FrequencyClass(SquareKind::HourSquares, c.perMille, "EN");
        EXPECT_EQ(nl.description, QString::fromUtf8(c.dutch));
        EXPECT_EQ(en.description, QString::fromUtf8(c.english));
        EXPECT_EQ(nl.classNumber, en.classNumber);
    }
}

TEST(Frequency, PercentageTexts) {
    const struct {
        double value;
        QChar separator;
        const char* text;
    } cases[] = {
        {4.1666, '.', "4.2"}, {4.1666, ',', "4,2"},        {12.34, '.', "12"},
        {100, '.', "1E02"},   {99.96, ',', "1E02"},        {9.96, '.', "10"},
        {5, '.', "5"},        {2.5, ',', "2,5"},           {0.08333, '.', "0.083"},
        {0.0996, '.', "0.1"}, {0.0000012, ',', "1,2E-06"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        Separator separator(c.separator);
        EXPECT_EQ(PercentageText(c.value), QString::fromLatin1(c.text));
    }
}

TEST(Frequency, ClassTableFromTheTableFile) {
    QTemporaryDir dir;
    using core::dbf::FieldDef;
    using core::dbf::FieldType;
    const std::vector<FieldDef> fields = {
        {"KOMSCHR", FieldType::Character, 20, 0, false, 0},
        {"KFK", FieldType::Numeric, 4, 0, false, 0},
        {"KMHOKKEN", FieldType::Numeric, 4, 0, false, 0},
        {"UOMSCHR", FieldType::Character, 20, 0, false, 0},
        {"UFK", FieldType::Numeric, 4, 0, false, 0},
        {"UURHOKKEN", FieldType::Numeric, 4, 0, false, 0},
    };
    auto write = [&](const QString& name, const std::vector<QVariantList>& rows) {
        const QString path = dir.filePath(name);
        core::Dataset::CreateTable(path, fields, core::dbf::TableLevel::Level4);
        core::Dataset table;
        table.Open(path);
        for (const QVariantList& row : rows)
            table.AppendRecord(row);
        table.Close();
        return path;
    };
    // Records in stored order, whatever their class numbers.
    const QString good = write("good.dbf", {{"Geen", 0, 0, "Nergens", 0, 0},
                                            {"Weinig", 1, 5, "Hier en daar", 1, 10},
                                            {"Veel", 9, 500, "Overal", 9, 400}});
    const FrequencyClassTable table = FrequencyClassTable::Load(good);
    ASSERT_EQ(table.Records().size(), 3u);
    EXPECT_EQ(table.FrequencyClass(SquareKind::KmSquares, 5, "NL"),
              (FrequencyAnswer{1, QStringLiteral("Weinig")}));
    EXPECT_EQ(table.FrequencyClass(SquareKind::HourSquares, 450, "NL"),
              (FrequencyAnswer{9, QStringLiteral("Overal")}));

    const QString blankBound = write("blank.dbf", {{"Geen", 0, 0, "Nergens", 0, QVariant()}});
    EXPECT_THROW(FrequencyClassTable::Load(blankBound), core::Error);
    const QString empty = write("empty.dbf", {});
    EXPECT_THROW(FrequencyClassTable::Load(empty), core::Error);
}

struct FrequencyTextsTest : ::testing::Test {
    Separator separator{QLatin1Char('.')};
    FrequencyClassTable table = ShippedTable();
    FrequencyTexts texts;

    FrequencyRun Run(int k, int K, int u, int U, const QString& system = core::kKmBased) {
        FrequencyRun run;
        run.coordinateSystem = system;
        run.language = QStringLiteral("NL");
        run.kmSquares = k;
        run.totalKmSquares = K;
        run.hourSquares = u;
        run.totalHourSquares = U;
        return run;
    }
};

TEST_F(FrequencyTextsTest, TaxonRunInBothCoordinateSystems) {
    WriteFrequencyTexts(texts, table, Run(3, 120, 2, 40));
    EXPECT_EQ(texts.squareCount, "40 uurhokken;  120 kilometerhokken");
    EXPECT_EQ(texts.uf, "UF: 2 (5%)  UFK: 5, Vrij zeldzaam");
    EXPECT_EQ(texts.kf, "KF: 3 (2.5%)  KFK: 4, Zeldzaam");
    EXPECT_EQ(texts.memo, QStringList({texts.uf, texts.kf}));

    WriteFrequencyTexts(texts, table, Run(3, 120, 2, 40, core::kLatLon));
    EXPECT_EQ(texts.squareCount, "3/120 hokken (1 x 0.5) min");
    EXPECT_EQ(texts.uf, "");
    EXPECT_EQ(texts.kf, "Frequentie: 3/120 (2.5%)  Klasse: 4, Zeldzaam");
    EXPECT_EQ(texts.memo, QStringList({"", texts.kf}));

    // Found everywhere; under "EN" the English class names.
    FrequencyRun all = Run(120, 120, 40, 40);
    all.language = QStringLiteral("EN");
    WriteFrequencyTexts(texts, table, all);
    EXPECT_EQ(texts.uf, "UF: 40 (1E02%)  UFK: 9, Abundant");
    EXPECT_EQ(texts.kf, "KF: 120 (1E02%)  KFK: 9, Abundant");
}

TEST_F(FrequencyTextsTest, OneSquareOfALargeDatabaseIsNotAbsent) {
    // 1,200 hour-squares and 4,000 km-squares: one of each is below one per mille.
    WriteFrequencyTexts(texts, table, Run(1, 4000, 1, 1200));
    EXPECT_EQ(texts.uf, "UF: 1 (0.083%)  UFK: 1, Zeer zeldzaam");
    EXPECT_EQ(texts.kf, "KF: 1 (0.025%)  KFK: 1, Zeer zeldzaam");
    // Every count of such a database has a class above 0, rising with the count.
    int previous = 1;
    for (int u = 1; u <= 1200; ++u) {
        const int c =
            table.FrequencyClass(SquareKind::HourSquares, HourSquarePerMille(u, 1200), "NL")
                .classNumber;
        ASSERT_GE(c, previous) << u;
        previous = c;
    }
    EXPECT_EQ(previous, 9);
}

TEST_F(FrequencyTextsTest, AllLocationsRunsAndEmptyTotals) {
    StartAllLocationsTexts(texts);
    FrequencyRun run = Run(0, 120, 0, 40);
    run.taxonRun = false;
    WriteFrequencyTexts(texts, table, run);
    EXPECT_EQ(texts.squareCount, "40 uurhokken;  120 kilometerhokken");
    EXPECT_EQ(texts.uf, "...");
    EXPECT_EQ(texts.memo, QStringList({"...", "..."}));
    run.coordinateSystem = core::kLatLon;
    WriteFrequencyTexts(texts, table, run);
    EXPECT_EQ(texts.squareCount, "120 hokken (1 x 0.5) min");

    // A taxon run over a period without squares keeps the labels; the memo takes them over.
    texts = {"oud", "UF oud", "KF oud", {}};
    WriteFrequencyTexts(texts, table, Run(0, 0, 0, 40));
    EXPECT_EQ(texts.squareCount, "oud");
    EXPECT_EQ(texts.memo, QStringList({"UF oud", "KF oud"}));
}

} // namespace
