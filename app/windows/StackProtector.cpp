// The canary that -fstack-protector-strong checks and what a failed check does, in place of
// libssp's: libssp draws its canary through CryptAcquireContext, which loads the crypto
// providers and user32 into every run, even a MODE that opens no window. RtlGenRandom comes
// from advapi32, which Orvane imports anyway. libssp still supplies the checked string
// functions of _FORTIFY_SOURCE; their failure lands in __chk_fail below.
#include <windows.h>
// windows.h must come first.
#include <ntsecapi.h>

#include <cstdint>

namespace {
// Ends the process at once with the code Windows reports for a broken stack cookie; before
// Windows 8 the interrupt faults, which ends it as surely. No handler of the process runs.
[[noreturn]] void FailFast(unsigned int code) {
    asm volatile("int $0x29" : : "c"(code) : "memory");
    __builtin_unreachable();
}
} // namespace

extern "C" {
// Fixed until start-up draws it; nothing checks a frame that began before then.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x2f8e3b5c9d4a7061ULL);

void __stack_chk_fail() {
    FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

void __chk_fail() {
    FailFast(FAST_FAIL_RANGE_CHECK_FAILURE);
}
}

namespace {
// Runs among the first constructors, while no protected frame is on the stack; it keeps no
// local buffer, so it carries no canary of its own.
__attribute__((constructor(101), no_stack_protector)) void DrawStackGuard() {
    if (!RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard)) {
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        __stack_chk_guard ^= static_cast<std::uintptr_t>(counter.QuadPart) ^
                             (static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16);
    }
}
} // namespace
