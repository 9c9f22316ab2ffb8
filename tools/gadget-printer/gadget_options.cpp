#include "gadget_options.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace {
const char* const own_help =
    "usage: gadget-printer [options] [printer]\n"
    "Plays Orvane's printer from the device side of a USB device controller (dummy_hcd),\n"
    "through configfs, and logs every byte it receives with the monotonic time in ms.\n"
    "  --udc NAME   device controller (default dummy_udc.0)\n"
    "  --name NAME  configfs gadget name (default orvane-<udc>)\n"
    "  --log FILE   the log (default standard output)\n";
const char* const own_notes =
    "The kernel names the comm class port, so --port, --no-port and --no-device-port are not\n"
    "played, nor --settles-in, --leaves-after-return, --fail-writes, --unplugged or a second\n"
    "printer. --refuse-opens 16 (EBUSY, the one error the kernel gives; or\n"
    "--refuse-command-opens 16): once up, the gadget itself holds its command interface\n"
    "claimed from the host side. --stall-writes needs --mode native (the kernel's functions\n"
    "queue what the host sends). --unplug-at-command comes back after the restart time in the\n"
    "start mode (or --back-in), unless --never-back. --no-driver-in comm keeps cdc_acm out of\n"
    "the kernel while the gadget runs.\n"
    "Log lines: '<ms> up <mode> <udc>' (configured by the host), '<ms> read <endpoint> <hex>',\n"
    "'<ms> command <mode>', '<ms> reset', '<ms> down', '<ms> holding <port> <interface>'.\n"
    "SIGTERM takes the gadget off the bus and out of configfs.\n";

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "gadget-printer: %s (see --help)\n", why.c_str());
    std::exit(2);
}

// What the description may say that a gadget cannot play.
std::string check_playable(const PrinterDescription& printer) {
    const PrinterDescription defaults;
    constexpr std::uint32_t busy_error = 16; // EBUSY
    const std::array<std::pair<bool, std::string_view>, 11> unplayable{{
        {printer.port != defaults.port, "--port and --no-port: the kernel names the tty"},
        {!printer.port_in_device_key, "--no-device-port"},
        {printer.settles_in.has_value(), "--settles-in"},
        {printer.leaves_after_return, "--leaves-after-return"},
        {printer.fail_writes, "--fail-writes"},
        {printer.held != HeldPart::None && printer.held_error != busy_error,
         "--refuse-opens other than 16: the kernel gives a claimed interface's opener EBUSY"},
        {printer.unplugged, "--unplugged"},
        {printer.plug_after_ms.has_value(), "--plug-after-ms"},
        {printer.no_driver_in && printer.no_driver_in != UsbMode::CommClass,
         "--no-driver-in other than comm: orvane needs no kernel driver there"},
        {printer.problem_code != 0, "--problem-code: the kernel gives none"},
        {printer.stall_writes && printer.mode != UsbMode::Native,
         "--stall-writes without --mode native: the kernel's printer and acm functions queue "
         "what the host sends without us"},
    }};
    for (const auto& [asked, option] : unplayable) {
        if (asked) {
            return "the gadget cannot play " + std::string(option);
        }
    }
    return check_printer(printer);
}
} // namespace

GadgetOptions parse_gadget_options(int argc, char** argv) {
    GadgetOptions options;
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    for (std::size_t at = 0; at < words.size();) {
        const auto read = read_printer_option(words, at, options.printer);
        if (const auto* error = std::get_if<std::string>(&read)) {
            refuse(*error);
        }
        if (const std::size_t taken = std::get<std::size_t>(read); taken > 0) {
            at += taken;
            continue;
        }
        const std::string_view option = words[at];
        if (option == "--help") {
            std::printf("%s%s%s", own_help, printer_options_help().c_str(), own_notes);
            std::exit(0);
        }
        if (option != "--udc" && option != "--name" && option != "--log") {
            refuse("unknown option " + std::string(option));
        }
        if (at + 1 >= words.size()) {
            refuse(std::string(option) + " needs a value");
        }
        std::string& value = option == "--udc"    ? options.udc
                             : option == "--name" ? options.name
                                                  : options.log_path;
        value = std::string(words[at + 1]);
        at += 2;
    }
    if (const std::string error = check_playable(options.printer); !error.empty()) {
        refuse(error);
    }
    if (options.name.empty()) {
        options.name = "orvane-" + options.udc;
    }
    return options;
}
