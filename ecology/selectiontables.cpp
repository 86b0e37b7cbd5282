#include "ecology/selectiontables.h"

#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/error.h"
#include "core/grid/gridfiles.h"
#include "core/grid/gridsort.h"
#include "core/prompts.h"
#include "core/spreadsheet/spreadsheet.h"
#include "core/text/textfile.h"
#include "core/text/textutils.h"
#include "ecology/messages.h"
#include "ecology/naturevaluetally.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace velmora::ecology {

namespace dbf = core::dbf;
using core::Dataset;
using core::Grid;
using core::RecordText;

void TableFilter::Trim() {
    year = year.trimmed();
    taxon = taxon.trimmed();
    owner = owner.trimmed();
    location = location.trimmed();
}

namespace {

const QString kSelectedMark = QStringLiteral("S");

// The fields of the locations table the tables read, by position (-1 when the table lacks one).
struct LocationFields {
    explicit LocationFields(const dbf::DbfTable& t)
        : id(t.FieldIndex("ID")), locatie(t.FieldIndex("LOCATIE")), dag(t.FieldIndex("DAG")),
          maand(t.FieldIndex("MAAND")), jaar(t.FieldIndex("JAAR")),
          zuurgraad(t.FieldIndex("ZUURGRAAD")), coordX(t.FieldIndex("COORDX")),
          coordY(t.FieldIndex("COORDY")), analist(t.FieldIndex("ANALIST")),
          owner(t.FieldIndex("OWNER")), ph(t.FieldIndex("PH")),
          geleiding(t.FieldIndex("GELEIDING")) {}
    int id, locatie, dag, maand, jaar, zuurgraad, coordX, coordY, analist, owner, ph, geleiding;

    // JAAR-MAAND-DAG as stored.
    QString Date(const dbf::DbfTable& t, const char* rec) const {
        return RecordText(t, rec, jaar) + QLatin1Char('-') + RecordText(t, rec, maand) +
               QLatin1Char('-') + RecordText(t, rec, dag);
    }
};

// The fields of a sample the tables read.
struct SampleFields {
    explicit SampleFields(const dbf::DbfTable& t)
        : id(t.FieldIndex("ID")), desmid(t.FieldIndex("DESMID")), abund(t.FieldIndex("ABUND")),
          dl(t.FieldIndex("DL")), zygo(t.FieldIndex("ZYGO")), zeker(t.FieldIndex("ZEKER")),
          info(t.FieldIndex("DESMIDINFO")) {}
    int id, desmid, abund, dl, zygo, zeker, info;
};

std::optional<long long> RecordId(const dbf::DbfTable& table, const char* rec, int field) {
    if (field < 0)
        return std::nullopt;
    try {
        return table.Integer(rec, field);
    } catch (const std::exception&) {
        return std::nullopt; // a damaged ID belongs to no event
    }
}

// The IDs of the events with a sample whose name contains the text, letter case ignored.
QSet<long long> EventsWithTaxon(Dataset& samples, const QString& text) {
    QSet<long long> ids;
    const dbf::DbfTable& table = samples.Table();
    const SampleFields f(table);
    QHash<QString, bool> matches; // a name repeats in many samples
    for (std::uint32_t r = 1; r <= table.PhysicalCount(); ++r) {
        const char* rec = table.Record(r);
        if (rec[0] == '*')
            continue;
        const QString name = RecordText(table, rec, f.desmid);
        auto it = matches.constFind(name);
        if (it == matches.constEnd())
            it = matches.insert(name, name.contains(text, Qt::CaseInsensitive));
        if (*it) {
            if (const std::optional<long long> id = RecordId(table, rec, f.id))
                ids.insert(*id);
        }
    }
    return ids;
}

// The event's record, the locations table positioned on it; nullptr when no event has the ID.
const char* LocateEvent(Dataset& locations, const QString& idText) {
    bool ok = false;
    const long long id = idText.toLongLong(&ok);
    if (!ok || !locations.Locate(QStringLiteral("ID"), QVariant(id)))
        return nullptr;
    return locations.Table().Record(static_cast<std::uint32_t>(locations.RecNo()));
}

QString RowId(const Grid& table, int row) {
    const QString& cell = table.Cell(LcId, row);
    return cell.startsWith(kSelectedMark) ? cell.mid(1) : cell;
}

// Calls visit(record) for every sample of the event, in the order of the samples' "ID" tag.
// REQUIRES: the samples' active tag is "ID".
template <class Visit> void ForEachSample(Dataset& samples, const QString& idText, Visit visit) {
    bool ok = false;
    const long long id = idText.toLongLong(&ok);
    if (!ok || !samples.Locate(QStringLiteral("ID"), QVariant(id)))
        return;
    const dbf::DbfTable& table = samples.Table();
    const int fId = table.FieldIndex("ID");
    while (!samples.Eof()) {
        const char* rec = table.Record(static_cast<std::uint32_t>(samples.RecNo()));
        if (RecordId(table, rec, fId) != id)
            break;
        visit(rec);
        samples.Next();
    }
}

// The first character of a field, blanks removed; empty for a blank field.
QString FirstCharacter(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.left(1);
}

// A location number as typed (digits) or assigned; 0 when empty.
long long LocationNumber(const Grid& table, int row) {
    return table.Cell(LcMerge, row).trimmed().toLongLong();
}

void AppendRow(Grid& grid, const QStringList& cells) {
    const int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    grid.SetRow(row, cells);
}

QStringList LocationListHeaders() {
    return {QStringLiteral("MNr"),  QStringLiteral("Nr"), ResStr(rsHdrLocations),
            ResStr(rsHdrDatum),     QStringLiteral("X"),  QStringLiteral("Y"),
            ResStr(rsHdrZuurgraad), QStringLiteral("pH"), QStringLiteral("EC")};
}

} // namespace

