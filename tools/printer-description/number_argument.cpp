#include "number_argument.h"

#include <charconv>

std::optional<std::uint32_t> parse_decimal(std::string_view text, std::uint32_t max) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || value > max) {
        return std::nullopt;
    }
    return value;
}
