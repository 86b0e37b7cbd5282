#pragma once
// The name correction window "Correcties in de naam van sieralgen": the taxon names of the
// samples that the species search list does not know, suggestions of known names, renaming
// one sample or every sample of a name, normalising every name, deleting nameless samples,
// adding a name to the search list and saving the list of doubtful names. The finding,
// suggesting and renaming are recording's (namecorrection.h); the window binds its lists and
// buttons to them. Shown modally by the main window over its open database.

#include "recording/namecorrection.h"

#include <QDialog>
#include <QVariant>
#include <functional>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace velmora::core {
class DatabaseStore;
}
namespace velmora::ecology {
class SearchList;
}

namespace velmora::ui {

class TCheckForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TCheckForm")
public:
    TCheckForm(core::DatabaseStore& store, ecology::SearchList& searchList,
               QWidget* parent = nullptr);

    // The main window's "add to the search list" for a name.
    void SetAddToSearchList(std::function<void(const QString&)> add) {
        m_addToSearchList = std::move(add);
    }

    // Shows the window; returns the location ID chosen with "Bewerk record" (invalid when the
    // window was closed otherwise).
    QVariant Run();

    // The handlers (public so that tests reach them as the controls do).
    void FindNames();
    void DoubtfulNameClick(int row);
    void KnownNameClick(int row);
    void SuggestionClick(int row);
    void RenameClick();
    void AddToListClick();
    void DeleteNamelessClick();
    void NormaliseClick();
    void SaveListClick();
    void EditRecordClick();

    QListWidget* Doubtful() const { return m_doubtful; }
    QListWidget* KnownNames() const { return m_known; }
    QListWidget* SuggestionList() const { return m_suggestions; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillKnownNames();
    void ShowSuggestions();
    void DataChanged();

    core::DatabaseStore& m_store;
    ecology::SearchList& m_searchList;
    std::function<void(const QString&)> m_addToSearchList;
    std::vector<recording::DoubtfulEntry> m_entries;
    QStringList m_knownNames;
    QString m_lastListFolder;
    QVariant m_chosenEvent;

    QListWidget* m_known;
    QListWidget* m_doubtful;
    QLineEdit* m_correct;
    QListWidget* m_suggestions;
    QLineEdit* m_newName;
    QCheckBox* m_changeAll;
    QLineEdit* m_location;
    QLineEdit* m_date;
    QLineEdit* m_databaseName;
};

} // namespace velmora::ui
