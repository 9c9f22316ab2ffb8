#include "modechange/ModeCommand.h"

ModeCommands BuildModeCommands(UsbType target) {
    ModeCommands commands{{0x1F, 0x0B, 'N', 0x1F, 'C', 0x00}, {0x1D, 0xFF}};
    commands.modeCommand.back() = static_cast<std::uint8_t>(target);
    return commands;
}
