// The serial-port device map's value for the printer's port: any type, any length, with or
// without a terminator, or missing; the lookup may also fail outright.
//
// Input layout:
//   byte 0      bits 0-1: no key (0), the key without the value (1), key and value (2, 3)
//               bit 2: the value's type is bytes 1-4 (little-endian); otherwise bits 3-4 pick
//               REG_SZ, REG_NONE, REG_BINARY or REG_DWORD
//               bit 5: the registry call chosen by bit 6 (open, query) fails, with the error
//               picked by bit 7 and the next byte
//   the rest    the value's data, byte for byte
#include "device/windows/CommPort.h"
#include "platform/sim/SimSystem.h"
#include "support/Faults.h"
#include "support/InputBytes.h"
#include "support/MachineChecks.h"
#include "support/Require.h"
#include "support/StdoutCapture.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kBufferSize = 32;
constexpr char kGarbage = '\x5A';

struct Stored {
    bool key = false;
    bool value = false;
    std::string data;
};

Stored Setup(InputBytes& input) {
    const std::uint8_t flags = input.Take();
    sim::reset();
    sim::System& m = sim::machine();
    Stored stored;
    stored.key = (flags & 3) != 0;
    stored.value = (flags & 2) != 0;
    DWORD type = REG_SZ;
    if ((flags & 4) != 0) {
        type = input.TakeU32();
    } else {
        constexpr DWORD kTypes[] = {REG_SZ, REG_NONE, REG_BINARY, REG_DWORD};
        type = kTypes[(flags >> 3) & 3];
    }
    if ((flags & 32) != 0) {
        const sim::Api api =
            (flags & 64) != 0 ? sim::Api::RegQueryValueExA : sim::Api::RegOpenKeyExA;
        const std::uint8_t pick = input.Take();
        m.failCall(api, 0, FaultError(static_cast<std::uint8_t>((pick << 1) | (flags >> 7))));
    }
    stored.data = input.Rest();
    if (stored.value) {
        sim::RegistryValue value{type, {stored.data.begin(), stored.data.end()}};
        m.setRegistryValue(kSerialCommKey, kPrinterPortValue, std::move(value));
    } else if (stored.key) {
        m.addRegistryKey(kSerialCommKey);
    }
    return stored;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const Stored stored = Setup(input);

    // Exactly the caller's room, so that a write past it is caught.
    auto buffer = std::make_unique<char[]>(kBufferSize);
    std::memset(buffer.get(), kGarbage, kBufferSize);
    ClearCapturedStdout();
    const bool found = GetCommPortName(buffer.get(), kBufferSize);
    const std::string out = CapturedStdout();
    RequireMachineClean();
    const bool faulted = !sim::machine().injectedFaults().empty();

    const std::size_t nameLength = strnlen(stored.data.c_str(), stored.data.size());
    if (found) {
        Require(std::memchr(buffer.get(), '\0', kBufferSize) != nullptr,
                "port name not NUL-terminated within its buffer");
        Require(std::string(buffer.get()) == stored.data.substr(0, nameLength),
                "port name differs from the stored text up to its first NUL");
        Require(stored.value && !faulted, "a port name without a stored value");
    } else {
        Require(!out.empty(), "the lookup failed without a message");
    }
    // A name that cannot fit with its terminator is refused; data that fits is accepted.
    if (nameLength >= static_cast<std::size_t>(kBufferSize)) {
        Require(!found, "a port name longer than the buffer was accepted");
    }
    const bool fits = stored.data.size() < static_cast<std::size_t>(kBufferSize) ||
                      (stored.data.size() == kBufferSize && stored.data.back() == '\0');
    if (stored.value && !faulted && fits) {
        Require(found, "a stored port name that fits was refused");
    }
    return 0;
}