// ---------------------------------------------------------------- location table

bool PassesYearFilter(const QString& jaar, const QString& year) {
    if (year.size() == 4)
        return jaar == year;
    if (year.size() == 9)
        return jaar >= year.left(4) && jaar <= year.right(4);
    return true;
}

Grid FillLocationTable(Dataset& locations, Dataset& samples, const TableFilter& filter) {
    Grid grid(LocationColumnCount, 1);
    grid.SetRow(0, {QString(), ResStr(rsHdrLocatie), ResStr(rsHdrDatum), QStringLiteral("X"),
                    QStringLiteral("Y"), QStringLiteral("pH"), QStringLiteral("EC"),
                    ResStr(rsHdrAnalist), QStringLiteral("Merge")});
    dbf::DbfTable& table = locations.Table();
    const LocationFields f(table);
    const Qt::CaseSensitivity cs = filter.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool byTaxon = !filter.taxon.isEmpty();
    const QSet<long long> withTaxon =
        byTaxon ? EventsWithTaxon(samples, filter.taxon) : QSet<long long>();
    auto passes = [&](const char* rec) {
        if (!PassesYearFilter(RecordText(table, rec, f.jaar), filter.year))
            return false;
        if (!filter.owner.isEmpty() && !RecordText(table, rec, f.owner).contains(filter.owner, cs))
            return false;
        if (!filter.location.isEmpty() &&
            !RecordText(table, rec, f.locatie).contains(filter.location, cs))
            return false;
        if (!filter.analyst.isEmpty() &&
            !RecordText(table, rec, f.analist).contains(filter.analyst, Qt::CaseInsensitive))
            return false;
        if (byTaxon) {
            const std::optional<long long> id = RecordId(table, rec, f.id);
            return id && withTaxon.contains(*id);
        }
        return true;
    };
    std::vector<QStringList> rows;
    auto add = [&](std::uint32_t r) {
        const char* rec = table.Record(r);
        if (rec[0] == '*' || !passes(rec))
            return;
        rows.push_back({RecordText(table, rec, f.id), RecordText(table, rec, f.locatie),
                        f.Date(table, rec), RecordText(table, rec, f.coordX),
                        RecordText(table, rec, f.coordY), RecordText(table, rec, f.ph),
                        RecordText(table, rec, f.geleiding), RecordText(table, rec, f.analist),
                        QString()});
    };
    if (const int tag = table.TagIndex("Datum"); tag >= 0) {
        for (std::uint32_t r : table.TagOrder(tag))
            add(r);
    } else {
        for (std::uint32_t r = 1; r <= table.PhysicalCount(); ++r)
            add(r);
    }
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        grid.SetRow(static_cast<int>(i) + 1, std::move(rows[i]));
    core::SortGridByTwoColumns(grid, LcLocatie, LcDatum, false);
    return grid;
}

bool IsSelectedRow(const Grid& table, int row) {
    return row > 0 && table.Cell(LcId, row).startsWith(kSelectedMark);
}

void SetRowSelected(Grid& table, int row, bool selected) {
    if (IsSelectedRow(table, row) == selected)
        return;
    const QString id = RowId(table, row);
    table.SetCell(LcId, row, selected ? kSelectedMark + id : id);
}

