#include "app/ConsoleFace.h"

#include "app/ConsoleReply.h"
#include "app/ConsoleSwitches.h"
#include "app/ExitCodes.h"
#include "app/ModeQuery.h"
#include "app/PrinterList.h"
#include "app/PrinterSelection.h"
#include "app/SwitchRecord.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"

namespace {
void Answer(ConsoleContext& context, const SwitchFlags& flags, ConsoleReply& reply) {
    if (flags.ModeSwitchCount() > 1) {
        DebugTrace("InitInstance", "More than one USB mode specified");
        reply.Refuse(RunResult::Conflict, "Cannot specify more than one USB communication mode");
        return;
    }
    if (flags.version) {
        reply.Version(context.programName, context.version);
    }
    if (flags.list) {
        ListPrinters(context, reply);
    }
    if (!flags.modeQuery && flags.ModeSwitchCount() == 0) {
        return;
    }

    PrinterSelection selection;
    if (const std::optional<Refusal> refusal = SelectPrinter(context.backend, flags, &selection)) {
        reply.Refuse(refusal->result, refusal->line);
        if (!flags.modeQuery) {
            RecordRefusedChoice(context, flags, selection, ExitCodeOf(refusal->result));
        }
    } else if (flags.modeQuery) {
        ReportMode(context, selection, reply);
    } else {
        RunModeSwitch(context, flags, selection, reply);
    }
}
} // namespace

int RunSwitches(ConsoleContext& context, const SwitchFlags& flags) {
    if (flags.json && !flags.version && !flags.list && !flags.modeQuery &&
        flags.ModeSwitchCount() == 0) {
        PrintErrorLine(context.programName +
                       ": JSON goes with LIST, MODE, VERSION, NATIVE, PRINTERCLASS or COMMCLASS");
        return kExitUsage;
    }
    ConsoleReply reply(flags.json);
    Answer(context, flags, reply);
    return reply.Finish();
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

int ConsoleExitCode(const std::string& programName, int exitCode) {
    if (const std::optional<std::string> why = TakeOutputFailure()) {
        PrintErrorLine(programName + ": cannot write the output: " + *why);
        return kExitOutputLost;
    }
    return exitCode;
}
