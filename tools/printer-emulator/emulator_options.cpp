#include "emulator_options.h"

#include "number_argument.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::uint32_t max_restart_ms = 600000;
constexpr std::uint32_t max_lifetime_s = 86400;
constexpr std::size_t max_serial_chars = 32;
// The instance names of the dead and the foreign interfaces.
constexpr std::array<std::string_view, 2> reserved_serials{"ORVEMU0000", "ORVEMU0002"};

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::optional<std::string> product_id_from(std::string_view text) {
    constexpr std::array<std::string_view, 3> known{"C302", "C318", "C337"};
    std::string id = upper(text);
    if (std::find(known.begin(), known.end(), id) == known.end()) {
        return std::nullopt;
    }
    return id;
}

// Letters and digits only: the serial becomes a registry key name and part of a device path.
std::optional<std::string> serial_from(std::string_view text) {
    const bool valid =
        !text.empty() && text.size() <= max_serial_chars &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
    std::string serial = upper(text);
    if (!valid || std::find(reserved_serials.begin(), reserved_serials.end(), serial) !=
                      reserved_serials.end()) {
        return std::nullopt;
    }
    return serial;
}

class ArgumentReader {
  public:
    explicit ArgumentReader(std::span<const std::string_view> arguments) : arguments_(arguments) {}
    bool done() const { return next_ >= arguments_.size(); }
    std::string_view take() { return arguments_[next_++]; }
    std::optional<std::string_view> take_value() {
        if (done()) {
            return std::nullopt;
        }
        return take();
    }

  private:
    std::span<const std::string_view> arguments_;
    std::size_t next_ = 0;
};

bool takes_value(std::string_view option) {
    constexpr std::array<std::string_view, 12> valued{
        "--mode",   "--back-in", "--restart-ms",   "--lifetime-s",           "--pid",  "--port",
        "--serial", "--log",     "--refuse-opens", "--refuse-command-opens", "--plug", "--unplug"};
    return std::find(valued.begin(), valued.end(), option) != valued.end();
}

std::string missing_value(std::string_view option) {
    return std::string(option) + " needs a value";
}

std::string bad_value(std::string_view option, std::string_view value) {
    return "bad value for " + std::string(option) + ": '" + std::string(value) + "'";
}

// The error of a held pipe: only those that Wine can really give a client.
std::string apply_held(std::string_view option, std::string_view value, PrinterOptions& printer) {
    constexpr std::uint32_t error_busy = 170;
    if (printer.held != HeldPipes::None) {
        return "--refuse-opens and --refuse-command-opens exclude each other";
    }
    const auto error = parse_decimal(value, error_busy);
    if (error == error_busy) {
        return std::string(option) + ": Wine gives no client error 170 (ERROR_BUSY) for an "
                                     "open; use 5 or 32";
    }
    if (error != held_access_denied && error != held_sharing_violation) {
        return bad_value(option, value);
    }
    printer.held = option == "--refuse-opens" ? HeldPipes::Both : HeldPipes::CommandOnly;
    printer.held_error = *error;
    return {};
}

// Reads an option of the whole emulator; an empty result means success.
std::string apply_common_value(std::string_view option, std::string_view value,
                               EmulatorOptions& options) {
    if (option == "--lifetime-s") {
        const auto seconds = parse_decimal(value, max_lifetime_s);
        if (!seconds || *seconds == 0) {
            return bad_value(option, value);
        }
        options.lifetime_s = *seconds;
    } else if (option == "--log") {
        if (value.empty()) {
            return bad_value(option, value);
        }
        options.log_path = std::string(value);
    }
    return {};
}

// Reads an option of the printer being described; an empty result means success.
std::string apply_printer_value(std::string_view option, std::string_view value,
                                PrinterOptions& printer) {
    if (option == "--mode" || option == "--back-in") {
        const auto mode = usb_mode_from_name(value);
        if (!mode) {
            return bad_value(option, value);
        }
        if (option == "--mode") {
            printer.start_mode = *mode;
        } else {
            printer.back_in = *mode;
        }
    } else if (option == "--restart-ms") {
        const auto ms = parse_decimal(value, max_restart_ms);
        if (!ms) {
            return bad_value(option, value);
        }
        printer.restart_ms = *ms;
    } else if (option == "--pid") {
        const auto pid = product_id_from(value);
        if (!pid) {
            return bad_value(option, value);
        }
        printer.product_id = *pid;
    } else if (option == "--port") {
        if (value.empty()) {
            return bad_value(option, value);
        }
        printer.port = std::string(value);
    } else if (option == "--refuse-opens" || option == "--refuse-command-opens") {
        return apply_held(option, value, printer);
    } else if (option == "--serial") {
        const auto serial = serial_from(value);
        if (!serial) {
            return bad_value(option, value);
        }
        printer.serial = *serial;
    }
    return {};
}

