#include "listening_instance.h"

namespace {

constexpr DWORD cancel_bound_ms = 2000;
constexpr DWORD out_buffer_bytes = 4096;
// No inbound buffer: a client's write completes only once the emulator has taken the bytes,
// as a USB transfer does, and a write the emulator refuses to take stays pending until cut.
constexpr DWORD in_buffer_bytes = 0;

} // namespace

bool ListeningInstance::listen(const std::string& pipe_name, bool refuse_clients,
                               std::string& error) {
    const DWORD direction = refuse_clients ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_DUPLEX;
    event_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    pipe_.reset(CreateNamedPipeA(
        pipe_name.c_str(), direction | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, out_buffer_bytes, in_buffer_bytes, 0, nullptr));
    if (!event_.valid() || !pipe_.valid()) {
        error =
            "cannot create pipe " + pipe_name + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_.get();
    if (ConnectNamedPipe(pipe_.get(), &overlapped_)) {
        return true;
    }
    switch (GetLastError()) {
    case ERROR_IO_PENDING:
        pending_ = true;
        return true;
    case ERROR_PIPE_CONNECTED: // a client came before the wait began
    case ERROR_NO_DATA:        // ... and has already closed again
        SetEvent(event_.get());
        return true;
    default:
        error =
            "cannot wait on pipe " + pipe_name + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
}

UniqueHandle ListeningInstance::take_client() {
    if (pending_) {
        pending_ = false;
        DWORD unused = 0;
        if (!GetOverlappedResult(pipe_.get(), &overlapped_, &unused, FALSE)) {
            pipe_.reset();
        }
    }
    return std::move(pipe_);
}

void ListeningInstance::abandon() {
    if (pending_) {
        CancelIoEx(pipe_.get(), &overlapped_);
        WaitForSingleObject(event_.get(), cancel_bound_ms);
        pending_ = false;
    }
    pipe_.reset();
}
