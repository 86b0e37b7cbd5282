#pragma once
// The square pass: the taxa, visits and km-squares of one km-square or hour-square of the
// samples, under the window's options, and the names each option affected.
//
// The pass works on the samples as plain records (maps::SampleRow), sorted by the code field
// of the square kind (KXY for a km-square, UXY for an hour-square), and on the location names
// by location ID.

#include "maps/runsource.h"
#include "squares/squaremap.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <span>
#include <vector>

namespace velmora::ecology {
class TaxaList;
class SearchList;
} // namespace velmora::ecology

namespace velmora::squares {

struct SquareOptions {
    // The current name (CUR_NAME) of a taxa-list record whose TAXON_NAME is the name exactly.
    const ecology::TaxaList* currentNames = nullptr;
    // Names not spelled exactly so in the known names are left out after the pass.
    const ecology::SearchList* knownNames = nullptr;
    bool ignoreDoubtful = false;  // "?" in DESMID, ZEKER filled, DL D or O, ABUND 0
    bool ignoreVarieties = false; // names cut after their second word
    bool ignoreNoDesmids = false; // samples without desmids are not counted
    bool periodOn = false;        // only samples whose year lies in [beginYear, endYear]
    int beginYear = 1900;
    int endYear = 2011;
};

struct Visit {
    QString location; // LOCATIE
    QString date;     // DATUM
    int id = 0;       // the location ID of the first sample of this name and date
};

// The lines of a hint are joined by a line feed followed by a carriage return.
inline constexpr char16_t kHintLineBreak[] = u"\n\r";

struct SquarePass {
    QStringList species;          // sorted by core::CompareText
    std::vector<Visit> visits;    // in the order found; a visit's number is its index + 1
    QStringList kmSquares;        // the distinct KXY codes counted, in the order found
    QStringList currentNamesHint; // "DESMID  -->  current name"
    QStringList notInListHint;    // names left out, from the last to the first
    QStringList doubtfulHint;     // the names of every excluded sample
};

// The name cut just before its second space; a name of one or two words unchanged.
QString CutAfterTwoWords(const QString& name);

// True for the name a sample carries when no desmids were found.
bool IsNoDesmidsName(const QString& name);

// The samples' code field of a square kind: KXY or UXY.
const QString& SquareCode(const maps::SampleRow& sample, SquareKind kind);

// The first sample whose code field equals the code without regard to letter case; the
// samples' size when there is none.
std::size_t FindSquare(std::span<const maps::SampleRow> samples, SquareKind kind,
                       const QString& code);

// Records the visit of a sample: a new visit unless one of the same location name and date
// (exact comparison) is there already. A location ID not in the names gives an empty name.
void AddVisit(std::vector<Visit>& visits, const maps::SampleRow& sample,
              const QHash<int, QString>& locationNames);

// The pass over the samples of one square from samples[start] (the first sample of the
// square) on, while the next sample's code field equals the code exactly. The pass is
// emptied first. Returns the index of the first sample after the square.
std::size_t CollectSquare(SquarePass& pass, std::span<const maps::SampleRow> samples,
                          std::size_t start, SquareKind kind, const QString& code,
                          const SquareOptions& options, const QHash<int, QString>& locationNames);

} // namespace velmora::squares
