// The printer itself: which mode it is in, how it is listed and reached, and the restart
// that follows a mode command and a reset.
#pragma once

#include "deadline.h"
#include "device_interface.h"
#include "emulator_options.h"
#include "line_file.h"
#include "object_link.h"
#include "unique_handle.h"
#include "usb_mode.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The named event through which `PrinterEmulator.exe --plug N` (or `--unplug N`) reaches printer
// N (from 1) of the running emulator.
std::string plug_event_name(std::size_t number, bool plug);

class PrinterInput;
class ServedPipe;

class Printer {
  public:
    // `port_entry`: its SERIALCOMM entry, see serial_port_entry(); `tag`: what starts each of
    // its log lines, empty when it plays alone; `number`: its place on the command line, from 1.
    Printer(const PrinterDescription& options, PipeKind pipes, std::size_t number,
            std::string port_entry, std::string tag, LineFile& log, HANDLE stop_event,
            Deadline deadline);
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    ~Printer();

    // Serves its pipes; power_on() then brings it up in its start mode. Both log what fails.
    bool start_pipes(std::string& error);
    bool power_on(std::string& error);
    // What run_printers() waits on for this printer, and what it does when one is set.
    static constexpr std::size_t wake_event_count = 6;
    std::array<HANDLE, wake_event_count> wake_events() const;
    void woken(std::size_t which);
    void power_off();
    // Waits (bounded) for its pipes' servers; the stop event must be set.
    void join_pipes();

    // The mode it is in, or "down" while it restarts; safe from any thread.
    std::string state_name() const;
    // A client asked for a restart into `mode`; ignored while already restarting.
    void request_restart(UsbMode mode);
    // Logs one of the printer's events; safe from any thread.
    void log_event(std::string_view text) { log_.write_line(tag_ + std::string(text)); }

  private:
    bool come_up(UsbMode mode, std::string& error);
    // Its object link and, in comm class mode, its port: what its driver would make.
    bool make_reachable(UsbMode mode, const DeviceInterface& device, std::string& error);
    void withdraw();
    void begin_restart();
    void come_back();
    void sweep();
    // Leaves the bus, whatever it was doing, and comes back on it in the mode it left in.
    void unplug();
    void plug();
    DeviceInterface interface_for(UsbMode mode) const;

    const PrinterDescription& options_;
    std::string port_entry_;
    std::string tag_;
    LineFile& log_;
    UniqueHandle restart_event_;
    UniqueHandle back_timer_;
    UniqueHandle unplug_event_;
    UniqueHandle plug_event_;
    UniqueHandle plug_timer_;  // --plug-after-ms
    UniqueHandle sweep_timer_; // runs while it is away from the bus

    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    std::optional<UsbMode> mode_;      // empty while down
    std::optional<UsbMode> requested_; // set by a client, taken by begin_restart()

    // Touched by the thread that powers the printer and calls woken() only.
    ObjectLink link_;
    std::optional<DeviceInterface> registered_;
    std::optional<DeviceInterface> left_; // what it was, while it is away
    bool port_published_ = false;
    std::optional<DeviceInterface> device_port_published_;
    std::optional<UsbMode> returning_; // the mode asked for while it is away
    std::optional<UsbMode> unplugged_; // the mode it left in, while unplugged

    // Last, so the servers' threads end before the members above go away: PIPE00, PIPE01.
    PipeKind pipe_kind_;
    std::array<std::unique_ptr<PrinterInput>, 2> inputs_;
    std::array<std::unique_ptr<ServedPipe>, 2> servers_;
};
