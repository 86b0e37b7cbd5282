// velmora-cli: Velmora Database's operations for scripts and batch work, without a display.

#include "cli/commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return velmora::cli::Run(args, out, err);
}
