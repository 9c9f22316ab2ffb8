#include "mode_command_parser.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::uint8_t, 5> mode_prefix{0x1F, 0x0B, 0x4E, 0x1F, 0x43};
} // namespace

std::vector<PrinterCommand> ModeCommandParser::feed(std::span<const std::uint8_t> bytes) {
    std::vector<PrinterCommand> commands;
    for (const std::uint8_t byte : bytes) {
        recent_.push_back(byte);
        if (recent_.size() > mode_prefix.size() + 1) {
            recent_.erase(recent_.begin());
        }
        if (recent_.size() == mode_prefix.size() + 1 &&
            std::equal(mode_prefix.begin(), mode_prefix.end(), recent_.begin())) {
            const auto mode = usb_mode_from_byte(byte);
            using Kind = PrinterCommand::Kind;
            commands.push_back(PrinterCommand{mode ? Kind::SetMode : Kind::BadMode, mode, byte});
        } else if (recent_.size() >= 2 && recent_.end()[-2] == 0x1D && byte == 0xFF) {
            commands.push_back(PrinterCommand{PrinterCommand::Kind::Reset, std::nullopt, 0});
        } else {
            continue;
        }
        // A finished command must not lend its bytes to the next one.
        recent_.clear();
    }
    return commands;
}
