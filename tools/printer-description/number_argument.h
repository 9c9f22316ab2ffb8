// Reads a decimal command-line number without accepting signs, spaces or overflow.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::uint32_t> parse_decimal(std::string_view text, std::uint32_t max);
