#include "maps/namelists.h"

#include "core/text/textutils.h"
#include "ecology/taxonnames.h"

#include <QSet>
#include <algorithm>

namespace velmora::maps {

namespace {
void SortText(QStringList& list) {
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return core::CompareText(a, b) < 0;
    });
}
} // namespace

bool IsFirmRecord(const SampleRow& sample) {
    if (sample.desmid.contains(QLatin1Char('?')))
        return false;
    if (!sample.zeker.isEmpty() && sample.zeker[0] != QLatin1Char(' '))
        return false;
    if (sample.abund == QLatin1String("0"))
        return false;
    return sample.dl != QLatin1String("D") && sample.dl != QLatin1String("O");
}

QStringList SampleNameList(const RunSource& source, const ecology::TaxaList& taxa,
                           const NameListOptions& options) {
    QStringList names;
    QSet<QString> listed;
    for (const SampleRow& sample : source.Samples()) {
        if (sample.idBlank)
            continue;
        if (options.zygosporesOnly && sample.zygo.isEmpty())
            continue;
        const QString name = options.currentNames ? taxa.CurrentName(sample.desmid) : sample.desmid;
        if (listed.contains(name))
            continue;
        // A later sample of the same name may still list it.
        if (options.ignoreUncertain && !IsFirmRecord(sample))
            continue;
        listed.insert(name);
        names << name;
    }
    SortText(names);
    return names;
}

QStringList SpeciesList(const QStringList& sampleNames, bool ignoreVarieties) {
    QStringList species;
    QSet<QString> listed;
    QString previous;
    for (const QString& sampleName : sampleNames) {
        const QString name = ignoreVarieties ? ecology::SpeciesName(sampleName) : sampleName;
        if ((!species.isEmpty() && name == previous) || listed.contains(name))
            continue;
        listed.insert(name);
        species << name;
        previous = name;
    }
    return species;
}

QStringList SearchTaxa(const QStringList& species, const QString& search) {
    QStringList listed;
    if (search.isEmpty()) {
        listed = species;
    } else if (search.startsWith(QLatin1Char(' '))) {
        return {};
    } else if (const qsizetype blank = search.indexOf(QLatin1Char(' ')); blank > 0) {
        const QString begin = search.left(blank);
        const QString rest = search.mid(blank);
        for (const QString& entry : species) {
            if (entry.startsWith(begin, Qt::CaseInsensitive) &&
                entry.contains(rest, Qt::CaseInsensitive))
                listed << entry;
        }
    } else {
        for (const QString& entry : species) {
            if (entry.contains(search, Qt::CaseInsensitive))
                listed << entry;
        }
    }
    SortText(listed);
    return listed;
}

QStringList MatchList(const QString& name, const ecology::TaxaList& taxa, bool currentNames,
                      bool ignoreVarieties) {
    const ecology::TaxaOrder order =
        currentNames ? ecology::TaxaOrder::CurName : ecology::TaxaOrder::TaxonName;
    const ecology::AnnotatedTaxa& records = taxa.Taxa();
    const QStringList& keys = currentNames ? records.curName : records.name;
    const std::vector<qsizetype>& positions = taxa.Order(order);
    // The first record, in the order, whose key is the name exactly: it lies in the run of
    // keys equal to it without regard to case.
    const std::span<const qsizetype> equal = taxa.EqualRange(order, name);
    auto start = positions.end();
    for (auto it = equal.begin(); it != equal.end(); ++it) {
        if (keys[*it] == name) {
            start = positions.begin() + (&*it - positions.data());
            break;
        }
    }
    if (start == positions.end())
        return {name};
    QStringList matches;
    for (auto it = start; it != positions.end(); ++it) {
        const QString& key = keys[*it];
        if (!key.contains(name))
            break;
        const QString& taxon = records.name[*it];
        if ((ignoreVarieties || key == name) && !matches.contains(taxon))
            matches << taxon;
    }
    return matches;
}

} // namespace velmora::maps
