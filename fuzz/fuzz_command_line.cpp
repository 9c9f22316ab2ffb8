// Orvane's command line: any argument list of any bytes, against no printer or a printer in
// any mode, optionally with one failing Win32 call.
//
// Input layout:
//   byte 0      bits 0-1: printer absent (0), or attached in mode 0, 1 or 2 (1, 2, 3)
//               bit 2: in comm class mode the printer lists its port (COM7)
//               bit 3: after a restart the printer never comes back
//               bit 4: writes to the printer fail
//               bit 5: one failable call fails; bytes 1-2 (little-endian) number it
//               bits 6-7: the error of that failure
//   the rest    the arguments after the program name, separated by NUL bytes
#include "app/windows/Program.h"
#include "platform/sim/SimSystem.h"
#include "support/Faults.h"
#include "support/InputBytes.h"
#include "support/JsonCheck.h"
#include "support/MachineChecks.h"
#include "support/Require.h"
#include "support/StdoutCapture.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The simulated machine has no windows: the dialog face opens nothing and is closed, as the
// dialog whose templates cannot be found.
class NoDialog : public DialogFace {
  public:
    BOOL Start(HINSTANCE, LPSTR) override { return TRUE; }
    int Run(PrinterBackend&, const PrinterTarget&, SystemLog&) override { return 0; }
};

// Enough for any real use and well past the twenty the console was once limited to.
constexpr std::size_t kMaxArguments = 512;

struct MachineSetup {
    int printerMode = -1;
    bool portListed = false;
    bool neverReturns = false;
    bool failWrites = false;
    std::optional<std::uint64_t> failingCall;
    DWORD faultError = 0;
};

MachineSetup ReadSetup(InputBytes& input) {
    const std::uint8_t flags = input.Take();
    MachineSetup setup;
    setup.printerMode = (flags & 3) - 1;
    setup.portListed = (flags & 4) != 0;
    setup.neverReturns = (flags & 8) != 0;
    setup.failWrites = (flags & 16) != 0;
    if ((flags & 32) != 0) {
        setup.failingCall = input.TakeU16();
        setup.faultError = FaultError(static_cast<std::uint8_t>(flags >> 6));
    }
    return setup;
}

void Apply(const MachineSetup& setup) {
    sim::reset();
    sim::Printer& printer = sim::machine().printer();
    if (!setup.portListed) {
        printer.port.reset();
    }
    printer.neverReturns = setup.neverReturns;
    printer.failWrites = setup.failWrites;
    if (setup.printerMode >= 0) {
        printer.attach(setup.printerMode);
    }
    if (setup.failingCall) {
        sim::machine().failCallNumber(*setup.failingCall, setup.faultError);
    }
}

bool SameWord(std::string_view arg, std::string_view word) {
    if (arg.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < arg.size(); ++i) {
        const char c =
            arg[i] >= 'a' && arg[i] <= 'z' ? static_cast<char>(arg[i] - 'a' + 'A') : arg[i];
        if (c != word[i]) {
            return false;
        }
    }
    return true;
}

// What the arguments ask for, read independently of Orvane's parser.
struct Request {
    bool switchGiven[3] = {false, false, false};
    bool modeQuery = false;
    bool json = false;
    bool jsonAction = false;          // LIST, MODE, VERSION or a mode switch beside JSON
    std::vector<std::string> choices; // what each PRINTER= names
    bool onlySelection = true;        // nothing but PRINTER= and TRACE: the dialog face
    int SwitchKinds() const {
        return int{switchGiven[0]} + int{switchGiven[1]} + int{switchGiven[2]};
    }
    int Target() const { return switchGiven[1] ? 1 : switchGiven[2] ? 2 : 0; }
};