std::string apply_valued_option(std::string_view option, std::string_view value,
                                EmulatorOptions& options) {
    if (option == "--lifetime-s" || option == "--log") {
        return apply_common_value(option, value, options);
    }
    return apply_printer_value(option, value, options.printers.back());
}

bool apply_printer_flag(std::string_view option, PrinterOptions& printer) {
    if (option == "--no-port") {
        printer.port.reset();
    } else if (option == "--no-device-port") {
        printer.device_port = false;
    } else if (option == "--never-back") {
        printer.never_back = true;
    } else if (option == "--fail-writes") {
        printer.fail_writes = true;
    } else if (option == "--stall-writes") {
        printer.stall_writes = true;
    } else if (option == "--unplugged") {
        printer.unplugged = true;
    } else {
        return false;
    }
    return true;
}

bool apply_flag(std::string_view option, EmulatorCommand& command) {
    EmulatorOptions& options = command.options;
    if (option == "--help" || option == "-h" || option == "/?") {
        command.action = EmulatorAction::Help;
    } else if (option == "--stop") {
        command.action = EmulatorAction::Stop;
    } else if (option == "--purge") {
        command.action = EmulatorAction::Purge;
    } else if (option == "--foreign") {
        options.foreign = true;
    } else if (option == "--dead") {
        options.dead = true;
    } else {
        return apply_printer_flag(option, options.printers.back());
    }
    return true;
}

// The printer described after --also: it plays through mailslots, under its own names.
PrinterOptions second_printer() {
    PrinterOptions printer;
    printer.serial = "ORVEMU0003";
    printer.pipes = PipeKind::Mailslots;
    printer.port = "COM8";
    return printer;
}

// What no single option can check: options that exclude each other.
std::string check_printer(const PrinterOptions& printer) {
    if (printer.never_back && printer.back_in) {
        return "--never-back and --back-in exclude each other";
    }
    if (printer.fail_writes && printer.stall_writes) {
        return "--fail-writes and --stall-writes exclude each other";
    }
    // A mailslot takes every message as soon as it is written.
    if (printer.pipes == PipeKind::Mailslots && (printer.fail_writes || printer.stall_writes)) {
        return "a printer on mailslots (the one after --also, or one refusing opens with 32) "
               "cannot fail or stall a write";
    }
    return {};
}

// Held pipes decide where a printer plays: only a named pipe refuses with 5, only a mailslot
// with 32.
void choose_pipes(PrinterOptions& printer) {
    if (printer.held_error == held_access_denied) {
        printer.pipes = PipeKind::NamedPipes;
    } else if (printer.held_error == held_sharing_violation) {
        printer.pipes = PipeKind::Mailslots;
    }
}

std::string check_printers(std::vector<PrinterOptions>& printers) {
    for (PrinterOptions& printer : printers) {
        choose_pipes(printer);
        if (std::string error = check_printer(printer); !error.empty()) {
            return error;
        }
    }
    if (printers.size() < 2) {
        return {};
    }
    const PrinterOptions& first = printers.front();
    const PrinterOptions& second = printers.back();
    if (first.pipes == second.pipes) {
        return "both printers would play through " +
               std::string(first.pipes == PipeKind::NamedPipes ? "named pipes" : "mailslots") +
               ": refuse opens with 5 only on the first printer and with 32 only on the second";
    }
    // One serial under two product IDs gives two instance IDs; under one product ID the two
    // printers would share every name.
    if (first.serial == second.serial && first.product_id == second.product_id) {
        return "both printers have the serial " + first.serial + " and the product ID " +
               first.product_id + "; give one another --pid";
    }
    return {};
}

} // namespace

std::variant<EmulatorCommand, std::string>
parse_emulator_arguments(std::span<const std::string_view> arguments) {
    EmulatorCommand command;
    ArgumentReader reader(arguments);
    while (!reader.done()) {
        const std::string_view option = reader.take();
        if (option == "--also") {
            if (command.options.printers.size() == max_printers) {
                return std::string("--also: at most two printers, one on named pipes and one on "
                                   "mailslots");
            }
            command.options.printers.push_back(second_printer());
            continue;
        }
        if (apply_flag(option, command)) {
            continue;
        }
        if (!takes_value(option)) {
            return "unknown argument: " + std::string(option);
        }
        const auto value = reader.take_value();
        if (!value) {
            return missing_value(option);
        }
        if (option == "--plug" || option == "--unplug") {
            const auto number = parse_decimal(*value, max_printers);
            if (!number || *number == 0) {
                return bad_value(option, *value);
            }
            command.action = option == "--plug" ? EmulatorAction::Plug : EmulatorAction::Unplug;
            command.printer_number = *number;
            continue;
        }
        if (std::string error = apply_valued_option(option, *value, command.options);
            !error.empty()) {
            return error;
        }
    }
    if (std::string error = check_printers(command.options.printers); !error.empty()) {
        return error;
    }
    return command;
}
