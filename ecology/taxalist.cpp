#include "ecology/taxalist.h"

#include "ecology/searchlist.h"
#include "ecology/taxonnames.h"

#include <algorithm>
#include <numeric>

namespace velmora::ecology {

namespace {

// Orders positions against case-folded keys held by position (for std::equal_range, both
// ways round).
struct KeyLess {
    const QStringList& keys;
    bool operator()(qsizetype pos, const QString& key) const { return keys[pos] < key; }
    bool operator()(const QString& key, qsizetype pos) const { return key < keys[pos]; }
};

std::vector<qsizetype> SortedPositions(const QStringList& keys) {
    std::vector<qsizetype> order(static_cast<std::size_t>(keys.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    return order;
}

} // namespace

const core::dbf::FieldDefs& TaxaListFieldDefs() {
    using core::dbf::TextField;
    static const core::dbf::FieldDefs defs = {
        TextField("TAXON_NAME", 80), TextField("CUR_NAME", 80), TextField("AUTHOR_NAM", 139),
        TextField("TROPHIC_ST", 10), TextField("ACIDITY", 10),  TextField("LIFE_FORM", 20),
        TextField("R", 4),           TextField("S", 4),         TextField("R_L", 10),
        TextField("NEG_VAR", 1)};
    return defs;
}

QStringList TaxaListFieldNames() {
    QStringList names;
    for (const core::dbf::FieldDef& def : TaxaListFieldDefs())
        names << QString::fromStdString(def.name);
    return names;
}

namespace {
// The members of a record in field order.
constexpr std::array<QString TaxonRecord::*, 10> kRecordValues = {
    &TaxonRecord::taxonName, &TaxonRecord::curName,  &TaxonRecord::author, &TaxonRecord::trophic,
    &TaxonRecord::acidity,   &TaxonRecord::lifeForm, &TaxonRecord::r,      &TaxonRecord::s,
    &TaxonRecord::redList,   &TaxonRecord::negVar};
} // namespace

QString& TaxonRecord::Value(int i) {
    return this->*kRecordValues.at(static_cast<std::size_t>(i));
}

const QString& TaxonRecord::Value(int i) const {
    return this->*kRecordValues.at(static_cast<std::size_t>(i));
}

void TaxaList::Clear() {
    m_taxa = AnnotatedTaxa();
    m_orders = {};
    m_orderKeys = {};
    m_folded.clear();
    m_exact.clear();
    m_stored.clear();
    m_hasScores = false;
}

void TaxaList::Assign(const std::vector<TaxonRecord>& records, SearchList* searchList,
                      const QStringList& fieldNames) {
    Clear();
    m_fieldNames = fieldNames;
    for (const TaxonRecord& rec : records) {
        const QString name = CollapseDoubleBlanks(rec.taxonName.trimmed());
        const qsizetype pos = m_taxa.Size();
        m_taxa.name << name;
        m_taxa.curName << CollapseDoubleBlanks(rec.curName.trimmed());
        m_taxa.author << rec.author.trimmed();
        m_taxa.trophic << rec.trophic.trimmed();
        m_taxa.acidity << rec.acidity.trimmed();
        m_taxa.lifeForm << rec.lifeForm.trimmed();
        m_taxa.r << rec.r.trimmed();
        m_taxa.s << rec.s.trimmed();
        m_taxa.redList << rec.redList.trimmed();
        m_taxa.negVar << rec.negVar.trimmed();
        if (!m_hasScores)
            m_hasScores = !(m_taxa.r.last().isEmpty() && m_taxa.s.last().isEmpty() &&
                            m_taxa.redList.last().isEmpty() && m_taxa.trophic.last().isEmpty() &&
                            m_taxa.acidity.last().isEmpty());
        if (!m_exact.contains(name))
            m_exact.insert(name, pos);
        // Exact table look-ups compare the stored value; dBase pads with trailing blanks.
        QString stored = rec.taxonName;
        while (stored.endsWith(QLatin1Char(' ')))
            stored.chop(1);
        if (!m_stored.contains(stored))
            m_stored.insert(stored, {rec.curName.trimmed(), rec.author.trimmed()});
        if (searchList)
            searchList->Add(name);
    }
    QStringList& nameKeys = m_orderKeys[static_cast<std::size_t>(TaxaOrder::TaxonName)];
    QStringList& curKeys = m_orderKeys[static_cast<std::size_t>(TaxaOrder::CurName)];
    for (qsizetype i = 0; i < m_taxa.Size(); ++i) {
        nameKeys << FoldCase(m_taxa.name[i]);
        curKeys << FoldCase(m_taxa.curName[i]);
    }
    for (std::size_t o = 0; o < m_orders.size(); ++o)
        m_orders[o] = SortedPositions(m_orderKeys[o]);
    // Filled from the back so that the first position of each name wins.
    for (qsizetype i = m_taxa.Size() - 1; i >= 0; --i)
        m_folded.insert(nameKeys[i], i);
}

std::span<const qsizetype> TaxaList::EqualRange(TaxaOrder order, const QString& name) const {
    const auto o = static_cast<std::size_t>(order);
    const std::vector<qsizetype>& positions = m_orders[o];
    const auto [first, last] = std::equal_range(positions.begin(), positions.end(), FoldCase(name),
                                                KeyLess{m_orderKeys[o]});
    return {first, last};
}

qsizetype TaxaList::FindCurName(const QString& curName) const {
    const std::span<const qsizetype> run = EqualRange(TaxaOrder::CurName, curName);
    return run.empty() ? -1 : run.front();
}

qsizetype TaxaList::FindTaxon(const QString& name) const {
    return m_folded.value(FoldCase(name), -1);
}

bool TaxaList::IsRedListTaxon(const QString& name) const {
    const qsizetype i = FindTaxon(SpeciesName(name));
    return i >= 0 && !m_taxa.redList[i].trimmed().isEmpty();
}

QString TaxaList::AddTaxonInfo(const QString& name, const QString& text) const {
    QString out = text;
    const qsizetype i = m_exact.value(TaxonInfoKey(name), -1);
    if (i < 0)
        return out + QStringLiteral("\t\t\t\t\t\t\t");
    for (const QStringList* column : {&m_taxa.author, &m_taxa.trophic, &m_taxa.acidity,
                                      &m_taxa.lifeForm, &m_taxa.r, &m_taxa.s, &m_taxa.redList})
        out += (*column)[i] + QLatin1Char('\t');
    return out;
}

QString TaxaList::AddTaxonTitles(const QString& text) const {
    QString out = text;
    for (qsizetype f = 2; f <= 8 && f < m_fieldNames.size(); ++f)
        out += m_fieldNames[f] + QLatin1Char('\t');
    return out;
}

QString TaxaList::CurrentName(const QString& name) const {
    auto it = m_stored.constFind(name);
    if (it == m_stored.constEnd() || it->first.isEmpty())
        return name;
    return it->first;
}

std::optional<QString> TaxaList::Author(const QString& name) const {
    auto it = m_stored.constFind(name);
    if (it == m_stored.constEnd())
        return std::nullopt;
    return it->second;
}

} // namespace velmora::ecology
