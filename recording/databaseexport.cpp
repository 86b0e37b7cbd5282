#include "recording/databaseexport.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/filelock.h"
#include "core/grid/gridfiles.h"
#include "core/prompts.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/textfile.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"
#include "recording/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace velmora::recording {

namespace dbf = core::dbf;

namespace {

// The seven taxon information columns.
constexpr int kInfoColumns = 7;

using core::RecordText;
using ecology::SplitInfo;

} // namespace

namespace {

// The flat table before it is written: the headers, the texts of every location that has
// samples, and one reference per row (location, sample record), in the table's sorted order.
// The cells of a row are made when the row is written, so a million rows never exist as a
// million lists of texts unless a grid is asked for.
class FlatTable {
public:
    FlatTable(core::DatabaseStore& store, const ecology::TaxaList* taxonInfo)
        : m_samTable(store.Samples().Table()), m_taxonInfo(taxonInfo) {}

    // False when cancelled.
    bool Build(core::DatabaseStore& store, const std::function<bool(int)>& progress);

    const QStringList& Headers() const { return m_headers; }
    std::size_t RowCount() const { return m_rows.size(); }
    // The cells of data row i (from 0).
    QStringList Cells(std::size_t i) const;

private:
    struct Row {
        std::uint32_t location; // index into m_locTexts
        std::uint32_t sample;   // record number
    };
    void Sort();
    QString RowText(std::size_t i) const { return Cells(i).join(QLatin1Char('\n')); }

    dbf::DbfTable& m_samTable;
    const ecology::TaxaList* m_taxonInfo;
    QStringList m_headers;
    std::vector<int> m_samFields;
    int m_samDesmid = -1;
    int m_samInfo = -1;
    std::vector<QStringList> m_locTexts;
    std::vector<QString> m_locKeys; // the trimmed, folded sort key of each location
    std::vector<Row> m_rows;
};

bool FlatTable::Build(core::DatabaseStore& store, const std::function<bool(int)>& progress) {
    core::Dataset& locations = store.Locations();
    core::Dataset& samples = store.Samples();
    dbf::DbfTable& locTable = locations.Table();

    // The headers: every location field, the sample fields from the fifth to the last but one,
    // INFO1 and INFO2, and the names of the list's information fields.
    for (const dbf::FieldDef& f : locTable.Fields())
        m_headers << QString::fromStdString(f.name);
    const int samCount = static_cast<int>(m_samTable.Fields().size());
    for (int f = 4; f < samCount - 1; ++f) {
        m_headers << QString::fromStdString(m_samTable.Fields()[static_cast<std::size_t>(f)].name);
        m_samFields.push_back(f);
    }
    m_headers << QStringLiteral("INFO1") << QStringLiteral("INFO2");
    if (m_taxonInfo)
        m_headers
            << m_taxonInfo->AddTaxonTitles(QString()).split(QLatin1Char('\t')).mid(0, kInfoColumns);
    m_samDesmid = m_samTable.FieldIndex("DESMID");
    m_samInfo = m_samTable.FieldIndex("DESMIDINFO");

    // The samples of every location, gathered in one pass in the samples' current order.
    const int samId = m_samTable.FieldIndex("ID");
    std::unordered_map<long long, std::vector<std::uint32_t>> byLocation;
    {
        const int tag = m_samTable.TagIndex(samples.IndexName().toStdString());
        auto add = [&](std::uint32_t r) {
            if (m_samTable.IsDeleted(r))
                return;
            if (const std::optional<long long> id = m_samTable.Integer(m_samTable.Record(r), samId))
                byLocation[*id].push_back(r);
        };
        if (tag >= 0) {
            for (std::uint32_t r : m_samTable.TagOrder(tag))
                add(r);
        } else {
            for (std::uint32_t r = 1; r <= m_samTable.PhysicalCount(); ++r)
                add(r);
        }
    }

    // The locations in the order of their current tag.
    std::vector<std::uint32_t> locOrder;
    if (const int tag = locTable.TagIndex(locations.IndexName().toStdString()); tag >= 0) {
        locOrder = locTable.TagOrder(tag);
    } else {
        for (std::uint32_t r = 1; r <= locTable.PhysicalCount(); ++r)
            locOrder.push_back(r);
    }
    const int locId = locTable.FieldIndex("ID");
    const int nLocFields = static_cast<int>(locTable.Fields().size());
    std::vector<int> keyFields;
    for (const char* name : {"JAAR", "MAAND", "DAG", "ID", "LOCATIE", "COORDX"})
        keyFields.push_back(locTable.FieldIndex(name));
    const std::size_t total = std::max<std::size_t>(1, locOrder.size());
    std::size_t done = 0;
    for (std::uint32_t r : locOrder) {
        ++done;
        if (!locTable.IsDeleted(r)) {
            const char* record = locTable.Record(r);
            const std::optional<long long> id = locTable.Integer(record, locId);
            auto it = id ? byLocation.find(*id) : byLocation.end();
            if (it != byLocation.end()) {
                QStringList texts;
                texts.reserve(nLocFields);
                for (int f = 0; f < nLocFields; ++f)
                    texts << RecordText(locTable, record, f);
                QString key;
                for (int f : keyFields)
                    if (f >= 0)
                        key += texts[f].trimmed();
                const auto index = static_cast<std::uint32_t>(m_locTexts.size());
                m_locTexts.push_back(std::move(texts));
                m_locKeys.push_back(key.toCaseFolded());
                for (std::uint32_t sample : it->second)
                    m_rows.push_back({index, sample});
            }
        }
        if (progress && progress(static_cast<int>((done * 100 + total / 2) / total)))
            return false;
    }
    Sort();
    return true;
}

// On year, month, day, ID, name, X coordinate and taxon name (each trimmed, joined, letter
// case ignored); rows with equal keys by their full text, then as they were made.
void FlatTable::Sort() {
    QHash<QString, QString> foldedNames; // a taxon name repeats in many rows
    struct Entry {
        QString key;
        std::size_t row;
    };
    std::vector<Entry> entries;
    entries.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const QString name =
            RecordText(m_samTable, m_samTable.Record(m_rows[i].sample), m_samDesmid).trimmed();
        auto it = foldedNames.constFind(name);
        if (it == foldedNames.constEnd())
            it = foldedNames.insert(name, name.toCaseFolded());
        entries.push_back({m_locKeys[m_rows[i].location] + *it, i});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.row < b.row;
    });
    for (auto run = entries.begin(); run != entries.end();) {
        auto end = run + 1;
        while (end != entries.end() && end->key == run->key)
            ++end;
        if (end - run > 1) {
            std::vector<std::tuple<QString, QString, std::size_t>> texts;
            for (auto e = run; e != end; ++e) {
                const QString text = RowText(e->row);
                texts.emplace_back(text.toCaseFolded(), text, e->row);
            }
            std::sort(texts.begin(), texts.end());
            for (std::size_t k = 0; k < texts.size(); ++k)
                run[static_cast<std::ptrdiff_t>(k)].row = std::get<2>(texts[k]);
        }
        run = end;
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const Entry& e : entries)
        sorted.push_back(m_rows[e.row]);
    m_rows = std::move(sorted);
}

