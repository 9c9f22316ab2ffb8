#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ConsoleSwitches.h"
#include "app/ExitCodes.h"
#include "app/ModeQuery.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "gui/MainApp.h"
#include "gui/framework/AfxWin.h"

int RunOrvane(int argc, char* argv[]) {
    if (!AfxWinInit(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), 0)) {
        PrintErrorLine("Fatal Error: MFC initialization failed");
        return kExitFrameworkFailed;
    }

    if (argc < 2) {
        // No switch: the dialog face, without the console window.
        FreeConsole();
        theApp.InitInstance();
        return theApp.ExitInstance();
    }

    const SwitchFlags flags = ParseSwitches(argc, argv);
    if (flags.ModeSwitchCount() > 1) {
        DebugTrace("InitInstance", "More than one USB mode specified");
        PrintLine("Cannot specify more than one USB communication mode");
        return kExitOk;
    }
    if (flags.modeQuery) {
        return ReportMode();
    }
    return RunModeSwitch(flags);
}
