// What the emulator is told on its command line: the printers, in the shared description's
// text form, and the emulator's own options.
#pragma once

#include "printer_description.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Where a printer's device paths lead. Wine resolves no path below a pipe's name, so only one
// printer can play through named pipes; a second one plays through mailslots.
enum class PipeKind { NamedPipes, Mailslots };
// The Win32 errors a held pipe can give under Wine, and what gives them: a named pipe whose
// server only reads refuses a client that asks to read and write (ERROR_ACCESS_DENIED); a
// mailslot already open for writing without write sharing refuses another writer
// (ERROR_SHARING_VIOLATION). Wine fails no open of a pipe, mailslot or driver's device with
// ERROR_BUSY.
inline constexpr std::uint32_t held_access_denied = 5;
inline constexpr std::uint32_t held_sharing_violation = 32;
// One printer for each kind of pipe.
inline constexpr std::size_t max_printers = 2;

struct EmulatorOptions {
    // Each serial upper case, letters and digits: the instance part of its device paths.
    std::vector<PrinterDescription> printers{PrinterDescription{}};
    bool foreign = false;
    bool dead = false;
    std::string log_path = "PrinterEmulator.log";
    std::uint32_t lifetime_s = 600;
    std::string arguments; // each one after a space, for the log
};

// Held pipes decide where a printer plays: only a named pipe refuses with 5, only a mailslot
// with 32; otherwise the first printer plays through named pipes, the second through mailslots.
PipeKind pipe_kind(const PrinterDescription& printer, std::size_t index);

enum class EmulatorAction { Run, Stop, Purge, Help, Plug, Unplug };

struct EmulatorCommand {
    EmulatorAction action = EmulatorAction::Run;
    std::size_t printer_number = 0; // Plug and Unplug: the running emulator's printer, from 1
    EmulatorOptions options;
};

// Either the command or a message saying what is wrong with the arguments.
std::variant<EmulatorCommand, std::string>
parse_emulator_arguments(std::span<const std::string_view> arguments);

std::string emulator_help_text();
