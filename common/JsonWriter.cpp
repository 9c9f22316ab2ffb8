#include "common/JsonWriter.h"

#include "common/DebugTrace.h"

namespace {
constexpr char kHex[] = "0123456789abcdef";

void AppendEscaped(std::string& out, unsigned char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
        return;
    }
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}
} // namespace

void JsonWriter::NewLine() {
    m_text += '\n';
    m_text.append(2 * m_empty.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_empty.empty()) {
        if (!m_empty.back()) {
            m_text += ',';
        }
        m_empty.back() = false;
        NewLine();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    m_text += bracket;
    m_empty.push_back(true);
}

void JsonWriter::Close(char bracket) {
    const bool empty = m_empty.back();
    m_empty.pop_back();
    if (!empty) {
        NewLine();
    }
    m_text += bracket;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    String(name);
    m_text += ": ";
    m_afterKey = true;
    return *this;
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_text += '"';
    for (const char c : text) {
        AppendEscaped(m_text, static_cast<unsigned char>(c));
    }
    m_text += '"';
}

void JsonWriter::StringOrNull(const std::optional<std::string>& text) {
    if (text) {
        String(*text);
    } else {
        Null();
    }
}

void JsonWriter::Number(std::int64_t value) {
    BeforeValue();
    m_text += std::to_string(value);
}

void JsonWriter::Thousandths(std::uint64_t value) {
    BeforeValue();
    m_text += FormatText("%llu.%03llu", static_cast<unsigned long long>(value / 1000),
                         static_cast<unsigned long long>(value % 1000));
}

void JsonWriter::BoolOrNull(std::optional<bool> value) {
    BeforeValue();
    m_text += !value ? "null" : *value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
}
