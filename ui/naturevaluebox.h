#pragma once
// The nature value box of the main window: the number of taxa, the diversity, rarity and
// signal scores of the current event, its red-list count and nature value, and the two
// choices of the calculation (ignore uncertain records, the alternative method). The
// calculation itself is recording::LocationSampleEditor::TallyCurrentEvent.

#include <QGroupBox>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace velmora::ecology {
struct MainWindowSummary;
}

namespace velmora::ui {

class NatureValueBox : public QGroupBox {
    Q_OBJECT
public:
    explicit NatureValueBox(QWidget* parent);

    QLineEdit* Field(const QString& objectName) const; // AantalTaxa, Divers, Zeldz, Sign
    QLabel* RedListLabel() const { return m_redListLabel; }
    QLabel* NatureValueLabel() const { return m_natureValueLabel; }
    QLabel* DiversityOnlyLabel() const { return m_diversityOnlyLabel; }
    QCheckBox* IgnoreBox() const { return m_ignoreBox; }
    QCheckBox* AlternativeBox() const { return m_alternativeBox; }

    // Empty fields and the captions without a result; the diversity-only note shown when the
    // taxa list in use has only diversity values.
    void Clear(bool diversityOnly);
    void ClearFields();
    // The result of the current event; redListNames becomes the red-list caption's tooltip.
    void Show(const ecology::MainWindowSummary& summary, const QString& redListNames);

signals:
    // One of the two choices changed: the value must be computed again.
    void ChoiceChanged();

private:
    std::map<QString, QLineEdit*> m_fields;
    QLabel* m_redListLabel = nullptr;
    QLabel* m_natureValueLabel = nullptr;
    QLabel* m_diversityOnlyLabel = nullptr;
    QCheckBox* m_ignoreBox = nullptr;
    QCheckBox* m_alternativeBox = nullptr;
};

} // namespace velmora::ui
