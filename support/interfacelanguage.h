#pragma once
// The interface language of the running program: the one language engine, the file that
// belongs to a language code, and the two moments the program loads a file (at start-up
// and from the "EN" / "NL" buttons of the preferences window).

#include "support/tfreelocalizer.h"

#include <QString>

namespace velmora::support {

// The engine of the run. Created on first use, which also routes every core::ResStr lookup
// through its message table; destroyed at program end.
TFreeLocalizer& Localizer();

// core::LanguageDir() + code + ".lng" ("Lang/EN.lng" in the program's folder).
QString LanguageFilePath(const QString& code);

// Start-up, before the first window is built: when the file for the stored language exists,
// switches automatic translation on, loads the file and pauses 100 ms. Returns whether a
// file was loaded; without one the built-in Dutch texts stay.
bool LoadStartupLanguage();

// The same for a run without windows: nothing to settle, so no pause.
bool LoadCommandLineLanguage();

// The "EN" and "NL" buttons: the stored language becomes the code at once; when its file
// exists, automatic translation is switched on, the file is loaded (the open windows follow)
// and the program pauses 200 ms. Without a file nothing else changes: the new language then
// shows from the next start. Returns whether a file was loaded.
bool SwitchLanguage(const QString& code);

} // namespace velmora::support
