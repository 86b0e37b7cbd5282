#pragma once
// Name correction: the taxon names of the samples that the species search list does not know
// (or knows in another letter case), similar known names to choose from, and renaming one
// sample or every sample of a name; the spelling of every name normalised by fixed rules, and
// samples without a name deleted. The window binds its lists and buttons to these.

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::core {
class Dataset;
}
namespace velmora::ecology {
class SearchList;
}

namespace velmora::recording {

// The restricted Damerau-Levenshtein distance (adjacent transpositions), computed in one row
// after the common prefix and suffix are removed.
int NameDistance(const QString& a, const QString& b);
// 1 - distance / the longer length (1 for two empty texts); with ignoreCase both texts are put
// in small letters first.
double NameSimilarity(const QString& a, const QString& b, bool ignoreCase);

// The suggestion lines for a doubtful name: the name with "   <-- " and "twijfelachtige
// naam", an empty line, then at most five known names whose similarity (letter case ignored,
// in whole percents, halves to even) is above 10, the most similar first and equal ones in
// reverse alphabetical order.
QStringList Suggestions(const QString& doubtful, const QStringList& knownNames);

// One sample with a doubtful name: its name as stored and its record number.
struct DoubtfulEntry {
    QString name;
    int recNo = 0;
    // What the list of doubtful names shows: the name, or " Geen naam" for a blank one.
    QString Shown() const;
};
// The samples whose name the search list lacks, or holds in another letter case, sorted by
// "name#record number" with letter case ignored.
std::vector<DoubtfulEntry> FindDoubtfulNames(core::Dataset& samples,
                                             const ecology::SearchList& searchList);

// A name by the four rules: surrounding blanks removed, letters A-Z lowered, the first
// character a capital (a-z), only blanks, hyphens, full stops and letters A-Z/a-z kept, a blank
// after every full stop, and each pair of blanks made one.
QString NormalisedName(const QString& name);
// These walk every sample of the table, also while it is filtered to one event.
// Every sample's name normalised; returns how many samples were changed.
int NormaliseAllNames(core::Dataset& samples);
// Deletes every sample whose name is blank after trimming; returns how many.
int DeleteNamelessSamples(core::Dataset& samples);
// Gives every sample whose trimmed name equals the trimmed old name the trimmed new name;
// all or nothing: when a sample cannot be stored, those already renamed get their old name
// back and core::Error is thrown. Returns how many samples were renamed.
int RenameEverywhere(core::Dataset& samples, const QString& oldName, const QString& newName);

} // namespace velmora::recording
