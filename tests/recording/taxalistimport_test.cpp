// The import of an annotated taxa list: the three kinds of file read to the same records,
// every problem of a bad file named with its line, and the installed list replaced only as a
// whole, read back by the program with its values, tags and nature values; a refused or
// failed import leaves the list in use byte for byte as it was.

#include "common/printers.h"
#include "common/programfolder.h"
#include "common/smallfs.h"
#include "common/tempdir.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/shippedfiles.h"
#include "core/spreadsheet/spreadsheet.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "recording/taxalistimport.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::recording;
using ecology::TaxonRecord;
using velmora::testing::ReadAll;
using velmora::testing::WriteAll;

namespace {

QStringList Values(const TaxonRecord& record) {
    QStringList values;
    for (int f = 0; f < 10; ++f)
        values << record.Value(f);
    return values;
}

std::vector<int> Lines(const TaxaListFile& file) {
    std::vector<int> lines;
    for (const TaxaListProblem& problem : file.problems)
        lines.push_back(problem.line);
    return lines;
}

QString AllText(const TaxaListFile& file) {
    return TaxaListProblemsText(file.problems, file.problemsLeftOut);
}

struct TaxaListImport : ::testing::Test {
    velmora::testing::ProgramFolder dir;

    QString Write(const QString& name, const QByteArray& bytes) const {
        const QString path = dir.filePath(name);
        WriteAll(path, bytes);
        return path;
    }
    QString WriteCsv(const QString& text) const { return Write("list.csv", text.toUtf8()); }
    // The files of Lib/, hidden ones and folders included.
    QStringList LibEntries() const {
        return QDir(dir.filePath("Lib"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

// Every format gives the same records from the same list: headers in Dutch, English or the
// field names, columns in any order, values trimmed and written as the list stores them.
TEST_F(TaxaListImport, ReadsCsvTsvAndWorkbooksToTheSameRecords) {
    const QStringList expected[] = {
        {"Closterium acutum", "Closterium acutum", "Bréb., 1848", "oligo-meso", "acido", "", "3",
         "-2", "RL", "T"},
        {"Cosmarium \"x\" botrytis", "Cosmarium botrytis", "Menegh. ex Ralfs", "", "alk-neutr",
         "solitair", "", "12", "", ""},
    };
    const QString csv = QStringLiteral(
        "\uFEFFTaxonnaam,Huidige naam,Auteur,Trofiegraad,Zuurgraad,Levensvorm,"
        "Zeldzaamheid,Signaalwaarde,Rode lijst,Negeer variëteit\r\n"
        "\r\n"
        "  Closterium acutum ,Closterium acutum,\"Bréb., 1848\",Oligo-Meso,ACIDO,,+03,-2,RL,t\r\n"
        ",,,,,,,,,\r\n"
        "\"Cosmarium \"\"x\"\" botrytis\",Cosmarium botrytis,Menegh. ex Ralfs,,alk-neutr,"
        "solitair,,12,,\r\n");
    const QString semicolons = QStringLiteral(
        "Taxonnaam;Huidige naam;Auteur;Trofie;Zuurgraad;Levensvorm;R;S;RL;NegVar\r\n"
        "Closterium acutum;Closterium acutum;Bréb., 1848;oligo-meso;acido;;3;-2;RL;T\r\n"
        "\"Cosmarium \"\"x\"\" botrytis\";Cosmarium botrytis;Menegh. ex Ralfs;;alk-neutr;"
        "solitair;;12;;\r\n");
    const QString tsv = QStringLiteral(
        "CURRENT_NAME\tname\tAUTHOR\ttrophic state\tacidity\tLIFE-FORM\trarity\tsignal value\t"
        "red list\tignore variety\n"
        "Closterium acutum\tClosterium acutum\tBréb., 1848\toligo-meso\tacido\t\t3\t-2\tRL\tT\n"
        "Cosmarium botrytis\t\"Cosmarium \"\"x\"\" botrytis\"\tMenegh. ex Ralfs\t\talk-neutr\t"
        "solitair\t\t12\t\t\n");
    const QString fieldNames = QStringLiteral(
        "TAXON_NAME\tCUR_NAME\tAUTHOR_NAM\tTROPHIC_ST\tACIDITY\tLIFE_FORM\tR\tS\tR_L\tNEG_VAR\r\n"
        "Closterium acutum\tClosterium acutum\tBréb., 1848\toligo-meso\tacido\t\t3\t-2\tRL\tT\r\n"
        "Cosmarium \"x\" botrytis\tCosmarium botrytis\tMenegh. ex Ralfs\t\talk-neutr\tsolitair\t"
        "\t12\t\t\r\n");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    // Grid row 0 and column 0 are the sheet's first row and column.
    core::Grid grid(10, 3);
    grid.SetRow(0, {"TAXON_NAME", "CUR_NAME", "Auteur", "Trofie", "Zuurgraad", "Levensvorm", "R",
                    "S", "RL", "NegVar"});
    grid.SetRow(1, expected[0]);
    grid.SetRow(2, expected[1]);
    core::WriteXlsxFile(grid, "Taxa", dir.filePath("list.xlsx"));

    struct Case {
        const char* what;
        QString path;
    };
    const Case cases[] = {
        {"csv in UTF-8 with a byte-order mark", WriteCsv(csv)},
        {"csv with semicolons in Windows-1252, as a Dutch spreadsheet program saves it",
         Write("semicolons.csv", semicolons.toLatin1())},
        {"tsv with English headers in another order", Write("list.tsv", tsv.toUtf8())},
        {"txt in UTF-16 with the field names", Write("list.txt", utf16(fieldNames))},
        {"xlsx", dir.filePath("list.xlsx")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TaxaListFile file = ReadTaxaListFile(c.path);
        EXPECT_TRUE(file.problems.empty()) << AllText(file).toStdString();
        ASSERT_EQ(file.records.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_EQ(Values(file.records[i]), expected[i]);
    }
}

// Each bad file gives exactly the problems it has, every one with the line where its record
// starts (the header's line for the columns), not only the first.
TEST_F(TaxaListImport, EveryProblemIsNamedWithItsLine) {
    const QString head = "TAXON_NAME,CUR_NAME,TROPHIC_ST,ACIDITY,R,S,NEG_VAR,AUTHOR_NAM\n";
    const QString ok = "Cosmarium a,Cosmarium a,,,,,,\n";
    struct Case {
        const char* what;
        QString text;
        std::vector<int> lines;
        const char* inText; // a word of the first problem
    };
    const Case cases[] = {
        {"the same name in other letter case and blanks",
         head + "Cosmarium botrytis,A,,,,,,\n" + ok + " cosmarium  BOTRYTIS ,B,,,,,,\n",
         {4},
         "regel 2"},
        {"unknown class words",
         head + ok + "Cosmarium b,Cosmarium b,mesotroof,zuur,,,,\n",
         {3, 3},
         "mesotroof"},
        {"R and S not whole numbers or too wide",
         head + "Cosmarium b,Cosmarium b,,,1.5,,,\n" + "Cosmarium c,Cosmarium c,,,12345,x,,\n" +
             "Cosmarium d,Cosmarium d,,,-999,+0009,,\n",
         {2, 3, 3},
         "1.5"},
        {"NEG_VAR other than T or F", head + "Cosmarium b,Cosmarium b,,,,,ja,\n", {2}, "ja"},
        {"blank names",
         head + ",Cosmarium b,,,,,,\n" + "Cosmarium c, ,,,,,,\n",
         {2, 3},
         "TAXON_NAME"},
        {"a value longer than its field", head + QString(81, 'x') + ",a,,,,,,\n", {2}, "81"},
        {"characters Windows-1252 cannot hold",
         head + "Cosmarium ł,a,,,,,,\n" + "Cosmarium b,b,,,,,,名\n" + "Cosmarium c,c,,,,,,€ ok\n",
         {2, 3},
         "ł"},
        {"a line break inside a quoted name; the next record's line counts it",
         head + "\"Cosmarium\nbotrytis\",a,,,,,,\n" + "Cosmarium b,b,,,,,bad,\n",
         {2, 4},
         "regeleinde"},
        {"a quote that is never closed",
         head + ok + "\"Cosmarium b,b,,,,,,\n" + ok,
         {3},
         "aanhalingsteken"},
        {"no CUR_NAME column: one problem of the header, none per line",
         "TAXON_NAME,R\nCosmarium a,1\nCosmarium b,2\n",
         {1},
         "CUR_NAME"},
        {"unknown and doubled headers",
         "Naam,Huidige naam,Soort,Auteur,Author\n" + ok,
         {1, 1},
         "Soort"},
        {"a value in a column without header",
         "TAXON_NAME,CUR_NAME,\nCosmarium a,a,\n" + QString("Cosmarium b,b,extra\n"),
         {3},
         "extra"},
        {"the header below empty lines", "\n\n,,\nTAXON_NAME,Onbekend\n", {4, 4, 4}, "Onbekend"},
        {"a header without taxa", head, {1}, "geen taxa"},
        {"an empty file", "", {1}, "kopregel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TaxaListFile file = ReadTaxaListFile(WriteCsv(c.text));
        EXPECT_EQ(Lines(file), c.lines) << AllText(file).toStdString();
        ASSERT_FALSE(file.problems.empty());
        EXPECT_TRUE(file.problems[0].text.contains(QString::fromUtf8(c.inText)))
            << file.problems[0].text.toStdString();
        EXPECT_TRUE(file.problems[0].text.startsWith(QString("Regel %1: ").arg(c.lines[0])));
    }

    // A workbook names the sheet row.
    core::Grid grid(3, 4);
    grid.SetRow(0, {"Naam", "Geldige naam", "Signaalwaarde"});
    grid.SetRow(1, {"Cosmarium a", "Cosmarium a", "1"});
    grid.SetRow(3, {"Cosmarium b", "Cosmarium b", "2,5"});
    core::WriteXlsxFile(grid, "Taxa", dir.filePath("bad.xlsx"));
    const TaxaListFile sheet = ReadTaxaListFile(dir.filePath("bad.xlsx"));
    EXPECT_EQ(Lines(sheet), std::vector<int>{4}) << AllText(sheet).toStdString();
}

TEST_F(TaxaListImport, AFileWrongThroughoutListsAThousandProblemsAndCountsTheRest) {
    QString text = "TAXON_NAME,CUR_NAME,R\n";
    for (int i = 0; i < 1500; ++i)
        text += QString("Cosmarium %1,Cosmarium %1,x\n").arg(i);
    const QString path = WriteCsv(text);
    const TaxaListFile file = ReadTaxaListFile(path);
    EXPECT_EQ(file.problems.size(), std::size_t(kMaxTaxaListProblems));
    EXPECT_EQ(file.problemsLeftOut, 500);
    EXPECT_TRUE(AllText(file).endsWith("en nog 500 problemen"));
    try {
        ImportTaxaList(path, 0);
        FAIL() << "imported";
    } catch (const core::Error& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_TRUE(e.Reason().contains("(1500)")) << e.Reason().toStdString();
        EXPECT_EQ(e.Reason().count('\n'), 1001);
    }
    EXPECT_FALSE(QFile::exists(ecology::TaxaListPath(0)));
}

// Files that cannot be read at all are errors with the file and the reason, before any cell
// is made beyond the limits.
TEST_F(TaxaListImport, UnreadableFilesAreErrors) {
    ImportLimits small = TaxaListLimits();
    small.maxBytes = 1000;
    small.maxColumns = 5;
    small.maxCells = 20;
    struct Case {
        const char* what;
        QString path;
    };
    const Case cases[] = {
        {"missing", dir.filePath("none.csv")},
        {"another kind of file", Write("list.dbf", "TAXON_NAME,CUR_NAME\n")},
        {"larger than the limit", Write("big.csv", QByteArray(1001, 'x'))},
        {"too many columns", Write("wide.csv", "a,b,c,d,e,f\n")},
        {"too many cells", Write("cells.tsv", QByteArray("a\tb\tc\n").repeated(7))},
        {"not a workbook", Write("damaged.xlsx", "PK\x03\x04 not really")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ReadTaxaListFile(c.path, small);
            ADD_FAILURE() << "read";
        } catch (const core::Error& e) {
            EXPECT_EQ(e.File(), c.path);
            EXPECT_FALSE(e.Reason().isEmpty());
        }
    }
}

// The import replaces the list as a whole: the program reads the new table with its values
// and tags, the old one is kept beside it, and nature values use the new scores.
TEST_F(TaxaListImport, InstallsAListTheProgramReadsWithItsScoresAndKeepsTheOldOne) {
    const QString first = WriteCsv("Naam,Huidige naam\nCosmarium old,Cosmarium old\n");
    const TaxaListInstalled initial = ImportTaxaList(first, 0);
    EXPECT_EQ(initial.records, 1);
    EXPECT_TRUE(initial.backupPath.isEmpty());
    const QByteArray oldTable = ReadAll(ecology::TaxaListPath(0));

    const QString list =
        Write("new.csv", "TAXON_NAME,CUR_NAME,AUTHOR_NAM,TROPHIC_ST,ACIDITY,R,S,R_L,NEG_VAR\n"
                         "Staurastrum hirsutum,Staurastrum hirsutum,Bréb.,Oligo,acido,2,3,RL,\n"
                         "cosmarium botrytis,Cosmarium botrytis,Menegh.,eu,ALK,1,1,,\n"
                         "Closterium acutum var. linea,Closterium linea,,meso,neutr,4,,,T\n"
                         "Closterium acutum,Closterium acutum,,meso,neutr,5,2,,\n");
    const TaxaListInstalled installed = ImportTaxaList(list, 0);
    EXPECT_EQ(installed.records, 4);
    ASSERT_FALSE(installed.backupPath.isEmpty());
    EXPECT_TRUE(QRegularExpression("/Lib/TaxaListAnnotatedNL-\\d{8}-\\d{6}\\.dbf$")
                    .match(installed.backupPath)
                    .hasMatch())
        << installed.backupPath.toStdString();
    EXPECT_EQ(ReadAll(installed.backupPath), oldTable);
    // Nothing left of the work: the table, its index, the backup and the build's manifest.
    EXPECT_EQ(LibEntries(), (QStringList{".shipped", QFileInfo(installed.backupPath).fileName(),
                                         "TaxaListAnnotatedNL.dbf", "TaxaListAnnotatedNL.mdx"}));
    // The manifest knew the old list before the new one came: the build keeps the new one.
    core::ShippedFiles shipped(dir.path());
    EXPECT_FALSE(shipped.MayReplace("Lib/TaxaListAnnotatedNL.dbf"));

    // A second import in the same second gets a backup of its own.
    const TaxaListInstalled again = ImportTaxaList(list, 0);
    EXPECT_NE(again.backupPath, installed.backupPath);
    EXPECT_EQ(ReadAll(installed.backupPath), oldTable);

    // The table as written: level 4, the list's layout, both tags in case-insensitive order.
    {
        core::Dataset table;
        table.Open(ecology::TaxaListPath(0), /*readOnly=*/true);
        EXPECT_EQ(table.Table().Level(), 4);
        QStringList fields;
        for (const core::DatasetFieldDef& def : table.FieldDefs())
            fields << QString("%1 %2").arg(def.name).arg(def.size);
        EXPECT_EQ(fields,
                  (QStringList{"TAXON_NAME 80", "CUR_NAME 80", "AUTHOR_NAM 139", "TROPHIC_ST 10",
                               "ACIDITY 10", "LIFE_FORM 20", "R 4", "S 4", "R_L 10", "NEG_VAR 1"}));
        EXPECT_EQ(table.IndexNames().join(",").toUpper(), "TAXONNAME,CURNAME");
        table.SetIndexName("CurName");
        QStringList order;
        for (table.First(); !table.Eof(); table.Next())
            order << table.FieldByName("CUR_NAME").AsString();
        EXPECT_EQ(order, (QStringList{"Closterium acutum", "Closterium linea", "Cosmarium botrytis",
                                      "Staurastrum hirsutum"}));
        table.SetIndexName("TaxonName");
        EXPECT_TRUE(table.FindKeyPrefix("cosmarium"));
        EXPECT_EQ(table.FieldByName("AUTHOR_NAM").AsString(), "Menegh.");
        table.Close();
    }

    ecology::EcologyData eco;
    ecology::LoadTaxaList(eco, 0);
    const ecology::AnnotatedTaxa& taxa = eco.taxaList.Taxa();
    // In the order of the "TaxonName" tag: the table's collation puts "c" before "C".
    EXPECT_EQ(taxa.name, (QStringList{"cosmarium botrytis", "Closterium acutum",
                                      "Closterium acutum var. linea", "Staurastrum hirsutum"}));
    EXPECT_EQ(taxa.trophic, (QStringList{"eu", "meso", "meso", "oligo"}));
    EXPECT_EQ(taxa.acidity, (QStringList{"alk", "neutr", "neutr", "acido"}));
    EXPECT_EQ(taxa.r, (QStringList{"1", "5", "4", "2"}));
    EXPECT_EQ(taxa.s, (QStringList{"1", "2", "", "3"}));
    EXPECT_EQ(taxa.negVar, (QStringList{"", "", "T", ""}));
    EXPECT_FALSE(eco.taxaList.DiversityOnly());
    EXPECT_EQ(eco.taxaList.CurrentName("Closterium acutum var. linea"), "Closterium linea");

    ecology::NatureValueTally& tally = eco.tally;
    tally.ClearData();
    tally.SetMilieu(ecology::MilieuZuur);
    for (const char* name : {"Staurastrum hirsutum", "Cosmarium Botrytis",
                             "Closterium acutum var. linea", "Cosmarium unknown"})
        tally.AddTaxon(name, false);
    tally.ComputeNatureValue();
    // The variety counts under its species' name (NEG_VAR "T") with its own scores.
    EXPECT_EQ(tally.D(), 3);
    EXPECT_EQ(tally.R(), 2 + 1 + 4);
    EXPECT_EQ(tally.S(), 3 + 1);
    EXPECT_EQ(tally.RedListCount(), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpZuur), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpAlkalisch), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpOligotroof), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpMesotroof), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpEutroof), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpNeutraal), 1);
    EXPECT_EQ(tally.SpectrumCount(ecology::SpTrofieIndifferent), 0);
    EXPECT_NE(tally.Result().nw, "0");
}

// A file with any problem, records with a problem, or none at all change nothing: the table,
// its index and the rest of Lib/ stay byte for byte as they were.
TEST_F(TaxaListImport, ARefusedImportLeavesTheListByteIdentical) {
    ImportTaxaList(WriteCsv("Naam,Huidige naam,R\nCosmarium a,Cosmarium a,1\n"), 1);
    const QByteArray table = ReadAll(ecology::TaxaListPath(1));
    const QByteArray index = ReadAll(dir.filePath("Lib/TaxaListAnnotatedEU.mdx"));
    const QStringList entries = LibEntries();

    const QString bad = WriteCsv("Naam,Huidige naam,R\nCosmarium b,Cosmarium b,1\n"
                                 "Cosmarium c,Cosmarium c,veel\n");
    EXPECT_THROW(ImportTaxaList(bad, 1), core::Error);
    TaxonRecord unfit{"Cosmarium d", "Cosmarium d", "", "tropisch", "", "", "", "", "", ""};
    EXPECT_THROW(InstallTaxaList({unfit}, 1), core::Error);
    EXPECT_THROW(InstallTaxaList({}, 1), core::Error);
    EXPECT_EQ(TaxaListRecordProblems({unfit}).size(), 1u);

    EXPECT_EQ(ReadAll(ecology::TaxaListPath(1)), table);
    EXPECT_EQ(ReadAll(dir.filePath("Lib/TaxaListAnnotatedEU.mdx")), index);
    EXPECT_EQ(LibEntries(), entries);
}

// A disk that fills up while the new list or the backup of the old one is written: an error,
// and the old list whole with nothing left beside it.
TEST_F(TaxaListImport, AFullDiskLeavesTheOldListWhole) {
    QString bigger = "TAXON_NAME,CUR_NAME,AUTHOR_NAM\n";
    for (int i = 0; i < 300; ++i)
        bigger += QString("Cosmarium %1,Cosmarium %1,%2\n").arg(i).arg(QString(100, 'a'));
    const QString bigList = WriteCsv(bigger);
    const QString smallList = Write("small.csv", "TAXON_NAME,CUR_NAME\nCosmarium z,Cosmarium z\n");
    // Free space left after filling: none (the new table fails), or room for the new table
    // and its index but not for the backup of the old list (about 110 KB).
    for (const long room : {0L, 48L * 1024}) {
        SCOPED_TRACE(room);
        QDir(dir.path()).mkdir("mnt");
        const int code =
            velmora::testing::RunOnSmallFileSystem(dir.filePath("mnt"), 1024 * 1024, [&] {
                core::SetProgramDir(dir.filePath("mnt"));
                QDir(dir.filePath("mnt")).mkdir("Lib");
                ImportTaxaList(bigList, 0);
                const QString lib = dir.filePath("mnt/Lib");
                const QByteArray before = ReadAll(lib + "/TaxaListAnnotatedNL.dbf");
                const QStringList entries =
                    QDir(lib).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
                velmora::testing::FillDisk(dir.filePath("mnt"));
                if (room > 0) {
                    QFile fill(dir.filePath("mnt/fill"));
                    if (!fill.resize(fill.size() - room))
                        return 1;
                }
                try {
                    ImportTaxaList(smallList, 0);
                    return 2;
                } catch (const core::Error&) {
                }
                if (ReadAll(lib + "/TaxaListAnnotatedNL.dbf") != before)
                    return 3;
                if (QDir(lib).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) !=
                    entries)
                    return 4;
                ecology::EcologyData eco;
                ecology::LoadTaxaList(eco, 0);
                return eco.taxaList.Taxa().Size() == 300 ? 0 : 5;
            });
        if (code == velmora::testing::kNoSmallFileSystem)
            GTEST_SKIP() << "no small file system can be made here";
        EXPECT_EQ(code, 0);
    }
}

// The list's layout is written once, in ecology; the build's schema of the shipped lists must
// say the same.
TEST(TaxaListLayout, TheShippedSchemaHasTheListsLayout) {
    const QStringList lines =
        QString::fromUtf8(ReadAll(VELMORA_SOURCE_DIR "/data-src/schemas.txt")).split('\n');
    for (const char* table : {"TaxaListAnnotatedNL", "TaxaListAnnotatedEU"}) {
        SCOPED_TRACE(table);
        const qsizetype at =
            lines.indexOf(QRegularExpression(QString("^table %1 4 .*").arg(table)));
        ASSERT_GE(at, 0);
        QStringList schema;
        for (qsizetype i = at + 1; i < lines.size() && lines[i].startsWith("field "); ++i)
            schema << lines[i].trimmed();
        QStringList code;
        for (const core::dbf::FieldDef& def : ecology::TaxaListFieldDefs())
            code << QString("field %1 C %2").arg(QString::fromStdString(def.name)).arg(def.length);
        EXPECT_EQ(schema, code);
    }
}

TEST(TaxaListLayout, EveryHeaderWordMeansOneField) {
    QHash<QString, int> seen;
    const QRegularExpression ignored("[\\s_-]");
    const std::vector<QStringList>& words = TaxaListHeaderWords();
    ASSERT_EQ(words.size(), 10u);
    for (int f = 0; f < 10; ++f) {
        EXPECT_EQ(words[f].value(0), ecology::TaxaListFieldNames()[f]);
        for (const QString& word : words[f]) {
            const QString key = word.toLower().remove(ignored);
            EXPECT_EQ(seen.value(key, f), f) << word.toStdString();
            seen.insert(key, f);
        }
    }
}

} // namespace