Request ReadRequest(const std::vector<std::string>& args) {
    constexpr std::string_view kPrinter = "PRINTER=";
    Request request;
    for (const std::string& arg : args) {
        request.switchGiven[0] |= SameWord(arg, "NATIVE");
        request.switchGiven[1] |= SameWord(arg, "PRINTERCLASS");
        request.switchGiven[2] |= SameWord(arg, "COMMCLASS");
        request.modeQuery |= SameWord(arg, "MODE");
        request.json |= SameWord(arg, "JSON");
        for (const char* action :
             {"NATIVE", "PRINTERCLASS", "COMMCLASS", "MODE", "LIST", "VERSION"}) {
            request.jsonAction |= SameWord(arg, action);
        }
        if (arg.size() >= kPrinter.size() &&
            SameWord(std::string_view(arg).substr(0, kPrinter.size()), kPrinter)) {
            request.choices.push_back(arg.substr(kPrinter.size()));
        } else if (!SameWord(arg, "TRACE")) {
            request.onlySelection = false;
        }
    }
    return request;
}

// Whether a PRINTER= choice names the simulated machine's one printer: its list number, its
// instance, or its device instance ID, in any case.
bool NamesThePrinter(const std::string& choice) {
    const sim::Printer& printer = sim::machine().printer();
    if (SameWord(choice, printer.instanceId())) {
        return true;
    }
    std::string instance = printer.instance;
    for (char& c : instance) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (SameWord(choice, instance)) {
        return true;
    }
    if (choice.empty() || choice.size() > 9 ||
        choice.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    return std::stoul(choice) == 1;
}

// Whether the command line leaves Orvane unsure which printer is meant: two different choices,
// or, with the printer attached, a choice that names another.
bool ChoiceRefused(const Request& request, bool printerAttached) {
    if (request.choices.empty()) {
        return false;
    }
    for (const std::string& choice : request.choices) {
        if (choice != request.choices.front()) {
            return true;
        }
    }
    return printerAttached && !NamesThePrinter(request.choices.front());
}

constexpr int kFrameworkFailed = 1;
constexpr int kWhichPrinter = 4;
constexpr int kUsage = 64;

const char* const kModeText[] = {"Native USB", "Printer Class USB", "Comm Class USB"};

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
        text += ' ';
    }
    return text;
}

bool IsModeCommand(const std::vector<std::uint8_t>& w) {
    return w.size() == 6 && w[0] == 0x1F && w[1] == 0x0B && w[2] == 0x4E && w[3] == 0x1F &&
           w[4] == 0x43 && w[5] <= 2;
}

bool IsRestartCommand(const std::vector<std::uint8_t>& w) {
    return w.size() == 2 && w[0] == 0x1D && w[1] == 0xFF;
}

// The printer saw at most one mode command (for the requested mode) and at most one restart
// command after it, and nothing else.
void CheckWrites(const MachineSetup& setup, const Request& request, bool changeAsked) {
    const auto& writes = sim::machine().printer().writes();
    for (const sim::PrinterWrite& write : writes) {
        if (!IsModeCommand(write.bytes) && !IsRestartCommand(write.bytes)) {
            FailInvariant("malformed write to the printer: " + Hex(write.bytes));
        }
    }
    if (!changeAsked || setup.printerMode < 0 || setup.printerMode == request.Target()) {
        Require(writes.empty(), "the printer was written to although no change was due");
        return;
    }
    Require(writes.size() <= 2, "more than one mode command sequence was sent");
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (IsModeCommand(writes[i].bytes)) {
            Require(i == 0, "a mode command followed another write");
            Require(writes[i].bytes[5] == request.Target(),
                    "the mode command names another mode than the switch");
        }
    }
}

// Whether the output says `text`: as one of its lines, or with JSON as one of the document's
// strings (read strictly on its own, not by Orvane's writer).
bool Says(const Request& request, const std::string& out, const std::string& text) {
    if (!request.json) {
        return HasLine(out, text);
    }
    const std::optional<std::vector<JsonString>> strings = JsonStrings(out);
    return strings && std::find(strings->begin(), strings->end(), text) != strings->end();
}

