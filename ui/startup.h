#pragma once
// The program's start and end: settings, the second-copy refusal, the interface language,
// the windows in their creation order, the event loop, and the last save of the settings.

class QApplication;
class QSocketNotifier;

namespace velmora::ui {

// True (and the message "De database is al open in een ander programma" shown) when another
// copy of the program holds the biotope table.
bool SecondCopyRefused();

// Loads Lang/<Language>.lng when it exists and switches translation on.
void LoadInterfaceLanguage();

// Becomes active when the process receives a terminate, hang-up or interrupt signal.
QSocketNotifier& TerminationNotifier();

// Runs the whole program; returns the process exit code.
int RunProgram(QApplication& app);

} // namespace velmora::ui
