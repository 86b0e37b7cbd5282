#include "recording/locationsampleeditor.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/error.h"
#include "core/grid/gridsort.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/naturevaluetally.h"
#include "recording/messages.h"

#include <QDate>
#include <utility>

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

bool IsStorableDate(const QString& day, const QString& month, const QString& year) {
    auto orFirst = [](const QString& t) { return t.trimmed().isEmpty() ? QStringLiteral("1") : t; };
    return !year.trimmed().isEmpty() && IsValidDate(orFirst(day), orFirst(month), year);
}

QString DecimalCommaRepair(const QString& text) {
    QString out = text;
    const qsizetype dot = out.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        out[dot] = QLatin1Char(',');
    return out;
}

namespace {
[[noreturn]] void Refuse(const QString& message,
                         core::MessageKind kind = core::MessageKind::Information) {
    core::UserPrompts().Message(message, kind);
    throw core::Refusal{};
}
} // namespace

LocationSampleEditor::LocationSampleEditor(core::DatabaseStore& store) : m_store(store) {
    Dataset& loc = m_store.Locations();
    Dataset& samples = m_store.Samples();
    m_locationHandlers = {
        loc.Connect(core::DatasetEvent::BeforePost,
                    [this](Dataset&) { CheckLocationBeforePost(); }),
        loc.Connect(core::DatasetEvent::AfterPost,
                    [this](Dataset&) {
                        m_store.MarkLocationsChanged();
                        if (m_store.InBulkChange())
                            return;
                        try {
                            PropagateLocationToSamples();
                        } catch (const core::Error& e) {
                            core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
                        }
                    }),
        loc.Connect(core::DatasetEvent::BeforeDelete,
                    [this](Dataset&) { m_deletingLocation = CurrentLocationId(); }),
        loc.Connect(core::DatasetEvent::AfterDelete,
                    [this](Dataset&) {
                        m_store.MarkLocationsChanged();
                        const std::optional<long long> deleted =
                            std::exchange(m_deletingLocation, std::nullopt);
                        if (m_store.InBulkChange() || !deleted)
                            return;
                        try {
                            SamplesUpdate(*deleted);
                        } catch (const core::Error& e) {
                            core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
                        }
                    }),
    };
    m_sampleHandlers = {
        samples.Connect(core::DatasetEvent::BeforePost,
                        [this](Dataset&) { CheckSampleBeforePost(); }),
        samples.Connect(core::DatasetEvent::BeforeDelete,
                        [this](Dataset&) { CheckSampleBeforeDelete(); }),
        samples.Connect(core::DatasetEvent::AfterPost,
                        [this](Dataset&) { m_store.MarkSamplesChanged(); }),
        samples.Connect(core::DatasetEvent::AfterDelete,
                        [this](Dataset&) { m_store.MarkSamplesChanged(); }),
    };
}

LocationSampleEditor::~LocationSampleEditor() {
    for (int id : m_locationHandlers)
        m_store.Locations().Disconnect(id);
    for (int id : m_sampleHandlers)
        m_store.Samples().Disconnect(id);
}

std::optional<long long> LocationSampleEditor::CurrentLocationId() {
    Dataset& loc = m_store.Locations();
    if (!loc.Active() || (loc.State() == DatasetState::Browse && loc.RecNo() == 0))
        return std::nullopt;
    core::Field id = loc.FieldByName(QStringLiteral("ID"));
    if (id.IsNull())
        return std::nullopt;
    return id.AsInteger();
}

namespace {
// The ID a sample has in the file (for a record being edited: before the edit).
std::optional<long long> StoredSampleId(Dataset& samples) {
    if (samples.RecNo() == 0)
        return std::nullopt;
    core::dbf::DbfTable& table = samples.Table();
    const int field = table.FieldIndex("ID");
    if (field < 0)
        return std::nullopt;
    return table.Integer(table.Record(static_cast<std::uint32_t>(samples.RecNo())), field);
}
} // namespace

