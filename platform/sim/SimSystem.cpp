#include "SimSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace sim {

namespace {
constexpr const char* kSerialCommKey = "hardware\\devicemap\\serialcomm";
constexpr const char* kPrinterPortValue = "\\device\\qzmpusbport0";

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
    case Api::DialogBoxParamA:
        return "DialogBoxParamA";
    case Api::CreateDialogParamA:
        return "CreateDialogParamA";
    case Api::GetDlgItem:
        return "GetDlgItem";
    case Api::SetWindowTextA:
        return "SetWindowTextA";
    case Api::LoadIconA:
        return "LoadIconA";
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
    printer_.update(nowMs_);
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

void System::addInterface(const GUID& cls, std::string path, bool opensBare, bool opensPipes) {
    classes_[classKey(cls)].slots.push_back({std::move(path), opensBare, opensPipes, 0});
}

void System::addEnumerationError(const GUID& cls, DWORD error) {
    classes_[classKey(cls)].slots.push_back({"", false, false, error});
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
    if (printer_.online() && classKey(ClassOfMode(printer_.mode())) == classKey(cls)) {
        EnumSlot mine{printer_.path(), printer_.bareOpens, true, 0};
        auto where =
            printer_.enumIndex < 0 || static_cast<std::size_t>(printer_.enumIndex) > slots.size()
                ? slots.end()
                : slots.begin() + printer_.enumIndex;
        slots.insert(where, mine);
    }
    return slots;
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

bool System::printerListsPort() const {
    return printer_.online() && printer_.mode() == 2 && printer_.port.has_value();
}

bool System::keyExists(const std::string& key) const {
    const std::string k = lower(key);
    return registry_.count(k) != 0 || (k == kSerialCommKey && printerListsPort());
}

std::optional<RegistryValue> System::registryValue(const std::string& key,
                                                   const std::string& name) const {
    const std::string k = lower(key);
    const std::string n = lower(name);
    if (k == kSerialCommKey && n == kPrinterPortValue && printerListsPort()) {
        const std::string& port = *printer_.port;
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
    r.windows = windows_.liveWindows();
    r.paints = windows_.openPaints();
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
        }
    }
    return r;
}

} // namespace sim
