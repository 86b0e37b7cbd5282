#include "core/dataset.h"
#include "core/text/textfile.h"

#include "core/error.h"
#include "core/resourcestrings.h"

#include <algorithm>

namespace velmora::core {

QString RecordText(const dbf::DbfTable& table, const char* record, int field) {
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

namespace {

constexpr std::size_t kReadAhead = 12; // records fetched ahead of a walk

QString StateName(DatasetState state) {
    switch (state) {
    case DatasetState::Inactive:
        return QStringLiteral("Inactive");
    case DatasetState::Browse:
        return QStringLiteral("Browse");
    case DatasetState::Edit:
        return QStringLiteral("Edit");
    case DatasetState::Insert:
        return QStringLiteral("Insert");
    }
    return {};
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

} // namespace

template <class F> auto Dataset::Guard(F&& f) const -> decltype(f()) {
    try {
        return f();
    } catch (const dbf::DbfError& e) {
        // A failed system call in the user's words (disk full, no permission, in use).
        throw Error(e.SystemError() != 0 ? SystemErrorText(e.SystemError()) : Q(e.Reason()),
                    Q(e.File()));
    }
}

// ---- Field

QString Field::FieldName() const {
    return Q(m_dataset->m_table->Fields()[static_cast<std::size_t>(m_index)].name);
}

QString Field::AsString() const {
    const char* rec = m_dataset->CurrentRecord();
    if (!rec)
        return {};
    return m_dataset->Guard([&] { return Q(m_dataset->m_table->Text(rec, m_index)); });
}

bool Field::IsNull() const {
    const char* rec = m_dataset->CurrentRecord();
    if (!rec)
        return true;
    return m_dataset->Guard([&] { return m_dataset->m_table->IsNull(rec, m_index); });
}

long long Field::AsInteger() const {
    const char* rec = m_dataset->CurrentRecord();
    std::optional<long long> value;
    if (rec) {
        try {
            value = m_dataset->m_table->Integer(rec, m_index);
        } catch (const dbf::DbfError&) {
            throw Error(ResStr(rsDbfNotInteger).arg(FieldName(), AsString()),
                        m_dataset->m_fileName);
        }
    }
    if (!value)
        throw Error(ResStr(rsDbfNotInteger).arg(FieldName(), QString()), m_dataset->m_fileName);
    return *value;
}

QVariant Field::AsVariant() const {
    if (IsNull())
        return {};
    const auto& def = m_dataset->m_table->Fields()[static_cast<std::size_t>(m_index)];
    if (def.type == dbf::FieldType::Integer || def.type == dbf::FieldType::AutoIncrement ||
        ((def.type == dbf::FieldType::Numeric || def.type == dbf::FieldType::Float) &&
         def.decimals == 0))
        return QVariant::fromValue<qlonglong>(AsInteger());
    return AsString();
}

void Field::SetAsString(const QString& value) {
    char* buffer = m_dataset->EditBuffer("SetAsString");
    m_dataset->Guard([&] { m_dataset->m_table->SetText(buffer, m_index, S(value)); });
    m_dataset->ControlsChanged();
}

void Field::SetAsInteger(long long value) {
    char* buffer = m_dataset->EditBuffer("SetAsInteger");
    m_dataset->Guard([&] { m_dataset->m_table->SetInteger(buffer, m_index, value); });
    m_dataset->ControlsChanged();
}

void Field::SetAsVariant(const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        Clear();
        return;
    }
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
        value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::ULongLong)
        SetAsInteger(value.toLongLong());
    else
        SetAsString(value.toString());
}

void Field::Clear() {
    char* buffer = m_dataset->EditBuffer("Clear");
    m_dataset->Guard([&] { m_dataset->m_table->SetNull(buffer, m_index); });
    m_dataset->ControlsChanged();
}

// ---- Dataset

Dataset::Dataset() : m_table(std::make_unique<dbf::DbfTable>()) {}
Dataset::Dataset(dbf::FileSystem& fs) : m_table(std::make_unique<dbf::DbfTable>(fs)) {}
Dataset::~Dataset() = default;

void Dataset::CreateTable(const QString& path, const std::vector<dbf::FieldDef>& fields,
                          dbf::TableLevel level) {
    try {
        dbf::DbfTable::Create(S(path), fields, level);
    } catch (const dbf::DbfError& e) {
        // A failed system call in the user's words (disk full, no permission, in use).
        throw Error(e.SystemError() != 0 ? SystemErrorText(e.SystemError()) : Q(e.Reason()),
                    Q(e.File()));
    }
}

bool Dataset::Active() const {
    return m_state != DatasetState::Inactive;
}

void Dataset::RequireActive() const {
    if (!Active())
        throw Error(ResStr(rsDbfNotOpen), m_fileName);
}

void Dataset::RequireState(DatasetState state, const char* operation) const {
    RequireActive();
    if (m_state != state)
        throw Error(ResStr(rsDbfWrongState).arg(QString::fromLatin1(operation), StateName(state)),
                    m_fileName);
}

void Dataset::Open(const QString& path, bool readOnly) {
    m_fileName = path;
    m_readOnly = readOnly;
    Open();
}

void Dataset::Open() {
    if (Active())
        throw Error(
            ResStr(rsDbfWrongState).arg(QStringLiteral("Open"), StateName(DatasetState::Inactive)),
            m_fileName);
    Guard([&] { m_table->Open(S(m_fileName), m_readOnly); });
    m_state = DatasetState::Browse;
    m_tag = -1;
    m_recNo = 0;
    First();
}

void Dataset::Close() {
    if (!Active())
        return;
    m_state = DatasetState::Inactive;
    m_buffer.clear();
    m_recNo = 0;
    m_bof = m_eof = true;
    m_tag = -1;
    Guard([&] { m_table->Close(); });
}

void Dataset::CheckBrowseMode() {
    RequireActive();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        Post();
}

const char* Dataset::CurrentRecord() const {
    RequireActive();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return m_buffer.data();
    if (m_recNo == 0)
        return nullptr;
    return m_table->Record(m_recNo);
}

char* Dataset::EditBuffer(const char* operation) {
    RequireActive();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        throw Error(ResStr(rsDbfWrongState)
                        .arg(QString::fromLatin1(operation), QStringLiteral("Edit/Insert")),
                    m_fileName);
    return m_buffer.data();
}

int Dataset::FieldIndexOrThrow(const QString& name) const {
    RequireActive();
    const int index = m_table->FieldIndex(S(name));
    if (index < 0)
        throw Error(ResStr(rsDbfNoField).arg(name), m_fileName);
    return index;
}

bool Dataset::Visible(std::uint32_t recNo) {
    if (m_table->IsDeleted(recNo))
        return false;
    if (!m_filtered || !m_filter)
        return true;
    // The filter reads fields through this dataset: show it the candidate.
    const std::uint32_t saved = m_recNo;
    const DatasetState savedState = m_state;
    m_recNo = recNo;
    m_state = DatasetState::Browse;
    bool accepted = false;
    try {
        accepted = m_filter(*this);
    } catch (...) {
        m_recNo = saved;
        m_state = savedState;
        throw;
    }
    m_recNo = saved;
    m_state = savedState;
    return accepted;
}

std::size_t Dataset::OrderSize() {
    if (m_tag < 0)
        return m_table->PhysicalCount();
    return m_table->TagOrder(m_tag).size();
}

std::uint32_t Dataset::OrderAt(std::size_t pos) {
    if (m_tag < 0)
        return static_cast<std::uint32_t>(pos + 1);
    return m_table->TagOrder(m_tag)[pos];
}

std::size_t Dataset::PositionOf(std::uint32_t recNo) {
    if (m_tag < 0)
        return recNo - 1;
    // Every record number occurs once in an order, so the remembered position is right
    // whenever it still holds this record.
    if (m_posHint < OrderSize() && OrderAt(m_posHint) == recNo)
        return m_posHint;
    const auto& order = m_table->TagOrder(m_tag);
    auto& tag = m_table->TagObject(m_tag);
    const dbf::RecordView view = m_table->Records();
    const char* rec = view.Record(recNo);
    auto it = std::lower_bound(order.begin(), order.end(), recNo,
                               [&](std::uint32_t probe, std::uint32_t r) {
                                   return tag.Compare(view.Record(probe), probe, rec, r) < 0;
                               });
    if (it != order.end() && *it == recNo)
        return static_cast<std::size_t>(it - order.begin());
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), recNo) - order.begin());
}

