#include "recording/databaseexport.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/grid/gridfiles.h"
#include "core/grid/gridsort.h"
#include "core/prompts.h"
#include "core/spreadsheet/spreadsheet.h"
#include "ecology/taxalist.h"
#include "recording/messages.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace velmora::recording {

namespace dbf = core::dbf;

std::pair<QString, QString> SplitInfo(const QString& desmidInfo) {
    const qsizetype hash = desmidInfo.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return {desmidInfo, QString()};
    return {desmidInfo.left(hash).trimmed(), desmidInfo.mid(hash + 1, 100).trimmed()};
}

namespace {

// The seven taxon information columns.
constexpr int kInfoColumns = 7;

// A field's text as the table gives it. Plain ASCII text fields, most of a database, are
// taken straight from the record; everything else goes through the table's decoding.
QString Text(const dbf::DbfTable& table, const char* record, int field) {
    if (field < 0)
        return {};
    const dbf::FieldDef& def = table.Fields()[static_cast<std::size_t>(field)];
    if (def.type == dbf::FieldType::Character) {
        const char* p = record + def.offset;
        int n = def.length;
        while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
            --n;
        if (std::all_of(p, p + n, [](char c) { return c > 0; }))
            return QString::fromLatin1(p, n);
    }
    return QString::fromStdString(table.Text(record, field));
}

} // namespace

std::optional<core::Grid> BuildFlatTable(core::DatabaseStore& store,
                                         const ecology::TaxaList* taxonInfo,
                                         const std::function<bool(int)>& progress) {
    core::Dataset& locations = store.Locations();
    core::Dataset& samples = store.Samples();
    dbf::DbfTable& locTable = locations.Table();
    dbf::DbfTable& samTable = samples.Table();

    // The headers: every location field, the sample fields from the fifth to the last but one,
    // INFO1 and INFO2, and the names of the list's information fields.
    QStringList headers;
    std::vector<int> locFields;
    for (int f = 0; f < static_cast<int>(locTable.Fields().size()); ++f) {
        headers << QString::fromStdString(locTable.Fields()[static_cast<std::size_t>(f)].name);
        locFields.push_back(f);
    }
    std::vector<int> samFields;
    const int samCount = static_cast<int>(samTable.Fields().size());
    for (int f = 4; f < samCount - 1; ++f) {
        headers << QString::fromStdString(samTable.Fields()[static_cast<std::size_t>(f)].name);
        samFields.push_back(f);
    }
    headers << QStringLiteral("INFO1") << QStringLiteral("INFO2");
    if (taxonInfo)
        headers
            << taxonInfo->AddTaxonTitles(QString()).split(QLatin1Char('\t')).mid(0, kInfoColumns);
    const int columns = static_cast<int>(headers.size());

    // The samples of every location, gathered in one pass in the samples' current order.
    const int samId = samTable.FieldIndex("ID");
    const int samDesmid = samTable.FieldIndex("DESMID");
    const int samInfo = samTable.FieldIndex("DESMIDINFO");
    std::unordered_map<long long, std::vector<std::uint32_t>> byLocation;
    {
        const std::vector<std::uint32_t>* order = nullptr;
        const int tag = samTable.TagIndex(samples.IndexName().toStdString());
        std::vector<std::uint32_t> physical;
        if (tag >= 0) {
            order = &samTable.TagOrder(tag);
        } else {
            physical.resize(samTable.PhysicalCount());
            for (std::uint32_t r = 0; r < samTable.PhysicalCount(); ++r)
                physical[r] = r + 1;
            order = &physical;
        }
        for (std::uint32_t r : *order) {
            if (samTable.IsDeleted(r))
                continue;
            const std::optional<long long> id = samTable.Integer(samTable.Record(r), samId);
            if (id)
                byLocation[*id].push_back(r);
        }
    }

    // The locations in the order of their current tag.
    std::vector<std::uint32_t> locOrder;
    {
        const int tag = locTable.TagIndex(locations.IndexName().toStdString());
        if (tag >= 0) {
            locOrder = locTable.TagOrder(tag);
        } else {
            for (std::uint32_t r = 1; r <= locTable.PhysicalCount(); ++r)
                locOrder.push_back(r);
        }
    }
    const int locId = locTable.FieldIndex("ID");
    std::size_t rows = 1;
    for (std::uint32_t r : locOrder) {
        if (locTable.IsDeleted(r))
            continue;
        if (const std::optional<long long> id = locTable.Integer(locTable.Record(r), locId))
            if (auto it = byLocation.find(*id); it != byLocation.end())
                rows += it->second.size();
    }

    core::Grid grid(columns, static_cast<int>(rows));
    grid.SetRow(0, headers);
    int row = 1;
    const std::size_t total = std::max<std::size_t>(1, locOrder.size());
    std::size_t done = 0;
    for (std::uint32_t r : locOrder) {
        ++done;
        if (locTable.IsDeleted(r))
            continue;
        const char* locRecord = locTable.Record(r);
        const std::optional<long long> id = locTable.Integer(locRecord, locId);
        auto it = id ? byLocation.find(*id) : byLocation.end();
        if (it != byLocation.end()) {
            QStringList location;
            location.reserve(static_cast<qsizetype>(locFields.size()));
            for (int f : locFields)
                location << Text(locTable, locRecord, f);
            for (std::uint32_t s : it->second) {
                const char* samRecord = samTable.Record(s);
                QStringList cells = location;
                cells.reserve(columns);
                for (int f : samFields)
                    cells << Text(samTable, samRecord, f);
                const auto [info1, info2] = SplitInfo(Text(samTable, samRecord, samInfo));
                cells << info1 << info2;
                if (taxonInfo) {
                    if (samTable.IsNull(samRecord, samDesmid)) {
                        for (int i = 0; i < kInfoColumns; ++i)
                            cells << QString();
                    } else {
                        cells << taxonInfo
                                     ->AddTaxonInfo(Text(samTable, samRecord, samDesmid), QString())
                                     .split(QLatin1Char('\t'))
                                     .mid(0, kInfoColumns);
                    }
                }
                grid.SetRow(row++, std::move(cells));
            }
        }
        if (progress && progress(static_cast<int>((done * 100 + total / 2) / total)))
            return std::nullopt;
    }

    // Year, month, day, ID, name, X coordinate and taxon name.
    auto column = [&](const char* name) {
        return static_cast<int>(headers.indexOf(QString::fromLatin1(name)));
    };
    const std::array<int, 7> sortColumns = {column("JAAR"),  column("MAAND"),   column("DAG"),
                                            column("ID"),    column("LOCATIE"), column("COORDX"),
                                            column("DESMID")};
    if (std::all_of(sortColumns.begin(), sortColumns.end(), [](int c) { return c >= 0; }))
        core::SortGridBySevenColumns(grid, sortColumns);
    return grid;
}

