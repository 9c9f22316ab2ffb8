// Simulated registry (HKEY_LOCAL_MACHINE): RegQueryValueExA copies the stored bytes as they
// are, with or without a terminator, like the real function. The event log records what it is
// handed.
#include "SimSystem.h"

using sim::machine;
using Handle = sim::System::Handle;

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    sim::System& m = machine();
    if (phkResult == nullptr || lpSubKey == nullptr || hKey != HKEY_LOCAL_MACHINE) {
        return static_cast<LSTATUS>(ERROR_INVALID_PARAMETER);
    }
    if (m.injectFault(sim::Api::RegOpenKeyExA)) {
        return static_cast<LSTATUS>(m.lastError);
    }
    if (!m.keyExists(lpSubKey)) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    Handle key{Handle::Kind::RegistryKey};
    key.keyPath = lpSubKey;
    *phkResult = static_cast<HKEY>(m.addHandle(std::move(key)));
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
    sim::System& m = machine();
    Handle* key = m.findHandle(hKey, Handle::Kind::RegistryKey);
    if (key == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return static_cast<LSTATUS>(ERROR_INVALID_PARAMETER);
    }
    if (m.injectFault(sim::Api::RegQueryValueExA)) {
        return static_cast<LSTATUS>(m.lastError);
    }
    const auto value = m.registryValue(key->keyPath, lpValueName == nullptr ? "" : lpValueName);
    if (!value) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    if (lpType != nullptr) {
        *lpType = value->type;
    }
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (lpData != nullptr && *lpcbData < size) {
        *lpcbData = size;
        return static_cast<LSTATUS>(ERROR_MORE_DATA);
    }
    if (lpData != nullptr && size != 0) {
        std::memcpy(lpData, value->data.data(), size);
    }
    if (lpcbData != nullptr) {
        *lpcbData = size;
    }
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    sim::System& m = machine();
    if (!m.releaseHandle(hKey, Handle::Kind::RegistryKey)) {
        ++m.badReleases;
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    return ERROR_SUCCESS;
}

// The event log: every source name is taken, registered or not, as Windows and Wine take it;
// the events are recorded with the source they were reported under.
HANDLE WINAPI RegisterEventSourceA(LPCSTR lpUNCServerName, LPCSTR lpSourceName) {
    sim::System& m = machine();
    if (lpUNCServerName != nullptr || lpSourceName == nullptr) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (m.injectFault(sim::Api::RegisterEventSourceA)) {
        return nullptr;
    }
    Handle source{Handle::Kind::EventSource};
    source.keyPath = lpSourceName;
    return m.addHandle(std::move(source));
}

BOOL WINAPI ReportEventA(HANDLE hEventLog, WORD wType, WORD, DWORD dwEventID, PSID,
                         WORD wNumStrings, DWORD dwDataSize, LPCSTR* lpStrings, LPVOID) {
    sim::System& m = machine();
    Handle* source = m.findHandle(hEventLog, Handle::Kind::EventSource);
    if (source == nullptr) {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if ((wNumStrings != 0 && lpStrings == nullptr) || dwDataSize != 0) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (m.eventLogStalls) {
        if (m.onThread()) {
            throw sim::System::NeverReturns{};
        }
        ++m.blockedForever; // the only thread would never return
        m.lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    if (m.injectFault(sim::Api::ReportEventA)) {
        return FALSE;
    }
    sim::System::ReportedEvent event{source->keyPath, wType, dwEventID, {}};
    for (WORD i = 0; i < wNumStrings; ++i) {
        event.strings.emplace_back(lpStrings[i]);
    }
    m.recordEvent(std::move(event));
    return TRUE;
}

BOOL WINAPI DeregisterEventSource(HANDLE hEventLog) {
    sim::System& m = machine();
    if (!m.releaseHandle(hEventLog, Handle::Kind::EventSource)) {
        ++m.badReleases;
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}