bool HasSelectedRow(const Grid& table) {
    for (int row = 1; row < table.RowCount(); ++row)
        if (IsSelectedRow(table, row))
            return true;
    return false;
}

void ChangeSelection(Grid& table, SelectionChange change) {
    for (int row = 1; row < table.RowCount(); ++row) {
        switch (change) {
        case SelectionChange::All:
            SetRowSelected(table, row, true);
            break;
        case SelectionChange::Invert:
            SetRowSelected(table, row, !IsSelectedRow(table, row));
            break;
        case SelectionChange::None:
            SetRowSelected(table, row, false);
            break;
        }
    }
}

void SortLocationTable(Grid& table, int column, bool descending) {
    switch (column) {
    case LcLocatie:
        core::SortGridByTwoColumns(table, LcLocatie, LcDatum, descending);
        break;
    case LcDatum:
        core::SortGridByTwoColumns(table, LcDatum, LcLocatie, descending);
        break;
    case LcX:
    case LcY:
    case LcAnalist:
        core::SortGridByText(table, column, descending);
        break;
    case LcPh:
        core::SortGridByDecimal(table, column, descending);
        break;
    case LcEc:
        core::SortGridByInteger(table, column, descending);
        break;
    case LcMerge:
        AssignLocationNumbers(table);
        break;
    default:
        break;
    }
}

void AssignLocationNumbers(Grid& table) {
    long long highest = 0;
    for (int row = 1; row < table.RowCount(); ++row)
        if (IsSelectedRow(table, row))
            highest = std::max(highest, LocationNumber(table, row));
    for (int row = 1; row < table.RowCount(); ++row)
        if (IsSelectedRow(table, row) && table.Cell(LcMerge, row).trimmed().isEmpty())
            table.SetCell(LcMerge, row, QString::number(++highest));
    core::SortGridByInteger(table, LcMerge, false);
}

LocationLists BuildLocationList(Dataset& locations, const Grid& table) {
    LocationLists lists;
    dbf::DbfTable& t = locations.Table();
    const LocationFields f(t);
    const int fieldCount = static_cast<int>(t.Fields().size());
    lists.list.Reset(9, 1);
    lists.list.SetRow(0, LocationListHeaders());
    lists.full.Reset(fieldCount, 1);
    QStringList names;
    for (const dbf::FieldDef& def : t.Fields())
        names << QString::fromStdString(def.name);
    lists.full.SetRow(0, names);
    int running = 0;
    for (int row = 1; row < table.RowCount(); ++row) {
        if (!IsSelectedRow(table, row))
            continue;
        const char* rec = LocateEvent(locations, RowId(table, row));
        if (!rec)
            continue; // deleted since the table was made
        AppendRow(lists.list,
                  {table.Cell(LcMerge, row), QString::number(++running),
                   RecordText(t, rec, f.locatie), f.Date(t, rec), RecordText(t, rec, f.coordX),
                   RecordText(t, rec, f.coordY), RecordText(t, rec, f.zuurgraad),
                   RecordText(t, rec, f.ph), RecordText(t, rec, f.geleiding)});
        QStringList all;
        for (int field = 0; field < fieldCount; ++field)
            all << RecordText(t, rec, field);
        AppendRow(lists.full, all);
    }
    return lists;
}

// ---------------------------------------------------------------- species list

namespace {

// The marks of an abundance cell, in the order they are written.
constexpr const char* kMarks[] = {"N", "D", "?", "sp"};
constexpr int kMarkCount = 4;

QString CellText(const QString& abundance, const std::array<bool, kMarkCount>& marks) {
    QString cell = abundance;
    for (int m = 0; m < kMarkCount; ++m)
        if (marks[static_cast<std::size_t>(m)])
            cell += QLatin1Char(' ') + QLatin1String(kMarks[m]);
    return cell;
}

class SpeciesListBuilder {
public:
    SpeciesListBuilder(const SelectionSource& source, const SelectionOptions& options)
        : m_source(source), m_options(options), m_samples(source.samples.Table()), m_f(m_samples) {}

    void AddEvent(const Grid& table, int row);
    Grid Finish(LocationLists& lists) const;

private:
    struct TaxonRow {
        QString name;
        QString r, s, redList;
        QHash<int, QString> cells; // by location column ordinal (from 1)
    };
    struct Column {
        QString number, x, y, ph, ec;
    };

    void AddSample(const char* rec);
    void SetAside(const QString& prefix, const QString& name);

