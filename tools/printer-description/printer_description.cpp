#include "printer_description.h"

#include "number_argument.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::uint32_t max_ms = 600000;
constexpr std::array<std::uint16_t, 3> product_ids{0xC302, 0xC318, 0xC337};

std::string bad_value(std::string_view option, std::string_view value) {
    return "bad value for " + std::string(option) + ": '" + std::string(value) + "'";
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::uint16_t> product_id_from(std::string_view text) {
    for (const std::uint16_t id : product_ids) {
        const std::string spelt = product_id_text(id);
        if (std::equal(spelt.begin(), spelt.end(), text.begin(), text.end(),
                       [](char a, char b) { return hex_digit(a) == hex_digit(b); })) {
            return id;
        }
    }
    return std::nullopt;
}

// Options that stand alone.
bool read_flag(std::string_view option, PrinterDescription& printer) {
    struct Flag {
        std::string_view name;
        bool PrinterDescription::*member;
        bool value;
    };
    static constexpr std::array<Flag, 7> flags{{
        {"--no-device-port", &PrinterDescription::port_in_device_key, false},
        {"--never-back", &PrinterDescription::never_back, true},
        {"--leaves-after-return", &PrinterDescription::leaves_after_return, true},
        {"--unplug-at-command", &PrinterDescription::unplug_at_command, true},
        {"--fail-writes", &PrinterDescription::fail_writes, true},
        {"--stall-writes", &PrinterDescription::stall_writes, true},
        {"--unplugged", &PrinterDescription::unplugged, true},
    }};
    if (option == "--no-serial") {
        printer.serial.reset();
        return true;
    }
    if (option == "--no-port") {
        printer.port.reset();
        return true;
    }
    for (const Flag& flag : flags) {
        if (flag.name == option) {
            printer.*flag.member = flag.value;
            return true;
        }
    }
    return false;
}

std::string read_mode(std::string_view option, std::string_view value, UsbMode& mode) {
    const auto read = usb_mode_from_name(value);
    if (!read) {
        return bad_value(option, value);
    }
    mode = *read;
    return {};
}

std::string read_ms(std::string_view option, std::string_view value, std::uint32_t& ms) {
    const auto read = parse_decimal(value, max_ms);
    if (!read) {
        return bad_value(option, value);
    }
    ms = *read;
    return {};
}

std::string read_bytes(std::string_view option, std::string_view value,
                       std::optional<std::string>& bytes) {
    bytes = decode_c_escapes(value);
    return bytes && !bytes->empty() ? std::string() : bad_value(option, value);
}

// Options that take a value; an empty result means success.
std::string read_valued(std::string_view option, std::string_view value,
                        PrinterDescription& printer) {
    if (option == "--mode") {
        return read_mode(option, value, printer.mode);
    }
    if (option == "--back-in" || option == "--settles-in") {
        UsbMode mode{};
        std::string error = read_mode(option, value, mode);
        (option == "--back-in" ? printer.back_in : printer.settles_in) = mode;
        return error;
    }
    if (option == "--restart-ms") {
        return read_ms(option, value, printer.restart_ms);
    }
    if (option == "--linger-ms") {
        return read_ms(option, value, printer.linger_ms);
    }
    if (option == "--unplug-after-ms") {
        std::uint32_t ms = 0;
        std::string error = read_ms(option, value, ms);
        printer.unplug_after_ms = ms;
        return error;
    }
    if (option == "--pid") {
        const auto id = product_id_from(value);
        printer.product_id = id.value_or(printer.product_id);
        return id ? std::string() : bad_value(option, value);
    }
    if (option == "--serial") {
        return read_bytes(option, value, printer.serial);
    }
    if (option == "--port") {
        return read_bytes(option, value, printer.port);
    }
    // --refuse-opens, --refuse-command-opens
    if (printer.held != HeldPart::None) {
        return "--refuse-opens and --refuse-command-opens exclude each other";
    }
    const auto error = parse_decimal(value, 0xFFFF);
    if (!error || *error == 0) {
        return bad_value(option, value);
    }
    printer.held = option == "--refuse-opens" ? HeldPart::Whole : HeldPart::CommandOnly;
    printer.held_error = *error;
    return {};
}

bool takes_value(std::string_view option) {
    static constexpr std::array<std::string_view, 11> valued{"--mode",
                                                             "--back-in",
                                                             "--settles-in",
                                                             "--restart-ms",
                                                             "--linger-ms",
                                                             "--pid",
                                                             "--serial",
                                                             "--unplug-after-ms",
                                                             "--refuse-opens",
                                                             "--port",
                                                             "--refuse-command-opens"};
    return std::find(valued.begin(), valued.end(), option) != valued.end();
}

} // namespace

