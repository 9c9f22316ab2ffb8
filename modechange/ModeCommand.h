// The two byte sequences that move the printer to another mode. Only the last byte of the
// mode command varies: the target mode.
#pragma once

#include "device/UsbType.h"

#include <array>
#include <cstdint>

struct ModeCommands {
    std::array<std::uint8_t, 6> modeCommand;   // 1F 0B 4E 1F 43 m
    std::array<std::uint8_t, 2> secondCommand; // 1D FF: the printer restarts in mode m
};

ModeCommands BuildModeCommands(UsbType target);