    const SelectionSource& m_source;
    const SelectionOptions& m_options;
    const dbf::DbfTable& m_samples;
    const SampleFields m_f;
    std::vector<Column> m_columns;
    long long m_previousNumber = 0;
    std::vector<TaxonRow> m_rows;
    QHash<QString, std::size_t> m_rowOf; // folded name -> m_rows index
    QStringList m_setAside;
    QHash<QString, qsizetype> m_setAsideOf; // folded key -> m_setAside index
};

void SpeciesListBuilder::AddEvent(const Grid& table, int row) {
    const long long number = LocationNumber(table, row);
    if (m_columns.empty() || number > m_previousNumber)
        m_columns.push_back({table.Cell(LcMerge, row), {}, {}, {}, {}});
    m_previousNumber = number;
    Column& column = m_columns.back();
    for (auto [cell, from] : {std::pair{&column.x, LcX}, std::pair{&column.y, LcY},
                              std::pair{&column.ph, LcPh}, std::pair{&column.ec, LcEc}})
        if (cell->isEmpty())
            *cell = table.Cell(from, row);
    ForEachSample(m_source.samples, RowId(table, row), [this](const char* rec) { AddSample(rec); });
}

void SpeciesListBuilder::SetAside(const QString& prefix, const QString& name) {
    const QString key = prefix + name;
    const QString ordinal = QString::number(m_columns.size());
    const QString folded = FoldCase(key);
    auto it = m_setAsideOf.constFind(folded);
    if (it == m_setAsideOf.constEnd()) {
        m_setAsideOf.insert(folded, m_setAside.size());
        m_setAside << key + QStringLiteral(" ( ") + ordinal + QStringLiteral(" )");
        return;
    }
    QString& line = m_setAside[*it];
    line.chop(2);
    line += QStringLiteral(", ") + ordinal + QStringLiteral(" )");
}

void SpeciesListBuilder::AddSample(const char* rec) {
    const QString desmid = RecordText(m_samples, rec, m_f.desmid).trimmed();
    QString name = desmid;
    if (m_options.currentNames)
        name = m_source.taxaList.CurrentName(name);
    const QString certainty = FirstCharacter(RecordText(m_samples, rec, m_f.zeker));
    const QString abund = RecordText(m_samples, rec, m_f.abund).trimmed();
    const QString dl = FirstCharacter(RecordText(m_samples, rec, m_f.dl));
    if (m_options.ignoreVarieties)
        name = SpeciesName(name);

    bool setAside = false;
    if (m_options.ignoreNotInList && !m_source.searchList.Contains(name)) {
        SetAside(QStringLiteral("NIT: "), name);
        setAside = true;
    }
    if (m_options.ignoreUncertain &&
        (!certainty.isEmpty() || (IsUncertainName(name) && !setAside))) {
        SetAside(QStringLiteral("N: "), name);
        setAside = true;
    }
    if (m_options.ignoreDead && !setAside &&
        (abund.startsWith(QLatin1Char('0')) || dl == QLatin1String("D"))) {
        SetAside(QStringLiteral("D: "), name);
        setAside = true;
    }
    if (setAside || IsNoDesmidsName(name))
        return;

    const QString a =
        abund == QLatin1String("2") || abund == QLatin1String("3") ? abund : QStringLiteral("1");
    const std::array<bool, kMarkCount> marks = {
        !certainty.isEmpty(), dl == QLatin1String("D"), desmid.contains(QLatin1Char('?')),
        !RecordText(m_samples, rec, m_f.zygo).trimmed().isEmpty()};
    const int ordinal = static_cast<int>(m_columns.size());

    const QString folded = FoldCase(name);
    auto found = m_rowOf.constFind(folded);
    if (found == m_rowOf.constEnd()) {
        TaxonRow row;
        row.name = name;
        if (const qsizetype i = m_source.taxaList.FindTaxon(name); i >= 0) {
            const AnnotatedTaxa& taxa = m_source.taxaList.Taxa();
            row.r = taxa.r[i] == QLatin1String("0") ? QString() : taxa.r[i];
            row.s = taxa.s[i];
            row.redList = taxa.redList[i];
        }
        row.cells.insert(ordinal, CellText(a, marks));
        m_rowOf.insert(folded, m_rows.size());
        m_rows.push_back(std::move(row));
        return;
    }
    QString& cell = m_rows[*found].cells[ordinal];
    if (cell.isEmpty()) {
        cell = CellText(a, marks);
        return;
    }
    // Another sample of the same location: the abundances joined (or the smallest kept), each
    // mark once.
    const QStringList parts = cell.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString old = parts.value(0);
    std::array<bool, kMarkCount> merged = marks;
    for (int m = 0; m < kMarkCount; ++m)
        if (parts.mid(1).contains(QLatin1String(kMarks[m])))
            merged[static_cast<std::size_t>(m)] = true;
    auto isClass = [](const QString& t) {
        return t == QLatin1String("1") || t == QLatin1String("2") || t == QLatin1String("3");
    };
    QString abundance;
    if (m_options.mergeAbundances && isClass(old) && isClass(a))
        abundance = std::min(old, a);
    else
        abundance = old + QLatin1Char('\\') + a;
    cell = CellText(abundance, merged);
}

Grid SpeciesListBuilder::Finish(LocationLists& lists) const {
    const int locationCount = static_cast<int>(m_columns.size());
    const int taxonCount = static_cast<int>(m_rows.size());
    Grid grid(5 + locationCount, 6 + taxonCount);
    grid.SetCell(1, 0, ResStr(rsHdrLocationNumber));
    grid.SetCell(1, 1, ResStr(rsHdrXCoord));
    grid.SetCell(1, 2, ResStr(rsHdrYCoord));
    grid.SetCell(1, 3, QStringLiteral("pH"));
    grid.SetCell(1, 4, ResStr(rsHdrConductivity));
    grid.SetCell(2, 5, QStringLiteral("r"));
    grid.SetCell(3, 5, QStringLiteral("s"));
    grid.SetCell(4, 5, QStringLiteral("RL"));
    for (int c = 0; c < locationCount; ++c) {
        const Column& column = m_columns[static_cast<std::size_t>(c)];
        grid.SetCell(5 + c, 0, column.number);
        grid.SetCell(5 + c, 1, column.x);
        grid.SetCell(5 + c, 2, column.y);
        grid.SetCell(5 + c, 3, column.ph);
        grid.SetCell(5 + c, 4, column.ec);
    }
    for (int t = 0; t < taxonCount; ++t) {
        const TaxonRow& taxon = m_rows[static_cast<std::size_t>(t)];
        QStringList cells = {QString(), taxon.name, taxon.r, taxon.s, taxon.redList};
        for (int c = 1; c <= locationCount; ++c)
            cells << taxon.cells.value(c);
        grid.SetRow(6 + t, cells);
    }
    core::SortGridByTextFrom(grid, 1, 6);
    for (int t = 0; t < taxonCount; ++t)
        grid.SetCell(0, 6 + t, QString::number(t + 1));

    if (!m_setAside.isEmpty()) {
        QStringList lines = m_setAside;
        std::sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
            const int c = core::CompareText(a, b);
            return c != 0 ? c < 0 : a < b;
        });
        grid.SetRowCount(grid.RowCount() + 2);
        grid.SetCell(1, grid.RowCount() - 1, ResStr(rsSetAsideLegend));
        for (const QString& line : lines) {
            grid.SetRowCount(grid.RowCount() + 1);
            grid.SetCell(1, grid.RowCount() - 1, line);
        }
    }

    // The red-list block of the location lists, and the authors.
    QStringList redList;
    for (int t = 0; t < taxonCount; ++t) {
        const QString name = grid.Cell(1, 6 + t);
        if (m_options.authors) {
            if (const std::optional<QString> author = m_source.taxaList.Author(name))
                grid.SetCell(1, 6 + t, name + QLatin1Char(' ') + author->toUpper());
        }
        if (m_source.taxaList.IsRedListTaxon(name)) {
            QStringList numbers;
            for (int c = 0; c < locationCount; ++c)
                if (!grid.Cell(5 + c, 6 + t).isEmpty())
                    numbers << grid.Cell(5 + c, 0);
            redList << name + QStringLiteral(" ( ") + numbers.join(QStringLiteral(", ")) +
                           QStringLiteral(" )");
        }
    }
    for (Grid* list : {&lists.list, &lists.full}) {
        const int columns = list->ColCount();
        auto line = [&](const QString& text) {
            AppendRow(*list, QStringList());
            if (columns > 2)
                list->SetCell(2, list->RowCount() - 1, text);
        };
        line(QString());
        line(ResStr(rsRedListBlock));
        for (const QString& text : redList)
            line(text);
        line(QString());
    }
    return grid;
}

