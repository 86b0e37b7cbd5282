#pragma once
// Controls made with the object name a language file addresses (Section.Name.Caption).

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace velmora::ui {

// A label.
QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent);
QLabel* NamedLabel(const char* objectName, const char* caption, QWidget* parent);
// A push button that Enter in a field does not press (no auto-default).
QPushButton* NamedButton(const char* objectName, const char* caption, QWidget* parent);

// A file to be written, chosen in the save dialog: defaultExtension (".tsv") added when the
// name has none, and the user asked before an existing file is replaced. Empty when the
// dialog was cancelled or the file is not to be replaced.
QString ChooseFileToWrite(const QString& caption, const QString& start, const QString& filter,
                          const QString& defaultExtension);

// The wait cursor for as long as it lives.
struct BusyCursor {
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace velmora::ui
