#include "support/JsonCheck.h"

#include <cstring>

namespace {
class Reader {
  public:
    explicit Reader(const std::string& text) : m_text(text) {}

    bool Document() { return Value(0) && (Space(), m_at == m_text.size()); }
    std::vector<JsonString> strings;

  private:
    char Next() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
    void Space() {
        while (Next() != '\0' && std::strchr(" \t\r\n", Next()) != nullptr) {
            ++m_at;
        }
    }
    bool Take(char c) {
        Space();
        return Next() == c && c != '\0' && (++m_at, true);
    }
    bool Digits() {
        const std::size_t start = m_at;
        while (Next() >= '0' && Next() <= '9') {
            ++m_at;
        }
        return m_at > start;
    }
    bool Number() {
        m_at += Next() == '-' ? 1 : 0;
        if (!(Next() == '0' ? (++m_at, true) : Digits())) {
            return false;
        }
        if (Next() == '.' && (++m_at, !Digits())) {
            return false;
        }
        if (Next() == 'e' || Next() == 'E') {
            ++m_at;
            m_at += Next() == '+' || Next() == '-' ? 1 : 0;
            return Digits();
        }
        return true;
    }
    bool String(bool name) {
        if (!Take('"')) {
            return false;
        }
        std::string decoded;
        for (char c = Next(); m_at < m_text.size(); c = Next()) {
            ++m_at;
            if (c == '"') {
                strings.push_back({name, decoded});
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
                return false;
            }
            if (c != '\\') {
                decoded += c;
                continue;
            }
            const char escape = Next();
            ++m_at;
            const char* simple = escape != '\0' ? std::strchr("\"\\/bfnrt", escape) : nullptr;
            if (simple != nullptr) {
                decoded += "\"\\/\b\f\n\r\t"[simple - "\"\\/bfnrt"];
                continue;
            }
            unsigned code = 0;
            for (int i = 0; i < 4 && escape == 'u'; ++i, ++m_at) {
                const char h = Next();
                const bool letter = (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F');
                if (!letter && (h < '0' || h > '9')) {
                    return false;
                }
                code = code * 16 + static_cast<unsigned>(letter ? (h | 0x20) - 'a' + 10 : h - '0');
            }
            if (escape != 'u') {
                return false;
            }
            decoded += static_cast<char>(code & 0xFF); // enough to compare ASCII
        }
        return false;
    }
    bool Members(char close, int depth, bool named) {
        if (Take(close)) {
            return true;
        }
        do {
            if ((named && (!String(true) || !Take(':'))) || !Value(depth + 1)) {
                return false;
            }
        } while (Take(','));
        return Take(close);
    }
    bool Word(const char* word) {
        const std::size_t length = std::strlen(word);
        return m_text.compare(m_at, length, word) == 0 && (m_at += length, true);
    }
    bool Value(int depth) {
        Space();
        if (depth > 64) {
            return false;
        }
        switch (Next()) {
        case '{':
            return ++m_at, Members('}', depth, true);
        case '[':
            return ++m_at, Members(']', depth, false);
        case '"':
            return String(false);
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
