#include "side_interfaces.h"

#include "hex_bytes.h"
#include "registry.h"

namespace {

// An interface without the printer's IDs: whoever opens it is logged, and nothing else.
class ForeignPipe : public PipeListener {
  public:
    ForeignPipe(LineFile& log, UsbMode mode)
        : log_(log), label_("foreign " + std::string(usb_mode_name(mode))) {}
    void opened() override { log_.write_line("open " + label_); }
    void heard(std::span<const std::uint8_t> bytes, Delivery) override {
        log_.write_line("write " + label_ + " " + hex_bytes(bytes));
    }
    void closed() override { log_.write_line("close " + label_); }
    void read_failed(unsigned long) override {}

  private:
    LineFile& log_;
    std::string label_;
};

} // namespace

bool SideInterfaces::list(const DeviceInterface& device, std::string& error) {
    listed_.push_back(device);
    return register_device_interface(device, error);
}

bool SideInterfaces::add_foreign(UsbMode mode, LineFile& log, HANDLE stop_event, Deadline deadline,
                                 std::string& error) {
    const DeviceInterface device = foreign_interface(mode);
    const std::string pipe = "OrvanePrinterEmulator\\foreign-" + std::string(usb_mode_name(mode));
    listeners_.push_back(std::make_unique<ForeignPipe>(log, mode));
    servers_.push_back(std::make_unique<PipeServer>("\\\\.\\pipe\\" + pipe, *listeners_.back(),
                                                    WriteHandling::Take, false, stop_event,
                                                    deadline));
    if (!servers_.back()->start(error)) {
        return false;
    }
    // The link leads to the pipe itself, so the very first open of the foreign path, the
    // bare one, reaches the emulator and is logged.
    links_.push_back(std::make_unique<ObjectLink>());
    const std::string target = "\\Device\\NamedPipe\\" + pipe;
    if (!links_.back()->create(object_link_name(device), {target.begin(), target.end()}, error)) {
        return false;
    }
    return list(device, error);
}

bool SideInterfaces::add(const EmulatorOptions& options, LineFile& log, HANDLE stop_event,
                         Deadline deadline, std::string& error) {
    for (const UsbMode mode : all_usb_modes) {
        if (options.foreign && !add_foreign(mode, log, stop_event, deadline, error)) {
            return false;
        }
        // A dead interface has no link: its path names nothing, so opening it fails.
        if (options.dead &&
            !list(dead_interface(product_id_text(options.printers.front().product_id), mode),
                  error)) {
            return false;
        }
    }
    return true;
}

void SideInterfaces::remove() {
    for (const DeviceInterface& device : listed_) {
        remove_device_interface(device);
    }
    listed_.clear();
    links_.clear();
    for (const auto& server : servers_) {
        server->join();
    }
    servers_.clear();
    listeners_.clear();
}
