#pragma once
// The rules by which a taxon name written in a sample is normalised before it is matched
// against the annotated taxa list. Every window that matches names uses these.

#include <QString>
#include <utility>

namespace velmora::ecology {

// One left-to-right pass replacing each non-overlapping pair of blanks by one blank, without
// rescanning its own output: two blanks become one, three become two, four become two.
QString CollapseDoubleBlanks(const QString& text);

// The genus-and-species part of a name: collapsed, cut before the second blank, trimmed of
// blanks and control characters. A leading blank counts as the first blank.
QString SpeciesName(const QString& name);

// The part before the second blank, or the name itself; no collapsing, no trimming.
QString TaxonInfoKey(const QString& name);

// True when the name marks an uncertain determination: a "?" anywhere, or " sp ", " sp." or
// " spec.".
bool IsUncertainName(const QString& name);

// True for the sample name of an event without desmids: the resource text (Dutch "Geen
// sieralgen") or either language's built-in form, so that records typed under one interface
// language are still recognised under the other.
bool IsNoDesmidsName(const QString& name);

// The key under which names are compared without regard to letter case (Unicode case
// folding; a fast path for plain ASCII names).
QString FoldCase(const QString& text);

// Letters A to Z lowered, every other character unchanged (the comparison form of the name
// filter).
QString LowerAsciiLetters(const QString& text);

// The two parts of a sample's taxon information (DESMIDINFO): the trimmed texts before and
// after its first "#" (the second at most 100 characters before trimming); the whole text as
// the first part when it has no "#".
std::pair<QString, QString> SplitInfo(const QString& desmidInfo);

} // namespace velmora::ecology
