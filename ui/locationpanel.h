#pragma once
// The upper panel of the main window: the fields of the current location event bound to the
// Locations table (name, date, coordinates, pH, conductivity, biotope, …), the biotope list
// beside the biotope code, and the handlers of its fields (date checks when a date field is
// left, the biotope box and code following each other). The rules of a post live in
// recording::LocationSampleEditor; this panel only shows and warns.

#include "ui/dbcontrols.h"

#include <QGroupBox>
#include <QList>
#include <QStringList>
#include <map>

class QComboBox;
class QLabel;
class QLineEdit;

namespace velmora::core {
class Dataset;
}

namespace velmora::ui {

class LocationPanel : public QGroupBox {
    Q_OBJECT
public:
    LocationPanel(core::Dataset& locations, QWidget* parent);

    DBEdit* Edit(const QString& field) const; // nullptr for a field without an edit
    DBComboBox* Zuurgraad() const { return m_zuurgraad; }
    DBComboBox* Amaat() const { return m_amaat; }
    QComboBox* Biotoopbox() const { return m_biotoopbox; }
    // The expert field that holds the ID of the location a sample post belongs to.
    QLineEdit* LocIdHolder() const { return m_locIdHolder; }
    // Shown only in expert mode.
    const QList<QWidget*>& ExpertWidgets() const { return m_expertWidgets; }
    // The panel's controls in the order of its layout (left column, then right column).
    QList<QWidget*> TabOrder() const;

    // The coordinate captions of the database's coordinate system.
    void SetCoordinateLabels(bool latLon);
    // The biotope list: codes and the texts shown for them, in the same order.
    void SetBiotopes(const QStringList& codes, const QStringList& texts);
    // A field of the current location as text; empty when there is none.
    QString LocationText(const QString& field) const;
    bool Editing() const;

    // ---- handlers
    void SelectBiotopeOfWType();
    void BiotoopboxChange();
    void DBEWatertypeChange();
    void DBEDagExit();
    void DBEMaandExit();
    void DBEJaarExit();

private:
    void CheckDateAndWarn();
    void PadField(const QString& field);

    core::Dataset& m_locations;
    std::map<QString, DBEdit*> m_edits;
    DBComboBox* m_zuurgraad = nullptr;
    DBComboBox* m_amaat = nullptr;
    QLabel* m_coordXLabel = nullptr;
    QLabel* m_coordYLabel = nullptr;
    QLabel* m_biotopeLabel = nullptr;
    QComboBox* m_biotoopbox = nullptr;
    QStringList m_biotopeCodes;
    QLineEdit* m_locIdHolder = nullptr;
    QList<QWidget*> m_expertWidgets;
};

} // namespace velmora::ui
