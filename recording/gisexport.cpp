#include "recording/gisexport.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/settings.h"
#include "core/text/textfile.h"
#include "recording/messages.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <fcntl.h>
#include <gdal.h>
#include <mutex>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace velmora::recording {

namespace dbf = core::dbf;

namespace {

// ---- Positions

// RD values outside this box (km) lie far beyond the grid, where its conversion to degrees
// gives no real place: a typing error, or atlas notation read under another language.
constexpr double kRdMinX = -100.0;
constexpr double kRdMaxX = 400.0;
constexpr double kRdMinY = 200.0;
constexpr double kRdMaxY = 750.0;
// A degree of latitude, near enough for the precision column.
constexpr double kMetresPerDegree = 111320.0;

GisPosition Invalid() {
    return {GisPrecision::Invalid};
}

// True when the text has no decimal separator (read as ParseCoordinate reads it).
bool IsWhole(const QString& text) {
    return !text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char(','));
}

// The digits after the decimal separator.
int Decimals(const QString& text) {
    const QString t = text.trimmed();
    qsizetype separator = t.indexOf(QLatin1Char('.'));
    if (separator < 0)
        separator = t.indexOf(QLatin1Char(','));
    if (separator < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = separator + 1; i < t.size() && t[i].isDigit(); ++i)
        ++digits;
    return digits;
}

// The step of the last written decimal of both texts (the coarser one), in metres, at least 1.
int StepMetres(double unitMetres, const QString& x, const QString& y) {
    const int decimals = std::min(Decimals(x), Decimals(y));
    return static_cast<int>(std::max(1.0, std::round(unitMetres / std::pow(10.0, decimals))));
}

GisPosition FromRD(double xKm, double yKm, GisPrecision precision, int sizeMetres) {
    if (xKm < kRdMinX || xKm > kRdMaxX || yKm < kRdMinY || yKm > kRdMaxY)
        return Invalid();
    const auto [lat, lon] = core::RDToLatLon(xKm, yKm);
    return {precision, lon, lat, sizeMetres};
}

// An atlas code whose sheet (1..62), block row (1..5) and block column (1..8) exist.
bool IsAtlasBlock(long long code) {
    const long long sheet = code / 100;
    const long long row = code % 100 / 10;
    const long long column = code % 10;
    return code > 0 && sheet >= 1 && sheet <= 62 && row >= 1 && row <= 5 && column >= 1 &&
           column <= 8;
}

// 0 (the whole block) or a km-square of a block: row and column 1..5.
bool IsSquareNumber(long long number) {
    if (number == 0)
        return true;
    const long long row = number / 10;
    const long long column = number % 10;
    return row >= 1 && row <= 5 && column >= 1 && column <= 5;
}

} // namespace

GisPosition LocatePosition(const QString& coordX, const QString& coordY,
                           const QString& coordinateSystem, const QString& language) {
    try {
        if (coordinateSystem == core::kLatLon) {
            const double lon = core::ParseCoordinate(coordX);
            const double lat = core::ParseCoordinate(coordY);
            // As for the square codes, longitude 0 stands for no coordinates.
            if (lon == 0.0)
                return {};
            if (std::fabs(lon) > 180.0 || std::fabs(lat) > 90.0)
                return Invalid();
            return {GisPrecision::Point, lon, lat, StepMetres(kMetresPerDegree, coordX, coordY)};
        }
        if (coordinateSystem != core::kKmBased)
            return {};
        const double xValue = core::ParseCoordinate(coordX);
        const double yValue = core::ParseCoordinate(coordY);
        // ParseCoordinate keeps values within 10^12, so these fit.
        const auto x = static_cast<long long>(std::floor(xValue));
        const auto y = static_cast<long long>(std::floor(yValue));
        if (x == 0)
            return {};
        if (language == QLatin1String("NL") && y < 60) {
            // Atlas notation. AtlasToRD gives the south-west corner of the km-square, or for
            // number 0 the point 2 km east and 3 km south of the block's north-west corner:
            // half a km from either the centre lies north-east.
            if (!IsAtlasBlock(x) || !IsSquareNumber(y))
                return Invalid();
            const auto [ax, ay] = core::AtlasToRD(static_cast<int>(x), static_cast<int>(y));
            return y == 0 ? FromRD(ax + 0.5, ay + 0.5, GisPrecision::AtlasBlock, 5000)
                          : FromRD(ax + 0.5, ay + 0.5, GisPrecision::KmSquare, 1000);
        }
        if (x > 1000)
            return FromRD(xValue / 1000.0, yValue / 1000.0, GisPrecision::Point, 1);
        if (IsWhole(coordX) && IsWhole(coordY))
            return FromRD(static_cast<double>(x) + 0.5, static_cast<double>(y) + 0.5,
                          GisPrecision::KmSquare, 1000);
        return FromRD(xValue, yValue, GisPrecision::Point, StepMetres(1000.0, coordX, coordY));
    } catch (const core::Error&) {
        return Invalid();
    }
}

