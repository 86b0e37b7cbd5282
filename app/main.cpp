// Velmora Database: recording and analysis of desmid field samples.

#include "ui/application.h"
#include "ui/startup.h"

int main(int argc, char* argv[]) {
    velmora::ui::Application app(argc, argv);
    return velmora::ui::RunProgram(app);
}
