#include "app/PrinterList.h"

void ListPrinters(ConsoleContext& context, ConsoleReply& reply) {
    std::vector<PrinterReport> printers;
    for (const AttachedPrinter& printer : context.backend.ListPrinters()) {
        PrinterReport& report = printers.emplace_back();
        report.number = static_cast<int>(printers.size());
        report.listed = printer;
        report.mode = printer.mode;
        if (printer.mode == IDCOMMCLASSTYPE) {
            report.port = context.backend.LookUpPort(PrinterTarget::Listed(printer.identity));
        }
    }
    reply.List(printers);
}
