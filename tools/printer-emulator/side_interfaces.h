// The interfaces listed beside the printer: a foreign one that a client must never open and
// dead ones that a client cannot open. Both stay put while the printer restarts.
#pragma once

#include "deadline.h"
#include "device_interface.h"
#include "emulator_options.h"
#include "line_file.h"
#include "object_link.h"
#include "pipe_server.h"

#include <memory>
#include <string>
#include <vector>

class SideInterfaces {
  public:
    SideInterfaces() = default;
    SideInterfaces(const SideInterfaces&) = delete;
    SideInterfaces& operator=(const SideInterfaces&) = delete;
    ~SideInterfaces() { remove(); }

    bool add(const EmulatorOptions& options, LineFile& log, HANDLE stop_event, Deadline deadline,
             std::string& error);
    // Unlists them and waits (bounded) for their pipe servers; the stop event must be set.
    void remove();

  private:
    bool add_foreign(UsbMode mode, LineFile& log, HANDLE stop_event, Deadline deadline,
                     std::string& error);
    bool list(const DeviceInterface& device, std::string& error);

    std::vector<DeviceInterface> listed_;
    std::vector<std::unique_ptr<ObjectLink>> links_;
    std::vector<std::unique_ptr<PipeListener>> listeners_;
    std::vector<std::unique_ptr<PipeServer>> servers_;
};