void Dataset::MoveTo(std::uint32_t recNo) {
    m_recNo = recNo;
    Notify(DatasetEvent::AfterScroll);
    ControlsChanged();
}

void Dataset::First() {
    CheckBrowseMode();
    Guard([&] {
        const std::size_t n = OrderSize();
        for (std::size_t pos = 0; pos < n; ++pos) {
            const std::uint32_t r = OrderAt(pos);
            if (Visible(r)) {
                m_bof = true;
                m_eof = false;
                m_posHint = pos;
                MoveTo(r);
                return;
            }
        }
        m_bof = m_eof = true;
        MoveTo(0);
    });
}

void Dataset::Last() {
    CheckBrowseMode();
    Guard([&] {
        for (std::size_t pos = OrderSize(); pos > 0; --pos) {
            const std::uint32_t r = OrderAt(pos - 1);
            if (Visible(r)) {
                m_bof = false;
                m_eof = true;
                m_posHint = pos - 1;
                MoveTo(r);
                return;
            }
        }
        m_bof = m_eof = true;
        MoveTo(0);
    });
}

void Dataset::Next() {
    CheckBrowseMode();
    if (m_recNo == 0) {
        m_eof = true;
        return;
    }
    Guard([&] {
        // The hot path of every walk: the order and the records are fetched once.
        const std::vector<std::uint32_t>* order = m_tag >= 0 ? &m_table->TagOrder(m_tag) : nullptr;
        const dbf::RecordView view = m_table->Records();
        const std::size_t n = order ? order->size() : view.count;
        for (std::size_t pos = PositionOf(m_recNo) + 1; pos < n; ++pos) {
            // In a tag's order the records lie scattered over the file: ask for the ones a
            // few steps ahead now, so that a walk does not wait for memory at every step.
            if (order && pos + kReadAhead < n)
                __builtin_prefetch(view.Record((*order)[pos + kReadAhead]));
            const std::uint32_t r = order ? (*order)[pos] : static_cast<std::uint32_t>(pos + 1);
            if (view.Record(r)[0] == '*')
                continue;
            if (Visible(r)) {
                m_bof = m_eof = false;
                m_posHint = pos;
                MoveTo(r);
                return;
            }
        }
        m_eof = true;
    });
}

