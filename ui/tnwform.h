#pragma once
// The nature value window: the acidity and trophic spectrum with bars, the nature value
// with its partial scores, the red-list taxa and the names not or partly counted. It shows the
// last calculation made by any caller; while "Plak aan hoofdvenster" is ticked it sticks to
// the main window's right edge.

#include "ecology/naturevaluetally.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace velmora::ecology {
struct EcologyData;
}

namespace velmora::ui {

class TNWForm : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("FormName", "TNWForm")
public:
    TNWForm(ecology::EcologyData& ecology, QWidget* mainWindow, QWidget* parent = nullptr);
    ~TNWForm() override;

    // Shows the tally's published texts, counts and hints.
    void ShowResults();
    // Shows the window beside the main window and starts the placement timer.
    void ShowBesideMain();
    // Sets the Milieu choice (without recomputing).
    void SelectMilieu(ecology::Milieu milieu);
    ecology::Milieu SelectedMilieu() const;
    // One tick of the placement timer.
    void PlaceBesideMain();

    QLabel* PercentLabel(int spectrumClass) const { return m_percent[spectrumClass]; }
    QProgressBar* Bar(int spectrumClass) const { return m_bars[spectrumClass]; }
    QCheckBox* StickBox() const { return m_stick; }
    QTimer* PlacementTimer() const { return m_timer; }
    QListWidget* NotCountedList() const { return m_onbekend; }
    QLineEdit* Field(const QString& objectName) const;

signals:
    void MilieuChanged();

private:
    void MilieuClick();
    void CloseBtnClick();

    QLabel* m_diversityOnly = nullptr;
    ecology::EcologyData& m_ecology;
    QWidget* m_mainWindow;
    std::array<QLabel*, ecology::SpectrumClassCount> m_percent{};
    std::array<QProgressBar*, ecology::SpectrumClassCount> m_bars{};
    std::array<QRadioButton*, 3> m_milieu{};
    QLineEdit *m_dn, *m_rn, *m_sn, *m_dValue, *m_rValue, *m_sValue, *m_rl, *m_nw;
    QLabel* m_rlLabel;
    QListWidget* m_onbekend;
    QCheckBox* m_stick;
    QPushButton* m_close;
    QTimer* m_timer;
};

} // namespace velmora::ui
