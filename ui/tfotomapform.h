#pragma once
// The photo folder dialog "LUMAQ Selecteer Fotomap": the main photo folder (read-only, changed
// with "Wijzig") and the proposed sub-folder of the current event, which the user may edit.
// The folder itself is made by the main window's "Maak fotomap" after OK; the names and the
// rules are in support/photofolder.h.
//
// Created once at start-up.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

class TFotoMapForm : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TFotoMapForm")
public:
    explicit TFotoMapForm(QWidget* parent = nullptr);

    // Shows the dialog modally with these texts. On return `mainFolder` and `subfolder` hold
    // the texts as the user left them (after Cancel or Escape the main folder is the one it
    // was shown with). True for OK.
    bool Run(QString& mainFolder, QString& subfolder);

    // The handlers of the buttons.
    void WijzigClick();
    void OKbtnClick();
    void CancelbtnClick();

    QString MainFolder() const;
    QString Subfolder() const;

    // Escape and the window's close button cancel as "Cancel" does.
    void reject() override;

private:
    QString m_shownMainFolder; // restored on Cancel
    QLineEdit* m_hoofdmap;
    QLineEdit* m_submap;
    QPushButton* m_wijzig;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace velmora::ui
