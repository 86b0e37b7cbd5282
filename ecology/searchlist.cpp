#include "ecology/searchlist.h"

#include "core/error.h"
#include "core/text/textfile.h"
#include "ecology/taxonnames.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::ecology {

std::vector<SearchList::Entry>::const_iterator SearchList::Find(const QString& key) const {
    return std::lower_bound(m_names.begin(), m_names.end(), key,
                            [](const Entry& e, const QString& k) { return e.key < k; });
}

bool SearchList::Add(const QString& name) {
    if (name.isEmpty())
        return false;
    const QString key = FoldCase(name);
    auto it = Find(key);
    if (it != m_names.end() && it->key == key)
        return false;
    m_names.insert(it, {key, name});
    return true;
}

bool SearchList::Contains(const QString& name) const {
    const QString key = FoldCase(name);
    auto it = Find(key);
    return it != m_names.end() && it->key == key;
}

bool SearchList::ContainsExactly(const QString& name) const {
    const QString key = FoldCase(name);
    auto it = Find(key);
    return it != m_names.end() && it->key == key && it->name == name;
}

QString SearchList::ListedSpelling(const QString& name) const {
    const QString key = FoldCase(name);
    auto it = Find(key);
    return it != m_names.end() && it->key == key ? it->name : QString();
}

QStringList SearchList::Names() const {
    QStringList names;
    names.reserve(Size());
    for (const Entry& e : m_names)
        names << e.name;
    return names;
}

QStringList SearchList::NamesContaining(const QString& text) const {
    QStringList shown;
    for (const Entry& e : m_names) {
        if (e.name.contains(text, Qt::CaseInsensitive))
            shown << e.name;
    }
    return shown;
}

QStringList SearchList::FilterNames(const QString& text) const {
    if (text.isEmpty())
        return Names();
    QStringList shown;
    const QString lowered = LowerAsciiLetters(text);
    const qsizetype blank = lowered.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        const QString first = lowered.left(blank);
        const QString second = lowered.mid(blank);
        if (first.isEmpty())
            return shown; // an empty first part begins no name
        for (const Entry& e : m_names) {
            const QString name = LowerAsciiLetters(e.name);
            if (name.startsWith(first) && name.indexOf(second) >= 2)
                shown << e.name;
        }
    } else {
        for (const Entry& e : m_names)
            if (LowerAsciiLetters(e.name).contains(lowered))
                shown << e.name;
    }
    return shown;
}

namespace {
QString NameOfLine(const QString& line) {
    QString name = line.trimmed();
    if (name.startsWith(QLatin1Char('#')))
        name.remove(0, 1);
    return name.trimmed();
}
} // namespace

void SearchList::ExtendSearchList(const QString& additionalListPath) {
    m_additional.clear();
    const QStringList lines = core::ReadTextLines(additionalListPath);
    for (const QString& line : lines) {
        m_additional << line;
        Add(NameOfLine(line));
    }
}

void SearchList::AddToAdditionalList(const QString& name, const QString& additionalListPath) {
    const QString trimmed = name.trimmed();
    if (Contains(trimmed))
        throw std::logic_error("AddToAdditionalList: the name is already listed");
    Add(trimmed);
    m_additional << trimmed;
    std::stable_sort(
        m_additional.begin(), m_additional.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    core::WriteTextLines(additionalListPath, m_additional);
}

} // namespace velmora::ecology