QString PrecisionName(GisPrecision precision) {
    switch (precision) {
    case GisPrecision::Point:
        return QStringLiteral("point");
    case GisPrecision::KmSquare:
        return QStringLiteral("km-square");
    case GisPrecision::AtlasBlock:
        return QStringLiteral("atlas block");
    case GisPrecision::None:
        return QStringLiteral("none");
    case GisPrecision::Invalid:
        return QStringLiteral("invalid");
    }
    return {};
}

namespace {

// ---- The rows

// A field of a record as UTF-8, trailing blanks dropped: the text RecordText gives, taken
// straight from the record for plain ASCII text (most of a database).
void FieldUtf8(const dbf::DbfTable& table, const char* record, int field, std::string& out) {
    const dbf::FieldDef& def = table.Fields()[static_cast<std::size_t>(field)];
    if (def.type == dbf::FieldType::Character) {
        const char* p = record + def.offset;
        int n = def.length;
        while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
            --n;
        if (std::all_of(p, p + n, [](char c) { return c > 0; })) {
            out.assign(p, static_cast<std::size_t>(n));
            return;
        }
    }
    out = table.Text(record, field);
}

struct Location {
    std::vector<std::string> texts; // the location fields but ID, UTF-8
    GisPosition position;
};

// The columns and the locations of the export, and the walk over the samples.
class GisTable {
public:
    explicit GisTable(core::DatabaseStore& store);

    // Column names: ID, the location fields, the sample fields, then kTailColumns.
    const QStringList& Names() const { return m_names; }
    int LocationFieldCount() const { return static_cast<int>(m_locFields.size()); }
    int SampleFieldCount() const { return static_cast<int>(m_samFields.size()); }
    const std::vector<Location>& Locations() const { return m_locations; }
    // The samples not marked deleted: the rows Walk gives.
    int SampleCount() const { return m_sampleCount; }

    // Calls row(id, location, sample texts) for every sample in the table's physical order;
    // location is nullptr when the sample's ID matches no location. progress as ExportGis's.
    // Returns the number of rows, or nothing when cancelled.
    template <class Row>
    std::optional<int> Walk(Row&& row, const std::function<bool(int)>& progress) const;

private:
    dbf::DbfTable& m_samTable;
    QStringList m_names;
    std::vector<int> m_locFields;
    std::vector<int> m_samFields;
    int m_samId = -1;
    int m_sampleCount = 0;
    std::vector<Location> m_locations;
    std::unordered_map<long long, std::size_t> m_byId;
    // The same lookup as a plain table over the IDs' range (index + 1, 0 for none), made
    // when that range is not much wider than the number of locations, as with the IDs the
    // program hands out; a million look-ups in the map cost more than the rest of a row.
    long long m_firstId = 0;
    std::vector<std::uint32_t> m_byIdTable;

