// A JSON document written as it goes, two spaces of indent a level, for scripts and people
// alike. Strings are escaped here and nowhere else: quotes, backslashes and control characters
// as JSON requires, and any byte outside ASCII as the code point of its Latin-1 reading, so that
// the document is valid UTF-8 whatever text it is handed. (Orvane hands it shown text, which is
// printable ASCII: common/ShownText.h.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
  public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // The name of the object's next member; its value follows.
    JsonWriter& Key(std::string_view name);
    void String(std::string_view text);
    void StringOrNull(const std::optional<std::string>& text);
    void Number(std::int64_t value);
    // A count of thousandths as a decimal number: 4012 is 4.012.
    void Thousandths(std::uint64_t value);
    void BoolOrNull(std::optional<bool> value);
    void Null();

    // The document so far; whole once every object and array begun has ended.
    const std::string& text() const { return m_text; }

  private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    std::string m_text;
    std::vector<bool> m_empty; // for each open object or array: nothing in it yet
    bool m_afterKey = false;
};
