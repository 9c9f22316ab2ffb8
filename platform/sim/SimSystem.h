// The simulated machine behind the host build's Win32 functions: device interfaces, the
// printer, the registry, the debugger channel, a virtual clock, resource accounting and
// fault injection. Tests configure it, run Orvane's code, then inspect it.
#pragma once

#include "SimPrinter.h"
#include "win32_sim.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Calls that can be made to fail. Release calls (CloseHandle, RegCloseKey, GlobalFree, ...)
// cannot fail on a valid object and are not listed.
enum class Api {
    CreateFileA,
    WriteFile,
    SetupDiGetClassDevsA,
    SetupDiEnumDeviceInterfaces,
    SetupDiGetDeviceInterfaceDetailA,
    GlobalAlloc,
    GlobalLock,
    RegOpenKeyExA,
    RegQueryValueExA,
    GetModuleHandleA,
    SetupDiGetDeviceInstanceIdA,
    SetupDiOpenDevRegKey,
    CreateEventA,
    LoadResource,
    SetupDiEnumDeviceInfo,
    CM_Get_DevNode_Status,
    RegisterEventSourceA,
    ReportEventA,
    CreateThread,
};
const char* ApiName(Api api);

// One slot of a class's enumeration: an interface, or an error that the enumeration reports
// for that member index.
struct EnumSlot {
    std::string path;
    bool opensBare = true;
    bool opensPipes = true;
    DWORD error = 0;        // non-zero: SetupDiEnumDeviceInterfaces fails with it for this index
    std::string instanceId; // the device's instance ID
    int printer = -1;       // the simulated printer behind the interface, or -1
};

struct RegistryValue {
    DWORD type = REG_SZ;
    std::vector<std::uint8_t> data;
};

struct Resources {
    int files = 0;
    int deviceLists = 0;
    int registryKeys = 0;
    int globalBlocks = 0;
    int globalLocks = 0;
    int events = 0;
    int eventSources = 0;
    int threads = 0;
    bool operator==(const Resources&) const = default;
};

class System {
  public:
    // Virtual clock: Sleep advances it at once.
    std::uint64_t now() const { return nowMs_; }
    void advance(std::uint64_t ms);
    // Called at every Sleep, before the clock moves: lets a test look at the system while
    // the code under test waits.
    std::function<void()> onSleep;

    // Device interfaces beside the printer's.
    void addInterface(const GUID& cls, std::string path, bool opensBare = true,
                      bool opensPipes = true);
    void addEnumerationError(const GUID& cls, DWORD error);
    // Every member index past the listed slots fails with this error instead of
    // ERROR_NO_MORE_ITEMS: an enumeration that never ends by itself.
    void failEnumerationForever(const GUID& cls, DWORD error);
    void failClassDevs(const GUID& cls);
    // The first printer, there from the start (detached until a test attaches it).
    Printer& printer() { return printers_.front(); }
    // Another printer beside it, with its own instance, port and pipes.
    Printer& addPrinter();
    Printer& printerAt(std::size_t index) { return printers_[index]; }
    std::size_t printerCount() const { return printers_.size(); }

    // Registry, HKEY_LOCAL_MACHINE only. Key paths are compared case-insensitively.
    void addRegistryKey(const std::string& key);
    void setRegistryValue(const std::string& key, const std::string& name, RegistryValue value);
    void setRegistryString(const std::string& key, const std::string& name, const std::string& text,
                           bool terminated = true);

    // Faults: the n-th failable call (counted from reset, from 0) fails with `error`.
    void failCallNumber(std::uint64_t n, DWORD error);
    // The n-th call of one function (from 0) fails with `error`.
    void failCall(Api api, int nth, DWORD error);
    std::uint64_t failableCalls() const { return callCount_; }
    int callsOf(Api api) const;
    const std::vector<std::string>& injectedFaults() const { return injected_; }
    // Where each injected fault struck: the call, and how many trace lines had been sent.
    struct FaultRecord {
        Api api;
        int nth;
        DWORD error;
        std::size_t traceLines;
    };
    const std::vector<FaultRecord>& faultRecords() const { return faultRecords_; }

    // What happened.
    const std::vector<std::string>& debugOutput() const { return debugOutput_; }
    // The virtual time at which each debug output line was sent.
    const std::vector<std::uint64_t>& debugTimes() const { return debugTimes_; }
    const std::vector<std::string>& createFilePaths() const { return createFilePaths_; }
    // What ReportEventA was handed: the event log's records.
    struct ReportedEvent {
        std::string source;
        WORD type = 0;
        DWORD id = 0;
        std::vector<std::string> strings;
    };
    const std::vector<ReportedEvent>& reportedEvents() const { return reportedEvents_; }
    // An event log service that has stopped answering: ReportEventA never returns.
    bool eventLogStalls = false;
    // Threads that made a call that never returns, and so never ended.
    int stuckThreads = 0;
    Resources openResources() const;
    bool consoleFreed() const { return consoleFreed_; }
    // Whether the standard error stream is a console (GetConsoleMode succeeds on it).
    bool stderrIsConsole = false;
    // A write or wait that would never have returned on a real machine.
    int blockedForever = 0;
    // Handles closed while a write on them was still pending.
    int closedWithPending = 0;
    // The executable's resources, such as the version block.
    void defineResourceData(int id, std::vector<std::uint8_t> data);
    const std::vector<std::uint8_t>* resourceData(int id) const;

