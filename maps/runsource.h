#pragma once
// The records map runs read: the locations and samples of the open database, read once into
// memory (until they change) so that a run for a taxon walks only its own samples and never
// moves the cursors of the tables the main window shows.
//
// Samples are kept in the order of the samples table's "DESMID" index tag, locations in the
// order of their table when read (the "ID" order the main window sets). Texts that repeat
// (abundances, marks, square codes, names) share one copy.

#include "core/dataset.h"

#include <QHash>
#include <QString>
#include <span>
#include <vector>

namespace velmora::maps {

struct LocationRow {
    int id = 0;
    QString locatie;    // LOCATIE
    QString dag;        // DAG
    QString maand;      // MAAND
    QString jaar;       // JAAR
    QString coordX;     // COORDX
    QString coordY;     // COORDY
    QString ph;         // PH
    QString geleiding;  // GELEIDING, the conductivity
    QString analist;    // ANALIST
    QString herbarium;  // HERBARIUM
    QString wtype;      // WTYPE, the biotope code
    QString opmLocatie; // OPMLOCATIE
    QString zuurgraad;  // ZUURGRAAD
    QString monstersrt; // MONSTERSRT
    QString owner;      // OWNER
    QString locCode;    // LOCCODE
    QString waterTemp;  // WATERTEMP
    QString amaat;      // AMAAT
};

struct SampleRow {
    int recNo = 0;        // the record number in the samples table
    int id = 0;           // the location's ID
    bool idBlank = false; // ID holds no number
    QString datum;        // DATUM
    QString kxy;          // KXY, the km-square code
    QString uxy;          // UXY, the hour-square code
    QString desmid;       // DESMID
    QString abund;        // ABUND
    QString dl;           // DL
    QString zygo;         // ZYGO
    QString foto;         // FOTO
    QString zeker;        // ZEKER
    QString opmDesmid;    // OPMDESMID
};

class RunSource {
public:
    // Reads both tables. The tables' order and position are kept.
    void Read(core::Dataset& locations, core::Dataset& samples);
    // Takes records made elsewhere; the samples must be in the order of the "DESMID" tag.
    void Assign(std::vector<LocationRow> locations, std::vector<SampleRow> samples);
    void Clear();
    bool IsEmpty() const { return m_locations.empty() && m_samples.empty(); }

    const std::vector<LocationRow>& Locations() const { return m_locations; }
    // The location with that ID; nothing when there is none.
    const LocationRow* LocationById(int id) const;

    // The samples in "DESMID" tag order.
    const std::vector<SampleRow>& Samples() const { return m_samples; }
    // The position of the first sample, in that order, whose DESMID begins with the text; -1
    // when none does.
    qsizetype FirstWithPrefix(const QString& prefix) const;
    // The samples of a location, in the order of the samples table's "ID" tag (the order in
    // which they were entered for equal IDs).
    std::vector<const SampleRow*> SamplesOf(int id) const;

private:
    void BuildIndexes();

    std::vector<LocationRow> m_locations;
    QHash<int, qsizetype> m_locationById;
    std::vector<SampleRow> m_samples;
    // The distinct DESMID texts in tag order, with the position of their first sample.
    std::vector<std::pair<QString, qsizetype>> m_names;
    // Sample positions by location ID, in record order.
    QHash<int, std::vector<qsizetype>> m_samplesById;
};

} // namespace velmora::maps
