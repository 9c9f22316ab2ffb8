// Simulated kernel32: files on device interfaces and printer pipes, the virtual clock,
// the debugger channel, global memory and the executable's resources.
#include "SimSystem.h"

#include <strings.h>

using sim::machine;
using Handle = sim::System::Handle;

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

enum class Suffix { Bare, Pipe00, Pipe01, Other };

// Splits "<interface path>\PIPE0x" against one interface path.
Suffix Match(const std::string& opened, const std::string& interfacePath) {
    if (interfacePath.empty() || opened.size() < interfacePath.size() ||
        !SameText(opened.substr(0, interfacePath.size()), interfacePath)) {
        return Suffix::Other;
    }
    const std::string rest = opened.substr(interfacePath.size());
    if (rest.empty()) {
        return Suffix::Bare;
    }
    if (SameText(rest, "\\PIPE00")) {
        return Suffix::Pipe00;
    }
    if (SameText(rest, "\\PIPE01")) {
        return Suffix::Pipe01;
    }
    return Suffix::Other;
}

HANDLE Fail(DWORD error) {
    machine().lastError = error;
    return INVALID_HANDLE_VALUE;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                          DWORD dwFlagsAndAttributes, HANDLE) {
    sim::System& m = machine();
    if (lpFileName == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    m.recordCreateFile(lpFileName);
    if (m.injectFault(sim::Api::CreateFileA)) {
        return INVALID_HANDLE_VALUE;
    }
    const std::string opened = lpFileName;
    const bool overlapped = (dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0;
    for (std::size_t i = 0; i < m.printerCount(); ++i) {
        sim::Printer& printer = m.printerAt(i);
        if (!printer.served()) {
            continue;
        }
        Handle file{Handle::Kind::File};
        file.printer = static_cast<int>(i);
        file.printerSession = printer.session();
        file.overlapped = overlapped;
        const Suffix suffix = Match(opened, printer.path());
        if (suffix != Suffix::Other && printer.heldWith != 0) {
            return Fail(printer.heldWith);
        }
        if (suffix == Suffix::Pipe01 && printer.pipe01HeldWith != 0) {
            return Fail(printer.pipe01HeldWith);
        }
        switch (suffix) {
        case Suffix::Bare:
            if (!printer.bareOpens) {
                return Fail(ERROR_GEN_FAILURE);
            }
            file.target = sim::PipeTarget::PrinterBare;
            return m.addHandle(std::move(file));
        case Suffix::Pipe00:
            if (!printer.pipe00Opens) {
                return Fail(ERROR_GEN_FAILURE);
            }
            file.target = sim::PipeTarget::PrinterPipe00;
            return m.addHandle(std::move(file));
        case Suffix::Pipe01:
            if (!printer.pipe01Opens) {
                return Fail(ERROR_GEN_FAILURE);
            }
            file.target = sim::PipeTarget::PrinterPipe01;
            return m.addHandle(std::move(file));
        case Suffix::Other:
            break;
        }
    }
    for (const GUID& cls : {sim::kNativeClass, sim::kPrinterClass, sim::kCommPortClass}) {
        for (const sim::EnumSlot& slot : m.enumerationOf(cls)) {
            if (slot.error != 0) {
                continue;
            }
            const Suffix suffix = Match(opened, slot.path);
            if (suffix == Suffix::Other) {
                continue;
            }
            if ((suffix == Suffix::Bare && !slot.opensBare) ||
                (suffix != Suffix::Bare && !slot.opensPipes)) {
                return Fail(ERROR_GEN_FAILURE);
            }
            Handle file{Handle::Kind::File};
            file.target = sim::PipeTarget::Interface;
            file.overlapped = overlapped;
            return m.addHandle(std::move(file));
        }
    }
    return Fail(ERROR_FILE_NOT_FOUND);
}

namespace {
// Ends an overlapped request: its status and count in the record, its event signalled.
void Complete(OVERLAPPED* pOverlapped, ULONG_PTR status, DWORD count) {
    pOverlapped->Internal = status;
    pOverlapped->InternalHigh = count;
    if (Handle* event = machine().findHandle(pOverlapped->hEvent, Handle::Kind::Event)) {
        event->signaled = true;
    }
}

constexpr ULONG_PTR kStatusCancelled = 0xC0000120;
constexpr ULONG_PTR kStatusPending = 0x103;
} // namespace

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    sim::System& m = machine();
    if (lpNumberOfBytesWritten == nullptr || lpBuffer == nullptr) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    *lpNumberOfBytesWritten = 0;
    if (m.injectFault(sim::Api::WriteFile)) {
        return FALSE;
    }
    Handle* file = m.findHandle(hFile, Handle::Kind::File);
    if (file == nullptr) {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (file->overlapped && lpOverlapped == nullptr) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (file->target != sim::PipeTarget::PrinterPipe01) {
        m.lastError = ERROR_INVALID_FUNCTION;
        return FALSE;
    }
    sim::Printer& printer = m.printerAt(static_cast<std::size_t>(file->printer));
    if (file->printerSession != printer.session() || !printer.online()) {
        m.lastError = ERROR_DEVICE_NOT_CONNECTED;
        return FALSE;
    }
    if (printer.stallWrites) {
        if (!file->overlapped) {
            // A real machine would never return from this call.
            ++m.blockedForever;
            m.lastError = ERROR_GEN_FAILURE;
            return FALSE;
        }
        file->pendingWrite = lpOverlapped;
        lpOverlapped->Internal = kStatusPending;
        if (Handle* event = m.findHandle(lpOverlapped->hEvent, Handle::Kind::Event)) {
            event->signaled = false;
        }
        m.lastError = ERROR_IO_PENDING;
        return FALSE;
    }
    if (!printer.receive(static_cast<const std::uint8_t*>(lpBuffer), nNumberOfBytesToWrite,
                         m.now())) {
        m.lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    printer.update(m.now()); // a restart time of 0 brings it back at once
    *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
    if (lpOverlapped != nullptr) {
        Complete(lpOverlapped, 0, nNumberOfBytesToWrite);
    }
    return TRUE;
}

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL, BOOL bInitialState, LPCSTR) {
    sim::System& m = machine();
    if (m.injectFault(sim::Api::CreateEventA)) {
        return nullptr;
    }
    Handle event{Handle::Kind::Event};
    event.signaled = bInitialState != FALSE;
    return m.addHandle(std::move(event));
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD, LPDWORD) {
    sim::System& m = machine();
    if (m.injectFault(sim::Api::CreateThread)) {
        return nullptr;
    }
    Handle thread{Handle::Kind::Thread};
    thread.signaled = m.runThread(lpStartAddress, lpParameter);
    return m.addHandle(std::move(thread));
}

// Events and threads: signaled, or the wait runs out (never, when it has no bound).
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    sim::System& m = machine();
    Handle* event = m.findHandle(hHandle, Handle::Kind::Event);
    if (event == nullptr) {
        event = m.findHandle(hHandle, Handle::Kind::Thread);
    }
    if (event == nullptr) {
        m.lastError = ERROR_INVALID_HANDLE;
        return WAIT_FAILED;
    }
    if (event->signaled) {
        return WAIT_OBJECT_0;
    }
    if (dwMilliseconds == INFINITE) {
        ++m.blockedForever;
        return WAIT_FAILED;
    }
    // Nothing in the simulated machine completes a pending write or ends a stuck thread by
    // itself: the wait runs out.
    if (m.onSleep) {
        m.onSleep();
    }
    m.advance(dwMilliseconds);
    return WAIT_TIMEOUT;
}

BOOL WINAPI CancelIoEx(HANDLE hFile, LPOVERLAPPED lpOverlapped) {
    sim::System& m = machine();
    Handle* file = m.findHandle(hFile, Handle::Kind::File);
    if (file == nullptr) {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (file->pendingWrite == nullptr ||
        (lpOverlapped != nullptr && lpOverlapped != file->pendingWrite)) {
        m.lastError = ERROR_NOT_FOUND;
        return FALSE;
    }
    Complete(file->pendingWrite, kStatusCancelled, 0);
    file->pendingWrite = nullptr;
    return TRUE;
}

BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped,
                                LPDWORD lpNumberOfBytesTransferred, BOOL bWait) {
    sim::System& m = machine();
    Handle* file = m.findHandle(hFile, Handle::Kind::File);
    if (file == nullptr || lpOverlapped == nullptr || lpNumberOfBytesTransferred == nullptr) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (file->pendingWrite == lpOverlapped) {
        if (bWait) {
            ++m.blockedForever;
        }
        m.lastError = ERROR_IO_INCOMPLETE;
        return FALSE;
    }
    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    if (lpOverlapped->Internal == kStatusCancelled) {
        m.lastError = ERROR_OPERATION_ABORTED;
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
    return nStdHandle == STD_ERROR_HANDLE ? reinterpret_cast<HANDLE>(0x0C) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI GetConsoleMode(HANDLE hConsoleHandle, LPDWORD lpMode) {
    sim::System& m = machine();
    if (hConsoleHandle != reinterpret_cast<HANDLE>(0x0C) || !m.stderrIsConsole ||
        lpMode == nullptr) {
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    *lpMode = 0x3;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    sim::System& m = machine();
    if (Handle* file = m.findHandle(hObject, Handle::Kind::File);
        file != nullptr && file->pendingWrite != nullptr) {
        ++m.closedWithPending;
    }
    if (!m.releaseHandle(hObject, Handle::Kind::File) &&
        !m.releaseHandle(hObject, Handle::Kind::Event) &&
        !m.releaseHandle(hObject, Handle::Kind::Thread)) {
        ++m.badReleases;
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetLastError() {
    return machine().lastError;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (machine().onSleep) {
        machine().onSleep();
    }
    machine().advance(dwMilliseconds);
}

ULONGLONG WINAPI GetTickCount64() {
    return machine().now();
}

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString != nullptr) {
        machine().recordDebugOutput(lpOutputString);
    }
}

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, std::size_t dwBytes) {
    sim::System& m = machine();
    if (m.injectFault(sim::Api::GlobalAlloc)) {
        return nullptr;
    }
    Handle block{Handle::Kind::Global};
    // Memory that is not asked to be zeroed holds a pattern, so reliance on zeros shows.
    block.memory.assign(dwBytes, (uFlags & GMEM_ZEROINIT) != 0 ? 0 : 0xCD);
    return m.addHandle(std::move(block));
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    sim::System& m = machine();
    if (m.injectFault(sim::Api::GlobalLock)) {
        return nullptr;
    }
    Handle* block = m.findHandle(hMem, Handle::Kind::Global);
    if (block == nullptr || block->memory.empty()) {
        m.lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    ++block->locks;
    return block->memory.data();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    sim::System& m = machine();
    Handle* block = m.findHandle(hMem, Handle::Kind::Global);
    if (block == nullptr || block->locks == 0) {
        ++m.badReleases;
        m.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    --block->locks;
    m.lastError = 0;
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    sim::System& m = machine();
    Handle* block = m.findHandle(hMem, Handle::Kind::Global);
    if (block == nullptr) {
        ++m.badReleases;
        return hMem;
    }
    if (block->locks != 0) {
        ++m.badReleases; // freed while still locked
    }
    m.releaseHandle(hMem, Handle::Kind::Global);
    return nullptr;
}

LPSTR WINAPI GetCommandLineA() {
    return machine().commandLine_.data();
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (machine().injectFault(sim::Api::GetModuleHandleA)) {
        return nullptr;
    }
    return lpModuleName == nullptr ? sim::ExecutableModule() : nullptr;
}

BOOL WINAPI FreeConsole() {
    machine().consoleFreed_ = true;
    return TRUE;
}

int _stricmp(const char* a, const char* b) {
    return strcasecmp(a, b);
}

namespace {
const std::vector<std::uint8_t>* DataOf(HRSRC hResInfo) {
    const auto value = reinterpret_cast<ULONG_PTR>(hResInfo);
    return value < 0x60000 ? nullptr : machine().resourceData(static_cast<int>(value - 0x60000));
}
} // namespace

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR) {
    const int id =
        IS_INTRESOURCE(lpName) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(lpName)) : -1;
    if (hModule == nullptr || machine().resourceData(id) == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(0x60000 + id));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    if (machine().injectFault(sim::Api::LoadResource)) {
        return nullptr;
    }
    const std::vector<std::uint8_t>* data = DataOf(hResInfo);
    // A loaded resource needs no release: its handle is the data's place in the module.
    return hModule == nullptr || data == nullptr ? nullptr
                                                 : const_cast<std::uint8_t*>(data->data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const std::vector<std::uint8_t>* data = DataOf(hResInfo);
    return hModule == nullptr || data == nullptr ? 0 : static_cast<DWORD>(data->size());
}
