// velmora-cli: Velmora Database's operations for scripts and batch work, without a display.

#include "cli/commands.h"
#include "session/messages.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    int code = velmora::cli::Run(args, out, err);
    // Output that did not reach its destination (a full disk, a closed pipe) is a failure.
    out.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        err << velmora::session::ResStr(velmora::session::rsCliOutputFailed) << '\n';
        code = velmora::cli::kExitUserError;
    }
    return code;
}
