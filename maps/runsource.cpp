#include "maps/runsource.h"

#include "core/dbf/dbftable.h"

#include <algorithm>

namespace velmora::maps {

namespace {

// One shared copy of texts that repeat.
class Texts {
public:
    QString operator()(QString text) {
        if (text.isEmpty())
            return {};
        auto it = m_pool.constFind(text);
        if (it == m_pool.constEnd())
            it = m_pool.insert(text, text);
        return *it;
    }

private:
    QHash<QString, QString> m_pool;
};

// The record numbers of a table in a tag's order, or in record order without that tag;
// deleted records left out.
std::vector<std::uint32_t> RecordOrder(core::dbf::DbfTable& table, const QString& tagName) {
    std::vector<std::uint32_t> order;
    if (const int tag = table.TagIndex(tagName.toStdString()); tag >= 0) {
        order = table.TagOrder(tag);
    } else {
        order.reserve(table.PhysicalCount());
        for (std::uint32_t r = 1; r <= table.PhysicalCount(); ++r)
            order.push_back(r);
    }
    std::erase_if(order, [&](std::uint32_t r) { return table.IsDeleted(r); });
    return order;
}

} // namespace

void RunSource::Clear() {
    m_locations.clear();
    m_locationById.clear();
    m_samples.clear();
    m_names.clear();
    m_samplesById.clear();
}

void RunSource::Read(core::Dataset& locations, core::Dataset& samples) {
    Clear();
    Texts shared;
    if (locations.Active()) {
        core::dbf::DbfTable& table = locations.Table();
        auto field = [&](const char* name) { return table.FieldIndex(name); };
        const int id = field("ID"), locatie = field("LOCATIE"), dag = field("DAG"),
                  maand = field("MAAND"), jaar = field("JAAR"), x = field("COORDX"),
                  y = field("COORDY"), ph = field("PH"), geleiding = field("GELEIDING"),
                  analist = field("ANALIST"), herbarium = field("HERBARIUM"),
                  wtype = field("WTYPE"), opm = field("OPMLOCATIE"), zuur = field("ZUURGRAAD"),
                  soort = field("MONSTERSRT"), owner = field("OWNER"), code = field("LOCCODE"),
                  temp = field("WATERTEMP"), amaat = field("AMAAT");
        const std::vector<std::uint32_t> order = RecordOrder(table, locations.IndexName());
        m_locations.reserve(order.size());
        for (const std::uint32_t r : order) {
            const char* record = table.Record(r);
            auto text = [&](int f) { return core::RecordText(table, record, f); };
            LocationRow row;
            row.id = int(table.Integer(record, id).value_or(0));
            row.locatie = text(locatie);
            row.dag = shared(text(dag));
            row.maand = shared(text(maand));
            row.jaar = shared(text(jaar));
            row.coordX = text(x);
            row.coordY = text(y);
            row.ph = shared(text(ph));
            row.geleiding = text(geleiding);
            row.analist = shared(text(analist));
            row.herbarium = text(herbarium);
            row.wtype = shared(text(wtype));
            row.opmLocatie = text(opm);
            row.zuurgraad = shared(text(zuur));
            row.monstersrt = shared(text(soort));
            row.owner = shared(text(owner));
            row.locCode = text(code);
            row.waterTemp = shared(text(temp));
            row.amaat = shared(text(amaat));
            m_locations.push_back(std::move(row));
        }
    }
    if (samples.Active()) {
        core::dbf::DbfTable& table = samples.Table();
        auto field = [&](const char* name) { return table.FieldIndex(name); };
        const int id = field("ID"), datum = field("DATUM"), kxy = field("KXY"), uxy = field("UXY"),
                  desmid = field("DESMID"), abund = field("ABUND"), dl = field("DL"),
                  zygo = field("ZYGO"), foto = field("FOTO"), zeker = field("ZEKER"),
                  opm = field("OPMDESMID");
        const std::vector<std::uint32_t> order = RecordOrder(table, QStringLiteral("DESMID"));
        m_samples.reserve(order.size());
        for (const std::uint32_t r : order) {
            const char* record = table.Record(r);
            auto text = [&](int f) { return core::RecordText(table, record, f); };
            SampleRow row;
            row.recNo = int(r);
            const std::optional<long long> number = table.Integer(record, id);
            row.id = int(number.value_or(0));
            row.idBlank = !number;
            row.datum = shared(text(datum));
            row.kxy = shared(text(kxy));
            row.uxy = shared(text(uxy));
            row.desmid = shared(text(desmid));
            row.abund = shared(text(abund));
            row.dl = shared(text(dl));
            row.zygo = shared(text(zygo));
            row.foto = shared(text(foto));
            row.zeker = shared(text(zeker));
            row.opmDesmid = text(opm);
            m_samples.push_back(std::move(row));
        }
    }
    BuildIndexes();
}

void RunSource::Assign(std::vector<LocationRow> locations, std::vector<SampleRow> samples) {
    Clear();
    m_locations = std::move(locations);
    m_samples = std::move(samples);
    BuildIndexes();
}

void RunSource::BuildIndexes() {
    // A repeated ID: the first location in the table's order is the one found, as a search
    // from the start finds it.
    for (qsizetype i = qsizetype(m_locations.size()) - 1; i >= 0; --i)
        m_locationById.insert(m_locations[std::size_t(i)].id, i);
    for (std::size_t i = 0; i < m_samples.size(); ++i) {
        const SampleRow& row = m_samples[i];
        if (m_names.empty() || m_names.back().first != row.desmid)
            m_names.emplace_back(row.desmid, qsizetype(i));
        if (!row.idBlank)
            m_samplesById[row.id].push_back(qsizetype(i));
    }
    for (std::vector<qsizetype>& list : m_samplesById)
        std::sort(list.begin(), list.end(), [this](qsizetype a, qsizetype b) {
            return m_samples[std::size_t(a)].recNo < m_samples[std::size_t(b)].recNo;
        });
}

const LocationRow* RunSource::LocationById(int id) const {
    const auto it = m_locationById.constFind(id);
    return it == m_locationById.constEnd() ? nullptr : &m_locations[std::size_t(*it)];
}

qsizetype RunSource::FirstWithPrefix(const QString& prefix) const {
    for (const auto& [name, position] : m_names) {
        if (name.startsWith(prefix))
            return position;
    }
    return -1;
}

std::vector<const SampleRow*> RunSource::SamplesOf(int id) const {
    std::vector<const SampleRow*> rows;
    const auto it = m_samplesById.constFind(id);
    if (it != m_samplesById.constEnd()) {
        rows.reserve(it->size());
        for (const qsizetype position : *it)
            rows.push_back(&m_samples[std::size_t(position)]);
    }
    return rows;
}

} // namespace velmora::maps