// The samples' "ID" order for the walk of the events' samples; the tag the samples had is
// theirs again afterwards.
struct SampleOrder {
    explicit SampleOrder(Dataset& samples) : samples(samples), tag(samples.IndexName()) {
        samples.SetIndexName(QStringLiteral("ID"));
    }
    ~SampleOrder() {
        try {
            samples.SetIndexName(tag);
        } catch (const std::exception&) {
        }
    }
    Dataset& samples;
    QString tag;
};

} // namespace

SpeciesListResult BuildSpeciesList(const SelectionSource& source, Grid& locationTable,
                                   const SelectionOptions& options, NatureValueTally& tally) {
    SpeciesListResult result;
    AssignLocationNumbers(locationTable);
    result.lists = BuildLocationList(source.locations, locationTable);
    SampleOrder order(source.samples);
    SpeciesListBuilder builder(source, options);
    for (int row = 1; row < locationTable.RowCount(); ++row) {
        if (!IsSelectedRow(locationTable, row))
            continue;
        builder.AddEvent(locationTable, row);
        if (source.afterEvent)
            source.afterEvent();
    }
    result.table = builder.Finish(result.lists);
    tally.ClearData();
    return result;
}

// ---------------------------------------------------------------- nature value table

namespace {

constexpr int kNatureValueColumns = 23;

QStringList NatureValueHeaders() {
    QStringList headers = {QString(),
                           ResStr(rsHdrLocatie),
                           ResStr(rsHdrDatum),
                           ResStr(rsHdrNatuurwaarde),
                           ResStr(rsHdrRedList),
                           ResStr(rsHdrDn),
                           ResStr(rsHdrRn),
                           ResStr(rsHdrSn),
                           QStringLiteral("D (0-3)"),
                           QStringLiteral("R (0-3)"),
                           QStringLiteral("S (0-4)")};
    for (int c = 0; c < SpectrumClassCount; ++c)
        headers << SpectrumCaption(c);
    return headers;
}

class NatureValueBuilder {
public:
    NatureValueBuilder(const SelectionSource& source, const SelectionOptions& options,
                       NatureValueTally& tally)
        : m_source(source), m_options(options), m_tally(tally),
          m_locTable(source.locations.Table()), m_loc(m_locTable),
          m_samTable(source.samples.Table()), m_sam(m_samTable) {}

