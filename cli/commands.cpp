#include "cli/commands.h"

#include "cli/consoleprompts.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/grid/gridfiles.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/eventnaturevalues.h"
#include "ecology/messages.h"
#include "ecology/selectiontables.h"
#include "ecology/taxalistfile.h"
#include "recording/databasecatalogue.h"
#include "recording/databaseexport.h"
#include "recording/dataimport.h"
#include "recording/gisexport.h"
#include "recording/namecorrection.h"
#include "recording/taxalistimport.h"
#include "session/messages.h"
#include "session/session.h"
#include "support/interfacelanguage.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <functional>
#include <map>
#include <optional>
#include <span>

namespace velmora::cli {

namespace {

using session::ResStr;

// ------------------------------------------------------------------ the command line

struct OptionSpec {
    const char* name;
    bool takesValue;
};

struct Arguments {
    QStringList positional;
    QHash<QString, QString> values; // options with a value
    QSet<QString> flags;            // options without one
    bool help = false;

    bool Flag(const char* name) const { return flags.contains(QLatin1String(name)); }
    std::optional<QString> Value(const char* name) const {
        const auto it = values.constFind(QLatin1String(name));
        if (it == values.constEnd())
            return std::nullopt;
        return *it;
    }
};

// A usage error: its text is shown with the pointer to the command's help.
struct UsageError {
    QString text;
};

Arguments Parse(const QStringList& args, std::span<const OptionSpec> specs) {
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            parsed.help = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.positional << arg;
            continue;
        }
        QString name = arg;
        std::optional<QString> inlineValue;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 0) {
            name = arg.left(eq);
            inlineValue = arg.mid(eq + 1);
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : specs)
            if (name == QLatin1String(s.name))
                spec = &s;
        if (!spec)
            throw UsageError{ResStr(session::rsCliUnknownOption).arg(name)};
        if (!spec->takesValue) {
            if (inlineValue)
                throw UsageError{ResStr(session::rsCliUnknownOption).arg(arg)};
            if (parsed.flags.contains(name))
                throw UsageError{ResStr(session::rsCliTwice).arg(name)};
            parsed.flags.insert(name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size())
                throw UsageError{ResStr(session::rsCliMissingValue).arg(name)};
            inlineValue = args[++i];
        }
        if (parsed.values.contains(name))
            throw UsageError{ResStr(session::rsCliTwice).arg(name)};
        parsed.values.insert(name, *inlineValue);
    }
    return parsed;
}

void RequirePositional(const Arguments& a, qsizetype count, const QString& command) {
    if (a.positional.size() != count)
        throw UsageError{ResStr(session::rsCliWrongArguments).arg(command)};
}

// "12,15,20" as a set of IDs.
QSet<long long> ParseIds(const QString& text, const char* option) {
    QSet<long long> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const long long id = part.trimmed().toLongLong(&ok);
        if (!ok)
            throw UsageError{ResStr(session::rsCliBadValue).arg(QLatin1String(option), part)};
        ids.insert(id);
    }
    if (ids.isEmpty())
        throw UsageError{ResStr(session::rsCliBadValue).arg(QLatin1String(option), text)};
    return ids;
}

// The year filter: a year "2008" or a period "2005-2010" (first year not after the last).
QString ParseYear(const std::optional<QString>& text) {
    if (!text)
        return {};
    const QString year = text->trimmed();
    static const QRegularExpression single(QStringLiteral("^\\d{4}$"));
    static const QRegularExpression period(QStringLiteral("^(\\d{4})-(\\d{4})$"));
    if (single.match(year).hasMatch())
        return year;
    const QRegularExpressionMatch m = period.match(year);
    if (m.hasMatch() && m.captured(1) <= m.captured(2))
        return year;
    throw UsageError{ResStr(session::rsCliBadValue).arg(QStringLiteral("--year"), *text)};
}

// A file the command reads: a message and false when it is not there.
bool FileThere(const QString& path) {
    if (QFileInfo(path).isFile())
        return true;
    core::UserPrompts().Message(ResStr(session::rsCliFileNotFound).arg(path),
                                core::MessageKind::Error);
    return false;
}

// The IDs asked for that no event has, told as one warning.
void TellUnknownEvents(const std::optional<QSet<long long>>& asked, const QSet<long long>& found) {
    if (!asked)
        return;
    QList<long long> missing;
    for (long long id : *asked)
        if (!found.contains(id))
            missing << id;
    if (missing.isEmpty())
        return;
    std::sort(missing.begin(), missing.end());
    QStringList ids;
    for (long long id : missing)
        ids << QString::number(id);
    core::UserPrompts().Message(
        ResStr(session::rsCliUnknownEvents).arg(ids.join(QStringLiteral(", "))),
        core::MessageKind::Warning);
}

