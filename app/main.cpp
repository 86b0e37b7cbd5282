// Velmora Database: recording and analysis of desmid field samples.

#include "ui/startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return velmora::ui::RunProgram(app);
}