void CheckOutcome(const MachineSetup& setup, const Request& request, bool anyArgument, int exitCode,
                  const std::string& out) {
    const bool faulted = !sim::machine().injectedFaults().empty();
    const bool printer = setup.printerMode >= 0;
    const bool dialogFace = !anyArgument || request.onlySelection;
    const bool printerNeeded = dialogFace || request.modeQuery || request.SwitchKinds() == 1;
    // Which printer is meant matters once a printer is attached and Orvane acts on one.
    const bool refused = anyArgument && printerNeeded && request.SwitchKinds() <= 1 &&
                         ChoiceRefused(request, printer);
    const bool changeAsked =
        anyArgument && !dialogFace && request.SwitchKinds() == 1 && !request.modeQuery && !refused;

    if (request.json && exitCode != kFrameworkFailed) {
        if (!request.jsonAction) {
            Require(exitCode == kUsage && out.empty(), "JSON without an action was not refused");
            Require(sim::machine().printer().writes().empty(),
                    "JSON without an action sent a command");
            return;
        }
        Require(JsonStrings(out).has_value(), "with JSON, standard output is not one document");
    }
    Require(exitCode >= 0 && exitCode <= 4, "exit code outside 0..4");
    if (refused && !faulted) {
        Require(exitCode == kWhichPrinter, "a choice that names no printer was not refused");
        Require(sim::machine().printer().writes().empty(), "a refused choice sent a command");
    }
    Require(exitCode != kWhichPrinter || (refused || faulted),
            "exit code 4 without a choice that names no printer");
    if (exitCode == kFrameworkFailed) {
        // Start-up failed: nothing else may have happened.
        Require(faulted, "the framework failed without a fault");
        Require(out.empty(), "the console printed after the framework failed");
        Require(sim::machine().printer().writes().empty(),
                "the printer was written to after the framework failed");
        return;
    }
    Require(exitCode != 2 || Says(request, out, "Error opening USB"),
            "exit code 2 without \"Error opening USB\"");
    Require(exitCode != 2 || !printer || faulted, "a present printer was reported missing");
    Require(exitCode != 3 || setup.neverReturns || setup.failWrites || faulted,
            "the restart wait timed out on a printer that comes back");
    Require(exitCode != 3 || changeAsked, "a restart wait without a mode switch");
    if (!printer) {
        Require(exitCode != 3, "a restart wait without a printer");
    }
    if (dialogFace && !refused) {
        Require(exitCode == 0, "the dialog face ended with a console code");
    }
    if (anyArgument && request.SwitchKinds() > 1) {
        Require(exitCode == 0 &&
                    Says(request, out, "Cannot specify more than one USB communication mode"),
                "two mode switches were not refused");
    }
    const bool clean = !faulted && printer && !refused;
    if (clean && anyArgument && !dialogFace && request.modeQuery && request.SwitchKinds() <= 1) {
        std::string line = kModeText[setup.printerMode];
        // With JSON the port is a string of its own.
        const bool port = setup.printerMode == 2 && setup.portListed;
        if (port && !request.json) {
            line += " = COM7";
        }
        Require(exitCode == 0 && Says(request, out, line) &&
                    (!port || !request.json || Says(request, out, "COM7")),
                "MODE did not report the printer's mode");
    }
    if (clean && changeAsked && !setup.neverReturns && !setup.failWrites) {
        const int target = request.Target();
        Require(exitCode == 0, "a mode change without faults failed");
        Require(sim::machine().printer().mode() == target, "the printer is not in the new mode");
        const bool already = setup.printerMode == target;
        const std::string expected = request.json ? (already ? "already-set" : "changed")
                                                  : (already ? "Already set to " : "Now set to ") +
                                                        std::string(kModeText[target]);
        Require(Says(request, out, expected), "the console did not report the new mode");
    }
    CheckWrites(setup, request, changeAsked);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const MachineSetup setup = ReadSetup(input);
    std::vector<std::string> args = SplitOnNul(input.Rest(), kMaxArguments);
    const Request request = ReadRequest(args);

    Apply(setup);
    args.insert(args.begin(), "Orvane.exe");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    ClearCapturedStdout();
    NoDialog dialog;
    const int exitCode = RunOrvane(static_cast<int>(args.size()), argv.data(), dialog);
    const std::string out = CapturedStdout();

    RequireMachineClean();
    CheckOutcome(setup, request, args.size() > 1, exitCode, out);
    return 0;
}
