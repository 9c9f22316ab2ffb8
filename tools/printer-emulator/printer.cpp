#include "printer.h"

#include "mailslot_server.h"
#include "pipe_server.h"
#include "printer_input.h"
#include "registry.h"

#include <dbt.h>

#include <utility>

namespace {

// What Windows does when a device arrives or leaves: every top-level window hears
// WM_DEVICECHANGE (DBT_DEVNODES_CHANGED). Under Wine nothing does so for the emulated printers,
// so the emulator plays that part. Posted, so that a window that handles no messages (a dialog
// waiting for a restart) holds up no printer.
void broadcast_device_change() {
    PostMessageA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

enum WakeEvent : std::size_t {
    restart_requested = 0,
    back_due = 1,
    unplug_due = 2,
    plug_due = 3,
    plug_time = 4,
    sweep_due = 5,
};

constexpr LONG sweep_period_ms = 250;

WriteHandling command_writes(const PrinterDescription& options) {
    if (options.fail_writes) {
        return WriteHandling::Cut;
    }
    return options.stall_writes ? WriteHandling::Stall : WriteHandling::Take;
}

} // namespace

std::string plug_event_name(std::size_t number, bool plug) {
    return std::string(plug ? "OrvanePrinterEmulatorPlug" : "OrvanePrinterEmulatorUnplug") +
           std::to_string(number);
}

Printer::Printer(const PrinterDescription& options, PipeKind pipes, std::size_t number,
                 std::string port_entry, std::string tag, LineFile& log, HANDLE stop_event,
                 Deadline deadline)
    : options_(options), port_entry_(std::move(port_entry)), tag_(std::move(tag)), log_(log),
      restart_event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      back_timer_(CreateWaitableTimerA(nullptr, FALSE, nullptr)),
      unplug_event_(CreateEventA(nullptr, FALSE, FALSE, plug_event_name(number, false).c_str())),
      plug_event_(CreateEventA(nullptr, FALSE, FALSE, plug_event_name(number, true).c_str())),
      plug_timer_(CreateWaitableTimerA(nullptr, FALSE, nullptr)),
      sweep_timer_(CreateWaitableTimerA(nullptr, FALSE, nullptr)),
      pipe_kind_(pipes), inputs_{std::make_unique<PrinterInput>(*this, "PIPE00", false),
                                 std::make_unique<PrinterInput>(*this, "PIPE01", true)} {
    for (std::size_t pipe = 0; pipe < servers_.size(); ++pipe) {
        const bool held =
            pipe == 0 ? options.held == HeldPart::Whole : options.held != HeldPart::None;
        const std::string leaf = "PIPE0" + std::to_string(pipe);
        if (pipes == PipeKind::Mailslots) {
            servers_[pipe] = std::make_unique<MailslotServer>("\\\\.\\mailslot\\" + leaf, held,
                                                              *inputs_[pipe], stop_event, deadline);
        } else {
            servers_[pipe] = std::make_unique<PipeServer>("\\\\.\\pipe\\" + leaf, *inputs_[pipe],
                                                          pipe == 0 ? WriteHandling::Take
                                                                    : command_writes(options),
                                                          held, stop_event, deadline);
        }
    }
}

Printer::~Printer() {
    power_off();
}

DeviceInterface Printer::interface_for(UsbMode mode) const {
    return printer_interface(product_id_text(options_.product_id), *options_.serial, mode);
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

bool Printer::start_pipes(std::string& error) {
    if (!servers_[0]->start(error) || !servers_[1]->start(error)) {
        log_event("error " + error);
        return false;
    }
    return true;
}

bool Printer::power_on(std::string& error) {
    if (!restart_event_.valid() || !back_timer_.valid() || !unplug_event_.valid() ||
        !plug_event_.valid() || !plug_timer_.valid() || !sweep_timer_.valid()) {
        error = "cannot create the restart, plug and unplug events and the timers";
    } else if (options_.unplugged || options_.plug_after_ms) {
        unplugged_ = options_.mode;
        log_event("unplugged");
        if (options_.plug_after_ms) {
            // Relative due times are negative, in 100 ns units.
            LARGE_INTEGER due{};
            due.QuadPart = -static_cast<LONGLONG>(*options_.plug_after_ms) * 10000;
            if (!SetWaitableTimer(plug_timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
                error = "cannot set the plug timer (error " + std::to_string(GetLastError()) + ")";
                log_event("error " + error);
                return false;
            }
        }
        return true;
    } else if (come_up(options_.mode, error)) {
        return true;
    }
    log_event("error " + error);
    return false;
}

std::array<HANDLE, Printer::wake_event_count> Printer::wake_events() const {
    return {restart_event_.get(), back_timer_.get(), unplug_event_.get(),
            plug_event_.get(),    plug_timer_.get(), sweep_timer_.get()};
}

void Printer::woken(std::size_t which) {
    if (which == restart_requested) {
        begin_restart();
    } else if (which == back_due) {
        come_back();
    } else if (which == unplug_due) {
        unplug();
    } else if (which == plug_due || which == plug_time) {
        plug();
    } else if (which == sweep_due) {
        sweep();
    }
}

void Printer::unplug() {
    if (unplugged_) {
        return;
    }
    AcquireSRWLockShared(&lock_);
    const std::optional<UsbMode> mode = mode_;
    ReleaseSRWLockShared(&lock_);
    CancelWaitableTimer(back_timer_.get());
    unplugged_ = returning_.value_or(mode.value_or(options_.mode));
    returning_.reset();
    withdraw();
    log_event("unplugged");
}

void Printer::plug() {
    const std::optional<UsbMode> mode = std::exchange(unplugged_, std::nullopt);
    if (!mode) {
        return;
    }
    log_event("plugged");
    std::string error;
    if (!come_up(*mode, error)) {
        log_event("error " + error);
    }
}

bool Printer::make_reachable(UsbMode mode, const DeviceInterface& device, std::string& error) {
    // Openable first, then listed, so a client never finds a path it cannot open.
    // Mailslots are a second namespace, beside the one printer that named pipes can serve.
    const wchar_t* const target =
        pipe_kind_ == PipeKind::Mailslots ? L"\\Device\\MailSlot" : L"\\Device\\NamedPipe";
    if (!link_.create(object_link_name(device), target, error)) {
        return false;
    }
    // The port before the interface, so a client that finds the interface finds its port.
    if (mode == UsbMode::CommClass && options_.port) {
        if (!publish_serial_port(port_entry_, *options_.port, error)) {
            return false;
        }
        port_published_ = true;
        log_event("port " + *options_.port);
        if (options_.port_in_device_key) {
            device_port_published_ = device;
            if (!publish_device_port(device, *options_.port, error)) {
                return false;
            }
            log_event("device-port " + *options_.port);
        }
    }
    return true;
}

bool Printer::come_up(UsbMode mode, std::string& error) {
    const DeviceInterface device = interface_for(mode);
    // Without a driver in this mode the printer is its device node alone: no interface, no port.
    const bool driven = mode != options_.no_driver_in;
    if (driven && !make_reachable(mode, device, error)) {
        withdraw();
        return false;
    }
    CancelWaitableTimer(sweep_timer_.get());
    left_.reset();
    registered_ = device;
    if (!(driven ? register_device_interface(device, error)
                 : register_device_node(device, error))) {
        withdraw();
        return false;
    }
    AcquireSRWLockExclusive(&lock_);
    mode_ = mode;
    ReleaseSRWLockExclusive(&lock_);
    const std::string name(usb_mode_name(mode));
    log_event(driven ? "up " + name + " " + device_path(device)
                     : "up-without-driver " + name + " " + device_instance_id(device));
    broadcast_device_change();
    return true;
}

void Printer::withdraw() {
    AcquireSRWLockExclusive(&lock_);
    mode_.reset();
    ReleaseSRWLockExclusive(&lock_);
    // Unlisted first, then unreachable, as a device that leaves the bus.
    if (registered_) {
        remove_device_interface(*registered_);
        left_ = std::exchange(registered_, std::nullopt);
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(sweep_period_ms) * 10000;
        SetWaitableTimer(sweep_timer_.get(), &due, sweep_period_ms, nullptr, nullptr, FALSE);
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
    broadcast_device_change();
}

void Printer::begin_restart() {
    AcquireSRWLockExclusive(&lock_);
    const std::optional<UsbMode> requested = std::exchange(requested_, std::nullopt);
    ReleaseSRWLockExclusive(&lock_);
    if (!requested || unplugged_) {
        return;
    }
    log_event("restart-begin " + std::string(usb_mode_name(*requested)));
    withdraw();
    log_event("withdrawn");
    returning_ = requested;
    // Relative due times are negative, in 100 ns units.
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(options_.restart_ms) * 10000;
    if (!SetWaitableTimer(back_timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
        log_event("error cannot set the restart timer (error " + std::to_string(GetLastError()) +
                  ")");
    }
}

void Printer::come_back() {
    const std::optional<UsbMode> requested = std::exchange(returning_, std::nullopt);
    if (!requested) {
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

// Wine's setupapi writes back the keys of every device it lists, so a listing that overlapped the
// withdrawal brings the device's keys back after it left: a device node without an interface,
// which a client takes for a printer back without a driver. While the printer is away its keys
// are taken away again, often enough that a client polling once a second never finds them.
void Printer::sweep() {
    if (left_ && device_keys_left(*left_)) {
        remove_device_interface(*left_);
        log_event("swept");
    }
}

void Printer::power_off() {
    CancelWaitableTimer(back_timer_.get());
    CancelWaitableTimer(plug_timer_.get());
    CancelWaitableTimer(sweep_timer_.get());
    returning_.reset();
    if (registered_ || link_.exists() || port_published_ || device_port_published_) {
        withdraw();
        log_event("withdrawn");
    }
}

void Printer::join_pipes() {
    for (const auto& server : servers_) {
        server->join();
    }
}
