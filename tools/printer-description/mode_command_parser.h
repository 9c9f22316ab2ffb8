// Recognises the printer's commands in the byte stream of one connection, however the
// client splits it into writes: the mode command 1F 0B 4E 1F 43 m and the reset 1D FF.
#pragma once

#include "usb_mode.h"

#include <cstddef>
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
    static constexpr std::size_t window_size = 6;
    std::uint8_t window_[window_size] = {};
    std::size_t filled_ = 0;

    void push(std::uint8_t byte);
    bool ends_with(std::span<const std::uint8_t> tail, std::size_t offset_from_end) const;
};
