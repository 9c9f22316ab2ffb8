// A strict reading of a JSON document, by a parser of its own (nlohmann/json), so that the
// fuzzers check what Orvane printed without trusting Orvane's writer: one value, whitespace around
// it, nothing else, and every byte of it ASCII.
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
