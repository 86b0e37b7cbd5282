#include "core/databasestore.h"

#include "core/coordinates.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace velmora::core {

using dbf::IntegerField;
using dbf::TextField;

const dbf::FieldDefs& LocationFields() {
    static const dbf::FieldDefs fields = {
        IntegerField("ID"),           TextField("LOCATIE", 100), TextField("DAG", 2),
        TextField("MAAND", 2),        TextField("JAAR", 4),      TextField("ZUURGRAAD", 50),
        TextField("OPMLOCATIE", 100), TextField("COORDX", 12),   TextField("COORDY", 12),
        TextField("MONSTERSRT", 50),  TextField("ANALIST", 25),  TextField("OWNER", 25),
        TextField("LOCCODE", 20),     TextField("PH", 20),       TextField("GELEIDING", 20),
        TextField("WATERTEMP", 20),   TextField("WTYPE", 25),    TextField("HERBARIUM", 25),
        TextField("AMAAT", 25),
    };
    return fields;
}

const dbf::FieldDefs& SampleFields() {
    static const dbf::FieldDefs fields = {
        IntegerField("ID"),    TextField("DATUM", 10),      TextField("KXY", 7),
        TextField("UXY", 7),   TextField("DESMID", 80),     TextField("ABUND", 6),
        TextField("DL", 6),    TextField("ZYGO", 6),        TextField("FOTO", 6),
        TextField("ZEKER", 6), TextField("OPMDESMID", 100), TextField("DESMIDINFO", 100),
    };
    return fields;
}

QString LocationOrderTag(int order) {
    switch (order) {
    case 1:
        return QStringLiteral("Datum");
    case 2:
        return QStringLiteral("DatumDesc");
    default:
        return QStringLiteral("Locatie");
    }
}

bool IsValidDatabaseName(const QString& name) {
    return IsPlainFileName(name);
}

