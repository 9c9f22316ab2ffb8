#include "support/InputBytes.h"

std::vector<std::string> SplitOnNul(const std::string& text, std::size_t maxPieces) {
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    std::size_t start = 0;
    while (pieces.size() < maxPieces) {
        const std::size_t end = text.find('\0', start);
        if (end == std::string::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