void Dataset::Prior() {
    CheckBrowseMode();
    if (m_recNo == 0) {
        m_bof = true;
        return;
    }
    Guard([&] {
        for (std::size_t pos = PositionOf(m_recNo); pos > 0; --pos) {
            const std::uint32_t r = OrderAt(pos - 1);
            if (Visible(r)) {
                m_bof = m_eof = false;
                m_posHint = pos - 1;
                MoveTo(r);
                return;
            }
        }
        m_bof = true;
    });
}

bool Dataset::IsEmpty() const {
    RequireActive();
    if (m_state == DatasetState::Insert)
        return false;
    return m_recNo == 0;
}

int Dataset::RecordCount() const {
    RequireActive();
    auto* self = const_cast<Dataset*>(this);
    if (!m_filtered || !m_filter)
        return static_cast<int>(m_table->PhysicalCount() - m_table->DeletedCount());
    int count = 0;
    for (std::uint32_t r = 1; r <= m_table->PhysicalCount(); ++r)
        if (self->Visible(r))
            ++count;
    return count;
}

void Dataset::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (recNo < 1 || static_cast<std::uint32_t>(recNo) > m_table->PhysicalCount() ||
        m_table->IsDeleted(static_cast<std::uint32_t>(recNo)))
        throw Error(ResStr(rsDbfNoRecord).arg(recNo), m_fileName);
    m_bof = m_eof = false;
    MoveTo(static_cast<std::uint32_t>(recNo));
}

void Dataset::SetIndexName(const QString& name) {
    CheckBrowseMode();
    if (name.isEmpty()) {
        m_tag = -1;
    } else {
        const int tag = m_table->TagIndex(S(name));
        if (tag < 0)
            throw Error(ResStr(rsDbfNoTag).arg(name), m_fileName);
        m_tag = tag;
    }
    ControlsChanged();
}

QString Dataset::IndexName() const {
    if (!Active() || m_tag < 0)
        return {};
    return Q(m_table->Tag(m_tag).name);
}

QStringList Dataset::IndexNames() const {
    RequireActive();
    QStringList names;
    for (int i = 0; i < m_table->TagCount(); ++i)
        names << Q(m_table->Tag(i).name);
    return names;
}

