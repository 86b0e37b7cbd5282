#pragma once
// The sample panel of the main window: the fields of the current sample bound to the Samples
// table (taxon name with its author below it, abundance, dead/living, zygospore, image,
// certainty, remark, info), the expert fields of the link to the location, and the sample
// navigator. What may be stored is decided by recording::LocationSampleEditor; the panel shows
// only a sample of the current location (its scope).

#include "ui/dbcontrols.h"

#include <QGroupBox>
#include <QList>
#include <functional>
#include <map>

class QLabel;

namespace velmora::core {
class Dataset;
}
namespace velmora::ecology {
class TaxaList;
}

namespace velmora::ui {

class SamplePanel : public QGroupBox {
    Q_OBJECT
public:
    SamplePanel(core::Dataset& samples, const ecology::TaxaList& taxa, QWidget* parent);

    DBEdit* Edit(const QString& field) const;      // nullptr for a field without an edit
    DBComboBox* Combo(const QString& field) const; // nullptr for a field without a combo box
    DBEdit* Desmid() const { return Edit(QStringLiteral("DESMID")); }
    DBNavigator* Navigator() const { return m_navigator; }
    QLabel* AuthorLabel() const { return m_authorLabel; }
    const QList<QWidget*>& ExpertWidgets() const { return m_expertWidgets; }
    QList<QWidget*> TabOrder() const;

    // The controls and the navigator show and change a record only while belongs() holds.
    void SetScope(const std::function<bool()>& belongs);
    // Shows what the scope allows: nothing when no sample of the current location is current.
    void ClearFields();
    // Puts the focus on the control of a sample grid column (2 … 9; others: the name).
    // Returns the name edit when that got the focus, else nullptr.
    DBEdit* FocusColumn(int column);

    // ---- handlers
    void DBEDesmidChange();

private:
    core::Dataset& m_samples;
    const ecology::TaxaList& m_taxa;
    std::map<QString, DBEdit*> m_edits;
    std::map<QString, DBComboBox*> m_combos;
    QLabel* m_authorLabel = nullptr;
    DBNavigator* m_navigator = nullptr;
    QList<QWidget*> m_expertWidgets;
};

} // namespace velmora::ui
