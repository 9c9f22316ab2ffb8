// Recognises the printer's commands in the byte stream it hears, however the client splits it
// into writes: the mode command 1F 0B 4E 1F 43 m and the reset 1D FF.
#pragma once

#include "usb_mode.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct PrinterCommand {
    enum class Kind { SetMode, BadMode, Reset };
    Kind kind;
    std::optional<UsbMode> mode; // SetMode only
    std::uint8_t mode_byte = 0;  // SetMode and BadMode
};

class ModeCommandParser {
  public:
    // Returns the commands completed by these bytes, in order.
    std::vector<PrinterCommand> feed(std::span<const std::uint8_t> bytes);

  private:
    std::vector<std::uint8_t> recent_; // the last bytes heard, a mode command's length at most
};
