#include "support/JsonCheck.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {
void Collect(const nlohmann::ordered_json& value, std::vector<JsonString>* pStrings) {
    if (value.is_string()) {
        pStrings->push_back({false, value.get<std::string>()});
    } else if (value.is_object()) {
        for (const auto& [name, member] : value.items()) {
            pStrings->push_back({true, name});
            Collect(member, pStrings);
        }
    } else if (value.is_array()) {
        for (const nlohmann::ordered_json& element : value) {
            Collect(element, pStrings);
        }
    }
}
} // namespace

std::optional<std::vector<JsonString>> JsonStrings(const std::string& text) {
    if (std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) {
        return std::nullopt;
    }
    const nlohmann::ordered_json document =
        nlohmann::ordered_json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) {
        return std::nullopt;
    }
    std::vector<JsonString> strings;
    Collect(document, &strings);
    return strings;
}
