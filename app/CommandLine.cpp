#include "app/CommandLine.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "platform/win32.h"

void PrintHelp() {
    PrintLine("Command line switches");
    PrintLine("HELP\t\tThis message");
    PrintLine("NATIVE\t\tPut the printer into Native USB mode");
    PrintLine("PRINTERCLASS\tPut the printer into Printer Class USB mode");
    PrintLine("COMMCLASS\tPut the printer into Comm Class USB mode");
    PrintLine("MODE\t\tDisplay the current USB mode setting");
    PrintLine("<no switch>\tStart the GUI");
}

SwitchFlags ParseSwitches(int argc, char* argv[]) {
    SwitchFlags flags;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            continue;
        }
        if (_stricmp(arg, "HELP") == 0) {
            PrintHelp();
        } else if (_stricmp(arg, "NATIVE") == 0) {
            flags.native = true;
            DebugTrace("Param", "NATIVE");
        } else if (_stricmp(arg, "COMMCLASS") == 0) {
            flags.commClass = true;
            DebugTrace("Param", "COMMCLASS");
        } else if (_stricmp(arg, "PRINTERCLASS") == 0) {
            flags.printerClass = true;
            DebugTrace("Param", "PRINTERCLASS");
        } else if (_stricmp(arg, "MODE") == 0) {
            flags.modeQuery = true;
            DebugTrace("Param", "MODE");
        }
    }
    return flags;
}
