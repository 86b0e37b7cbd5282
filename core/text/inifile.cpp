#include "core/text/inifile.h"

#include "core/text/textfile.h"

#include <QFile>

namespace velmora::core {

IniFile IniFile::FromText(const QString& text) {
    IniFile ini;
    Section* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &ini.FindOrAdd(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (current == nullptr || eq <= 0)
            continue;
        current->FindOrAdd(line.left(eq).trimmed()).value = line.mid(eq + 1).trimmed();
    }
    return ini;
}

IniFile IniFile::Load(const QString& path) {
    if (!QFile::exists(path))
        return {};
    try {
        return FromText(ReadTextFile(path));
    } catch (const std::exception&) {
        return {};
    }
}

namespace {
QString Folded(const QString& name) {
    return name.toCaseFolded();
}
} // namespace

const IniFile::Entry* IniFile::Section::Find(const QString& key) const {
    const auto it = index.constFind(Folded(key));
    return it == index.constEnd() ? nullptr : &entries[*it];
}

IniFile::Entry& IniFile::Section::FindOrAdd(const QString& key) {
    const QString folded = Folded(key);
    const auto it = index.constFind(folded);
    if (it != index.constEnd())
        return entries[*it];
    index.insert(folded, entries.size());
    entries.push_back({key, {}});
    return entries.back();
}

const IniFile::Section* IniFile::Find(const QString& section) const {
    const auto it = m_index.constFind(Folded(section));
    return it == m_index.constEnd() ? nullptr : &m_sections[*it];
}

IniFile::Section& IniFile::FindOrAdd(const QString& section) {
    const QString folded = Folded(section);
    const auto it = m_index.constFind(folded);
    if (it != m_index.constEnd())
        return m_sections[*it];
    m_index.insert(folded, m_sections.size());
    m_sections.push_back({section, {}, {}});
    return m_sections.back();
}

bool IniFile::HasSection(const QString& section) const {
    return Find(section) != nullptr;
}

bool IniFile::HasKey(const QString& section, const QString& key) const {
    const Section* s = Find(section);
    return s && s->Find(key);
}

QString IniFile::Value(const QString& section, const QString& key, const QString& def) const {
    const Section* s = Find(section);
    const Entry* e = s ? s->Find(key) : nullptr;
    return e ? e->value : def;
}

int IniFile::IntValue(const QString& section, const QString& key, int def) const {
    const QString text = Value(section, key).trimmed();
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : def;
}

bool IniFile::BoolValue(const QString& section, const QString& key, bool def) const {
    return IntValue(section, key, def ? 1 : 0) != 0;
}

void IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    FindOrAdd(section).FindOrAdd(key).value = value;
}

void IniFile::SetInt(const QString& section, const QString& key, int value) {
    SetValue(section, key, QString::number(value));
}

void IniFile::SetBool(const QString& section, const QString& key, bool value) {
    SetValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::EraseSection(const QString& section) {
    const auto it = m_index.constFind(Folded(section));
    if (it == m_index.constEnd())
        return;
    m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(*it));
    m_index.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_index.insert(Folded(m_sections[i].name), i);
}

QStringList IniFile::Sections() const {
    QStringList names;
    for (const Section& s : m_sections)
        names << s.name;
    return names;
}

QStringList IniFile::Keys(const QString& section) const {
    QStringList keys;
    if (const Section* s = Find(section))
        for (const Entry& e : s->entries)
            keys << e.key;
    return keys;
}

QString IniFile::ToText() const {
    QString text;
    for (const Section& s : m_sections) {
        text += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
        for (const Entry& e : s.entries)
            text += e.key + QLatin1Char('=') + e.value + QStringLiteral("\r\n");
    }
    return text;
}

void IniFile::Save(const QString& path) const {
    QStringList lines;
    for (const Section& s : m_sections) {
        lines << QLatin1Char('[') + s.name + QLatin1Char(']');
        for (const Entry& e : s.entries)
            lines << e.key + QLatin1Char('=') + e.value;
    }
    WriteTextLines(path, lines);
}

} // namespace velmora::core
