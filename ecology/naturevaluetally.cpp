#include "ecology/naturevaluetally.h"

#include "core/error.h"
#include "core/resourcestrings.h"
#include "core/text/textutils.h"
#include "ecology/messages.h"
#include "ecology/searchlist.h"
#include "ecology/taxalist.h"
#include "ecology/taxonnames.h"

#include <algorithm>
#include <cmath>

namespace velmora::ecology {

QString NatureValueTally::NotPrefix() {
    return ResStr(rsNotPrefix);
}

QString NatureValueTally::PartlyPrefix() {
    return ResStr(rsPartlyPrefix);
}

Milieu MilieuOfZuurgraad(const QString& z) {
    if (z == QLatin1String("Acidic") || z == QLatin1String("Zuur"))
        return MilieuZuur;
    if (z == QLatin1String("Slightly Acidic") || z == QLatin1String("Zwak zuur"))
        return MilieuZwakZuur;
    static const QStringList neutral = {
        QStringLiteral("Neutral"),          QStringLiteral("Neutraal"),
        QStringLiteral("Neutral-Alkaline"), QStringLiteral("Neutraal-alkalisch"),
        QStringLiteral("Alkaline"),         QStringLiteral("Alkalisch")};
    if (neutral.contains(z))
        return MilieuNeutraalAlkalisch;
    return MilieuNone;
}

void MilieuSet::Add(const QString& zuurgraad) {
    switch (MilieuOfZuurgraad(zuurgraad)) {
    case MilieuZuur:
        m_flags |= 1;
        break;
    case MilieuZwakZuur:
        m_flags |= 2;
        break;
    case MilieuNeutraalAlkalisch:
        m_flags |= 4;
        break;
    case MilieuNone:
        if (zuurgraad.trimmed().isEmpty())
            m_flags |= 2;
        break;
    }
}

Milieu MilieuSet::Combined() const {
    if (m_flags == 1)
        return MilieuZuur;
    if (m_flags == 4)
        return MilieuNeutraalAlkalisch;
    return MilieuZwakZuur;
}

QString SpectrumCaption(int spectrumClass) {
    return ResStr(Message(rsSpZuur + spectrumClass));
}

bool IsCountedRecord(const QString& zeker, const QString& abund, const QString& dl,
                     CountedRecordRule rule) {
    const bool certain = zeker.isEmpty() || zeker[0] == QLatin1Char(' ');
    const bool present = rule == CountedRecordRule::MainWindow
                             ? !abund.startsWith(QLatin1Char('0'))
                             : abund.trimmed() != QLatin1String("0");
    const bool alive = !dl.startsWith(QLatin1Char('D'));
    return certain && present && alive;
}

QString OneDecimal(double value) {
    const double rounded = std::round(value * 10.0) / 10.0; // halves away from zero
    return core::FormatDecimal(rounded, 1);
}

NatureValueTally::NatureValueTally(const TaxaList& taxaList, const SearchList& searchList)
    : m_taxaList(taxaList), m_searchList(searchList) {
    ClearData();
}

void NatureValueTally::ClearData() {
    m_d = m_r = m_s = m_redListCount = 0;
    m_redListNames.clear();
    m_counts.fill(0);
    for (QString& hint : m_hints)
        hint.clear();
    m_treated.clear();
    m_notCounted.clear();
    m_noDesmids = ResStr(rsNoDesmids);
    const QString zero = QStringLiteral("0");
    m_result.dn = m_result.rn = m_result.sn = zero;
    m_result.dValue = m_result.rValue = m_result.sValue = zero;
    m_result.rl = m_result.nw = zero;
    m_result.percent.fill(zero);
    m_result.bar.fill(0);
}

namespace {
void AppendLine(QString& text, const QString& name) {
    if (!text.isEmpty())
        text += QStringLiteral("\n\r");
    text += name;
}

// A score entry: blank adds nothing; anything else must be a whole number.
int Score(const QString& entry) {
    if (entry.isEmpty())
        return 0;
    bool ok = false;
    const int value = entry.toInt(&ok, 10);
    if (!ok)
        throw core::Error(core::ResStr(core::rsNotAnInteger).arg(entry));
    return value;
}
} // namespace

void NatureValueTally::AppendNotCounted(const QString& line) {
    if (!m_notCountedSorted) {
        m_notCounted << line;
        return;
    }
    auto pos = std::upper_bound(
        m_notCounted.begin(), m_notCounted.end(), line,
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_notCounted.insert(pos, line);
}

void NatureValueTally::AddTaxon(const QString& rawName, bool excluded) {
    QString name = CollapseDoubleBlanks(rawName);
    if (name == m_noDesmids || name == QLatin1String("Geen sieralgen") ||
        name == QLatin1String("No Desmids"))
        return;
    QString key = FoldCase(name);
    const qsizetype i = m_taxaList.FindFoldedTaxon(key);
    const AnnotatedTaxa& taxa = m_taxaList.Taxa();
    if (i >= 0 && taxa.negVar[i] == QLatin1String("T")) {
        name = SpeciesName(name);
        key = FoldCase(name);
    }
    if (m_treated.contains(key))
        return;
    if (i < 0) {
        AddUnlistedTaxon(name, excluded);
        return;
    }
    if (excluded) {
        AppendNotCounted(NotPrefix() + name);
        return;
    }
    // Convert first, so that a bad score leaves the tally as it was.
    const int r = Score(taxa.r[i]);
    const int s = Score(taxa.s[i]);
    ++m_d;
    m_treated.insert(key);
    m_r += r;
    m_s += s;
    if (!taxa.redList[i].isEmpty()) {
        ++m_redListCount;
        AppendLine(m_redListNames, taxa.name[i]);
    }
    Classify(taxa.acidity[i], taxa.trophic[i], taxa.name[i]);
}

void NatureValueTally::AddUnlistedTaxon(const QString& name, bool excluded) {
    if (name.contains(QLatin1String("spec.")) || !m_searchList.Contains(name)) {
        AppendNotCounted(NotPrefix() + name);
        return;
    }
    if (excluded)
        return;
    AppendNotCounted(PartlyPrefix() + name);
    m_treated.insert(FoldCase(name));
    ++m_d;
}

namespace {
// The class words of ACIDITY and TROPHIC_ST by spectrum class, in class order.
struct ClassWords {
    int spectrumClass;
    std::initializer_list<const char*> values;
};
const ClassWords kAcidityClasses[] = {
    {SpZuur, {"acido"}},     {SpZwakZuur, {"acido-neut", "neutr-acid"}},
    {SpNeutraal, {"neutr"}}, {SpNeutraalAlkalisch, {"alk-neutr", "neutr-alk"}},
    {SpAlkalisch, {"alk"}},
};
const ClassWords kTrophicClasses[] = {
    {SpOligotroof, {"oligo"}}, {SpOligoMesotroof, {"oligo-meso", "meso-oligo"}},
    {SpMesotroof, {"meso"}},   {SpMesoEutroof, {"meso-eu", "eu-meso"}},
    {SpEutroof, {"eu"}},
};

template <std::size_t N> QStringList Words(const ClassWords (&classes)[N]) {
    QStringList words;
    for (const ClassWords& c : classes)
        for (const char* v : c.values)
            words << QLatin1String(v);
    return words;
}
} // namespace

const QStringList& AcidityWords() {
    static const QStringList words = Words(kAcidityClasses);
    return words;
}

const QStringList& TrophicWords() {
    static const QStringList words = Words(kTrophicClasses);
    return words;
}

void NatureValueTally::Classify(const QString& acidity, const QString& trophic,
                                const QString& listName) {
    auto classify = [&](const QString& entry, const auto& classes, int indifferent) {
        int found = indifferent;
        for (const ClassWords& c : classes)
            for (const char* v : c.values)
                if (entry == QLatin1String(v))
                    found = c.spectrumClass;
        ++m_counts[found];
        AppendLine(m_hints[found], listName);
    };
    classify(acidity, kAcidityClasses, SpZuurIndifferent);
    classify(trophic, kTrophicClasses, SpTrofieIndifferent);
}

void NatureValueTally::ComputeSpectrum() {
    for (int c = 0; c < SpectrumClassCount; ++c) {
        // Halves to the even neighbour (the default rounding mode).
        const int percent = static_cast<int>(std::nearbyint(m_counts[c] * 100.0 / m_d));
        m_result.percent[c] = QString::number(percent);
        m_result.bar[c] = percent;
    }
}

namespace {
struct Limits {
    std::array<int, 3> d;
    std::array<int, 3> r;
    std::array<int, 4> s;
    double dFactor, dPower, rFactor, rPower, sFactor, sPower;
};

const Limits& LimitsOf(Milieu milieu) {
    static const Limits zuur{{1, 6, 31}, {1, 3, 31}, {1, 6, 21, 41}, 0.8, 0.36,
                             1.15,       0.24,       0.68,           0.45};
    static const Limits zwakZuur{{1, 11, 51}, {1, 6, 41}, {1, 11, 41, 81}, 0.64, 0.37, 0.85, 0.31,
                                 0.58,        0.42};
    static const Limits neutraal{{1, 6, 31}, {1, 3, 11}, {1, 6, 21, 41}, 0.8, 0.36,
                                 1.0,        0.4,        0.68,           0.45};
    switch (milieu) {
    case MilieuZuur:
        return zuur;
    case MilieuNeutraalAlkalisch:
        return neutraal;
    default:
        return zwakZuur;
    }
}

template <std::size_t N> int ClassOf(int value, const std::array<int, N>& limits) {
    int cls = 0;
    for (std::size_t k = 0; k < N; ++k)
        if (value >= limits[k])
            cls = static_cast<int>(k) + 1;
    return cls;
}

double Power(double factor, int n, double e) {
    return n <= 0 ? 0.0 : factor * std::pow(static_cast<double>(n), e);
}
} // namespace

void NatureValueTally::ComputeNatureValue() {
    if (m_d == 0)
        return;
    ComputeSpectrum();
    if (m_milieu == MilieuNone)
        m_milieu = MilieuZwakZuur;
    const Limits& lim = LimitsOf(m_milieu);
    m_dClass = ClassOf(m_d, lim.d);
    m_rClass = ClassOf(m_r, lim.r);
    m_sClass = ClassOf(m_s, lim.s);
    m_dAlt = std::min(Power(lim.dFactor, m_d, lim.dPower), 3.0);
    m_rAlt = std::min(Power(lim.rFactor, m_r, lim.rPower), 3.0);
    m_sAlt = std::min(Power(lim.sFactor, m_s, lim.sPower), 4.0);

    if (m_alternative) {
        m_result.dValue = OneDecimal(m_dAlt);
        m_result.rValue = OneDecimal(m_rAlt);
        m_result.sValue = OneDecimal(m_sAlt);
        const double total = m_dAlt + m_rAlt + m_sAlt;
        m_result.nw = total >= 9.9 ? QStringLiteral("10") : OneDecimal(total);
    } else {
        m_result.dValue = QString::number(m_dClass);
        m_result.rValue = QString::number(m_rClass);
        m_result.sValue = QString::number(m_sClass);
        m_result.nw = QString::number(m_dClass + m_rClass + m_sClass);
    }
    m_result.dn = QString::number(m_d);
    m_result.rn = QString::number(m_r);
    m_result.sn = QString::number(m_s);
    m_result.rl = QString::number(m_redListCount);

    if (!m_notCountedSorted) {
        std::stable_sort(m_notCounted.begin(), m_notCounted.end(),
                         [](const QString& a, const QString& b) {
                             return a.compare(b, Qt::CaseInsensitive) < 0;
                         });
        m_notCountedSorted = true;
    }
}

MainWindowSummary SummaryTexts(const NatureValueResult& result, int sampleRows,
                               const QString& firstRowName) {
    MainWindowSummary summary;
    summary.aantalTaxa =
        IsNoDesmidsName(firstRowName) ? QStringLiteral("0") : QString::number(sampleRows);
    auto box = [](const QString& raw, const QString& score) {
        return (raw.size() == 1 ? QStringLiteral("  ") : QString()) + raw +
               QStringLiteral(" --> ") + score;
    };
    summary.divers = box(result.dn, result.dValue);
    summary.zeldz = box(result.rn, result.rValue);
    summary.sign = box(result.sn, result.sValue);
    summary.redListLabel = ResStr(rsRedListLabel) + result.rl;
    summary.natureValueLabel = ResStr(rsNatureValueLabel) + result.nw;
    return summary;
}

} // namespace velmora::ecology