void WriteGrid(const core::Grid& grid, QTextStream& out) {
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << core::TsvField(grid.Cell(c, r));
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
    out.flush();
}

// ------------------------------------------------------------------ a run

class Command {
public:
    Command(session::Session& session, ConsolePrompts& prompts, QTextStream& out)
        : m_session(session), m_prompts(prompts), m_out(out) {}

    // A database the command works on: it must exist and no other program may hold it.
    // Messages on the error stream; false when it is not open.
    bool OpenDatabase(const QString& name) {
        return DatabaseAvailable(name) && m_session.Store().OpenDatabase(name);
    }
    // The database exists and no other program holds it; otherwise a message and false.
    bool DatabaseAvailable(const QString& name) {
        if (!core::IsValidDatabaseName(name) ||
            !QFileInfo(core::DatabaseStore::DatabaseFile(name, QStringLiteral("1.dbf"))).isFile()) {
            Tell(ResStr(session::rsCliDatabaseNotFound).arg(name));
            return false;
        }
        if (recording::DatabaseInUse(name)) {
            Tell(session::ResStr(session::rsDatabaseInUse));
            return false;
        }
        return true;
    }

    void LoadLists() { m_session.ReloadReferenceLists(); }

    void Tell(const QString& text) { m_prompts.Message(text, core::MessageKind::Information); }

    int Databases(const Arguments& a);
    int Export(const Arguments& a);
    int Import(const Arguments& a);
    int NatureValue(const Arguments& a);
    int SelectionTable(const Arguments& a, bool speciesList);
    int CheckNames(const Arguments& a);
    int Gis(const Arguments& a);
    int TaxaList(const Arguments& a);

    // kExitOk, unless an error message was shown on the way.
    int Done() const { return m_prompts.Errors() > 0 ? kExitUserError : kExitOk; }

private:
    session::Session& m_session;
    ConsolePrompts& m_prompts;
    QTextStream& m_out;
};

int Command::Databases(const Arguments& a) {
    RequirePositional(a, 0, QStringLiteral("databases"));
    const QStringList names = core::DatabaseStore::ListDatabases();
    m_out << "DATABASE\tLOCATIONS\tSAMPLES\n";
    for (const QString& name : names) {
        QStringList cells{name};
        for (const char* suffix : {"1.dbf", "2.dbf"}) {
            // Read-only: a database the program holds is still counted when the system lets
            // a reader in; otherwise its counts stay empty and the message says why.
            core::Dataset table;
            try {
                table.Open(core::DatabaseStore::DatabaseFile(name, QLatin1String(suffix)), true);
                cells << QString::number(table.RecordCount());
                table.Close();
            } catch (const core::Error& e) {
                cells << QString();
                m_prompts.Message(e.Message(), core::MessageKind::Warning);
            }
        }
        m_out << cells.join(QLatin1Char('\t')) << '\n';
    }
    m_out.flush();
    Tell(ResStr(session::rsCliDatabaseCount).arg(names.size()));
    return Done();
}

int Command::Export(const Arguments& a) {
    RequirePositional(a, 1, QStringLiteral("export"));
    const std::optional<QString> tsv = a.Value("--tsv");
    const std::optional<QString> xlsx = a.Value("--xlsx");
    if (tsv.has_value() == xlsx.has_value())
        throw UsageError{
            ResStr(session::rsCliOneOutput).arg(QStringLiteral("--tsv"), QStringLiteral("--xlsx"))};
    if (!OpenDatabase(a.positional[0]))
        return kExitUserError;
    const bool taxonInfo = a.Flag("--taxon-info");
    if (taxonInfo)
        LoadLists();
    const QString path = tsv ? *tsv : *xlsx;
    const bool written = recording::ExportDatabase(
        m_session.Store(), taxonInfo ? &m_session.Ecology().taxaList : nullptr, path,
        tsv ? recording::ExportFormat::Text : recording::ExportFormat::Spreadsheet);
    return written ? Done() : kExitUserError;
}

