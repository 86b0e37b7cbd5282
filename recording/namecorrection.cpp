#include "recording/namecorrection.h"

#include "core/dataset.h"
#include "core/error.h"
#include "core/text/textutils.h"
#include "ecology/searchlist.h"
#include "ecology/taxonnames.h"
#include "recording/messages.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>

namespace velmora::recording {

int NameDistance(const QString& a, const QString& b) {
    QStringView s = a;
    QStringView t = b;
    if (s.size() < t.size())
        std::swap(s, t);
    qsizetype prefix = 0;
    while (prefix < t.size() && s[prefix] == t[prefix])
        ++prefix;
    s = s.sliced(prefix);
    t = t.sliced(prefix);
    qsizetype suffix = 0;
    while (suffix < t.size() && s[s.size() - 1 - suffix] == t[t.size() - 1 - suffix])
        ++suffix;
    s.chop(suffix);
    t.chop(suffix);
    if (t.isEmpty())
        return static_cast<int>(s.size());
    const qsizetype m = t.size();
    std::vector<int> row(static_cast<std::size_t>(m) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= s.size(); ++i) {
        int prev = static_cast<int>(i - 1);
        int cur = static_cast<int>(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const auto uj = static_cast<std::size_t>(j);
            if (s[i - 1] == t[j - 1] ||
                (i > 1 && j > 1 && s[i - 1] == t[j - 2] && s[i - 2] == t[j - 1]))
                cur = prev;
            else
                cur = 1 + std::min({cur, prev, row[uj]});
            prev = row[uj];
            row[uj] = cur;
        }
    }
    return row[static_cast<std::size_t>(m)];
}

double NameSimilarity(const QString& a, const QString& b, bool ignoreCase) {
    if (a.isEmpty() && b.isEmpty())
        return 1.0;
    const QString x = ignoreCase ? a.toLower() : a;
    const QString y = ignoreCase ? b.toLower() : b;
    return 1.0 - static_cast<double>(NameDistance(x, y)) /
                     static_cast<double>(std::max(x.size(), y.size()));
}

QStringList Suggestions(const QString& doubtful, const QStringList& knownNames) {
    struct Scored {
        int score;
        const QString* name;
    };
    std::vector<Scored> kept;
    for (const QString& name : knownNames) {
        // Whole percents, halves to the even number.
        const int score =
            static_cast<int>(std::nearbyint(NameSimilarity(doubtful, name, true) * 100.0));
        if (score > 10)
            kept.push_back({score, &name});
    }
    std::sort(kept.begin(), kept.end(), [](const Scored& a, const Scored& b) {
        if (a.score != b.score)
            return a.score > b.score;
        return core::CompareText(*a.name, *b.name) > 0;
    });
    QStringList lines = {doubtful + QStringLiteral("   <-- ") + ResStr(rsDoubtfulName), QString()};
    for (std::size_t i = 0; i < kept.size() && i < 5; ++i)
        lines << *kept[i].name;
    return lines;
}

QString DoubtfulEntry::Shown() const {
    return name.isEmpty() ? QStringLiteral(" Geen naam") : name;
}

std::vector<DoubtfulEntry> FindDoubtfulNames(core::Dataset& samples,
                                             const ecology::SearchList& searchList) {
    core::dbf::DbfTable& table = samples.Table();
    const int desmid = table.FieldIndex("DESMID");
    std::vector<DoubtfulEntry> entries;
    if (desmid < 0)
        return entries;
    // A name repeats in many samples: each distinct stored name is decoded, looked up and
    // case-folded once.
    struct Name {
        bool doubtful;
        QString name;
        QString folded;
    };
    std::unordered_map<std::string, Name> names;
    std::vector<std::pair<const Name*, int>> found; // name, record
    for (std::uint32_t r = 1; r <= table.PhysicalCount(); ++r) {
        if (table.IsDeleted(r))
            continue;
        std::string stored = table.Text(table.Record(r), desmid);
        auto it = names.find(stored);
        if (it == names.end()) {
            const QString name = QString::fromStdString(stored);
            const bool doubtful = name.isEmpty() || searchList.ListedSpelling(name) != name;
            it = names.emplace(std::move(stored), Name{doubtful, name, name.toCaseFolded()}).first;
        }
        if (it->second.doubtful)
            found.emplace_back(&it->second, static_cast<int>(r));
    }
    // Sorted as "name#record number", letter case ignored.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        keys.emplace_back(
            found[i].first->folded + QLatin1Char('#') + QString::number(found[i].second), i);
    std::sort(keys.begin(), keys.end());
    entries.reserve(found.size());
    for (const auto& key : keys)
        entries.push_back({found[key.second].first->name, found[key.second].second});
    return entries;
}