std::uint32_t Dataset::LocateByTag(int field, const QString& text, bool caseInsensitive,
                                   bool& usedTag) {
    usedTag = false;
    const dbf::FieldDef& def = m_table->Fields()[static_cast<std::size_t>(field)];
    if (def.type != dbf::FieldType::Character && !def.IsNumeric())
        return 0;
    // A tag whose key is the field itself (ascending) serves the search; for a search that
    // ignores letter case a tag on UPPER(field) serves too.
    int found = -1;
    bool upperTag = false;
    for (int i = 0; i < m_table->TagCount() && found < 0; ++i) {
        if (m_table->Tag(i).descending)
            continue;
        std::string expr = m_table->Tag(i).expression;
        std::transform(expr.begin(), expr.end(), expr.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        expr.erase(std::remove(expr.begin(), expr.end(), ' '), expr.end());
        const bool numeric = m_table->TagObject(i).Key().Numeric();
        if (expr == def.name && numeric == def.IsNumeric()) {
            found = i;
        } else if (!def.IsNumeric() && caseInsensitive && expr == "UPPER(" + def.name + ")") {
            found = i;
            upperTag = true;
        }
    }
    if (found < 0)
        return 0;
    auto& tag = m_table->TagObject(found);
    std::string low;
    std::string high;
    double number = 0;
    if (def.IsNumeric()) {
        bool ok = false;
        number = text.trimmed().toDouble(&ok);
        if (!ok)
            return 0; // blank or not a number: the scan decides
    } else {
        std::string bytes = dbf::FromUtf8(S(text), m_table->Codepage());
        while (!bytes.empty() && bytes.back() == ' ')
            bytes.pop_back();
        if (bytes.size() > static_cast<std::size_t>(def.length)) {
            usedTag = true; // longer than the field: no record can hold it
            return 0;
        }
        bytes.resize(static_cast<std::size_t>(def.length), ' ');
        low = high = bytes;
        if (upperTag) {
            dbf::UpperInPlace(low);
            high = low;
        } else if (caseInsensitive) {
            // Every spelling of the value lies between its all-lower and all-upper forms,
            // whatever the collation: scan that stretch of the tag.
            const auto& weights = dbf::CollationWeights(m_table->TableCollation());
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                const char a = dbf::LowerCp1252(bytes[k]);
                const char b = dbf::UpperCp1252(bytes[k]);
                const bool aFirst = weights[static_cast<unsigned char>(a)] <=
                                    weights[static_cast<unsigned char>(b)];
                low[k] = aFirst ? a : b;
                high[k] = aFirst ? b : a;
            }
        }
    }
    usedTag = true;
    const dbf::RecordView view = m_table->Records();
    const auto& order = m_table->TagOrder(found);
    std::string folded = low;
    dbf::UpperInPlace(folded);
    std::vector<std::uint32_t> matches;
    for (std::size_t pos = tag.LowerBound(view, low, number); pos < order.size(); ++pos) {
        const std::uint32_t r = order[pos];
        const char* rec = view.Record(r);
        if (tag.CompareKey(rec, high, number) > 0)
            break;
        if (caseInsensitive && !upperTag && !def.IsNumeric()) {
            std::string stored(rec + def.offset, static_cast<std::size_t>(def.length));
            dbf::UpperInPlace(stored);
            if (stored != folded)
                continue;
        }
        if (Visible(r)) {
            if (found == m_tag)
                return r;
            matches.push_back(r);
        }
    }
    if (matches.empty())
        return 0;
    if (matches.size() == 1)
        return matches.front();
    if (m_tag < 0)
        return *std::min_element(matches.begin(), matches.end());
    std::uint32_t best = 0;
    std::size_t bestPos = 0;
    for (std::uint32_t r : matches) {
        const std::size_t pos = PositionOf(r);
        if (best == 0 || pos < bestPos) {
            best = r;
            bestPos = pos;
        }
    }
    return best;
}