int Command::Import(const Arguments& a) {
    RequirePositional(a, 2, QStringLiteral("import"));
    const std::optional<QString> layout = a.Value("--layout");
    if (!layout)
        throw UsageError{ResStr(session::rsCliRequired).arg(QStringLiteral("--layout"))};
    QString system;
    if (const std::optional<QString> coords = a.Value("--coords")) {
        if (*coords == QLatin1String("km"))
            system = recording::kAmersfoort;
        else if (*coords == QLatin1String("latlon"))
            system = recording::kLatLonChoice;
        else
            throw UsageError{
                ResStr(session::rsCliBadValue).arg(QStringLiteral("--coords"), *coords)};
        if (!a.Flag("--replace"))
            throw UsageError{ResStr(session::rsCliOnlyWith)
                                 .arg(QStringLiteral("--coords"), QStringLiteral("--replace"))};
    } else if (a.Flag("--replace")) {
        throw UsageError{ResStr(session::rsCliRequired).arg(QStringLiteral("--coords"))};
    }
    const QString name = a.positional[0];
    // The import opens the tables itself.
    if (!DatabaseAvailable(name))
        return kExitUserError;
    if (!FileThere(a.positional[1]) || !FileThere(*layout))
        return kExitUserError;
    recording::DataImport import;
    if (!import.OpenDataFile(a.positional[1]) || !import.LoadColumnLayout(*layout))
        return kExitUserError;
    import.replace = a.Flag("--replace");
    import.coordinateSystem = system;
    if (import.MakeDatabase(m_session.Store(), name) != 0)
        return kExitUserError;
    Tell(ResStr(session::rsCliImported).arg(name));
    return Done();
}

int Command::NatureValue(const Arguments& a) {
    RequirePositional(a, 1, QStringLiteral("nature-value"));
    ecology::EventNatureValueOptions options;
    if (const std::optional<QString> events = a.Value("--events"))
        options.events = ParseIds(*events, "--events");
    options.year = ParseYear(a.Value("--year"));
    options.alternativeMethod = a.Flag("--alternative");
    options.ignoreUncertain = a.Flag("--ignore-doubtful");
    if (!OpenDatabase(a.positional[0]))
        return kExitUserError;
    LoadLists();
    core::DatabaseStore& store = m_session.Store();
    const ecology::EventNatureValues values = ecology::ComputeEventNatureValues(
        store.Locations(), store.Samples(), m_session.Ecology().tally, options);

    // Fixed column names, whatever the interface language: scripts read them.
    const QStringList header = {QStringLiteral("ID"),
                                QStringLiteral("LOCATION"),
                                QStringLiteral("DATE"),
                                QStringLiteral("ACIDITY"),
                                QStringLiteral("SAMPLES"),
                                QStringLiteral("d"),
                                QStringLiteral("r"),
                                QStringLiteral("s"),
                                QStringLiteral("D"),
                                QStringLiteral("R"),
                                QStringLiteral("S"),
                                QStringLiteral("RL"),
                                QStringLiteral("NW"),
                                QStringLiteral("ACID"),
                                QStringLiteral("WEAKLY_ACID"),
                                QStringLiteral("NEUTRAL"),
                                QStringLiteral("NEUTRAL_ALKALINE"),
                                QStringLiteral("ALKALINE"),
                                QStringLiteral("ACIDITY_INDIFFERENT"),
                                QStringLiteral("OLIGOTROPHIC"),
                                QStringLiteral("OLIGO_MESOTROPHIC"),
                                QStringLiteral("MESOTROPHIC"),
                                QStringLiteral("MESO_EUTROPHIC"),
                                QStringLiteral("EUTROPHIC"),
                                QStringLiteral("TROPHY_INDIFFERENT")};
    static_assert(ecology::SpectrumClassCount == 12);
    auto line = [](QStringList cells, int samples, const ecology::NatureValueResult& r) {
        cells << QString::number(samples) << r.dn << r.rn << r.sn << r.dValue << r.rValue
              << r.sValue << r.rl << r.nw;
        for (const QString& percent : r.percent)
            cells << percent;
        for (QString& cell : cells)
            cell = core::TsvField(cell);
        return cells.join(QLatin1Char('\t'));
    };
    m_out << header.join(QLatin1Char('\t')) << '\n';
    for (const ecology::EventNatureValue& e : values.events)
        m_out << line({QString::number(e.id), e.location, e.date, e.zuurgraad}, e.samples, e.result)
              << '\n';
    m_out << line({QStringLiteral("ALL"), QString(), QString(), QString()}, values.combinedSamples,
                  values.combined)
          << '\n';
    m_out.flush();
    QSet<long long> found;
    for (const ecology::EventNatureValue& e : values.events)
        found.insert(e.id);
    TellUnknownEvents(options.events, found);
    if (values.events.empty()) {
        Tell(ResStr(session::rsCliNothingSelected));
        return kExitUserError;
    }
    return Done();
}

