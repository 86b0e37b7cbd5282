#pragma once
// The nature value of a water from the desmid taxa found in it, and its ecological spectrum.
//
// One tally serves the whole run: a caller resets it (ClearData), sets the milieu, feeds the
// sample names (AddTaxon) and computes (ComputeNatureValue); a selection of events feeds
// several events into one tally. The published texts are collected in NatureValueResult, the
// one object that the main window, the location search and the nature value table read.
//
// Three partial scores: diversity D from the number of counted taxa d, rarity R from the sum r
// of their R scores, signal value S from the sum s of their S scores; each a class whose limits
// depend on the milieu; the nature value is D + R + S (0..10). The alternative method replaces
// the classes by capped power-law scores.

#include <QSet>
#include <QString>
#include <QStringList>
#include <array>

namespace velmora::ecology {

class TaxaList;
class SearchList;

// The milieu choice: -1 none, 0 "Zuur", 1 "Zwak zuur", 2 "Neutraal-Alkalisch".
enum Milieu : int {
    MilieuNone = -1,
    MilieuZuur = 0,
    MilieuZwakZuur = 1,
    MilieuNeutraalAlkalisch = 2
};

// The milieu of an event from its ZUURGRAAD text (exact comparison); MilieuNone for any other
// text, blank included.
Milieu MilieuOfZuurgraad(const QString& zuurgraad);

// The milieu of a set of events: "Zuur" when only acid events were met, "Neutraal-Alkalisch"
// when only neutral-alkaline ones, "Zwak zuur" otherwise (a blank ZUURGRAAD counts as
// "Zwak zuur"; an unrecognised text records nothing).
class MilieuSet {
public:
    void Add(const QString& zuurgraad);
    Milieu Combined() const;

private:
    int m_flags = 0;
};

// The twelve spectrum classes, in the order of the window and of the nature value table.
enum SpectrumClass : int {
    SpZuur,
    SpZwakZuur,
    SpNeutraal,
    SpNeutraalAlkalisch,
    SpAlkalisch,
    SpZuurIndifferent,
    SpOligotroof,
    SpOligoMesotroof,
    SpMesotroof,
    SpMesoEutroof,
    SpEutroof,
    SpTrofieIndifferent,
    SpectrumClassCount
};
// The window's caption of a class ("Zuur", ..., "Indifferent/Onbekend").
QString SpectrumCaption(int spectrumClass);

// The ACIDITY and TROPHIC_ST words of the list that the spectrum classifies, in class order
// ("acido", "acido-neut", "neutr-acid", ... "alk"; "oligo", "oligo-meso", ... "eu"). They are
// compared exactly; any other value counts as indifferent/unknown.
const QStringList& AcidityWords();
const QStringList& TrophicWords();

// Which variant of the counted-record test: the main window tests the first character of the
// abundance, the tables the whole trimmed field.
enum class CountedRecordRule { MainWindow, Tables };
// True when a sample may count: blank certainty (or beginning with a blank), abundance not
// "0", live/dead not beginning with "D".
bool IsCountedRecord(const QString& zeker, const QString& abund, const QString& dl,
                     CountedRecordRule rule);

// The published texts of the last computation; every text "0" after a reset.
struct NatureValueResult {
    QString dn, rn, sn;             // d, r, s
    QString dValue, rValue, sValue; // the classes, or the alternative values ("1.4")
    QString rl;                     // red-list count
    QString nw;                     // the nature value
    std::array<QString, SpectrumClassCount> percent; // whole percentages as text
    std::array<int, SpectrumClassCount> bar{};       // the bars' positions (0..100)
};

class NatureValueTally {
public:
    NatureValueTally(const TaxaList& taxaList, const SearchList& searchList);

    // Empties the tally and sets every published text to "0". The order of the not-counted
    // list, once sorted, stays sorted.
    void ClearData();
    void SetMilieu(Milieu milieu) { m_milieu = milieu; }
    Milieu CurrentMilieu() const { return m_milieu; }
    void SetAlternativeMethod(bool on) { m_alternative = on; }
    bool AlternativeMethod() const { return m_alternative; }

    // Accumulates one sample name. Throws core::Error when the taxon's R or S entry is not a
    // whole number; the tally is then unchanged by this call.
    void AddTaxon(const QString& name, bool excluded);
    // Derives classes, alternative values, the nature value and the spectrum percentages and
    // publishes them. Does nothing while no taxon is counted (d = 0).
    void ComputeNatureValue();

    const NatureValueResult& Result() const { return m_result; }
    int D() const { return m_d; }
    int R() const { return m_r; }
    int S() const { return m_s; }
    int RedListCount() const { return m_redListCount; }
    // The red-list names, each new one preceded by LF CR when the text is not empty.
    const QString& RedListNames() const { return m_redListNames; }
    int SpectrumCount(int spectrumClass) const { return m_counts[spectrumClass]; }
    // The list names behind a class, joined as the red-list names.
    const QString& SpectrumHint(int spectrumClass) const { return m_hints[spectrumClass]; }
    // Lines "Niet  :  " + name and "Deels :  " + name.
    const QStringList& NotCounted() const { return m_notCounted; }
    int DClass() const { return m_dClass; }
    int RClass() const { return m_rClass; }
    int SClass() const { return m_sClass; }
    double DAlternative() const { return m_dAlt; }
    double RAlternative() const { return m_rAlt; }
    double SAlternative() const { return m_sAlt; }

    // "Niet  :  " and "Deels :  " in the interface language.
    static QString NotPrefix();
    static QString PartlyPrefix();

private:
    void AddUnlistedTaxon(const QString& name, bool excluded);
    void AppendNotCounted(const QString& line);
    void Classify(const QString& acidity, const QString& trophic, const QString& listName);
    void ComputeSpectrum();

    const TaxaList& m_taxaList;
    const SearchList& m_searchList;
    int m_d = 0, m_r = 0, m_s = 0, m_redListCount = 0;
    QString m_redListNames;
    std::array<int, SpectrumClassCount> m_counts{};
    std::array<QString, SpectrumClassCount> m_hints;
    QSet<QString> m_treated;  // AlBehandeld, case-folded
    QStringList m_notCounted; // Onbekend
    bool m_notCountedSorted = false;
    Milieu m_milieu = MilieuNone;
    bool m_alternative = false;
    int m_dClass = 0, m_rClass = 0, m_sClass = 0;
    double m_dAlt = 0, m_rAlt = 0, m_sAlt = 0;
    NatureValueResult m_result;
    QString m_noDesmids; // the resource text, read at each reset
};

// Rounds to one decimal, halves away from zero, and writes it with the program-wide decimal
// separator.
QString OneDecimal(double value);

// The main window's summary of the current event.
struct MainWindowSummary {
    QString aantalTaxa;          // the number of sample rows, "0" for a no-desmids event
    QString divers, zeldz, sign; // "  5 --> 1"
    QString redListLabel;        // "Rodelijstsoorten: " + RL
    QString natureValueLabel;    // "Natuurwaarde: " + NW
};
MainWindowSummary SummaryTexts(const NatureValueResult& result, int sampleRows,
                               const QString& firstRowName);

} // namespace velmora::ecology
