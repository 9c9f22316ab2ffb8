// One printer, as every rig plays it: the fake at the seam, the simulated Win32, the umockdev
// printer, the emulator under Wine and the gadget in the guests all take this description, in
// this one text form (the options below, one printer after another, separated by --also).
#pragma once

#include "usb_mode.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Which of its ways in refuse every open, as if another program held the printer.
enum class HeldPart { None, Whole, CommandOnly };

struct PrinterDescription {
    UsbMode mode = UsbMode::Native;                   // --mode: the mode it starts in
    std::uint16_t product_id = 0xC302;                // --pid: C302, C318 or C337
    std::optional<std::string> serial = "ORVEMU0001"; // --serial, any bytes; --no-serial
    std::optional<std::string> port = "COM7";         // --port, in comm class mode; --no-port
    bool port_in_device_key = true;    // --no-device-port: the serial map alone has it
    std::uint32_t restart_ms = 3000;   // --restart-ms: off the bus at a restart
    std::uint32_t linger_ms = 0;       // --linger-ms: still on the bus after the reset
    bool never_back = false;           // --never-back
    std::optional<UsbMode> back_in;    // --back-in: whatever the command asked
    std::optional<UsbMode> settles_in; // --settles-in: answers once as it came, then this
    bool leaves_after_return = false;  // --leaves-after-return: answers once, then leaves
    std::optional<std::uint32_t> unplug_after_ms; // --unplug-after-ms: leaves for good
    bool unplug_at_command = false;               // --unplug-at-command: before the reset
    bool fail_writes = false;                     // --fail-writes
    bool stall_writes = false;                    // --stall-writes: takes no byte
    HeldPart held = HeldPart::None;               // --refuse-opens E, --refuse-command-opens E
    std::uint32_t held_error = 0;                 //   with the system's error E
    bool unplugged = false;                       // --unplugged: off the bus until plugged
    std::optional<std::uint32_t> plug_after_ms;   // --plug-after-ms: plugged in N ms after
                                                  //   the rig started, off the bus till then
    std::optional<UsbMode> no_driver_in;          // --no-driver-in: the system has none there
    std::uint32_t problem_code = 0;               // --problem-code: its device's code there
};

// Reads the printer option at `words[at]` and its value into `printer`. Returns the words it
// took (0: not a printer option), or why the option is wrong.
std::variant<std::size_t, std::string> read_printer_option(std::span<const std::string_view> words,
                                                           std::size_t at,
                                                           PrinterDescription& printer);
// What no single option can check: options that exclude each other.
std::string check_printer(const PrinterDescription& printer);
// The second printer's own defaults: serial ORVEMU0003, port COM8.
PrinterDescription second_printer();
// A whole text form: the printers, each after the first one introduced by --also.
std::variant<std::vector<PrinterDescription>, std::string> parse_printers(std::string_view text);

// The options' help, for each rig's --help.
std::string printer_options_help();
// "C302": the product ID as the device paths and the registry spell it.
std::string product_id_text(std::uint16_t product_id);
// "AB\tC\x1b[31m\303\251": C escapes (\t \n \r \e \\ \s \xHH \NNN) become their bytes.
std::optional<std::string> decode_c_escapes(std::string_view text);
// Words split at spaces and tabs; a printer's bytes are escaped, so no word holds a space.
std::vector<std::string_view> split_words(std::string_view text);
// A decimal number up to `max`, without signs, spaces or overflow.
std::optional<std::uint32_t> parse_decimal(std::string_view text, std::uint32_t max);
