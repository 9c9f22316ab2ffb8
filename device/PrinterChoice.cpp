#include "device/PrinterChoice.h"

#include "common/TextCase.h"

#include <algorithm>

namespace {

// The list number the choice spells, or 0 when it is not a plain decimal number in range.
std::size_t ListNumber(const std::string& choice, std::size_t count) {
    if (choice.empty() || choice.size() > 9 ||
        !std::all_of(choice.begin(), choice.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    const std::size_t number = std::stoul(choice);
    return number >= 1 && number <= count ? number : 0;
}
} // namespace

const AttachedPrinter* FindChosenPrinter(const std::vector<AttachedPrinter>& printers,
                                         const std::string& choice) {
    if (choice.empty()) {
        return nullptr;
    }
    // A name beats a number: a printer whose serial is "2" is found by it even when it is not
    // the second in the list.
    for (const AttachedPrinter& printer : printers) {
        if (EqualIgnoringCase(printer.shownId, choice) ||
            EqualIgnoringCase(printer.identity, choice)) {
            return &printer;
        }
    }
    const std::size_t number = ListNumber(choice, printers.size());
    return number == 0 ? nullptr : &printers[number - 1];
}
