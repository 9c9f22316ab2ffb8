#include "app/PrinterList.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"

int ListPrinters(ConsoleContext& context) {
    const std::vector<AttachedPrinter> printers = context.backend.ListPrinters();
    if (printers.empty()) {
        PrintLine(kErrorOpeningUsb);
        return kExitNoPrinter;
    }
    for (std::size_t i = 0; i < printers.size(); ++i) {
        const AttachedPrinter& printer = printers[i];
        std::string port;
        if (printer.mode == IDCOMMCLASSTYPE) {
            port = context.backend.LookUpPort(PrinterTarget::Listed(printer.identity))
                       .port.value_or("");
        }
        PrintLine(FormatText("%d\t%s\t%s\t%s", static_cast<int>(i + 1), printer.shownId.c_str(),
                             ModeName(printer.mode), port.c_str()));
    }
    return kExitOk;
}
