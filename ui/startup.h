#pragma once
// The program's start and end with windows: the session's start-up steps with the interface
// language between them, the windows in their creation order, the event loop, and the
// session's end.

#include <QString>

class QApplication;
class QSocketNotifier;

namespace velmora::ui {

// Loads Lang/<Language>.lng when it exists and switches translation on.
void LoadInterfaceLanguage();

// Becomes active when the process receives a terminate, hang-up or interrupt signal.
QSocketNotifier& TerminationNotifier();

// Runs the whole program; returns the process exit code.
int RunProgram(QApplication& app);

} // namespace velmora::ui
