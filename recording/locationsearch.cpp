#include "recording/locationsearch.h"

#include "core/databasestore.h"
#include "core/dataset.h"
#include "core/dbf/dbftable.h"
#include "core/prompts.h"
#include "ecology/ecologydata.h"

#include <cmath>
#include <cstring>
#include <string>

namespace velmora::recording {

namespace {

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

const QStringList& LocationFieldNames() {
    static const QStringList names = {
        "ID",        "LOCATIE",   "DAG",        "MAAND",     "JAAR",  "ZUURGRAAD", "OPMLOCATIE",
        "COORDX",    "COORDY",    "MONSTERSRT", "ANALIST",   "OWNER", "LOCCODE",   "PH",
        "GELEIDING", "WATERTEMP", "WTYPE",      "HERBARIUM", "AMAAT"};
    return names;
}

const QStringList& LocationFieldCaptions() {
    static const QStringList captions = {
        "LID",           "Locatie", "Dag",     "Mnd",         "Jaar",      "Zuurgraad",
        "Opmerking",     "X-coord", "Y-coord", "Monstertype", "Analist",   "Eigenaar",
        "Locatiecode",   "pH",      "EGV",     "Watertemp.",  "Watertype", "Herbarium",
        "Abundantiemaat"};
    return captions;
}

int ProposedFieldIndex(const QString& field) {
    const QStringList& names = LocationFieldNames();
    for (int i = 1; i < names.size(); ++i)
        if (names[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void LocationSearch::MarkSamples(const char* field, const QString& text) {
    m_matching.clear();
    if (!m_store.IsOpen() || text.isEmpty())
        return;
    core::Dataset& samples = m_store.Samples();
    if (!samples.Active())
        return;
    core::dbf::DbfTable& table = samples.Table();
    const int fText = table.FieldIndex(field);
    const int fId = table.FieldIndex("ID");
    if (fText < 0 || fId < 0)
        return;
    const std::string needle = text.toStdString();
    // A text of plain ASCII is looked for in the stored bytes themselves: in the single-byte
    // code pages of the tables an ASCII byte is never part of another character.
    const bool raw = IsAscii(needle);
    const core::dbf::FieldDef& def = table.Fields()[static_cast<std::size_t>(fText)];
    const auto view = table.Records();
    const std::uint32_t count = table.PhysicalCount();
    for (std::uint32_t recNo = 1; recNo <= count; ++recNo) {
        const char* rec = view.Record(recNo);
        if (rec[0] == '*')
            continue;
        bool found;
        if (raw) {
            // The blanks that pad the stored field are not part of its text: "Staurastrum "
            // must not find a name that merely ends in "Staurastrum".
            const char* field = rec + def.offset;
            std::size_t length = static_cast<std::size_t>(def.length);
            while (length > 0 && field[length - 1] == ' ')
                --length;
            found = needle.size() <= length &&
                    memmem(field, length, needle.data(), needle.size()) != nullptr;
        } else {
            found = table.Text(rec, fText).find(needle) != std::string::npos;
        }
        if (!found)
            continue;
        try {
            if (const std::optional<long long> id = table.Integer(rec, fId))
                m_matching.insert(*id);
        } catch (const std::exception&) {
            // A sample whose ID is not a number belongs to no event.
        }
    }
}

void LocationSearch::TaxonSearch(const QString& text) {
    selectedDesmid = text;
    MarkSamples("DESMID", text);
    mode = WithTaxon;
}

void LocationSearch::RemarkSearch(const QString& text) {
    remark = text;
    MarkSamples("OPMDESMID", text);
    mode = WithRemark;
}

std::vector<LocationSearch::Row> LocationSearch::Rows(const QStringList& fields,
                                                      const QString& tag) {
    std::vector<Row> rows;
    if (!m_store.IsOpen() || !m_store.Locations().Active())
        return rows;
    core::dbf::DbfTable& table = m_store.Locations().Table();
    std::vector<int> columns;
    for (const QString& f : fields)
        columns.push_back(table.FieldIndex(f.toStdString()));
    const int fId = table.FieldIndex("ID");
    const int fYear = table.FieldIndex("JAAR");
    const int fOwner = table.FieldIndex("OWNER");
    const int fName = table.FieldIndex("LOCATIE");
    const std::string wantedYear = year.toStdString();
    auto text = [&table](const char* rec, int field) {
        return field < 0 ? QString() : QString::fromStdString(table.Text(rec, field));
    };
    auto accepts = [&](const char* rec) {
        if (!wantedYear.empty() && (fYear < 0 || table.Text(rec, fYear) != wantedYear))
            return false;
        switch (mode) {
        case WithTaxon:
        case WithRemark: {
            if (fId < 0 || m_matching.isEmpty())
                return false;
            try {
                const std::optional<long long> id = table.Integer(rec, fId);
                return id && m_matching.contains(*id);
            } catch (const std::exception&) {
                return false;
            }
        }
        case WithOwner:
            return !owner.isEmpty() && text(rec, fOwner).contains(owner, Qt::CaseInsensitive);
        case NameContains:
            return !name.isEmpty() && text(rec, fName).contains(name, Qt::CaseInsensitive);
        default:
            return true;
        }
    };
    auto add = [&](std::uint32_t recNo) {
        const char* rec = table.Record(recNo);
        if (rec[0] == '*' || !accepts(rec))
            return;
        Row row;
        row.recNo = static_cast<int>(recNo);
        for (int c : columns)
            row.values << text(rec, c);
        rows.push_back(std::move(row));
    };
    const int tagIndex = tag.isEmpty() ? -1 : table.TagIndex(tag.toStdString());
    if (tagIndex >= 0) {
        for (std::uint32_t recNo : table.TagOrder(tagIndex))
            add(recNo);
    } else {
        for (std::uint32_t recNo = 1; recNo <= table.PhysicalCount(); ++recNo)
            add(recNo);
    }
    return rows;
}

bool LocationSearch::RunSelection(const std::vector<int>& recNos, ecology::EcologyData& ecology,
                                  const std::function<void()>& loadEvent) {
    struct Flag {
        bool& flag;
        ~Flag() { flag = false; }
    } flag{ecology.selectionRun};
    ecology.selectionRun = true;
    ecology.tally.ClearData();
    core::Prompts& prompts = core::UserPrompts();
    prompts.SetProgressRange(0, 100);
    prompts.StartProgress();
    core::Dataset& locations = m_store.Locations();
    const std::size_t total = recNos.size();
    int shown = -1;
    for (std::size_t i = 0; i < total; ++i) {
        locations.SetRecNo(recNos[i]);
        if (loadEvent)
            loadEvent();
        const int position =
            static_cast<int>(std::lround(static_cast<double>(i + 1) * 100.0 / double(total)));
        // The progress step lets the windows run (they repaint) and reads the cancel request.
        // It is taken when the bar moves, at most a hundred times: over a long selection,
        // repainting the main window after every event would cost more than the events.
        if (position == shown)
            continue;
        shown = position;
        if (prompts.StepProgress(position))
            return false;
    }
    prompts.FinishProgress();
    return true;
}

} // namespace velmora::recording
