#include "recording/locationsampleeditor.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/gridsort.h"
#include "core/settings.h"

#include <QDate>

namespace velmora::recording {

using core::Dataset;
using core::DatasetState;

const QStringList& SampleGridHeader() {
    static const QStringList header = {QString(),
                                       QString(),
                                       QStringLiteral("Sieralg"),
                                       QStringLiteral("Abund."),
                                       QStringLiteral("D/L/O"),
                                       QStringLiteral("Zygo"),
                                       QStringLiteral("Afb."),
                                       QStringLiteral("Zeker"),
                                       QStringLiteral("Opmerking"),
                                       QStringLiteral("Info")};
    return header;
}

const QStringList& SampleGridFields() {
    static const QStringList fields = {QStringLiteral("DESMID"),    QStringLiteral("ABUND"),
                                       QStringLiteral("DL"),        QStringLiteral("ZYGO"),
                                       QStringLiteral("FOTO"),      QStringLiteral("ZEKER"),
                                       QStringLiteral("OPMDESMID"), QStringLiteral("DESMIDINFO")};
    return fields;
}

QString PadDayOrMonth(const QString& text) {
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

bool IsValidDate(const QString& day, const QString& month, const QString& year) {
    bool okD = false, okM = false, okY = false;
    int d = day.trimmed().toInt(&okD);
    int m = month.trimmed().toInt(&okM);
    const int y = year.trimmed().toInt(&okY);
    if (!okD || !okM || !okY)
        return false;
    if (d == 0)
        d = 1;
    if (m == 0)
        m = 1;
    return y >= 1 && y <= 9999 && QDate::isValid(y, m, d);
}

QString DecimalCommaRepair(const QString& text) {
    QString out = text;
    const qsizetype dot = out.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        out[dot] = QLatin1Char(',');
    return out;
}

LocationSampleEditor::LocationSampleEditor(core::DatabaseStore& store) : m_store(store) {}

QString LocationSampleEditor::LocationDatum() {
    Dataset& loc = m_store.Locations();
    return loc.FieldByName(QStringLiteral("JAAR")).AsString() + QLatin1Char('-') +
           loc.FieldByName(QStringLiteral("MAAND")).AsString() + QLatin1Char('-') +
           loc.FieldByName(QStringLiteral("DAG")).AsString();
}

namespace {
core::SquareCodePair CodesOfCurrentLocation(core::DatabaseStore& store) {
    Dataset& loc = store.Locations();
    return core::SquareCodes(loc.FieldByName(QStringLiteral("COORDX")).AsString(),
                             loc.FieldByName(QStringLiteral("COORDY")).AsString(),
                             store.CoordinateSystem(), core::CurrentSettings().language);
}
} // namespace

void LocationSampleEditor::Apply() {
    Dataset& samples = m_store.Samples();
    if (samples.State() != DatasetState::Edit && samples.State() != DatasetState::Insert)
        throw core::Error(QStringLiteral("Apply needs a sample being edited"));
    const core::SquareCodePair codes = CodesOfCurrentLocation(m_store); // may throw
    Dataset& loc = m_store.Locations();
    samples.FieldByName(QStringLiteral("ID"))
        .SetAsVariant(loc.FieldByName(QStringLiteral("ID")).AsVariant());
    samples.FieldByName(QStringLiteral("DATUM")).SetAsString(LocationDatum());
    samples.FieldByName(QStringLiteral("KXY")).SetAsString(codes.kxy);
    samples.FieldByName(QStringLiteral("UXY")).SetAsString(codes.uxy);
    m_store.samplesChanged = true;
}

void LocationSampleEditor::PropagateLocationToSamples() {
    Dataset& loc = m_store.Locations();
    Dataset& samples = m_store.Samples();
    if (loc.FieldByName(QStringLiteral("ID")).IsNull())
        return;
    const long long id = loc.FieldByName(QStringLiteral("ID")).AsInteger();
    const core::SquareCodePair codes = CodesOfCurrentLocation(m_store);
    const QString datum = LocationDatum();
    samples.SetIndexName(QStringLiteral("ID"));
    if (!samples.Locate(QStringLiteral("ID"), QVariant(id)))
        return;
    core::Field sampleId = samples.FieldByName(QStringLiteral("ID"));
    while (!samples.Eof() && !sampleId.IsNull() && sampleId.AsInteger() == id) {
        samples.Edit();
        samples.FieldByName(QStringLiteral("DATUM")).SetAsString(datum);
        samples.FieldByName(QStringLiteral("KXY")).SetAsString(codes.kxy);
        samples.FieldByName(QStringLiteral("UXY")).SetAsString(codes.uxy);
        samples.Post();
        m_store.samplesChanged = true;
        samples.Next();
    }
}

void LocationSampleEditor::SamplesUpdate(long long deletedId) {
    Dataset& loc = m_store.Locations();
    Dataset& samples = m_store.Samples();
    // MaxLocationID from what remains; the current location stays current.
    const QString tag = loc.IndexName();
    const int current = loc.RecNo();
    if (loc.IsEmpty()) {
        m_store.maxLocationID = QStringLiteral("-1");
    } else {
        loc.SetIndexName(QStringLiteral("ID"));
        loc.Last();
        m_store.maxLocationID = loc.FieldByName(QStringLiteral("ID")).AsString();
        loc.SetIndexName(tag);
        if (current > 0)
            loc.SetRecNo(current);
    }
    samples.SetIndexName(QStringLiteral("ID"));
    if (samples.Locate(QStringLiteral("ID"), QVariant(deletedId))) {
        core::Field sampleId = samples.FieldByName(QStringLiteral("ID"));
        // Delete moves to the next record; at the end it falls back to the previous one,
        // which belongs to another location (or is gone), so the loop ends there.
        while (!samples.IsEmpty() && !sampleId.IsNull() && sampleId.AsInteger() == deletedId) {
            const int before = samples.RecNo();
            samples.Delete();
            m_store.samplesChanged = true;
            if (samples.RecNo() == before || samples.RecNo() == 0)
                break;
        }
    }
    samples.Pack();
    samples.SetIndexName(QStringLiteral("ID"));
    samples.First();
}

long long LocationSampleEditor::NextLocationId() {
    bool ok = false;
    long long max = m_store.maxLocationID.toLongLong(&ok);
    if (!ok)
        max = -1;
    const long long id = max + 1;
    m_store.maxLocationID = QString::number(id);
    return id;
}

void LocationSampleEditor::CopyRecord(const QString& defaultAnalyst) {
    Dataset& loc = m_store.Locations();
    QVariantList values;
    for (const core::DatasetFieldDef& def : loc.FieldDefs())
        values << loc.FieldByName(def.name).AsVariant();
    values[0] = QVariant(NextLocationId());
    loc.AppendRecord(values);
    m_store.locationsChanged = true;
    // AppendRecord leaves the new record current.
    loc.Edit();
    for (const char* field : {"DAG", "MAAND", "JAAR", "HERBARIUM", "PH", "GELEIDING"})
        loc.FieldByName(QString::fromLatin1(field)).Clear();
    loc.FieldByName(QStringLiteral("ANALIST")).SetAsString(defaultAnalyst);
}

core::Grid LocationSampleEditor::SampleRows() {
    core::Grid grid(kSampleGridColumns, 2);
    grid.SetRow(0, SampleGridHeader());
    Dataset& loc = m_store.Locations();
    Dataset& samples = m_store.Samples();
    if (!loc.Active() || !samples.Active() || loc.IsEmpty())
        return grid;
    core::Field locId = loc.FieldByName(QStringLiteral("ID"));
    if (locId.IsNull())
        return grid;
    const long long id = locId.AsInteger();
    samples.SetIndexName(QStringLiteral("ID"));
    if (!samples.Locate(QStringLiteral("ID"), QVariant(id)))
        return grid;
    core::Field sampleId = samples.FieldByName(QStringLiteral("ID"));
    std::vector<core::Field> fields;
    for (const QString& f : SampleGridFields())
        fields.push_back(samples.FieldByName(f));
    int row = 0;
    samples.DisableControls();
    while (!samples.Eof() && !sampleId.IsNull() && sampleId.AsInteger() == id) {
        ++row;
        grid.SetRowCount(row + 1);
        QStringList cells{QString::number(samples.RecNo()), QString()};
        for (core::Field& f : fields)
            cells << f.AsString();
        grid.SetRow(row, cells);
        samples.Next();
    }
    samples.EnableControls();
    if (row > 1)
        core::SortGridByText(grid, 2, false);
    for (int r = 1; r <= row; ++r)
        grid.SetCell(1, r, QString::number(r));
    return grid;
}

} // namespace velmora::recording
