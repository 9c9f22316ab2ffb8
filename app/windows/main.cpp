#include "app/windows/Program.h"

int main(int argc, char* argv[]) {
    return RunOrvane(argc, argv);
}