bool LocationSampleEditor::CurrentSampleBelongs() {
    Dataset& samples = m_store.Samples();
    if (!samples.Active())
        return false;
    if (samples.State() == DatasetState::Edit || samples.State() == DatasetState::Insert)
        return true;
    if (samples.RecNo() == 0)
        return false;
    const std::optional<long long> location = CurrentLocationId();
    core::Field id = samples.FieldByName(QStringLiteral("ID"));
    return location && !id.IsNull() && id.AsInteger() == *location;
}

void LocationSampleEditor::CheckLocationBeforePost() {
    if (m_store.InBulkChange())
        return;
    Dataset& loc = m_store.Locations();
    auto text = [&](const char* field) {
        return loc.FieldByName(QString::fromLatin1(field)).AsString();
    };
    if (text("LOCATIE").trimmed().isEmpty())
        Refuse(ResStr(rsLocationNameRequired));
    const QString year = text("JAAR");
    if (year.trimmed().isEmpty())
        Refuse(ResStr(rsValidDateRequired));
    // A one-digit day or month is stored with its leading zero, also when the post comes
    // before the field is left: dates sort as text.
    for (const char* field : {"DAG", "MAAND"}) {
        const QString padded = PadDayOrMonth(text(field));
        if (padded != text(field))
            loc.FieldByName(QString::fromLatin1(field)).SetAsString(padded);
    }
    if (!IsStorableDate(text("DAG"), text("MAAND"), year))
        Refuse(ResStr(rsDateError), core::MessageKind::Warning);
    const bool latLon = m_store.CoordinateSystem() == core::kLatLon;
    const std::pair<const char*, Message> coordinates[] = {
        {"COORDX", latLon ? rsLongitudeLabel : rsCoordLabelX},
        {"COORDY", latLon ? rsLatitudeLabel : rsCoordLabelY}};
    for (const auto& [field, caption] : coordinates) {
        try {
            core::ParseCoordinate(text(field));
        } catch (const core::Error&) {
            Refuse(ResStr(rsCoordinateInvalid).arg(ResStr(caption), text(field)),
                   core::MessageKind::Warning);
        }
    }
    const std::pair<const char*, QString> numbers[] = {{"PH", QStringLiteral("pH")},
                                                       {"GELEIDING", ResStr(rsFieldConductivity)},
                                                       {"WATERTEMP", ResStr(rsFieldWaterTemp)}};
    for (const auto& [field, caption] : numbers) {
        const QString value = text(field);
        if (value.trimmed().isEmpty())
            continue;
        try {
            core::ParseNumber(value);
        } catch (const core::Error&) {
            Refuse(ResStr(rsNumberFieldInvalid).arg(caption, value), core::MessageKind::Warning);
        }
    }
    const int nextYear = QDate::currentDate().year() + 1;
    const int y = year.trimmed().toInt();
    if ((y < 1800 || y > nextYear) &&
        !core::UserPrompts().YesNo(ResStr(rsYearQuestion).arg(year).arg(nextYear)))
        throw core::Refusal{};
}

void LocationSampleEditor::CheckSampleBeforePost() {
    if (m_store.InBulkChange())
        return;
    Dataset& samples = m_store.Samples();
    core::Field name = samples.FieldByName(QStringLiteral("DESMID"));
    const QString trimmed = name.AsString().trimmed();
    if (trimmed != name.AsString())
        name.SetAsString(trimmed);
    if (trimmed.isEmpty())
        Refuse(ResStr(rsDesmidNameEmpty) + QStringLiteral("\n\r") + ResStr(rsFillNameFirst),
               core::MessageKind::Warning);
    const std::optional<long long> location = CurrentLocationId();
    bool belongs = location.has_value();
    if (belongs && samples.State() == DatasetState::Edit)
        belongs = StoredSampleId(samples) == location;
    core::Field id = samples.FieldByName(QStringLiteral("ID"));
    if (belongs)
        belongs = !id.IsNull() && id.AsInteger() == *location;
    if (!belongs)
        Refuse(ResStr(rsSampleNotOfLocation), core::MessageKind::Error);
}

