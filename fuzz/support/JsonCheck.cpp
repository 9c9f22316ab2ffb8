#include "support/JsonCheck.h"

#include <cstring>

namespace {
class Reader {
  public:
    explicit Reader(const std::string& text) : m_text(text) {}

    bool Document() {
        if (!Value(0)) {
            return false;
        }
        Space();
        return m_at == m_text.size();
    }
    std::vector<JsonString> strings;

  private:
    bool At(char c) const { return m_at < m_text.size() && m_text[m_at] == c; }
    bool Take(char c) {
        Space();
        if (!At(c)) {
            return false;
        }
        ++m_at;
        return true;
    }
    void Space() {
        while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]) != nullptr &&
               m_text[m_at] != '\0') {
            ++m_at;
        }
    }
    bool Digits() {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            ++m_at;
        }
        return m_at > start;
    }
    bool Word(const char* word) {
        const std::size_t length = std::strlen(word);
        if (m_text.compare(m_at, length, word) != 0) {
            return false;
        }
        m_at += length;
        return true;
    }
    bool Number() {
        Take('-');
        if (At('0')) {
            ++m_at;
        } else if (!Digits()) {
            return false;
        }
        if (At('.') && (++m_at, !Digits())) {
            return false;
        }
        if (At('e') || At('E')) {
            ++m_at;
            if (At('+') || At('-')) {
                ++m_at;
            }
            return Digits();
        }
        return true;
    }
    bool Hex(unsigned* pValue) {
        *pValue = 0;
        for (int i = 0; i < 4; ++i, ++m_at) {
            if (m_at >= m_text.size()) {
                return false;
            }
            const char c = m_text[m_at];
            const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!letter && (c < '0' || c > '9')) {
                return false;
            }
            *pValue =
                *pValue * 16 + static_cast<unsigned>(letter ? (c | 0x20) - 'a' + 10 : c - '0');
        }
        return true;
    }
    bool String(bool name = false) {
        if (!Take('"')) {
            return false;
        }
        std::string decoded;
        while (m_at < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_at++]);
            if (c == '"') {
                strings.push_back({name, decoded});
                return true;
            }
            if (c < 0x20 || c >= 0x80) {
                return false;
            }
            if (c != '\\') {
                decoded += static_cast<char>(c);
                continue;
            }
            const char escape = m_at < m_text.size() ? m_text[m_at++] : '\0';
            const char* simple = std::strchr("\"\\/bfnrt", escape);
            unsigned code = 0;
            if (escape != '\0' && simple != nullptr) {
                decoded += "\"\\/\b\f\n\r\t"[simple - "\"\\/bfnrt"];
            } else if (escape == 'u' && Hex(&code)) {
                // Kept as the code point's low byte: enough to compare ASCII.
                decoded += static_cast<char>(code & 0xFF);
            } else {
                return false;
            }
        }
        return false;
    }
    bool Members(char close, int depth, bool named) {
        if (Take(close)) {
            return true;
        }
        do {
            if (named && (!String(true) || !Take(':'))) {
                return false;
            }
            if (!Value(depth + 1)) {
                return false;
            }
        } while (Take(','));
        return Take(close);
    }
    bool Value(int depth) {
        Space();
        if (depth > 64 || m_at >= m_text.size()) {
            return false;
        }
        switch (m_text[m_at]) {
        case '{':
            ++m_at;
            return Members('}', depth, true);
        case '[':
            ++m_at;
            return Members(']', depth, false);
        case '"':
            return String();
        case 't':
            return Word("true");
        case 'f':
            return Word("false");
        case 'n':
            return Word("null");
        default:
            return Number();
        }
    }

    const std::string& m_text;
    std::size_t m_at = 0;
};
} // namespace

std::optional<std::vector<JsonString>> JsonStrings(const std::string& text) {
    Reader reader(text);
    if (!reader.Document()) {
        return std::nullopt;
    }
    return reader.strings;
}