PrinterDescription second_printer() {
    PrinterDescription printer;
    printer.serial = "ORVEMU0003";
    printer.port = "COM8";
    return printer;
}

std::variant<std::size_t, std::string> read_printer_option(std::span<const std::string_view> words,
                                                           std::size_t at,
                                                           PrinterDescription& printer) {
    const std::string_view option = words[at];
    if (read_flag(option, printer)) {
        return std::size_t{1};
    }
    if (!takes_value(option)) {
        return std::size_t{0};
    }
    if (at + 1 >= words.size()) {
        return std::string(option) + " needs a value";
    }
    if (std::string error = read_valued(option, words[at + 1], printer); !error.empty()) {
        return error;
    }
    return std::size_t{2};
}

std::string check_printer(const PrinterDescription& printer) {
    if (printer.never_back && printer.back_in) {
        return "--never-back and --back-in exclude each other";
    }
    if (printer.fail_writes && printer.stall_writes) {
        return "--fail-writes and --stall-writes exclude each other";
    }
    if (printer.unplug_at_command && printer.unplug_after_ms) {
        return "--unplug-at-command and --unplug-after-ms exclude each other";
    }
    return {};
}

std::variant<std::vector<PrinterDescription>, std::string> parse_printers(std::string_view text) {
    const std::vector<std::string_view> words = split_words(text);
    std::vector<PrinterDescription> printers(1);
    for (std::size_t at = 0; at < words.size();) {
        if (words[at] == "--also") {
            printers.push_back(second_printer());
            ++at;
            continue;
        }
        const auto read = read_printer_option(words, at, printers.back());
        if (const auto* error = std::get_if<std::string>(&read)) {
            return *error;
        }
        const std::size_t taken = std::get<std::size_t>(read);
        if (taken == 0) {
            return "unknown printer option: " + std::string(words[at]);
        }
        at += taken;
    }
    for (const PrinterDescription& printer : printers) {
        if (std::string error = check_printer(printer); !error.empty()) {
            return error;
        }
    }
    return printers;
}

std::string_view printer_options_help() {
    return "A printer (each one after the first introduced by --also):\n"
           "  --mode native|printer|comm    the mode it starts in (native)\n"
           "  --pid C302|C318|C337          its product ID in every mode (C302)\n"
           "  --serial BYTES | --no-serial  its serial (ORVEMU0001; after --also ORVEMU0003)\n"
           "  --port BYTES | --no-port      its comm class port (COM7; after --also COM8)\n"
           "  --no-device-port              the port is named in the serial map alone\n"
           "  --restart-ms N                off the bus at a restart (3000)\n"
           "  --linger-ms N                 still on the bus after the reset (0)\n"
           "  --never-back | --back-in MODE after a restart: away for good, or in MODE\n"
           "  --settles-in MODE             back, it answers once and then shows MODE\n"
           "  --leaves-after-return         back, it answers once and then leaves\n"
           "  --unplug-after-ms N           leaves for good N ms after it first came up\n"
           "  --unplug-at-command           leaves at the mode command, before the reset\n"
           "  --fail-writes | --stall-writes  its command pipe fails or takes no byte\n"
           "  --refuse-opens E              held by another program: opens fail with E\n"
           "  --refuse-command-opens E      the same for its command pipe alone\n"
           "  --unplugged                   starts off the bus\n"
           "BYTES are any bytes, with C escapes: \\t \\n \\r \\e \\s (space) \\\\ \\xHH \\NNN.\n";
}

std::string product_id_text(std::uint16_t product_id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(product_id));
    return text;
}

std::optional<std::string> decode_c_escapes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        static constexpr std::string_view named = "tnres\\";
        static constexpr std::string_view meant = "\t\n\r\x1b \\";
        if (const auto at = named.find(text[i]); at != std::string_view::npos) {
            bytes += meant[at];
            continue;
        }
        const bool hex = text[i] == 'x';
        const int base = hex ? 16 : 8;
        const std::size_t max_digits = hex ? 2 : 3;
        int value = 0;
        std::size_t digits = 0;
        for (std::size_t at = hex ? i + 1 : i; digits < max_digits && at < text.size(); ++at) {
            const int digit = hex_digit(text[at]);
            if (digit < 0 || digit >= base) {
                break;
            }
            value = value * base + digit;
            ++digits;
            i = at;
        }
        if (digits == 0 || value > 0xFF) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::vector<std::string_view> split_words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}