    const Location* Find(long long id) const;
};

constexpr const char* kTailColumns[] = {"LON", "LAT", "PRECISION", "PREC_M"};

// Appends the name, made unique among the names (letter case ignored, as SQLite and most GIS
// programs compare column names); "fid", "geom" and "WKT" are the export's own.
void AddUniqueName(QStringList& names, QSet<QString>& taken, const QString& name) {
    QString unique = name;
    for (int n = 2; taken.contains(unique.toCaseFolded()); ++n)
        unique = name + QLatin1Char('_') + QString::number(n);
    taken.insert(unique.toCaseFolded());
    names << unique;
}

GisTable::GisTable(core::DatabaseStore& store) : m_samTable(store.Samples().Table()) {
    dbf::DbfTable& locTable = store.Locations().Table();
    const int locId = locTable.FieldIndex("ID");
    m_samId = m_samTable.FieldIndex("ID");

    QSet<QString> taken = {QStringLiteral("fid"), QStringLiteral("geom"), QStringLiteral("wkt")};
    AddUniqueName(m_names, taken, QStringLiteral("ID"));
    for (int f = 0; f < static_cast<int>(locTable.Fields().size()); ++f) {
        if (f == locId)
            continue;
        m_locFields.push_back(f);
        AddUniqueName(m_names, taken,
                      QString::fromStdString(locTable.Fields()[static_cast<std::size_t>(f)].name));
    }
    for (int f = 0; f < static_cast<int>(m_samTable.Fields().size()); ++f) {
        if (f == m_samId)
            continue;
        m_samFields.push_back(f);
        AddUniqueName(
            m_names, taken,
            QString::fromStdString(m_samTable.Fields()[static_cast<std::size_t>(f)].name));
    }
    for (const char* name : kTailColumns)
        AddUniqueName(m_names, taken, QLatin1String(name));
    for (std::uint32_t r = 1; r <= m_samTable.PhysicalCount(); ++r)
        if (!m_samTable.IsDeleted(r))
            ++m_sampleCount;

    // Every location once, placed by its coordinates; where two carry the same ID (a damaged
    // table) the first in the file takes the samples, so that each sample is written once.
    const QString system = store.CoordinateSystem();
    const QString language = core::CurrentSettings().language;
    const int coordX = locTable.FieldIndex("COORDX");
    const int coordY = locTable.FieldIndex("COORDY");
    for (std::uint32_t r = 1; r <= locTable.PhysicalCount(); ++r) {
        if (locTable.IsDeleted(r))
            continue;
        const char* record = locTable.Record(r);
        const std::optional<long long> id =
            locId >= 0 ? locTable.Integer(record, locId) : std::nullopt;
        if (!id || m_byId.count(*id))
            continue;
        Location location;
        location.texts.resize(m_locFields.size());
        for (std::size_t k = 0; k < m_locFields.size(); ++k)
            FieldUtf8(locTable, record, m_locFields[k], location.texts[k]);
        location.position =
            LocatePosition(core::RecordText(locTable, record, coordX),
                           core::RecordText(locTable, record, coordY), system, language);
        m_byId.emplace(*id, m_locations.size());
        m_locations.push_back(std::move(location));
    }
    if (m_byId.empty())
        return;
    const auto [low, high] =
        std::minmax_element(m_byId.begin(), m_byId.end(),
                            [](const auto& a, const auto& b) { return a.first < b.first; });
    const unsigned long long range =
        static_cast<unsigned long long>(high->first) - static_cast<unsigned long long>(low->first);
    if (range <= 8 * m_byId.size() + 65536) {
        m_firstId = low->first;
        m_byIdTable.assign(range + 1, 0);
        for (const auto& [id, index] : m_byId)
            m_byIdTable[static_cast<unsigned long long>(id) -
                        static_cast<unsigned long long>(m_firstId)] =
                static_cast<std::uint32_t>(index + 1);
    }
}

const Location* GisTable::Find(long long id) const {
    if (!m_byIdTable.empty()) {
        const unsigned long long offset =
            static_cast<unsigned long long>(id) - static_cast<unsigned long long>(m_firstId);
        if (id < m_firstId || offset >= m_byIdTable.size())
            return nullptr;
        const std::uint32_t entry = m_byIdTable[offset];
        return entry ? &m_locations[entry - 1] : nullptr;
    }
    const auto it = m_byId.find(id);
    return it != m_byId.end() ? &m_locations[it->second] : nullptr;
}

template <class Row>
std::optional<int> GisTable::Walk(Row&& row, const std::function<bool(int)>& progress) const {
    std::vector<std::string> texts(m_samFields.size());
    int rows = 0;
    const std::uint32_t count = m_samTable.PhysicalCount();
    int told = -1;
    for (std::uint32_t r = 1; r <= count; ++r) {
        if (!m_samTable.IsDeleted(r)) {
            const char* record = m_samTable.Record(r);
            const std::optional<long long> id =
                m_samId >= 0 ? m_samTable.Integer(record, m_samId) : std::nullopt;
            const Location* location = id ? Find(*id) : nullptr;
            for (std::size_t k = 0; k < m_samFields.size(); ++k)
                FieldUtf8(m_samTable, record, m_samFields[k], texts[k]);
            row(id, location, texts);
            ++rows;
        }
        if (progress) {
            const int percent = static_cast<int>(std::uint64_t{r} * 100 / count);
            if (percent != told) {
                told = percent;
                if (progress(percent))
                    return std::nullopt;
            }
        }
    }
    return rows;
}

// ---- CSV

void AppendCsvField(QByteArray& out, std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        out.append(text.data(), static_cast<qsizetype>(text.size()));
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Degrees to seven decimals (a centimetre), without trailing zeros.
QByteArray Degrees(double value) {
    QByteArray text = QByteArray::number(value, 'f', 7);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// Returns the number of rows, or nothing when cancelled (and nothing written).
std::optional<int> WriteCsv(const GisTable& table, const QString& path,
                            const std::function<bool(int)>& progress) {
    // The parts of a row that come from its location, made once per location: the WKT
    // column, the location fields (each after a comma) and the position columns.
    struct Parts {
        QByteArray wkt;
        QByteArray fields;
        QByteArray tail;
    };
    const std::vector<std::string> noTexts(static_cast<std::size_t>(table.LocationFieldCount()));
    auto partsOf = [&](const Location* location) {
        Parts parts;
        const GisPosition position = location ? location->position : GisPosition{};
        const QByteArray precision = PrecisionName(position.precision).toUtf8();
        if (position.HasPoint()) {
            const QByteArray lon = Degrees(position.lon);
            const QByteArray lat = Degrees(position.lat);
            parts.wkt = "POINT (" + lon + ' ' + lat + ')';
            parts.tail = ',' + lon + ',' + lat + ',' + precision + ',' +
                         QByteArray::number(position.sizeMetres);
        } else {
            parts.tail = ",,," + precision + ',';
        }
        for (const std::string& text : location ? location->texts : noTexts) {
            parts.fields += ',';
            AppendCsvField(parts.fields, text);
        }
        return parts;
    };
    std::vector<Parts> parts;
    parts.reserve(table.Locations().size());
    for (const Location& location : table.Locations())
        parts.push_back(partsOf(&location));
    const Parts orphan = partsOf(nullptr);

    QByteArray out = "WKT";
    for (const QString& name : table.Names()) {
        out += ',';
        AppendCsvField(out, name.toStdString());
    }
    out += "\r\n";
    const Location* first = table.Locations().data();
    const std::optional<int> rows = table.Walk(
        [&](const std::optional<long long>& id, const Location* location,
            const std::vector<std::string>& texts) {
            const Parts& p = location ? parts[static_cast<std::size_t>(location - first)] : orphan;
            out += p.wkt;
            out += ',';
            if (id)
                out += QByteArray::number(*id);
            out += p.fields;
            for (const std::string& text : texts) {
                out += ',';
                AppendCsvField(out, text);
            }
            out += p.tail;
            out += "\r\n";
        },
        progress);
    if (rows)
        core::WriteFileAtomically(path, out);
    return rows;
}

// ---- GeoPackage

// GDAL's failures while an export runs, kept for the message instead of written to the
// console; GDAL's settings for the export, undone at its end.
class GdalSession {
public:
    GdalSession() {
        static std::once_flag registered;
        std::call_once(registered, [] { GDALAllRegister(); });
        CPLPushErrorHandlerEx(&GdalSession::Collect, this);
        // The file is synced once, whole, before it takes the chosen name; syncing each
        // transaction on the way would only cost time.
        Set("OGR_SQLITE_SYNCHRONOUS", "OFF");
    }
    ~GdalSession() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            CPLSetThreadLocalConfigOption(it->first.c_str(),
                                          it->second ? it->second->c_str() : nullptr);
        CPLPopErrorHandler();
    }
    GdalSession(const GdalSession&) = delete;
    GdalSession& operator=(const GdalSession&) = delete;

    // Throws the failure GDAL reported last (or the operation's own words).
    [[noreturn]] void Fail(const QString& file, const char* operation) const {
        const QString reason =
            m_lastFailure.isEmpty() ? QString::fromLatin1(operation) : m_lastFailure;
        throw core::Error(ResStr(rsGisLibraryFailed).arg(reason), file);
    }

private:
    static void CPL_STDCALL Collect(CPLErr level, CPLErrorNum, const char* message) {
        auto* self = static_cast<GdalSession*>(CPLGetErrorHandlerUserData());
        if (self && level >= CE_Failure)
            self->m_lastFailure = QString::fromUtf8(message);
    }
    void Set(const char* key, const char* value) {
        const char* old = CPLGetThreadLocalConfigOption(key, nullptr);
        m_saved.emplace_back(key, old ? std::optional<std::string>(old) : std::nullopt);
        CPLSetThreadLocalConfigOption(key, value);
    }

    QString m_lastFailure;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A private folder beside the chosen file, holding the new file (and the journal the
// database engine keeps while writing) until it is complete; then the file is synced and
// renamed over the chosen one. Whatever is left when the object goes is removed.
class FileBeside {
public:
    explicit FileBeside(const QString& target) : m_target(target) {
        const QFileInfo info(target);
        QByteArray folder =
            QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) +
            ".XXXXXX";
        if (!::mkdtemp(folder.data()))
            throw core::Error(core::SystemErrorText(errno), target);
        m_folder = QFile::decodeName(folder);
        m_file = m_folder + QLatin1Char('/') + info.fileName();
    }
    ~FileBeside() {
        if (!m_folder.isEmpty())
            QDir(m_folder).removeRecursively();
    }
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    const QString& File() const { return m_file; }

    void Commit() {
        const QByteArray file = QFile::encodeName(m_file);
        const QByteArray target = QFile::encodeName(m_target);
        auto fail = [&](int error) { throw core::Error(core::SystemErrorText(error), m_target); };
        // The new file gets the permissions of the one it replaces.
        struct stat old {};
        if (::stat(target.constData(), &old) == 0 && ::chmod(file.constData(), old.st_mode & 07777))
            fail(errno);
        const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            fail(errno);
        if (::fsync(fd) != 0) {
            const int error = errno;
            ::close(fd);
            fail(error);
        }
        ::close(fd);
        if (::rename(file.constData(), target.constData()) != 0)
            fail(errno);
        ::rmdir(QFile::encodeName(m_folder).constData());
        m_folder.clear();
    }

private:
    QString m_target;
    QString m_folder;
    QString m_file;
};

// The most rows that get a spatial index. The database engine builds it one entry at a time
// when the file is closed, at about a second per 100,000 rows: for a larger layer that would
// take longer than writing the rows themselves. QGIS and ogrinfo add the index on request
// ("CreateSpatialIndex").
constexpr int kSpatialIndexRows = 250000;

// Rows per transaction: large enough that committing costs nothing, small enough that the
// journal stays small.
constexpr int kRowsPerTransaction = 200000;

// Returns the number of rows, or nothing when cancelled (and nothing written).
std::optional<int> WriteGeoPackage(const GisTable& table, const QString& path,
                                   const QString& layerName,
                                   const std::function<bool(int)>& progress) {
    GdalSession gdal;
    FileBeside beside(path);
    GDALDriverH driver = GDALGetDriverByName("GPKG");
    if (!driver)
        gdal.Fail(path, "no GeoPackage driver");
    struct Handles {
        GDALDatasetH dataset = nullptr;
        OGRSpatialReferenceH srs = nullptr;
        OGRFeatureH feature = nullptr;
        OGRGeometryH point = nullptr;
        ~Handles() {
            if (point)
                OGR_G_DestroyGeometry(point);
            if (feature)
                OGR_F_Destroy(feature);
            if (srs)
                OSRDestroySpatialReference(srs);
            if (dataset)
                GDALClose(dataset);
        }
    } h;
    const QByteArray file = QFile::encodeName(beside.File());
    h.dataset = GDALCreate(driver, file.constData(), 0, 0, 0, GDT_Unknown, nullptr);
    if (!h.dataset)
        gdal.Fail(path, "GDALCreate");
    h.srs = OSRNewSpatialReference(nullptr);
    if (OSRImportFromEPSG(h.srs, 4326) != OGRERR_NONE)
        gdal.Fail(path, "EPSG:4326");
    OSRSetAxisMappingStrategy(h.srs, OAMS_TRADITIONAL_GIS_ORDER);
    const char* layerOptions[] = {"FID=fid", "GEOMETRY_NAME=geom",
                                  table.SampleCount() > kSpatialIndexRows ? "SPATIAL_INDEX=NO"
                                                                          : "SPATIAL_INDEX=YES",
                                  nullptr};
    OGRLayerH layer = GDALDatasetCreateLayer(h.dataset, layerName.toUtf8().constData(), h.srs,
                                             wkbPoint, const_cast<char**>(layerOptions));
    if (!layer)
        gdal.Fail(path, "CreateLayer");

    const QStringList& names = table.Names();
    const int textBegin = 1;
    const int textEnd = 1 + table.LocationFieldCount() + table.SampleFieldCount();
    const int lonField = textEnd;
    const int latField = textEnd + 1;
    const int precisionField = textEnd + 2;
    const int sizeField = textEnd + 3;
    for (int i = 0; i < names.size(); ++i) {
        OGRFieldType type = OFTString;
        if (i == 0)
            type = OFTInteger64;
        else if (i == lonField || i == latField)
            type = OFTReal;
        else if (i == sizeField)
            type = OFTInteger;
        OGRFieldDefnH definition = OGR_Fld_Create(names[i].toUtf8().constData(), type);
        const OGRErr created = OGR_L_CreateField(layer, definition, TRUE);
        OGR_Fld_Destroy(definition);
        if (created != OGRERR_NONE)
            gdal.Fail(path, "CreateField");
    }
    h.feature = OGR_F_Create(OGR_L_GetLayerDefn(layer));
    h.point = OGR_G_CreateGeometry(wkbPoint);

    std::vector<QByteArray> precisionNames;
    for (GisPrecision p : {GisPrecision::Point, GisPrecision::KmSquare, GisPrecision::AtlasBlock,
                           GisPrecision::None, GisPrecision::Invalid})
        precisionNames.push_back(PrecisionName(p).toUtf8());
    const std::vector<std::string> noTexts(static_cast<std::size_t>(table.LocationFieldCount()));

    if (GDALDatasetStartTransaction(h.dataset, FALSE) != OGRERR_NONE)
        gdal.Fail(path, "StartTransaction");
    int inTransaction = 0;
    OGRFeatureH feature = h.feature;
    auto setText = [feature](int field, const std::string& text) {
        if (text.empty())
            OGR_F_SetFieldNull(feature, field);
        else
            OGR_F_SetFieldString(feature, field, text.c_str());
    };
    const GisPosition none;
    bool anyRow = false;
    const Location* lastLocation = nullptr;
    const std::optional<int> rows = table.Walk(
        [&](const std::optional<long long>& id, const Location* location,
            const std::vector<std::string>& texts) {
            // Every field is set (a value or null) in every row, so that the driver keeps
            // one prepared insert for the whole layer.
            if (id)
                OGR_F_SetFieldInteger64(feature, 0, *id);
            else
                OGR_F_SetFieldNull(feature, 0);
            // The location's fields stay in the feature from the row before when the sample
            // has the same location (the samples of a visit mostly follow each other).
            int field = textBegin;
            if (!anyRow || location != lastLocation) {
                for (const std::string& text : location ? location->texts : noTexts)
                    setText(field++, text);
                anyRow = true;
                lastLocation = location;
            }
            field = textBegin + table.LocationFieldCount();
            for (const std::string& text : texts)
                setText(field++, text);
            const GisPosition& position = location ? location->position : none;
            if (position.HasPoint()) {
                OGR_G_SetPoint_2D(h.point, 0, position.lon, position.lat);
                OGR_F_SetGeometry(feature, h.point);
                OGR_F_SetFieldDouble(feature, lonField, position.lon);
                OGR_F_SetFieldDouble(feature, latField, position.lat);
                OGR_F_SetFieldInteger(feature, sizeField, position.sizeMetres);
            } else {
                OGR_F_SetGeometry(feature, nullptr);
                OGR_F_SetFieldNull(feature, lonField);
                OGR_F_SetFieldNull(feature, latField);
                OGR_F_SetFieldNull(feature, sizeField);
            }
            OGR_F_SetFieldString(
                feature, precisionField,
                precisionNames[static_cast<std::size_t>(position.precision)].constData());
            OGR_F_SetFID(feature, OGRNullFID);
            if (OGR_L_CreateFeature(layer, feature) != OGRERR_NONE)
                gdal.Fail(path, "CreateFeature");
            if (++inTransaction == kRowsPerTransaction) {
                inTransaction = 0;
                if (GDALDatasetCommitTransaction(h.dataset) != OGRERR_NONE ||
                    GDALDatasetStartTransaction(h.dataset, FALSE) != OGRERR_NONE)
                    gdal.Fail(path, "CommitTransaction");
            }
        },
        progress);
    if (!rows) {
        // Dropped rather than closed with its spatial index: the file goes anyway.
        GDALDatasetRollbackTransaction(h.dataset);
        GDALDatasetDeleteLayer(h.dataset, 0);
        return std::nullopt;
    }
    if (GDALDatasetCommitTransaction(h.dataset) != OGRERR_NONE)
        gdal.Fail(path, "CommitTransaction");
    // Closing writes the spatial index and the layer's extent; a failure there is only told
    // by the error handler.
    OGR_G_DestroyGeometry(h.point);
    h.point = nullptr;
    OGR_F_Destroy(h.feature);
    h.feature = nullptr;
    CPLErrorReset();
    GDALClose(h.dataset);
    h.dataset = nullptr;
    if (CPLGetLastErrorType() >= CE_Failure)
        gdal.Fail(path, "GDALClose");
    beside.Commit();
    return rows;
}

} // namespace

int ExportGis(core::DatabaseStore& store, const QString& path,
              const std::function<bool(int)>& progress) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension != QLatin1String("gpkg") && extension != QLatin1String("csv"))
        throw core::Error(ResStr(rsGisExtension), path);
    if (!store.IsOpen())
        throw core::Error(ResStr(rsNoCurrentDatabase));
    const GisTable table(store);
    const QString layer = store.Name().isEmpty() ? QStringLiteral("samples") : store.Name();
    const std::optional<int> rows = extension == QLatin1String("gpkg")
                                        ? WriteGeoPackage(table, path, layer, progress)
                                        : WriteCsv(table, path, progress);
    return rows.value_or(-1);
}

} // namespace velmora::recording
