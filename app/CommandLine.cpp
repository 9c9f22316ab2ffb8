#include "app/CommandLine.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "common/TextCase.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::string_view kPrinterPrefix = "PRINTER=";

bool Is(const char* arg, const char* name) {
    return EqualIgnoringCase(arg, name);
}

// The options that every Posix program answers, spelt exactly.
bool IsPosixOption(const char* arg, const char* longName, const char* shortName) {
    return std::strcmp(arg, longName) == 0 || std::strcmp(arg, shortName) == 0;
}

bool HasWord(int argc, char* argv[], const char* word) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr && Is(argv[i], word)) {
            return true;
        }
    }
    return false;
}
} // namespace

void PrintHelp(bool withDialog) {
    PrintLine("Command line switches");
    PrintLine("HELP\t\tThis message");
    PrintLine("NATIVE\t\tPut the printer into Native USB mode");
    PrintLine("PRINTERCLASS\tPut the printer into Printer Class USB mode");
    PrintLine("COMMCLASS\tPut the printer into Comm Class USB mode");
    PrintLine("MODE\t\tDisplay the current USB mode setting");
    if (withDialog) {
        PrintLine("<no switch>\tStart the GUI");
    }
    PrintLine("LIST\t\tList the attached printers: number, ID, mode and port");
    PrintLine("PRINTER=<n|ID>\tWork on this printer: a LIST number, its ID or its serial number");
    PrintLine("VERSION\t\tDisplay the program's version");
    PrintLine("TRACE\t\tEcho the diagnostic trace on the standard error stream");
}

bool WantsTrace(int argc, char* argv[]) {
    return HasWord(argc, argv, "TRACE");
}

SwitchFlags ParseSwitches(int argc, char* argv[], SwitchConventions conventions) {
    const bool withDialog = conventions == SwitchConventions::Windows;
    const bool posix = conventions == SwitchConventions::Posix;
    SwitchFlags flags;
    // The document is all that goes to standard output: the help is not printed with it.
    flags.json = HasWord(argc, argv, "JSON");
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            continue;
        }
        if (StartsWithIgnoringCase(arg, kPrinterPrefix)) {
            flags.printerChoices.emplace_back(arg + kPrinterPrefix.size());
            DebugTrace("Param", arg);
            continue;
        }
        if (Is(arg, "TRACE")) {
            flags.trace = true;
            DebugTrace("Param", "TRACE");
            continue;
        }
        ++flags.actionWords;
        if (Is(arg, "HELP") || (posix && IsPosixOption(arg, "--help", "-h"))) {
            if (!flags.json) {
                PrintHelp(withDialog);
            }
        } else if (Is(arg, "JSON")) {
            DebugTrace("Param", "JSON");
        } else if (Is(arg, "NATIVE")) {
            flags.native = true;
            DebugTrace("Param", "NATIVE");
        } else if (Is(arg, "COMMCLASS")) {
            flags.commClass = true;
            DebugTrace("Param", "COMMCLASS");
        } else if (Is(arg, "PRINTERCLASS")) {
            flags.printerClass = true;
            DebugTrace("Param", "PRINTERCLASS");
        } else if (Is(arg, "MODE")) {
            flags.modeQuery = true;
            DebugTrace("Param", "MODE");
        } else if (Is(arg, "LIST")) {
            flags.list = true;
            DebugTrace("Param", "LIST");
        } else if (Is(arg, "VERSION") || (posix && IsPosixOption(arg, "--version", "-V"))) {
            flags.version = true;
            DebugTrace("Param", "VERSION");
        } else {
            flags.unknownWords.emplace_back(arg);
        }
    }
    return flags;
}

std::vector<std::string> UsageErrors(const SwitchFlags& flags, const std::string& programName) {
    std::vector<std::string> errors;
    for (const std::string& word : flags.unknownWords) {
        errors.push_back(programName + ": unknown switch '" + ShowDeviceText(word) +
                         "' (HELP lists the switches)");
    }
    if (std::any_of(flags.printerChoices.begin(), flags.printerChoices.end(),
                    [](const std::string& choice) { return choice.empty(); })) {
        errors.push_back(programName + ": PRINTER= needs a LIST number or an ID (LIST shows them)");
    }
    return errors;
}