bool Dataset::Locate(const QString& fieldName, const QVariant& value, LocateOptions options) {
    CheckBrowseMode();
    const int field = FieldIndexOrThrow(fieldName);
    const QString text = value.isNull() ? QString() : value.toString();
    return Guard([&] {
        bool usedTag = false;
        std::uint32_t hit = LocateByTag(field, text, options.caseInsensitive, usedTag);
        if (!usedTag) {
            const Qt::CaseSensitivity cs =
                options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
            const QString wanted = text.trimmed();
            const bool numeric = m_table->Fields()[static_cast<std::size_t>(field)].IsNumeric();
            const std::size_t n = OrderSize();
            for (std::size_t pos = 0; pos < n && hit == 0; ++pos) {
                const std::uint32_t r = OrderAt(pos);
                const char* rec = m_table->Record(r);
                if (rec[0] == '*')
                    continue;
                QString stored = Q(m_table->Text(rec, field));
                if (!numeric)
                    stored = stored.trimmed();
                if (stored.compare(wanted, cs) == 0 && Visible(r))
                    hit = r;
            }
        }
        if (hit == 0)
            return false;
        m_bof = m_eof = false;
        MoveTo(hit);
        return true;
    });
}

bool Dataset::FindKeyPrefix(const QString& prefix) {
    CheckBrowseMode();
    if (m_tag < 0)
        throw Error(Q("FindKeyPrefix needs an active tag"), m_fileName);
    return Guard([&] {
        auto& tag = m_table->TagObject(m_tag);
        if (tag.Key().Numeric())
            throw Error(Q("FindKeyPrefix needs a tag with a character key"), m_fileName);
        const std::string utf8 = S(prefix);
        std::string bytes = dbf::FromUtf8(utf8, m_table->Codepage());
        // A character the code page cannot hold is stored as '?': it must not match one.
        if (dbf::ToUtf8(bytes, m_table->Codepage()) != utf8)
            return false;
        const auto keyLength = static_cast<std::size_t>(tag.Key().Length());
        if (bytes.size() > keyLength) {
            // Keys are blank-padded, so only blanks may reach past the key's end.
            if (bytes.find_first_not_of(' ', keyLength) != std::string::npos)
                return false;
            bytes.resize(keyLength);
        }
        // CompareKey compares only the first bytes.size() bytes of a key, so the keys that
        // begin with the text form one run of the order (in either direction), and the
        // lower bound is its start.
        const dbf::RecordView view = m_table->Records();
        const auto& order = m_table->TagOrder(m_tag);
        for (std::size_t pos = tag.LowerBound(view, bytes, 0); pos < order.size(); ++pos) {
            const std::uint32_t r = order[pos];
            if (tag.CompareKey(view.Record(r), bytes, 0) != 0)
                break;
            if (Visible(r)) {
                m_bof = m_eof = false;
                m_posHint = pos;
                MoveTo(r);
                return true;
            }
        }
        return false;
    });
}

void Dataset::Edit() {
    RequireState(DatasetState::Browse, "Edit");
    if (m_recNo == 0)
        throw Error(ResStr(rsDbfNoCurrent), m_fileName);
    if (m_readOnly)
        throw Error(Q("the table is open read-only"), m_fileName);
    m_buffer.assign(m_table->Record(m_recNo), static_cast<std::size_t>(m_table->RecordLength()));
    m_state = DatasetState::Edit;
    ControlsChanged();
}

void Dataset::Append() {
    CheckBrowseMode();
    if (m_readOnly)
        throw Error(Q("the table is open read-only"), m_fileName);
    m_buffer = Guard([&] { return m_table->BlankRecord(); });
    m_savedRecNo = m_recNo;
    m_state = DatasetState::Insert;
    ControlsChanged();
}

void Dataset::Insert() {
    Append();
}

void Dataset::Post() {
    RequireActive();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        throw Error(
            ResStr(rsDbfWrongState).arg(QStringLiteral("Post"), QStringLiteral("Edit/Insert")),
            m_fileName);
    Notify(DatasetEvent::BeforePost);
    const auto& fields = m_table->Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].required && m_table->IsNull(m_buffer.data(), static_cast<int>(i)))
            throw Error(ResStr(rsDbfRequired).arg(Q(fields[i].name)), m_fileName);
    Guard([&] {
        if (m_state == DatasetState::Edit)
            m_table->WriteRecord(m_recNo, m_buffer.data());
        else
            m_recNo = m_table->AppendRecord(m_buffer.data());
    });
    m_state = DatasetState::Browse;
    m_buffer.clear();
    m_bof = m_eof = false;
    Notify(DatasetEvent::AfterPost);
    ControlsChanged();
}

void Dataset::Cancel() {
    RequireActive();
    if (m_state == DatasetState::Insert)
        m_recNo = m_savedRecNo;
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) {
        m_state = DatasetState::Browse;
        m_buffer.clear();
        ControlsChanged();
    }
}

