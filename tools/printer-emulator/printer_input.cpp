#include "printer_input.h"

#include "hex_bytes.h"

#include <utility>

namespace {

std::string_view write_event(Delivery delivery) {
    switch (delivery) {
    case Delivery::Taken:
        return "write ";
    case Delivery::Cut:
        return "write-failed ";
    case Delivery::Stalled:
        return "write-stalled ";
    }
    return "write ";
}

} // namespace

PrinterInput::PrinterInput(Printer& printer, std::string label, bool takes_commands)
    : printer_(printer), label_(std::move(label)), takes_commands_(takes_commands) {}

void PrinterInput::opened() {
    printer_.log_event("open " + label_ + " " + printer_.state_name());
}

void PrinterInput::heard(std::span<const std::uint8_t> bytes, Delivery delivery) {
    printer_.log_event(std::string(write_event(delivery)) + label_ + " " + hex_bytes(bytes));
    // Bytes never taken never reach the printer's firmware.
    if (!takes_commands_ || delivery == Delivery::Stalled) {
        return;
    }
    AcquireSRWLockExclusive(&lock_);
    for (const PrinterCommand& command : parser_.feed(bytes)) {
        act_on(command, delivery);
    }
    ReleaseSRWLockExclusive(&lock_);
}

void PrinterInput::closed() {
    printer_.log_event("close " + label_);
}

void PrinterInput::read_failed(unsigned long error) {
    printer_.log_event("error " + label_ + " read failed with error " + std::to_string(error));
}

void PrinterInput::act_on(const PrinterCommand& command, Delivery delivery) {
    switch (command.kind) {
    case PrinterCommand::Kind::BadMode:
        printer_.log_event("bad-mode " + hex_bytes(std::span(&command.mode_byte, 1)));
        break;
    case PrinterCommand::Kind::SetMode:
        printer_.log_event("command " + std::string(usb_mode_name(*command.mode)));
        // A printer whose writes fail never hears the reset; the command alone restarts it.
        if (delivery == Delivery::Cut) {
            printer_.request_restart(*command.mode);
        } else {
            pending_mode_ = command.mode;
        }
        break;
    case PrinterCommand::Kind::Reset:
        printer_.log_event("reset");
        if (pending_mode_) {
            printer_.request_restart(*std::exchange(pending_mode_, std::nullopt));
        }
        break;
    }
}
