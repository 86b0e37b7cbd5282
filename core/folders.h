#pragma once
// The program's folders. Every path is built from the folder that holds the executable,
// never from the working directory, so the program behaves the same however it is started.
// Folder texts end with a separator, so callers append file names directly.

#include <QString>

namespace velmora::core {

// The executable's folder with a trailing "/". Tests may point it elsewhere.
QString ProgramDir();
void SetProgramDir(const QString& dir);

QString DataDir();     // ProgramDir() + "Data/": databases, VLX.ini, database settings
QString LibDir();      // ProgramDir() + "Lib/": reference tables and lists
QString MapsDir();     // ProgramDir() + "Maps/": calibrated map images
QString LanguageDir(); // ProgramDir() + "Lang/": interface language files
QString FiltersDir();  // ProgramDir() + "Filters/": saved map filters
QString KmlDir();      // ProgramDir() + "KML/": KML output
QString ManualPath();  // ProgramDir() + "help/Handleiding Velmora Database.pdf"

// The executable's file name without extension ("velmora").
// True for a name that can only mean a file in the folder it is joined to: not empty, no
// path separators, no "..", no control characters and none of <>:"|?*. Every name read
// from a settings file passes this before it is used as part of a path.
bool IsPlainFileName(const QString& name);

QString ProgramName();
void SetProgramName(const QString& name);

// The user's documents folder as the platform reports it. Throws Error with the text
// "De folder \"Mijn Documenten\" kon niet gevonden worden" when there is none.
QString DocumentsFolder();

} // namespace velmora::core
