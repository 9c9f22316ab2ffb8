#include "emulator_options.h"

#include "number_argument.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::uint32_t max_restart_ms = 600000;
constexpr std::uint32_t max_lifetime_s = 86400;

std::optional<std::string> product_id_from(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    constexpr std::array<std::string_view, 3> known{"C302", "C318", "C337"};
    if (std::find(known.begin(), known.end(), upper) == known.end()) {
        return std::nullopt;
    }
    return upper;
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
    constexpr std::array<std::string_view, 7> valued{
        "--mode", "--back-in", "--restart-ms", "--lifetime-s", "--pid", "--port", "--log"};
    return std::find(valued.begin(), valued.end(), option) != valued.end();
}

std::string missing_value(std::string_view option) {
    return std::string(option) + " needs a value";
}

std::string bad_value(std::string_view option, std::string_view value) {
    return "bad value for " + std::string(option) + ": '" + std::string(value) + "'";
}

// Reads the value of `option` into `options`; an empty result means success.
std::string apply_valued_option(std::string_view option, std::string_view value,
                                EmulatorOptions& options) {
    if (option == "--mode" || option == "--back-in") {
        const auto mode = usb_mode_from_name(value);
        if (!mode) {
            return bad_value(option, value);
        }
        if (option == "--mode") {
            options.start_mode = *mode;
        } else {
            options.back_in = *mode;
        }
    } else if (option == "--restart-ms") {
        const auto ms = parse_decimal(value, max_restart_ms);
        if (!ms) {
            return bad_value(option, value);
        }
        options.restart_ms = *ms;
    } else if (option == "--lifetime-s") {
        const auto seconds = parse_decimal(value, max_lifetime_s);
        if (!seconds || *seconds == 0) {
            return bad_value(option, value);
        }
        options.lifetime_s = *seconds;
    } else if (option == "--pid") {
        const auto pid = product_id_from(value);
        if (!pid) {
            return bad_value(option, value);
        }
        options.product_id = *pid;
    } else if (option == "--port") {
        if (value.empty()) {
            return bad_value(option, value);
        }
        options.port = std::string(value);
    } else if (option == "--log") {
        if (value.empty()) {
            return bad_value(option, value);
        }
        options.log_path = std::string(value);
    }
    return {};
}

bool apply_flag(std::string_view option, EmulatorCommand& command) {
    EmulatorOptions& options = command.options;
    if (option == "--help" || option == "-h" || option == "/?") {
        command.action = EmulatorAction::Help;
    } else if (option == "--stop") {
        command.action = EmulatorAction::Stop;
    } else if (option == "--purge") {
        command.action = EmulatorAction::Purge;
    } else if (option == "--no-port") {
        options.port.reset();
    } else if (option == "--never-back") {
        options.never_back = true;
    } else if (option == "--fail-writes") {
        options.fail_writes = true;
    } else if (option == "--stall-writes") {
        options.stall_writes = true;
    } else if (option == "--foreign") {
        options.foreign = true;
    } else if (option == "--dead") {
        options.dead = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

std::variant<EmulatorCommand, std::string>
parse_emulator_arguments(std::span<const std::string_view> arguments) {
    EmulatorCommand command;
    ArgumentReader reader(arguments);
    while (!reader.done()) {
        const std::string_view option = reader.take();
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
        if (std::string error = apply_valued_option(option, *value, command.options);
            !error.empty()) {
            return error;
        }
    }
    if (command.options.never_back && command.options.back_in) {
        return std::string("--never-back and --back-in exclude each other");
    }
    if (command.options.fail_writes && command.options.stall_writes) {
        return std::string("--fail-writes and --stall-writes exclude each other");
    }
    return command;
}

std::string_view emulator_help_text() {
    return "PrinterEmulator: plays the USB printer through Wine's Setup API registry, object\n"
           "namespace and named pipes, and logs what a client does to it.\n"
           "\n"
           "Usage: PrinterEmulator.exe [options]\n"
           "  --mode native|printer|comm  mode to start in (default native)\n"
           "  --restart-ms N              time the printer is away after a mode change\n"
           "                              (default 3000)\n"
           "  --pid c302|c318|c337        product ID the printer reports (default c302)\n"
           "  --port NAME                 virtual port listed in comm class mode (default COM7)\n"
           "  --no-port                   comm class mode lists no virtual port\n"
           "  --never-back                after a mode change the printer never returns\n"
           "  --back-in native|printer|comm\n"
           "                              after a mode change the printer returns in this mode\n"
           "  --fail-writes               writes on PIPE01 fail for the client; a mode command\n"
           "                              seen in them still restarts the printer\n"
           "  --stall-writes              PIPE01 accepts a client but never takes a byte: the\n"
           "                              client's write stays pending until the emulator stops;\n"
           "                              the bytes offered are logged, the connection is held\n"
           "                              and its close logged when the emulator stops\n"
           "  --foreign                   also list an openable interface without the printer's\n"
           "                              IDs (vid_1234&pid_5678) in every printer class\n"
           "  --dead                      also list an interface with the printer's IDs that\n"
           "                              cannot be opened, in every printer class\n"
           "  --log PATH                  event log (default PrinterEmulator.log)\n"
           "  --lifetime-s N              stop by itself after N seconds (default 600)\n"
           "  --stop                      stop the running emulator and exit\n"
           "  --purge                     remove whatever an emulator left registered and exit\n"
           "  --help                      this text\n"
           "\n"
           "Log lines: '<ms> <event>', ms from the performance counter. Events: start, up <mode>,\n"
           "ready, open <pipe> <mode>, write <pipe> <hex>, write-failed <pipe> <hex>,\n"
           "write-stalled <pipe> <hex> (bytes a client offers that are never taken), close\n"
           "<pipe> <mode>, command <mode>, bad-mode <hex>, reset, restart-begin <mode>,\n"
           "withdrawn, gone, port <name>, port-removed, open foreign <class>, stop <reason>.\n"
           "Exit codes: 0 stopped, 1 failure, 2 bad arguments, 3 --stop found no emulator.\n";
}
