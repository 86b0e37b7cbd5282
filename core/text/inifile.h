#pragma once
// An INI file held in memory: sections and keys in file order, looked up without regard to
// letter case, as the program's configuration and database settings files need. Lines that
// are neither a "[section]" header nor "key=value" are ignored when reading.

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::core {

class IniFile {
public:
    IniFile() = default;

    // Parses text; never fails (unreadable lines are passed over).
    static IniFile FromText(const QString& text);
    // Reads a file; a missing or unreadable file gives an empty IniFile.
    static IniFile Load(const QString& path);

    bool HasSection(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;
    QString Value(const QString& section, const QString& key, const QString& def = {}) const;
    // Integer value; a missing key or a text that is not a whole number gives def.
    int IntValue(const QString& section, const QString& key, int def) const;
    // Booleans are stored as integers: any integer other than 0 is true.
    bool BoolValue(const QString& section, const QString& key, bool def) const;

    void SetValue(const QString& section, const QString& key, const QString& value);
    void SetInt(const QString& section, const QString& key, int value);
    void SetBool(const QString& section, const QString& key, bool value);
    void EraseSection(const QString& section);

    QStringList Sections() const;
    QStringList Keys(const QString& section) const;

    QString ToText() const; // "[section]" and "key=value" lines, CR LF ends
    // Writes through a temporary file renamed over the old one. Throws Error on failure.
    void Save(const QString& path) const;

private:
    struct Entry {
        QString key;
        QString value;
    };
    // Entries in file order; the index finds a key (folded to lower case) at once, so that
    // reading a file with many keys takes time in proportion to its size.
    struct Section {
        QString name;
        std::vector<Entry> entries;
        QHash<QString, std::size_t> index;
        const Entry* Find(const QString& key) const;
        Entry& FindOrAdd(const QString& key);
    };
    const Section* Find(const QString& section) const;
    Section& FindOrAdd(const QString& section);
    std::vector<Section> m_sections;
    QHash<QString, std::size_t> m_index; // folded section name -> position
};

} // namespace velmora::core
