#include "app/ConsoleFace.h"

#include "app/ConsoleSwitches.h"
#include "app/ExitCodes.h"
#include "app/ModeQuery.h"
#include "app/PrinterList.h"
#include "app/PrinterSelection.h"
#include "app/SwitchRecord.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"

int RunSwitches(ConsoleContext& context, const SwitchFlags& flags) {
    if (flags.ModeSwitchCount() > 1) {
        DebugTrace("InitInstance", "More than one USB mode specified");
        PrintLine("Cannot specify more than one USB communication mode");
        return kExitOk;
    }
    if (flags.version) {
        PrintLine(context.programName + " " +
                  (context.version.empty() ? "(version not recorded)" : context.version));
    }
    int exitCode = kExitOk;
    if (flags.list) {
        exitCode = ListPrinters(context);
    }
    if (!flags.modeQuery && flags.ModeSwitchCount() == 0) {
        return exitCode;
    }

    PrinterSelection selection;
    if (const std::optional<int> refusal = SelectPrinter(context.backend, flags, &selection)) {
        return flags.modeQuery ? *refusal
                               : RecordRefusedChoice(context, flags, selection, *refusal);
    }
    if (flags.modeQuery) {
        return ReportMode(context, selection);
    }
    return RunModeSwitch(context, flags, selection);
}

int RunConsoleOnly(ConsoleContext& context, const SwitchFlags& flags) {
    const std::vector<std::string> errors = UsageErrors(flags, context.programName);
    for (const std::string& line : errors) {
        PrintErrorLine(line);
    }
    if (!errors.empty()) {
        return kExitUsage;
    }
    if (flags.actionWords == 0) {
        PrintHelp(false);
        return kExitUsage;
    }
    return RunSwitches(context, flags);
}
