// velmora-cli on the demonstration database: each command's output against what the library
// gives for the same data, the exit codes, and what a run leaves untouched.

#include "cli/commands.h"
#include "common/programfolder.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/filelock.h"
#include "core/grid/gridfiles.h"
#include "core/scriptedprompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/referencelists.h"
#include "ecology/selectiontables.h"
#include "ecology/taxalistfile.h"
#include "recording/databaseexport.h"
#include "recording/dataimport.h"
#include "recording/gisexport.h"
#include "recording/importlayout.h"
#include "recording/locationsampleeditor.h"
#include "recording/namecorrection.h"
#include "session/messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::ProgramFolder;

const QString kBuilt = QStringLiteral(VELMORA_PROGRAM_DIR);

QByteArray Slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program folder with the built demonstration database, reference lists and language files.
class DemoFolder : public ProgramFolder {
public:
    DemoFolder() {
        for (const QString& sub :
             {QStringLiteral("Data"), QStringLiteral("Lib"), QStringLiteral("Lang")}) {
            QDir().mkpath(filePath(sub));
            for (const QString& file : QDir(kBuilt + "/" + sub).entryList(QDir::Files))
                if (!file.endsWith(".mdx", Qt::CaseInsensitive) && file != "VLX.ini")
                    QFile::copy(kBuilt + "/" + sub + "/" + file, filePath(sub + "/" + file));
        }
    }
};

struct Result {
    int code = -1;
    QString out;
    QString err;
};

// The command in this process, on the current program folder.
Result RunCli(QStringList args) {
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = cli::Run(args, out, err);
    return r;
}

QStringList Lines(const QString& text) {
    return text.split('\n', Qt::SkipEmptyParts);
}

QString GridText(const core::Grid& grid) {
    QString text;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << core::TsvField(grid.Cell(c, r));
        text += cells.join('\t') + '\n';
    }
    return text;
}

// The demonstration database opened the way the windows open it, with the lists loaded.
struct OpenDemo {
    core::ScriptedPrompts prompts;
    core::DatabaseStore store;
    ecology::EcologyData eco;
    OpenDemo() {
        core::SetUserPrompts(&prompts);
        store.saveProgramSettings = false;
        ecology::ReloadReferenceLists(eco, core::CurrentSettings().number);
        EXPECT_TRUE(store.OpenDatabase("Demo"));
    }
    ~OpenDemo() {
        store.CloseDatabase();
        core::SetUserPrompts(nullptr);
    }
};

// ------------------------------------------------------------------ the command line

TEST(Cli, UsageErrorsExitWithTwoAndSayWhy) {
    DemoFolder folder;
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{}, "Usage"},
        {{"frobnicate"}, "Unknown command: frobnicate"},
        {{"nature-value", "Demo", "--colour"}, "Unknown option: --colour"},
        {{"nature-value", "Demo", "--year"}, "The option --year needs a value"},
        {{"nature-value", "Demo", "--events", "12,x"}, "Invalid value for --events: x"},
        {{"nature-value"}, "Wrong number of arguments for nature-value"},
        {{"export", "Demo"}, "Give exactly one of --tsv and --xlsx"},
        {{"export", "Demo", "--tsv", "a", "--xlsx", "b"}, "Give exactly one of --tsv and --xlsx"},
        {{"import", "Demo", "data.tsv", "--coords", "utm", "--layout", "l.vlf"},
         "Invalid value for --coords: utm"},
        {{"taxalist", "import", "list.csv"}, "The option --region is required"},
        {{"taxalist", "import", "l.csv", "--region", "NL", "--region", "EU"},
         "The option --region is given more than once"},
        {{"nature-value", "Demo", "--year", "abc"}, "Invalid value for --year: abc"},
        {{"nature-table", "Demo", "--year", "2010-2005"}, "Invalid value for --year: 2010-2005"},
        {{"import", "Demo", "d.tsv", "--layout", "l.vlf", "--coords", "km"},
         "The option --coords belongs with --replace"},
        {{"import", "Demo", "d.tsv", "--layout", "l.vlf", "--replace"},
         "The option --coords is required"},
        {{"taxalist", "import", "list.csv", "--region", "US"}, "Invalid value for --region: US"},
        {{"taxalist", "export", "list.csv", "--region", "NL"},
         "Wrong number of arguments for taxalist"},
        {{"gis", "Demo"}, "The option --out is required"},
        {{"databases", "Demo"}, "Wrong number of arguments for databases"},
    };
    for (const Case& c : cases) {
        const Result r = RunCli(c.args);
        EXPECT_EQ(r.code, cli::kExitUsage) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.args.join(' ').toStdString();
    }
}

