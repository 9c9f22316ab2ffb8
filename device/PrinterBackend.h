// The boundary between Orvane's portable core and the system that reaches the printers. The
// core (the command line, the mode probe's order, the change sequence with its pause and
// bounded wait, printer choice, exit codes) asks; a backend for each system answers: Windows
// through the Setup API and the printer's pipes, Linux through libusb. Nothing here is shown to
// a person as it is: the faces assemble their texts.
#pragma once

#include "common/Clock.h"
#include "device/PrinterTarget.h"
#include "device/UsbType.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One printer as the system lists it.
struct AttachedPrinter {
    // What names the printer in every mode, across its restarts: its serial number, or where
    // it is plugged in when it has none. PRINTER= matches it, without regard to case.
    std::string identity;
    // What people are shown: on Windows the device instance ID (USB\VID_6B1F&PID_C302\<serial>).
    std::string shownId;
    UsbType mode = IDNATIVETYPE;
    // Set when the printer is there but this user may not open it: the device node it was
    // refused (/dev/bus/usb/001/007).
    std::string deniedNode;
    // The system's own separator within shownId, shown as it is ('\\' in a Windows device
    // instance ID); 0 when it has none.
    char shownIdSeparator = '\0';
    // Set when another attached printer reports the same serial number: the serial. The printer
    // is then named by where it is plugged in, which tells the two apart and survives a restart.
    std::string sharedSerial;
    // Where it is plugged in, where the system names that apart from its ID: on Linux the bus
    // and the ports from the root hub ("1-2.3"); empty elsewhere.
    std::string place;
};

// The printer's command pipe while it is open; closed when the object goes.
class CommandPipe {
  public:
    virtual ~CommandPipe() = default;
    // Hands the bytes to the printer; false when they did not all go within `timeoutMs`. A
    // write that runs out of time leaves nothing pending.
    virtual bool Write(const std::uint8_t* bytes, std::size_t count, std::uint32_t timeoutMs) = 0;
};

// What a channel found of the printer meant in one mode.
struct ModeAnswer {
    // The printer found there (its identity may be empty: a device may name itself so).
    static ModeAnswer Answering(std::string identity) { return {true, std::move(identity), false}; }
    // It is there, but another program holds it (a spooler, a point-of-sale driver, a print
    // job): it cannot be reached now.
    static ModeAnswer Held(std::string identity) { return {true, std::move(identity), true}; }

    bool found = false; // false: none of the printers meant is there
    std::string identity;
    bool inUse = false;

    bool Answers() const { return found && !inUse; }
    bool Found() const { return found; }
};

// The printer's command pipe as an attempt to open it left it: open, or not, and then perhaps
// because another program holds the printer.
struct PipeOpening {
    std::unique_ptr<CommandPipe> pipe;
    bool inUse = false;
};

// Why a printer that is back on the bus cannot be reached in a mode: the system has no working
// driver for it there. On Windows its device node shows it, with or without a problem code; on
// Linux the kernel made no port because no driver is bound to the interface.
struct MissingDriver {
    enum class Kind {
        None,       // nothing of the kind: the printer is away, or there in another mode
        Installing, // its device node is there without an interface and without a problem code:
                    // the system may still be installing a driver
        Problem,    // its device node has a problem code: the system has given up on a driver
        Module,     // no kernel driver is bound to the interface; `module` would serve it
    };
    Kind kind = Kind::None;
    std::uint32_t problemCode = 0; // Problem
    std::string module;            // Module
    // The printer as LIST shows it (on Windows its device instance ID), and that text's own
    // separator as AttachedPrinter has it.
    std::string shownId;
    char shownIdSeparator = '\0';
};

// One operation's way to its printer (one probe, one change). It may remember what it found
// from one call to the next, as the operation goes on.
class PrinterChannel {
  public:
    virtual ~PrinterChannel() = default;
    // Whether the printer meant answers in `mode` now (its presence test passes).
    virtual ModeAnswer Answers(UsbType mode) = 0;
    // The command pipe of the printer in `mode`.
    virtual PipeOpening OpenCommandPipe(UsbType mode) = 0;
    // Asked while the printer meant answers in no mode that was asked for: whether the system
    // shows it back without a driver (Windows: its device node without an interface). None
    // where the system cannot tell.
    virtual MissingDriver DriverlessNode() { return {}; }
};

// The virtual port of a printer in comm class mode, or what the lookup had to say instead
// (one line, possibly empty).
struct PortLookup {
    std::optional<std::string> port;
    std::string problem;
    // Module when no driver is bound to the interface that would have the port (Linux).
    MissingDriver driver{};
    // A name of the port that survives its renumbering, where the system made one (Linux:
    // udev's /dev/serial/by-id link to the tty); empty when it made none.
    std::string stableName{};
};

class PrinterBackend {
  public:
    virtual ~PrinterBackend() = default;
    // Every printer attached now, each once, in the probe's order (kProbeOrder), without a
    // word on the trace.
    virtual std::vector<AttachedPrinter> ListPrinters() = 0;
    virtual std::unique_ptr<PrinterChannel> OpenChannel(const PrinterTarget& printer) = 0;
    // The port of the printer meant, which is in comm class mode.
    virtual PortLookup LookUpPort(const PrinterTarget& printer) = 0;
    // What the probe's trace names before it tries each mode: the presence pipe where the
    // printer has pipes; nullptr where it has none.
    virtual const char* PresencePipeName() const { return nullptr; }
    virtual Clock& clock() = 0;
};
