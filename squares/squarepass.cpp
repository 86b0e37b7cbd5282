#include "squares/squarepass.h"

#include "core/text/textutils.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"

#include <algorithm>

namespace velmora::squares {

namespace {

// The year of a sample date: its first four characters; nothing when they are no number.
std::optional<int> YearOf(const QString& datum) {
    bool ok = false;
    const int year = datum.left(4).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return year;
}

bool IsDoubtful(const maps::SampleRow& sample) {
    if (sample.desmid.contains(QLatin1Char('?')))
        return true;
    if (!sample.zeker.trimmed().isEmpty())
        return true;
    const QString dl = sample.dl.trimmed();
    if (dl.startsWith(QLatin1Char('D')) || dl.startsWith(QLatin1Char('O')))
        return true;
    return sample.abund.trimmed().startsWith(QLatin1Char('0'));
}

// Adds the name to the sorted list unless it holds it spelled exactly so; true when added.
bool AddSorted(QStringList& list, const QString& name) {
    auto it =
        std::lower_bound(list.begin(), list.end(), name, [](const QString& a, const QString& b) {
            return core::CompareText(a, b) < 0;
        });
    for (auto same = it; same != list.end() && core::CompareText(*same, name) == 0; ++same)
        if (*same == name)
            return false;
    list.insert(it, name);
    return true;
}

} // namespace

QString CutAfterTwoWords(const QString& name) {
    const qsizetype first = name.indexOf(QLatin1Char(' '));
    if (first < 0)
        return name;
    const qsizetype second = name.indexOf(QLatin1Char(' '), first + 1);
    return second < 0 ? name : name.left(second);
}

bool IsNoDesmidsName(const QString& name) {
    return ecology::IsNoDesmidsName(name);
}

const QString& SquareCode(const maps::SampleRow& sample, SquareKind kind) {
    return kind == SquareKind::Km ? sample.kxy : sample.uxy;
}

std::size_t FindSquare(std::span<const maps::SampleRow> samples, SquareKind kind,
                       const QString& code) {
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (SquareCode(samples[i], kind).compare(code, Qt::CaseInsensitive) == 0)
            return i;
    return samples.size();
}

void AddVisit(std::vector<Visit>& visits, const maps::SampleRow& sample,
              const QHash<int, QString>& locationNames) {
    const QString location = locationNames.value(sample.id);
    for (const Visit& visit : visits)
        if (visit.location == location && visit.date == sample.datum)
            return;
    visits.push_back({location, sample.datum, sample.id});
}

std::size_t CollectSquare(SquarePass& pass, std::span<const maps::SampleRow> samples,
                          std::size_t start, SquareKind kind, const QString& code,
                          const SquareOptions& options, const QHash<int, QString>& locationNames) {
    pass = SquarePass{};
    std::size_t i = start;
    while (i < samples.size()) {
        const maps::SampleRow& sample = samples[i];
        const auto year = YearOf(sample.datum);
        // A sample whose year cannot be read lies in no period.
        const bool inPeriod =
            !options.periodOn || (year && *year >= options.beginYear && *year <= options.endYear);
        if (inPeriod) {
            QString name = sample.desmid;
            if (options.currentNames)
                name = options.currentNames->CurrentName(name);
            const bool excluded = (options.ignoreNoDesmids && IsNoDesmidsName(name)) ||
                                  (options.ignoreDoubtful && IsDoubtful(sample));
            if (excluded) {
                pass.doubtfulHint << name;
            } else {
                if (options.ignoreVarieties)
                    name = CutAfterTwoWords(name);
                if (!IsNoDesmidsName(name) && AddSorted(pass.species, name) &&
                    options.currentNames && name != sample.desmid)
                    pass.currentNamesHint << sample.desmid + QStringLiteral("  -->  ") + name;
                AddVisit(pass.visits, sample, locationNames);
                if (!pass.kmSquares.contains(sample.kxy))
                    pass.kmSquares << sample.kxy;
            }
        }
        ++i;
        if (i < samples.size() && SquareCode(samples[i], kind) != code)
            break;
    }
    if (options.knownNames) {
        for (qsizetype k = pass.species.size() - 1; k >= 0; --k) {
            if (!options.knownNames->ContainsExactly(pass.species[k])) {
                pass.notInListHint << pass.species[k];
                pass.species.removeAt(k);
            }
        }
    }
    return i;
}

} // namespace velmora::squares
