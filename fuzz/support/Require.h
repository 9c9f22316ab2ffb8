// How a fuzzer reports a broken invariant: a message on standard error, then abort(), which
// libFuzzer records as a crash and saves the input that caused it.
#pragma once

#include <string>

[[noreturn]] void FailInvariant(const std::string& what);

inline void Require(bool holds, const char* what) {
    if (!holds) {
        FailInvariant(what);
    }
}
