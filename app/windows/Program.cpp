#include "app/windows/Program.h"

#include "app/CommandLine.h"
#include "app/ConsoleFace.h"
#include "app/ExitCodes.h"
#include "app/PrinterSelection.h"
#include "app/windows/VersionResource.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/windows/ApplicationEventLog.h"
#include "common/windows/DebuggerChannel.h"
#include "common/windows/Win32Console.h"
#include "device/windows/Win32PrinterBackend.h"

namespace {
// The dialog face opens on one printer: the one PRINTER= names, or the first of the list; with
// several attached, its chooser reaches the others. Returns the exit code when PRINTER= names
// none; the reason is printed while the console is still there.
std::optional<int> ChooseDialogPrinter(PrinterBackend& backend, const SwitchFlags& flags,
                                       PrinterTarget* pPrinter) {
    PrinterSelection selection;
    if (const std::optional<Refusal> refusal = SelectPrinter(backend, flags, &selection)) {
        PrintLine(refusal->line);
        // Without a printer the dialog shows so itself.
        if (refusal->result != RunResult::NoPrinter) {
            return ExitCodeOf(refusal->result);
        }
    }
    *pPrinter = selection.several ? PrinterTarget::Listed(selection.printers.front().identity)
                                  : selection.printer;
    return std::nullopt;
}
} // namespace

int RunOrvane(int argc, char* argv[], DialogFace& dialog) {
    ScopedDebuggerChannel debuggerChannel;
    EchoTraceToStderr(WantsTrace(argc, argv));
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    if (hInstance == nullptr || !dialog.Start(hInstance, GetCommandLineA())) {
        PrintErrorLine("Fatal Error: MFC initialization failed");
        return kExitFrameworkFailed;
    }

    Win32PrinterBackend backend;
    ApplicationEventLog log;
    const SwitchFlags flags = ParseSwitches(argc, argv, SwitchConventions::Windows);
    if (flags.actionWords == 0) {
        // No switch, or only the choice of a printer: the dialog face, without the console, so
        // that what it prints is not checked.
        PrinterTarget printer = PrinterTarget::FirstFound();
        if (const std::optional<int> refusal = ChooseDialogPrinter(backend, flags, &printer)) {
            return ConsoleExitCode("Orvane", *refusal);
        }
        FreeConsole();
        return dialog.Run(backend, printer, log);
    }

    ConsoleContext context{backend, "Orvane", flags.version ? ReadOwnVersion() : std::string(),
                           StderrIsConsole(), true};
    context.log = &log;
    return ConsoleExitCode(context.programName, RunSwitches(context, flags));
}
