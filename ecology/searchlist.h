#pragma once
// The species search list: every taxon name of the annotated taxa lists used in this run and
// the names of the additional list file, sorted and unique without regard to letter case.
// Names are added and never removed during a run.
//
// The additional list is kept as the file's lines: a line may begin with "#", which belongs to
// the stored line but not to the name.

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::ecology {

class SearchList {
public:
    // Adds a name unless the list holds it already (letter case ignored); keeps the order.
    // Returns true when it was added. Empty names are not added.
    bool Add(const QString& name);
    bool Contains(const QString& name) const; // letter case ignored
    // True when the list holds the name spelled exactly so, letter case included.
    bool ContainsExactly(const QString& name) const;
    // The name as the list spells it, for a name found without regard to letter case; empty
    // when the list does not hold it.
    QString ListedSpelling(const QString& name) const;
    qsizetype Size() const { return static_cast<qsizetype>(m_names.size()); }
    const QString& At(qsizetype i) const { return m_names[static_cast<std::size_t>(i)].name; }
    QStringList Names() const;

    // The names the name list box shows for a search text:
    // - empty text: every name;
    // - a text with a blank: names that, with A..Z lowered, begin with the part before the first
    //   blank and hold the rest (blank included) at a position after their second character;
    // - otherwise: names holding the text anywhere, compared in the same lowered form.
    // A text that begins with a blank therefore shows nothing.
    QStringList FilterNames(const QString& text) const;
    // The names that hold the text anywhere, letter case ignored, in the list's (alphabetical)
    // order; every name for an empty text. The location search's name list.
    QStringList NamesContaining(const QString& text) const;

    // Replaces the additional list with the file's lines and adds their names (trimmed, a
    // leading "#" removed). Throws core::Error when the file cannot be read; names read before
    // stay.
    void ExtendSearchList(const QString& additionalListPath);

    // The additional list's lines as last read or written.
    const QStringList& AdditionalLines() const { return m_additional; }

    // Adds a name (trimmed) to the search list and to the additional list, sorts the
    // additional list without regard to case and writes it to the file. The name is in the
    // search list even when writing fails (core::Error is then thrown).
    // REQUIRES: !Contains(name.trimmed())
    void AddToAdditionalList(const QString& name, const QString& additionalListPath);

private:
    struct Entry {
        QString key; // case-folded
        QString name;
    };
    std::vector<Entry>::const_iterator Find(const QString& key) const;
    std::vector<Entry> m_names; // sorted by key
    QStringList m_additional;
};

} // namespace velmora::ecology
