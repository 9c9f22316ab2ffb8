#include "gadget_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {
const char* const help_text =
    "usage: gadget-printer [options]\n"
    "Plays Orvane's printer from the device side of a USB device controller (dummy_hcd),\n"
    "through configfs, and logs every byte it receives with the monotonic time in ms.\n"
    "  --udc NAME              device controller (default dummy_udc.0)\n"
    "  --name NAME             configfs gadget name (default orvane-<udc>)\n"
    "  --mode native|printer|comm  mode to start in (default native)\n"
    "  --pid HEX               product ID in every mode (default c302)\n"
    "  --serial TEXT           serial number, C escapes allowed: \\t \\e \\xHH \\NNN ...\n"
    "                          (default ORVANE0001; --no-serial for none)\n"
    "  --restart-ms N          time off the bus at a restart (default 1500)\n"
    "  --linger-ms N           time on the bus after the reset command (default 0)\n"
    "  --never-return          leave the bus at the reset and stay away\n"
    "  --return-mode MODE      come back in MODE whatever the command asked\n"
    "  --stall                 never read the command endpoint (native mode)\n"
    "  --unplug-after-ms N     leave the bus for good N ms after first coming up\n"
    "  --unplug-after-command  leave at the mode command, before the reset; come back after\n"
    "                          the restart time in the start mode (or --return-mode)\n"
    "  --log FILE              the log (default standard output)\n"
    "Log lines: '<ms> up <mode> <udc>' (configured by the host), '<ms> read <endpoint> <hex>', "
    "'<ms> command <mode>',\n"
    "'<ms> reset', '<ms> down'. SIGTERM takes the gadget off the bus and out of configfs.\n";

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "gadget-printer: %s\n%s", why.c_str(), help_text);
    std::exit(2);
}

unsigned parse_number(const std::string& text, int base, unsigned limit) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, base);
    if (text.empty() || *end != '\0' || value > limit) {
        refuse("not a number in range: " + text);
    }
    return static_cast<unsigned>(value);
}

UsbMode parse_mode(const std::string& text) {
    const std::optional<UsbMode> mode = usb_mode_from_name(text);
    if (!mode) {
        refuse("unknown mode: " + text);
    }
    return *mode;
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
} // namespace

std::optional<std::string> decode_c_escapes(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        const char c = text[i];
        switch (c) {
        case 't':
            bytes += '\t';
            break;
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 'e':
            bytes += '\x1b';
            break;
        case '\\':
            bytes += '\\';
            break;
        case 'x': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && i + 1 < text.size() && hex_digit(text[i + 1]) >= 0) {
                value = value * 16 + hex_digit(text[++i]);
                ++digits;
            }
            if (digits == 0) {
                return std::nullopt;
            }
            bytes += static_cast<char>(value);
            break;
        }
        default:
            if (c < '0' || c > '7') {
                return std::nullopt;
            }
            int value = c - '0';
            for (int digits = 1;
                 digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
                 ++digits) {
                value = value * 8 + (text[++i] - '0');
            }
            if (value > 0xFF) {
                return std::nullopt;
            }
            bytes += static_cast<char>(value);
        }
    }
    return bytes;
}

GadgetOptions parse_gadget_options(int argc, char** argv) {
    GadgetOptions options;
    options.serial = "ORVANE0001";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                refuse(std::string(arg) + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--help") {
            std::fputs(help_text, stdout);
            std::exit(0);
        } else if (arg == "--udc") {
            options.udc = value();
        } else if (arg == "--name") {
            options.name = value();
        } else if (arg == "--mode") {
            options.mode = parse_mode(value());
        } else if (arg == "--pid") {
            options.product_id = static_cast<std::uint16_t>(parse_number(value(), 16, 0xFFFF));
        } else if (arg == "--serial") {
            options.serial = decode_c_escapes(value());
            if (!options.serial) {
                refuse("bad escape in the serial number");
            }
        } else if (arg == "--no-serial") {
            options.serial.reset();
        } else if (arg == "--restart-ms") {
            options.restart_ms = parse_number(value(), 10, 600000);
        } else if (arg == "--linger-ms") {
            options.linger_ms = parse_number(value(), 10, 600000);
        } else if (arg == "--never-return") {
            options.never_return = true;
        } else if (arg == "--return-mode") {
            options.return_mode = parse_mode(value());
        } else if (arg == "--stall") {
            options.stall = true;
        } else if (arg == "--unplug-after-ms") {
            options.unplug_after_ms = parse_number(value(), 10, 600000);
        } else if (arg == "--unplug-after-command") {
            options.unplug_after_command = true;
        } else if (arg == "--log") {
            options.log_path = value();
        } else {
            refuse("unknown option " + std::string(arg));
        }
    }
    if (options.stall && options.mode != UsbMode::Native) {
        refuse("--stall needs --mode native: the kernel's printer and acm functions queue "
               "what the host sends without us");
    }
    if (options.name.empty()) {
        options.name = "orvane-" + options.udc;
    }
    return options;
}
