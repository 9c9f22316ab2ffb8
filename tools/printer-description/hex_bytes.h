// Bytes as upper-case hex pairs separated by spaces: "1F 0B 4E".
#pragma once

#include <cstdint>
#include <span>
#include <string>

std::string hex_bytes(std::span<const std::uint8_t> bytes);
