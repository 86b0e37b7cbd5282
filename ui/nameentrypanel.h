#pragma once
// Name entry beside the sample panel: a search field filtering the species search list, the
// list of matching names (a click, Enter or walking it with the arrow keys puts the name into
// the sample's name field while a sample is being edited), and the button that adds the name
// typed in the sample to the additional search list.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora::core {
class Dataset;
}
namespace velmora::ecology {
struct EcologyData;
}

namespace velmora::ui {

class DBEdit;

class NameEntryPanel : public QWidget {
    Q_OBJECT
public:
    // desmid is the sample's name field the list writes into; samples its table.
    NameEntryPanel(ecology::EcologyData& ecology, core::Dataset& samples, DBEdit* desmid,
                   QWidget* parent);

    QLineEdit* SearchEdit() const { return m_searchEdit; }
    QListWidget* Names() const { return m_names; }
    QPushButton* VoegToeButton() const { return m_voegToeButton; }

    // The list shows the search-list names matching text.
    void FilterNames(const QString& text);
    // The highlighted (or given) name into the sample being edited; false when no sample is
    // being edited or there is no such name.
    bool TakeCurrentName();
    bool TakeName(int row);
    bool SampleEditing() const;

    // ---- handlers
    void SearchEditChange();
    void NamesClick();
    void DBEDesmidEnter();
    void VoegToeClick();
    // Adds the name (as shown; trimmed for the list) to the search list and the additional
    // taxa list after the user's confirmation; a name the list holds already is only reported.
    void AddToSearchList(const QString& shown);

private:
    ecology::EcologyData& m_ecology;
    core::Dataset& m_samples;
    DBEdit* m_desmid;
    QLineEdit* m_searchEdit = nullptr;
    QListWidget* m_names = nullptr;
    QPushButton* m_voegToeButton = nullptr;
};

} // namespace velmora::ui
