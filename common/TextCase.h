// Comparisons of text without regard to case, as switches and printer identities are compared.
// ASCII letters only, as the C runtime's do in its default locale.
#pragma once

#include <string_view>

bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