void LocationSampleEditor::CheckSampleBeforeDelete() {
    if (m_store.InBulkChange())
        return;
    const std::optional<long long> location = CurrentLocationId();
    if (!location || StoredSampleId(m_store.Samples()) != location)
        Refuse(ResStr(rsSampleNotOfLocation), core::MessageKind::Error);
}

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
    m_store.MarkSamplesChanged();
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
    const core::DatabaseStore::BulkChange bulk(m_store);
    core::Field sampleId = samples.FieldByName(QStringLiteral("ID"));
    while (!samples.Eof() && !sampleId.IsNull() && sampleId.AsInteger() == id) {
        samples.Edit();
        samples.FieldByName(QStringLiteral("DATUM")).SetAsString(datum);
        samples.FieldByName(QStringLiteral("KXY")).SetAsString(codes.kxy);
        samples.FieldByName(QStringLiteral("UXY")).SetAsString(codes.uxy);
        samples.Post();
        m_store.MarkSamplesChanged();
        samples.Next();
    }
}

void LocationSampleEditor::SamplesUpdate(long long deletedId) {
    const core::DatabaseStore::BulkChange bulk(m_store);
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
            m_store.MarkSamplesChanged();
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

void LocationSampleEditor::StartNewLocation(const QString& defaultAnalyst) {
    Dataset& loc = m_store.Locations();
    if (loc.State() != DatasetState::Insert)
        throw core::Error(QStringLiteral("StartNewLocation needs a location being inserted"));
    loc.FieldByName(QStringLiteral("ANALIST")).SetAsString(defaultAnalyst);
    loc.FieldByName(QStringLiteral("ID")).SetAsInteger(NextLocationId());
    m_store.MarkLocationsChanged();
}

void LocationSampleEditor::CopyRecord(const QString& defaultAnalyst) {
    Dataset& loc = m_store.Locations();
    QVariantList values;
    for (const core::DatasetFieldDef& def : loc.FieldDefs())
        values << loc.FieldByName(def.name).AsVariant();
    // A new record, not yet stored: the user completes it and posts it (through the location
    // rules), or cancels it and nothing is left behind.
    loc.Append();
    const std::vector<core::DatasetFieldDef> defs = loc.FieldDefs();
    for (std::size_t i = 1; i < defs.size(); ++i)
        loc.FieldByName(defs[i].name).SetAsVariant(values[static_cast<qsizetype>(i)]);
    loc.FieldByName(QStringLiteral("ID")).SetAsInteger(NextLocationId());
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

LocationSampleEditor::EventTally
LocationSampleEditor::TallyCurrentEvent(ecology::NatureValueTally& tally, bool ignoreUncertain,
                                        bool alternativeMethod) {
    Dataset& loc = m_store.Locations();
    const bool located = loc.Active() && !(loc.State() == DatasetState::Browse && loc.IsEmpty());
    tally.SetMilieu(ecology::MilieuOfZuurgraad(
        located ? loc.FieldByName(QStringLiteral("ZUURGRAAD")).AsString() : QString()));
    tally.SetAlternativeMethod(alternativeMethod);
    const core::Grid rows = SampleRows();
    EventTally result;
    if (rows.Cell(0, 1).isEmpty())
        return result;
    const QStringList& fields = SampleGridFields();
    auto column = [&fields](const char* field) {
        return 2 + static_cast<int>(fields.indexOf(QString::fromLatin1(field)));
    };
    const int name = column("DESMID");
    const int zeker = column("ZEKER");
    const int abund = column("ABUND");
    const int dl = column("DL");
    result.samples = rows.RowCount() - 1;
    result.firstName = rows.Cell(name, 1);
    for (int r = 1; r <= result.samples; ++r) {
        const bool excluded =
            ignoreUncertain &&
            !ecology::IsCountedRecord(rows.Cell(zeker, r), rows.Cell(abund, r), rows.Cell(dl, r),
                                      ecology::CountedRecordRule::MainWindow);
        tally.AddTaxon(rows.Cell(name, r), excluded);
    }
    tally.ComputeNatureValue();
    return result;
}

} // namespace velmora::recording
