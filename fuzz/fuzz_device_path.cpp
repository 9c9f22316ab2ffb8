// Device paths as the Setup API returns them: any length, any bytes but NUL, in any of the
// three interface classes, for the printer's own interface and for interfaces beside it.
//
// Input layout:
//   byte 0      bits 0-1: printer absent (0), or attached in mode 0, 1 or 2 (1, 2, 3)
//               bit 2: the printer shows the first path below instead of its own
//               bit 3: the printer's interface itself does not open
//               bits 4-5: the printer's place in its class's list: last (0), or index 0..2
//               bit 6: one failable call fails; bytes 2-3 number it, byte 4 picks the error
//   byte 1      size of the buffer ProbeUsb writes its display string to (0..255)
//   the rest    paths separated by NUL bytes. After the printer's (when bit 2 is set), each
//               piece is one interface: its first byte says bits 0-1: enumeration error (0),
//               native (1), printer (2) or comm (3) class; bit 2: the path does not open;
//               bit 3: its pipes do not open; bits 4-6: the enumeration error. The rest of
//               the piece is the path.
#include "common/windows/DebuggerChannel.h"
#include "device/ProbeUsb.h"
#include "device/windows/UsbDevice.h"
#include "device/windows/UsbDeviceIds.h"
#include "device/windows/Win32PrinterBackend.h"
#include "platform/sim/SimSystem.h"
#include "support/Faults.h"
#include "support/InputBytes.h"
#include "support/MachineChecks.h"
#include "support/Require.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxPieces = 65;
constexpr unsigned char kGarbage = 0xA5;