int Command::SelectionTable(const Arguments& a, bool speciesList) {
    const QString command =
        speciesList ? QStringLiteral("species-list") : QStringLiteral("nature-table");
    RequirePositional(a, 1, command);
    ecology::TableFilter filter;
    filter.year = ParseYear(a.Value("--year"));
    filter.owner = a.Value("--owner").value_or(QString());
    filter.location = a.Value("--location").value_or(QString());
    filter.analyst = a.Value("--analyst").value_or(QString());
    filter.taxon = a.Value("--taxon").value_or(QString());
    filter.caseSensitive = a.Flag("--case-sensitive");
    filter.Trim();
    std::optional<QSet<long long>> events;
    if (const std::optional<QString> list = a.Value("--events"))
        events = ParseIds(*list, "--events");
    ecology::SelectionOptions options;
    options.ignoreVarieties = a.Flag("--ignore-varieties");
    options.ignoreNotInList = a.Flag("--ignore-not-in-list");
    options.ignoreUncertain = a.Flag("--ignore-uncertain");
    options.ignoreDead = a.Flag("--ignore-dead");
    options.currentNames = a.Flag("--current-names");
    options.authors = a.Flag("--authors");
    options.mergeAbundances = a.Flag("--merge-abundances");
    const std::optional<QString> outPath = a.Value("--out");

    if (!OpenDatabase(a.positional[0]))
        return kExitUserError;
    LoadLists();
    core::DatabaseStore& store = m_session.Store();
    core::Grid table = ecology::FillLocationTable(store.Locations(), store.Samples(), filter);
    for (int row = 1; row < table.RowCount(); ++row) {
        const QString id = table.Cell(ecology::LcId, row);
        ecology::SetRowSelected(table, row, !events || events->contains(id.toLongLong()));
    }
    QSet<long long> found;
    for (int row = 1; row < table.RowCount(); ++row) {
        QString id = table.Cell(ecology::LcId, row);
        if (ecology::IsSelectedRow(table, row))
            id.remove(0, 1); // the selection mark
        found.insert(id.toLongLong());
    }
    TellUnknownEvents(events, found);
    if (!ecology::HasSelectedRow(table)) {
        Tell(ResStr(session::rsCliNothingSelected));
        return kExitUserError;
    }
    if (a.Flag("--merge-by-name")) {
        // One location number per location name, in the order of the table.
        QHash<QString, int> numberOf;
        for (int row = 1; row < table.RowCount(); ++row) {
            if (!ecology::IsSelectedRow(table, row))
                continue;
            const QString name = table.Cell(ecology::LcLocatie, row);
            const auto it = numberOf.constFind(name);
            const int number = it != numberOf.constEnd()
                                   ? *it
                                   : numberOf.insert(name, numberOf.size() + 1).value();
            table.SetCell(ecology::LcMerge, row, QString::number(number));
        }
    }

    ecology::EcologyData& eco = m_session.Ecology();
    const ecology::SelectionSource source{
        store.Locations(), store.Samples(), eco.taxaList, eco.searchList, {}};
    core::Grid result;
    ecology::LocationLists lists;
    if (speciesList) {
        ecology::SpeciesListResult r = ecology::BuildSpeciesList(source, table, options, eco.tally);
        result = std::move(r.table);
        lists = std::move(r.lists);
    } else {
        eco.tally.SetAlternativeMethod(a.Flag("--alternative"));
        ecology::NatureValueTableResult r =
            ecology::BuildNatureValueTable(source, table, options, eco.tally);
        result = std::move(r.table);
        lists = std::move(r.lists);
    }
    if (!outPath) {
        WriteGrid(result, m_out);
        return Done();
    }
    const QString suffix = QFileInfo(*outPath).suffix().toLower();
    const bool spreadsheet = suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls");
    const ecology::TableView view =
        speciesList ? ecology::TableView::SpeciesList : ecology::TableView::NatureValueTable;
    if (!ecology::SaveSelectionTable(result, &lists.list, *outPath,
                                     spreadsheet ? ecology::TableFileFormat::Spreadsheet
                                                 : ecology::TableFileFormat::Text,
                                     ecology::DefaultTableFileName(filter, view)))
        return kExitUserError;
    Tell(ResStr(session::rsCliRowsWritten).arg(result.RowCount()).arg(*outPath));
    return Done();
}