    // The event's samples added to the tally; per location its milieu, or in total mode the
    // milieu of all events so far. The event's record; nullptr when the event is gone.
    const char* AddEvent(const QString& id, bool total) {
        const char* rec = LocateEvent(m_source.locations, id);
        if (!rec)
            return nullptr;
        if (total) {
            m_tally.SetMilieu(m_milieus.Combined());
        } else {
            const QString zuurgraad = RecordText(m_locTable, rec, m_loc.zuurgraad);
            m_tally.SetMilieu(zuurgraad.trimmed().isEmpty() ? MilieuZwakZuur
                                                            : MilieuOfZuurgraad(zuurgraad));
            m_milieus.Add(zuurgraad);
        }
        ForEachSample(m_source.samples, id, [this](const char* s) {
            QString name = RecordText(m_samTable, s, m_sam.desmid);
            if (m_options.currentNames)
                name = m_source.taxaList.CurrentName(name);
            if (m_options.ignoreVarieties)
                name = SpeciesName(name);
            const bool excluded =
                m_options.ignoreUncertain &&
                !IsCountedRecord(RecordText(m_samTable, s, m_sam.zeker),
                                 RecordText(m_samTable, s, m_sam.abund),
                                 RecordText(m_samTable, s, m_sam.dl), CountedRecordRule::Tables);
            m_tally.AddTaxon(name, excluded);
        });
        return rec;
    }

    // The tally's result into the last row, with the event's name and date.
    void WriteRow(Grid& grid, const char* rec) {
        m_tally.ComputeNatureValue();
        const NatureValueResult& r = m_tally.Result();
        const int row = grid.RowCount() - 1;
        QStringList cells = {grid.Cell(0, row),
                             RecordText(m_locTable, rec, m_loc.locatie),
                             m_loc.Date(m_locTable, rec),
                             r.nw,
                             r.rl,
                             r.dn,
                             r.rn,
                             r.sn,
                             r.dValue,
                             r.rValue,
                             r.sValue};
        for (const QString& percent : r.percent)
            cells << percent;
        grid.SetRow(row, cells);
    }

private:
    const SelectionSource& m_source;
    const SelectionOptions& m_options;
    NatureValueTally& m_tally;
    const dbf::DbfTable& m_locTable;
    const LocationFields m_loc;
    const dbf::DbfTable& m_samTable;
    const SampleFields m_sam;
    MilieuSet m_milieus;
};

} // namespace

