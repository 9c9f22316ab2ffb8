#include "SimSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace sim {

namespace {
constexpr const char* kSerialCommKey = "hardware\\devicemap\\serialcomm";
constexpr const char* kPrinterPortValuePrefix = "\\device\\qzmpusbport";
constexpr const char* kEnumKeyPrefix = "system\\currentcontrolset\\enum\\";
constexpr const char* kDeviceParameters = "\\device parameters";

// The instance ID of a device whose interface path is "\\?\usb#vid_x&pid_y#<instance>#{class}":
// USB\VID_X&PID_Y\<INSTANCE>, upper-cased as the Setup API shows it.
std::string InstanceIdOfPath(const std::string& path) {
    std::string id;
    const std::size_t first = path.find('#');
    const std::size_t second = first == std::string::npos ? first : path.find('#', first + 1);
    const std::size_t third = second == std::string::npos ? second : path.find('#', second + 1);
    if (third == std::string::npos) {
        id = path;
    } else {
        id = "USB\\" + path.substr(first + 1, second - first - 1) + "\\" +
             path.substr(second + 1, third - second - 1);
    }
    for (char& c : id) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return id;
}

System* gMachine = nullptr;
} // namespace

const char* ApiName(Api api) {
    switch (api) {
    case Api::CreateFileA:
        return "CreateFileA";
    case Api::WriteFile:
        return "WriteFile";
    case Api::SetupDiGetClassDevsA:
        return "SetupDiGetClassDevsA";
    case Api::SetupDiEnumDeviceInterfaces:
        return "SetupDiEnumDeviceInterfaces";
    case Api::SetupDiGetDeviceInterfaceDetailA:
        return "SetupDiGetDeviceInterfaceDetailA";
    case Api::GlobalAlloc:
        return "GlobalAlloc";
    case Api::GlobalLock:
        return "GlobalLock";
    case Api::RegOpenKeyExA:
        return "RegOpenKeyExA";
    case Api::RegQueryValueExA:
        return "RegQueryValueExA";
    case Api::GetModuleHandleA:
        return "GetModuleHandleA";
    case Api::SetupDiGetDeviceInstanceIdA:
        return "SetupDiGetDeviceInstanceIdA";
    case Api::SetupDiOpenDevRegKey:
        return "SetupDiOpenDevRegKey";
    case Api::CreateEventA:
        return "CreateEventA";
    case Api::LoadResource:
        return "LoadResource";
    case Api::SetupDiEnumDeviceInfo:
        return "SetupDiEnumDeviceInfo";
    case Api::CM_Get_DevNode_Status:
        return "CM_Get_DevNode_Status";
    case Api::RegisterEventSourceA:
        return "RegisterEventSourceA";
    case Api::ReportEventA:
        return "ReportEventA";
    case Api::CreateThread:
        return "CreateThread";
    }
    return "?";
}

System& machine() {
    if (gMachine == nullptr) {
        gMachine = new System();
    }
    return *gMachine;
}

void reset() {
    delete gMachine;
    gMachine = new System();
}

void System::advance(std::uint64_t ms) {
    nowMs_ += ms;
    for (Printer& printer : printers_) {
        printer.update(nowMs_);
    }
}

std::string System::classKey(const GUID& cls) {
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned>(cls.Data1), cls.Data2, cls.Data3, cls.Data4[0],
                  cls.Data4[1], cls.Data4[2], cls.Data4[3], cls.Data4[4], cls.Data4[5],
                  cls.Data4[6], cls.Data4[7]);
    return text;
}

std::string System::lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Printer& System::addPrinter() {
    Printer& printer = printers_.emplace_back();
    const std::size_t number = printers_.size();
    printer.instance = "6&2f1a3b4c&0&" + std::to_string(number);
    printer.port = "COM" + std::to_string(6 + number);
    return printer;
}

void System::addInterface(const GUID& cls, std::string path, bool opensBare, bool opensPipes) {
    const std::string instanceId = InstanceIdOfPath(path);
    classes_[classKey(cls)].slots.push_back(
        {std::move(path), opensBare, opensPipes, 0, instanceId, -1});
}

void System::addEnumerationError(const GUID& cls, DWORD error) {
    classes_[classKey(cls)].slots.push_back({"", false, false, error, "", -1});
}

void System::defineResourceData(int id, std::vector<std::uint8_t> data) {
    resourceData_[id] = std::move(data);
}

const std::vector<std::uint8_t>* System::resourceData(int id) const {
    auto it = resourceData_.find(id);
    return it == resourceData_.end() ? nullptr : &it->second;
}

void System::failEnumerationForever(const GUID& cls, DWORD error) {
    classes_[classKey(cls)].foreverError = error;
}

void System::failClassDevs(const GUID& cls) {
    classes_[classKey(cls)].failClassDevs = true;
}

std::vector<EnumSlot> System::enumerationOf(const GUID& cls) const {
    std::vector<EnumSlot> slots;
    if (auto it = classes_.find(classKey(cls)); it != classes_.end()) {
        slots = it->second.slots;
    }
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        const Printer& printer = printers_[i];
        if (!printer.served() || classKey(ClassOfMode(printer.mode())) != classKey(cls)) {
            continue;
        }
        EnumSlot mine{printer.path(),       printer.bareOpens,  true, 0,
                      printer.instanceId(), static_cast<int>(i)};
        auto where =
            printer.enumIndex < 0 || static_cast<std::size_t>(printer.enumIndex) > slots.size()
                ? slots.end()
                : slots.begin() + printer.enumIndex;
        slots.insert(where, mine);
    }
    return slots;
}

