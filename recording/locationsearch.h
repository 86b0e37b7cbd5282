#pragma once
// The location search: which events of the open database are shown for a mode (all, with a
// taxon, with an owner, with a text in the name, with a text in a sample remark), each with an
// optional year; the columns of the list; and the selection run, which rates the chosen
// events with one combined nature value.
//
// The search reads the tables and never moves the locations table's cursor, except in the
// selection run and when the caller makes a listed event current.

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::ecology {
struct EcologyData;
}

namespace velmora::recording {

// The fields of the locations table in table order, and the captions the column chooser shows
// for them, in the same order ("LID", "Locatie", ...).
const QStringList& LocationFieldNames();
const QStringList& LocationFieldCaptions();
// The position in those lists of a column's field, letter case ignored, searched from
// LOCATIE on; -1 for ID and for a name that is not there.
int ProposedFieldIndex(const QString& field);

class LocationSearch {
public:
    enum Mode : int {
        AllLocations = 0,
        WithTaxon = 1,
        WithOwner = 2,
        NameContains = 3,
        WithRemark = 4
    };

    explicit LocationSearch(core::DatabaseStore& store) : m_store(store) {}

    // The fields of the window; kept while the window is closed.
    int mode = AllLocations;
    QString selectedDesmid; // the taxon text of the last taxon search
    QString owner;          // mode 2
    QString name;           // mode 3
    QString year;           // empty: every year; else JAAR must equal it exactly
    QString remark;         // the text of the last remark search

    // Every sample whose DESMID holds the text (letter case counts) marks its event; mode 1.
    // An empty text marks nothing.
    void TaxonSearch(const QString& text);
    // The same with OPMDESMID; mode 4.
    void RemarkSearch(const QString& text);
    // The events marked by the last taxon or remark search (their ID).
    const QSet<long long>& MatchingEvents() const { return m_matching; }

    // One shown event: its record number in the locations table and the texts of the columns.
    struct Row {
        int recNo = 0;
        QStringList values;
    };
    // The events the mode and year show, in the order of the locations tag, with the values of
    // `fields` (field names of the locations table; an unknown name gives empty texts).
    std::vector<Row> Rows(const QStringList& fields, const QString& tag);

    // The selection run: the run flag on, the tally reset, then for each record number in
    // turn the event made current and `loadEvent` called, which adds the event's samples to
    // the tally (the main window's load does, or LocationSampleEditor::TallyCurrentEvent);
    // the progress shown through the prompts. Returns false when the user cancelled. The flag
    // is off afterwards either way.
    bool RunSelection(const std::vector<int>& recNos, ecology::EcologyData& ecology,
                      const std::function<void()>& loadEvent);

private:
    void MarkSamples(const char* field, const QString& text);

    core::DatabaseStore& m_store;
    QSet<long long> m_matching;
};

} // namespace velmora::recording
