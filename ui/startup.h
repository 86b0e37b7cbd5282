#pragma once
// The program's start and end: settings, the second-copy refusal, the interface language,
// the windows in their creation order, the event loop, and the last save of the settings.

#include <QString>

class QApplication;
class QSocketNotifier;

namespace velmora::core {
class FileLock;
}

namespace velmora::ui {

// True (and the message "De database is al open in een ander programma" shown) when another
// copy of the program holds the biotope table or the run lock of the Data folder. Otherwise
// runLock holds that lock from now on, for as long as the caller keeps it.
bool SecondCopyRefused(core::FileLock& runLock);
// The file whose lock marks a running copy: Data/Velmora.lock.
QString RunLockPath();

// Loads Lang/<Language>.lng when it exists and switches translation on.
void LoadInterfaceLanguage();

// Becomes active when the process receives a terminate, hang-up or interrupt signal.
QSocketNotifier& TerminationNotifier();

// Runs the whole program; returns the process exit code.
int RunProgram(QApplication& app);

} // namespace velmora::ui
