#include "printer_description.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

constexpr std::uint32_t max_ms = 600000;
constexpr std::array<std::uint16_t, 3> product_ids{0xC302, 0xC318, 0xC337};

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

template <typename Value> bool read_into(std::optional<Value> read, Value& into) {
    into = read.value_or(into);
    return read.has_value();
}

template <typename Value> bool read_into(std::optional<Value> read, std::optional<Value>& into) {
    into = read;
    return read.has_value();
}

// Options without a value: one sets `member` to `value`, the other empties it.
template <auto member, auto value> bool set(PrinterDescription& printer, std::string_view) {
    printer.*member = value;
    return true;
}

template <auto member> bool clear(PrinterDescription& printer, std::string_view) {
    (printer.*member).reset();
    return true;
}

std::optional<std::uint32_t> ms(std::string_view text) {
    return parse_decimal(text, max_ms);
}

std::optional<std::string> bytes(std::string_view text) {
    auto decoded = decode_c_escapes(text);
    return decoded && !decoded->empty() ? decoded : std::nullopt;
}

std::optional<std::uint16_t> product_id(std::string_view text) {
    for (const std::uint16_t id : product_ids) {
        const std::string spelt = product_id_text(id);
        if (std::equal(spelt.begin(), spelt.end(), text.begin(), text.end(),
                       [](char a, char b) { return hex_digit(a) == hex_digit(b); })) {
            return id;
        }
    }
    return std::nullopt;
}

bool held(PrinterDescription& printer, std::string_view text, HeldPart part) {
    const auto error = parse_decimal(text, 0xFFFF);
    if (!error || *error == 0) {
        return false;
    }
    printer.held = part;
    printer.held_error = *error;
    return true;
}

// One option of the text form: its value as the help names it (none for a flag), its help, and
// how it reads the value into the description, false when the value is wrong.
struct Option {
    std::string_view name;
    std::string_view value;
    std::string_view help;
    bool (*read)(PrinterDescription& printer, std::string_view value);
};

constexpr std::array<Option, 23> options{{
    {"--mode", "native|printer|comm", "the mode it starts in (native)",
     [](auto& p, auto v) { return read_into(usb_mode_from_name(v), p.mode); }},
    {"--pid", "C302|C318|C337", "its product ID in every mode (C302)",
     [](auto& p, auto v) { return read_into(product_id(v), p.product_id); }},
    {"--serial", "BYTES", "its serial (ORVEMU0001; after --also ORVEMU0003)",
     [](auto& p, auto v) { return read_into(bytes(v), p.serial); }},
    {"--no-serial", "", "it has none", clear<&PrinterDescription::serial>},
    {"--port", "BYTES", "its comm class port (COM7; after --also COM8)",
     [](auto& p, auto v) { return read_into(bytes(v), p.port); }},
    {"--no-port", "", "it has none", clear<&PrinterDescription::port>},
    {"--no-device-port", "", "the port is named in the serial map alone",
     set<&PrinterDescription::port_in_device_key, false>},
    {"--restart-ms", "N", "off the bus at a restart (3000)",
     [](auto& p, auto v) { return read_into(ms(v), p.restart_ms); }},
    {"--linger-ms", "N", "still on the bus after the reset (0)",
     [](auto& p, auto v) { return read_into(ms(v), p.linger_ms); }},
    {"--never-back", "", "after a restart it stays away",
     set<&PrinterDescription::never_back, true>},
    {"--back-in", "MODE", "after a restart it comes back in MODE, whatever was asked",
     [](auto& p, auto v) { return read_into(usb_mode_from_name(v), p.back_in); }},
    {"--settles-in", "MODE", "back, it answers once and then shows MODE",
     [](auto& p, auto v) { return read_into(usb_mode_from_name(v), p.settles_in); }},
    {"--leaves-after-return", "", "back, it answers once and then leaves",
     set<&PrinterDescription::leaves_after_return, true>},
    {"--unplug-after-ms", "N", "leaves for good N ms after it first came up",
     [](auto& p, auto v) { return read_into(ms(v), p.unplug_after_ms); }},
    {"--unplug-at-command", "", "leaves at the mode command, before the reset",
     set<&PrinterDescription::unplug_at_command, true>},
    {"--fail-writes", "", "its command pipe fails every write",
     set<&PrinterDescription::fail_writes, true>},
    {"--stall-writes", "", "its command pipe takes no byte",
     set<&PrinterDescription::stall_writes, true>},
    {"--refuse-opens", "E", "held by another program: opens fail with E",
     [](auto& p, auto v) { return held(p, v, HeldPart::Whole); }},
    {"--refuse-command-opens", "E", "the same for its command pipe alone",
     [](auto& p, auto v) { return held(p, v, HeldPart::CommandOnly); }},
    {"--unplugged", "", "starts off the bus", set<&PrinterDescription::unplugged, true>},
    {"--plug-after-ms", "N", "starts off the bus, plugged in N ms later",
     [](auto& p, auto v) { return read_into(ms(v), p.plug_after_ms); }},
    {"--no-driver-in", "MODE", "the system has no driver for it in MODE: no interface there",
     [](auto& p, auto v) { return read_into(usb_mode_from_name(v), p.no_driver_in); }},
    {"--problem-code", "N", "with --no-driver-in, the problem code of its device there (0)",
     [](auto& p, auto v) { return read_into(parse_decimal(v, 0xFFFF), p.problem_code); }},
}};

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
    const std::string_view name = words[at];
    const auto* option = std::find_if(options.begin(), options.end(),
                                      [&](const Option& known) { return known.name == name; });
    if (option == options.end()) {
        return std::size_t{0};
    }
    const bool valued = !option->value.empty();
    if (valued && at + 1 >= words.size()) {
        return std::string(name) + " needs a value";
    }
    if (name.starts_with("--refuse-") && printer.held != HeldPart::None) {
        return std::string("--refuse-opens and --refuse-command-opens exclude each other");
    }
    const std::string_view value = valued ? words[at + 1] : std::string_view();
    if (!option->read(printer, value)) {
        return "bad value for " + std::string(name) + ": '" + std::string(value) + "'";
    }
    return std::size_t{valued ? 2u : 1u};
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
    if (printer.unplugged && printer.plug_after_ms) {
        return "--unplugged and --plug-after-ms exclude each other";
    }
    if (printer.problem_code != 0 && !printer.no_driver_in) {
        return "--problem-code needs --no-driver-in";
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

std::string printer_options_help() {
    std::string help = "A printer (each one after the first introduced by --also):\n";
    for (const Option& option : options) {
        const std::size_t start = help.size();
        help.append("  ").append(option.name);
        if (!option.value.empty()) {
            help.append(" ").append(option.value);
        }
        help.resize(std::max(help.size() + 1, start + 32), ' ');
        help.append(option.help).append("\n");
    }
    return help +
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

std::optional<std::uint32_t> parse_decimal(std::string_view text, std::uint32_t max) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || value > max) {
        return std::nullopt;
    }
    return value;
}
