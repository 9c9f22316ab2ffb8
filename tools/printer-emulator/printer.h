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

#include <optional>
#include <string>

class Printer {
  public:
    // `port_entry`: its SERIALCOMM entry, see serial_port_entry().
    Printer(const PrinterOptions& options, std::string port_entry, LineFile& log, HANDLE stop_event,
            Deadline deadline);
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    ~Printer();

    bool power_on(std::string& error);
    // Serves restarts until the stop event is set (true) or the deadline passes (false).
    bool run();
    void power_off();

    // The mode it is in, or "down" while it restarts; safe from any thread.
    std::string state_name() const;
    // A connection asked for a restart into `mode`; ignored while already restarting.
    void request_restart(UsbMode mode);

    // Logs one of the printer's events; safe from any thread.
    void log_event(std::string_view text) { log_.write_line(text); }

  private:
    bool come_up(UsbMode mode, std::string& error);
    void withdraw();
    void restart();
    DeviceInterface interface_for(UsbMode mode) const;

    const PrinterOptions& options_;
    std::string port_entry_;
    LineFile& log_;
    HANDLE stop_event_;
    Deadline deadline_;
    UniqueHandle restart_event_;

    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    std::optional<UsbMode> mode_;      // empty while down
    std::optional<UsbMode> requested_; // set by a connection, taken by run()

    // Touched by the thread in run() only.
    ObjectLink link_;
    std::optional<DeviceInterface> registered_;
    bool port_published_ = false;
    std::optional<DeviceInterface> device_port_published_;
};
