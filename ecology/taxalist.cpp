#include "ecology/taxalist.h"

#include "ecology/searchlist.h"
#include "ecology/taxonnames.h"

namespace velmora::ecology {

QStringList TaxaListFieldNames() {
    return {QStringLiteral("TAXON_NAME"), QStringLiteral("CUR_NAME"), QStringLiteral("AUTHOR_NAM"),
            QStringLiteral("TROPHIC_ST"), QStringLiteral("ACIDITY"),  QStringLiteral("LIFE_FORM"),
            QStringLiteral("R"),          QStringLiteral("S"),        QStringLiteral("R_L"),
            QStringLiteral("NEG_VAR")};
}

void TaxaList::Clear() {
    m_taxa = AnnotatedTaxa();
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
    // Filled from the back so that the first position of each name wins.
    for (qsizetype i = m_taxa.Size() - 1; i >= 0; --i)
        m_folded.insert(FoldCase(m_taxa.name[i]), i);
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
