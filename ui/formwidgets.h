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

} // namespace velmora::ui
