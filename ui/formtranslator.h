#pragma once
// Language files applied to Qt windows.
//
// A language file addresses a window by its class ("TMainForm" for velmora::ui::TMainForm)
// and its parts by property paths built from objectNames: "SelectDatabase.Caption",
// "SampleGrid.Columns(2).Title.Caption". The file's property names map onto Qt:
//
//   Caption          window title; text of a label, button or action; title of a group box
//                    or menu; tab text of a tab page
//   Hint             tool tip
//   Text             text of an edit (or of a label or button)
//   TextHint         placeholder text of an edit
//   Items, Lines     contents of a list, combo box, text editor, or the radio buttons of a
//                    group box; Tabs: the tabs of a tab widget
//   Columns(n).Title.Caption   header of column n of a grid
//
// Any other name is taken as a Qt property of that name (letter case ignored).
//
// The text and list of a bound control (DBEdit, DBComboBox: the program's classes named
// "DB...") are field values stored in the tables; a language file cannot change them.
//
// Frames: a widget of one of the program's classes whose name ends in "Frame"
// (TLegendFrame) is translated on its own, from its own section, and owns the names inside it.
//
// Automatic translation: a window is translated once, after its constructor has built it
// and before it is first shown. A window whose code writes texts between construction and
// showing (captions composed in code, labels filled from data) calls TranslateNewForm(this)
// at the end of its constructor, so the translation cannot overwrite those texts later.

#include "support/tfreelocalizer.h"

#include <QString>
#include <vector>

class QMetaObject;
class QObject;
class QWidget;

namespace velmora::ui {

// A window, frame or control class of the program names itself for the language files with
//     Q_CLASSINFO("FormName", "TMainForm")
// so that its section in a language file ([TMainForm]) and the classes a file addresses
// ("DBEdit") do not depend on the C++ class name. The class info key:
inline constexpr char kFormNameInfo[] = "FormName";
// The declared name; for a class that declares none, its class name without the namespace.
QString FormClassName(const QMetaObject* meta);
// True when the class itself (not an ancestor) declares its name.
bool DeclaresFormName(const QMetaObject* meta);
// The window's class and its ancestors of the program, most derived first.
QStringList FormClassChain(const QObject* form);
bool IsFrame(const QWidget* widget);
// The frames a window (or frame) holds directly.
QList<QWidget*> OwnedFrames(QWidget* form);

// Sets the property a path leads to from the window (or frame); false when the path leads
// nowhere or the property cannot take a text.
bool ApplyPath(QWidget* form, const QString& path, const QString& value);

// A window (or frame) as the language engine sees it.
class WidgetFormAccess : public support::FormAccess {
public:
    explicit WidgetFormAccess(QWidget* form) : m_form(form) {}
    QStringList ClassChain() const override;
    std::vector<std::unique_ptr<support::FormAccess>> Frames() const override;
    bool Apply(const QString& path, const QString& value) override;

private:
    QWidget* m_form;
};

// One text of a window that a language file can translate: the path that addresses it, and
// the text shown. The path is empty when the object carrying the text has no objectName,
// so that no language file can reach it.
struct TranslatableText {
    QString path;
    QString text;
    QString where; // class and objectName of the carrier, for messages
};

// Every text with a word in it that the window itself shows (or shows in some state:
// hidden labels, menu items, tool tips), frames and other windows excluded.
std::vector<TranslatableText> TranslatableTexts(QWidget* form);

// Connects the program's windows to the language engine support::Localizer(): with automatic
// translation on, new windows are translated before they are first shown and a loaded file
// retranslates the open windows. Idempotent.
void InstallFormTranslator();

// Start-up, before the first window: connects the windows to the engine and loads the file
// of the stored language when it exists (see support::LoadStartupLanguage).
bool StartInterfaceLanguage();

// Translates a window now with the loaded language file, when automatic translation is on;
// it is then not translated again when first shown.
void TranslateNewForm(QWidget* form);

// The "EN" / "NL" buttons of the preferences window: stores the code and, when its file
// exists, loads it (the open windows follow). Returns whether a file was loaded.
bool SwitchLanguage(const QString& code);

} // namespace velmora::ui
