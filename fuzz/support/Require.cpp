#include "support/Require.h"

#include <cstdio>
#include <cstdlib>

void FailInvariant(const std::string& what) {
    std::fprintf(stderr, "\n*** invariant broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}
