#pragma once
// The taxa a map can be drawn for: the names of the samples of the open database, shaped by
// the options of the dot-map window (current names, varieties, firm records, zygospores),
// the search over them, and the names a chosen taxon is drawn with.

#include "ecology/taxalist.h"
#include "maps/runsource.h"

#include <QString>
#include <QStringList>

namespace velmora::maps {

struct NameListOptions {
    bool ignoreUncertain = false; // "Negeer D, 0, ? en T "
    bool currentNames = false;    // "Gebruik huidige namen"
    bool zygosporesOnly = false;  // "Alleen zygosporen"
    bool ignoreVarieties = false; // "Negeer variëteiten"
};

// A record that counts without doubt: no "?" in the name, no mark in ZEKER, an abundance
// other than "0", and neither dead cells ("D") nor "O" in DL.
bool IsFirmRecord(const SampleRow& sample);

// The distinct names of the samples (their current names when asked), sorted in the
// program's text order. Samples without a location are left out, and with the options those
// without zygospores; a name is listed when at least one of its samples is firm, when firm
// records are asked for.
QStringList SampleNameList(const RunSource& source, const ecology::TaxaList& taxa,
                           const NameListOptions& options);
// The sample names, reduced to species names when varieties are ignored, each once.
QStringList SpeciesList(const QStringList& sampleNames, bool ignoreVarieties);
// The entries the search text lists, sorted: all for an empty text; with a blank in the text,
// those that begin with the part before the first blank and contain the rest (the blank
// included); otherwise those that contain the text; letter case ignored. A text beginning
// with a blank lists nothing.
QStringList SearchTaxa(const QStringList& species, const QString& search);

// The names a chosen taxon is drawn with: the names of the taxa list whose name (current
// name, with currentNames) equals the chosen one, or, with varieties ignored, contains it,
// in the list's order from the first exact match; the chosen name alone when the list does
// not have it.
QStringList MatchList(const QString& name, const ecology::TaxaList& taxa, bool currentNames,
                      bool ignoreVarieties);

} // namespace velmora::maps