namespace {
QString DataFile(const QString& name, const char* suffix) {
    return DataDir() + name + QLatin1String(suffix);
}

void RequireValidName(const QString& name) {
    if (!IsValidDatabaseName(name))
        throw Error(ResStr(rsInvalidDbName).arg(name));
}

constexpr char kReplacingPrefix[] = ".replacing-";
constexpr char kReplacedPrefix[] = ".replaced-";

// Flushes a folder's entries (renames into and out of it) to disk.
void SyncFolder(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

void RemoveIfExists(const QString& path) {
    if (QFileInfo(path).isFile() && !QFile::remove(path))
        throw Error(QStringLiteral("cannot be removed"), path);
}

struct TagDef {
    const char* name;
    const char* expression;
    bool descending;
};
constexpr TagDef kLocationTags[] = {
    {"ID", "ID", false},
    {"Locatie", "SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG", false},
    {"Datum", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", false},
    {"DatumDesc", "JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)", true},
};
constexpr TagDef kSampleTags[] = {
    {"DESMID", "DESMID", false},
    {"ID", "ID", false},
    {"KXY", "KXY", false},
    {"UXY", "UXY", false},
};

template <std::size_t N> void AddTags(Dataset& table, const TagDef (&tags)[N]) {
    for (const TagDef& t : tags)
        table.AddIndex(QString::fromLatin1(t.name), QString::fromLatin1(t.expression),
                       IndexOptions{true, t.descending});
}
} // namespace

DatabaseStore::DatabaseStore() = default;

DatabaseStore::~DatabaseStore() = default;

void DatabaseStore::AddListener(DatabaseListener* listener) {
    m_listeners.push_back(listener);
}

void DatabaseStore::RemoveListener(DatabaseListener* listener) {
    std::erase(m_listeners, listener);
}

void DatabaseStore::Label(const QString& text) {
    Each([&](DatabaseListener& l) {
        l.DatabaseStatusChanged(text);
        l.ProcessEvents();
    });
}

void DatabaseStore::MarkLocationsChanged() {
    locationsChanged = true;
    m_locationsPending = true;
    if (!InBulkChange())
        TellPendingChanges();
}

void DatabaseStore::MarkMapForReload() {
    Each([](DatabaseListener& l) { l.MapMustReload(); });
}

void DatabaseStore::MarkSamplesChanged() {
    samplesChanged = true;
    m_totalsStale = true; // new samples may lie in squares not counted yet
    m_samplesPending = true;
    if (!InBulkChange())
        TellPendingChanges();
}

void DatabaseStore::TellPendingChanges() noexcept {
    const bool locations = std::exchange(m_locationsPending, false);
    const bool samples = std::exchange(m_samplesPending, false);
    try {
        if (locations)
            Each([](DatabaseListener& l) { l.LocationsChanged(); });
        if (samples)
            Each([](DatabaseListener& l) { l.SamplesChanged(); });
    } catch (...) {
        // The records are stored; a listener that fails to follow them catches up at the
        // next change.
    }
}

QString DatabaseStore::Name() const {
    return CurrentSettings().defaultDatabase;
}

QStringList DatabaseStore::ListDatabases() {
    RecoverInterruptedReplacements(); // a database whose files wait aside is listed again
    const QDir dir(DataDir());
    const QStringList files = dir.entryList(QDir::Files);
    QSet<QString> lowerFiles;
    for (const QString& f : files)
        lowerFiles.insert(f.toLower());
    QStringList names;
    for (const QString& f : files) {
        if (!f.endsWith(QLatin1String("1.dbf")))
            continue;
        const QString name = f.left(f.size() - 5);
        if (!name.isEmpty() && lowerFiles.contains((name + QStringLiteral("2.dbf")).toLower()))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void DatabaseStore::CreateDatabase(const QString& name) {
    RequireValidName(name);
    CloseDatabase();
    for (const char* suffix : {"1.dbf", "1.mdx", "2.dbf", "2.mdx"})
        RemoveIfExists(DataFile(name, suffix));
    Dataset::CreateTable(DataFile(name, "2.dbf"), SampleFields());
    Dataset::CreateTable(DataFile(name, "1.dbf"), LocationFields());
}

QString DatabaseStore::DatabaseFile(const QString& name, const QString& suffix) {
    const QString path = DataDir() + name + suffix;
    if (QFileInfo::exists(path))
        return path;
    return QString::fromStdString(dbf::DefaultFileSystem().ResolveCase(path.toStdString()));
}

void DatabaseStore::DeleteDatabase(const QString& name) {
    RequireValidName(name);
    QStringList files;
    for (const char* suffix : {".ini", "1.mdx", "2.mdx", "1.dbf", "2.dbf"}) {
        const QString path = DatabaseFile(name, QString::fromLatin1(suffix));
        if (QFileInfo(path).isFile())
            files << path;
    }
    if (files.isEmpty())
        return;
    // The files leave the catalogue together; only then is the hidden folder removed. A file
    // that resists that is out of the catalogue's sight already.
    QDir(MoveIntoHiddenFolder(files, QStringLiteral(".deleting-"))).removeRecursively();
}

QString DatabaseStore::MoveIntoHiddenFolder(const QStringList& files, const QString& prefix) {
    QByteArray holder = QFile::encodeName(DataDir() + prefix + QStringLiteral("XXXXXX"));
    if (!::mkdtemp(holder.data()))
        throw Error(SystemErrorText(errno), DataDir());
    std::vector<std::pair<QByteArray, QByteArray>> moved;
    for (const QString& path : files) {
        const QByteArray from = QFile::encodeName(path);
        const QByteArray to = holder + '/' + QFile::encodeName(QFileInfo(path).fileName());
        if (::rename(from.constData(), to.constData()) != 0) {
            const int error = errno;
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                (void)::rename(it->second.constData(), it->first.constData());
            (void)::rmdir(holder.constData());
            throw Error(SystemErrorText(error), path);
        }
        moved.emplace_back(from, to);
    }
    return QFile::decodeName(holder);
}

void DatabaseStore::ReplaceTables(const QString& name, const QString& folder) {
    RequireValidName(name);
    static const char* const kSuffixes[] = {"1.dbf", "2.dbf", "1.mdx", "2.mdx"};
    // The new files, each with the name its old one has (the case of a database copied from
    // Windows is kept).
    std::vector<std::pair<QString, QString>> incoming; // from, to
    QStringList old;
    for (const char* suffix : kSuffixes) {
        const QString target = DatabaseFile(name, QString::fromLatin1(suffix));
        const QString from = folder + QLatin1Char('/') + QFileInfo(target).fileName();
        if (QFileInfo(target).isFile())
            old << target;
        if (QFileInfo(from).isFile())
            incoming.emplace_back(from, target);
    }
    // First the old files go aside together, then the new ones come in; when one cannot, the
    // new ones that came in go back and the old ones return. A program stopped half-way (a
    // kill, a power cut) leaves the folder of old files under its ".replacing-" name, and the
    // next open of a database puts them back (RecoverInterruptedReplacements); once every new
    // file is in place the folder is renamed ".replaced-", which marks the replacement as
    // done, and removed.
    const QString aside = MoveIntoHiddenFolder(old, QString::fromLatin1(kReplacingPrefix));
    std::vector<std::pair<QByteArray, QByteArray>> moved;
    for (const auto& [fromPath, toPath] : incoming) {
        const QByteArray from = QFile::encodeName(fromPath);
        const QByteArray to = QFile::encodeName(toPath);
        if (::rename(from.constData(), to.constData()) != 0) {
            const int error = errno;
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                (void)::rename(it->second.constData(), it->first.constData());
            for (const QString& path : old) {
                const QByteArray back = QFile::encodeName(path);
                const QByteArray held =
                    QFile::encodeName(aside + QLatin1Char('/') + QFileInfo(path).fileName());
                (void)::rename(held.constData(), back.constData());
            }
            (void)::rmdir(QFile::encodeName(aside).constData());
            throw Error(SystemErrorText(error), toPath);
        }
        moved.emplace_back(from, to);
    }
    SyncFolder(DataDir());
    QString done = aside;
    done.replace(QString::fromLatin1(kReplacingPrefix), QString::fromLatin1(kReplacedPrefix));
    if (::rename(QFile::encodeName(aside).constData(), QFile::encodeName(done).constData()) != 0)
        done = aside; // the new files are in place; the folder only waits to be removed
    QDir(done).removeRecursively();
}

void DatabaseStore::RecoverInterruptedReplacements() {
    const QDir data(DataDir());
    const QFileInfoList folders =
        data.entryInfoList({QStringLiteral(".replacing-*"), QStringLiteral(".replaced-*")},
                           QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : folders) {
        if (folder.fileName().startsWith(QLatin1String(kReplacingPrefix))) {
            // Not all new files came in: the old ones go back over whatever did.
            for (const QFileInfo& file :
                 QDir(folder.filePath()).entryInfoList(QDir::Files | QDir::Hidden)) {
                const QByteArray from = QFile::encodeName(file.filePath());
                const QByteArray to = QFile::encodeName(data.filePath(file.fileName()));
                if (::rename(from.constData(), to.constData()) != 0)
                    return; // tried again at the next open; nothing is removed meanwhile
            }
        }
        QDir(folder.filePath()).removeRecursively();
    }
}

bool DatabaseStore::UpgradeSamplesTable(const QString& name) {
    RequireValidName(name);
    Dataset table;
    table.Open(DatabaseFile(name, QStringLiteral("2.dbf")));
    const bool older = !table.HasField(QStringLiteral("DESMIDINFO"));
    if (older) {
        dbf::FieldDefs fields;
        for (const DatasetFieldDef& def : table.FieldDefs()) {
            dbf::FieldDef f;
            f.name = def.name.toStdString();
            f.type = def.type;
            f.length = def.size;
            f.decimals = def.decimals;
            f.required = def.required;
            fields.push_back(f);
        }
        fields.push_back(TextField("DESMIDINFO", 100, false));
        table.Restructure(fields);
    }
    table.Close();
    return older;
}

void DatabaseStore::ReadDatabaseSettings() {
    const QString name = Name();
    // A name from a settings file is only used as a path once it is a valid database name.
    const IniFile ini = !IsValidDatabaseName(name)
                            ? IniFile()
                            : IniFile::Load(DatabaseFile(name, QStringLiteral(".ini")));
    m_coordinateSystem = ini.Value(QStringLiteral("Coordinates"), QStringLiteral("System"));
    m_mapName = ini.Value(QStringLiteral("Distribution Map"), QStringLiteral("MapName"));
    m_squaresTable = ini.Value(QStringLiteral("Squares"), QStringLiteral("Coordinates"));
    if (!m_squaresTable.isEmpty() && !IsPlainFileName(m_squaresTable)) {
        // A table name that would reach outside the Lib folder is not used.
        UserPrompts().Message(
            ResStr(rsInvalidSetting)
                .arg(QStringLiteral("[Squares] Coordinates"), name + ".ini", m_squaresTable),
            MessageKind::Warning);
        m_squaresTable.clear();
    }
    CurrentSettings().number = m_coordinateSystem == kLatLon ? 1 : 0;
    Each([&](DatabaseListener& l) { l.DatabaseSettingsRead(ini); });
}

void DatabaseStore::WriteDatabaseSettings() {
    const QString name = Name();
    if (name.isEmpty() || !IsValidDatabaseName(name))
        return;
    const QString path = DatabaseFile(name, QStringLiteral(".ini"));
    // Sections this program does not know are kept.
    IniFile ini = IniFile::Load(path);
    ini.SetValue(QStringLiteral("Coordinates"), QStringLiteral("System"),
                 m_coordinateSystem == kLatLon ? kLatLon : kKmBased);
    ini.SetValue(QStringLiteral("Distribution Map"), QStringLiteral("MapName"), m_mapName);
    ini.SetValue(QStringLiteral("Squares"), QStringLiteral("Coordinates"), m_squaresTable);
    Each([&](DatabaseListener& l) { l.DatabaseSettingsWriting(ini); });
    ini.Save(path);
}

bool DatabaseStore::OpenTable(Dataset& table, const QString& path, const QString& missingSuffix) {
    if (!QFileInfo(path).isFile()) {
        UserPrompts().Message(ResStr(rsDbFileError) + DataDir() + Name() + missingSuffix +
                                  ResStr(rsDbFileNotFound),
                              MessageKind::Error);
        return false;
    }
    table.Open(path);
    return true;
}

bool DatabaseStore::OpenDatabase(const QString& name) {
    Settings& settings = CurrentSettings();
    settings.defaultDatabase = name;
    locationsChanged = true;
    samplesChanged = true;
    m_totalsStale = true;
    Each([](DatabaseListener& l) { l.MapMustReload(); });

    m_locations.Close();
    m_samples.Close();
    m_squareCoordinates.Close();
    Each([](DatabaseListener& l) { l.TablesClosed(); });
    RecoverInterruptedReplacements();
    Label(name.isEmpty() ? ResStr(rsDbLabelNone) : ResStr(rsDbOpening));
    if (name.isEmpty()) {
        ReadDatabaseSettings();
        return false;
    }

    // Whatever goes wrong, the window is left with no database rather than with part of one.
    auto noDatabase = [&] {
        m_locations.Close();
        m_samples.Close();
        m_squareCoordinates.Close();
        maxLocationID = QStringLiteral("-1");
        settings.defaultDatabase.clear();
        Each([](DatabaseListener& l) { l.DatabaseOpenFailed(); });
        Label(ResStr(rsDbLabelFailed));
        return false;
    };
    if (!IsValidDatabaseName(name)) {
        UserPrompts().Message(ResStr(rsInvalidDbName).arg(name), MessageKind::Error);
        UserPrompts().Message(ResStr(rsDefaultDbNotFound) + QLatin1Char('\n') +
                                  ResStr(rsSelectOrCreate),
                              MessageKind::Error);
        return noDatabase();
    }
    QString failure;
    try {
        ReadDatabaseSettings();
        if (!OpenTables(name)) {
            UserPrompts().Message(ResStr(rsDefaultDbNotFound) + QLatin1Char('\n') +
                                      ResStr(rsSelectOrCreate),
                                  MessageKind::Error);
            return noDatabase();
        }
        Label(ResStr(rsDbLabel) + name);
        const QString orderTag = LocationOrderTag(settings.order);
        m_locations.First();
        if (m_locations.IsEmpty()) {
            maxLocationID = QStringLiteral("-1");
            Each([](DatabaseListener& l) { l.DatabaseOpened(false); });
            m_locations.SetIndexName(orderTag);
            return true;
        }
        m_locations.SetIndexName(QStringLiteral("ID"));
        m_locations.Last();
        maxLocationID = m_locations.FieldByName(QStringLiteral("ID")).AsString();
        m_locations.SetIndexName(orderTag);
        m_locations.First();
        m_samples.First();
        Each([](DatabaseListener& l) { l.DatabaseOpened(true); });
    } catch (...) {
        failure = CurrentFailureText();
    }
    if (!failure.isEmpty()) {
        UserPrompts().Message(ResStr(rsDbNotOpened).arg(name) + QLatin1Char('\n') + failure,
                              MessageKind::Error);
        return noDatabase();
    }
    if (!m_squaresTable.isEmpty()) {
        try {
            m_squareCoordinates.Open(LibDir() + m_squaresTable + QStringLiteral(".dbf"));
        } catch (const Error& e) {
            UserPrompts().Message(e.Message(), MessageKind::Error);
        }
    }
    return true;
}

bool DatabaseStore::OpenTables(const QString& name) {
    const QString locationsPath = DatabaseFile(name, QStringLiteral("1.dbf"));
    const QString samplesPath = DatabaseFile(name, QStringLiteral("2.dbf"));
    bool ok = OpenTable(m_locations, locationsPath, QStringLiteral("1.dbf)"));
    ok = OpenTable(m_samples, samplesPath, QStringLiteral("2.dbf)")) && ok;
    if (!ok) {
        m_locations.Close();
        m_samples.Close();
        return false;
    }
    // A samples table of an earlier version lacks DESMIDINFO: it gets the field once.
    if (!m_samples.HasField(QStringLiteral("DESMIDINFO"))) {
        ReportRepairs(m_samples, false); // its index is reported after the reopen
        m_samples.Close();
        UpgradeSamplesTable(name);
        UserPrompts().Message(ResStr(rsSamplesUpgraded).arg(name));
        m_samples.Open(samplesPath);
    }
    ReportRepairs(m_locations);
    ReportRepairs(m_samples);

    // The tags of the index files were built from the records as the tables opened (the
    // files are rewritten at the close when they may be stale). Tags missing from an index
    // file (or the whole file, or a damaged one) are made anew.
    auto addMissing = [](Dataset& table, const auto& tags) {
        const QStringList present = table.IndexNames();
        for (const TagDef& t : tags)
            if (!present.contains(QString::fromLatin1(t.name), Qt::CaseInsensitive))
                table.AddIndex(QString::fromLatin1(t.name), QString::fromLatin1(t.expression),
                               IndexOptions{true, t.descending});
    };
    addMissing(m_locations, kLocationTags);
    addMissing(m_samples, kSampleTags);
    m_samples.SetIndexName(QStringLiteral("DESMID"));
    return true;
}

void DatabaseStore::ReportRepairs(Dataset& table, bool index) {
    dbf::DbfTable& t = table.Table();
    if (t.RecoveredCount() > 0)
        UserPrompts().Message(
            ResStr(rsRecordsRecovered).arg(t.RecoveredCount()).arg(table.FileName()),
            MessageKind::Warning);
    if (index && !t.IndexDamage().empty())
        UserPrompts().Message(ResStr(rsIndexRebuilt).arg(QString::fromStdString(t.IndexPath())) +
                                  QLatin1Char('\n') + QString::fromStdString(t.IndexDamage()),
                              MessageKind::Warning);
}

void DatabaseStore::PackAndClose(Dataset& table) {
    if (!table.Active())
        return;
    // A table without deleted records is already what a pack would write: only a table that
    // holds some is packed. Whatever fails, the table is closed whole and the user is told;
    // the next open finds every record.
    QString failure;
    try {
        if (table.State() != DatasetState::Browse)
            table.Cancel();
        if (table.Table().DeletedCount() > 0) {
            table.SetIndexName({});
            table.Pack();
        }
    } catch (...) {
        failure = CurrentFailureText();
    }
    try {
        table.Close();
    } catch (...) {
        if (failure.isEmpty())
            failure = CurrentFailureText();
    }
    if (!failure.isEmpty())
        UserPrompts().Message(ResStr(rsNotSavedOnClose) + QLatin1Char('\n') + failure,
                              MessageKind::Error);
}

void DatabaseStore::CloseDatabase() {
    if (saveProgramSettings) {
        try {
            SaveSettings();
        } catch (const Error& e) {
            UserPrompts().Message(e.Message(), MessageKind::Error);
        }
    }
    if (IsOpen()) {
        try {
            WriteDatabaseSettings();
        } catch (const Error& e) {
            UserPrompts().Message(e.Message(), MessageKind::Error);
        }
    }
    Each([](DatabaseListener& l) { l.DatabaseClosing(); });
    m_squareCoordinates.Close();
    Label(ResStr(rsDbLabel));
    PackAndClose(m_locations);
    PackAndClose(m_samples);
    Each([](DatabaseListener& l) { l.TablesClosed(); });
}

std::pair<int, int> DatabaseStore::SquareTotals() {
    if (!periodFilterOn && !locationsChanged && !m_totalsStale)
        return m_cachedTotals;
    const bool latLon = m_coordinateSystem == kLatLon;
    m_samples.SetIndexName(latLon ? QStringLiteral("ID") : QStringLiteral("UXY"));
    const int begin = CurrentSettings().beginJaar.toInt();
    const int end = CurrentSettings().eindJaar.toInt();
    // Every record is visited once; the order does not change the counts, so the walk reads
    // the table's records directly (physical order), which keeps a million samples fast.
    dbf::DbfTable& table = m_samples.Table();
    const int fDatum = table.FieldIndex("DATUM");
    const int fId = table.FieldIndex("ID");
    const int fKxy = table.FieldIndex("KXY");
    const int fUxy = table.FieldIndex("UXY");
    if (fDatum < 0 || fId < 0 || fKxy < 0 || fUxy < 0)
        throw Error(QStringLiteral("the samples table lacks DATUM, ID, KXY or UXY"),
                    m_samples.FileName());
    std::unordered_set<std::string> blocks;
    std::unordered_set<std::string> squares;
    std::vector<std::uint32_t> corrupt;
    const dbf::FieldDef& datumDef = table.Fields()[static_cast<std::size_t>(fDatum)];
    const dbf::FieldDef& kxyDef = table.Fields()[static_cast<std::size_t>(fKxy)];
    const dbf::FieldDef& uxyDef = table.Fields()[static_cast<std::size_t>(fUxy)];
    if (!latLon && datumDef.type == dbf::FieldType::Character && datumDef.length >= 4 &&
        kxyDef.length <= 8 && uxyDef.length <= 8) {
        // The common case, read from the record bytes: a km-square and an atlas block code
        // each fit in one number, and the year is four characters. Nothing is allocated per
        // record.
        auto pack = [](const char* p, int length) {
            std::uint64_t v = 0;
            for (int i = 0; i < length; ++i) {
                unsigned char c = static_cast<unsigned char>(p[i]);
                if (c >= 'a' && c <= 'z')
                    c = static_cast<unsigned char>(c - 'a' + 'A');
                v = (v << 8) | c;
            }
            return v;
        };
        std::unordered_set<std::uint64_t> blockCodes;
        std::unordered_set<std::uint64_t> squareCodes;
        const dbf::RecordView view = table.Records();
        const std::uint32_t count = table.PhysicalCount();
        for (std::uint32_t recNo = 1; recNo <= count; ++recNo) {
            const char* rec = view.Record(recNo);
            if (rec[0] == '*')
                continue;
            const char* y = rec + datumDef.offset;
            int first = 0;
            int last = 4;
            while (first < last && y[first] == ' ')
                ++first;
            while (last > first && y[last - 1] == ' ')
                --last;
            if (first == last) {
                if (table.IsNull(rec, fId)) {
                    UserPrompts().Message(ResStr(rsCorruptRecord).arg(recNo));
                    corrupt.push_back(recNo);
                }
                continue;
            }
            int year = 0;
            bool negative = false;
            int i = first;
            if (y[i] == '-' || y[i] == '+')
                negative = y[i++] == '-';
            const bool digits = i < last;
            for (; i < last; ++i) {
                if (y[i] < '0' || y[i] > '9')
                    break;
                year = year * 10 + (y[i] - '0');
            }
            if (!digits || i < last)
                throw Error(ResStr(rsNotAnInteger)
                                .arg(QString::fromStdString(table.Text(rec, fDatum).substr(0, 4))));
            if (negative)
                year = -year;
            if (periodFilterOn && (year < begin || year > end))
                continue;
            squareCodes.insert(pack(rec + kxyDef.offset, kxyDef.length));
            blockCodes.insert(pack(rec + uxyDef.offset, uxyDef.length));
        }
        return FinishSquareTotals(corrupt, static_cast<int>(squareCodes.size()),
                                  static_cast<int>(blockCodes.size()));
    }
    auto upper = [](std::string text) {
        for (char& c : text)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return text;
    };
    const std::uint32_t count = table.PhysicalCount();
    for (std::uint32_t recNo = 1; recNo <= count; ++recNo) {
        const char* rec = table.Record(recNo);
        if (rec[0] == '*')
            continue;
        std::string datum = table.Text(rec, fDatum);
        const std::string yearText = datum.substr(0, 4);
        if (QString::fromStdString(yearText).trimmed().isEmpty()) {
            if (table.IsNull(rec, fId)) {
                UserPrompts().Message(ResStr(rsCorruptRecord).arg(recNo));
                corrupt.push_back(recNo);
            }
            continue;
        }
        bool ok = false;
        const int year = QString::fromStdString(yearText).toInt(&ok);
        if (!ok)
            throw Error(ResStr(rsNotAnInteger).arg(QString::fromStdString(yearText)));
        if (periodFilterOn && (year < begin || year > end))
            continue;
        std::string k = upper(table.Text(rec, fKxy));
        std::string u = upper(table.Text(rec, fUxy));
        if (latLon) {
            blocks.insert(LatLonBlockCode(QString::fromStdString(k), QString::fromStdString(u))
                              .toStdString());
            squares.insert(k + u);
        } else {
            blocks.insert(std::move(u));
            squares.insert(std::move(k));
        }
    }
    return FinishSquareTotals(corrupt, static_cast<int>(squares.size()),
                              static_cast<int>(blocks.size()));
}

std::pair<int, int> DatabaseStore::FinishSquareTotals(const std::vector<std::uint32_t>& corrupt,
                                                      int squares, int blocks) {
    // The corrupt records are deleted after the walk, so that the walk visits each record once.
    const BulkChange bulk(*this);
    for (std::uint32_t recNo : corrupt) {
        m_samples.SetRecNo(static_cast<int>(recNo));
        m_samples.Delete();
    }
    const std::pair<int, int> totals{squares, blocks};
    if (!periodFilterOn) {
        m_cachedTotals = totals;
        locationsChanged = false;
        m_totalsStale = false;
    }
    return totals;
}

void DatabaseStore::RecomputeSquareCodes() {
    RecomputeSquareCodes(CurrentSettings().language);
}

void DatabaseStore::RecomputeSquareCodes(const QString& language) {
    const BulkChange bulk(*this);
    m_locations.SetIndexName(QStringLiteral("ID"));
    m_locations.DisableControls();
    m_samples.DisableControls();
    try {
        // The codes of every location, computed once: a location has many samples.
        std::unordered_map<long long, SquareCodePair> codesById;
        Field locId = m_locations.FieldByName(QStringLiteral("ID"));
        Field coordX = m_locations.FieldByName(QStringLiteral("COORDX"));
        Field coordY = m_locations.FieldByName(QStringLiteral("COORDY"));
        for (m_locations.First(); !m_locations.Eof(); m_locations.Next()) {
            if (locId.IsNull())
                continue;
            codesById.emplace(locId.AsInteger(), SquareCodes(coordX.AsString(), coordY.AsString(),
                                                             m_coordinateSystem, language));
        }
        // Walked in "ID" order, which the rewrite does not change.
        m_samples.SetIndexName(QStringLiteral("ID"));
        Field id = m_samples.FieldByName(QStringLiteral("ID"));
        Field kxy = m_samples.FieldByName(QStringLiteral("KXY"));
        Field uxy = m_samples.FieldByName(QStringLiteral("UXY"));
        for (m_samples.First(); !m_samples.Eof(); m_samples.Next()) {
            if (id.IsNull())
                continue;
            auto it = codesById.find(id.AsInteger());
            if (it == codesById.end())
                continue;
            // A sample that already carries its codes needs no write.
            if (kxy.AsString() == it->second.kxy && uxy.AsString() == it->second.uxy)
                continue;
            m_samples.Edit();
            kxy.SetAsString(it->second.kxy);
            uxy.SetAsString(it->second.uxy);
            m_samples.Post();
        }
    } catch (...) {
        if (m_samples.State() != DatasetState::Browse)
            m_samples.Cancel();
        m_locations.EnableControls();
        m_samples.EnableControls();
        throw;
    }
    MarkSamplesChanged();
    m_locations.EnableControls();
    m_samples.EnableControls();
}

bool DatabaseStore::SquareCodesUpToDate() {
    return SquareCodesUpToDate(CurrentSettings().language);
}

bool DatabaseStore::SquareCodesUpToDate(const QString& language) {
    const QString name = Name();
    if (!OpenDatabase(name))
        return false;
    bool upToDate = true;
    auto check = [&] {
        const QVariant id = m_samples.FieldByName(QStringLiteral("ID")).AsVariant();
        if (!m_locations.Locate(QStringLiteral("ID"), id))
            return false;
        const SquareCodePair codes =
            SquareCodes(m_locations.FieldByName(QStringLiteral("COORDX")).AsString(),
                        m_locations.FieldByName(QStringLiteral("COORDY")).AsString(),
                        m_coordinateSystem, language);
        return codes.kxy == m_samples.FieldByName(QStringLiteral("KXY")).AsString() &&
               codes.uxy == m_samples.FieldByName(QStringLiteral("UXY")).AsString();
    };
    if (!m_samples.IsEmpty()) {
        m_samples.First();
        upToDate = check();
        m_samples.Last();
        upToDate = check() && upToDate;
    }
    CloseDatabase();
    return upToDate;
}

} // namespace velmora::core
