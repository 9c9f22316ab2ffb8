#include "emulator_options.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::uint32_t max_lifetime_s = 86400;
constexpr std::size_t max_serial_chars = 32;
// The instance names of the dead and the foreign interfaces.
constexpr std::array<std::string_view, 2> reserved_serials{"ORVEMU0000", "ORVEMU0002"};

std::string bad_value(std::string_view option, std::string_view value) {
    return "bad value for " + std::string(option) + ": '" + std::string(value) + "'";
}

// Letters and digits only: the serial becomes a registry key name and part of a device path.
std::string check_serial(std::optional<std::string>& serial) {
    if (!serial) {
        return "the emulator cannot play --no-serial: a device path needs an instance part";
    }
    std::string& text = *serial;
    const bool valid =
        text.size() <= max_serial_chars &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (!valid || std::find(reserved_serials.begin(), reserved_serials.end(), text) !=
                      reserved_serials.end()) {
        return "--serial: the emulator plays letters and digits only (at most 32), and not "
               "ORVEMU0000 or ORVEMU0002 (the dead and foreign interfaces)";
    }
    return {};
}

// What the description may say that the emulator cannot play.
std::string check_playable(PrinterDescription& printer, std::size_t index) {
    const std::array<std::pair<bool, std::string_view>, 6> unplayable{{
        {printer.linger_ms != 0, "--linger-ms"},
        {printer.settles_in.has_value(), "--settles-in"},
        {printer.leaves_after_return, "--leaves-after-return"},
        {printer.unplug_after_ms.has_value(), "--unplug-after-ms"},
        {printer.unplug_at_command, "--unplug-at-command"},
        {printer.problem_code != 0, "--problem-code: Wine shows a device node's code as none"},
    }};
    for (const auto& [asked, option] : unplayable) {
        if (asked) {
            return "the emulator cannot play " + std::string(option);
        }
    }
    constexpr std::uint32_t error_busy = 170;
    const std::string held_option =
        printer.held == HeldPart::Whole ? "--refuse-opens" : "--refuse-command-opens";
    if (printer.held_error == error_busy) {
        return held_option + ": Wine gives no client error 170 (ERROR_BUSY) for an open; use 5 "
                             "or 32";
    }
    if (printer.held != HeldPart::None && printer.held_error != held_access_denied &&
        printer.held_error != held_sharing_violation) {
        return bad_value(held_option, std::to_string(printer.held_error));
    }
    // A mailslot takes every message as soon as it is written.
    if (pipe_kind(printer, index) == PipeKind::Mailslots &&
        (printer.fail_writes || printer.stall_writes)) {
        return "a printer on mailslots (the one after --also, or one refusing opens with 32) "
               "cannot fail or stall a write";
    }
    return check_serial(printer.serial);
}

std::string check_printers(std::vector<PrinterDescription>& printers) {
    for (std::size_t index = 0; index < printers.size(); ++index) {
        for (const std::string& error :
             {check_printer(printers[index]), check_playable(printers[index], index)}) {
            if (!error.empty()) {
                return error;
            }
        }
    }
    if (printers.size() < 2) {
        return {};
    }
    const PrinterDescription& first = printers.front();
    const PrinterDescription& second = printers.back();
    if (pipe_kind(first, 0) == pipe_kind(second, 1)) {
        return "both printers would play through " +
               std::string(pipe_kind(first, 0) == PipeKind::NamedPipes ? "named pipes"
                                                                       : "mailslots") +
               ": refuse opens with 5 only on the first printer and with 32 only on the second";
    }
    // One serial under two product IDs gives two instance IDs; under one product ID the two
    // printers would share every name.
    if (first.serial == second.serial && first.product_id == second.product_id) {
        return "both printers have the serial " + *first.serial + " and the product ID " +
               product_id_text(first.product_id) + "; give one another --pid";
    }
    return {};
}

// Reads an option of the emulator itself at `words[at]`; returns the words taken, or why not.
std::variant<std::size_t, std::string> read_emulator_option(std::span<const std::string_view> words,
                                                            std::size_t at,
                                                            EmulatorCommand& command) {
    const std::string_view option = words[at];
    EmulatorOptions& options = command.options;
    if (option == "--help" || option == "-h" || option == "/?") {
        command.action = EmulatorAction::Help;
    } else if (option == "--stop" || option == "--purge") {
        command.action = option == "--stop" ? EmulatorAction::Stop : EmulatorAction::Purge;
    } else if (option == "--foreign" || option == "--dead") {
        (option == "--foreign" ? options.foreign : options.dead) = true;
    } else if (option == "--also") {
        if (options.printers.size() == max_printers) {
            return std::string("--also: at most two printers, one on named pipes and one on "
                               "mailslots");
        }
        options.printers.push_back(second_printer());
    } else if (option == "--log" || option == "--lifetime-s" || option == "--plug" ||
               option == "--unplug") {
        if (at + 1 >= words.size()) {
            return std::string(option) + " needs a value";
        }
        const std::string_view value = words[at + 1];
        if (option == "--log") {
            options.log_path = std::string(value);
            return value.empty() ? bad_value(option, value)
                                 : std::variant<std::size_t, std::string>(std::size_t{2});
        }
        const auto number =
            parse_decimal(value, option == "--lifetime-s" ? max_lifetime_s : max_printers);
        if (!number || *number == 0) {
            return bad_value(option, value);
        }
        if (option == "--lifetime-s") {
            options.lifetime_s = *number;
        } else {
            command.action = option == "--plug" ? EmulatorAction::Plug : EmulatorAction::Unplug;
            command.printer_number = *number;
        }
        return std::size_t{2};
    } else {
        return "unknown argument: " + std::string(option);
    }
    return std::size_t{1};
}

} // namespace

