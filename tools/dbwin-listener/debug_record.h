// One received debug string as a single record line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Makes `text` printable on one line, reversibly.
std::string escape_debug_text(std::string_view text);
// "<pid> <escaped text>"
std::string debug_record(std::uint32_t process_id, std::string_view text);
