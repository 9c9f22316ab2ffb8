// The simulated printer: which mode it is in, the interface it shows in that mode, what it
// received, and its restart after a mode command. It knows the device classes and hardware
// IDs on its own, so tests catch a wrong table in Orvane.
#pragma once

#include "win32_sim.h"

#include "printer_description.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Interface classes that the drivers of the printer's three modes register.
GUID ClassOfMode(int mode);
extern const GUID kNativeClass;
extern const GUID kPrinterClass;
extern const GUID kCommPortClass;

// What an open file handle reaches.
enum class PipeTarget { Interface, PrinterBare, PrinterPipe00, PrinterPipe01 };

struct PrinterWrite {
    std::uint64_t atMs = 0;
    std::vector<std::uint8_t> bytes;
};

class Printer {
  public:
    // --- configuration ---
    // Takes what the description tells (its IDs, port, restart, faults, hold) and plugs it in
    // its start mode. Its serial is the instance part of its device paths; throws for what the
    // simulated printer cannot play.
    void describe(const PrinterDescription& description);
    void attach(int mode);
    void detach();
    std::string hardwareId = "vid_6b1f&pid_c302";
    std::string instance = "6&2f1a3b4c&0&1";
    std::optional<std::string> port = "COM7";
    std::uint64_t restartMs = 3000;
    bool neverReturns = false;
    std::optional<int> returnMode; // come back in this mode, whatever was commanded
    bool failWrites = false;
    // The command pipe opens but takes no byte: a write waits for ever unless it is bounded.
    bool stallWrites = false;
    // Whether the comm class driver records the port in the device key (PortName); the serial
    // port device map lists it either way.
    bool portInDeviceKey = true;
    bool bareOpens = true;
    bool pipe00Opens = true;
    bool pipe01Opens = true;
    // Another program holds the printer: every open of its paths fails with this error (0: none).
    DWORD heldWith = 0;
    // Another program holds only its command pipe, PIPE01: that open fails with this error.
    DWORD pipe01HeldWith = 0;
    int enumIndex = -1; // place among the class's other interfaces; -1 puts it last
    // Overrides the device path that the printer shows (any bytes, any length).
    std::optional<std::string> pathOverride;
    // The machine has no driver for it in this mode: there its device node shows no interface,
    // and this problem code (0: none, as while a driver is being installed).
    std::optional<int> noDriverMode;
    DWORD problemCode = 0;
    // Off the bus until this time, then plugged in in its mode.
    std::optional<std::uint64_t> plugAtMs;

    // --- state ---
    bool online() const { return attached_ && !restarting_; }
    // Online with a driver: its interface is listed and reached.
    bool served() const { return online() && noDriverMode != mode_; }
    bool attached() const { return attached_; }
    int mode() const { return mode_; }
    std::string path() const;
    // The device instance ID, as the Setup API gives it: USB\VID_6B1F&PID_C302\<INSTANCE>.
    std::string instanceId() const;
    std::uint64_t session() const { return session_; }
    const std::vector<PrinterWrite>& writes() const { return writes_; }
    int restarts() const { return restarts_; }

    // --- driven by the simulated system ---
    // Takes bytes written to PIPE01; returns false when the write fails.
    bool receive(const std::uint8_t* bytes, std::size_t count, std::uint64_t now);
    void update(std::uint64_t now);

  private:
    bool attached_ = false;
    bool restarting_ = false;
    int mode_ = 0;
    int pendingMode_ = -1;
    std::uint64_t backAtMs_ = 0;
    std::uint64_t session_ = 0;
    int restarts_ = 0;
    std::vector<std::uint8_t> received_;
    std::vector<PrinterWrite> writes_;
};

} // namespace sim
