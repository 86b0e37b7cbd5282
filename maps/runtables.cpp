#include "maps/runtables.h"

#include "charts/boxplotdata.h"
#include "core/coordinates.h"
#include "core/error.h"
#include "core/grid/gridsort.h"
#include "core/text/textutils.h"
#include "ecology/naturevaluetally.h"
#include "ecology/taxonnames.h"
#include "maps/messages.h"

#include <array>
#include <cmath>
#include <optional>

namespace velmora::maps {

namespace {

// The columns of the environment tables.
enum EnvironmentColumn { ecKey, ecRange, ecCount, ecShare, kEnvironmentColumns };

// The columns of the samples table of one location.
enum SampleColumn { scNr, scDesmid, scAbund, scDl, scZygo, scPicture, scRemark, kSampleColumns };

// A measurement beyond this cannot be real; its class would not fit the tables' sorts.
constexpr double kLargestMeasurement = 1e15;

QString MonthName(int month) {
    static const std::array<const char*, 12> names = {"Jan", "Feb", "Mrt", "Apr", "Mei", "Jun",
                                                      "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(names[std::size_t(month - 1)]);
}

void SetHeader(core::Grid& grid, const QStringList& captions, const std::vector<int>& widths) {
    grid.Reset(int(captions.size()), 1);
    grid.SetRow(0, captions);
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetColWidth(col, widths[std::size_t(col)]);
}

QStringList LocationCaptions() {
    return {QStringLiteral("ID"),        QStringLiteral("Location"),  QStringLiteral("Date"),
            QStringLiteral("X"),         QStringLiteral("Y"),         QStringLiteral("pH"),
            QStringLiteral("EC"),        QStringLiteral("Analist"),   QStringLiteral("Abund"),
            QStringLiteral("Zygo"),      ResStr(rsPictureHeader),     ResStr(rsCertainHeader),
            QStringLiteral("Herbarium"), ResStr(rsSampleRemarkHeader)};
}

const std::vector<int> kLocationWidths = {30, 260, 70, 50, 50, 30, 30, 60, 30, 30, 30, 35, 60, 240};

// The day code of a location, month x 100 + day; nothing when the date is incomplete or no
// day of the year. A day or month that is neither blank nor a whole number throws.
std::optional<int> DayCode(const LocationRow& location) {
    const QString month = location.maand.trimmed();
    const QString day = location.dag.trimmed();
    if ((!month.isEmpty() && !core::IsInteger(month)) || (!day.isEmpty() && !core::IsInteger(day)))
        throw core::Error(
            ResStr(rsDayNotRead)
                .arg(location.locatie, QString::number(location.id), location.maand, location.dag));
    if (month.isEmpty() || day.isEmpty())
        return std::nullopt;
    const int m = month.toInt(); // 0 for a number too large, which is no month either
    const int d = day.toInt();
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    return m * 100 + d;
}

// A cut measurement as a number; nothing for an empty text. Throws for a text that is not a
// number or too large to class.
std::optional<double> Measurement(const QString& cut, const LocationRow& location) {
    if (cut.isEmpty())
        return std::nullopt;
    const double value = core::ParseNumber(cut);
    if (value >= kLargestMeasurement)
        throw core::Error(
            ResStr(rsMeasurementTooLarge).arg(cut, location.locatie, QString::number(location.id)));
    return value;
}

// Counts one key in an environment table: an existing row gets N + 1, else a new row with
// the range and the name.
template <typename Range, typename Count>
void CountKey(core::Grid& grid, QHash<QString, int>& rows, const QString& key, Range range,
              Count count) {
    const auto it = rows.constFind(key);
    if (it != rows.constEnd()) {
        const int n = grid.Cell(ecCount, *it).toInt() + 1;
        grid.SetCell(ecCount, *it, count(n));
        return;
    }
    const int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    grid.SetRow(row, {key, range(), count(1)});
    rows.insert(key, row);
}

QString PlainCount(int n) {
    return QString::number(n);
}

QString TwoDigitCount(int n) {
    return core::LeftPadZeros(QString::number(n), 2);
}

// The "%" column from the "N" column; returns the sum of N.
int WriteShares(core::Grid& grid) {
    int total = 0;
    for (int row = 1; row < grid.RowCount(); ++row)
        total += grid.Cell(ecCount, row).toInt();
    for (int row = 1; row < grid.RowCount(); ++row)
        grid.SetCell(ecShare, row,
                     ecology::OneDecimal(grid.Cell(ecCount, row).toInt() * 100.0 / total));
    return total;
}

void IndexKeys(const core::Grid& grid, QHash<QString, int>& rows) {
    rows.clear();
    for (int row = 1; row < grid.RowCount(); ++row)
        rows.insert(grid.Cell(ecKey, row), row);
}

void SortAndRemoveDuplicates(QStringList& keys) {
    keys.sort(Qt::CaseSensitive);
    keys.removeDuplicates();
}

} // namespace

RunTables::RunTables(charts::EnvironmentRun& environment) : m_environment(environment) {
    EmptyTables(false);
}

void RunTables::EmptyTables(bool allLocations) {
    QStringList captions = LocationCaptions();
    if (allLocations)
        captions = captions.mid(0, kAllLocationsColumns);
    SetHeader(m_locations, captions, kLocationWidths);
    m_newLocationRows.clear();
    m_locationIds.clear();
    SetHeader(
        m_ph,
        {QStringLiteral("pH"), QStringLiteral("Range"), QStringLiteral("N"), QStringLiteral("%")},
        {25, 60, 25, 35});
    SetHeader(
        m_ec,
        {QStringLiteral("EC"), QStringLiteral("Range"), QStringLiteral("N"), QStringLiteral("%")},
        {25, 60, 25, 35});
    SetHeader(m_biotopes,
              {QStringLiteral("Code"), QStringLiteral("Biotoop"), QStringLiteral("N"),
               QStringLiteral("%")},
              {30, 210, 23, 27});
    m_phRows.clear();
    m_ecRows.clear();
    m_biotopeRows.clear();
    m_kmKeys.clear();
    m_hourKeys.clear();
    m_earliest = 1231;
    m_latest = 101;
    m_phTotal = 0;
    m_biotopeTotal = 0;
}

void RunTables::WidenLocationTable() {
    const int from = m_locations.ColCount();
    if (from >= kLocationColumns)
        return;
    FlushLocationRows();
    m_locations.SetColCount(kLocationColumns);
    const QStringList captions = LocationCaptions();
    for (int col = from; col < kLocationColumns; ++col) {
        m_locations.SetCell(col, 0, captions[col]);
        m_locations.SetColWidth(col, kLocationWidths[std::size_t(col)]);
    }
}

void RunTables::Reset(bool newMap, bool allLocations, const RunTablesSettings& settings) {
    m_settings = settings;
    m_environment.SetDutchRules(settings.dutchRules);
    if (newMap) {
        EmptyTables(allLocations);
        m_environment.Start(settings.boxplotOrientation);
    } else if (!allLocations) {
        WidenLocationTable();
    }
}

void RunTables::FlushLocationRows() const {
    if (m_newLocationRows.empty())
        return;
    int row = m_locations.RowCount();
    m_locations.SetRowCount(row + int(m_newLocationRows.size()));
    for (QStringList& cells : m_newLocationRows)
        m_locations.SetRow(row++, std::move(cells));
    m_newLocationRows.clear();
}

const core::Grid& RunTables::LocationTable() const {
    FlushLocationRows();
    return m_locations;
}

void RunTables::AddSquareKeys(const SampleRow& sample) {
    // As the database's square totals read them: without regard to letter case.
    const QString kxy = sample.kxy.toUpper();
    const QString uxy = sample.uxy.toUpper();
    if (m_settings.coordinateSystem == core::kLatLon) {
        m_kmKeys << kxy + uxy;
        m_hourKeys << core::LatLonBlockCode(kxy, uxy);
    } else {
        m_kmKeys << kxy;
        m_hourKeys << uxy;
    }
}

void RunTables::Collect(const LocationRow& location, const SampleRow* sample, StyleTab tab,
                        AbundanceSizes& sizes) {
    if (m_locationIds.contains(location.id))
        return;
    // Everything that can fail is read first, so that a location either counts everywhere or
    // nowhere.
    const std::optional<int> day = DayCode(location);
    const std::optional<double> ph = Measurement(charts::LeadingNumberText(location.ph), location);
    const std::optional<double> ec =
        Measurement(charts::LeadingNumberText(location.geleiding), location);
    const QString abund = sample ? sample->abund : QString();
    // The boxplot lists, the scatter points and the phenology.
    m_environment.AddLocation({location.locatie, location.ph, location.geleiding, abund,
                               location.dag, location.maand, location.jaar});

    m_locationIds.insert(location.id);
    if (day) {
        m_earliest = std::min(m_earliest, *day);
        m_latest = std::max(m_latest, *day);
    }

    QStringList cells;
    cells.reserve(m_locations.ColCount());
    cells << QString::number(location.id) << location.locatie
          << location.jaar + QLatin1Char('-') + location.maand + QLatin1Char('-') + location.dag
          << location.coordX << location.coordY << location.ph << location.geleiding
          << location.analist;
    if (m_locations.ColCount() > kAllLocationsColumns) {
        if (sample)
            cells << sample->abund << sample->zygo << sample->foto << sample->zeker
                  << location.herbarium << sample->opmDesmid;
        else
            cells << QString() << QString() << QString() << QString() << location.herbarium
                  << QString();
    }
    m_newLocationRows.push_back(std::move(cells));

    if (sample) {
        if (tab == StyleTab::Abundance)
            sizes.Note(sample->abund);
        AddSquareKeys(*sample);
    }

    if (ph) {
        // The class of width 0.2 the value falls in; the margin, far below any typed decimal,
        // keeps a value on a class bound from dropping a class through rounding.
        const double tenths = std::floor(*ph * 10 + 1e-9);
        const double low = std::floor(tenths / 2) * 2;
        const QString key = core::FormatDecimal(low / 10, 1);
        CountKey(
            m_ph, m_phRows, key,
            [&] { return key + QStringLiteral(" - ") + core::FormatDecimal((low + 2) / 10, 1); },
            PlainCount);
    }
    if (ec) {
        const auto low = static_cast<qint64>(std::floor(*ec)) / 10 * 10;
        CountKey(
            m_ec, m_ecRows, QString::number(low),
            [&] {
                return core::LeftPadZeros(QString::number(low), 3) + QStringLiteral(" - ") +
                       core::LeftPadZeros(QString::number(low + 10), 3);
            },
            PlainCount);
    }

    QString biotope = location.wtype;
    // A code ending in a letter of a subtype counts under its main type.
    if (!biotope.isEmpty() && biotope.back() > QLatin1Char('\\'))
        biotope.truncate(3);
    if (!biotope.trimmed().isEmpty()) {
        CountKey(
            m_biotopes, m_biotopeRows, biotope,
            [&] { return m_settings.biotopeName ? m_settings.biotopeName(biotope) : QString(); },
            TwoDigitCount);
    }
}

void RunTables::Finish(AbundanceSizes& sizes) {
    sizes.Sort();
    SortAndRemoveDuplicates(m_kmKeys);
    SortAndRemoveDuplicates(m_hourKeys);

    core::SortGridByDecimal(m_ph, ecKey, false);
    core::SortGridByInteger(m_ec, ecKey, false);
    m_phTotal = WriteShares(m_ph);
    WriteShares(m_ec);
    m_biotopeTotal = WriteShares(m_biotopes);
    core::SortGridByInteger(m_biotopes, ecCount, true);
    IndexKeys(m_ph, m_phRows);
    IndexKeys(m_ec, m_ecRows);
    IndexKeys(m_biotopes, m_biotopeRows);

    FlushLocationRows();
    core::SortGridByText(m_locations, lcDate, false);

    m_environment.Finish();
}

SortMark RunTables::SortLocations(int column, bool descending) {
    FlushLocationRows();
    if (column < 0 || column >= m_locations.ColCount())
        return SortMark::None;
    switch (column) {
    case lcID:
        core::SortGridByInteger(m_locations, column, false);
        return SortMark::None;
    case lcPH:
        core::SortGridByDecimal(m_locations, column, descending);
        return SortMark::None;
    case lcEC:
        // Whole numbers, or decimals when the table holds a conductivity with decimals.
        try {
            core::SortGridByInteger(m_locations, column, descending);
        } catch (const core::Error&) {
            core::SortGridByDecimal(m_locations, column, descending);
        }
        return SortMark::None;
    default:
        core::SortGridByText(m_locations, column, descending);
        break;
    }
    switch (column) {
    case lcLocation:
        return SortMark::Location;
    case lcDate:
        return SortMark::Date;
    case lcX:
        return SortMark::Square;
    default:
        return SortMark::None;
    }
}

void RunTables::SortLocationsBy(SortMark button, bool descending) {
    FlushLocationRows();
    switch (button) {
    case SortMark::Location:
        core::SortGridByText(m_locations, lcLocation, descending);
        break;
    case SortMark::Date:
        core::SortGridByText(m_locations, lcDate, descending);
        break;
    case SortMark::Square:
        core::SortGridByText(m_locations, lcX, descending);
        break;
    case SortMark::None:
        break;
    }
}

QString RunTables::EarliestText() const {
    return ResStr(rsEarliestLabel) + QString::number(m_earliest % 100) + QLatin1Char(' ') +
           MonthName(m_earliest / 100);
}

QString RunTables::LatestText() const {
    return ResStr(rsLatestLabel) + QString::number(m_latest % 100) + QLatin1Char(' ') +
           MonthName(m_latest / 100);
}

QString RunTables::PhLabel() const {
    return ResStr(rsPhEcLabel).arg(m_phTotal);
}

QString RunTables::BiotopeLabel() const {
    return ResStr(rsBiotopeLabel).arg(m_biotopeTotal);
}

QString RunTables::CountText() const {
    return ResStr(rsRecordCount).arg(LocationTable().RowCount() - 1);
}

core::Grid LocationSamples(const RunSource& source, int locationId) {
    core::Grid grid;
    SetHeader(grid,
              {QStringLiteral("Nr"), QStringLiteral("Sieralg"), QStringLiteral("Abun."),
               QStringLiteral("DLO"), QStringLiteral("Zygo"), ResStr(rsPictureHeader),
               QStringLiteral("Opmerking")},
              {20, 230, 28, 28, 28, 28, 250});
    const std::vector<const SampleRow*> samples = source.SamplesOf(locationId);
    grid.SetRowCount(int(samples.size()) + 1);
    int row = 1;
    for (const SampleRow* sample : samples)
        grid.SetRow(row++, {QString(), sample->desmid, sample->abund, sample->dl, sample->zygo,
                            sample->foto, sample->opmDesmid});
    core::SortGridByText(grid, scDesmid, false);
    for (row = 1; row < grid.RowCount(); ++row)
        grid.SetCell(scNr, row, QString::number(row));
    return grid;
}

QString SpeciesInfoLine(const ecology::TaxaList& taxa, const QString& name) {
    // The list keeps its names trimmed with single blanks; the look-up runs over the names
    // that equal the name without regard to case, for the one that equals it exactly.
    const QString wanted = ecology::CollapseDoubleBlanks(name.trimmed());
    const ecology::AnnotatedTaxa& t = taxa.Taxa();
    for (const qsizetype i : taxa.EqualRange(ecology::TaxaOrder::TaxonName, wanted)) {
        if (t.name[i] != wanted)
            continue;
        QString line =
            ResStr(rsSpeciesInfo).arg(t.author[i], t.trophic[i], t.acidity[i], t.lifeForm[i]);
        if (!t.redList[i].isEmpty())
            line += ResStr(rsRedListSpecies);
        return line;
    }
    return ResStr(rsSpeciesNotInList);
}

} // namespace velmora::maps
