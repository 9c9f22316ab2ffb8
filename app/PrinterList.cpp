#include "app/PrinterList.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "text/ModeText.h"

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
            port =
                ShowDeviceText(context.backend.LookUpPort(PrinterTarget::Listed(printer.identity))
                                   .port.value_or(""));
        }
        std::string line =
            FormatText("%d\t%s\t%s\t%s", static_cast<int>(i + 1), ShownId(printer).c_str(),
                       ModeName(printer.mode), port.c_str());
        if (!printer.sharedSerial.empty()) {
            line += "\tserial " + ShowDeviceText(printer.sharedSerial) +
                    " is shared with another printer";
        }
        PrintLine(line);
    }
    return kExitOk;
}