bool ExportDatabase(core::DatabaseStore& store, const ecology::TaxaList* taxonInfo,
                    const QString& path, ExportFormat format) {
    core::Prompts& prompts = core::UserPrompts();
    if (format == ExportFormat::Spreadsheet && core::IsFileInUse(path)) {
        prompts.Message(ResStr(rsExportFileInUse), core::MessageKind::Warning);
        return false;
    }
    core::Dataset& locations = store.Locations();
    core::Dataset& samples = store.Samples();
    locations.DisableControls();
    samples.DisableControls();
    struct Resume {
        core::Dataset& a;
        core::Dataset& b;
        ~Resume() {
            a.EnableControls();
            b.EnableControls();
        }
    } resume{locations, samples};

    prompts.SetProgressRange(0, 100);
    prompts.StartProgress();
    std::optional<core::Grid> grid;
    try {
        grid = BuildFlatTable(store, taxonInfo,
                              [&](int percent) { return prompts.StepProgress(percent); });
    } catch (...) {
        prompts.FinishProgress();
        throw;
    }
    if (!grid)
        return false; // cancelled: nothing written
    prompts.FinishProgress();

    try {
        switch (format) {
        case ExportFormat::Text:
            core::SaveGridAsTSV(*grid, path);
            return true;
        case ExportFormat::Spreadsheet: {
            const QFileInfo info(path);
            const QString withoutExtension =
                info.suffix().isEmpty() ? path
                                        : info.path() + QLatin1Char('/') + info.completeBaseName();
            if (core::ExcelVersion() != 0)
                return core::ExcelWriteGrid(*grid, store.Name(), withoutExtension);
            return core::SaveGridAsXLS(*grid, withoutExtension + QStringLiteral(".xls"));
        }
        }
    } catch (const core::Error& e) {
        prompts.Message(ResStr(rsExportFailed) + QLatin1Char('\n') + e.Message(),
                        core::MessageKind::Error);
    }
    return false;
}

} // namespace velmora::recording
