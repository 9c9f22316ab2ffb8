#include "app/PrinterSelection.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "device/PrinterChoice.h"
#include "text/ModeText.h"

namespace {
std::optional<int> Chosen(const AttachedPrinter& printer, PrinterSelection* pSelection) {
    // Named even when refused: the record of a refused change names it.
    pSelection->printer = PrinterTarget::Listed(printer.identity);
    if (!printer.deniedNode.empty()) {
        PrintLine(NoAccessLine(printer.deniedNode));
        return kExitNoAccess;
    }
    return std::nullopt;
}
} // namespace

std::string SeveralPrintersLine(std::size_t count) {
    return FormatText("%d printers are attached: choose one with PRINTER=<n|ID> (LIST shows them)",
                      static_cast<int>(count));
}

std::optional<int> SelectPrinter(PrinterBackend& backend, const SwitchFlags& flags,
                                 PrinterSelection* pSelection) {
    pSelection->printers = backend.ListPrinters();
    const std::vector<AttachedPrinter>& printers = pSelection->printers;

    if (!flags.printerChoices.empty()) {
        const std::string& choice = flags.printerChoices.front();
        for (const std::string& other : flags.printerChoices) {
            if (other != choice) {
                PrintLine("Choose one printer: PRINTER= is given more than once");
                return kExitWhichPrinter;
            }
        }
        if (printers.empty()) {
            PrintLine(kErrorOpeningUsb);
            return kExitNoPrinter;
        }
        const AttachedPrinter* pChosen = FindChosenPrinter(printers, choice);
        if (pChosen == nullptr) {
            PrintLine("No attached printer matches PRINTER=" + EscapeUnprintable(choice) +
                      " (LIST shows the attached printers)");
            return kExitWhichPrinter;
        }
        return Chosen(*pChosen, pSelection);
    }

    if (printers.size() > 1) {
        pSelection->several = true;
        return std::nullopt;
    }
    if (printers.size() == 1) {
        return Chosen(printers.front(), pSelection);
    }
    return std::nullopt;
}
