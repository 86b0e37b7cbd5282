#pragma once
// The column field chooser "Velden van de tabel" of the location list: the captions of the
// locations table's fields, the column's own field proposed, OK takes the picked one.
//
// Created once at start-up.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace velmora::ui {

class TGridColumnSelect : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TGridColumnSelect")
public:
    explicit TGridColumnSelect(QWidget* parent = nullptr);

    // Shows the chooser modally for a column showing `field`. Returns the position (in
    // recording::LocationFieldNames()) of the field picked with OK, or -1 after Cancel, Escape
    // or OK without a pick.
    int Choose(const QString& field);
    // The caption of the field proposed when the chooser was last shown (empty when nothing
    // was proposed, as for ID).
    QString ProposedCaption() const { return m_proposed; }
    // The caption shown for a field, in the interface language; empty for an unknown field.
    QString CaptionOf(const QString& field) const;

    QListWidget* FieldList() const { return m_list; }

private:
    QListWidget* m_list;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QString m_proposed;
};

} // namespace velmora::ui
