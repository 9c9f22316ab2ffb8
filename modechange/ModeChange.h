// A mode change, the one sequence that the console and the dialog both run: the probe (on the
// console), the command on the printer's command pipe with its pause, the bounded wait for the
// printer's restart in the new mode, and the final probe. It prints nothing; its outcome is a
// value that each face shows in its own way.
#pragma once

#include "device/PrinterBackend.h"

#include <cstdint>
#include <string>

// How long the restart wait tries before it gives up, and how often it tries.
constexpr std::uint32_t kRestartWaitLimitMs = 120000;
constexpr std::uint32_t kRestartPollMs = 1000;
// The printer needs this pause between the mode command and the restart command.
constexpr std::uint32_t kCommandPauseMs = 1000;
// How long one write to the command pipe may take before it counts as failed: a printer that
// takes no bytes must not hold Orvane.
constexpr std::uint32_t kCommandWriteTimeoutMs = 5000;

// Where each face places its steps. The console finds the mode to send from with a probe of its
// own and pauses after the mode command; the dialog sends from the mode it last found, pauses
// after the restart command, and traces the printer's return.
struct ChangePolicy {
    const char* label;          // the label of the change's trace lines
    bool probeFirst;            // probe for the current mode before the command
    bool pauseAfterModeCommand; // else after the restart command
    const char* backTrace;      // traced when the printer is back; nullptr for none
};

constexpr ChangePolicy kConsoleChange{"SetUsbType", true, true, nullptr};
constexpr ChangePolicy kDialogChange{"OnChange", false, false, "Rebooted"};

struct ChangeRequest {
    PrinterTarget printer;
    UsbType target = IDNATIVETYPE;
    // The mode to send the command from, when the policy does not probe for it.
    UsbType current = IDNATIVETYPE;
};

struct ChangeOutcome {
    enum class Kind {
        Changed,   // back in the target mode
        NoPrinter, // no printer answered: before the command (nothing sent) or after the wait
        Timeout,   // not back in the target mode within kRestartWaitLimitMs
        OtherMode, // back, but in another mode
        InUse,     // another program holds the printer: before the command (nothing sent) or
                   // when it came back
        NoDriver,  // back, but the system has no working driver for it in the target mode
    };
    Kind kind = Kind::NoPrinter;
    UsbType before = IDNATIVETYPE; // the mode the command was sent from
    // The mode the final probe found (Changed, OtherMode), or the mode in which another program
    // holds the printer (InUse).
    UsbType after = IDNATIVETYPE;
    // The printer changed: the one the request named, or the one that answered for it.
    PrinterTarget printer = PrinterTarget::FirstFound();
    PortLookup port;             // after a change to comm class mode: the printer's port
    MissingDriver missingDriver; // NoDriver: what the system showed of the printer
};

// What a face does while the change goes on.
class ChangeObserver {
  public:
    virtual ~ChangeObserver() = default;
    // The command went out (or failed: that is traced only); the restart wait begins.
    virtual void CommandSent() {}
    // An attempt found the printer not yet back, `waitedMs` into the wait; `installing`: it is
    // back without a driver, which the system may still be installing.
    virtual void StillWaiting(std::uint64_t waitedMs, bool installing) {
        static_cast<void>(waitedMs);
        static_cast<void>(installing);
    }
    // The wait is over, either way.
    virtual void WaitOver() {}
};

ChangeOutcome ChangeMode(PrinterBackend& backend, const ChangeRequest& request,
                         const ChangePolicy& policy, ChangeObserver* pObserver = nullptr);
