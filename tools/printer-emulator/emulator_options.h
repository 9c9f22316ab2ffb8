// What the emulator is told on its command line.
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

// Where a printer's device paths lead. Wine resolves no path below a pipe's name, so only one
// printer can play through named pipes; a second one plays through mailslots.
enum class PipeKind { NamedPipes, Mailslots };
// Which of a printer's pipes refuse every open, as if another program held them.
enum class HeldPipes { None, Both, CommandOnly };
// The Win32 errors a held pipe can give under Wine, and what gives them: a named pipe whose
// server only reads refuses a client that asks to read and write (ERROR_ACCESS_DENIED); a
// mailslot already open for writing without write sharing refuses another writer
// (ERROR_SHARING_VIOLATION). Wine fails no open of a pipe, mailslot or driver's device with
// ERROR_BUSY.
inline constexpr std::uint32_t held_access_denied = 5;
inline constexpr std::uint32_t held_sharing_violation = 32;
// One printer for each kind of pipe.
inline constexpr std::size_t max_printers = 2;

struct PrinterOptions {
    std::string serial = "ORVEMU0001"; // the instance part of its device paths, upper case
    PipeKind pipes = PipeKind::NamedPipes;
    UsbMode start_mode = UsbMode::Native;
    std::uint32_t restart_ms = 3000;
    std::string product_id = "C302";          // upper case, one of the printer's three
    std::optional<std::string> port = "COM7"; // none: comm class mode lists no port
    bool device_port = true;                  // also name the port in the device's key
    bool never_back = false;
    std::optional<UsbMode> back_in;
    bool fail_writes = false;
    bool stall_writes = false;
    HeldPipes held = HeldPipes::None;
    std::uint32_t held_error = 0; // held_access_denied or held_sharing_violation
    bool unplugged = false;       // starts off the bus, until --plug
};

struct EmulatorOptions {
    std::vector<PrinterOptions> printers{PrinterOptions{}};
    bool foreign = false;
    bool dead = false;
    std::string log_path = "PrinterEmulator.log";
    std::uint32_t lifetime_s = 600;
};

enum class EmulatorAction { Run, Stop, Purge, Help, Plug, Unplug };

struct EmulatorCommand {
    EmulatorAction action = EmulatorAction::Run;
    std::size_t printer_number = 0; // Plug and Unplug: the running emulator's printer, from 1
    EmulatorOptions options;
};

// Either the command or a message saying what is wrong with the arguments.
std::variant<EmulatorCommand, std::string>
parse_emulator_arguments(std::span<const std::string_view> arguments);

std::string_view emulator_help_text();