void Dataset::Delete() {
    RequireState(DatasetState::Browse, "Delete");
    if (m_recNo == 0)
        throw Error(ResStr(rsDbfNoCurrent), m_fileName);
    Notify(DatasetEvent::BeforeDelete);
    const std::uint32_t gone = m_recNo;
    const std::size_t pos = Guard([&] { return PositionOf(gone); });
    Guard([&] { m_table->SetDeleted(gone, true); });
    Guard([&] {
        const std::size_t n = OrderSize();
        for (std::size_t p = pos + 1; p < n; ++p)
            if (Visible(OrderAt(p))) {
                m_recNo = OrderAt(p);
                m_bof = m_eof = false;
                return;
            }
        for (std::size_t p = pos; p > 0; --p)
            if (Visible(OrderAt(p - 1))) {
                m_recNo = OrderAt(p - 1);
                m_bof = false;
                m_eof = true;
                return;
            }
        m_recNo = 0;
        m_bof = m_eof = true;
    });
    Notify(DatasetEvent::AfterDelete);
    Notify(DatasetEvent::AfterScroll);
    ControlsChanged();
}

void Dataset::AppendRecord(const QVariantList& values) {
    Append();
    try {
        const auto& fields = m_table->Fields();
        if (static_cast<std::size_t>(values.size()) > fields.size())
            throw Error(ResStr(rsDbfNoField).arg(values.size()), m_fileName);
        for (int i = 0; i < values.size(); ++i)
            Field(this, i).SetAsVariant(values[i]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

Field Dataset::FieldByName(const QString& name) {
    return Field(this, FieldIndexOrThrow(name));
}

bool Dataset::HasField(const QString& name) const {
    return Active() && m_table->FieldIndex(S(name)) >= 0;
}

std::vector<DatasetFieldDef> Dataset::FieldDefs() const {
    RequireActive();
    std::vector<DatasetFieldDef> defs;
    for (const auto& f : m_table->Fields())
        defs.push_back({Q(f.name), f.type, f.length, f.decimals, f.required});
    return defs;
}

void Dataset::SetFilter(Filter filter) {
    m_filter = std::move(filter);
    if (Active() && m_filtered && m_state == DatasetState::Browse)
        First();
}

void Dataset::SetFiltered(bool filtered) {
    if (m_filtered == filtered)
        return;
    m_filtered = filtered;
    if (Active() && m_state == DatasetState::Browse)
        First();
}

void Dataset::EnableControls() {
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0)
        ControlsChanged();
}

int Dataset::Connect(DatasetEvent event, Handler handler) {
    const int id = m_nextHandlerId++;
    m_handlers.push_back({id, event, std::move(handler)});
    return id;
}

void Dataset::Disconnect(int id) {
    m_handlers.erase(std::remove_if(m_handlers.begin(), m_handlers.end(),
                                    [id](const Subscription& s) { return s.id == id; }),
                     m_handlers.end());
}

void Dataset::Notify(DatasetEvent event) {
    if (std::none_of(m_handlers.begin(), m_handlers.end(),
                     [event](const Subscription& s) { return s.event == event; }))
        return;
    // Copy: a handler may connect or disconnect others.
    const std::vector<Subscription> handlers = m_handlers;
    for (const Subscription& s : handlers)
        if (s.event == event)
            s.handler(*this);
}

void Dataset::ControlsChanged() {
    if (m_controlsDisabled == 0)
        Notify(DatasetEvent::DataChanged);
}

void Dataset::AddIndex(const QString& name, const QString& expression, IndexOptions options) {
    RequireState(DatasetState::Browse, "AddIndex");
    Guard([&] {
        m_table->AddTag(
            dbf::TagDef{S(name), S(expression), options.descending, options.caseInsensitive});
    });
}

void Dataset::RegenerateIndexes() {
    RequireState(DatasetState::Browse, "RegenerateIndexes");
    Guard([&] { m_table->RegenerateTags(); });
}

void Dataset::Pack() {
    RequireState(DatasetState::Browse, "Pack");
    Guard([&] { m_table->Pack(); });
    First();
}

void Dataset::Restructure(const std::vector<dbf::FieldDef>& fields) {
    RequireState(DatasetState::Browse, "Restructure");
    Guard([&] { m_table->Restructure(fields); });
    First();
}

} // namespace velmora::core
