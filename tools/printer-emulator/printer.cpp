#include "printer.h"

#include "device_port.h"
#include "emulated_devices.h"
#include "interface_registry.h"
#include "serial_port_map.h"

#include <algorithm>

namespace {
// Every mode's device path leads into the named pipe file system, where "<path>\PIPE00" and
// "<path>\PIPE01" are the pipes the emulator serves under those names.
constexpr wchar_t pipe_file_system[] = L"\\Device\\NamedPipe";
} // namespace

Printer::Printer(const PrinterOptions& options, std::string port_entry, LineFile& log,
                 HANDLE stop_event, Deadline deadline)
    : options_(options), port_entry_(std::move(port_entry)), log_(log), stop_event_(stop_event),
      deadline_(deadline), restart_event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

Printer::~Printer() {
    power_off();
}

DeviceInterface Printer::interface_for(UsbMode mode) const {
    return printer_interface(options_.product_id, options_.serial, mode);
}

std::string Printer::state_name() const {
    AcquireSRWLockShared(&lock_);
    const std::optional<UsbMode> mode = mode_;
    ReleaseSRWLockShared(&lock_);
    return mode ? std::string(usb_mode_name(*mode)) : std::string("down");
}

void Printer::request_restart(UsbMode mode) {
    AcquireSRWLockExclusive(&lock_);
    const bool accepted = mode_.has_value() && !requested_.has_value();
    if (accepted) {
        requested_ = mode;
    }
    ReleaseSRWLockExclusive(&lock_);
    if (accepted) {
        SetEvent(restart_event_.get());
    } else {
        log_event("restart-ignored");
    }
}

bool Printer::power_on(std::string& error) {
    if (!restart_event_.valid()) {
        error = "cannot create the restart event";
        return false;
    }
    return come_up(options_.start_mode, error);
}

bool Printer::come_up(UsbMode mode, std::string& error) {
    const DeviceInterface device = interface_for(mode);
    // Openable first, then listed, so a client never finds a path it cannot open.
    if (!link_.create(object_link_name(device), pipe_file_system, error)) {
        return false;
    }
    // The port before the interface, so a client that finds the interface finds its port.
    if (mode == UsbMode::CommClass && options_.port) {
        if (!publish_serial_port(port_entry_, *options_.port, error)) {
            withdraw();
            return false;
        }
        port_published_ = true;
        log_event("port " + *options_.port);
        if (options_.device_port) {
            device_port_published_ = device;
            if (!publish_device_port(device, *options_.port, error)) {
                withdraw();
                return false;
            }
            log_event("device-port " + *options_.port);
        }
    }
    registered_ = device;
    if (!register_device_interface(device, error)) {
        withdraw();
        return false;
    }
    AcquireSRWLockExclusive(&lock_);
    mode_ = mode;
    ReleaseSRWLockExclusive(&lock_);
    log_event("up " + std::string(usb_mode_name(mode)) + " " + device_path(device));
    return true;
}

void Printer::withdraw() {
    AcquireSRWLockExclusive(&lock_);
    mode_.reset();
    ReleaseSRWLockExclusive(&lock_);
    // Unlisted first, then unreachable, as a device that leaves the bus.
    if (registered_) {
        remove_device_interface(*registered_);
        registered_.reset();
    }
    link_.remove();
    if (device_port_published_) {
        remove_device_port(*device_port_published_);
        device_port_published_.reset();
        log_event("device-port-removed");
    }
    if (port_published_) {
        remove_serial_port(port_entry_);
        port_published_ = false;
        log_event("port-removed");
    }
}

void Printer::restart() {
    AcquireSRWLockExclusive(&lock_);
    const std::optional<UsbMode> requested = std::exchange(requested_, std::nullopt);
    ReleaseSRWLockExclusive(&lock_);
    if (!requested) {
        return;
    }
    log_event("restart-begin " + std::string(usb_mode_name(*requested)));
    withdraw();
    log_event("withdrawn");
    const DWORD away_ms = std::min<DWORD>(options_.restart_ms, deadline_.remaining_ms());
    if (WaitForSingleObject(stop_event_, away_ms) != WAIT_TIMEOUT || deadline_.passed()) {
        return;
    }
    if (options_.never_back) {
        log_event("gone");
        return;
    }
    std::string error;
    if (!come_up(options_.back_in.value_or(*requested), error)) {
        log_event("error " + error);
    }
}

bool Printer::run() {
    const HANDLE waits[] = {stop_event_, restart_event_.get()};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, deadline_.remaining_ms());
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return false;
        }
        restart();
    }
}

void Printer::power_off() {
    if (registered_ || link_.exists() || port_published_ || device_port_published_) {
        withdraw();
        log_event("withdrawn");
    }
}
