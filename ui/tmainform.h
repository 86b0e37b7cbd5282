#pragma once
// The main window: the current database's locations and samples, the name entry and the
// menu from which every other window is opened.

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;

namespace velmora::ui {

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation steps that belong to start-up. Returns false when the program must end
    // (the program file's name holds a blank); the message has then been shown.
    bool FormCreate();
    // The first-show steps: separator, placement from the settings.
    void FormShow();

    // Shows or hides the expert fields.
    void SetExpertMode(bool on);
    bool ExpertMode() const { return m_expertMode; }

    // "VelmoraDataBase Versie 2.92", or the program file's name when that name does not
    // occur in the program's folder.
    static QString MainCaption(const QString& programName, const QString& programDir);

    QAction* MenuAction(const QString& objectName) const;

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void StoreGeometry();
    void AfsluitenClick();
    void HelpClick();
    void AboutClick();

    QLabel* m_databaseLabel = nullptr;
    QLabel* m_expertLabel = nullptr;
    bool m_expertMode = false;
    bool m_shown = false;
};

} // namespace velmora::ui
