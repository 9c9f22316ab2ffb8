#include "common/ShownText.h"

#include <vector>

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::string_view kCut = "...";

bool Printable(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

// The shown form of one byte: itself, or its escape.
void Append(std::string& out, unsigned char c, char kept) {
    if (Printable(c) && (c != '\\' || kept == '\\')) {
        out += static_cast<char>(c);
        return;
    }
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}
} // namespace

std::string ShowDeviceText(std::string_view raw, char separator) {
    std::string shown;
    std::vector<std::size_t> cellStarts; // where each byte's shown form begins
    for (const char c : raw) {
        cellStarts.push_back(shown.size());
        Append(shown, static_cast<unsigned char>(c), separator);
        if (shown.size() > kShownFieldLimit) {
            // Cut between whole escapes, never through one, with room to say so.
            while (cellStarts.back() + kCut.size() > kShownFieldLimit) {
                cellStarts.pop_back();
            }
            shown.resize(cellStarts.back());
            return shown.append(kCut);
        }
    }
    return shown;
}

std::string EscapeUnprintable(std::string_view raw) {
    std::string traced;
    for (const char c : raw) {
        Append(traced, static_cast<unsigned char>(c), '\\');
    }
    return traced;
}
