// A strict reading of a JSON document (RFC 8259), for the fuzzers to check what Orvane printed
// without trusting Orvane's own writer: one value, whitespace around it, nothing else; strings
// of ASCII without raw control characters and with valid escapes; numbers as the grammar has
// them; no deeper than 64 levels.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct JsonString {
    bool name; // a member's name, not a value
    std::string text;
    bool operator==(const std::string& other) const { return text == other; }
};

// Every string of the document (names and values) in order, decoded; nullopt when `text` is
// not one such document.
std::optional<std::vector<JsonString>> JsonStrings(const std::string& text);