NatureValueTableResult BuildNatureValueTable(const SelectionSource& source, Grid& locationTable,
                                             const SelectionOptions& options,
                                             NatureValueTally& tally) {
    NatureValueTableResult result;
    AssignLocationNumbers(locationTable);
    result.lists = BuildLocationList(source.locations, locationTable);
    SampleOrder order(source.samples);
    NatureValueBuilder builder(source, options, tally);
    Grid& grid = result.table;
    grid.Reset(kNatureValueColumns, 1);
    grid.SetRow(0, NatureValueHeaders());
    std::optional<long long> previous;
    for (int row = 1; row < locationTable.RowCount(); ++row) {
        if (!IsSelectedRow(locationTable, row))
            continue;
        const long long number = LocationNumber(locationTable, row);
        const QString id = RowId(locationTable, row);
        if (!previous || number != *previous) {
            tally.ClearData();
            AppendRow(grid, {locationTable.Cell(LcMerge, row)});
            previous = number;
        }
        if (const char* rec = builder.AddEvent(id, false))
            builder.WriteRow(grid, rec);
        if (source.afterEvent)
            source.afterEvent();
    }
    if (grid.RowCount() == 1) {
        core::UserPrompts().Message(ResStr(rsNoSelection), core::MessageKind::Information);
        return {};
    }
    AppendRow(grid, {});
    AppendRow(grid, {});
    tally.ClearData();
    const char* last = nullptr;
    for (int row = 1; row < locationTable.RowCount(); ++row) {
        if (IsSelectedRow(locationTable, row)) {
            if (const char* rec = builder.AddEvent(RowId(locationTable, row), true))
                last = rec;
        }
    }
    if (last) {
        builder.WriteRow(grid, last);
    } else {
        tally.ComputeNatureValue();
    }
    grid.SetCell(1, grid.RowCount() - 1, ResStr(rsAllLocations));
    grid.SetCell(2, grid.RowCount() - 1, QString());
    return result;
}

void SortNatureValueTable(Grid& table, int column) {
    if (column <= 0 || column >= table.ColCount() || table.RowCount() < 4)
        return;
    // The empty row and the total row stay out of the sort.
    const int rows = table.RowCount();
    const QStringList empty = table.Row(rows - 2);
    const QStringList total = table.Row(rows - 1);
    Grid sorted = table;
    sorted.SetRowCount(rows - 2);
    if (column == 1)
        core::SortGridByTwoColumns(sorted, 1, 2, false);
    else if (column == 2)
        core::SortGridByText(sorted, 2, false);
    else
        core::SortGridByDecimal(sorted, column, false); // whole numbers, and decimals too
    sorted.SetRowCount(rows);
    sorted.SetRow(rows - 2, empty);
    sorted.SetRow(rows - 1, total);
    for (int row = 0; row < rows; ++row)
        table.SetRow(row, sorted.Row(row));
}

