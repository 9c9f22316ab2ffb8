#include "mode_command_parser.h"

#include <algorithm>

namespace {
constexpr std::uint8_t mode_prefix[] = {0x1F, 0x0B, 0x4E, 0x1F, 0x43};
constexpr std::uint8_t reset[] = {0x1D, 0xFF};
} // namespace

void ModeCommandParser::push(std::uint8_t byte) {
    if (filled_ == window_size) {
        std::move(window_ + 1, window_ + window_size, window_);
        --filled_;
    }
    window_[filled_++] = byte;
}

// True when `tail` sits in the window ending `offset_from_end` bytes before its newest byte.
bool ModeCommandParser::ends_with(std::span<const std::uint8_t> tail,
                                  std::size_t offset_from_end) const {
    if (filled_ < tail.size() + offset_from_end) {
        return false;
    }
    const std::size_t start = filled_ - offset_from_end - tail.size();
    return std::equal(tail.begin(), tail.end(), window_ + start);
}

std::vector<PrinterCommand> ModeCommandParser::feed(std::span<const std::uint8_t> bytes) {
    std::vector<PrinterCommand> commands;
    for (const std::uint8_t byte : bytes) {
        push(byte);
        if (ends_with(mode_prefix, 1)) {
            const auto mode = usb_mode_from_byte(byte);
            commands.push_back(PrinterCommand{
                mode ? PrinterCommand::Kind::SetMode : PrinterCommand::Kind::BadMode, mode, byte});
            // A finished command must not lend its bytes to the next one.
            filled_ = 0;
        } else if (ends_with(reset, 0)) {
            commands.push_back(PrinterCommand{PrinterCommand::Kind::Reset, std::nullopt, 0});
            filled_ = 0;
        }
    }
    return commands;
}
