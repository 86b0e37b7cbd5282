#pragma once
// The annotated taxa list in use (Dutch or European) and its in-memory copy AnnotatedTaxa:
// per taxon the name, current (accepted) name, author, trophic and acidity preference, life
// form, rarity score R, signal score S, red-list mark and variety rule, in the order of the
// list's "TaxonName" tag. Every per-sample look-up of the calculations goes through this
// copy, and the list table is closed once it is read: whoever walks the list by name or by
// current name (the map runs) uses the copy's two orders (TaxaOrder) instead of the table's
// tags.

#include "core/dbf/fielddef.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>
#include <vector>

namespace velmora::ecology {

class SearchList;

// One record of the list as read from the table: every field trimmed, null fields empty.
struct TaxonRecord {
    QString taxonName;
    QString curName;
    QString author;
    QString trophic;
    QString acidity;
    QString lifeForm;
    QString r;
    QString s;
    QString redList;
    QString negVar;

    // The value of field i of TaxaListFieldDefs() (0 TAXON_NAME ... 9 NEG_VAR); any other i
    // throws std::out_of_range.
    QString& Value(int i);
    const QString& Value(int i) const;
};

// The ten columns of the copy; entry i of every column belongs to the same record. name and
// curName are trimmed and their double blanks collapsed; a blank CUR_NAME stays empty.
struct AnnotatedTaxa {
    QStringList name, curName, author, trophic, acidity, lifeForm, r, s, redList, negVar;
    qsizetype Size() const { return name.size(); }
};

// The two orders of the copy: by name (TAXON_NAME) and by current name (CUR_NAME).
enum class TaxaOrder { TaxonName, CurName };

// The field layout of a list table, in file order: ten character fields, TAXON_NAME and
// CUR_NAME 80 wide (as a sample's DESMID), AUTHOR_NAM 139, TROPHIC_ST and ACIDITY 10 (the
// longest class words), LIFE_FORM 20, R and S 4, R_L 10, NEG_VAR 1. Lists are level 4 tables.
const core::dbf::FieldDefs& TaxaListFieldDefs();
// The ten field names of a list table, in their file order.
QStringList TaxaListFieldNames();

class TaxaList {
public:
    // Replaces the copy with the records, which must be in the order of the "TaxonName" tag
    // (case-insensitive TAXON_NAME order). Each name is collapsed and added to the search
    // list when one is given. fieldNames are the table's field names in file order.
    void Assign(const std::vector<TaxonRecord>& records, SearchList* searchList,
                const QStringList& fieldNames = TaxaListFieldNames());
    void Clear();

    const AnnotatedTaxa& Taxa() const { return m_taxa; }
    // True when a list is loaded but none of its records carries a rarity or signal score,
    // a red-list mark or an ecological preference: a nature value from it is diversity alone.
    bool DiversityOnly() const { return m_taxa.Size() > 0 && !m_hasScores; }

    // First position whose name equals the argument without regard to case; -1 when none.
    qsizetype FindTaxon(const QString& name) const;
    // The same for a name already folded with FoldCase.
    qsizetype FindFoldedTaxon(const QString& foldedName) const {
        return m_folded.value(foldedName, -1);
    }
    // True when the species of the name has a red-list mark.
    bool IsRedListTaxon(const QString& name) const;
    // The text with the seven info columns of the name's species appended (author, trophic,
    // acidity, life form, R, S, red list), each followed by a tab; letter case significant;
    // seven tabs when not found.
    QString AddTaxonInfo(const QString& name, const QString& text) const;
    // The text with the third to ninth field names appended, each followed by a tab.
    QString AddTaxonTitles(const QString& text) const;
    // First position whose current name equals the argument without regard to case (as
    // FindTaxon compares names); -1 when none.
    qsizetype FindCurName(const QString& curName) const;

    // The positions of the copy (indices into its columns), each once, sorted by name or by
    // current name as FindTaxon compares names: case-folded (FoldCase), then by UTF-16 code
    // unit; equal names keep the list order and blank current names come first. Names that
    // differ in letter case only are thus neighbours, and a look-up's hit starts their run.
    // The list order itself is the table collation of the "TaxonName" tag (lower case just
    // before upper case, letter by letter; accented letters beside their base letter), so
    // the name order departs from it where a name is spelled unusually (an uncapitalised
    // genus, an accented letter).
    const std::vector<qsizetype>& Order(TaxaOrder order) const {
        return m_orders[static_cast<std::size_t>(order)];
    }
    // The run of Order(order) whose names (or current names) equal the argument without
    // regard to case; empty when none. Its first element is the first position of that name
    // in the list: for TaxonName it is FindTaxon(name), for CurName FindCurName(name).
    std::span<const qsizetype> EqualRange(TaxaOrder order, const QString& name) const;

    // CUR_NAME of the record whose TAXON_NAME equals the name exactly, else the name.
    QString CurrentName(const QString& name) const;
    // AUTHOR_NAM of the record whose TAXON_NAME equals the name exactly, or nothing.
    std::optional<QString> Author(const QString& name) const;

private:
    AnnotatedTaxa m_taxa;
    bool m_hasScores = false;
    QStringList m_fieldNames;
    // By TaxaOrder: the positions in that order, and the case-folded key of each position.
    std::array<std::vector<qsizetype>, 2> m_orders;
    std::array<QStringList, 2> m_orderKeys;
    QHash<QString, qsizetype> m_folded; // case-folded name -> first position
    QHash<QString, qsizetype> m_exact;  // name as in the copy -> first position
    // TAXON_NAME as stored (trailing blanks removed) -> first record: CUR_NAME and author
    QHash<QString, std::pair<QString, QString>> m_stored;
};

} // namespace velmora::ecology
