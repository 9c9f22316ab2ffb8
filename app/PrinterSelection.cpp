#include "app/PrinterSelection.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "device/PrinterChoice.h"
#include "text/ModeText.h"

namespace {
std::optional<Refusal> Choose(std::size_t index, PrinterSelection* pSelection) {
    const AttachedPrinter& printer = pSelection->printers[index];
    // Named even when refused: the record of a refused change names it.
    pSelection->printer = PrinterTarget::Listed(printer.identity);
    pSelection->chosen = index;
    if (!printer.deniedNode.empty()) {
        return Refusal{RunResult::NoAccess, NoAccessLine(printer.deniedNode)};
    }
    return std::nullopt;
}
} // namespace

std::string SeveralPrintersLine(std::size_t count) {
    return FormatText("%d printers are attached: choose one with PRINTER=<n|ID> (LIST shows them)",
                      static_cast<int>(count));
}

std::optional<Refusal> SelectPrinter(PrinterBackend& backend, const SwitchFlags& flags,
                                     PrinterSelection* pSelection) {
    pSelection->printers = backend.ListPrinters();
    const std::vector<AttachedPrinter>& printers = pSelection->printers;

    if (!flags.printerChoices.empty()) {
        const std::string& choice = flags.printerChoices.front();
        for (const std::string& other : flags.printerChoices) {
            if (other != choice) {
                return Refusal{RunResult::WhichPrinter,
                               "Choose one printer: PRINTER= is given more than once"};
            }
        }
        if (printers.empty()) {
            return Refusal{RunResult::NoPrinter, kErrorOpeningUsb};
        }
        const AttachedPrinter* pChosen = FindChosenPrinter(printers, choice);
        if (pChosen == nullptr) {
            return Refusal{RunResult::WhichPrinter,
                           "No attached printer matches PRINTER=" + EscapeUnprintable(choice) +
                               " (LIST shows the attached printers)"};
        }
        return Choose(static_cast<std::size_t>(pChosen - printers.data()), pSelection);
    }

    if (printers.size() > 1) {
        pSelection->several = true;
        return std::nullopt;
    }
    if (printers.size() == 1) {
        return Choose(0, pSelection);
    }
    return std::nullopt;
}