int Command::CheckNames(const Arguments& a) {
    RequirePositional(a, 1, QStringLiteral("check-names"));
    if (!OpenDatabase(a.positional[0]))
        return kExitUserError;
    LoadLists();
    core::Dataset& samples = m_session.Store().Samples();
    if (a.Flag("--normalise")) {
        const int changed = recording::NormaliseAllNames(samples);
        if (changed > 0)
            m_session.Store().MarkSamplesChanged();
        Tell(ResStr(session::rsCliNamesNormalised).arg(changed));
    }
    const ecology::SearchList& searchList = m_session.Ecology().searchList;
    const std::vector<recording::DoubtfulEntry> doubtful =
        recording::FindDoubtfulNames(samples, searchList);
    // One line per name, in the order found, with its number of samples.
    std::map<QString, int> countOf;
    QStringList order;
    for (const recording::DoubtfulEntry& entry : doubtful) {
        if (countOf[entry.name]++ == 0)
            order << entry.name;
    }
    const QStringList known = searchList.Names();
    m_out << "NAME\tSAMPLES\tSUGGESTIONS\n";
    for (const QString& name : order) {
        // The suggestion lines start after the name's own line and an empty one.
        const QStringList lines = recording::Suggestions(name, known);
        m_out << core::TsvField(name) << '\t' << countOf[name] << '\t'
              << core::TsvField(lines.mid(2).join(QStringLiteral("; "))) << '\n';
    }
    m_out.flush();
    return Done();
}

int Command::Gis(const Arguments& a) {
    RequirePositional(a, 1, QStringLiteral("gis"));
    const std::optional<QString> out = a.Value("--out");
    if (!out)
        throw UsageError{ResStr(session::rsCliRequired).arg(QStringLiteral("--out"))};
    if (!OpenDatabase(a.positional[0]))
        return kExitUserError;
    const int written = recording::ExportGis(m_session.Store(), *out);
    Tell(ResStr(session::rsCliSamplesWritten).arg(written).arg(*out));
    return Done();
}

int Command::TaxaList(const Arguments& a) {
    if (a.positional.size() != 2 || a.positional[0] != QLatin1String("import"))
        throw UsageError{ResStr(session::rsCliWrongArguments).arg(QStringLiteral("taxalist"))};
    const std::optional<QString> region = a.Value("--region");
    if (!region)
        throw UsageError{ResStr(session::rsCliRequired).arg(QStringLiteral("--region"))};
    int number = 0;
    if (region->compare(QLatin1String("NL"), Qt::CaseInsensitive) == 0)
        number = 0;
    else if (region->compare(QLatin1String("EU"), Qt::CaseInsensitive) == 0)
        number = 1;
    else
        throw UsageError{ResStr(session::rsCliBadValue).arg(QStringLiteral("--region"), *region)};
    if (!FileThere(a.positional[1]))
        return kExitUserError;
    const recording::TaxaListInstalled installed =
        m_session.ImportTaxaList(a.positional[1], number);
    Tell(ResStr(session::rsCliTaxaListImported)
             .arg(installed.records)
             .arg(ecology::TaxaListPath(number), installed.backupPath));
    return Done();
}

// ------------------------------------------------------------------ the commands

struct CommandSpec {
    const char* name;
    session::Message help;
    std::vector<OptionSpec> options;
    std::function<int(Command&, const Arguments&)> run;
};

const std::vector<OptionSpec>& SelectionOptions() {
    static const std::vector<OptionSpec> options = {{"--year", true},
                                                    {"--owner", true},
                                                    {"--location", true},
                                                    {"--analyst", true},
                                                    {"--taxon", true},
                                                    {"--case-sensitive", false},
                                                    {"--events", true},
                                                    {"--merge-by-name", false},
                                                    {"--ignore-varieties", false},
                                                    {"--ignore-not-in-list", false},
                                                    {"--ignore-uncertain", false},
                                                    {"--ignore-dead", false},
                                                    {"--current-names", false},
                                                    {"--out", true}};
    return options;
}

