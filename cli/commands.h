#pragma once
// velmora-cli: the program's operations without windows, for scripts and batch work. Every
// command calls the same library code as the windows; this file only reads the command line,
// opens what the command needs and writes the result.
//
//   velmora-cli [--program-folder DIR] COMMAND [ARGUMENTS] [OPTIONS]
//
// Data (tables, lists) goes to the output stream as tab-separated lines; messages go to the
// error stream in the interface language of the settings. The program's settings file is
// read, never written, so a run beside the windows changes nothing of theirs.

#include <QStringList>
#include <QTextStream>

namespace velmora::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUserError = 1, // bad data, a file that cannot be read or written, a database in use
    kExitUsage = 2,     // the command line itself is wrong
};

// Runs one command line (the arguments after the program's name). The program folder is the
// folder of the executable unless --program-folder names another.
int Run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velmora::cli