TEST(Cli, EveryCommandHasHelp) {
    DemoFolder folder;
    const Result general = RunCli({"--help"});
    EXPECT_EQ(general.code, cli::kExitOk);
    for (const char* command : {"databases", "export", "import", "nature-value", "species-list",
                                "nature-table", "check-names", "gis", "taxalist"}) {
        EXPECT_TRUE(general.out.contains(command)) << command;
        const Result r = RunCli({command, "--help"});
        EXPECT_EQ(r.code, cli::kExitOk) << command;
        EXPECT_TRUE(r.out.startsWith(QString("Usage: velmora-cli ") + command))
            << r.out.toStdString();
    }
}

TEST(Cli, MessagesFollowTheInterfaceLanguage) {
    DemoFolder folder;
    // The settings file says which language; the command line reads it.
    QFile ini(folder.Data("VLX.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Common]\r\nLanguage=NL\r\n");
    ini.close();
    // A run of its own: this process has English loaded already.
    QProcess process;
    process.start(kBuilt + "/velmora-cli", {"--program-folder", folder.path(), "frobnicate"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.contains("Onbekende opdracht: frobnicate")) << err.toStdString();
}

// ------------------------------------------------------------------ the commands

TEST(Cli, DatabasesListsEachWithItsRecordCounts) {
    DemoFolder folder;
    const Result r = RunCli({"databases"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    core::Dataset locations, samples;
    locations.Open(folder.Data("Demo1.dbf"), true);
    samples.Open(folder.Data("Demo2.dbf"), true);
    EXPECT_EQ(Lines(r.out).value(1),
              QString("Demo\t%1\t%2").arg(locations.RecordCount()).arg(samples.RecordCount()));
    EXPECT_GT(samples.RecordCount(), 0);
}

TEST(Cli, NatureValuePerEventIsTheMainWindowsAndTheTotalTheTablesTotal) {
    DemoFolder folder;
    for (const bool ignore : {false, true}) {
        for (const bool alternative : {false, true}) {
            QStringList args = {"nature-value", "Demo"};
            if (ignore)
                args << "--ignore-doubtful";
            if (alternative)
                args << "--alternative";
            const Result r = RunCli(args);
            ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
            const QStringList lines = Lines(r.out);

            OpenDemo demo;
            recording::LocationSampleEditor editor(demo.store);
            core::Dataset& loc = demo.store.Locations();
            loc.SetIndexName("ID");
            int row = 1;
            for (loc.First(); !loc.Eof(); loc.Next(), ++row) {
                demo.eco.tally.ClearData();
                editor.TallyCurrentEvent(demo.eco.tally, ignore, alternative);
                const ecology::NatureValueResult& want = demo.eco.tally.Result();
                const QStringList cells = lines.value(row).split('\t');
                ASSERT_GE(cells.size(), 13) << lines.value(row).toStdString();
                EXPECT_EQ(cells[0], loc.FieldByName("ID").AsString());
                EXPECT_EQ(cells[1], loc.FieldByName("LOCATIE").AsString());
                EXPECT_EQ(QStringList({cells[5], cells[6], cells[7], cells[8], cells[9], cells[10],
                                       cells[11], cells[12]}),
                          QStringList({want.dn, want.rn, want.sn, want.dValue, want.rValue,
                                       want.sValue, want.rl, want.nw}))
                    << "event " << cells[0].toStdString();
                for (int c = 0; c < ecology::SpectrumClassCount; ++c)
                    EXPECT_EQ(cells.value(13 + c), want.percent[c]);
            }
            EXPECT_EQ(lines.size(), row + 1); // the header, each event, the total

            if (!ignore) {
                // The total of every event equals the nature value table's total row when
                // each event is a location of its own.
                core::Grid table = ecology::FillLocationTable(loc, demo.store.Samples(), {});
                ecology::ChangeSelection(table, ecology::SelectionChange::All);
                demo.eco.tally.SetAlternativeMethod(alternative);
                const core::Grid nv =
                    ecology::BuildNatureValueTable(
                        {loc, demo.store.Samples(), demo.eco.taxaList, demo.eco.searchList, {}},
                        table, {}, demo.eco.tally)
                        .table;
                const int last = nv.RowCount() - 1;
                const QStringList total = lines.last().split('\t');
                EXPECT_EQ(total[12], nv.Cell(3, last)); // the nature value
                EXPECT_EQ(total[5], nv.Cell(5, last));  // d
                EXPECT_EQ(total[11], nv.Cell(4, last)); // red-list taxa
            }
        }
    }
}

TEST(Cli, NatureValueOfChosenEventsAndYears) {
    DemoFolder folder;
    const QStringList all = Lines(RunCli({"nature-value", "Demo"}).out);
    ASSERT_GT(all.size(), 4);
    const QString first = all[1].section('\t', 0, 0);
    const QString second = all[2].section('\t', 0, 0);
    const Result chosen = RunCli({"nature-value", "Demo", "--events", first + "," + second});
    ASSERT_EQ(chosen.code, cli::kExitOk);
    EXPECT_EQ(Lines(chosen.out).mid(0, 3), all.mid(0, 3));
    EXPECT_EQ(Lines(chosen.out).size(), 4);

    const QString year = all[1].section('\t', 2, 2).left(4);
    const QStringList ofYear = Lines(RunCli({"nature-value", "Demo", "--year", year}).out);
    for (const QString& line : ofYear.mid(1, ofYear.size() - 2))
        EXPECT_TRUE(line.section('\t', 2, 2).startsWith(year)) << line.toStdString();

    const Result none = RunCli({"nature-value", "Demo", "--year", "1066"});
    EXPECT_EQ(none.code, cli::kExitUserError);
    EXPECT_TRUE(none.err.contains("No location visit matches the selection"));

    // An ID no event has is told, the others are still given.
    const Result unknown = RunCli({"nature-value", "Demo", "--events", first + ",999999"});
    EXPECT_EQ(unknown.code, cli::kExitOk);
    EXPECT_TRUE(unknown.err.contains("No location visit has the ID 999999"))
        << unknown.err.toStdString();
    EXPECT_EQ(Lines(unknown.out).size(), 3);
}

TEST(Cli, SpeciesListAndNatureTableAreTheTablesWindowsResults) {
    DemoFolder folder;
    ecology::SelectionOptions options;
    options.ignoreUncertain = options.authors = true;
    const Result species =
        RunCli({"species-list", "Demo", "--ignore-uncertain", "--authors", "--merge-by-name"});
    ASSERT_EQ(species.code, cli::kExitOk) << species.err.toStdString();
    const Result nature = RunCli(
        {"nature-table", "Demo", "--ignore-uncertain", "--taxon", "closterium", "--merge-by-name"});
    ASSERT_EQ(nature.code, cli::kExitOk) << nature.err.toStdString();

    auto expected = [&](bool speciesList, const ecology::TableFilter& filter) {
        OpenDemo demo;
        core::Grid table =
            ecology::FillLocationTable(demo.store.Locations(), demo.store.Samples(), filter);
        ecology::ChangeSelection(table, ecology::SelectionChange::All);
        // The same location name, the same number.
        QHash<QString, int> numbers;
        for (int row = 1; row < table.RowCount(); ++row) {
            const QString name = table.Cell(ecology::LcLocatie, row);
            if (!numbers.contains(name))
                numbers.insert(name, numbers.size() + 1);
            table.SetCell(ecology::LcMerge, row, QString::number(numbers[name]));
        }
        const ecology::SelectionSource source{demo.store.Locations(),
                                              demo.store.Samples(),
                                              demo.eco.taxaList,
                                              demo.eco.searchList,
                                              {}};
        return GridText(
            speciesList
                ? ecology::BuildSpeciesList(source, table, options, demo.eco.tally).table
                : ecology::BuildNatureValueTable(source, table, options, demo.eco.tally).table);
    };
    EXPECT_EQ(species.out, expected(true, {}));
    ecology::TableFilter closterium;
    closterium.taxon = "closterium";
    options.authors = false;
    EXPECT_EQ(nature.out, expected(false, closterium));
    EXPECT_GT(Lines(nature.out).size(), 3);
}

TEST(Cli, TablesGoToAFileWithTheirLocationList) {
    DemoFolder folder;
    const QString path = folder.filePath("soorten.tsv");
    const Result r = RunCli({"species-list", "Demo", "--out", path});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    const QString stdoutText = RunCli({"species-list", "Demo"}).out;
    QString file = QString::fromUtf8(Slurp(path));
    file.replace("\r\n", "\n");
    EXPECT_EQ(file, stdoutText);
    EXPECT_TRUE(QFile::exists(folder.filePath("soorten-LocatieLijst.tsv")));

    const Result none = RunCli({"species-list", "Demo", "--owner", "nobody at all"});
    EXPECT_EQ(none.code, cli::kExitUserError);
    EXPECT_TRUE(none.err.contains("No location visit matches the selection"));
}

TEST(Cli, ExportWritesTheFlatTableOfTheExportWindow) {
    DemoFolder folder;
    const QString viaCli = folder.filePath("cli.tsv");
    const QString viaLibrary = folder.filePath("library.tsv");
    const Result r = RunCli({"export", "Demo", "--tsv", viaCli, "--taxon-info"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    {
        OpenDemo demo;
        ASSERT_TRUE(recording::ExportDatabase(demo.store, &demo.eco.taxaList, viaLibrary,
                                              recording::ExportFormat::Text));
    }
    EXPECT_EQ(Slurp(viaCli), Slurp(viaLibrary));
    EXPECT_GT(Slurp(viaCli).size(), 1000);

    const QString xlsx = folder.filePath("cli.xlsx");
    EXPECT_EQ(RunCli({"export", "Demo", "--xlsx", xlsx}).code, cli::kExitOk);
    EXPECT_TRUE(Slurp(xlsx).startsWith("PK"));
}

TEST(Cli, CheckNamesListsTheDoubtfulNamesAndNormalisesOnRequest) {
    DemoFolder folder;
    // A misspelt name in the demonstration database.
    {
        OpenDemo demo;
        core::Dataset& samples = demo.store.Samples();
        samples.SetIndexName({});
        samples.First();
        samples.Edit();
        samples.FieldByName("DESMID").SetAsString("cosmarium  botrytis");
        samples.Post();
    }
    const Result r = RunCli({"check-names", "Demo"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    QStringList expectedNames;
    {
        OpenDemo demo;
        for (const recording::DoubtfulEntry& e :
             recording::FindDoubtfulNames(demo.store.Samples(), demo.eco.searchList))
            if (!expectedNames.contains(e.name))
                expectedNames << e.name;
    }
    QStringList names;
    for (const QString& line : Lines(r.out).mid(1))
        names << line.section('\t', 0, 0);
    EXPECT_EQ(names, expectedNames);
    const QString line = Lines(r.out).filter("cosmarium  botrytis").value(0);
    EXPECT_TRUE(line.section('\t', 2).startsWith("Cosmarium botrytis")) << line.toStdString();

    const Result normalised = RunCli({"check-names", "Demo", "--normalise"});
    ASSERT_EQ(normalised.code, cli::kExitOk);
    EXPECT_TRUE(Lines(normalised.out).filter("cosmarium  botrytis").isEmpty());
    OpenDemo demo;
    demo.store.Samples().SetIndexName({});
    demo.store.Samples().First();
    EXPECT_EQ(demo.store.Samples().FieldByName("DESMID").AsString(), "Cosmarium botrytis");
}

TEST(Cli, ImportReadsAFileWithASavedLayout) {
    DemoFolder folder;
    {
        core::ScriptedPrompts prompts;
        core::SetUserPrompts(&prompts);
        core::DatabaseStore store;
        store.CreateDatabase("Veld");
        core::SetUserPrompts(nullptr);
    }
    const QString data = folder.filePath("veld.tsv");
    QFile f(data);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Locatie\tDag\tMaand\tJaar\tX\tY\tSieralg\n"
            "Ven A\t7\t5\t2008\t133.5\t397.2\tCosmarium botrytis\n"
            "Ven A\t7\t5\t2008\t133.5\t397.2\tStaurastrum paradoxum\n"
            "Ven B\t8\t5\t2008\t134.5\t398.2\tClosterium acerosum\n");
    f.close();
    recording::ColumnLayout layout = recording::NoChoiceLayout();
    layout.box[recording::kImportLocation] = 1;
    layout.box[recording::kImportDay] = 2;
    layout.box[recording::kImportMonth] = 3;
    layout.box[recording::kImportYear] = 4;
    layout.box[recording::kImportCoordX] = 5;
    layout.box[recording::kImportCoordY] = 6;
    layout.box[recording::kImportDesmid] = 7;
    layout.box[recording::kImportStartRow] = 2;
    layout.unique = {1, 2, 3, 4, 0, 0, 0, 0};
    const QString layoutPath = folder.filePath("veld.vlf");
    recording::WriteColumnLayout(layout, layoutPath);

    const Result r =
        RunCli({"import", "Veld", data, "--layout", layoutPath, "--replace", "--coords", "km"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    core::Dataset locations, samples;
    locations.Open(folder.Data("Veld1.dbf"), true);
    samples.Open(folder.Data("Veld2.dbf"), true);
    EXPECT_EQ(locations.RecordCount(), 2);
    EXPECT_EQ(samples.RecordCount(), 3);
    samples.Close();
    locations.Close();

    // Not a layout: refused, nothing written.
    const QByteArray before = Slurp(folder.Data("Veld2.dbf"));
    const Result bad = RunCli({"import", "Veld", data, "--layout", data});
    EXPECT_EQ(bad.code, cli::kExitUserError);
    EXPECT_EQ(Slurp(folder.Data("Veld2.dbf")), before);
    // A file without data rows does not empty the database it would replace.
    const QString empty = folder.filePath("leeg.tsv");
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.write("Locatie\tDag\tMaand\tJaar\tX\tY\tSieralg\n");
    e.close();
    const Result nothing =
        RunCli({"import", "Veld", empty, "--layout", layoutPath, "--replace", "--coords", "km"});
    EXPECT_EQ(nothing.code, cli::kExitUserError);
    EXPECT_TRUE(nothing.err.contains("There is no data to import")) << nothing.err.toStdString();
    EXPECT_EQ(Slurp(folder.Data("Veld2.dbf")), before);
    const Result noFile =
        RunCli({"import", "Veld", folder.filePath("nergens.tsv"), "--layout", layoutPath});
    EXPECT_EQ(noFile.code, cli::kExitUserError);
    EXPECT_TRUE(noFile.err.contains("does not exist")) << noFile.err.toStdString();

    const Result missing = RunCli({"import", "Nergens", data, "--layout", layoutPath});
    EXPECT_EQ(missing.code, cli::kExitUserError);
    EXPECT_TRUE(missing.err.contains("The database Nergens does not exist"));
}

TEST(Cli, GisWritesWhatTheLibraryWrites) {
    DemoFolder folder;
    const QString viaCli = folder.filePath("cli.csv");
    const Result r = RunCli({"gis", "Demo", "--out", viaCli});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err.toStdString();
    const QString viaLibrary = folder.filePath("library.csv");
    int samples = 0;
    {
        OpenDemo demo;
        samples = recording::ExportGis(demo.store, viaLibrary);
    }
    EXPECT_EQ(Slurp(viaCli), Slurp(viaLibrary));
    EXPECT_TRUE(r.err.contains(QString("%1 samples written").arg(samples))) << r.err.toStdString();
    const Result refused = RunCli({"gis", "Demo", "--out", folder.filePath("demo.shp")});
    EXPECT_EQ(refused.code, cli::kExitUserError);
    EXPECT_FALSE(QFile::exists(folder.filePath("demo.shp")));
}

TEST(Cli, AnImportedTaxaListScoresTheNextNatureValue) {
    DemoFolder folder;
    const QStringList before = Lines(RunCli({"nature-value", "Demo"}).out);
    const QStringList totalBefore = before.last().split('\t');
    // The shipped list carries names only: no rarity, signal or spectrum.
    EXPECT_EQ(totalBefore[6], "0");
    EXPECT_EQ(totalBefore[7], "0");

    // Every name of the demonstration samples, scored.
    QStringList names;
    {
        core::Dataset samples;
        samples.Open(folder.Data("Demo2.dbf"), true);
        for (samples.First(); !samples.Eof(); samples.Next()) {
            const QString name = samples.FieldByName("DESMID").AsString().simplified();
            if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
                names << name;
        }
    }
    QByteArray list = "TAXON_NAME,CUR_NAME,ACIDITY,TROPHIC_ST,R,S,R_L\r\n";
    for (const QString& name : names)
        list += (name + "," + name + ",acido,oligo,1,2,\r\n").toUtf8();
    const QString good = folder.filePath("list.csv");
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(list);
    f.close();

    // A list with faults changes nothing.
    const QString installed = folder.filePath("Lib/TaxaListAnnotatedNL.dbf");
    const QByteArray shipped = Slurp(installed);
    const QString bad = folder.filePath("bad.csv");
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write("TAXON_NAME,CUR_NAME,ACIDITY,R\r\nA b,A b,acido,1\r\nA b,A b,sour,one\r\n");
    b.close();
    const Result rejected = RunCli({"taxalist", "import", bad, "--region", "NL"});
    EXPECT_EQ(rejected.code, cli::kExitUserError);
    EXPECT_TRUE(rejected.err.contains("3")) << rejected.err.toStdString();
    EXPECT_EQ(Slurp(installed), shipped);

    const Result imported = RunCli({"taxalist", "import", good, "--region", "NL"});
    ASSERT_EQ(imported.code, cli::kExitOk) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains(QString("%1 taxa imported").arg(names.size())))
        << imported.err.toStdString();
    EXPECT_EQ(QDir(folder.filePath("Lib")).entryList({"TaxaListAnnotatedNL-*.dbf"}).size(), 1);

    const QStringList total = Lines(RunCli({"nature-value", "Demo"}).out).last().split('\t');
    EXPECT_GE(total[5].toInt(), totalBefore[5].toInt()); // names unknown before now count
    EXPECT_EQ(total[6].toInt(), total[5].toInt());       // r: 1 each
    EXPECT_EQ(total[7].toInt(), 2 * total[5].toInt());   // s: 2 each
    EXPECT_EQ(total[13], "100");                         // the spectrum: all acid
    EXPECT_NE(total[12], totalBefore[12]);
}

// ------------------------------------------------------------------ what a run leaves alone

TEST(Cli, ADatabaseThatAnotherProgramHoldsIsRefusedAndNothingIsWritten) {
    DemoFolder folder;
    core::FileLock held;
    ASSERT_TRUE(held.Acquire(folder.Data("Demo2.dbf")));
    const QByteArray before = Slurp(folder.Data("Demo1.dbf"));
    const QString target = folder.filePath("out.tsv");
    for (const QStringList& args :
         {QStringList{"export", "Demo", "--tsv", target}, QStringList{"nature-value", "Demo"},
          QStringList{"check-names", "Demo", "--normalise"}}) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, cli::kExitUserError) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(session::ResStr(session::rsDatabaseInUse)))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(Slurp(folder.Data("Demo1.dbf")), before);
}

TEST(Cli, TheProgramsSettingsAreNotWritten) {
    DemoFolder folder;
    QFile ini(folder.Data("VLX.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Database]\r\nDefaultDatabase=Elders\r\n");
    ini.close();
    const QByteArray before = Slurp(folder.Data("VLX.ini"));
    EXPECT_EQ(RunCli({"nature-value", "Demo"}).code, cli::kExitOk);
    EXPECT_EQ(Slurp(folder.Data("VLX.ini")), before);
}

TEST(Cli, TheExecutableRunsWithoutADisplay) {
    DemoFolder folder;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(kBuilt + "/velmora-cli",
                  {"--program-folder", folder.path(), "nature-value", "Demo"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              RunCli({"nature-value", "Demo"}).out);

    process.start(kBuilt + "/velmora-cli", {"--program-folder", folder.path(), "nonsense"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);

    process.start(kBuilt + "/velmora-cli",
                  {"--program-folder", folder.filePath("nowhere"), "databases"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);

    // Output that cannot be written is a failure, not a success.
    if (QFile::exists("/dev/full")) {
        process.setStandardOutputFile("/dev/full");
        process.start(kBuilt + "/velmora-cli",
                      {"--program-folder", folder.path(), "nature-value", "Demo"});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1);
    }
}

} // namespace
} // namespace velmora