QString NormalisedName(const QString& name) {
    QString text = ecology::LowerAsciiLetters(name.trimmed());
    if (!text.isEmpty() && text[0] >= u'a' && text[0] <= u'z')
        text[0] = QChar(text[0].unicode() - ('a' - 'A'));
    QString kept;
    kept.reserve(text.size() + 4);
    for (QChar c : text) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (letter || c == u' ' || c == u'-' || c == u'.')
            kept += c;
        if (c == u'.')
            kept += QLatin1Char(' ');
    }
    return ecology::CollapseDoubleBlanks(kept);
}

namespace {

// While it lives every record of the table is visible: the windows may have filtered the
// samples to one event, and these operations concern all samples.
class AllRecords {
public:
    explicit AllRecords(core::Dataset& table) : m_table(table), m_was(table.Filtered()) {
        if (m_was)
            m_table.SetFiltered(false);
    }
    ~AllRecords() {
        if (m_was)
            m_table.SetFiltered(true);
    }
    AllRecords(const AllRecords&) = delete;
    AllRecords& operator=(const AllRecords&) = delete;

private:
    core::Dataset& m_table;
    bool m_was;
};

// Stores a new name into the current sample.
void StoreName(core::Dataset& samples, const QString& name) {
    samples.Edit();
    samples.FieldByName(QStringLiteral("DESMID")).SetAsString(name);
    samples.Post();
}

} // namespace

int NormaliseAllNames(core::Dataset& samples) {
    const AllRecords all(samples);
    int changed = 0;
    core::Field desmid = samples.FieldByName(QStringLiteral("DESMID"));
    for (samples.First(); !samples.Eof(); samples.Next()) {
        const QString name = desmid.AsString();
        const QString normal = NormalisedName(name);
        if (normal != name) {
            StoreName(samples, normal);
            ++changed;
        }
    }
    return changed;
}

int DeleteNamelessSamples(core::Dataset& samples) {
    const AllRecords all(samples);
    // Found first, then deleted: consecutive nameless samples are all found.
    std::vector<int> nameless;
    core::Field desmid = samples.FieldByName(QStringLiteral("DESMID"));
    for (samples.First(); !samples.Eof(); samples.Next())
        if (desmid.AsString().trimmed().isEmpty())
            nameless.push_back(samples.RecNo());
    for (int recNo : nameless) {
        samples.SetRecNo(recNo);
        samples.Delete();
    }
    return static_cast<int>(nameless.size());
}

int RenameEverywhere(core::Dataset& samples, const QString& oldName, const QString& newName) {
    const AllRecords all(samples);
    const QString from = oldName.trimmed();
    const QString to = newName.trimmed();
    core::Field desmid = samples.FieldByName(QStringLiteral("DESMID"));
    std::vector<std::pair<int, QString>> renamed; // record, name as it was
    try {
        for (samples.First(); !samples.Eof(); samples.Next()) {
            const QString name = desmid.AsString();
            if (name.trimmed() != from)
                continue;
            const int recNo = samples.RecNo();
            StoreName(samples, to);
            renamed.emplace_back(recNo, name);
        }
    } catch (...) {
        if (samples.State() != core::DatasetState::Browse)
            samples.Cancel();
        // Every sample keeps its name, or every sample gets the new one.
        for (auto it = renamed.rbegin(); it != renamed.rend(); ++it) {
            try {
                samples.SetRecNo(it->first);
                StoreName(samples, it->second);
            } catch (...) {
                if (samples.State() != core::DatasetState::Browse)
                    samples.Cancel();
            }
        }
        throw;
    }
    return static_cast<int>(renamed.size());
}

} // namespace velmora::recording
