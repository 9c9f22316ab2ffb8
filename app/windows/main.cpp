#include "app/windows/Program.h"
#include "gui/MainApp.h"

int main(int argc, char* argv[]) {
    return RunOrvane(argc, argv, theApp);
}
