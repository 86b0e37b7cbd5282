#pragma once
// The progress dialog shared by long operations: caption "Progress", a label, a bar and a
// "Cancel" button. Modal while shown; the operation keeps running on the interface thread
// and asks StepProgress whether "Cancel" was pressed.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora::ui {

class TProgress : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TProgress")
public:
    explicit TProgress(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    // Shows the dialog with "Data wordt verwerkt....." and clears the cancel request.
    void StartProgress();
    // Sets the bar, lets pending events run, and returns whether "Cancel" was pressed; the
    // dialog is hidden when it was.
    bool StepProgress(int position);
    // Hides the dialog, sets the label to "Klaar", pauses and hides the label.
    void FinishProgress();

    bool CancelRequested() const { return m_cancel; }
    // The pause of FinishProgress in milliseconds (1000; tests shorten it).
    static void SetFinishPause(int milliseconds);

    QLabel* Label() const { return m_label; }
    QProgressBar* Bar() const { return m_bar; }
    QPushButton* CancelButton() const { return m_cancelButton; }

private:
    void CancelbtnClick();

    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancelButton;
    bool m_cancel = false;
};

} // namespace velmora::ui