std::vector<EnumSlot> System::usbDevices() const {
    std::vector<EnumSlot> devices;
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        if (printers_[i].online()) {
            devices.push_back(
                {"", false, false, 0, printers_[i].instanceId(), static_cast<int>(i)});
        }
    }
    return devices;
}

bool System::classDevsFail(const GUID& cls) const {
    auto it = classes_.find(classKey(cls));
    return it != classes_.end() && it->second.failClassDevs;
}

std::optional<DWORD> System::foreverError(const GUID& cls) const {
    auto it = classes_.find(classKey(cls));
    return it == classes_.end() ? std::nullopt : it->second.foreverError;
}

void System::addRegistryKey(const std::string& key) {
    registry_[lower(key)];
}

void System::setRegistryValue(const std::string& key, const std::string& name,
                              RegistryValue value) {
    registry_[lower(key)][lower(name)] = std::move(value);
}

void System::setRegistryString(const std::string& key, const std::string& name,
                               const std::string& text, bool terminated) {
    RegistryValue value{REG_SZ, std::vector<std::uint8_t>(text.begin(), text.end())};
    if (terminated) {
        value.data.push_back(0);
    }
    setRegistryValue(key, name, std::move(value));
}

const Printer* System::serialCommPrinter(const std::string& valueName) const {
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        const Printer& printer = printers_[i];
        if (printer.served() && printer.mode() == 2 && printer.port.has_value() &&
            valueName == kPrinterPortValuePrefix + std::to_string(i)) {
            return &printer;
        }
    }
    return nullptr;
}

bool System::anyPrinterListsPort() const {
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        if (serialCommPrinter(kPrinterPortValuePrefix + std::to_string(i)) != nullptr) {
            return true;
        }
    }
    return false;
}

bool System::keyExists(const std::string& key) const {
    const std::string k = lower(key);
    return registry_.count(k) != 0 || (k == kSerialCommKey && anyPrinterListsPort());
}

std::optional<RegistryValue> System::registryValue(const std::string& key,
                                                   const std::string& name) const {
    const std::string k = lower(key);
    const std::string n = lower(name);
    const Printer* listing = nullptr;
    if (k == kSerialCommKey) {
        listing = serialCommPrinter(n);
    }
    for (const Printer& printer : printers_) {
        if (n == "portname" &&
            k == kEnumKeyPrefix + lower(printer.instanceId()) + kDeviceParameters &&
            printer.served() && printer.mode() == 2 && printer.port && printer.portInDeviceKey) {
            listing = &printer;
        }
    }
    if (listing != nullptr) {
        const std::string& port = *listing->port;
        RegistryValue value{REG_SZ, std::vector<std::uint8_t>(port.begin(), port.end())};
        value.data.push_back(0);
        return value;
    }
    auto key_it = registry_.find(k);
    if (key_it == registry_.end()) {
        return std::nullopt;
    }
    auto value_it = key_it->second.find(n);
    if (value_it == key_it->second.end()) {
        return std::nullopt;
    }
    return value_it->second;
}

void System::failCallNumber(std::uint64_t n, DWORD error) {
    faultsByNumber_[n] = error;
}

void System::failCall(Api api, int nth, DWORD error) {
    faultsByApi_[{api, nth}] = error;
}

int System::callsOf(Api api) const {
    auto it = callsByApi_.find(api);
    return it == callsByApi_.end() ? 0 : it->second;
}

bool System::runThread(LPTHREAD_START_ROUTINE start, LPVOID parameter) {
    ++threadDepth_;
    try {
        start(parameter);
    } catch (const NeverReturns&) {
        --threadDepth_;
        ++stuckThreads;
        return false;
    }
    --threadDepth_;
    return true;
}

bool System::injectFault(Api api) {
    const std::uint64_t number = callCount_++;
    const int nth = callsByApi_[api]++;
    std::optional<DWORD> error;
    if (auto it = faultsByNumber_.find(number); it != faultsByNumber_.end()) {
        error = it->second;
    } else if (auto it2 = faultsByApi_.find({api, nth}); it2 != faultsByApi_.end()) {
        error = it2->second;
    }
    if (!error) {
        return false;
    }
    injected_.push_back(std::string(ApiName(api)) + " #" + std::to_string(nth));
    faultRecords_.push_back({api, nth, *error, debugOutput_.size()});
    lastError = *error;
    return true;
}

void* System::addHandle(Handle handle) {
    const std::uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(value, std::move(handle));
    return reinterpret_cast<void*>(value);
}

System::Handle* System::findHandle(const void* handle, Handle::Kind kind) {
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == handles_.end() || it->second.kind != kind) {
        return nullptr;
    }
    return &it->second;
}

bool System::releaseHandle(const void* handle, Handle::Kind kind) {
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == handles_.end() || it->second.kind != kind) {
        return false;
    }
    handles_.erase(it);
    return true;
}

Resources System::openResources() const {
    Resources r;
    for (const auto& [value, handle] : handles_) {
        switch (handle.kind) {
        case Handle::Kind::File:
            ++r.files;
            break;
        case Handle::Kind::DeviceList:
            ++r.deviceLists;
            break;
        case Handle::Kind::RegistryKey:
            ++r.registryKeys;
            break;
        case Handle::Kind::Global:
            ++r.globalBlocks;
            r.globalLocks += handle.locks;
            break;
        case Handle::Kind::Event:
            ++r.events;
            break;
        case Handle::Kind::EventSource:
            ++r.eventSources;
            break;
        case Handle::Kind::Thread:
            ++r.threads;
            break;
        }
    }
    return r;
}

} // namespace sim
