#pragma once
// How widespread a taxon is in the open database: the squares of a taxon run as per-mille
// shares of all squares sampled in the database, the frequency class of each share looked up
// in the class table (Lib/Frequentieklassen.dbf), and the texts the dot-map window shows after
// a run (the square counts, the UF and KF lines and the two memo lines under the legend).
//
// The class table holds one record per class, from class 0 ("absent") upward; each record
// gives, for km-squares and for hour-squares, a description, the class number and the lower
// bound of the class in whole per mille. Class 9 is the highest and ends every lookup.
//
// The bounds are whole per mille while the hour-square share is not rounded, so a share can
// lie above 0 and below the first bound above 0 (one hour-square of a database of more than
// 1,000). Such a taxon was found all the same: it takes the first class above 0, never
// class 0.

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora::core {
class Dataset;
}

namespace velmora::maps {

enum class SquareKind { KmSquares, HourSquares };

// One record of the class table.
struct FrequencyClassRecord {
    QString kmDescription;   // KOMSCHR
    int kmClass = 0;         // KFK
    int kmBound = 0;         // KMHOKKEN, per mille
    QString hourDescription; // UOMSCHR
    int hourClass = 0;       // UFK
    int hourBound = 0;       // UURHOKKEN, per mille
};

struct FrequencyAnswer {
    int classNumber = 0;
    QString description;
    bool operator==(const FrequencyAnswer&) const = default;
};

// The English name of a class number ("Absent", "Very rare", ... "Abundant"); empty for a
// number outside 0 to 9.
QString EnglishClassName(int classNumber);

class FrequencyClassTable {
public:
    FrequencyClassTable() = default;
    // The records in stored order.
    explicit FrequencyClassTable(std::vector<FrequencyClassRecord> records);

    // Reads every record of an open table, in the dataset's order (stored order while no tag
    // is active), and leaves the cursor on the first record. Throws core::Error with the
    // file when a field is missing, when a class number or bound is blank or not a whole
    // number, or when the table holds no record.
    static FrequencyClassTable Read(core::Dataset& table);
    // Opens the file read-only, reads it and closes it; throws as Read does.
    static FrequencyClassTable Load(const QString& path);

    bool IsEmpty() const { return m_records.empty(); }
    const std::vector<FrequencyClassRecord>& Records() const { return m_records; }

    // The class of a per-mille value: the last record, from the first on, whose bound does
    // not exceed the value; the search ends at class 9 or at the last record. A value above 0
    // never gets class 0: it takes the first later record of another class. Under the
    // interface language "EN" the description is the class number's English name (the
    // table's description for a number without one).
    // REQUIRES: !IsEmpty() (throws core::Error otherwise).
    FrequencyAnswer FrequencyClass(SquareKind kind, double perMille, const QString& language) const;

private:
    std::vector<FrequencyClassRecord> m_records;
};

// The per-mille shares. km-squares: Round(1000 k / K + 0.5) with halves to the even
// neighbour, a whole number; hour-squares: 1000 u / U, unrounded.
// REQUIRES: total > 0.
double KmSquarePerMille(int squares, int total);
double HourSquarePerMille(int squares, int total);

// A percentage with 2 significant digits in the program-wide decimal separator: 4.1666 is
// "4,2" or "4.2", 12.34 "12", 0.05 "0,05"; a value of 100 or more "1E02" (exponent form,
// at least two exponent digits, when the rounded value has more integer digits than two),
// as is a value below 0.00001 ("1,2E-06").
QString PercentageText(double percentage);

// The texts that follow a map run. The labels are shown on the environment panel; the memo
// lines stand under the legend grid, where the user may edit them before they are placed.
struct FrequencyTexts {
    QString squareCount; // the label of the database's square totals
    QString uf;          // UFLabel
    QString kf;          // KFLabel
    QStringList memo;
};

// What a run counted.
struct FrequencyRun {
    bool taxonRun = true;     // false: an all-locations run
    QString coordinateSystem; // core::kKmBased or core::kLatLon
    QString language;         // the interface language code
    int kmSquares = 0;        // k: the distinct km-square keys of the run
    int hourSquares = 0;      // u: the distinct hour-square keys of the run
    int totalKmSquares = 0;   // K: of the database (within the period when it is on)
    int totalHourSquares = 0; // U
};

// The start of an all-locations run: the square-count label, UF and KF become "...".
void StartAllLocationsTexts(FrequencyTexts& texts);

// The end of every run. A taxon run with both totals above 0 writes the three labels (a
// "LatLon" database: the label of the squares as "k/K hokken (1 x 0.5) min", UF empty and
// the frequency with the km-square class in KF); with a total of 0 the labels keep their
// texts. An all-locations run writes the square-count label of the totals. Then the memo
// becomes the two lines UF and KF.
void WriteFrequencyTexts(FrequencyTexts& texts, const FrequencyClassTable& table,
                         const FrequencyRun& run);

} // namespace velmora::maps
