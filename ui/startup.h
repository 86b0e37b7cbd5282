#pragma once
// The program's start and end with windows: the session's start-up steps with the interface
// language between them, the windows in their creation order, the event loop, and the
// session's end.

#include <QString>

class QApplication;
class QSocketNotifier;

namespace velmora::core {
class DatabaseStore;
}

namespace velmora::ui {

class TMainForm;

// Loads Lang/<Language>.lng when it exists and switches translation on.
void LoadInterfaceLanguage();

// Becomes active when the process receives a terminate, hang-up or interrupt signal.
QSocketNotifier& TerminationNotifier();

// After the main window's first show: when the default database `wanted` was named but did
// not open (moved, renamed, deleted), the database selection window opens as soon as the
// event loop runs, so that the user picks or makes one at once.
void ChooseDatabaseIfNotOpened(TMainForm& form, const core::DatabaseStore& store,
                               const QString& wanted);

// Runs the whole program; returns the process exit code.
int RunProgram(QApplication& app);

} // namespace velmora::ui