    // --- used by the simulated Win32 functions ---
    bool injectFault(Api api);
    std::vector<EnumSlot> enumerationOf(const GUID& cls) const;
    // The USB devices present, for a list of all classes: the printers on the bus, each with a
    // device node of its own (kDevNodeBase + its index), whether or not a driver serves it.
    std::vector<EnumSlot> usbDevices() const;
    static constexpr DEVINST kDevNodeBase = 0x100;
    bool classDevsFail(const GUID& cls) const;
    std::optional<DWORD> foreverError(const GUID& cls) const;
    bool keyExists(const std::string& key) const;
    std::optional<RegistryValue> registryValue(const std::string& key,
                                               const std::string& name) const;
    void recordDebugOutput(const char* text) {
        debugOutput_.emplace_back(text);
        debugTimes_.push_back(nowMs_);
    }
    void recordCreateFile(const char* path) { createFilePaths_.emplace_back(path); }
    void recordEvent(ReportedEvent event) { reportedEvents_.push_back(std::move(event)); }
    DWORD lastError = 0;
    int badReleases = 0; // closes and frees of objects that were not open
    bool consoleFreed_ = false;
    std::string commandLine_ = "Orvane.exe";

    struct Handle {
        enum class Kind { File, DeviceList, RegistryKey, Global, Event, EventSource, Thread };
        explicit Handle(Kind k) : kind(k) {}
        Kind kind;
        // File: which printer pipe or interface it reaches.
        PipeTarget target{};
        int printer = -1;
        std::uint64_t printerSession = 0;
        bool overlapped = false;
        OVERLAPPED* pendingWrite = nullptr; // a write that has not finished
        // Event; Thread: it has ended
        bool signaled = false;
        // DeviceList: the snapshot taken by SetupDiGetClassDevsA, of interfaces or (devices)
        // of device nodes.
        bool devices = false;
        GUID cls{};
        std::vector<EnumSlot> slots;
        std::optional<DWORD> foreverError;
        // RegistryKey; EventSource: the source's name
        std::string keyPath;
        // Global
        std::vector<std::uint8_t> memory;
        int locks = 0;
    };
    void* addHandle(Handle handle);
    Handle* findHandle(const void* handle, Handle::Kind kind);
    bool releaseHandle(const void* handle, Handle::Kind kind);

    static std::string lower(std::string text);

    // A thread runs at once, to its end or to a call that would never return, which throws
    // NeverReturns; returns whether it ended.
    struct NeverReturns {};
    bool runThread(LPTHREAD_START_ROUTINE start, LPVOID parameter);
    bool onThread() const { return threadDepth_ > 0; }

  private:
    struct ClassConfig {
        std::vector<EnumSlot> slots;
        std::optional<DWORD> foreverError;
        bool failClassDevs = false;
    };
    // The printer whose port the device map lists under this value name, or nullptr.
    const Printer* serialCommPrinter(const std::string& valueName) const;
    bool anyPrinterListsPort() const;
    static std::string classKey(const GUID& cls);

    std::uint64_t nowMs_ = 0;
    std::map<std::string, ClassConfig> classes_;
    std::deque<Printer> printers_{1};
    std::map<int, std::vector<std::uint8_t>> resourceData_;
    std::map<std::string, std::map<std::string, RegistryValue>> registry_;
    std::map<std::uint64_t, DWORD> faultsByNumber_;
    std::map<std::pair<Api, int>, DWORD> faultsByApi_;
    std::map<Api, int> callsByApi_;
    std::uint64_t callCount_ = 0;
    std::vector<std::string> injected_;
    std::vector<FaultRecord> faultRecords_;
    std::vector<std::string> debugOutput_;
    std::vector<std::uint64_t> debugTimes_;
    std::vector<std::string> createFilePaths_;
    std::vector<ReportedEvent> reportedEvents_;
    std::map<std::uintptr_t, Handle> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
    int threadDepth_ = 0;
};

// The module handle of the simulated executable, as GetModuleHandleA(nullptr) gives it.
inline HMODULE ExecutableModule() {
    return reinterpret_cast<HMODULE>(0x400000);
}

// The one simulated machine; reset() gives a fresh one (no devices, empty registry, clock 0).
System& machine();
void reset();

} // namespace sim