const char* const kModeText[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
constexpr const char* kErrorText = "Error opening USB";

// The printer's hardware IDs as a device path spells them.
bool HasPrinterId(const std::string& path) {
    for (const char* id : {"vid_6b1f&pid_c302", "vid_6b1f&pid_c318", "vid_6b1f&pid_c337",
                           "VID_6B1F&PID_C302", "VID_6B1F&PID_C318", "VID_6B1F&PID_C337"}) {
        if (path.find(id) != std::string::npos) {
            return true;
        }
    }
    return false;
}

const GUID& ClassOf(int index) {
    static const GUID* const kClasses[] = {&sim::kNativeClass, &sim::kPrinterClass,
                                           &sim::kCommPortClass};
    return *kClasses[index];
}

// Sets up the machine; returns whether any path it shows carries a printer ID.
bool Setup(InputBytes& input, std::uint8_t flags) {
    sim::reset();
    sim::System& m = sim::machine();
    sim::Printer& printer = m.printer();
    std::vector<std::string> pieces = SplitOnNul(input.Rest(), kMaxPieces);
    std::size_t next = 0;
    if ((flags & 4) != 0) {
        printer.pathOverride = next < pieces.size() ? pieces[next++] : std::string();
    }
    printer.bareOpens = (flags & 8) == 0;
    printer.enumIndex = ((flags >> 4) & 3) - 1;
    bool anyId = false;
    if ((flags & 3) != 0) {
        printer.attach((flags & 3) - 1);
        anyId = HasPrinterId(printer.path());
    }
    for (; next < pieces.size(); ++next) {
        const std::string& piece = pieces[next];
        if (piece.empty()) {
            continue;
        }
        const auto kind = static_cast<std::uint8_t>(piece[0]);
        if ((kind & 3) == 0) {
            m.addEnumerationError(ClassOf(((kind >> 2) & 3) % 3),
                                  FaultError(static_cast<std::uint8_t>(kind >> 4)));
            continue;
        }
        const std::string path = piece.substr(1);
        m.addInterface(ClassOf((kind & 3) - 1), path, (kind & 4) == 0, (kind & 8) == 0);
        anyId |= HasPrinterId(path);
    }
    return anyId;
}

// ProbeUsb's display string: the known text of its result, cut to the buffer.
void CheckDisplayString(UsbType mode, const std::vector<char>& buffer) {
    Require(mode >= 0 && mode <= 2, "ProbeUsb returned a mode outside 0..2");
    if (buffer.empty()) {
        return;
    }
    Require(std::memchr(buffer.data(), '\0', buffer.size()) != nullptr,
            "display string not NUL-terminated within its buffer");
    const std::string shown(buffer.data());
    auto cut = [&](const char* text) { return std::string(text).substr(0, buffer.size() - 1); };
    const bool known =
        shown == cut(kModeText[mode]) || (mode == IDNATIVETYPE && shown == cut(kErrorText));
    if (!known) {
        FailInvariant("unknown display string \"" + shown + "\" for mode " + std::to_string(mode));
    }
}

void CheckOpenedPaths() {
    for (const std::string& path : sim::machine().createFilePaths()) {
        if (!HasPrinterId(path)) {
            FailInvariant("opened a path without the printer's ID: " + path);
        }
    }
}

// Opens every pipe in every mode. Returns which modes' PIPE00 opened.
std::vector<bool> OpenEveryPipe() {
    std::vector<bool> presence(3, false);
    for (const UsbType mode : kProbeOrder) {
        for (const char* pipe : {kPresencePipe, kCommandPipe}) {
            CUsbDevice device;
            const HANDLE file = device.open_file(mode, pipe);
            Require(std::memchr(device.DeviceName(), '\0', CUsbDevice::kNameBufSize) != nullptr,
                    "device name not NUL-terminated within its buffer");
            if (file == INVALID_HANDLE_VALUE) {
                continue;
            }
            const std::string name = device.DeviceName();
            const std::string suffix = std::string("\\") + pipe;
            Require(!sim::machine().createFilePaths().empty() &&
                        sim::machine().createFilePaths().back() == name,
                    "the handle is not of the last path opened");
            Require(name.size() > suffix.size() &&
                        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0,
                    "an opened pipe path does not end in its pipe name");
            presence[static_cast<std::size_t>(mode)] =
                presence[static_cast<std::size_t>(mode)] || pipe == kPresencePipe;
            CloseHandle(file);
        }
    }
    return presence;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const std::uint8_t flags = input.Take();
    const std::size_t bufferSize = input.Take();
    std::uint16_t failingCall = 0;
    DWORD faultError = 0;
    if ((flags & 64) != 0) {
        failingCall = input.TakeU16();
        faultError = FaultError(input.Take());
    }
    const bool anyId = Setup(input, flags);
    if ((flags & 64) != 0) {
        sim::machine().failCallNumber(failingCall, faultError);
    }

    std::vector<char> buffer(bufferSize, static_cast<char>(kGarbage));
    static DebuggerChannel debuggerChannel;
    InstallTraceSink(&debuggerChannel);
    Win32PrinterBackend backend;
    const UsbType probed =
        ProbeUsb(backend, PrinterTarget::FirstFound(), buffer.empty() ? nullptr : buffer.data(),
                 static_cast<int>(buffer.size()));
    CheckDisplayString(probed, buffer);
    const bool probeFailed = buffer.size() > 1 && buffer[0] == 'E';
    if (!anyId) {
        Require(sim::machine().createFilePaths().empty(),
                "a path was opened though none carries the printer's ID");
        Require(buffer.size() <= 1 || std::string(buffer.data()) ==
                                          std::string(kErrorText).substr(0, buffer.size() - 1),
                "a mode was found though no path carries the printer's ID");
    }

    const std::vector<bool> presence = OpenEveryPipe();
    RequireMachineClean();
    CheckOpenedPaths();
    const bool faulted = !sim::machine().injectedFaults().empty();

    // Without faults the machine answers the same way twice: ProbeUsb's mode is the first
    // whose presence pipe opens.
    if (!faulted && buffer.size() > 1) {
        int first = -1;
        for (int mode = 2; mode >= 0; --mode) {
            first = presence[static_cast<std::size_t>(mode)] ? mode : first;
        }
        if (probeFailed) {
            Require(first < 0, "ProbeUsb found no mode, but a presence pipe opens");
        } else {
            Require(first == probed, "ProbeUsb's mode is not the first whose presence pipe opens");
        }
    }
    return 0;
}
