#include "debug_record.h"

std::string escape_debug_text(std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                escaped += "\\x";
                escaped += digits[byte >> 4];
                escaped += digits[byte & 0x0F];
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string debug_record(std::uint32_t process_id, std::string_view text) {
    return std::to_string(process_id) + " " + escape_debug_text(text);
}