std::vector<OptionSpec> With(std::vector<OptionSpec> options, std::vector<OptionSpec> more) {
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands = {
        {"databases", session::rsCliHelpDatabases, {}, &Command::Databases},
        {"export",
         session::rsCliHelpExport,
         {{"--tsv", true}, {"--xlsx", true}, {"--taxon-info", false}},
         &Command::Export},
        {"import",
         session::rsCliHelpImport,
         {{"--layout", true}, {"--replace", false}, {"--coords", true}},
         &Command::Import},
        {"nature-value",
         session::rsCliHelpNatureValue,
         {{"--events", true},
          {"--year", true},
          {"--alternative", false},
          {"--ignore-doubtful", false}},
         &Command::NatureValue},
        {"species-list", session::rsCliHelpSpeciesList,
         With(SelectionOptions(), {{"--authors", false}, {"--merge-abundances", false}}),
         [](Command& c, const Arguments& a) { return c.SelectionTable(a, true); }},
        {"nature-table", session::rsCliHelpNatureTable,
         With(SelectionOptions(), {{"--alternative", false}}),
         [](Command& c, const Arguments& a) { return c.SelectionTable(a, false); }},
        {"check-names",
         session::rsCliHelpCheckNames,
         {{"--normalise", false}},
         &Command::CheckNames},
        {"gis", session::rsCliHelpGis, {{"--out", true}}, &Command::Gis},
        {"taxalist", session::rsCliHelpTaxaList, {{"--region", true}}, &Command::TaxaList},
    };
    return commands;
}

// Makes the prompts of the run the console's, and puts back the previous ones at the end.
class PromptsInstalled {
public:
    explicit PromptsInstalled(core::Prompts& prompts) { core::SetUserPrompts(&prompts); }
    ~PromptsInstalled() { core::SetUserPrompts(nullptr); }
    PromptsInstalled(const PromptsInstalled&) = delete;
    PromptsInstalled& operator=(const PromptsInstalled&) = delete;
};

} // namespace

int Run(const QStringList& args, QTextStream& out, QTextStream& err) {
    ConsolePrompts prompts(err);
    PromptsInstalled installed(prompts);

    QStringList rest = args;
    if (!rest.isEmpty() && rest.first().startsWith(QLatin1String("--program-folder"))) {
        QString folder;
        if (rest.first().startsWith(QLatin1String("--program-folder="))) {
            folder = rest.takeFirst().mid(17);
        } else if (rest.size() >= 2) {
            rest.takeFirst();
            folder = rest.takeFirst();
        } else {
            err << ResStr(session::rsCliMissingValue).arg(QStringLiteral("--program-folder"))
                << '\n';
            return kExitUsage;
        }
        if (!QFileInfo(folder).isDir()) {
            core::LoadSettings();
            support::LoadCommandLineLanguage();
            err << ResStr(session::rsCliNoFolder).arg(folder) << '\n';
            return kExitUserError;
        }
        core::SetProgramDir(folder);
    }
    core::LoadSettings();
    support::LoadCommandLineLanguage();

    if (rest.isEmpty() || rest.first() == QLatin1String("--help") ||
        rest.first() == QLatin1String("-h")) {
        (rest.isEmpty() ? err : out)
            << ResStr(session::rsCliUsage).arg(QStringLiteral("velmora-cli")) << '\n';
        return rest.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString name = rest.takeFirst();
    const CommandSpec* spec = nullptr;
    for (const CommandSpec& c : Commands())
        if (name == QLatin1String(c.name))
            spec = &c;
    if (!spec) {
        err << ResStr(session::rsCliUnknownCommand).arg(name) << '\n'
            << ResStr(session::rsCliUsage).arg(QStringLiteral("velmora-cli")) << '\n';
        return kExitUsage;
    }

    session::Session session;
    session.Store().saveProgramSettings = false;
    Command command(session, prompts, out);
    int code = kExitOk;
    try {
        const Arguments arguments = Parse(rest, spec->options);
        if (arguments.help) {
            out << ResStr(spec->help) << '\n';
            return kExitOk;
        }
        code = spec->run(command, arguments);
    } catch (const UsageError& e) {
        err << e.text << '\n' << ResStr(session::rsCliSeeHelp).arg(name) << '\n';
        return kExitUsage;
    } catch (...) {
        prompts.Message(core::CurrentFailureText(), core::MessageKind::Error);
        code = kExitUserError;
    }
    // The tables closed whole: a failure there is reported, and the run fails with it.
    if (session.Store().IsOpen()) {
        const int before = prompts.Errors();
        session.Store().CloseDatabase();
        if (prompts.Errors() > before)
            code = kExitUserError;
    }
    err.flush();
    out.flush();
    return code;
}

} // namespace velmora::cli
