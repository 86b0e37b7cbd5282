#pragma once
// The resource-string translator: the [RESOURCESTRINGS] section of the loaded language file,
// serving the program's message texts by their numeric identifiers.
//
// The entries are kept in file order and found by binary search, so a file must list its
// identifiers in ascending order (the program writes them that way); entries out of order
// may not be found, which then shows the built-in text, never a wrong one.

#include <QString>
#include <optional>
#include <vector>

namespace velmora::support {

class TResStringer {
public:
    struct Entry {
        int id;
        QString text;
    };

    // Identifiers from this value on are not identifiers but references to literal texts,
    // which are never translated.
    static constexpr int kFirstLiteral = 65536;

    // The translation of an identifier, when the translator is active and has one.
    std::optional<QString> Lookup(int id) const;

    // Starts a new table (a [RESOURCESTRINGS] section was met).
    void Clear() { m_entries.clear(); }
    void Append(int id, QString text) { m_entries.push_back({id, std::move(text)}); }
    const std::vector<Entry>& Entries() const { return m_entries; }

    // Active from creation; after a section has been read, active exactly when the section
    // held at least one entry.
    bool Active() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

private:
    std::vector<Entry> m_entries;
    bool m_active = true;
};

} // namespace velmora::support