void TransposeTable(Grid& table) {
    const int columns = table.ColCount();
    const int rows = table.RowCount();
    Grid transposed(rows, std::max(0, columns - 1));
    for (int c = 1; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            transposed.SetCell(r, c - 1, table.Cell(c, r));
    table.Reset(transposed.ColCount(), transposed.RowCount());
    for (int r = 0; r < transposed.RowCount(); ++r)
        table.SetRow(r, transposed.Row(r));
}

// ---------------------------------------------------------------- saving

QString DefaultTableFileName(const TableFilter& filter, TableView view) {
    QStringList parts;
    for (const QString* text :
         {&filter.taxon, &filter.owner, &filter.location, &filter.analyst, &filter.year})
        if (!text->trimmed().isEmpty())
            parts << text->trimmed();
    QString name = parts.join(QLatin1Char('-'));
    switch (view) {
    case TableView::LocationTable:
        name += QStringLiteral("-Locatietabel");
        break;
    case TableView::NatureValueTable:
        name += QStringLiteral("-Natuurwaardetabel");
        break;
    case TableView::SpeciesList:
        name += QStringLiteral("-Soortenlijst");
        break;
    }
    if (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    // A filter text may hold a character no file name can (a year range "2019/2020").
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return name;
}

QString LocationListFileName(const QString& resultPath) {
    const QFileInfo info(resultPath);
    QString name =
        info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("-LocatieLijst");
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return name;
}

QString TableSpreadsheetExtension() {
    return core::ExcelVersion() > 11 ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
}

namespace {

QString WithoutExtension(const QString& path) {
    const QFileInfo info(path);
    return info.suffix().isEmpty() ? path
                                   : info.path() + QLatin1Char('/') + info.completeBaseName();
}

void NotSaved(const QString& reason) {
    core::UserPrompts().Message(ResStr(rsTableNotSaved) + QLatin1Char('\n') + reason,
                                core::MessageKind::Error);
}

// One grid in the format; false after a message, or when the user kept an existing file.
bool SaveOne(const Grid& grid, const QString& path, TableFileFormat format,
             const QString& sheetName) {
    try {
        if (format == TableFileFormat::Text) {
            core::SaveGridAsTSV(grid, path);
            return true;
        }
        if (core::ExcelVersion() != 0)
            return core::ExcelWriteGrid(grid, sheetName, WithoutExtension(path));
        return core::SaveGridAsXLS(grid, WithoutExtension(path) + QStringLiteral(".xls"));
    } catch (const core::Error& e) {
        NotSaved(e.Message());
        return false;
    }
}

} // namespace

bool SaveSelectionTable(const Grid& table, const Grid* locationList, const QString& path,
                        TableFileFormat format, const QString& sheetName) {
    if (!SaveOne(table, path, format, sheetName))
        return false;
    if (!locationList)
        return true;
    return SaveOne(*locationList, LocationListFileName(path), format,
                   QStringLiteral("LocatieLijst"));
}

// ---------------------------------------------------------------- export of the selection

bool ExportSelection(Dataset& locations, Dataset& samples, const Grid& locationTable,
                     const TaxaList* taxonInfo, const QString& path) {
    core::Prompts& prompts = core::UserPrompts();
    if (!HasSelectedRow(locationTable)) {
        prompts.Message(ResStr(rsNoSelection), core::MessageKind::Information);
        return false;
    }
    const dbf::DbfTable& locTable = locations.Table();
    const dbf::DbfTable& samTable = samples.Table();
    const int locFieldCount = static_cast<int>(locTable.Fields().size());
    // The sample fields from DESMID to OPMDESMID: the fifth to the eleventh.
    const int samFieldCount = static_cast<int>(samTable.Fields().size());
    const int firstSampleField = 4;
    const int lastSampleField = std::min(10, samFieldCount - 1);
    const SampleFields sam(samTable);

    QString header;
    for (const dbf::FieldDef& def : locTable.Fields())
        header += QString::fromStdString(def.name) + QLatin1Char('\t');
    for (int f = firstSampleField; f <= lastSampleField; ++f)
        header += QString::fromStdString(samTable.Fields()[static_cast<std::size_t>(f)].name) +
                  QLatin1Char('\t');
    header += QStringLiteral("Info 1\tInfo 2\t");
    if (taxonInfo)
        header = taxonInfo->AddTaxonTitles(header);
    QStringList lines = {header};

    SampleOrder order(samples);
    prompts.SetProgressRange(0, 100);
    prompts.StartProgress();
    struct Finish {
        core::Prompts& prompts;
        ~Finish() { prompts.FinishProgress(); }
    } finish{prompts};
    const int rows = locationTable.RowCount();
    int shown = -1;
    for (int row = 1; row < rows; ++row) {
        if (IsSelectedRow(locationTable, row)) {
            const QString id = RowId(locationTable, row);
            if (const char* rec = LocateEvent(locations, id)) {
                QString event;
                for (int f = 0; f < locFieldCount; ++f)
                    event += RecordText(locTable, rec, f) + QLatin1Char('\t');
                ForEachSample(samples, id, [&](const char* s) {
                    QString line = event;
                    for (int f = firstSampleField; f <= lastSampleField; ++f)
                        line += RecordText(samTable, s, f) + QLatin1Char('\t');
                    const auto [info1, info2] = SplitInfo(RecordText(samTable, s, sam.info));
                    line += info1 + QLatin1Char('\t') + info2 + QLatin1Char('\t');
                    const QString desmid = RecordText(samTable, s, sam.desmid);
                    if (taxonInfo && !desmid.isEmpty())
                        line = taxonInfo->AddTaxonInfo(desmid, line);
                    lines << line;
                });
            }
        }
        // The step lets the windows run and reads the cancel request; it is taken when the
        // bar moves, so a long table costs at most a hundred of them.
        const int position = static_cast<int>(std::lround(row * 100.0 / rows));
        if (position == shown)
            continue;
        shown = position;
        if (prompts.StepProgress(position))
            return false; // cancelled: no file
    }
    try {
        core::WriteTextLines(path, lines);
    } catch (const core::Error& e) {
        NotSaved(e.Message());
        return false;
    }
    return true;
}

} // namespace velmora::ecology