QStringList FlatTable::Cells(std::size_t i) const {
    const Row& row = m_rows[i];
    const char* record = m_samTable.Record(row.sample);
    QStringList cells = m_locTexts[row.location];
    cells.reserve(m_headers.size());
    for (int f : m_samFields)
        cells << RecordText(m_samTable, record, f);
    const auto [info1, info2] = SplitInfo(RecordText(m_samTable, record, m_samInfo));
    cells << info1 << info2;
    if (m_taxonInfo) {
        if (m_samDesmid < 0 || m_samTable.IsNull(record, m_samDesmid)) {
            for (int k = 0; k < kInfoColumns; ++k)
                cells << QString();
        } else {
            cells << m_taxonInfo
                         ->AddTaxonInfo(RecordText(m_samTable, record, m_samDesmid), QString())
                         .split(QLatin1Char('\t'))
                         .mid(0, kInfoColumns);
        }
    }
    return cells;
}

core::Grid ToGrid(const FlatTable& table) {
    core::Grid grid(static_cast<int>(table.Headers().size()),
                    static_cast<int>(table.RowCount()) + 1);
    grid.SetRow(0, table.Headers());
    for (std::size_t i = 0; i < table.RowCount(); ++i)
        grid.SetRow(static_cast<int>(i) + 1, table.Cells(i));
    return grid;
}

// The tab-separated file, written as SaveGridAsTSV writes a grid.
void WriteTsv(const FlatTable& table, const QString& path) {
    QString text;
    QByteArray bytes;
    auto line = [&](const QStringList& cells) {
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += core::TsvField(cells[c]);
        }
        text += QLatin1String("\r\n");
        if (text.size() > (4 << 20)) {
            bytes += text.toUtf8();
            text.clear();
        }
    };
    line(table.Headers());
    for (std::size_t i = 0; i < table.RowCount(); ++i)
        line(table.Cells(i));
    bytes += text.toUtf8();
    core::WriteFileAtomically(path, bytes);
}

} // namespace

std::optional<core::Grid> BuildFlatTable(core::DatabaseStore& store,
                                         const ecology::TaxaList* taxonInfo,
                                         const std::function<bool(int)>& progress) {
    FlatTable table(store, taxonInfo);
    if (!table.Build(store, progress))
        return std::nullopt;
    return ToGrid(table);
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
    FlatTable table(store, taxonInfo);
    try {
        if (!table.Build(store, [&](int percent) { return prompts.StepProgress(percent); }))
            return false; // cancelled: nothing written
    } catch (...) {
        prompts.FinishProgress();
        throw;
    }
    prompts.FinishProgress();

    try {
        switch (format) {
        case ExportFormat::Text:
            WriteTsv(table, path);
            return true;
        case ExportFormat::Spreadsheet: {
            const core::Grid grid = ToGrid(table);
            const QFileInfo info(path);
            const QString withoutExtension =
                info.suffix().isEmpty() ? path
                                        : info.path() + QLatin1Char('/') + info.completeBaseName();
            if (core::ExcelVersion() != 0)
                return core::ExcelWriteGrid(grid, store.Name(), withoutExtension);
            return core::SaveGridAsXLS(grid, withoutExtension + QStringLiteral(".xls"));
        }
        }
    } catch (const core::Error& e) {
        prompts.Message(ResStr(rsExportFailed) + QLatin1Char('\n') + e.Message(),
                        core::MessageKind::Error);
    }
    return false;
}

} // namespace velmora::recording