PipeKind pipe_kind(const PrinterDescription& printer, std::size_t index) {
    if (printer.held != HeldPart::None) {
        return printer.held_error == held_sharing_violation ? PipeKind::Mailslots
                                                            : PipeKind::NamedPipes;
    }
    return index == 0 ? PipeKind::NamedPipes : PipeKind::Mailslots;
}

std::variant<EmulatorCommand, std::string>
parse_emulator_arguments(std::span<const std::string_view> arguments) {
    EmulatorCommand command;
    for (const std::string_view argument : arguments) {
        command.options.arguments += ' ';
        command.options.arguments += argument;
    }
    for (std::size_t at = 0; at < arguments.size();) {
        auto read = read_printer_option(arguments, at, command.options.printers.back());
        if (std::holds_alternative<std::size_t>(read) && std::get<std::size_t>(read) == 0) {
            read = read_emulator_option(arguments, at, command);
        }
        if (const auto* error = std::get_if<std::string>(&read)) {
            return *error;
        }
        at += std::get<std::size_t>(read);
    }
    if (std::string error = check_printers(command.options.printers); !error.empty()) {
        return error;
    }
    return command;
}

std::string emulator_help_text() {
    return "PrinterEmulator: plays the USB printer through Wine's Setup API registry, object\n"
           "namespace and named pipes (a second printer through mailslots), and logs what a\n"
           "client does to it.\n"
           "\n"
           "Usage: PrinterEmulator.exe [options] [printer] [--also printer]\n"
           "  --foreign              also list an openable interface without the printer's IDs\n"
           "                         (vid_1234&pid_5678) in every printer class\n"
           "  --dead                 also list one with the first printer's IDs that cannot open\n"
           "  --log PATH             event log (default PrinterEmulator.log)\n"
           "  --lifetime-s N         stop by itself after N seconds (default 600)\n"
           "  --stop                 stop the running emulator and exit\n"
           "  --unplug N, --plug N   take printer N of the running emulator off the bus, or put\n"
           "                         it back in the mode it left in, and exit\n"
           "  --purge                remove whatever an emulator left registered, and exit\n"
           "  --help                 this text\n" +
           std::string(printer_options_help()) +
           "The emulator plays serials of letters and digits (not ORVEMU0000 or ORVEMU0002, the\n"
           "dead and foreign interfaces), --refuse-opens 5 (named pipes whose server only\n"
           "reads) or 32 (mailslots it holds for writing), and no --linger-ms, --settles-in,\n"
           "--leaves-after-return, --unplug-after-ms, --unplug-at-command or --problem-code.\n"
           "In its --no-driver-in mode a printer is a device key with its setup class and no\n"
           "interface, which Wine lists as a device node without a problem. The first\n"
           "printer's paths \\\\?\\usb#vid_6b1f&pid_<pid>#<serial>#{class} lead to\n"
           "\\Device\\NamedPipe, where <path>\\PIPE00 and <path>\\PIPE01 are named pipes; the\n"
           "second printer's (or one that refuses with 32) to \\Device\\MailSlot: it logs no\n"
           "opens or closes and cannot fail or stall a write. Each listing and withdrawal is\n"
           "broadcast as WM_DEVICECHANGE.\n"
           "\n"
           "Log lines: '<ms> <event>' ('<ms> <serial>: <event>' with two printers,\n"
           "'<ms> <serial>@<pid>: <event>' when they share a serial): start <arguments>,\n"
           "printer <n> [port <name>] (its place on the command line), up <mode> <path>,\n"
           "open <pipe> <mode>, write <pipe> <hex>, write-failed <pipe> <hex>,\n"
           "write-stalled <pipe> <hex>, close <pipe>, command <mode>, bad-mode <hex>, reset,\n"
           "up-without-driver <mode> <instance ID>, restart-begin <mode>, restart-ignored,\n"
           "withdrawn, gone, unplugged, plugged, swept (its keys, which a listing wrote back\n"
           "while it was away, taken away again),\n"
           "port <name>, port-removed, device-port <name>, device-port-removed, error <text>;\n"
           "the emulator's own: ready, open foreign <class>, write foreign <class> <hex>,\n"
           "close foreign <class>, stop requested, stop lifetime-over, stopped.\n"
           "Exit codes: 0 stopped, 1 failure, 2 bad arguments, 3 --stop (--plug, --unplug) found\n"
           "no emulator (or no such printer).\n";
}
